#!/usr/bin/env bash
# The programs installed into a temporary DESTDIR, checked as a desktop uses them. "install"
# makes the stage (through `make install`) and the fixture shows; every other check reads it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/desktop_common.sh"

check=${1:?usage: desktop_checks.sh CHECK}
stage=${VYR_STAGE:?}
root=$stage/root
prefix=$root/usr
shows=$stage/shows
app_id=org.vyrviewer.VyrViewer
windows_types="application/x-ms-dos-executable application/x-msdownload application/vnd.microsoft.portable-executable"
export LC_ALL=C.UTF-8

case $check in
install)
  rm -rf "$stage"
  mkdir -p "$root"
  make -s -C "$VYR_SOURCE_DIR" install BUILD="$VYR_BINARY_DIR" PREFIX=/usr DESTDIR="$root" >/dev/null
  mkdir -p "$shows/open" "$shows/locked"
  two_slides 320 180 >"$shows/open/Project.vyr"
  two_slides 320 180 $'opt_usepass=1\r\nopt_pass=secret\r\n' >"$shows/locked/Project.vyr"
  "$prefix/bin/vyrpack" create "$shows/open.vyshow" "$shows/open/Project.vyr" >/dev/null
  "$prefix/bin/vyrpack" create "$shows/locked.vyshow" "$shows/locked/Project.vyr" >/dev/null
  picture_show "$shows/picture"
  "$prefix/bin/vyrpack" create "$shows/picture.vyshow" "$shows/picture/Project.vyr" >/dev/null
  # A show made on Windows: a program (a bare "MZ" stub stands for the Windows player) with
  # the show appended; and a program without one.
  { printf 'MZ'; head -c 4094 /dev/zero; } >"$shows/stub.exe"
  "$prefix/bin/vyrpack" create "$shows/windows.exe" "$shows/open/Project.vyr" \
    --exe "$shows/stub.exe" >/dev/null
  cp "$shows/stub.exe" "$shows/program.exe"
  ;;

files)
  while read -r file; do
    case $file in '#'* | '') continue ;; esac
    [ -f "$prefix/$file" ] || fail "missing $file"
    case $file in
      *x*/*.png)
        size=${file#share/icons/hicolor/}
        size=${size%%/*}
        [ "$(png_size "$prefix/$file")" = "$size" ] || fail "$file is not $size" ;;
    esac
  done <"$here/installed_files.txt"
  for program in vyrviewer vyrpack; do
    [ -x "$prefix/bin/$program" ] || fail "$program is not executable"
  done
  # Every icon the entries name is installed.
  icons=$(sed -n 's/^Icon=//p' "$prefix/share/applications/$app_id.desktop"
          sed -n 's/.*<icon name="\([^"]*\)".*/\1/p' "$prefix/share/mime/packages/$app_id.xml")
  for icon in $icons; do
    [ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] ||
      [ -f "$prefix/share/icons/hicolor/scalable/mimetypes/$icon.svg" ] || fail "no icon $icon"
  done
  ;;

validate)
  desktop=$prefix/share/applications/$app_id.desktop
  desktop-file-validate "$desktop"
  appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml"
  launchable=$(sed -n 's/.*<launchable type="desktop-id">\(.*\)<\/launchable>.*/\1/p' \
    "$prefix/share/metainfo/$app_id.metainfo.xml")
  [ "$launchable" = "$app_id.desktop" ] || fail "the metainfo launches '$launchable'"
  # The menu entry and the thumbnailer name the player's own file types and the executable
  # types that shows made on Windows arrive in.
  types=$( (sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$prefix/share/mime/packages/$app_id.xml"
            printf '%s\n' $windows_types) | sort)
  for entry in "$desktop" "$prefix/share/thumbnailers/$app_id.thumbnailer"; do
    listed=$(sed -n 's/^MimeType=//p' "$entry" | tr ';' '\n' | sed '/^$/d' | sort)
    [ "$listed" = "$types" ] || fail "$entry lists '$listed', the file types are '$types'"
  done
  grep -q '^Exec=vyrviewer %[fFuU]$' "$desktop" || fail "the entry does not open a file"
  ;;

