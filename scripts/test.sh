#!/usr/bin/env bash
# Runs every test under Wine in a fresh prefix of its own, on one display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=$root/build/wineprefix-test
"$root/scripts/wine-prefix.sh" "$WINEPREFIX" --fresh
mkdir -p "$root/build/artifacts"
exec "$root/scripts/display.sh" "$root/scripts/ctest-wine.sh" "$@"
