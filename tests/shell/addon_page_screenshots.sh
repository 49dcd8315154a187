#!/usr/bin/env bash
# The browser plug-ins page (all browsers, Internet Explorer, Chrome) and the vote window at
# 100 % and 150 %, each picture cut to the window and kept as an artifact for review.
set -u
. "$(dirname "$0")/../support/window_shots.sh" "$1" "$2" addon_page addon_page_shots_driver.exe

# The page host shows itself once the enumeration is done and the view chosen.
every() {
  shoot all TarvoAddonPageHost "page_all_$1" $((800 * $2 / 100))
  shoot ie TarvoAddonPageHost "page_ie_$1" $((800 * $2 / 100))
  shoot chrome TarvoAddonPageHost "page_chrome_$1" $((800 * $2 / 100))
  shoot vote TfrmPluginVote "vote_$1" $((420 * $2 / 100))
}

shoot_at_both_dpis addons-150 "add-on page screenshots"
