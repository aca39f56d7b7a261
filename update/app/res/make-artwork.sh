#!/usr/bin/env bash
# Draws the updater's banner (banner.bmp, 352 x 100, 256 colours) and icon
# (quill.ico, 32 x 32 and 16 x 16) with ImageMagick. Run once by hand when
# the artwork changes; the results are committed beside this script.
set -euo pipefail
cd "$(dirname "$0")"

font=DejaVu-Sans-Bold
# A night sky fading into dawn, a feather drawn as a curved vane with its
# shaft, and the program's name.
convert -size 352x100 gradient:'#10204a'-'#3d6fb0' \
  -fill '#f5e9c8' -stroke '#c9b27a' -strokewidth 1 \
  -draw "path 'M 40,88 C 46,60 66,26 104,10 C 96,34 80,62 48,86 Z'" \
  -stroke '#6b5a30' -strokewidth 2 -draw "line 36,94 100,14" \
  -stroke none -fill '#ffffff' -font "$font" -pointsize 30 \
  -draw "text 122,56 'Quill Update'" \
  -fill '#c8d8f0' -pointsize 13 -draw "text 124,80 'keeping your game up to date'" \
  -type Palette -colors 256 BMP3:banner.bmp

icon() {
  local size=$1 out=$2
  convert -size 64x64 xc:'#1d3a72' \
    -fill '#f5e9c8' -stroke '#c9b27a' -strokewidth 2 \
    -draw "path 'M 14,56 C 18,38 32,14 56,6 C 52,24 40,42 18,54 Z'" \
    -stroke '#6b5a30' -strokewidth 3 -draw "line 10,60 52,10" \
    -resize "${size}x${size}" "$out"
}
tmp=$(mktemp -d)
icon 32 "$tmp/32.png"
icon 16 "$tmp/16.png"
convert "$tmp/32.png" "$tmp/16.png" quill.ico
rm -rf "$tmp"
