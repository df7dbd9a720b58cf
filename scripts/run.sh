#!/usr/bin/env bash
# Installs what is missing, builds Velmo and starts the editor (arguments are passed on).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: the editor needs a desktop session (or run it under xvfb-run)."
  echo "Headless commands work anywhere:"
  echo "  build/src/app/velmo --info FILE.vlm"
  echo "  build/src/app/velmo --export-png OUT.png FILE.vlm [--zoom N]"
  echo "  build/src/app/velmo export IN.vlm|IN.vls OUT.png|.jpg|.webp|.pdf|.mp4 [--zoom N]"
  exit 0
fi
exec build/src/app/velmo "$@"
