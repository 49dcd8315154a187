#!/usr/bin/env bash
# Every binary we ship imports directly only libraries that Windows keeps as known DLLs,
# which the loader takes from the system folder whatever lies beside the program. Any other
# library must be delay-loaded (cmake/delay_load.cmake) or loaded by full path, or a
# library planted in a downloads folder would load into the elevated program.
# Usage: import_table.sh BIN_FOLDER PAYLOAD_FOLDER
set -uo pipefail
bin=$1
payload=$2
objdump=x86_64-w64-mingw32-objdump  # reads 32-bit and 64-bit PE files alike

# Known DLLs on every Windows from 7 to 11 (the lists differ: only the common part counts),
# and ntdll, which every process has before its imports are resolved.
known=" advapi32 clbcatq comdlg32 difxapi gdi32 imagehlp imm32 kernel32 msctf msvcrt normaliz nsi
 ntdll ole32 oleaut32 psapi rpcrt4 sechost setupapi shell32 shlwapi user32 wldap32 ws2_32 "

binaries=("$bin/TarvoUninstaller.exe" "$bin/tarvo.exe" "$bin/sqlite3.dll"
          "$payload/RemovalHost.exe" "$payload/RemovalOffer.exe" "$payload/AutoPatch.exe"
          "$payload/UsageReport.dll" "$payload/ShellVerb32.dll" "$payload/ShellWatch32.dll"
          "$payload/ShellVerb64.dll" "$payload/ShellWatch64.dll")
passed=0
failed=0
for file in "${binaries[@]}"; do
    name=${file##*/}
    if [[ ! -f $file ]]; then
        echo "FAIL $name: missing"
        failed=$((failed + 1))
        continue
    fi
    if ! imports=$("$objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p'); then
        echo "FAIL $name: import table unreadable"
        failed=$((failed + 1))
        continue
    fi
    bad=()
    for dll in $imports; do
        base=$(tr '[:upper:]' '[:lower:]' <<<"${dll%.*}")
        [[ $known == *" $base "* ]] || bad+=("$dll")
    done
    if ((${#bad[@]})); then
        echo "FAIL $name imports ${bad[*]} directly"
        failed=$((failed + 1))
    else
        echo "ok   $name: $(echo $imports)"
        passed=$((passed + 1))
    fi
done
echo "$passed passed, $failed failed"
((failed == 0))