mime)
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  cp -r "$prefix/share/mime" "$work/mime"
  update-mime-database "$work/mime"
  mkdir -p "$work/share" "$work/files" "$work/home"
  ln -s "$work/mime" "$work/share/mime"
  cp "$shows/open.vyshow" "$work/files/holiday.vyshow"
  cp "$shows/open.vyshow" "$work/files/slideshow.dat"
  cp "$shows/open/Project.vyr" "$work/files/Project.vyr"
  for pair in holiday.vyshow:application/x-vyrviewer-show slideshow.dat:application/x-vyrviewer-show \
              Project.vyr:application/x-vyrviewer-project; do
    file=${pair%%:*}
    want=${pair#*:}
    got=$(XDG_DATA_HOME="$work/home" XDG_DATA_DIRS="$work/share:/usr/share" \
      gio info -a standard::content-type "$work/files/$file" | sed -n 's/^ *standard::content-type: //p')
    [ "$got" = "$want" ] || fail "$file is '$got', not $want"
  done
  ;;

thumbnailer)
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  entry=$prefix/share/thumbnailers/$app_id.thumbnailer
  export PATH="$prefix/bin:$PATH"
  for case in open.vyshow:255,0,0 open/Project.vyr:255,0,0 picture.vyshow:255,255,0 \
              picture/Project.vyr:255,255,0; do
    input=$shows/${case%%:*}
    out=$work/$(tr / _ <<<"${case%%:*}").png
    thumbnailer_command "$entry" "$input" 128 "$out"
    "${run_line[@]}" </dev/null
    expect_thumbnail "$out" "${case#*:}"
  done
  thumbnailer_command "$entry" "$shows/locked.vyshow" 128 "$work/locked.png"
  if "${run_line[@]}" </dev/null 2>"$work/err"; then fail "a protected show got a thumbnail"; fi
  [ ! -e "$work/locked.png" ] || fail "a protected show left a file"
  grep -q password "$work/err" || fail "no reason given: $(cat "$work/err")"
  ;;

sandbox)
  # As a file manager runs a thumbnailer: a private root with /usr, the input file and a
  # writable place for the output; no network, no home, no display.
  bwrap --ro-bind /usr /usr --symlink usr/lib /lib --symlink usr/lib64 /lib64 /usr/bin/true \
    2>/dev/null || { echo "bwrap cannot make a sandbox here" >&2; exit 77; }
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  mkdir -p "$work/out"
  # A package carries its pictures into the sandbox; a loose project draws what it can reach
  # there: its own objects, not the picture beside it.
  for case in open.vyshow:255,0,0 picture.vyshow:255,255,0 picture/Project.vyr:255,0,0; do
    input=$shows/${case%%:*}
    out=$work/out/$(tr / _ <<<"${case%%:*}").png
    thumbnailer_command "$prefix/share/thumbnailers/$app_id.thumbnailer" "$input" 128 "$out"
    bwrap --unshare-all --die-with-parent --new-session --clearenv \
      --setenv PATH /opt/vyrviewer/bin:/usr/bin \
      --ro-bind /usr /usr --symlink usr/lib /lib --symlink usr/lib64 /lib64 \
      --symlink usr/bin /bin --symlink usr/sbin /sbin --proc /proc --dev /dev \
      --ro-bind "$prefix/bin" /opt/vyrviewer/bin \
      --ro-bind "$input" "$input" --bind "$work/out" "$work/out" \
      "${run_line[@]}" </dev/null 2>"$work/err" || { cat "$work/err" >&2; fail "sandboxed $input"; }
    expect_thumbnail "$out" "${case#*:}"
  done
  ;;

man)
  for page in vyrviewer vyrpack; do
    MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1.gz" >"$stage/$page.txt" \
      2>"$stage/$page.err"
    [ ! -s "$stage/$page.err" ] || fail "$page(1): $(cat "$stage/$page.err")"
    grep -q "^NAME" "$stage/$page.txt" || fail "$page(1) has no NAME"
  done
  grep -q -- "--thumbnail SIZE" "$stage/vyrviewer.txt" || fail "vyrviewer(1) lacks --thumbnail"
  grep -q -- "--exe PLAYER" "$stage/vyrpack.txt" || fail "vyrpack(1) lacks --exe"
  ;;

