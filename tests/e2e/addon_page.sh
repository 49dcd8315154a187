#!/usr/bin/env bash
# addon_page.sh BIN ARTIFACTS: the real main window with a Chrome profile of two extensions
# in a copy of the test prefix. The enumeration ends on its own after start-up; a click on
# "Browser plug-ins" shows the page, which lists both extensions, filters them by the search
# box, enumerates again on F5 and stays responsive.
# Screenshots at 100 % and at 150 % are kept as artifacts.
set -u
bin=$1 artifacts=$2
mkdir -p "$artifacts"
probe="$bin/tarvo_probe.exe"
tmp=$(mktemp -d)
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
. "$(dirname "$0")/../support/dpi_prefix.sh"

chrome_profile() {
  local default="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Google/Chrome/User Data/Default"
  mkdir -p "$default/Extensions/aaaa/1.2_0" "$default/Extensions/bbbb/3.0_0"
  cat > "$default/Preferences" <<'JSON'
{"extensions":{"settings":{
 "aaaa":{"state":1,"path":"aaaa\\1.2_0","manifest":{"name":"Coupon Finder Pro","description":"Shows coupons","version":"1.2"}},
 "bbbb":{"state":1,"path":"bbbb\\3.0_0","manifest":{"name":"Password Keeper","description":"Fills passwords","version":"3.0"}}}}}
JSON
  wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Google Chrome' /v DisplayName /d 'Google Chrome' /f \
    >/dev/null 2>&1
}

run_once() {  # name
  local name=$1 log=$tmp/log-$1 l t r b
  TARVO_TEST_LOG="$(winepath -w "$log")" wine "$bin/TarvoUninstaller.exe" & local app=$!
  if ! wine "$probe" wait TfrmTarvoUninstall 60000; then
    fail "$name: main window did not appear"; kill $app; return
  fi
  for _ in $(seq 120); do grep -q 'step: add-ons enumerated' "$log" 2>/dev/null && break; sleep 0.5; done
  grep -q 'step: add-ons enumerated' "$log" || fail "$name: the enumeration did not end"
  read -r l t r b < <(wine "$probe" rect TfrmTarvoUninstall | tr -d '\r')
  # "Browser plug-ins" in the heading: 385, 35 at 100 %.
  xdotool mousemove $((l + 385 * (r - l) / 870)) $((t + 35 * (r - l) / 870)) click 1
  sleep 2
  wine "$probe" caption TfrmTarvoUninstall >/dev/null || fail "$name: the window does not answer"
  import -window root "$artifacts/addon_page_$name.png" || echo "screenshot failed"
  # The search box filters the page shown.
  wine "$probe" rows TfrmTarvoUninstall | tr -d '\r' >"$tmp/all-$name"
  grep -q "Coupon Finder Pro" "$tmp/all-$name" && grep -q "Password Keeper" "$tmp/all-$name" ||
    fail "$name: the page does not list both extensions: $(tr '\n' '|' <"$tmp/all-$name")"
  wine "$probe" type TfrmTarvoUninstall coupon; sleep 0.5
  wine "$probe" rows TfrmTarvoUninstall | tr -d '\r' >"$tmp/found-$name"
  grep -q "Coupon Finder Pro" "$tmp/found-$name" && ! grep -q "Password Keeper" "$tmp/found-$name" ||
    fail "$name: the search did not filter the add-ons: $(tr '\n' '|' <"$tmp/found-$name")"
  # F5 on this page enumerates the browsers again.
  local scans
  scans=$(grep -c 'step: add-ons enumerated' "$log")
  wine "$probe" key TfrmTarvoUninstall 0x74
  for _ in $(seq 60); do [ "$(grep -c 'step: add-ons enumerated' "$log")" -gt "$scans" ] && break; sleep 0.5; done
  [ "$(grep -c 'step: add-ons enumerated' "$log")" -gt "$scans" ] || fail "$name: F5 did not refresh the add-on page"
  wine "$probe" close TfrmTarvoUninstall || { fail "$name: close failed"; kill $app; }
  wait $app || fail "$name: exit code $?"
  echo "$name: screenshot addon_page_$name.png"
}

enter_dpi_prefix addons-100 96
chrome_profile
run_once 100
leave_dpi_prefix
enter_dpi_prefix addons-150 144
chrome_profile
run_once 150
leave_dpi_prefix
rm -rf "$tmp"
[ $failures -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "add-on page checks passed"
