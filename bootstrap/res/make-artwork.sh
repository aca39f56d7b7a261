#!/usr/bin/env bash
# Draws the bootstrap's banner (banner.bmp, 352 x 100, 256 colours) and its
# program icon (bootstrap.ico, 32 x 32 and 16 x 16) with ImageMagick. Run by
# hand when the artwork changes; the results are committed beside it.
set -euo pipefail
cd "$(dirname "$0")"

# Dusk green to teal, two curved arrows chasing each other (the old program
# making way for the new one), and the words.
convert -size 352x100 gradient:'#0f3b2e'-'#2c8c7a' \
  -fill none -stroke '#f2d27a' -strokewidth 5 \
  -draw "arc 18,14 86,86 200,340" -draw "arc 18,14 86,86 20,160" \
  -fill '#f2d27a' -stroke none \
  -draw "polygon 80,28 92,40 74,44" -draw "polygon 24,72 12,60 30,56" \
  -fill '#ffffff' -font DejaVu-Sans-Bold -pointsize 26 \
  -draw "text 104,50 'SurePatch'" \
  -fill '#d6efe6' -font DejaVu-Sans -pointsize 12 \
  -draw "text 106,74 'installing the newest updater'" \
  -type Palette -colors 256 BMP3:banner.bmp

tmp=$(mktemp -d)
for size in 32 16; do
  convert -size 64x64 xc:'#0f3b2e' \
    -fill none -stroke '#f2d27a' -strokewidth 7 \
    -draw "arc 10,10 54,54 200,340" -draw "arc 10,10 54,54 20,160" \
    -fill '#f2d27a' -stroke none \
    -draw "polygon 48,10 60,26 40,26" -draw "polygon 16,54 4,38 24,38" \
    -resize "${size}x${size}" "$tmp/$size.png"
done
convert "$tmp/32.png" "$tmp/16.png" bootstrap.ico
rm -rf "$tmp"
