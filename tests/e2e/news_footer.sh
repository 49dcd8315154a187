#!/usr/bin/env bash
# news_footer.sh BIN ARTIFACTS: the real main window fetching its news from a web server on
# 127.0.0.1. Screenshots of the footer with news, and with the news of a newer version, at
# 100 % and at 150 %; a click on the news switches to the second item five seconds later,
# once however often it is clicked; with the server gone the invitation shows.
set -u
bin=$1 artifacts=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$artifacts/news_footer
rm -rf "$work"; mkdir -p "$work/app" "$work/www"
cp "$bin/TarvoUninstaller.exe" "$work/app/"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
probe() { wine "$bin/tarvo_probe.exe" "$@"; }
wait_line() {  # wait_line FILE LINE [TENTHS]: up to TENTHS/10 s for an exact line
  for _ in $(seq "${3:-300}"); do grep -qxF -- "$2" "$1" 2>/dev/null && return 0; sleep 0.1; done; return 1
}

python3 "$here/../online/http_server.py" "$work/www" "$work/port" & server=$!
app=
trap 'kill $server 2>/dev/null; [ -n "$app" ] && kill $app 2>/dev/null' EXIT
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(cat "$work/port")

# A server folder per case: the version list and both news files.
for case in news newer; do
  mkdir -p "$work/www/$case/news/unins/v3"
  printf 'tu2=9.9|tu3=%s|' "$([ $case = newer ] && echo 99.0.0.1 || echo 1.0)" >"$work/www/$case/news/version-check.ini"
  printf 'title=Spring cleaning for your PC\r\nremark=Five ways to win back disk space from programs you never use\r\nlink=\r\n' \
    >"$work/www/$case/news/unins/v3/unins3newsfree.dat"
  printf 'title=Tarvo Uninstaller 99 is available\r\nremark=Faster scans and a cleaner start: update now for free\r\nlink=\r\n' \
    >"$work/www/$case/news/unins/v3/tu-update-free.dat"
done

data_of() { echo "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Tarvo/Tarvo Uninstaller"; }

# run NAME SERVER PERCENT [CLICK]: one start of the program against SERVER, a screenshot of
# its window once the footer shows the news, then closed. The window is the design size
# scaled, fitted to the screen.
run() {
  local name=$1 server=$2 percent=$3 click=${4:-} log=$work/$1.log l t r b
  local screen width
  screen=$(xdpyinfo | awk '/dimensions:/ { sub(/x.*/, "", $2); print $2 }')
  width=$((870 * percent / 100)); [ "$width" -gt "$screen" ] && width=$screen
  rm -f "$(data_of)/Main.ini"; mkdir -p "$(data_of)"
  printf '[Servers]\r\nDownload=%s\r\n' "$server" >"$(data_of)/Main.ini"
  # Without an installation the news lives beside the exe; a second item waits there.
  rm -rf "$work/app/LatestNews"; mkdir -p "$work/app/LatestNews"
  printf '[LatestNews]\r\ntitle_B=Second news item\r\nremark_B=Shown five seconds after a click\r\n' \
    >"$work/app/LatestNews/LatestNews.ini"
  TARVO_TEST_LOG=$(winepath -w "$log") wine "$work/app/TarvoUninstaller.exe" & app=$!
  if ! probe wait TfrmTarvoUninstall 60000; then fail "$name: main window did not appear"; kill $app; app=; return; fi
  wait_line "$log" "step: check install" || fail "$name: start-up did not finish"
  local expect
  case $name in
    news*) expect="news: Spring cleaning for your PC" ;;
    newer*) expect="news: Tarvo Uninstaller 99 is available" ;;
    *) expect="news: (offline)" ;;
  esac
  wait_line "$log" "$expect" || fail "$name: footer never showed '$expect': $(grep '^news' "$log" | tr '\n' ' ')"
  sleep 1  # the repaint
  read -r l t r b < <(probe rect TfrmTarvoUninstall | tr -d '\r')
  import -window root -crop "$((r - l))x$((b - t))+$l+$t" +repage "$work/$name.png" || fail "$name: screenshot failed"
  [ $((r - l)) -eq "$width" ] || fail "$name: $((r - l)) pixels wide, expected $width"
  if [ -n "$click" ]; then
    # Two clicks on the title: one switch to the stored second item, five seconds on.
    local shown x y
    shown=$(grep -c '^news: ' "$log")
    x=$((l + 30 * percent / 100)) y=$((b - 16 * percent / 100))
    xdotool mousemove $x $y click 1 sleep 0.5 click 1
    sleep 3
    [ "$(grep -c '^news: ' "$log")" -eq "$shown" ] || fail "$name: switched before five seconds"
    wait_line "$log" "news: Second news item" 60 || fail "$name: the click did not switch to the second item"
    import -window root -crop "$((r - l))x$((b - t))+$l+$t" +repage "$work/${name}_switched.png"
    sleep 5
    [ "$(grep -c '^news: ' "$log")" -eq $((shown + 1)) ] ||
      fail "$name: not exactly one switch after two clicks: $(grep '^news' "$log" | tr '\n' ' ')"
  fi
  probe close TfrmTarvoUninstall || fail "$name: close failed"
  wait $app || fail "$name: exit code $?"
  app=
}

every() {  # PERCENT
  run "news_$1" "http://127.0.0.1:$port/news" "$1" click
  run "newer_$1" "http://127.0.0.1:$port/newer" "$1"
}

every 100
run offline "http://127.0.0.1:9" 100
. "$here/../support/dpi_prefix.sh"
enter_dpi_prefix news-150 144
every 150
leave_dpi_prefix
# Later starts in this prefix look for their servers on 127.0.0.1 only.
printf '[Servers]\r\nDownload=http://127.0.0.1:9\r\n' >"$(data_of)/Main.ini"
ls "$work"/*.png
[ $failures -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "news footer checks passed; screenshots in $work"
