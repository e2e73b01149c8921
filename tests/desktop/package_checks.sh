#!/usr/bin/env bash
# The Debian package of the build folder. "build" packs it once and unpacks it into a
# temporary root; the other checks read that stage.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/desktop_common.sh"

check=${1:?usage: package_checks.sh CHECK}
stage=${VYR_STAGE:?}
root=$stage/root
export LC_ALL=C.UTF-8

package() {
  local found=("$stage"/out/vyrviewer_*.deb)
  [ -f "${found[0]}" ] || fail "no package in $stage/out"
  echo "${found[0]}"
}

case $check in
build)
  rm -rf "$stage"
  mkdir -p "$stage/out" "$root"
  (cd "$VYR_BINARY_DIR" && cpack -G DEB -B "$stage/out" >"$stage/cpack.log") ||
    { cat "$stage/cpack.log" >&2; fail "cpack"; }
  dpkg-deb -x "$(package)" "$root"
  ;;

fields)
  deb=$(package)
  [ "$(dpkg-deb -f "$deb" Package)" = vyrviewer ] || fail "package name"
  [ -n "$(dpkg-deb -f "$deb" Version)" ] || fail "no version"
  [ "$(dpkg-deb -f "$deb" Architecture)" = "$(dpkg --print-architecture)" ] || fail "architecture"
  names() { tr ',|' '\n' | sed 's/^ *//; s/ .*//' | sed '/^$/d'; }
  depends=$(dpkg-deb -f "$deb" Depends | names)
  # The linked libraries (found by dpkg-shlibdeps) and what is loaded at run time or is no
  # library, named by hand (GTK and cairo are opened on first use).
  for need in libsdl2-2.0-0 libjpeg62-turbo libpng16-16 liblcms2-2 libmpg123-0 libfreetype6 \
              libfontconfig1 libharfbuzz0b libepoxy0 libstdc++6 libc6 \
              libegl1 libgl1 libegl-mesa0 libgl1-mesa-dri fonts-liberation2 fonts-dejavu-core \
              libgtk-3-0 libcairo2; do
    grep -qxF "$need" <<<"$depends" || fail "Depends lacks $need: $(dpkg-deb -f "$deb" Depends)"
  done
  dpkg-deb -f "$deb" Recommends | names | grep -qxF xdg-utils || fail "xdg-utils not recommended"
  # No maintainer scripts: dpkg's triggers refresh the MIME and desktop databases.
  mkdir -p "$stage/control"
  dpkg-deb -e "$deb" "$stage/control"
  for file in "$stage"/control/*; do
    case ${file##*/} in
      control | md5sums) ;;
      *) fail "a control file besides control and md5sums: ${file##*/}" ;;
    esac
  done
  dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./||' >"$stage/contents"
  while read -r file; do
    case $file in '#'* | '') continue ;; esac
    grep -qx "usr/$file" "$stage/contents" || fail "the package lacks usr/$file"
  done <"$here/installed_files.txt"
  ;;

lintian)
  lintian --allow-root --fail-on error "$(package)" \
    >"$stage/lintian.txt" 2>&1 || { cat "$stage/lintian.txt" >&2; fail "lintian reports errors"; }
  cat "$stage/lintian.txt"
  ;;

run)
  bin=$root/usr/bin
  "$bin/vyrviewer" --version | grep -q '^vyrviewer ' || fail "vyrviewer --version"
  "$bin/vyrpack" --version | grep -q '^vyrpack ' || fail "vyrpack --version"
  # A frame of the demo show, packed and drawn by the packaged programs.
  media=$VYR_BINARY_DIR/demo-media
  "$VYR_SOURCE_DIR/scripts/make-demo-media.sh" "$media" >/dev/null
  demo=$stage/demo
  mkdir -p "$demo/media"
  cp "$VYR_SOURCE_DIR/demo/Project.vyr" "$demo/"
  cp "$media"/* "$demo/media/"
  "$bin/vyrpack" create "$stage/demo.vyshow" "$demo/Project.vyr" >/dev/null
  "$bin/vyrviewer" --frame 2500 --size 320x180 --out "$stage/demo.png" "$stage/demo.vyshow" </dev/null
  [ "$(png_size "$stage/demo.png")" = 320x180 ] || fail "demo frame"
  # Not one flat colour: the slide was drawn.
  colours=$(convert "$stage/demo.png" -format '%k' info:)
  [ "$colours" -gt 100 ] || fail "the demo frame has only $colours colours"
  # A show that plays itself, made with the packaged player.
  mkdir -p "$stage/own"
  two_slides 320 180 >"$stage/own/Project.vyr"
  "$bin/vyrpack" create "$stage/own.run" "$stage/own/Project.vyr" --exe "$bin/vyrviewer" >/dev/null
  "$stage/own.run" --thumbnail 128 --out "$stage/own.png" </dev/null
  expect_thumbnail "$stage/own.png"
  ;;

*) fail "unknown check $check" ;;
esac
