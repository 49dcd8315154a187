#!/usr/bin/env bash
# demo_world_test.sh install|uninstall DEMO_DIR
#   install    installs the demo world into $WINEPREFIX and checks that every product's
#              uninstall key is where its installer kind and bitness put it, with the
#              values the catalogue reads
#   uninstall  removes one NSIS product (registered in both views) with its own
#              uninstaller and one MSI product with msiexec, and checks both are gone
set -u
mode=$1 demo=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
uninstall='Software\Microsoft\Windows\CurrentVersion\Uninstall'
failures=0
user=$(id -un)
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Every uninstall key of one root and view as lines "key<TAB>value<TAB>data".
dump() {  # root view
  wine reg query "$1\\$uninstall" /s /reg:"$2" 2>/dev/null | tr -d '\r' | awk '
    /^HKEY_/ { n = split($0, parts, "\\"); key = parts[n]; next }
    /^    / { sub(/^    /, ""); split($0, f, "    "); print key "\t" f[1] "\t" f[3] }'
}
value() {  # dumpfile key name
  awk -F'\t' -v k="$2" -v n="$3" '$1 == k && $2 == n { print $3; exit }' "$1"
}
product() {  # id field-number: a column of the world manifest
  awk -F'\t' -v id="$1" -v c="$2" '$1 == id { print $c }' "$demo/world.tsv"
}
dumps() {
  dump HKLM 32 > "$tmp/hklm32"; dump HKLM 64 > "$tmp/hklm64"; dump HKCU 64 > "$tmp/hkcu"
}
# 1 while KEY exists in ROOT's VIEW; waits up to 60 s for it to go.
wait_gone() {  # root view key
  local i
  for i in $(seq 120); do
    wine reg query "$1\\$uninstall\\$3" /reg:"$2" >/dev/null 2>&1 || return 0
    sleep 0.5
  done
  return 1
}
unix_path() { local p=${1//\\//}; echo "$WINEPREFIX/drive_c${p#C:}"; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

if [ "$mode" = install ]; then
  # Dates counted back from the day of installation, taken either side of it so a run
  # across midnight still passes.
  before=$(date -d '2 days ago' +%Y%m%d)
  TARVO_DEMO_DIR=$demo "$root/scripts/demo-world.sh" --reset | tee "$tmp/out"
  after=$(date -d '2 days ago' +%Y%m%d)
  grep -q ' 0 failed' "$tmp/out" || fail "an installer failed"
  dumps

  # Each product in its own view and only there; the twin in both.
  while IFS=$'\t' read -r id kind view rootname key name _; do
    case $id in ''|'#'*) continue ;; esac
    case $view in
      32)   want="hklm32" ;;
      64)   want="hklm64" ;;
      twin) want="hklm32 hklm64" ;;
      user) want="hkcu" ;;
    esac
    for where in hklm32 hklm64 hkcu; do
      got=$(value "$tmp/$where" "$key" DisplayName)
      if [[ " $want " == *" $where "* ]]; then
        [ "$got" = "$name" ] || fail "$id ($kind): DisplayName in $where is '$got', want '$name'"
      else
        [ -z "$got" ] || fail "$id ($kind): unexpected key in $where"
      fi
    done
  done < "$demo/world.tsv"

  # The values the catalogue turns into size, date, icon and flags.
  check() {  # where id value want
    local got
    got=$(value "$tmp/$1" "$(product "$2" 5)" "$3")
    [ "$got" = "$4" ] || fail "$2: $3 in $1 is '$got', want '$4'"
  }
  check hklm64 videostudio EstimatedSize 0x956a0
  check hklm64 videostudio InstallDate 20220118
  check hklm32 photoviewer DisplayVersion 3.2.1
  check hklm32 photoviewer Publisher "Northwind Software"
  check hklm32 photoviewer UninstallString '"C:\Program Files (x86)\Northwind Photo Viewer\uninstall.exe"'
  check hkcu notes InstallLocation 'C:\users\'"$user"'\AppData\Local\Programs\Quillmark Notes'
  check hklm32 runtime SystemComponent 0x1
  check hklm64 pdfprinter Publisher "Harborline Labs"
  check hklm64 pdfprinter EstimatedSize ""
  date=$(value "$tmp/hklm32" "$(product searchtoolbar 5)" InstallDate)
  [ "$date" = "$before" ] || [ "$date" = "$after" ] || fail "searchtoolbar: InstallDate $date, want $after"
  [ "$(value "$tmp/hklm32" "$(product archiver 5)" InstallDate)" = "$(date +%Y%m%d)" ] ||
    fail "archiver: Windows Installer did not date the product today"
  icon=$(value "$tmp/hklm64" "$(product mapexplorer 5)" DisplayIcon)
  [ -f "$(unix_path "${icon%,0}")" ] || fail "mapexplorer: icon file '$icon' missing"

  # A second run finds everything in place and starts no installer.
  start=$(date +%s%N)
  out=$(TARVO_DEMO_DIR=$demo "$root/scripts/demo-world.sh")
  [ -z "$out" ] || fail "second run installed again: $out"
  [ $(( ($(date +%s%N) - start) / 1000000 )) -lt 2000 ] || fail "second run was not quick"
else
  dumps
  # The NSIS uninstaller copies itself to the temporary folder, starts the copy and exits
  # at once; the copy removes the product, in both views.
  key=$(product pdfprinter 5)
  command=$(value "$tmp/hklm32" "$key" UninstallString)
  folder=$(value "$tmp/hklm32" "$key" InstallLocation)
  exe=${command//\"/}
  if [ -z "$exe" ] || [ -z "$folder" ]; then
    fail "pdfprinter: not installed"
  else
    wine "$exe" /S
    wait_gone HKLM 32 "$key" || fail "pdfprinter: 32-bit key still there after 60 s"
    wait_gone HKLM 64 "$key" || fail "pdfprinter: 64-bit key still there"
    [ ! -e "$(unix_path "$folder")" ] || fail "pdfprinter: folder $folder still there"
  fi
  settings="$WINEPREFIX/drive_c/users/$user/AppData/Roaming/Harborline Labs/Harborline PDF Printer/settings.ini"
  [ -f "$settings" ] || fail "pdfprinter: its settings should stay behind for the leftover scan"

  key=$(product backup 5)
  folder="$WINEPREFIX/drive_c/Program Files/Cobaltline Backup Agent"
  [ -f "$folder/BackupAgent.exe" ] || fail "backup: not installed where expected"
  wine msiexec /x "$key" /qn || fail "backup: msiexec /x failed"
  wait_gone HKLM 64 "$key" || fail "backup: key still there"
  [ ! -e "$folder/BackupAgent.exe" ] || fail "backup: files still there"
fi

[ $failures -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "demo world $mode: all checks passed"
