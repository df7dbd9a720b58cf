#!/usr/bin/env bash
# Builds the benchmarks (release), makes a 6000 x 4000 photograph-like JPEG, and measures in one
# run a full djpeg decode of it (the floor) and the drawing layer's paths on the same file,
# printing each as a ratio of the djpeg decode; then the same for the player's advances.
#   scripts/bench.sh [extra benchmark flags]       BUILD_DIR=... to choose the build folder
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
BUILD_DIR="${BUILD_DIR:-build-bench}"
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMO_BENCH=ON >/dev/null
cmake --build "$BUILD_DIR" -j2 --target velmo_bench velmo_show_bench velmo_input_bench

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
"$BUILD_DIR/bench/velmo_bench" --make-jpeg "$WORK/photo.jpg" 6000 4000
cp "$WORK/photo.jpg" "$WORK/photo-copy.jpg"
echo "picture: 6000 x 4000 JPEG, $(stat -c %s "$WORK/photo.jpg") bytes; djpeg: $(command -v djpeg)"
"$BUILD_DIR/bench/velmo_bench" --jpeg "$WORK/photo.jpg" --copy "$WORK/photo-copy.jpg" "$@"
echo
echo "== The player's advances at 3840 x 2160"
"$BUILD_DIR/bench/velmo_show_bench" --jpeg "$WORK/photo.jpg" "$@"
echo
echo "== Exporting a show of ten 24-megapixel panels (velmo export)"
cmake --build "$BUILD_DIR" -j2 --target velmo velmo_export_bench
mkdir -p "$WORK/export"
"$BUILD_DIR/bench/velmo_export_bench" --velmo "$BUILD_DIR/src/app/velmo" \
  --jpeg "$WORK/photo.jpg" --work "$WORK/export"
echo
echo "== Hostile and large panel files"
"$BUILD_DIR/bench/velmo_input_bench" "$WORK"
