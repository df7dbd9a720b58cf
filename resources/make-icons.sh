#!/usr/bin/env bash
# Draws the program icon and the two document icons with ImageMagick at 256 pixels and scales
# them to the sizes the desktop asks for. The tool bar strip comes from toolbar-art.py.
set -euo pipefail
cd "$(dirname "$0")"
mkdir -p icons
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# A photograph (sky, sun, hills) with a speech balloon: the program.
convert -size 256x256 xc:none \
  -fill '#2a3f6e' -draw 'roundrectangle 8,24 248,232 24,24' \
  -fill '#8cc8ff' -draw 'rectangle 20,36 236,220' \
  -fill '#ffd84a' -draw 'circle 70,80 70,104' \
  -fill '#3f9a3f' -draw 'ellipse 80,230 120,90 180,360' \
  -fill '#2f7d2f' -draw 'ellipse 200,236 110,70 180,360' \
  -fill '#2a3f6e' -draw 'rectangle 8,220 248,232' \
  -fill white -stroke black -strokewidth 8 \
  -draw 'polygon 150,132 132,176 184,136' \
  -draw 'ellipse 172,96 68,44 0,360' \
  -stroke none -fill white -draw 'polygon 150,126 140,160 176,130' \
  -fill black -draw 'circle 148,96 148,104' -draw 'circle 172,96 172,104' -draw 'circle 196,96 196,104' \
  "$work/velmo.png"

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
