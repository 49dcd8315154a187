#!/usr/bin/env bash
# Every stage of the uninstall dialog, end to end: the driver opens the real window, walks
# it from asking through the restore point, a batch of two real stand-in uninstallers, the
# finished stage and the leftover scan to its message; then the forced start in the
# files-deleted stage. A screenshot of each stage is kept.
set -u
bin=$1 artifacts=$2
out=$artifacts/uninstall_dialog
rm -rf "$out"; mkdir -p "$out"
names=(ask restore_point uninstalling files_deleted finished scanning)

run() {  # run MODE: drives the dialog, a screenshot per new log line
  local mode=$1 log=$out/$1.log seen=0 i=0 line n
  : > "$log"
  timeout 120 wine "$bin/uninstall_dialog_driver.exe" "$mode" "$(winepath -w "$log")" & local app=$!
  while kill -0 $app 2>/dev/null; do
    n=$(wc -l < "$log")
    while [ "$seen" -lt "$n" ]; do
      seen=$((seen + 1)); i=$((i + 1))
      line=$(sed -n "${seen}p" "$log" | tr -d '\r')
      case $line in
        "stage "*) name=${names[${line#stage }]} ;;
        notice) name=no_left_items ;;
        *) continue ;;
      esac
      sleep 0.6
      import -window root "$out/$mode-$i-$name.png" || echo "screenshot failed"
    done
    sleep 0.2
  done
  wait $app
}

run stages; rc=$?
[ $rc -eq 0 ] || { echo "driver exited with $rc"; cat "$out/stages.log"; exit 1; }
expected='stage 0
stage 1
stage 2
stage 4
stage 5
notice
end work-done'
[ "$(tr -d '\r' < "$out/stages.log")" = "$expected" ] || { echo "stages differ:"; cat "$out/stages.log"; exit 1; }

run forced; rc=$?
[ $rc -eq 0 ] || { echo "forced driver exited with $rc"; exit 1; }
[ "$(tr -d '\r' < "$out/forced.log")" = 'stage 3
end' ] || { echo "forced stages differ:"; cat "$out/forced.log"; exit 1; }
ls "$out"/*.png
echo "uninstall dialog: every stage shown"
