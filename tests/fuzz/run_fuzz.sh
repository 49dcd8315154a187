#!/usr/bin/env bash
# The long fuzz pass: tests/fuzz/run_fuzz.sh BUILD_DIR [INPUTS_PER_READER] [READER...]
# Runs in a Wine prefix of its own; figures go to BUILD_DIR/artifacts/fuzz/figures.txt and
# the input of any crash or hang beside them.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
inputs=${2:-100000}
shift $(( $# >= 2 ? 2 : 1 ))
readers=()
for name in "$@"; do readers+=(--reader "$name"); done
export WINEPREFIX=$build/wineprefix-fuzz
"$root/scripts/wine-prefix.sh" "$WINEPREFIX"
out=$build/artifacts/fuzz
mkdir -p "$out"
"$root/scripts/wine-run.sh" "$build/bin/tarvo_fuzz.exe" --inputs "$inputs" --corpus "Z:$root/tests/fuzz/corpus" \
    --findings "Z:$out" "${readers[@]}" | tee "$out/figures.txt"
