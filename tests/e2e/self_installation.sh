#!/usr/bin/env bash
# Our own installation, in a fresh prefix of its own (nothing else may see it): the
# "/install" run installs into Program Files, the installed copy starts and takes a path from
# the context-menu handler through a 64-bit stand-in for Explorer, an update over a shell
# extension that is held loaded moves it aside to "_1", and uninstalling us from our own
# catalogue runs RemovalHost.exe and leaves the prefix as it was but for the data folder.
set -u
bin=$1 artifacts=$2 host=$3 arch=${4:-i686}
work=$artifacts/self_installation
rm -rf "$work"; mkdir -p "$work"
root=$(cd "$(dirname "$0")/../.." && pwd)
export WINEPREFIX=$(dirname "$bin")/wineprefix-selfinstall WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" WINEARCH=win64
source "$root/scripts/wine-env.sh"
"$root/scripts/wine-prefix.sh" "$WINEPREFIX" --fresh
c=$WINEPREFIX/drive_c
# The program installs into the Program Files folder of its own bitness.
program_files='Program Files (x86)'
[ "$arch" = x86_64 ] && program_files='Program Files'
target_w="C:\\$program_files\\Tarvo\\Tarvo Uninstaller"
target=$c/"$program_files/Tarvo/Tarvo Uninstaller"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TarvoUninstall'
data=$c/users/$(id -un)/AppData/Roaming/Tarvo
app=
cleanup() { [ -n "$app" ] && kill "$app" 2>/dev/null; wineserver -k 2>/dev/null; }
trap cleanup EXIT
fail() { echo "FAIL: $*"; for f in "$work"/*.log; do echo "--- $f:"; cat "$f"; done; exit 1; }
probe() { wine "$bin/tarvo_probe.exe" "$@"; }
wait_line() {  # wait_line FILE LINE: up to 20 s for an exact line
  for _ in $(seq 200); do tr -d '\r' < "$1" 2>/dev/null | grep -qxF -- "$2" && return 0; sleep 0.1; done; return 1
}
# The prefix as a sorted list: every file and folder of drive C (Wine's own temporary
# files aside), and every registry key and value with the time stamps Wine adds taken out.
snapshot() {
  wineserver -w
  { (cd "$c" && find . -not -path './windows/temp*' -not -path './users/*/AppData/Local/Temp*' | sed 's/^/file /')
    for hive in system.reg user.reg; do
      awk -v hive="$hive" '/^\[/ { sub(/\] [0-9]+$/, "]"); key = $0; print hive " " key; next }
        /^#/ || /^$/ || /^;/ { next } { print hive " " key " " $0 }' "$WINEPREFIX/$hive"
    done; } | sort > "$1"
}
snapshot "$work/before.txt"

