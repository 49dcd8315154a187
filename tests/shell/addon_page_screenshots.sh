#!/usr/bin/env bash
# The browser plug-ins page (all browsers, Internet Explorer, Chrome) and the vote window at
# 100 % and 150 %, each picture cut to the window and kept as an artifact for review.
set -u
bin=$1 artifacts=$2
out=$artifacts/addon_page
rm -rf "$out"; mkdir -p "$out"
. "$(dirname "$0")/../support/dpi_prefix.sh"
probe="$bin/tarvo_probe.exe"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# shoot MODE CLASS NAME WIDTH: the driver's window, which must be WIDTH pixels wide.
shoot() {
  local mode=$1 class=$2 name=$3 width=$4 l t r b
  wine "$bin/addon_page_shots_driver.exe" "$mode" & local app=$!
  if ! wine "$probe" wait "$class" 60000; then
    kill $app; fail "$name: window did not appear"; return
  fi
  sleep 2  # the enumeration and the first paint
  read -r l t r b < <(wine "$probe" rect "$class" | tr -d '\r')
  import -window root -crop "$((r - l))x$((b - t))+$l+$t" +repage "$out/$name.png" || fail "$name: screenshot failed"
  [ $((r - l)) -eq "$width" ] || fail "$name: $((r - l)) pixels wide, expected $width"
  wine "$probe" close "$class" || { kill $app; fail "$name: close failed"; return; }
  wait $app || fail "$name: driver exit code $?"
}

every() {
  shoot all TarvoAddonPageHost "page_all_$1" $((800 * $2 / 100))
  shoot ie TarvoAddonPageHost "page_ie_$1" $((800 * $2 / 100))
  shoot chrome TarvoAddonPageHost "page_chrome_$1" $((800 * $2 / 100))
  shoot vote TfrmPluginVote "vote_$1" $((420 * $2 / 100))
}

every 100 100
enter_dpi_prefix addons-150 144
every 150 150
leave_dpi_prefix
ls "$out"/*.png
[ $failures -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "add-on page screenshots in $out"
