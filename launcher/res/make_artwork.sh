#!/usr/bin/env bash
# Draws the launcher's pictures into a folder: make_artwork.sh OUTPUT_DIR
#   background.bmp   496 x 352, the frame with the drag band on top and the
#                    recess that the launcher page fills
#   strip_*.bmp      496 x 60, the three picture buttons; a plate lights up
#                    in the strip of its own highlighted state
#   launcher.ico     16 and 32 pixels
# Bitmaps are written with 256 colours, which keeps the program small.
# Button plates must stay inside the click areas of the strip:
#   start x 48-168, home page x 186-308, quit x 325-447; y 4-29 in the strip
#   (356-381 in the window).
set -euo pipefail
out=$1
mkdir -p "$out"

font=/usr/share/fonts/truetype/nanum/NanumGothicBold.ttf
[ -f "$font" ] || font=DejaVu-Sans-Bold
title_font=/usr/share/fonts/truetype/nanum/NanumMyeongjoBold.ttf
[ -f "$title_font" ] || title_font=$font

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

save_bmp() { # source target
  convert "$1" -dither None -colors 256 -type Palette BMP3:"$2"
}

# Background: a night-blue field with a gold rim, the title in the drag band
# and a sunken frame around the page (the page sits at x 21-471, y 156-342).
convert -size 496x352 gradient:'#1b2440'-'#0b0f1d' \
  -fill none -stroke '#c8a24a' -strokewidth 3 -draw 'rectangle 4,4 491,347' \
  -stroke '#6d5a2c' -strokewidth 1 -draw 'rectangle 9,9 486,342' \
  -stroke none -fill '#e6c66e' -font "$title_font" -pointsize 46 \
  -gravity north -annotate +0+34 'Quill' \
  -fill '#9fb1d6' -font "$font" -pointsize 15 -annotate +0+96 '깃펜의 대륙으로 떠나는 모험' \
  -gravity northwest \
  -fill '#05070d' -stroke '#c8a24a' -strokewidth 2 -draw 'rectangle 18,153 474,345' \
  "$tmp/background.png"
save_bmp "$tmp/background.png" "$out/background.bmp"

# Adds one plate to the array cmd: x0 x1 label lit(0/1)
plate() {
  local x0=$1 x1=$2 label=$3 lit=$4 fill stroke text
  if [ "$lit" = 1 ]; then
    fill='#e6c66e'; stroke='#fff2c4'; text='#1b2440'
  else
    fill='#33406a'; stroke='#c8a24a'; text='#e6c66e'
  fi
  local cx=$(( (x0 + x1) / 2 - 248 ))
  cmd+=(-fill "$fill" -stroke "$stroke" -strokewidth 2
        -draw "roundrectangle $((x0 + 1)),5 $((x1 - 1)),28 6,6"
        -stroke none -fill "$text" -annotate "$(printf '%+d' "$cx")-13" "$label")
}

strip() { # name lit-button(0 none, 1 start, 2 home page, 3 quit)
  local name=$1 lit=$2
  cmd=(-size 496x60 gradient:'#141a30'-'#070a14' -font "$font" -pointsize 14 -gravity center
       -fill none -stroke '#6d5a2c' -strokewidth 1 -draw 'line 0,0 495,0')
  plate 48 168 '게임 시작' $([ "$lit" = 1 ] && echo 1 || echo 0)
  plate 186 308 '홈페이지' $([ "$lit" = 2 ] && echo 1 || echo 0)
  plate 325 447 '종료' $([ "$lit" = 3 ] && echo 1 || echo 0)
  convert "${cmd[@]}" "$tmp/$name.png"
  save_bmp "$tmp/$name.png" "$out/$name.bmp"
}
strip strip_normal 0
strip strip_start 1
strip strip_homepage 2
strip strip_quit 3

# Icon: a gold quill nib on night blue.
for size in 32 16; do
  convert -size 32x32 xc:'#1b2440' -fill '#e6c66e' -stroke '#fff2c4' \
    -draw 'polygon 24,3 29,8 12,25 6,26 7,20' -stroke '#1b2440' -draw 'line 23,8 9,22' \
    -resize ${size}x${size} "$tmp/icon$size.png"
done
convert "$tmp/icon32.png" "$tmp/icon16.png" "$out/launcher.ico"
