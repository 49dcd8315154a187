#!/usr/bin/env bash
# make-icon.sh OUT.ico COLOR LETTER: a rounded square in COLOR with a white LETTER, at 32 and
# 16 pixels. Without the font the letter is left out rather than failing the build.
set -eu
out=$1 color=$2 letter=$3
shape=(-size 32x32 xc:none -fill "$color" -draw 'roundrectangle 1,1 30,30 7,7')
convert "${shape[@]}" -fill white -font DejaVu-Sans-Bold -pointsize 20 -gravity center \
    -annotate 0 "$letter" -define icon:auto-resize=32,16 "$out" 2>/dev/null ||
  convert "${shape[@]}" -define icon:auto-resize=32,16 "$out"
