#!/usr/bin/env bash
# Starts the real exe, waits for its main window, keeps a screenshot, closes it with
# WM_CLOSE and expects exit code 0.
set -u
bin=$1 artifacts=$2
mkdir -p "$artifacts"
wine "$bin/TarvoUninstaller.exe" & app=$!
if ! wine "$bin/tarvo_probe.exe" wait TfrmTarvoUninstall 60000; then
  echo "main window did not appear"; kill $app; exit 1
fi
caption=$(wine "$bin/tarvo_probe.exe" caption TfrmTarvoUninstall | tr -d '\r')
[ "$caption" = "Uninstaller" ] || { echo "caption was '$caption'"; kill $app; exit 1; }
read -r l t r b < <(wine "$bin/tarvo_probe.exe" rect TfrmTarvoUninstall | tr -d '\r')
echo "main window at $l $t $r $b"
import -window root "$artifacts/main_window.png" || echo "screenshot failed"
wine "$bin/tarvo_probe.exe" close TfrmTarvoUninstall || { echo "close failed"; kill $app; exit 1; }
wait $app; rc=$?
[ $rc -eq 0 ] || { echo "exit code $rc"; exit 1; }
echo "started, shown, closed: exit code 0"
