#!/usr/bin/env bash
# The main job of `make run`: pack the demo project, list and verify the package, show its time line.
set -euo pipefail
build=${1:-build}
out="$build/demo"
mkdir -p "$out"
"$build/apps/vyrpack/vyrpack" create "$out/demo.vyshow" demo/Project.vyr
"$build/apps/vyrpack/vyrpack" list "$out/demo.vyshow"
"$build/apps/vyrpack/vyrpack" verify "$out/demo.vyshow"
"$build/apps/vyrpack/vyrpack" info "$out/demo.vyshow"
