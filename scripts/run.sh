#!/usr/bin/env bash
# Starts the program in the development prefix: on the caller's display, or under Xvfb with
# a screenshot when there is none. The build's own copy runs where it is; with --install
# (`make install-demo`) the real self-installation runs first ("TarvoUninstaller.exe
# /install": Program Files, shortcuts, uninstall entry, shell extensions) and the installed
# copy is started instead.
set -euo pipefail
install=0
[ "${1:-}" = "--install" ] && install=1
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
export WINEPREFIX=$build/wineprefix
source "$root/scripts/wine-env.sh"
"$root/scripts/wine-prefix.sh" "$WINEPREFIX"
if [ -x "$root/scripts/demo-world.sh" ]; then "$root/scripts/demo-world.sh"; fi
exe=$build/bin/TarvoUninstaller.exe
if [ $install -eq 1 ]; then
  wine "$exe" /install
  location=$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TarvoUninstall' \
    /v InstallLocation /reg:32 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
  [ -n "$location" ] || { echo "the installation registered no program" >&2; exit 1; }
  echo "Installed: $location (uninstall it from the program's own list, or with its RemovalHost.exe)"
  exe=$(winepath -u "$location")
fi
# The installers (ours too) may leave a wineserver behind that has no display; the program must start
# under a server that sees the display it is shown on.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec wine "$exe"
fi
shot=$build/artifacts/run.png
mkdir -p "$build/artifacts"
rm -f "$shot"
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  wine "$1" & app=$!
  wine "$2" wait TfrmTarvoUninstall 60000 && sleep 1 && import -window root "$3"
  wine "$2" close TfrmTarvoUninstall || true
  wait $app; wineserver -k 2>/dev/null' run "$exe" "$build/bin/tarvo_probe.exe" "$shot"
if [ -f "$shot" ]; then
  echo "No display: the program ran under Xvfb; screenshot saved to $shot"
else
  echo "No display: the program ran under Xvfb, but its window did not appear; no screenshot" >&2
  exit 1
fi