completion)
  # Every long option a program's --help names is offered by its completion.
  completions=$prefix/share/bash-completion/completions
  complete_words() {  # PROGRAM WORD...: what completing the last of the words offers
    bash -c 'shopt -s extglob; source "$1"; complete=_$2; shift; COMP_WORDS=("$@")
             COMP_CWORD=$(($# - 1)); $complete; printf "%s\n" "${COMPREPLY[@]}"' \
      _ "$completions/$1" "$@"
  }
  offered=$(complete_words vyrviewer --)
  for option in $("$prefix/bin/vyrviewer" --help | grep '^ *--' | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    grep -qx -- "$option" <<<"$offered" || fail "vyrviewer completion lacks $option"
  done
  # vyrpack's help gives each command on a line of its own, its options there and on the
  # indented lines below, up to the next command or a blank line.
  "$prefix/bin/vyrpack" --help | awk '
    /^  [a-z]+ / { command = $1; print command, ""; }
    /^$/ { command = "" }
    command != "" { while (match($0, /--[a-z][a-z-]*/)) {
                      print command, substr($0, RSTART, RLENGTH); $0 = substr($0, RSTART + RLENGTH) } }' |
    sort -u >"$stage/vyrpack-options"
  grep -q '^create --exe$' "$stage/vyrpack-options" || fail "no options read from vyrpack --help"
  commands=$(complete_words vyrpack '')
  while read -r name option; do
    if [ -z "$option" ]; then
      grep -qx "$name" <<<"$commands" || fail "vyrpack completion lacks the command $name"
    else
      grep -qx -- "$option" <<<"$(complete_words vyrpack "$name" --)" ||
        fail "vyrpack $name completion lacks $option"
    fi
  done <"$stage/vyrpack-options"
  ;;

self_playing)
  # A show that plays itself, made with the installed player, moved elsewhere.
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  "$prefix/bin/vyrpack" create "$work/made.run" "$shows/open/Project.vyr" --exe "$prefix/bin/vyrviewer" >/dev/null
  mkdir "$work/elsewhere"
  mv "$work/made.run" "$work/elsewhere/holiday"
  (cd / && "$work/elsewhere/holiday" --frame 2500 --size 128x72 --out "$work/frame.png") </dev/null
  expect_thumbnail "$work/frame.png"
  ;;

windows_shows)
  # The executables a show made on Windows arrives in: the player is offered for them without
  # taking them over, draws the first slide of one that carries a show, leaves any other
  # program to the file manager's own icon, and says what it is when asked to play it.
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  mkdir -p "$work/share/applications" "$work/config" "$work/home" "$work/files"
  cp -r "$prefix/share/mime" "$work/share/mime"
  update-mime-database "$work/share/mime" >/dev/null 2>&1
  cp "$prefix/share/applications/$app_id.desktop" "$work/share/applications/"
  # Another handler of Windows programs, the user's default for them (as Wine would be).
  printf '[Desktop Entry]\nType=Application\nName=Runner\nExec=true %%f\nMimeType=%s;\n' \
    "$(tr ' ' ';' <<<"$windows_types")" >"$work/share/applications/runner.desktop"
  update-desktop-database "$work/share/applications"
  printf '[Default Applications]\napplication/x-ms-dos-executable=runner.desktop\n' \
    >"$work/config/mimeapps.list"
  cp "$shows/windows.exe" "$work/files/holiday.exe"
  # The entry's TryExec finds the player on the PATH.
  export XDG_DATA_HOME="$work/home" XDG_DATA_DIRS="$work/share:/usr/share" \
    XDG_CONFIG_HOME="$work/config" XDG_CURRENT_DESKTOP=X-Generic PATH="$prefix/bin:$PATH"
  type=$(gio info -a standard::content-type "$work/files/holiday.exe" |
         sed -n 's/^ *standard::content-type: //p')
  grep -qw -- "$type" <<<"$windows_types" || fail "holiday.exe is '$type', not an executable type"
  offered=$(gio mime "$type" 2>&1)
  grep -q "$app_id.desktop" <<<"$offered" || fail "the player is not offered for $type: $offered"
  [ "$(xdg-mime query default application/x-ms-dos-executable)" = runner.desktop ] ||
    fail "the player took over Windows programs: $(xdg-mime query default application/x-ms-dos-executable)"
  [ "$(xdg-mime query default application/x-vyrviewer-show)" = "$app_id.desktop" ] ||
    fail "the player does not open its own shows"
  entry=$prefix/share/thumbnailers/$app_id.thumbnailer
  thumbnailer_command "$entry" "$work/files/holiday.exe" 128 "$work/holiday.png"
  "${run_line[@]}" </dev/null
  expect_thumbnail "$work/holiday.png" 255,0,0
  thumbnailer_command "$entry" "$shows/program.exe" 128 "$work/program.png"
  status=0
  "${run_line[@]}" </dev/null 2>"$work/err" || status=$?
  [ "$status" = 1 ] || fail "a program without a show: status $status, not 1"
  [ ! -e "$work/program.png" ] || fail "a program without a show got a thumbnail"
  status=0
  env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/vyrviewer" "$shows/program.exe" \
    </dev/null >/dev/null 2>"$work/err" || status=$?
  [ "$status" = 2 ] || fail "playing a program without a show: status $status, not 2"
  [ "$(wc -l <"$work/err")" = 1 ] && grep -q "without a show" "$work/err" ||
    fail "playing a program without a show says: $(cat "$work/err")"
  # Its show copied out into a package of its own plays the same first slide.
  "$prefix/bin/vyrpack" unbundle "$work/files/holiday.exe" "$work/holiday.vyshow" >/dev/null
  "$prefix/bin/vyrpack" verify "$work/holiday.vyshow" >/dev/null
  "$prefix/bin/vyrviewer" --thumbnail 128 --out "$work/copied.png" "$work/holiday.vyshow"
  expect_thumbnail "$work/copied.png" 255,0,0
  ;;

*) fail "unknown check $check" ;;
esac