# The "/install" run: into Program Files, then it ends without a window.
TARVO_TEST_LOG='C:\install.log' timeout 120 wine "$bin/TarvoUninstaller.exe" /install; rc=$?
mv "$c/install.log" "$work/install.log" 2>/dev/null
[ $rc -eq 0 ] || fail "/install exited with $rc"
[ "$(tr -d '\r' < "$work/install.log")" = "self-installation: $target_w
self-installation done: $target_w\\
install run ends" ] || fail "/install lines differ"
for f in TarvoUninstaler.exe RemovalHost.exe RemovalOffer.exe AutoPatch.exe UsageReport.dll sqlite3.dll \
         ScoreBase.dbd help.html Language/English.lng Language/German.lng ShellVerb64.dll ShellWatch64.dll; do
  [ -f "$target/$f" ] || fail "$f not installed"
done
[ -e "$target/ShellVerb32.dll" ] && fail "the 32-bit shell extension was installed on 64-bit Windows"
[ -e "$target/Uninstall.data" ] && fail "Uninstall.data left behind"
wine reg query "$key" /v UninstallString /reg:32 | grep -qF "\"$target_w\\RemovalHost.exe\" uninstall_start" ||
  fail "no uninstall entry"
[ -f "$c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tarvo Uninstaller/Uninstall Tarvo Uninstaller.lnk" ] ||
  fail "no uninstall shortcut"

# The installed copy starts as itself: no installation, its own folder and libraries. Its
# downloads go nowhere but 127.0.0.1.
mkdir -p "$data/Tarvo Uninstaller"
printf '[Servers]\r\nDownload=http://127.0.0.1:9\r\nSite=http://127.0.0.1:9\r\n' > "$data/Tarvo Uninstaller/Main.ini"
log_w='C:\installed.log'
TARVO_TEST_LOG=$log_w wine "$target/TarvoUninstaler.exe" & app=$!
probe wait TfrmTarvoUninstall 60000 || fail "the installed copy shows no window"
wait_line "$c/installed.log" "program-folder: $target_w\\" || fail "the installed copy has another program folder"
wait_line "$c/installed.log" "step: check install" || fail "the installed copy did not finish starting"
grep -q "self-installation" "$c/installed.log" && fail "the installed copy installed itself"

# The context menu on a program's file hands its path to the running window.
mkdir -p "$c/Apps/Heron"; printf 'MZ' > "$c/Apps/Heron/heron.exe"
wine "$host" invoke 'C:\Apps\Heron\heron.exe' > "$work/host.log" 2>&1 || fail "context menu: $(cat "$work/host.log")"
grep -qxF "menu: Uninstall with Tarvo Uninstaller" <(tr -d '\r' < "$work/host.log") || fail "menu text differs"
wait_line "$c/installed.log" "shell verb" || fail "the window got no UM_SHELLVERB"
[ "$(iconv -f utf-16 -t utf-8 "$data/Tarvo Uninstaller/ShellVerb.dat" | tr -d '\r')" = 'C:\Apps\Heron\heron.exe' ] ||
  fail "ShellVerb.dat does not hold the path"
probe close TfrmForcedUninstall >/dev/null 2>&1
probe close TfrmTarvoUninstall; wait $app; app=
cp "$c/installed.log" "$work/installed.log"; rm -f "$c/installed.log"
# With no window running, the handler starts the installed program with "ShellVerb".
TARVO_TEST_LOG='C:\started.log' wine "$host" invoke 'C:\Apps\Heron\heron.exe' > "$work/host2.log" 2>&1 ||
  fail "context menu with no window: $(cat "$work/host2.log")"
probe wait TfrmForcedUninstall 60000 || fail "the started program opened no forced uninstall"
for _ in $(seq 100); do grep -qF 'forced window: path C:\Apps\Heron\heron.exe' "$c/started.log" 2>/dev/null && break; sleep 0.1; done
grep -qF 'forced window: path C:\Apps\Heron\heron.exe' "$c/started.log" || fail "the started program did not take the path"
probe close TfrmForcedUninstall >/dev/null 2>&1
probe close TfrmTarvoUninstall
for _ in $(seq 100); do probe wait TfrmTarvoUninstall 100 >/dev/null 2>&1 || break; sleep 0.2; done
cp "$c/started.log" "$work/started.log"; rm -f "$c/started.log"
rm -rf "$c/Apps"

# An update from a newer copy while Explorer holds the context-menu handler: the held file is
# moved aside to "_1" and goes at the next restart; the new one takes its name.
wine reg add "$key" /v DisplayVersion /d 2.9.0.0 /f /reg:32 >/dev/null
wine "$host" hold "$target_w\\ShellVerb64.dll" 60000 > "$work/hold.log" & holder=$!
for _ in $(seq 100); do grep -q held "$work/hold.log" && break; sleep 0.1; done
TARVO_TEST_LOG='C:\update.log' timeout 120 wine "$bin/TarvoUninstaller.exe" /install; rc=$?
# Over an existing installation the run ends by starting the installed copy: close it first.
if probe wait TfrmTarvoUninstall 30000 >/dev/null 2>&1; then
  wait_line "$c/update.log" "step: check install"
  probe close TfrmTarvoUninstall >/dev/null 2>&1
  for _ in $(seq 100); do probe wait TfrmTarvoUninstall 100 >/dev/null 2>&1 || break; sleep 0.2; done
fi
mv "$c/update.log" "$work/update.log" 2>/dev/null
kill $holder 2>/dev/null; wait $holder 2>/dev/null
[ $rc -eq 0 ] || fail "the update exited with $rc"
[ -f "$target/ShellVerb64_1.dll" ] || fail "the held handler was not moved to ShellVerb64_1.dll"
cmp -s "$target/ShellVerb64.dll" "$(dirname "$bin")/payload/ShellVerb64.dll" || fail "the new handler is not in place"
wine reg query "$key" /v DisplayVersion /reg:32 | grep -qF 3.0.0.1 || fail "the update did not register its version"
wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations /reg:64 |
  grep -qF 'ShellVerb64_1.dll' || fail "the moved handler is not due at restart"

# Our own removal, from our own catalogue, as any program's: RemovalHost.exe does the work.
timeout 120 wine "$bin/tarvo.exe" list > "$work/list.txt" 2>&1
grep -q "^Tarvo Uninstaller	3.0.0.1	Tarvo	" "$work/list.txt" || fail "not in our own catalogue"
TARVO_TEST_LOG='C:\removal.log' timeout 120 wine "$bin/tarvo.exe" uninstall "Tarvo Uninstaller" --yes \
  > "$work/uninstall.txt" 2>&1 || fail "uninstall failed: $(cat "$work/uninstall.txt")"
mv "$c/removal.log" "$work/removal.log" 2>/dev/null
grep -qxF "removal-host: done" <(tr -d '\r' < "$work/removal.log") || fail "RemovalHost.exe did not run"
# What was in use goes at the next restart.
wineboot -r >/dev/null 2>&1
snapshot "$work/after.txt"
ls "$c/users/$(id -un)/AppData/Local/Temp" | grep -qi removalhost && fail "the removal left its copy in Temp"
# Nothing else remains and nothing else is gone: only our data folder is new. Wine's own
# churn is left out: the hardware keys its restart rewrites, and WinINet's cache and
# settings, which any program that goes online creates.
diff "$work/before.txt" "$work/after.txt" | grep '^[<>]' | grep -vF "file ./users/$(id -un)/AppData/Roaming/Tarvo" |
  grep -vE 'CurrentControlSet\\\\Control\\\\Class\\\\|\\\\NetworkCards\]|Windows/INet|\\\\Internet Settings\]' \
  > "$work/residue.txt"
[ -d "$data/Tarvo Uninstaller" ] || fail "the data folder is gone"
[ -s "$work/residue.txt" ] && fail "the prefix differs: $(head -40 "$work/residue.txt")"
# With nothing installed, "/install FOLDER" installs into that folder.
TARVO_TEST_LOG='C:\folder.log' timeout 120 wine "$bin/TarvoUninstaller.exe" /install 'C:\Apps\Tarvo'; rc=$?
mv "$c/folder.log" "$work/folder.log" 2>/dev/null
[ $rc -eq 0 ] && [ -f "$c/Apps/Tarvo/TarvoUninstaler.exe" ] && [ "$(tr -d '\r' < "$work/folder.log")" = 'self-installation: C:\Apps\Tarvo
self-installation done: C:\Apps\Tarvo\
install run ends' ] || fail "/install C:\Apps\Tarvo"
echo "self-installation, context menu, update and self-removal: ok"
