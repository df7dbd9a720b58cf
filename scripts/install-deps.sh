#!/usr/bin/env bash
# Installs every Debian 12 package Velmo needs to build, run, test, fuzz and benchmark.
# Idempotent: does nothing when all packages are already present.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev libxkbcommon-dev
  qt6-qpa-plugins libxcb-shm0-dev
  libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev
  clang-14 libclang-rt-14-dev clang-format
  fonts-ipafont-gothic fonts-ipafont-mincho
  libharfbuzz-dev libicu-dev
  xvfb xauth x11-apps imagemagick dbus dbus-x11 time
  libjpeg-turbo-progs libjpeg62-turbo-dev libpng-dev libdeflate-dev
  libavcodec-dev libavformat-dev libswscale-dev libavutil-dev libwebp-dev libyuv-dev libx264-dev
  poppler-utils ffmpeg
  desktop-file-utils shared-mime-info xdg-utils
  qt6-translations-l10n
  dpkg-dev file lintian appstream librsvg2-bin
  at-spi2-core python3-gi xdotool
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
