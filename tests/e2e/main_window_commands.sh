#!/usr/bin/env bash
# main_window_commands.sh BIN ARTIFACTS: an installed copy's "More Settings" commands, sent
# to the real main window as its menu would send them. What a command starts is read from the
# test log (nothing is started); the windows it opens are photographed and closed. Then the
# language switches to German: no English text may be left in the main window or in any
# window it opens, and switching back brings the English texts back.
set -u
bin=$1 artifacts=$2
work=$artifacts/main_window_commands
rm -rf "$work"; mkdir -p "$work/app"
cp -r "$bin/TarvoUninstaller.exe" "$bin/sqlite3.dll" "$bin/Help.html" "$bin/Language" "$work/app/"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TarvoUninstall'
patch='HKLM\Software\Tarvo\AutoPatch'
exe_w=$(winepath -w "$work/app/TarvoUninstaller.exe")
updater_w=$(winepath -w "$bin/tarvo.exe")
log=$work/log.txt
probe() { wine "$bin/tarvo_probe.exe" "$@"; }
app=
failures=0
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  wine reg delete "$key" /f /reg:32 >/dev/null 2>&1
  wine reg delete "$patch" /f /reg:32 >/dev/null 2>&1
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
wait_line() {  # wait_line PATTERN: up to 20 s for a line of the log matching the fixed text
  for _ in $(seq 200); do grep -qF -- "$1" "$log" 2>/dev/null && return 0; sleep 0.1; done; return 1
}
# Menu ids: the "More Settings" range starts at 3000, its languages at 3050; the page
# buttons are 100 (programs) and 101 (add-ons).
FORCED=3001 LOGS=3003 RESTORE=3004 UPDATE=3005 MANUAL=3006 SUPPORT=3007 ONLINE=3009 ABOUT=3010 LANG=3050
PROGRAMS_PAGE=100 ADDON_PAGE=101

wine reg add "$key" /v InstallLocation /d "$exe_w" /f /reg:32 >/dev/null
wine reg add "$key" /v DisplayVersion /d 3.0.0.1 /f /reg:32 >/dev/null
wine reg add "$patch" /v AppPath /d "$updater_w" /f /reg:32 >/dev/null
data="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Tarvo/Tarvo Uninstaller"
mkdir -p "$data" && printf '[Main]\r\nLanguage=English\r\n[Servers]\r\nDownload=http://127.0.0.1:9\r\nSite=http://site.test\r\nForum=http://forum.test\r\n' >"$data/Main.ini"

TARVO_TEST_LOG=$(winepath -w "$log") wine "$work/app/TarvoUninstaller.exe" & app=$!
probe wait TfrmTarvoUninstall 60000 || { fail "main window did not appear"; exit 1; }
wait_line "step: check install" || fail "start-up did not finish"

# The automatic update check at start-up: the same updater, told so.
wait_line "launch: $updater_w | /appupt /auto /product uninstaller /fn  \"$exe_w\" /location" ||
  fail "no automatic update check: $(grep launch "$log")"

# Commands that start something: the line each one records.
probe command TfrmTarvoUninstall $RESTORE
wait_line 'rstrui.exe' || fail "View Restore Point started nothing"
grep -qiE '^command: C:\\windows\\system32\\rstrui\.exe' "$log" || fail "restore tool: $(grep rstrui "$log")"
probe command TfrmTarvoUninstall $UPDATE
wait_line "launch: $updater_w | /appupt /manual /product uninstaller /fn \"$exe_w\" /location \"${exe_w%\\*}\" /language English" ||
  fail "updater: $(grep launch "$log")"
probe command TfrmTarvoUninstall $MANUAL
wait_line "launch: ${exe_w%\\*}\\Help.html | " || fail "user manual: $(grep Help "$log")"
probe command TfrmTarvoUninstall $SUPPORT
wait_line "address: http://site.test/productfeedback.php?product=tarvo-uninstaller&ver=" || fail "technical support"
probe command TfrmTarvoUninstall $ONLINE
grep -qxF "address: http://site.test" "$log" || wait_line "address: http://site.test" || fail "Tarvo Online"
probe command TfrmTarvoUninstall 120  # the "Like" link
wait_line "address: http://site.test/goto.php?id=likefb_TU3" || fail "Like"
probe command TfrmTarvoUninstall 121  # the feedback link
wait_line "address: http://forum.test/showthread.php?t=15823" || fail "feedback"

