#!/usr/bin/env bash
# orphans_world.sh BIN_DIR INSTALLERS_DIR: leftovers of programs removed the ordinary way, in
# a prefix of its own. Programs that stay: a look-alike of the same publisher (64-bit), a
# bystander, a hidden system component of a removed program's publisher, a portable program
# in the user's Documents and a ProgramData folder a service uses. Programs that go: one with
# its own sloppy uninstaller, one the same in the 64-bit view, one by deleting its folder.
# Snapshots before the removed programs were installed, after they were removed, and after
# `tarvo orphans --delete`: what they left must be found and removed (the share is printed
# and must reach 90 %), and nothing else may change (collateral 0).
set -u
bin=$1 installers=$2
root=$(cd "$(dirname "$0")/../../.." && pwd)
export WINEPREFIX=$root/build/wineprefix-orphans WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" WINEARCH=win64
source "$root/scripts/wine-env.sh"
"$root/scripts/wine-prefix.sh" "$WINEPREFIX" --fresh || exit 1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"; wineserver -k 2>/dev/null' EXIT
user=$(ls "$WINEPREFIX/drive_c/users" | grep -v -i -x public | head -1)
c=$WINEPREFIX/drive_c

source "$root/tests/support/prefix_snapshot.sh"

install() {  # id
  wine "$(winepath -w "$installers/$1.exe")" >/dev/null 2>&1 || { echo "FAIL: installer $1"; exit 1; }
}
# The program's own uninstaller: NSIS copies it to the temporary folder and returns at once,
# so wait for the copy to end.
own_uninstall() {  # folder (Windows path)
  wine "$1\\uninstall.exe" /S >/dev/null 2>&1
  wineserver -w
}

# What stays.
install sheets
install bystander
mkdir -p "$c/ProgramData/Plum Studio/Runtime" "$c/ProgramData/Gauge Works" "$c/users/$user/Documents/PortaTool"
echo runtime > "$c/ProgramData/Plum Studio/Runtime/plumrt.dll"
echo service > "$c/ProgramData/Gauge Works/gauged.exe"
echo state > "$c/ProgramData/Gauge Works/state.dat"
echo portable > "$c/users/$user/Documents/PortaTool/porta.exe"
echo "[Main]" > "$c/users/$user/Documents/PortaTool/porta.ini"
cat > "$tmp/stay.reg" <<REG
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\PlumRuntime]
"DisplayName"="Plum Runtime"
"Publisher"="Plum Studio"
"SystemComponent"=dword:00000001
"InstallLocation"="C:\\\\ProgramData\\\\Plum Studio\\\\Runtime"
"UninstallString"="C:\\\\ProgramData\\\\Plum Studio\\\\Runtime\\\\plumrt.dll"

[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\GaugeSvc]
"ImagePath"="C:\\\\ProgramData\\\\Gauge Works\\\\gauged.exe"
"Type"=dword:00000010
"Start"=dword:00000003
"ErrorControl"=dword:00000001

[HKEY_CURRENT_USER\\Software\\PortaTool]
"LastFile"="C:\\\\users\\\\$user\\\\Documents\\\\PortaTool\\\\porta.ini"
REG
wine reg import "$(winepath -w "$tmp/stay.reg")" /reg:64 >/dev/null 2>&1 || { echo "FAIL: reg import"; exit 1; }
snapshot "$tmp/before"

# What goes.
install writer
install plum
install kite
own_uninstall 'C:\Program Files (x86)\Residue Writer'
own_uninstall 'C:\Program Files\Plum Paint'
rm -rf "$c/Program Files (x86)/Kite Mail"
snapshot "$tmp/removed"
comm -13 "$tmp/before" "$tmp/removed" > "$tmp/left"
echo "the removed programs left $(wc -l < "$tmp/left") keys, values, files and folders"

wine "$(winepath -w "$bin/tarvo.exe")" orphans --delete > "$tmp/run.txt" 2>&1
rc=$?
tr -d '\r' < "$tmp/run.txt" | sed 's/^/    /' | head -120
case $rc in 0|5) ;; *) echo "FAIL: tarvo orphans --delete exited $rc"; exit 1 ;; esac
snapshot "$tmp/after"

comm -12 "$tmp/left" "$tmp/after" > "$tmp/residue"
comm -23 "$tmp/before" "$tmp/after" > "$tmp/collateral"
left=$(wc -l < "$tmp/left") residue=$(wc -l < "$tmp/residue") collateral=$(wc -l < "$tmp/collateral")
removed=$((left - residue))
echo "found and removed: $removed of $left ($((100 * removed / (left > 0 ? left : 1))) %)"
echo "residue: $residue"
sed 's/^/    /' "$tmp/residue" | head -40
echo "collateral: $collateral"
sed 's/^/    /' "$tmp/collateral" | head -40
if [ "$left" -gt 0 ] && [ $((100 * removed)) -ge $((90 * left)) ] && [ "$collateral" -eq 0 ]; then
  echo "1 passed, 0 failed"; exit 0
fi
echo "0 passed, 1 failed"
exit 1
