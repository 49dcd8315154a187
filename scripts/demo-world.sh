#!/usr/bin/env bash
# demo-world.sh [--reset]: installs the demo products built into build/demo/ into the Wine
# prefix $WINEPREFIX with their real installers, silently, so the program has installed
# programs to list and real uninstallers to run. Each product is installed once per prefix
# (a stamp per product under the prefix), so a product the user uninstalled stays gone;
# --reset forgets the stamps and installs everything again. A failing installer is
# reported and skipped: it never stops the caller.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
demo=${TARVO_DEMO_DIR:-$root/build/demo}
: "${WINEPREFIX:?WINEPREFIX must name the prefix to install into}"
source "$root/scripts/wine-env.sh"
stamps=$WINEPREFIX/.tarvo-demo-world

if [ ! -f "$demo/world.tsv" ]; then
  echo "demo world: $demo/world.tsv not built (makensis or wixl missing?); skipped" >&2
  exit 0
fi
[ "${1:-}" = "--reset" ] && rm -rf "$stamps"
mkdir -p "$stamps"

# Z: is the whole Linux file system in every Wine prefix.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

install_one() {  # kind installer
  local file=$demo/$2
  [ -f "$file" ] || { echo "missing installer $file"; return 1; }
  if [ "$1" = msi ]; then
    timeout 180 wine msiexec /i "$(windows_path "$file")" /qn
  else
    timeout 180 wine "$file" /S
  fi
}

# Before the first installer: one wineserver for all of them rather than one each, and
# Wine's own services started with nothing of ours open (started by an installer, they
# would keep its output open long after it ended).
warm_up() {
  wineserver -p10 </dev/null >/dev/null 2>&1 || true
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  echo "demo world: installing demo programs into $WINEPREFIX"
}
log=$(mktemp)
trap 'rm -f "$log"' EXIT

start=$SECONDS installed=0 failed=0
while IFS=$'\t' read -r id kind _view _root _key name installer; do
  case $id in ''|'#'*) continue ;; esac
  [ -f "$stamps/$id" ] && continue
  [ $((installed + failed)) -eq 0 ] && warm_up
  if install_one "$kind" "$installer" </dev/null >"$log" 2>&1; then
    echo "$name" > "$stamps/$id"
    installed=$((installed + 1))
  else
    echo "demo world: warning: installing $name failed; skipped" >&2
    sed 's/^/  /' "$log" >&2
    failed=$((failed + 1))
  fi
done < "$demo/world.tsv"

if [ $((installed + failed)) -gt 0 ]; then
  echo "demo world: $installed installed, $failed failed, in $((SECONDS - start)) s"
fi
exit 0
