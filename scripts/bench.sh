#!/usr/bin/env bash
# Runs every benchmark under Wine in the benchmark prefix and prints their figures.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# The catalogue benchmark paints a real window: give it a display when there is none.
if [ -z "${TARVO_BENCH_DISPLAY:-}" ]; then
  export TARVO_BENCH_DISPLAY=1
  exec "$root/scripts/display.sh" "$0" "$@"
fi
export WINEPREFIX=$root/build/wineprefix-bench
source "$root/scripts/wine-env.sh"
"$root/scripts/wine-prefix.sh" "$WINEPREFIX"
wineserver -p 2>/dev/null || true
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
for b in "$root"/build/bin/bench_*.exe; do
  echo "######## $(basename "$b" .exe)"
  wine "$b"
done
wineserver -k 2>/dev/null || true
