#!/usr/bin/env bash
# Runs a Windows program under the project's Wine settings: quiet, no Mono/Gecko prompts,
# in the prefix named by WINEPREFIX (the test prefix of this build tree by default).
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix-test}
source "$root/scripts/wine-env.sh"
exec wine "$@"
