#!/usr/bin/env bash
# The main job of `make run`: make the demo show's pictures and music, pack the show, list, verify
# and describe the package, export it to a video file, then play it in the player's window.
# Without a display the player cannot open a window: the script says so and renders one frame per
# second of the show and a contact sheet of them instead. VYR_DEMO_SHEET=1 renders the sheet in
# any case; VYR_DEMO_EXPORT=0 skips the export.
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
cp "$media"/* demo/*.ini "$stage/media/"

# The bar descriptions name their pictures; the packer finds only what the project names.
bar_pictures() {
  local f
  for f in "$stage"/media/$1; do printf -- '--add\nmedia/%s=%s\n' "$(basename "$f")" "$f"; done
}
mapfile -t video_bar < <(bar_pictures 'vbar_*.png')
"$vyrpack" create "$show" "$stage/Project.vyr" "${video_bar[@]}"
# The second show: the same media under a skin navigation bar.
skin_stage="$out/skin-stage"
skin_show="$out/skinbar.vyshow"
rm -rf "$skin_stage"
mkdir -p "$skin_stage"
cp demo/SkinBar.vyr "$skin_stage/Project.vyr"
# Linked, not copied, and by hard links: the packer takes no file from outside a project's folder.
cp -rl "$stage/media" "$skin_stage/media"
mapfile -t skin_bar < <(bar_pictures 'skin_*.png')
"$vyrpack" create "$skin_show" "$skin_stage/Project.vyr" "${skin_bar[@]}"
# VYR_DEMO_PACK_ONLY=1 stops here: the benchmarks want the package alone.
[ -n "${VYR_DEMO_PACK_ONLY:-}" ] && exit 0
"$vyrpack" list "$show"
"$vyrpack" verify "$show"
"$vyrpack" info "$show"

# Help texts are read whole: a pipe into `grep -q` would break the writer's pipe.
help_of() { "$@" --help 2>&1 || true; }

if [[ $(help_of "$vyrpack") == *"  music "* ]]; then
  "$vyrpack" music --out "$out/soundtrack.wav" "$show"
  echo "run-demo: the show's soundtrack in $out/soundtrack.wav"
fi

# The whole show as a video, once round, with a progress line on a terminal.
video="$out/demo.mp4"
if [ "${VYR_DEMO_EXPORT:-1}" != 0 ] && [ -x "$viewer" ] &&
  [[ $(help_of "$viewer") == *--export* ]]; then
  echo "run-demo: exporting the show to $video"
  "$viewer" --export "$video" "$show"
  echo "run-demo: the show as a video in $video"
fi

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${VYR_DEMO_SHEET:-}" ]; then
  echo "run-demo: playing $show (Escape ends the show, Space pauses)"
  "$viewer" "$show"
  exit $?
fi
echo "run-demo: no display here, so the show cannot play in a window; rendering its frames instead"

frames="$out/frames"
sheet="$out/contact-sheet.png"
if [ -x "$viewer" ] && [[ $(help_of "$viewer") == *--frames* ]]; then
  length=$("$vyrpack" info --json "$show" | sed -n 's/.*"length": \([0-9]*\).*/\1/p' | head -n 1)
  rm -rf "$frames"
  mkdir -p "$frames"
  "$viewer" --frames "0:${length:-60000}:1000" --out "$frames" "$show"
  for ms in 1000 6000 10000; do
    "$viewer" --frame "$ms" --out "$frames/skinbar_$ms.png" "$skin_show"
  done
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