# open ID CLASS SHOT: a command's window appears, its texts are kept, it is photographed and closed.
open() {
  probe command TfrmTarvoUninstall "$1"
  if ! probe wait "$2" 20000; then fail "$2 did not open"; return 1; fi
  sleep 1
  probe texts "$2" | tr -d '\r' >"$work/$3.txt"
  read -r l t r b < <(probe rect "$2" | tr -d '\r')
  import -window root -crop "$((r - l))x$((b - t))+$l+$t" +repage "$artifacts/$3.png" 2>/dev/null
  probe close "$2" || fail "$2 did not close"
  for _ in $(seq 100); do probe wait "$2" 1 || return 0; sleep 0.1; done
  fail "$2 still open"
}
main_texts() {  # the main window (with the news footer) and its round button, photographed
  local l t r b
  { probe texts TfrmTarvoUninstall; probe caption TfrmUninstallButton; } | tr -d '\r' >"$work/$1.txt"
  read -r l t r b < <(probe rect TfrmTarvoUninstall | tr -d '\r')
  import -window root -crop "$((r - l))x$((b - t + 30))+$l+$t" +repage "$artifacts/$1.png" 2>/dev/null
}
all_windows() {  # SUFFIX
  main_texts "main_$1"
  probe command TfrmTarvoUninstall $ADDON_PAGE; sleep 1
  main_texts "addons_$1"
  probe command TfrmTarvoUninstall $PROGRAMS_PAGE; sleep 1
  open $ABOUT TfrmAbout "about_$1"
  open $LOGS TfrmLogManage "logs_$1"
  open $FORCED TfrmForcedUninstall "forced_$1"
}
all_windows english
grep -qxF "About" "$work/about_english.txt" || fail "About window caption: $(head -1 "$work/about_english.txt")"

# The languages are listed in directory order: find German's item by what it switches to.
for i in 0 1 2 3; do
  probe command TfrmTarvoUninstall $((LANG + i))
  sleep 1
  [ "$(grep '^language: ' "$log" | tail -1)" = "language: German" ] && break
done
[ "$(grep '^language: ' "$log" | tail -1)" = "language: German" ] || fail "no switch to German"
german_item=$((LANG + i))
grep -qi '^Language=German' "$data/Main.ini" || fail "Main.ini does not store German"
all_windows german

# Every text that English and German files give differently: none may show in German.
lng_values() {  # FILE: "section|key<TAB>value" per line
  sed 's/^\xEF\xBB\xBF//; s/\r$//' "$1" | awk '/^\[/ { s = $0; next } /^[^;].*=/ { i = index($0, "=");
    print s "|" substr($0, 1, i - 1) "\t" substr($0, i + 1) }' | sort
}
lng_values "$bin/Language/English.lng" >"$work/english.tsv"
lng_values "$bin/Language/German.lng" >"$work/german.tsv"
join -t $'\t' "$work/english.tsv" "$work/german.tsv" | awk -F'\t' '$2 != $3 { print $2 }' | sort -u >"$work/english_only.txt"
[ -s "$work/english_only.txt" ] || fail "no English texts to look for"
for f in main addons about logs forced; do
  left=$(grep -xF -f "$work/english_only.txt" "$work/${f}_german.txt")
  [ -z "$left" ] || fail "English left in $f after the switch: $left"
  [ -s "$work/${f}_german.txt" ] || fail "no texts read from $f"
done
[ "$(tail -1 "$work/main_german.txt")" = "Deinstallieren" ] || fail "round button not in German"
[ "$(tail -1 "$work/addons_german.txt")" = "Entfernen" ] || fail "round button not in German on the add-on page"
grep -qxF "Entfernen" "$work/addons_german.txt" || fail "add-on page not in German: $(tr '\n' '|' <"$work/addons_german.txt")"
grep -qF "Empfehlen Sie dieses Programm" "$work/main_german.txt" || fail "news footer not in German"
# The Like link steps aside where the search box needs the room for its whole cue, as at
# the default width; when it shows, it is in German. The probe prints in the console code
# page: the umlaut is one byte here.
! grep -qx "Like" "$work/main_german.txt" || fail "the Like link stayed English"
grep -qxF "Programme" "$work/main_german.txt" || fail "main window not in German: $(tr '\n' '|' <"$work/main_german.txt")"
grep -qxF "Info" "$work/about_german.txt" || fail "About window not in German"

# And back: the English item is the other one.
for i in 0 1 2 3; do
  [ $((LANG + i)) -eq $german_item ] && continue
  probe command TfrmTarvoUninstall $((LANG + i))
  sleep 1
  [ "$(grep '^language: ' "$log" | tail -1)" = "language: English" ] && break
done
main_texts main_back
grep -qxF "Software" "$work/main_back.txt" || fail "main window not back in English: $(tr '\n' '|' <"$work/main_back.txt")"
diff "$work/main_english.txt" "$work/main_back.txt" >/dev/null || fail "English texts differ after the round trip"

probe close TfrmTarvoUninstall || fail "close failed"
wait $app || fail "exit code $?"
app=
[ $failures -eq 0 ] || { echo "--- log:"; cat "$log"; echo "$failures failure(s)"; exit 1; }
echo "main window commands and language switch checked"
