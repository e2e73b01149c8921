#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a few seconds, from its seed corpus when it has one.
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-20}
# Libraries' lasting allocations (fontconfig's caches and the like) are not the target's leaks.
export LSAN_OPTIONS="suppressions=$(pwd)/tests/lsan_gtk.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
for target in "$build"/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="$build/fuzz/corpus-$name"
  mkdir -p "$corpus"
  seeds="fuzz/seeds/${name#fuzz_}"
  # A target's own flags (a malloc limit) are in fuzz/NAME.options.
  options=()
  [ -f "fuzz/${name#fuzz_}.options" ] && read -ra options < "fuzz/${name#fuzz_}.options"
  echo "== $name (${seconds}s)"
  if [ -d "$seeds" ]; then
    "$target" -max_total_time="$seconds" -max_len=65536 "${options[@]}" "$corpus" "$seeds"
  else
    "$target" -max_total_time="$seconds" -max_len=65536 "${options[@]}" "$corpus"
  fi
done
