# The Debian package: `cpack -G DEB` in the build folder (or the `package` target) writes
# velmo_<version>_<arch>.deb from the install rules. The libraries it needs are found by
# dpkg-shlibdeps; what it loads at run time without linking is named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmo)
set(CPACK_PACKAGE_VENDOR "Tollan Works")
set(CPACK_PACKAGE_CONTACT "Tollan Works <velmo@tollan.works>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for single-panel comics made from photographs")
set(CPACK_PACKAGE_DESCRIPTION
    "Velmo (ベルモエディタ) loads a photograph as the picture of a panel,
places up to ten speech balloons on it and saves the panel as a .vlm file.
The panels of a folder make a .vls show that plays full screen, building
each panel up layer by layer.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/tollanworks/velmo")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Japanese font the balloons and, on a desktop font without Japanese, the program's own
# texts are drawn in, and Qt's window-system plugins.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, qt6-qpa-plugins")
# Qt's own dialogs in the desktop's language; the xdg tools for "velmo --register".
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

# The documentation Debian asks every package for, compressed reproducibly.
set(VELMO_DOC_DIR ${CMAKE_BINARY_DIR}/packaging)
foreach(doc changelog velmo.1)
  add_custom_command(OUTPUT ${VELMO_DOC_DIR}/${doc}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VELMO_DOC_DIR}
    COMMAND gzip -9 -n -c ${CMAKE_CURRENT_LIST_DIR}/${doc} > ${VELMO_DOC_DIR}/${doc}.gz
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/${doc}
    VERBATIM)
endforeach()
add_custom_target(velmo_package_docs ALL
  DEPENDS ${VELMO_DOC_DIR}/changelog.gz ${VELMO_DOC_DIR}/velmo.1.gz)
include(GNUInstallDirs)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${VELMO_DOC_DIR}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velmo)
install(FILES ${VELMO_DOC_DIR}/velmo.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/works.tollan.Velmo.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/velmo.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
  RENAME works.tollan.Velmo.svg)
