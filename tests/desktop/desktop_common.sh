# shellcheck shell=bash
# Shared by the desktop and package checks: fixtures and small assertions.

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# A project of two slides on a W x H frame: slide 1 red, brought in from the blank slide by a
# one-second dissolve, slide 2 blue; the background green. Extra [Main] keys come as $3.
two_slides() {
  local width=$1 height=$2 main=${3:-}
  printf '[Main]\r\nopt_scr_width=%s\r\nopt_scr_height=%s\r\nopt_scr_hidercolor=65280\r\n%s' \
    "$width" "$height" "$main"
  printf '[Times]\r\nopt_slidescount=2\r\nopt_synchpos1=3000\r\nopt_synchpos2=6000\r\n'
  local k colour
  for k in 1 2; do
    colour=$([ "$k" = 1 ] && echo 255,0,0 || echo 0,0,255)
    printf '[Slide%s]\r\nobject Root:Root\r\nobject box:Box\r\nSize=%s,%s\r\nColor1=%s\r\n' \
      "$k" "$width" "$height" "$colour"
    printf 'end\r\nend\r\nobject TheEffect:AnEffect\r\n  ref=dissolve\r\n  time=1000\r\nend\r\n'
  done
}

# "WIDTHxHEIGHT" of a PNG file.
png_size() { identify -format '%wx%h' "$1"; }

# "R,G,B" of one pixel of a PNG file.
png_pixel() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r+0.5)],%[fx:int(255*p{$2,$3}.g+0.5)],%[fx:int(255*p{$2,$3}.b+0.5)]" info:
}

# A PNG written as the thumbnail of a 16:9 show at 128: 128 x 72, the colour R,G,B (default
# red) in the middle.
expect_thumbnail() {
  local png=$1 colour=${2:-255,0,0}
  [ -s "$png" ] || fail "no thumbnail $png"
  [ "$(png_size "$png")" = 128x72 ] || fail "$png is $(png_size "$png"), not 128x72"
  [ "$(png_pixel "$png" 64 36)" = "$colour" ] ||
    fail "$png is $(png_pixel "$png" 64 36) in the middle, not $colour"
}

# The two-slide show with a yellow JPEG over the whole of slide 1, in folder DIR.
picture_show() {
  local dir=$1
  mkdir -p "$dir"
  convert -size 320x180 xc:yellow "$dir/yellow.jpg"
  two_slides 320 180 | awk '{ print } /^Color1=255,0,0/ && !done { getline; print;
    printf "object picture:Image\r\nImageName=yellow.jpg\r\nend\r\n"; done = 1 }' \
    >"$dir/Project.vyr"
}

# The thumbnailer's command for INPUT, SIZE and OUTPUT, split into the array "run_line", with
# the field codes a file manager fills in.
thumbnailer_command() {
  local entry=$1 input=$2 size=$3 output=$4 exec_line word
  exec_line=$(sed -n 's/^Exec=//p' "$entry")
  [ -n "$exec_line" ] || fail "$entry has no Exec line"
  run_line=()
  for word in $exec_line; do
    case $word in
      %i) run_line+=("$input") ;;
      %s) run_line+=("$size") ;;
      %o) run_line+=("$output") ;;
      %u) run_line+=("file://$input") ;;
      *) run_line+=("$word") ;;
    esac
  done
}
