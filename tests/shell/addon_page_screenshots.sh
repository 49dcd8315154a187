#!/usr/bin/env bash
# The browser plug-ins page (all browsers, Internet Explorer, Chrome) and the vote window at
# 100 % and 150 %, each picture cut to the window and kept as an artifact for review.
set -u
bin=$1 artifacts=$2
out=$artifacts/addon_page
rm -rf "$out"; mkdir -p "$out"
. "$(dirname "$0")/../support/dpi_prefix.sh"
. "$(dirname "$0")/../support/window_shots.sh"
# The page host shows itself once the enumeration is done and the view chosen.
shoot() { shoot_window addon_page_shots_driver.exe "$@"; }

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
finish_shots "add-on page screenshots"
