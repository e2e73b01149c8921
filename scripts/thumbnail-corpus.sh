#!/usr/bin/env bash
# The thumbnailer over the picture fuzz corpora: each file, under each picture name, is the one
# picture of a loose show, and every run must give its thumbnail within the thumbnailer's own
# memory and time limits (status 0: a broken picture shows the placeholder).
set -euo pipefail
build=${1:-build}
fuzz=${2:-build-fuzz}
newest=${3:-6}  # files per fuzz corpus: what the last fuzz run added; the seeds are all taken
viewer="$build/apps/vyrviewer/vyrviewer"
[ -x "$viewer" ] || { echo "thumbnail-corpus: $viewer is missing" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0
for corpus in fuzz/seeds/picture "$fuzz/fuzz/corpus-fuzz_picture" "$fuzz/fuzz/corpus-fuzz_gif" \
              "$fuzz/fuzz/corpus-fuzz_bmp"; do
  [ -d "$corpus" ] || continue
  files=$newest
  [ "$corpus" = fuzz/seeds/picture ] && files=100000  # every seed
  while IFS= read -r file; do
    for ext in png bmp gif jpg; do
      rm -rf "$work/show" "$work/thumbnail.png"
      mkdir "$work/show"
      cp "$corpus/$file" "$work/show/pic.$ext"
      printf '[Main]\r\nopt_scr_width=320\r\nopt_scr_height=240\r\n[Times]\r\nopt_slidescount=1\r\nopt_synchpos1=3000\r\n[Slide1]\r\nobject Root:Root\r\nobject pic:Image\r\nGUID={00000000-0000-0000-0000-000000000001}\r\nImageName=pic.%s\r\nend\r\nend\r\n' \
        "$ext" > "$work/show/Project.vyr"
      status=0
      timeout 60 "$viewer" --thumbnail 128 --out "$work/thumbnail.png" "$work/show/Project.vyr" \
        > /dev/null 2> "$work/err" || status=$?
      if [ "$status" -eq 0 ] && [ -s "$work/thumbnail.png" ]; then
        passed=$((passed + 1))
      else
        failed=$((failed + 1))
        echo "thumbnail-corpus: $corpus/$file as pic.$ext: status $status: $(head -c 300 "$work/err")"
      fi
    done
  done < <(ls -t "$corpus" | head -n "$files")
done
echo "thumbnails of the fuzz corpus: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
