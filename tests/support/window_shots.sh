# Sourced by the screenshot scripts, after $bin (the build's bin folder) and $out (where the
# pictures go) are set. shoot_window DRIVER MODE CLASS NAME WIDTH starts DRIVER in MODE, waits
# for its window of CLASS and for that window to have painted itself, keeps the picture cut
# to the window as $out/NAME.png, checks that it is WIDTH pixels wide (which proves the DPI
# it was drawn at) and closes it. With a sixth argument, the picture waits until one of the
# window's controls shows that text (a state the driver reaches after the window appears).
# Failures are counted in $failures.
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
    for _ in $(seq 200); do wine "$probe" texts "$class" | tr -d '\r' | grep -qF -- "$shown" && break; sleep 0.1; done
  fi
  wine "$probe" settle "$class" || fail "$name: window did not answer"
  read -r l t r b < <(wine "$probe" rect "$class" | tr -d '\r')
  import -window root -crop "$((r - l))x$((b - t))+$l+$t" +repage "$out/$name.png" || fail "$name: screenshot failed"
  [ $((r - l)) -eq "$width" ] || fail "$name: $((r - l)) pixels wide, expected $width"
  wine "$probe" close "$class" || { kill $app; fail "$name: close failed"; return; }
  wait $app || fail "$name: driver exit code $?"
}

# The end of a screenshot script: the pictures, and the exit code.
finish_shots() {
  ls "$out"/*.png
  [ $failures -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
  echo "$1 in $out"
}
