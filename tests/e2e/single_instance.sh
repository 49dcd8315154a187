#!/usr/bin/env bash
# An installed copy (with the statistics double beside it) started with a Control Panel
# hand-off, then started again three times: each second start exits 0, brings the first
# window forward, and passes a program name on only when it has one. The first hand-off
# opens the forced-uninstall window; a later name fills that window instead of another.
set -u
bin=$1 artifacts=$2 double=$3
work=$artifacts/single_instance
rm -rf "$work"; mkdir -p "$work/app"
cp "$bin/TarvoUninstaller.exe" "$bin/sqlite3.dll" "$double" "$work/app/"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TarvoUninstall'
named='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TarvoForcedNameProbe'
exe_w=$(winepath -w "$work/app/TarvoUninstaller.exe")
log=$work/first.log stats=$work/app/UsageReport.log
probe() { wine "$bin/tarvo_probe.exe" "$@"; }
app=
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  wine reg delete "$key" /f /reg:32 >/dev/null 2>&1
  wine reg delete "$named" /f /reg:32 >/dev/null 2>&1
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; echo "--- first instance:"; cat "$log" 2>/dev/null; echo "--- statistics:"; cat "$stats" 2>/dev/null; exit 1; }
wait_line() {  # wait_line FILE LINE: up to 20 s for an exact line
  for _ in $(seq 200); do grep -qxF -- "$2" "$1" 2>/dev/null && return 0; sleep 0.1; done; return 1
}

wine reg add "$key" /v InstallLocation /d "$exe_w" /f /reg:32 >/dev/null
# Installed, the program fetches the weekly score database: from nowhere but 127.0.0.1.
main_ini="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Tarvo/Tarvo Uninstaller/Main.ini"
mkdir -p "$(dirname "$main_ini")" && printf '[Servers]\r\nDownload=http://127.0.0.1:9\r\n' >>"$main_ini"
wine reg add "$key" /v DisplayVersion /d 3.0.0.1 /f /reg:32 >/dev/null
wine reg add "$named" /v DisplayName /d "Some Program 2.0" /f /reg:32 >/dev/null
wine reg add "$named" /v UninstallString /d 'C:\nowhere\unins.exe' /f /reg:32 >/dev/null

TARVO_TEST_LOG=$(winepath -w "$log") wine "$work/app/TarvoUninstaller.exe" control_statistics "  Foo Bar  " & app=$!
probe wait TfrmTarvoUninstall 60000 || fail "main window did not appear"
wait_line "$log" "step: check install" || fail "start-up did not reach its last step"
wait_line "$log" "forced window: name Foo Bar" || fail "the hand-off did not open the forced-uninstall window"
probe wait TfrmForcedUninstall 20000 || fail "forced-uninstall window not shown"

# Start-up in its order; the installed copy needs no installation and loads its libraries.
expected_start="mutex created
step: create
program-folder: ${exe_w%\\*}\\
sqlite: 3.40.1
step: first activation
step: get software
pending: Foo Bar
step: check install
forced uninstall: Foo Bar
forced window: open
forced window: name Foo Bar"
# The news lines and the end of the add-on enumeration come from workers, in no fixed order
# with start-up (and the enumeration may still run when the log is read).
actual=$(tr -d '\r' < "$log" | grep -v -e '^activate$' -e '^news' -e '^step: add-ons enumerated$')
[ "$(printf '%s\n' "$actual" | sort)" = "$(printf '%s\n' "$expected_start" | sort)" ] || fail "start-up lines differ"
printf '%s\n' "$actual" | grep -n '' | grep -E 'step:|mutex' | cut -d: -f2- | tr '\n' ';' |
  grep -qxF "mutex created;step: create;step: first activation;step: get software;step: check install;" ||
  fail "start-up steps out of order"
grep -q "self-installation" "$log" && fail "the installed copy installed itself"
expected_stats="SetStatParam tu3|3.0.0.1|tarvo|0
DoStatistic tu3|0|7|0|0|0
DoStatistic tu3|3|0|0|0|0
DoStatistic tu3|2|7|0|0|0
DoStatistic tu3|5|0|0|0|0"
[ "$(tr -d '\r' < "$stats")" = "$expected_stats" ] || fail "statistics calls differ"

