# Sourced by the screenshot scripts. enter_dpi_prefix NAME DPI makes a copy of the test
# prefix ($WINEPREFIX) whose screen runs at DPI (Wine's LogPixels) and switches WINEPREFIX to
# it, so that no other test sees the changed DPI; leave_dpi_prefix stops its Wine and removes
# it again. Hard links make the copy instant: the registry files, the only ones Wine changes
# in place, are real copies (Wine replaces them by renaming anyway). Whatever the caller
# writes into the copy must be new files, or it lands in the test prefix too.
enter_dpi_prefix() {
  dpi_base=${WINEPREFIX:?}
  dpi_prefix="$dpi_base-$1"
  rm -rf "$dpi_prefix"
  cp -al "$dpi_base" "$dpi_prefix"
  local f
  for f in system.reg user.reg userdef.reg; do cp --remove-destination "$dpi_base/$f" "$dpi_prefix/$f"; done
  export WINEPREFIX=$dpi_prefix
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$2" /f >/dev/null 2>&1
  wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels /t REG_DWORD \
    /d "$2" /f >/dev/null 2>&1
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}

leave_dpi_prefix() {
  wineserver -k 2>/dev/null || true
  export WINEPREFIX=${dpi_base:?}
  rm -rf "${dpi_prefix:?}"
}
