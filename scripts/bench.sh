#!/usr/bin/env bash
# Runs every benchmark under Wine in the benchmark prefix and prints their figures.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=$root/build/wineprefix-bench
"$root/scripts/wine-prefix.sh" "$WINEPREFIX"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
wineserver -p 2>/dev/null || true
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
for b in "$root"/build/bin/bench_*.exe; do
  echo "######## $(basename "$b" .exe)"
  wine "$b"
done
wineserver -k 2>/dev/null || true
