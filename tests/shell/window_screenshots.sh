#!/usr/bin/env bash
# The forced-uninstall window (as it opens, and listing a dropped file's programs), the
# Powerful Scan window (findings, and the final state after a removal), the log manager
# (day logs and backups), the About window and the browser restore (Chrome, Firefox) at 100 %
# and at 150 %, each picture cut to the window and kept as an artifact for review. The
# window's size proves which DPI it was drawn at.
set -u
. "$(dirname "$0")/../support/window_shots.sh" "$1" "$2" windows window_shots_driver.exe

# every SUFFIX PERCENT
every() {
  shoot forced-tip TfrmForcedUninstall "forced_tip_$1" $((560 * $2 / 100))
  shoot forced-list TfrmForcedUninstall "forced_list_$1" $((560 * $2 / 100))
  shoot power-scan TfrmPowerScan "power_scan_$1" $((640 * $2 / 100))
  shoot power-scan-done TfrmPowerScan "power_scan_done_$1" $((640 * $2 / 100)) "The removed items were backed up."
  shoot power-scan-traced TfrmPowerScan "power_scan_traced_$1" $((640 * $2 / 100))
  shoot log-days TfrmLogManage "log_manager_$1" $((560 * $2 / 100))
  shoot log-backups TfrmLogManage "log_backups_$1" $((560 * $2 / 100))
  shoot about TfrmAbout "about_$1" $((420 * $2 / 100))
  shoot restore-chrome TfrmRestBrowserDefault "restore_chrome_$1" $((400 * $2 / 100))
  shoot restore-firefox TfrmRestBrowserDefault "restore_firefox_$1" $((400 * $2 / 100))
}

shoot_at_both_dpis windows-150 "window screenshots"
