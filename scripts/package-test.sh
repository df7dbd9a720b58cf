#!/usr/bin/env bash
# Checks the desktop metadata, builds the Debian package from a configured build folder (default
# build/), checks it with lintian, installs it on this machine with apt-get, runs the installed
# program headless and removes the package again.
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(realpath "${1:-build}")"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

echo "== Desktop entry, file types and software-centre metadata"
desktop-file-validate packaging/works.tollan.Velmo.desktop
appstreamcli validate --no-net packaging/works.tollan.Velmo.metainfo.xml
xmllint --noout packaging/works.tollan.Velmo.xml 2>/dev/null ||
  python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' \
    packaging/works.tollan.Velmo.xml

echo "== Debian package"
rm -f "$build"/velmo_*.deb
(cd "$build" && cpack -G DEB)
debs=("$build"/velmo_*.deb)
deb="${debs[0]}"
lintian --fail-on error --tag-display-limit 0 "$deb"

work="$(mktemp -d)"
cleanup() {
  rm -rf "$work"
  if dpkg-query -W -f='${Status}' velmo 2>/dev/null | grep -q "install ok installed"; then
    $SUDO apt-get remove -y --purge velmo >/dev/null
  fi
}
trap cleanup EXIT

echo "== Installed with apt-get: $(basename "$deb")"
cp "$deb" "$work/"
(cd "$work" && DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y ./"$(basename "$deb")")
test "$(command -v velmo)" = /usr/bin/velmo
velmo --version
velmo --export-png "$work/beach.png" examples/01-beach.vlm
file "$work/beach.png" | grep -q "PNG image data, 640 x 490"
# A video is written by the packaged video module, opened only for it.
test -f /usr/lib/velmo/velmo-video.so
velmo export examples/sample.vls "$work/sample.mp4" --size 320x240
file "$work/sample.mp4" | grep -q "ISO Media, MP4"
# Printing comes with the print module, opened only at the first print.
test -f /usr/lib/velmo/velmo-print.so
test -f /usr/share/metainfo/works.tollan.Velmo.metainfo.xml
test -f /usr/share/icons/hicolor/scalable/apps/works.tollan.Velmo.svg
# The file types are known to the system: by extension, and a panel also by its first bytes.
grep -q "application/x-velmo:\*\.vlm" /usr/share/mime/globs2
grep -q "application/x-velmo-show:\*\.vls" /usr/share/mime/globs2
grep -aq "application/x-velmo\]" /usr/share/mime/magic

$SUDO apt-get remove -y --purge velmo
test ! -e /usr/bin/velmo
test ! -e /usr/lib/velmo/velmo-video.so
test ! -e /usr/lib/velmo/velmo-print.so
! grep -q "application/x-velmo" /usr/share/mime/globs2
echo "== Package built, installed, run and removed"
