#!/usr/bin/env bash
# Runs every test under Wine in a fresh prefix of its own, on one display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=$root/build/wineprefix-test
"$root/scripts/wine-prefix.sh" "$WINEPREFIX" --fresh
mkdir -p "$root/build/artifacts"
# Every start of the program downloads at start-up; in tests those requests go to a closed
# local port unless a test names its own server (tests that start from default settings
# write the same section again). The forum and the vote server too: a test clicks their links.
data="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Tarvo/Tarvo Uninstaller"
mkdir -p "$data"
printf '[Servers]\r\nDownload=http://127.0.0.1:9\r\nSite=http://127.0.0.1:9\r\nForum=http://127.0.0.1:9\r\nStatistics=http://127.0.0.1:9\r\n' >"$data/Main.ini"
exec "$root/scripts/display.sh" "$root/scripts/ctest-wine.sh" "$@"