# A plain second start: exit 0, and the minimised first window comes back.
probe minimize TfrmTarvoUninstall || fail "could not minimise the first window"
TARVO_TEST_LOG=$(winepath -w "$work/second.log") wine "$work/app/TarvoUninstaller.exe"; rc=$?
[ $rc -eq 0 ] || fail "second start exited with $rc"
grep -qxF "second instance: notified" "$work/second.log" || fail "second start did not find the window"
grep -q "mutex created\|step:" "$work/second.log" && fail "second start went on starting"
wait_line "$log" "activate" || fail "first window got no UM_ACTIVATE"
for _ in $(seq 50); do probe iconic TfrmTarvoUninstall || break; sleep 0.1; done
probe iconic TfrmTarvoUninstall && fail "first window is still minimised"

# A second start from the Control Panel with a name hands the name over.
wine "$work/app/TarvoUninstaller.exe" control_statistics "  Some Program 2.0 "; rc=$?
[ $rc -eq 0 ] || fail "control_statistics start exited with $rc"
wait_line "$log" "copydata: Some Program 2.0" || fail "name did not arrive by WM_COPYDATA"
wait_line "$log" "forced uninstall: Some Program 2.0" || fail "UM_FORCEDUNINSTALL not posted"
wait_line "$log" "forced window: name Some Program 2.0" || fail "the open forced-uninstall window was not filled"
[ "$(grep -c '^forced window: open' "$log")" -eq 1 ] || fail "a second forced-uninstall window was opened"
rows=$(probe rows TfrmForcedUninstall | tr -d '\r')
[ "$rows" = "Some Program 2.0" ] || fail "forced-uninstall list shows '$rows'"

# The context-menu extension's ShellVerb.dat reaches the open window: a file, then a folder,
# which only an open window takes.
appdata=$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
datafolder=$(winepath -u "$appdata\\Tarvo\\Tarvo Uninstaller")
mkdir -p "$work/stray" "$datafolder"
printf 'MZ' > "$work/stray/stray.exe"
stray_w=$(winepath -w "$work/stray/stray.exe")
printf '  %s \r\n' "$stray_w" > "$datafolder/ShellVerb.dat"
probe post TfrmTarvoUninstall 0x7E9 || fail "could not post UM_SHELLVERB"
wait_line "$log" "forced window: path $stray_w" || fail "ShellVerb.dat file did not reach the open window"
printf '%s' "${stray_w%\\*}" > "$datafolder/ShellVerb.dat"
probe post TfrmTarvoUninstall 0x7E9 || fail "could not post UM_SHELLVERB"
wait_line "$log" "forced window: path ${stray_w%\\*}" || fail "ShellVerb.dat folder did not reach the open window"
rm -f "$datafolder/ShellVerb.dat"
[ "$(grep -c '^forced window: open' "$log")" -eq 1 ] || fail "ShellVerb.dat opened another window"

# Without a name, or from Explorer, only the activation goes over.
before=$(grep -c '^activate' "$log")
wine "$work/app/TarvoUninstaller.exe" control_statistics || fail "second start without a name failed"
wine "$work/app/TarvoUninstaller.exe" explorer_statistics "Other" || fail "explorer_statistics start failed"
for _ in $(seq 100); do [ "$(grep -c '^activate' "$log")" -ge $((before + 2)) ] && break; sleep 0.1; done
[ "$(grep -c '^activate' "$log")" -eq $((before + 2)) ] || fail "activations were not received"
sleep 0.5
[ "$(grep -c '^copydata' "$log")" -eq 1 ] || fail "a name was passed on that should not have been"
# The second starts reported nothing: the first already has.
[ "$(wc -l < "$stats")" -eq 5 ] || fail "a second start reported statistics"

probe close TfrmForcedUninstall || fail "closing the forced-uninstall window failed"
for _ in $(seq 50); do probe wait TfrmForcedUninstall 1 || break; sleep 0.1; done
probe close TfrmTarvoUninstall || fail "close failed"
wait $app; rc=$?; app=
[ $rc -eq 0 ] || fail "first instance exited with $rc"
echo "single instance and hand-over: ok"
