#!/usr/bin/env bash
# Installs what is missing, builds everything, and runs every test: the model and Qt tests, the
# Debian package (built, checked, installed, run and removed),
# all of them again under AddressSanitizer and UndefinedBehaviorSanitizer (gcc, about four
# minutes), the model tests under both with clang, and a bounded run of each fuzzer (60 s each).
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
./scripts/check-source.sh

echo "== Build and test (release with debug info)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMO_WERROR=ON
cmake --build build -j2
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 300)

echo "== Debian package: metadata, lintian, installed, run and removed"
./scripts/package-test.sh build

echo "== Every test under AddressSanitizer and UndefinedBehaviorSanitizer (gcc, Qt layers included)"
cmake -S . -B build-sanitize-qt -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMO_SANITIZE=ON \
  -DVELMO_WERROR=ON
cmake --build build-sanitize-qt -j2
(cd build-sanitize-qt && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 300)

echo "== Model tests under sanitizers, and the fuzz targets (clang-14)"
CC=clang-14 CXX=clang++-14 cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DVELMO_WITH_QT=OFF -DVELMO_SANITIZE=ON -DVELMO_FUZZ=ON -DVELMO_WERROR=ON
cmake --build build-sanitize -j2
(cd build-sanitize && ctest --output-on-failure -j2 --timeout 300)

echo "== The drawing and decoding fuzz targets (clang-14 with the Qt layers, only those targets)"
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz-qt -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DVELMO_SANITIZE=ON -DVELMO_FUZZ=ON -DVELMO_WERROR=ON
cmake --build build-fuzz-qt -j2 --target fuzz_picture_decode fuzz_panel_draw

./scripts/fuzz.sh "${VELMO_FUZZ_SECONDS:-60}" build-sanitize build-fuzz-qt
echo "== All tests passed"
