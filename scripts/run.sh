#!/usr/bin/env bash
# Starts the program in the development prefix: on the caller's display, or under Xvfb with
# a screenshot when there is none.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
"$root/scripts/wine-prefix.sh" "$WINEPREFIX"
if [ -x "$root/scripts/demo-world.sh" ]; then "$root/scripts/demo-world.sh"; fi
exe=$build/bin/TarvoUninstaller.exe
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec wine "$exe"
fi
shot=$build/artifacts/run.png
mkdir -p "$build/artifacts"
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  wine "$1" & app=$!
  wine "$2" wait TfrmTarvoUninstall 60000 && sleep 1 && import -window root "$3"
  wine "$2" close TfrmTarvoUninstall || true
  wait $app; wineserver -k 2>/dev/null' run "$exe" "$build/bin/tarvo_probe.exe" "$shot"
echo "No display: the program ran under Xvfb; screenshot saved to $shot"
