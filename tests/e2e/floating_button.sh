#!/usr/bin/env bash
# floating_button.sh BIN ARTIFACTS: the round button below the real main window. It sits
# centred on the window's bottom edge and follows every move, maximise and restore; moving the
# button itself changes nothing; a click on it uninstalls the programs page's selection, and on
# the add-on page, where it says "Remove", removes that page's checked add-ons. The
# main window with its button is photographed on both pages at 100 % and at 150 %, and the
# button alone.
set -u
bin=$1 artifacts=$2
work=$artifacts/floating_button
rm -rf "$work"; mkdir -p "$work"
probe() { wine "$bin/tarvo_probe.exe" "$@"; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
rect() { probe rect "$1" | tr -d '\r'; }

# placed SCALE: the button's rectangle is the one PlaceButton gives for the main window's.
placed() {
  local s=$1 ml mt mr mb bl bt br bb w h
  for _ in $(seq 30); do
    read -r ml mt mr mb < <(rect TfrmTarvoUninstall)
    read -r bl bt br bb < <(rect TfrmUninstallButton)
    w=$(((155 * s + 50) / 100)) h=$(((104 * s + 50) / 100))
    [ "$bl $bt $((br - bl)) $((bb - bt))" = "$((ml + (mr - ml - w) / 2)) $((mt + mb - mt - h + 20 * s / 100)) $w $h" ] && return 0
    sleep 0.2
  done
  echo "main $ml $mt $mr $mb, button $bl $bt $br $bb"
  return 1
}

run() {  # SUFFIX SCALE
  local suffix=$1 scale=$2 log=$work/log_$1.txt l t r b
  TARVO_TEST_LOG=$(winepath -w "$log") wine "$bin/TarvoUninstaller.exe" & local app=$!
  probe wait TfrmTarvoUninstall 60000 || { fail "$suffix: main window did not appear"; kill $app; return; }
  probe wait TfrmUninstallButton 30000 || { fail "$suffix: no round button"; kill $app; return; }
  placed "$scale" || fail "$suffix: button not on the window's bottom edge"
  [ "$(probe caption TfrmUninstallButton | tr -d '\r')" = "Uninstall" ] || fail "$suffix: caption"
  sleep 2
  read -r l t r b < <(rect TfrmTarvoUninstall)
  import -window root -crop "$((r - l))x$((b - t + 30 * scale / 100))+$l+$t" +repage "$artifacts/main_window_button_$suffix.png"
  read -r l t r b < <(rect TfrmUninstallButton)
  import -window root -crop "$((r - l))x$((b - t))+$l+$t" +repage "$artifacts/floating_button_$suffix.png"
  probe command TfrmTarvoUninstall 101; sleep 1
  read -r l t r b < <(rect TfrmTarvoUninstall)
  import -window root -crop "$((r - l))x$((b - t + 30 * scale / 100))+$l+$t" +repage "$artifacts/main_window_addons_$suffix.png"
  probe command TfrmTarvoUninstall 100; sleep 0.5

  probe move TfrmTarvoUninstall 40 30; sleep 0.5
  placed "$scale" || fail "$suffix: the button did not follow a move"
  probe move TfrmUninstallButton 5 5; sleep 0.5
  placed "$scale" || fail "$suffix: the button let itself be moved away"
  probe dblcaption TfrmTarvoUninstall; sleep 1
  placed "$scale" || fail "$suffix: not placed after maximising"
  probe dblcaption TfrmTarvoUninstall; sleep 1
  placed "$scale" || fail "$suffix: not placed after restoring"
  read -r l t r b < <(rect TfrmTarvoUninstall)
  [ "$l $t" = "40 30" ] || fail "$suffix: restore went to $l $t, not back to 40 30"

  # A click on the black button's centre: the programs page's uninstall runs (with nothing
  # selected it says so; with a row selected its uninstall window opens).
  probe click TfrmUninstallButton $((77 * scale / 100)) $((52 * scale / 100))
  for _ in $(seq 50); do grep -q "round button: uninstall" "$log" && break; sleep 0.1; done
  grep -q "round button: uninstall" "$log" || fail "$suffix: the click did nothing"
  for _ in $(seq 50); do
    grep -q "message-box: " "$log" && break
    probe wait TfrmUninstalling 1 && { probe close TfrmUninstalling; break; }
    sleep 0.1
  done
  sleep 0.5

  # The add-on page: the same button, unmoved, says "Remove" and removes that page's checked
  # add-ons (none are checked here, which the page says).
  local before boxes
  before=$(rect TfrmUninstallButton)
  probe command TfrmTarvoUninstall 101; sleep 1
  [ "$(probe caption TfrmUninstallButton | tr -d '\r')" = "Remove" ] || fail "$suffix: no Remove on the add-on page"
  [ "$(rect TfrmUninstallButton)" = "$before" ] || fail "$suffix: the page switch moved the button"
  for _ in $(seq 120); do grep -q 'step: add-ons enumerated' "$log" && break; sleep 0.5; done
  boxes=$(grep -c "message-box: " "$log")
  probe click TfrmUninstallButton $((77 * scale / 100)) $((52 * scale / 100))
  for _ in $(seq 50); do [ "$(grep -c "message-box: " "$log")" -gt "$boxes" ] && break; sleep 0.1; done
  grep -q "round button: remove" "$log" || fail "$suffix: the click on the add-on page did nothing"
  grep "message-box: " "$log" | tail -1 | grep -q "Please select plugins to remove" ||
    fail "$suffix: the add-on page's removal did not run: $(grep message-box "$log" | tail -1)"
  probe command TfrmTarvoUninstall 100; sleep 0.5
  [ "$(probe caption TfrmUninstallButton | tr -d '\r')" = "Uninstall" ] || fail "$suffix: not back to Uninstall"
  probe close TfrmTarvoUninstall || fail "$suffix: close failed"
  wait $app || fail "$suffix: exit code $?"
}

data_of() { echo "$1/drive_c/users/$(id -un)/AppData/Roaming/Tarvo/Tarvo Uninstaller"; }
rm -f "$(data_of "$WINEPREFIX")/Main.ini"
run 100 100
. "$(dirname "$0")/../support/dpi_prefix.sh"
enter_dpi_prefix button-150 144
rm -rf "$(data_of "$WINEPREFIX")"
run 150 150
leave_dpi_prefix
[ $failures -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "round button placement and click checked"
