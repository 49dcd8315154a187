#!/usr/bin/env bash
# trace_world_test.sh BIN_DIR WORLD_DIR: a traced installation removed exactly, in a prefix of
# its own. A program that spreads things no rule can guess is installed with `tarvo install`;
# a second program installed after it puts its own file into a folder the first created; then
# `tarvo uninstall "Trace World" --yes --scan --delete`. Nothing the first created may be left
# but that folder (it holds the second's file), nothing that was there before may be gone, the
# second's file and value stay, and the user's PATH reads exactly as before. Then the same for
# a small MSI product installed with `tarvo install` and removed through msiexec.
set -u
bin=$1 world=$2
root=$(cd "$(dirname "$0")/../../.." && pwd)
export WINEPREFIX=$root/build/wineprefix-trace WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" WINEARCH=win64
source "$root/scripts/wine-env.sh"
"$root/scripts/wine-prefix.sh" "$WINEPREFIX" --fresh || exit 1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"; wineserver -k 2>/dev/null' EXIT
tarvo=$(winepath -w "$bin/tarvo.exe")
failures=0 passes=0

# One line per key, value and file or folder, lower case; Wine's bookkeeping, the shell's own
# state and our program's data folder aside (as in the residue test).
# A removal ends well with 0 or 5 (a restart finishes it), or with 1 when the only items not
# removed are keys the guard keeps because other programs share them (a fresh prefix lets an
# installer create "*\shell"; the trace records it, the removal rightly leaves it).
removal_ok() {  # output rc
  case $2 in
    0|5) return 0 ;;
    1) grep -q "failed 0" "$1" && ! grep -q "^Could not" "$1" && grep -q "^Left alone" "$1" ;;
    *) return 1 ;;
  esac
}

source "$root/tests/support/prefix_snapshot.sh"

user_path() { wine reg query 'HKCU\Environment' /v Path 2>/dev/null | tr -d '\r' | grep -i 'Path' | sed 's/^ *//'; }

check() {  # name condition-result
  if [ "$2" -eq 0 ]; then passes=$((passes + 1)); echo "ok: $1"; else failures=$((failures + 1)); echo "FAIL: $1"; fi
}

run_tarvo() {  # out args...
  local out=$1; shift
  wine "$tarvo" "$@" > "$out" 2>&1
  local rc=$?
  tr -d '\r' < "$out" | sed 's/^/    /' | grep -E 'Trace |Installed|Uninstalling|Done|Removed|Left|Could not|Put back|Took' || true
  return $rc
}

# --- the NSIS program -------------------------------------------------------------------
wine reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ /d 'C:\keep\one;C:\keep\two' /f >/dev/null
path_before=$(user_path)
snapshot "$tmp/before"
run_tarvo "$tmp/install.txt" install "$(winepath -w "$world/trace_world.exe")"
check "tarvo install exits 0" $?
snapshot "$tmp/installed"
comm -13 "$tmp/before" "$tmp/installed" > "$tmp/created"
echo "    the traced program created $(wc -l < "$tmp/created") keys, values, files and folders"
wine "$(winepath -w "$world/neighbour.exe")" >/dev/null 2>&1
snapshot "$tmp/neighbour"
comm -13 "$tmp/installed" "$tmp/neighbour" > "$tmp/neighbour_created"

run_tarvo "$tmp/traces.txt" traces
grep -q "Trace World" "$tmp/traces.txt"; check "tarvo traces lists the trace with its entry" $?
run_tarvo "$tmp/uninstall.txt" uninstall "Trace World" --yes --scan --delete
rc=$?; removal_ok "$tmp/uninstall.txt" $rc; check "tarvo uninstall removes all it may (exit $rc)" $?
grep -q "recorded at installation" "$tmp/uninstall.txt"; check "the scan shows the recorded items" $?
snapshot "$tmp/after"

guid='f programdata/{5d2b7c9e-41a3-4f0b-9e6c-2a8d1f3b7e40}'
comm -12 "$tmp/created" "$tmp/after" | grep -v -x -F "$guid" > "$tmp/residue"
comm -23 "$tmp/before" "$tmp/after" > "$tmp/collateral"
comm -23 "$tmp/neighbour_created" "$tmp/after" > "$tmp/neighbour_lost"
echo "    residue: $(wc -l < "$tmp/residue")"; sed 's/^/      /' "$tmp/residue" | head -40
echo "    collateral: $(wc -l < "$tmp/collateral")"; sed 's/^/      /' "$tmp/collateral" | head -40
[ ! -s "$tmp/residue" ]; check "nothing the traced program created is left" $?
[ ! -s "$tmp/collateral" ]; check "nothing that was there before is gone" $?
[ -s "$tmp/neighbour_created" ] && [ ! -s "$tmp/neighbour_lost" ]; check "the later program keeps its file and value" $?
grep -q -x -F "$guid" "$tmp/after"; check "the shared GUID folder stays with the later program's file" $?
path_after=$(user_path)
[ "$path_before" = "$path_after" ]; check "PATH reads as before ($path_after)" $?

# --- the MSI product ----------------------------------------------------------------------
snapshot "$tmp/msi_before"
run_tarvo "$tmp/msi_install.txt" install "$(winepath -w "$world/trace_msi.msi")" /qn
check "tarvo install of the MSI exits 0" $?
snapshot "$tmp/msi_installed"
comm -13 "$tmp/msi_before" "$tmp/msi_installed" > "$tmp/msi_created"
echo "    the MSI created $(wc -l < "$tmp/msi_created") keys, values, files and folders"
grep -q "Installed: Trace Msi Sample" "$tmp/msi_install.txt"; check "the MSI's uninstall entry is linked" $?
run_tarvo "$tmp/msi_uninstall.txt" uninstall "Trace Msi Sample" --yes --quiet --scan --delete
rc=$?; removal_ok "$tmp/msi_uninstall.txt" $rc; check "tarvo uninstall of the MSI removes all it may (exit $rc)" $?
snapshot "$tmp/msi_after"
comm -12 "$tmp/msi_created" "$tmp/msi_after" > "$tmp/msi_residue"
comm -23 "$tmp/msi_before" "$tmp/msi_after" > "$tmp/msi_collateral"
echo "    residue: $(wc -l < "$tmp/msi_residue")"; sed 's/^/      /' "$tmp/msi_residue" | head -40
echo "    collateral: $(wc -l < "$tmp/msi_collateral")"; sed 's/^/      /' "$tmp/msi_collateral" | head -40
[ ! -s "$tmp/msi_residue" ] && [ ! -s "$tmp/msi_collateral" ]; check "the MSI leaves nothing and takes nothing else" $?

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
