#!/usr/bin/env bash
# programs_page.sh BIN ARTIFACTS: the real main window on the demo world. Reads the programs
# list's rows back from the running window and checks them against a fresh `tarvo list
# --json` taken right before; keeps screenshots at 100 % and at 150 % (Wine's LogPixels 144
# in a copy of the prefix); F5 refreshes the list without losing a row.
set -u
bin=$1 artifacts=$2
mkdir -p "$artifacts"
probe="$bin/tarvo_probe.exe"
tmp=$(mktemp -d)
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The rows the list should show: visible programs that are not updates, by caption.
expected_rows() {
  wine "$bin/tarvo.exe" list --json | tr -d '\r' | awk '
    /"DisplayName":/ { name = $0; sub(/^ *"DisplayName": "/, "", name); sub(/",$/, "", name) }
    /"View64":/ { x64 = ($2 ~ /true/) }
    /"IsUpdate":/ { if ($2 !~ /true/) print name (x64 ? "(x64)" : "") }' | sort
}

list_rows() { wine "$probe" rows TfrmTarvoUninstall "${1:-0}" | tr -d '\r'; }

# Waits until the list shows as many rows as expected (the catalogue is built after the
# first activation), at most 60 s.
wait_rows() {  # count
  local i
  for i in $(seq 120); do
    [ "$(list_rows | grep -c .)" -ge "$1" ] && return 0
    sleep 0.5
  done
  return 1
}

run_once() {  # name
  local name=$1 want
  # The first program of a freshly copied prefix may meet a server still shutting down.
  for i in 1 2 3; do
    expected_rows > "$tmp/expected"
    [ -s "$tmp/expected" ] && break
    sleep 2
  done
  want=$(grep -c . "$tmp/expected")
  [ "$want" -ge 8 ] || fail "$name: only $want programs in the inventory; is the demo world installed?"
  wine "$bin/TarvoUninstaller.exe" & local app=$!
  if ! wine "$probe" wait TfrmTarvoUninstall 60000; then
    fail "$name: main window did not appear"; kill $app; return
  fi
  wait_rows "$want" || fail "$name: the list did not fill"
  sleep 2  # icons from the analysis, then the screenshot
  list_rows | sort > "$tmp/shown"
  diff "$tmp/expected" "$tmp/shown" > "$tmp/diff" || { fail "$name: rows differ from tarvo list"; cat "$tmp/diff"; }
  # Every row carries its size and install-date columns (tab-separated after the caption).
  list_rows 023 > "$tmp/cells"
  grep -q $'^Kestrel Video Studio(x64)\t[0-9.,]* MB\t' "$tmp/cells" ||
    fail "$name: Kestrel Video Studio(x64) without its size: $(grep Kestrel "$tmp/cells")"
  import -window root "$artifacts/programs_page_$name.png" || echo "screenshot failed"
  # The first placement fits the screen (no taskbar here: the work area is the screen).
  local screen rect
  screen=$(xdpyinfo | awk '/dimensions:/ { sub(/x/, " ", $2); print $2 }')
  rect=$(wine "$probe" rect TfrmTarvoUninstall | tr -d '\r')
  echo "$rect $screen" | awk '{ exit !($1 >= 0 && $2 >= 0 && $3 <= $5 && $4 <= $6) }' ||
    fail "$name: the window ($rect) is larger than the screen ($screen)"

  # F5 reaches the main window from the focused list and keeps every row.
  wine "$probe" key TfrmTarvoUninstall 0x74
  sleep 2
  [ "$(list_rows | grep -c .)" -eq "$want" ] || fail "$name: F5 changed the row count"

  wine "$probe" close TfrmTarvoUninstall || { fail "$name: close failed"; kill $app; }
  wait $app || fail "$name: exit code $?"
  echo "$name: $want rows as tarvo list shows them; screenshot programs_page_$name.png"
}

# The window opens where Main.ini says; start from the defaults so the screenshots compare.
data_of() { echo "$1/drive_c/users/$(id -un)/AppData/Roaming/Tarvo/Tarvo Uninstaller"; }
# Default settings but for the servers: the start-up's downloads go to a closed local port,
# never to the real hosts.
fresh_settings() {
  mkdir -p "$(data_of "$WINEPREFIX")"
  printf '[Servers]\r\nDownload=http://127.0.0.1:9\r\nSite=http://127.0.0.1:9\r\n' >"$(data_of "$WINEPREFIX")/Main.ini"
}
fresh_settings
run_once 100

# The same at 150 %, in a prefix of its own so no other test sees the DPI. The copy is taken
# from disk, and Wine writes a changed registry there only up to 30 s later: wait until the
# demo world has reached it.
for i in $(seq 90); do grep -q 'Kestrel Video Studio' "$WINEPREFIX/system.reg" && break; sleep 0.5; done
. "$(dirname "$0")/../support/dpi_prefix.sh"
enter_dpi_prefix programs-150 144
# Hard-linked files would carry the copy's settings back into the test prefix.
rm -rf "$(data_of "$WINEPREFIX")"
fresh_settings
run_once 150
leave_dpi_prefix
rm -rf "$tmp"
[ $failures -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "programs page checks passed"
