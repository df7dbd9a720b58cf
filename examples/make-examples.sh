#!/usr/bin/env bash
# Draws the sample pictures with ImageMagick and writes the sample panels and show beside them
# (the panel writer is built from MakeExamples.cpp as the target velmo_make_examples).
set -euo pipefail
cd "$(dirname "$0")"
build="${1:-../build}"

convert -size 800x600 gradient:'#5fb7ff'-'#d8f0ff' \
  -fill '#f2dca0' -draw 'polygon 0,420 800,380 800,600 0,600' \
  -fill '#3c8fd0' -draw 'polygon 0,360 800,330 800,390 0,420' \
  -fill '#ffe45a' -draw 'circle 640,110 640,165' \
  -fill white -draw 'ellipse 200,120 90,30 0,360' -draw 'ellipse 260,100 70,28 0,360' \
  -quality 90 beach.jpg
convert -size 800x600 gradient:'#a8d8ff'-'#ffffff' \
  -fill '#5aa84a' -draw 'ellipse 200,640 420,260 180,360' \
  -fill '#3f8a3a' -draw 'ellipse 640,660 360,300 180,360' \
  -fill '#8b5a2b' -draw 'rectangle 560,330 572,380' -fill '#2e6b2a' -draw 'circle 566,320 566,290' \
  -quality 90 hills.jpg
convert -size 800x600 gradient:'#0b1030'-'#2a3570' \
  -fill '#fff7c0' -draw 'circle 620,140 620,190' -fill '#0b1030' -draw 'circle 600,125 600,180' \
  -fill white -draw 'point 100,80' -draw 'point 220,160' -draw 'point 330,60' -draw 'point 450,200' \
  -draw 'circle 150,220 152,220' -draw 'circle 700,300 702,300' -draw 'circle 380,120 382,120' \
  -fill '#151a30' -draw 'polygon 0,600 0,470 180,430 360,480 560,440 800,470 800,600' \
  -quality 90 night.jpg

cmake --build "$build" --target velmo_make_examples -j2
"$build/src/app/velmo_make_examples" "$PWD/"
