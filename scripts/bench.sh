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
echo "== Peak memory of a process whose player shows the 24-megapixel panel at 3840 x 2160"
/usr/bin/time -v "$BUILD_DIR/bench/velmo_show_bench" --jpeg "$WORK/photo.jpg" --memory-run \
  2> "$WORK/player-time.txt"
PEAK_KB=$(awk -F: '/Maximum resident set size/ {gsub(/ /, "", $2); print $2}' "$WORK/player-time.txt")
awk -v kb="$PEAK_KB" 'BEGIN { b = 6000 * 4000 * 4;
  printf "peak %.1f MiB = %.2f x the decoded picture (W x H x 4 = %.1f MiB); target <= 1.50\n",
    kb / 1024, kb * 1024 / b, b / 1048576 }'
echo
echo "== The player's advances to the pixels on an X server of 3840 x 2160 (Xvfb)"
xvfb-run -a -s "-screen 0 3840x2160x24" \
  "$BUILD_DIR/bench/velmo_show_bench" --x11 --jpeg "$WORK/photo.jpg" "$@"
echo
echo "== Start-up to the first painted window with a panel open (Xvfb)"
cmake --build "$BUILD_DIR" -j2 --target velmo velmo_startup_bench velmo_startup_minimal
"$BUILD_DIR/bench/velmo_bench" --make-jpeg "$WORK/small.jpg" 640 427
"$BUILD_DIR/bench/velmo_startup_bench" --make-panel "$WORK/startup.vlm" "$WORK/small.jpg"
mkdir -p "$WORK/home"
DBUS_SESSION_BUS_ADDRESS= HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" XDG_DATA_HOME="$WORK/home/.local/share" \
  xvfb-run -a -s "-screen 0 3840x2160x24" "$BUILD_DIR/bench/velmo_startup_bench" \
  --velmo "$BUILD_DIR/src/app/velmo" --minimal "$BUILD_DIR/bench/velmo_startup_minimal" \
  --panel "$WORK/startup.vlm"
echo
echo "== Exporting a show of ten 24-megapixel panels (velmo export)"
cmake --build "$BUILD_DIR" -j2 --target velmo velmo_export_bench
mkdir -p "$WORK/export"
"$BUILD_DIR/bench/velmo_export_bench" --velmo "$BUILD_DIR/src/app/velmo" \
  --jpeg "$WORK/photo.jpg" --work "$WORK/export"
# The MP4 alone, five runs each paired with the ten djpeg decodes: medians with min-max.
mkdir -p "$WORK/export-mp4"
"$BUILD_DIR/bench/velmo_export_bench" --velmo "$BUILD_DIR/src/app/velmo" \
  --jpeg "$WORK/photo.jpg" --work "$WORK/export-mp4" --mp4-runs 5
echo
echo "== Headless export of one panel: processor time and peak memory (/usr/bin/time -v)"
PANELS="$WORK/panels"
mkdir -p "$PANELS"
# A camera-like JPEG beside the generated one: quality 97, 4:2:2, about 2.7 bits a pixel.
convert "$WORK/photo.jpg" -quality 97 -sampling-factor 2x1 "$PANELS/camera.jpg"
cp "$WORK/photo.jpg" "$PANELS/photo.jpg"
convert "$WORK/photo.jpg" "$PANELS/photo.png"
convert "$WORK/photo.jpg" -type TrueColor "BMP3:$PANELS/photo.bmp"
MAKE_PANEL=("$BUILD_DIR/bench/velmo_export_bench" --make-panel)
# 600 x 400 filled by the picture, exported at zoom 270 (1620 x 1080).
"${MAKE_PANEL[@]}" "$PANELS/photo.vlm" "$PANELS/photo.jpg" 600 400 0 0 600 400
"${MAKE_PANEL[@]}" "$PANELS/camera.vlm" "$PANELS/camera.jpg" 600 400 0 0 600 400
# The editor's default panel with the picture as imported: 300 pixels wide at (50, 50).
"${MAKE_PANEL[@]}" "$PANELS/png.vlm" "$PANELS/photo.png" 640 480 50 50 350 250
"${MAKE_PANEL[@]}" "$PANELS/bmp.vlm" "$PANELS/photo.bmp" 640 480 50 50 350 250
# Prints "processor-ms peak-KiB" of one run of a command.
usage_of() {
  /usr/bin/time -v "$@" >/dev/null 2>"$PANELS/time.txt" || { cat "$PANELS/time.txt" >&2; return 1; }
  awk -F': ' '/User time/{u=$2} /System time/{s=$2} /Maximum resident/{m=$2}
              END{printf "%.0f %d\n", (u + s) * 1000, m}' "$PANELS/time.txt"
}
# The median (and min-max) of five runs of each: processor time against djpeg of the same
# picture in the same run, peak memory against the decoded picture (W x H x 4).
median() { sort -n | sed -n 3p; }
range() { sort -n | sed -n '1p;$p' | paste -sd- -; }
VELMO="$BUILD_DIR/src/app/velmo"
cmake --build "$BUILD_DIR" -j2 --target velmo velmo_export_bench >/dev/null
PIXEL_KIB=$((6000 * 4000 * 4 / 1024))
printf "%-44s %9s %9s %8s %12s %9s %8s\n" "path" "cpu ms" "min-max" "x djpeg" "djpeg ms" \
  "peak MiB" "x WxHx4"
