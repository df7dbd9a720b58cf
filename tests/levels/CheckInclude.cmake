# Builds TARGET in BUILD_DIR. OUTCOME "compiles": the build must succeed. OUTCOME "refused": it
# must fail because HEADER is not found, and for no other reason.
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${TARGET}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(OUTCOME STREQUAL "compiles")
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "#include \"${HEADER}\" should compile here:\n${out}")
  endif()
  return()
endif()
if(rc EQUAL 0)
  message(FATAL_ERROR "#include \"${HEADER}\" compiled, but this level must not see it")
endif()
string(REPLACE "." "\\." header_pattern "${HEADER}")
if(NOT out MATCHES "${header_pattern}[:']? (No such file or directory|file not found)")
  message(FATAL_ERROR "the build failed, but not because ${HEADER} was not found:\n${out}")
endif()
