# Sourced by the world tests. snapshot OUT: one line per registry key ("K hive/key"), per
# value ("V hive/key/name") and per file or folder ("F path") of the prefix $WINEPREFIX,
# lower case, sorted, in OUT (and OUT.reg, OUT.files). What changes on its own is left out:
# Wine's bookkeeping, the shell's state, pending renames, the console's settings (made when
# a console program first runs, as our checks with reg do), the device classes Wine sets up
# again when a program first opens a window on a new desktop, the temporary folders and our
# program's own data folder.
snapshot() {  # out
  wineserver -w
  for hive in system user; do
    awk -v hive="$hive" '
      /^\[/ { key = $0; sub(/^\[/, "", key); sub(/\][^]]*$/, "", key); gsub(/\\\\/, "/", key)
              print "K " hive "/" key; next }
      /^"/ { name = $0; sub(/^"/, "", name); sub(/"=.*$/, "", name); print "V " hive "/" key "/" name; next }
      /^@=/ { print "V " hive "/" key "/@"; next }' "$WINEPREFIX/$hive.reg"
  done | tr '[:upper:]' '[:lower:]' | awk '
    index(substr($0, 3), "system/software/wine") == 1 { next }
    index(substr($0, 3), "user/software/wine") == 1 { next }
    index(substr($0, 3), "system/system/currentcontrolset/control/session manager") == 1 { next }
    index(substr($0, 3), "system/system/currentcontrolset/control/class/") == 1 { next }
    index(substr($0, 3), "user/software/microsoft/windows/currentversion/explorer") == 1 { next }
    index(substr($0, 3), "user/console") == 1 { next }
    { print }' | sort -u > "$1.reg"
  (cd "$WINEPREFIX/drive_c" && find . -mindepth 1 -printf 'F %P\n') | tr '[:upper:]' '[:lower:]' |
    grep -v -E '^f (windows/temp|users/[^/]+/temp|users/[^/]+/appdata/local/temp|users/[^/]+/appdata/roaming/tarvo)(/|$)' |
    sort -u > "$1.files"
  cat "$1.reg" "$1.files" | sort -u > "$1"
}
