#!/usr/bin/env bash
# wine-prefix.sh PREFIX [--fresh]: makes sure a booted 64-bit Wine prefix exists at PREFIX,
# so a 32-bit program runs in it under WOW64 as on 64-bit Windows. --fresh starts over.
set -euo pipefail
prefix=$1
export WINEPREFIX=$prefix
source "$(dirname "$0")/wine-env.sh"
if [ "${2:-}" = "--fresh" ] && [ -d "$prefix" ]; then
  wineserver -k 2>/dev/null || true
  rm -rf "$prefix"
fi
if [ ! -f "$prefix/system.reg" ] || [ ! -d "$prefix/drive_c/windows/syswow64" ]; then
  mkdir -p "$(dirname "$prefix")"
  wineboot --init >/dev/null 2>&1
  if [ -z "$(ls -A "$prefix/drive_c/windows/syswow64" 2>/dev/null)" ]; then
    # Booted without Wine's 32-bit half, the 32-bit registry view lacks what every 64-bit
    # Windows has there: the uninstall key (the first program to register would make it) and
    # the folders 32-bit installers ask for.
    cv='HKLM\Software\Microsoft\Windows\CurrentVersion'
    wine reg add "$cv\Uninstall" /reg:32 /f >/dev/null 2>&1 || true
    wine reg add "$cv" /v ProgramFilesDir /d 'C:\Program Files (x86)' /reg:32 /f >/dev/null 2>&1 || true
    wine reg add "$cv" /v CommonFilesDir /d 'C:\Program Files (x86)\Common Files' /reg:32 /f >/dev/null 2>&1 || true
  fi
  wineserver -w
fi
# Wine links the user's Desktop, Documents, Downloads … to the Unix home. Windows has real
# folders there, and nothing the program removes may ever reach the home through them.
for link in "$prefix"/drive_c/users/*/*; do
  if [ -L "$link" ]; then rm -f "$link" && mkdir -p "$link"; fi
done
