#!/usr/bin/env bash
# The decisions taken before any window: a refused administrator check, and an installation
# run with nothing to install and no window to hand over to. Neither creates the mutex or a
# window.
set -u
bin=$1 artifacts=$2
work=$artifacts/entry_checks
rm -rf "$work"; mkdir -p "$work"
exe=$bin/TarvoUninstaller.exe
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TarvoUninstall'
fail() { echo "FAIL: $*"; for f in "$work"/*.log; do echo "--- $f:"; cat "$f"; done; exit 1; }
run() {  # run NAME ARGS...: one start with its own test log; its exit code
  local name=$1; shift
  TARVO_TEST_LOG=$(winepath -w "$work/$name.log") timeout 60 wine "$exe" "$@"
}
wine reg delete "$key" /f /reg:32 >/dev/null 2>&1

# Not an administrator: the message box and nothing else.
TARVO_TEST_NOT_ADMIN=1 run not_admin; rc=$?
[ $rc -eq 0 ] || fail "refused start exited with $rc"
expected="message-box: Tarvo Uninstaller | You logged in the system with guest account! You need administrative rights to use Tarvo Uninstaller 3."
[ "$(tr -d '\r' < "$work/not_admin.log")" = "$expected" ] || fail "refusal differs"
TARVO_TEST_NOT_ADMIN=1 run not_admin_install /install; rc=$?
[ $rc -eq 0 ] && [ "$(tr -d '\r' < "$work/not_admin_install.log")" = "$expected" ] ||
  fail "an installation run went past the refusal"

# An installation run that installs really installs, so it has a prefix of its own:
# self_installation.sh.

# The running copy is the installed one: nothing to install, still no window.
wine reg add "$key" /v InstallLocation /d "$(winepath -w "$exe")" /f /reg:32 >/dev/null
# Installed, the program fetches the weekly score database: from nowhere but 127.0.0.1.
main_ini="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Tarvo/Tarvo Uninstaller/Main.ini"
mkdir -p "$(dirname "$main_ini")" && printf '[Servers]\r\nDownload=http://127.0.0.1:9\r\n' >>"$main_ini"
run install_same /install; rc=$?
wine reg delete "$key" /f /reg:32 >/dev/null 2>&1
[ $rc -eq 0 ] && [ "$(tr -d '\r' < "$work/install_same.log")" = "install run ends" ] ||
  fail "/install from the installed copy"

# "/install" is exact: any other spelling is a normal start.
run not_install /INSTALL & app=$!
wine "$bin/tarvo_probe.exe" wait TfrmTarvoUninstall 60000 || { kill $app; fail "/INSTALL did not start normally"; }
wine "$bin/tarvo_probe.exe" close TfrmTarvoUninstall
wait $app
grep -qxF "mutex created" <(tr -d '\r' < "$work/not_install.log") || fail "/INSTALL took the installation path"
echo "administrator refusal and installation runs: ok"
