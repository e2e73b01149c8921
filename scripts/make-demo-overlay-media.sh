#!/usr/bin/env bash
# Makes the overlay pictures of the demo shows into the folder given as argument: the show's
# logo, the video-style navigation bar (background, track line, slider, three button strips)
# and the skin bar (grid cells, button icons, their backgrounds, the Play icon). All drawn
# here with ImageMagick; files already there are kept.
set -euo pipefail

out=${1:?usage: make-demo-overlay-media.sh OUTPUT_DIR}
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

picture() {
  local file=$1
  shift
  [ -s "$out/$file" ] && return 0
  "$@" "$work/new.png"
  mv "$work/new.png" "$out/$file"
  echo "make-demo-overlay-media: $out/$file"
}

# A round emblem: a ring, a rising triangle and a spark.
logo() {
  convert -size 256x256 xc:none \
    -fill 'rgba(12,20,48,0.85)' -stroke '#ffd27a' -strokewidth 10 -draw 'circle 128,128 128,12' \
    -stroke none -fill '#ffb347' -draw 'polygon 64,186 128,60 192,186' \
    -fill '#1b2a5a' -draw 'polygon 100,186 128,124 156,186' \
    -fill '#fff4d0' -draw 'circle 176,78 176,64' "$1"
}

# Video-style bar: a rounded translucent band, its track line and a round slider.
vbar_back() {
  convert -size 64x36 xc:none -fill 'rgba(14,16,26,0.8)' -draw 'roundrectangle 0,0 63,35 12,12' "$1"
}
vbar_line() {
  convert -size 24x6 xc:none -fill 'rgba(255,255,255,0.6)' -draw 'roundrectangle 0,0 23,5 3,3' "$1"
}
vbar_slider() {
  convert -size 14x14 xc:none -fill '#ffffff' -stroke '#ffa040' -strokewidth 2 \
    -draw 'circle 7,7 7,1' "$1"
}

# Seven 28 x 28 cells in one colour: play, pause, sound on, sound off, backward, forward, exit.
vbar_strip() {
  local c=$1 file=$2
  convert -size 196x28 xc:none -fill "$c" -stroke none \
    -draw 'polygon 9,6 9,22 22,14' \
    -draw 'rectangle 36,6 40,22' -draw 'rectangle 45,6 49,22' \
    -draw 'polygon 62,11 66,11 72,6 72,22 66,17 62,17' \
    -fill none -stroke "$c" -strokewidth 2 -draw 'arc 68,8 80,20 -60,60' \
    -stroke none -fill "$c" -draw 'polygon 90,11 94,11 100,6 100,22 94,17 90,17' \
    -stroke "$c" -strokewidth 2 -draw 'line 103,10 109,18' -draw 'line 109,10 103,18' \
    -stroke none -draw 'polygon 116,14 126,7 126,21' -draw 'polygon 126,14 136,7 136,21' \
    -draw 'polygon 144,7 154,14 144,21' -draw 'polygon 154,7 164,14 154,21' \
    -fill none -stroke "$c" -strokewidth 2 -draw 'circle 182,14 182,4' \
    -draw 'line 177,9 187,19' -draw 'line 187,9 177,19' "$file"
}
vbar_normal() { vbar_strip '#d8dce6' "$1"; }
vbar_hover() { vbar_strip '#ffffff' "$1"; }
vbar_click() { vbar_strip '#ffa040' "$1"; }

# Skin bar: a 40 x 48 cell picture (left cap, an 8-pixel middle tile, right cap).
skin_cells() {
  convert -size 40x48 gradient:'#3a6ea8'-'#12243e' \
    \( -size 40x48 xc:black -fill white -draw 'roundrectangle 0,0 39,47 14,14' \) \
    -alpha off -compose copy_opacity -composite "$1"
}

# Five 32 x 32 icons in a row (home, backward, pause, forward, exit), one row per state.
skin_icons() {
  local file=$1 rows=() c i
  for c in '#e8eef8' '#ffffff' '#ffc060'; do
    i=$work/row${#rows[@]}.png
    convert -size 160x32 xc:none -fill "$c" -stroke none \
      -draw 'polygon 4,16 16,5 28,16' -draw 'rectangle 8,16 24,27' \
      -draw 'polygon 36,16 48,7 48,25' -draw 'polygon 47,16 59,7 59,25' \
      -draw 'rectangle 72,7 77,25' -draw 'rectangle 82,7 87,25' \
      -draw 'polygon 100,7 112,16 100,25' -draw 'polygon 111,7 123,16 111,25' \
      -stroke "$c" -strokewidth 4 -draw 'line 134,6 154,26' -draw 'line 154,6 134,26' "$i"
    rows+=("$i")
  done
  convert "${rows[@]}" -background none -append "$file"
}

# The pause button's Play icon, in the pause column of the same layout.
skin_play() {
  local file=$1 rows=() c i
  for c in '#e8eef8' '#ffffff' '#ffc060'; do
    i=$work/play${#rows[@]}.png
    convert -size 160x32 xc:none -fill "$c" -draw 'polygon 72,6 90,16 72,26' "$i"
    rows+=("$i")
  done
  convert "${rows[@]}" -background none -append "$file"
}

# Button backgrounds, 40 x 40: normal, hover, pressed.
skin_btnbg() {
  convert -size 120x40 xc:none \
    -fill 'rgba(255,255,255,0.10)' -draw 'circle 20,20 20,3' \
    -fill 'rgba(255,255,255,0.30)' -draw 'circle 60,20 60,2' \
    -fill 'rgba(0,0,0,0.35)' -draw 'circle 100,20 100,3' "$1"
}

picture logo.png logo
picture vbar_back.png vbar_back
picture vbar_line.png vbar_line
picture vbar_slider.png vbar_slider
picture vbar_normal.png vbar_normal
picture vbar_hover.png vbar_hover
picture vbar_click.png vbar_click
picture skin_cells.png skin_cells
picture skin_icons.png skin_icons
picture skin_play.png skin_play
picture skin_btnbg.png skin_btnbg
