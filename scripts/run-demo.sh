#!/usr/bin/env bash
# The main job of `make run`: make the demo show's pictures and music, pack the show, list, verify
# and describe the package, and, once the player can render frames to files, render one frame per
# second of the show and a contact sheet of them.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
vyrpack="$build/apps/vyrpack/vyrpack"
viewer="$build/apps/vyrviewer/vyrviewer"
media="$build/demo-media"
out="$build/demo"
stage="$out/stage"
show="$out/demo.vyshow"

# The project names its files as media/NAME; the packer finds them next to the project, so the
# project and the generated media meet in a staging folder.
scripts/make-demo-media.sh "$media"
rm -rf "$stage"
mkdir -p "$stage/media"
cp demo/Project.vyr "$stage/Project.vyr"
cp "$media"/* "$stage/media/"

"$vyrpack" create "$show" "$stage/Project.vyr"
"$vyrpack" list "$show"
"$vyrpack" verify "$show"
"$vyrpack" info "$show"

# Help texts are read whole: a pipe into `grep -q` would break the writer's pipe.
help_of() { "$@" --help 2>&1 || true; }

if [[ $(help_of "$vyrpack") == *"  music "* ]]; then
  "$vyrpack" music --out "$out/soundtrack.wav" "$show"
  echo "run-demo: the show's soundtrack in $out/soundtrack.wav"
fi

frames="$out/frames"
sheet="$out/contact-sheet.png"
if [ -x "$viewer" ] && [[ $(help_of "$viewer") == *--frames* ]]; then
  length=$("$vyrpack" info --json "$show" | sed -n 's/.*"length": \([0-9]*\).*/\1/p' | head -n 1)
  rm -rf "$frames"
  mkdir -p "$frames"
  "$viewer" --frames "0:${length:-60000}:1000" --out "$frames" "$show"
  label=()
  font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
  [ -r "$font" ] && label=(-font "$font" -pointsize 11 -label '%t')
  montage "${label[@]}" "$frames"/*.png -geometry 256x144+3+3 -tile 8x -background '#202020' \
    -fill '#e0e0e0' "$sheet"
  echo "run-demo: one frame per second in $frames/"
  echo "run-demo: contact sheet $sheet"
else
  echo "run-demo: $viewer cannot render frames yet (no --frames); the show is packed in $show"
fi

if [ -x "$viewer" ] && [[ $(help_of "$viewer") == *--export* ]]; then
  "$viewer" --export "$out/demo.mp4" "$show"
  echo "run-demo: the show as a video in $out/demo.mp4"
fi
