# Sourced by the screenshot scripts as `. window_shots.sh BIN ARTIFACTS FOLDER DRIVER`: the
# pictures go to ARTIFACTS/FOLDER (emptied first), taken of DRIVER's windows from BIN.
# shoot MODE CLASS NAME WIDTH [TEXT] is shoot_window for that driver; shoot_window DRIVER MODE
# CLASS NAME WIDTH [TEXT] starts DRIVER in MODE, waits
# for its window of CLASS and for that window to have painted itself, keeps the picture cut
# to the window as $out/NAME.png, checks that it is WIDTH pixels wide (which proves the DPI
# it was drawn at) and closes it. With a sixth argument, the picture waits until one of the
# window's controls shows that text (a state the driver reaches after the window appears).
# Failures are counted in $failures.
bin=$1 out=$2/$3 shots_driver=$4
rm -rf "$out"; mkdir -p "$out"
. "$(dirname "${BASH_SOURCE[0]}")/dpi_prefix.sh"
probe="$bin/tarvo_probe.exe"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

shoot_window() {
  local driver=$1 mode=$2 class=$3 name=$4 width=$5 shown=${6:-} l t r b
  wine "$bin/$driver" "$mode" & local app=$!
  if ! wine "$probe" wait "$class" 60000; then
    kill $app; fail "$name: window did not appear"; return
  fi
  if [ -n "$shown" ]; then
    wine "$probe" waittext "$class" "$shown" 20000 || true
  fi
  wine "$probe" settle "$class" || fail "$name: window did not answer"
  read -r l t r b < <(wine "$probe" rect "$class" | tr -d '\r')
  import -window root -crop "$((r - l))x$((b - t))+$l+$t" +repage "$out/$name.png" || fail "$name: screenshot failed"
  [ $((r - l)) -eq "$width" ] || fail "$name: $((r - l)) pixels wide, expected $width"
  wine "$probe" close "$class" || { kill $app; fail "$name: close failed"; return; }
  wait $app || fail "$name: driver exit code $?"
}

shoot() { shoot_window "$shots_driver" "$@"; }

# The script's `every SUFFIX PERCENT` at 100 % and then at 150 % in a prefix copy named
# PREFIX; then the pictures, and the exit code. shoot_at_both_dpis PREFIX TITLE
shoot_at_both_dpis() {
  every 100 100
  enter_dpi_prefix "$1" 144
  every 150 150
  leave_dpi_prefix
  ls "$out"/*.png
  [ $failures -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
  echo "$2 in $out"
}
