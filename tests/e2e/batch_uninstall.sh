#!/usr/bin/env bash
# A batch from the console with real installers: two NSIS products whose uninstallers remove
# nothing unless started quietly and a Windows Installer product go in one unattended run;
# then a batch killed between its two uninstallers leaves its programs to the window's next
# start and to `scan --pending`.
set -u
bin=$1 artifacts=$2
work=$artifacts/batch_uninstall
rm -rf "$work"; mkdir -p "$work"
tarvo=$bin/tarvo.exe
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
probe_code='{7A1C2E3F-4B5D-4E6F-8A9B-0C1D2E3F4A5B}'
journal="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Tarvo/Tarvo Uninstaller/PendingScans.ini"
fail() { echo "FAIL: $*"; for f in "$work"/*.txt; do echo "--- $f:"; cat "$f"; done; exit 1; }
installed() { wine reg query "$uninstall\\$1" /reg:32 >/dev/null 2>&1 || wine reg query "$uninstall\\$1" >/dev/null 2>&1; }
install_nsis() { wine "$bin/$1.exe" /S || fail "$1 did not install"; }
cleanup() {
  wine msiexec /x "$probe_code" /qn >/dev/null 2>&1
  for name in "Tarvo Asking Batch A" "Tarvo Asking Batch B"; do
    wine reg delete "$uninstall\\$name" /f /reg:32 >/dev/null 2>&1
  done
  rm -f "$journal"
}
trap cleanup EXIT
cleanup

# The whole batch unattended: none of them may ask, every one is gone, one line each.
install_nsis asking_batch_a_setup
install_nsis asking_batch_b_setup
wine msiexec /i "$(winepath -w "$bin/leftover_probe.msi")" /qn || fail "the installer product did not install"
installed "$probe_code" || fail "the installer product has no entry"
timeout 300 wine "$tarvo" uninstall "Tarvo Asking Batch A" "Tarvo Leftover Probe" "Tarvo Asking Batch B" \
  --yes --quiet --scan --delete >"$work/batch.txt" 2>&1; rc=$?
tr -d '\r' <"$work/batch.txt" >"$work/batch.clean"
[ $rc -eq 0 ] || fail "the batch exited with $rc"
for key in "Tarvo Asking Batch A" "Tarvo Asking Batch B" "$probe_code"; do
  installed "$key" && fail "$key is still installed: its uninstaller was not quiet"
done
grep -q '^Asks its own questions' "$work/batch.clean" && fail "a known installer was taken for one that asks"
for name in "Tarvo Asking Batch A" "Tarvo Leftover Probe" "Tarvo Asking Batch B"; do
  grep -q "^$name: uninstalled quietly, [0-9]* leftover(s) found" "$work/batch.clean" || fail "no summary line for $name"
done
[ -e "$journal" ] && fail "the journal kept programs whose scan ran"
echo "quiet batch: ok"

# Killed after the first uninstaller: the next console run scans what was never scanned.
install_nsis asking_batch_a_setup
install_nsis asking_batch_b_setup
wine "$tarvo" uninstall "Tarvo Asking Batch A" "Tarvo Asking Batch B" --yes --quiet --scan \
  >"$work/killed.txt" 2>&1 & app=$!
for _ in $(seq 120); do  # B is written down just before its uninstaller starts
  [ -e "$journal" ] && iconv -f UTF-16 -t UTF-8 "$journal" 2>/dev/null | grep -q "Batch B" && break
  sleep 0.5
done
kill -9 $app 2>/dev/null; wait $app 2>/dev/null
installed "Tarvo Asking Batch A" && fail "the first uninstaller had not ended when the batch was killed"
grep -q "leftover(s) found" "$work/killed.txt" && fail "the batch reached its scan before it was killed"
sleep 4  # B's uninstaller, if the kill left it running, finishes on its own

# The window's next start offers the scan of what was uninstalled (the test seam answers OK,
# which leaves them pending).
TARVO_TEST_LOG=$(winepath -w "$work/window.log") wine "$bin/TarvoUninstaller.exe" & win=$!
for _ in $(seq 120); do grep -q "step: check install" "$work/window.log" 2>/dev/null && break; sleep 0.5; done
sleep 1
wine "$bin/tarvo_probe.exe" close TfrmTarvoUninstall; wait $win
tr -d '\r' <"$work/window.log" >"$work/window.txt"
grep -q "stopped before their Powerful Scan:" "$work/window.txt" && grep -qx "Tarvo Asking Batch A" "$work/window.txt" ||
  fail "the window's start did not offer the pending scan"
timeout 300 wine "$tarvo" scan --pending >"$work/pending.txt" 2>&1; rc=$?
[ $rc -eq 0 ] || fail "scan --pending exited with $rc"
tr -d '\r' <"$work/pending.txt" >"$work/pending.clean"
grep -q "^Tarvo Asking Batch A: [0-9]* leftover(s) found" "$work/pending.clean" ||
  fail "scan --pending did not scan the uninstalled program"
# B's uninstaller went with the killed batch: B is still installed and must not be scanned.
if installed "Tarvo Asking Batch B"; then
  grep -q "^Tarvo Asking Batch B: still installed, not scanned" "$work/pending.clean" ||
    fail "scan --pending took a still installed program for leftovers"
fi
[ "$(timeout 120 wine "$tarvo" scan --pending 2>&1 | tr -d '\r')" = "No program waits for its scan." ] ||
  fail "the pending programs were not struck off"
echo "killed batch and scan --pending: ok"
