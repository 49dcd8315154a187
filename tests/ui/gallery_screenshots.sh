#!/usr/bin/env bash
# Starts the widget gallery at 100 % and at 150 % and keeps a screenshot of each.
# 150 % comes from Wine's own DPI setting (LogPixels = 144) in a copy of the test prefix
# (tests/support/dpi_prefix.sh); when Wine does not take it up, the gallery's --dpi
# switch drives the same scaling code instead, and the log says so.
set -u
bin=$1 artifacts=$2
mkdir -p "$artifacts"
probe="$bin/tarvo_probe.exe"

# shoot NAME [gallery arguments...]: prints the DPI the gallery reported.
shoot() {
  local name=$1; shift
  wine "$bin/tarvo_gallery.exe" "$@" & local app=$!
  if ! wine "$probe" wait TarvoGallery 60000; then
    echo "gallery window did not appear" >&2; kill $app; return 1
  fi
  sleep 2  # icons and the first paint
  caption=$(wine "$probe" caption TarvoGallery | tr -d '\r')
  import -window root "$artifacts/$name.png" || echo "screenshot failed" >&2
  wine "$probe" close TarvoGallery || { echo "close failed" >&2; kill $app; return 1; }
  wait $app || { echo "gallery exit code $?" >&2; return 1; }
  echo "$caption" | sed -n 's/.* \([0-9]*\) DPI$/\1/p'
}

dpi=$(shoot gallery_100 --batch) || exit 1
echo "gallery_100.png at $dpi DPI"
[ "$dpi" = 96 ] || { echo "expected 96 DPI, got '$dpi'"; exit 1; }

. "$(dirname "$0")/../support/dpi_prefix.sh"
enter_dpi_prefix 150 144
dpi=$(shoot gallery_150) || { leave_dpi_prefix; exit 1; }
if [ "$dpi" != 144 ]; then
  echo "Wine kept $dpi DPI after LogPixels 144; using the --dpi switch"
  dpi=$(shoot gallery_150 --dpi 144) || { leave_dpi_prefix; exit 1; }
  [ "$dpi" = 144 ] || { echo "expected 144 DPI, got '$dpi'"; leave_dpi_prefix; exit 1; }
else
  echo "gallery_150.png at 144 DPI from Wine's LogPixels setting"
fi
leave_dpi_prefix
echo "screenshots in $artifacts"