for row in "photo.vlm photo.jpg --zoom 270" "camera.vlm camera.jpg --zoom 270" \
           "png.vlm photo.jpg --zoom 100" "bmp.vlm photo.jpg --zoom 100"; do
  set -- $row
  cpus=() djpegs=() peaks=()
  for i in 1 2 3 4 5; do
    read -r cpu peak < <(usage_of "$VELMO" export "$PANELS/$1" "$PANELS/out.png" "$3" "$4")
    read -r dj _ < <(usage_of djpeg -outfile /dev/null "$PANELS/$2")
    cpus+=("$cpu") peaks+=("$peak") djpegs+=("$dj")
  done
  cpu=$(printf "%s\n" "${cpus[@]}" | median)
  dj=$(printf "%s\n" "${djpegs[@]}" | median)
  peak=$(printf "%s\n" "${peaks[@]}" | median)
  cpu_range=$(printf "%s\n" "${cpus[@]}" | range)
  dj_range=$(printf "%s\n" "${djpegs[@]}" | range)
  awk -v name="velmo export $1 $3 $4" -v cpu="$cpu" -v dj="$dj" -v peak="$peak" \
    -v pixels="$PIXEL_KIB" -v cr="$cpu_range" -v dr="$dj_range" \
    'BEGIN{printf "%-44s %9d %9s %8.2f %4d %-7s %9.1f %8.2f\n", name, cpu, cr, cpu / dj, dj, dr,
           peak / 1024, peak / pixels}'
done
echo "(djpeg of the same picture in the same run: the ratio's floor; the PNG and BMP rows' ratio"
echo " is against djpeg of the JPEG they were made from)"

echo
echo "== Peak memory of the editor with one panel open (Xvfb, /usr/bin/time -v, first paint)"
# The PNG and BMP panels above (640 x 480, the 24-megapixel picture 300 pixels wide at zoom
# 100); velmo quits after its first paint. The empty editor for reference.
mkdir -p "$PANELS/home"
editor_peak_of() {
  DBUS_SESSION_BUS_ADDRESS= HOME="$PANELS/home" XDG_CONFIG_HOME="$PANELS/home/.config" \
    XDG_DATA_HOME="$PANELS/home/.local/share" VELMO_EXIT_AFTER_FIRST_PAINT=1 \
    xvfb-run -a -s "-screen 0 1920x1080x24" /usr/bin/time -v "$VELMO" "$@" \
    >/dev/null 2>"$PANELS/editor-time.txt" || { cat "$PANELS/editor-time.txt" >&2; return 1; }
  awk -F': ' '/Maximum resident/{print $2}' "$PANELS/editor-time.txt"
}
printf "%-44s %9s %8s %8s\n" "editor" "peak MiB" "x WxHx4" "target"
for panel in "" png.vlm bmp.vlm; do
  peaks=()
  for i in 1 2 3 4 5; do
    peaks+=("$(editor_peak_of ${panel:+"$PANELS/$panel"})")
  done
  peak=$(printf "%s\n" "${peaks[@]}" | median)
  awk -v name="velmo ${panel:-(no panel)}" -v peak="$peak" -v pixels="$PIXEL_KIB" \
    -v target="$([ -n "$panel" ] && echo "<= 1.20" || echo "-")" \
    'BEGIN{printf "%-44s %9.1f %8.2f %8s\n", name, peak / 1024, peak / pixels, target}'
done
echo
echo "== Hostile and large panel files"
"$BUILD_DIR/bench/velmo_input_bench" "$WORK"
