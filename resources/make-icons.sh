#!/usr/bin/env bash
# Renders the program icon from its SVG and draws the two document icons with ImageMagick at 256
# pixels, then scales them to the sizes the desktop asks for. The tool bar
# strips (normal and twice the density) come from toolbar-art.py.
set -euo pipefail
cd "$(dirname "$0")"
mkdir -p icons
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The program icon is drawn once as a scalable picture (icons/velmo.svg, installed as it is for
# desktops that scale); the fixed sizes are rendered from it.
rsvg-convert -w 256 -h 256 icons/velmo.svg -o "$work/velmo.png"

# A page with a folded corner holding a small panel: the panel document.
convert -size 256x256 xc:none \
  -fill white -stroke '#404040' -strokewidth 8 \
  -draw 'polygon 44,12 172,12 220,60 220,244 44,244' \
  -fill '#d0d0d0' -draw 'polygon 172,12 172,60 220,60' \
  -stroke none -fill '#8cc8ff' -draw 'rectangle 68,84 196,212' \
  -fill '#3f9a3f' -draw 'ellipse 110,214 70,50 180,360' \
  -fill white -stroke black -strokewidth 6 -draw 'ellipse 150,120 36,22 0,360' \
  "$work/velmo-panel.png"

# Pages stacked with a play triangle: the show document.
convert -size 256x256 xc:none \
  -fill '#e8e8e8' -stroke '#404040' -strokewidth 8 -draw 'rectangle 70,20 236,180' \
  -fill '#f4f4f4' -draw 'rectangle 45,48 211,208' \
  -fill white -draw 'rectangle 20,76 186,236' \
  -stroke none -fill '#8cc8ff' -draw 'rectangle 36,92 170,220' \
  -fill '#c02020' -draw 'polygon 80,116 80,196 146,156' \
  "$work/velmo-show.png"

for size in 16 32 48 64 128 256; do
  convert "$work/velmo.png" -resize ${size}x${size} "icons/velmo-$size.png"
done
for size in 16 32 48 64 128; do
  convert "$work/velmo-panel.png" -resize ${size}x${size} "icons/velmo-panel-$size.png"
  convert "$work/velmo-show.png" -resize ${size}x${size} "icons/velmo-show-$size.png"
done
python3 toolbar-art.py
convert toolbar.xpm toolbar.png
convert toolbar@2x.xpm toolbar@2x.png
rm toolbar@2x.xpm
