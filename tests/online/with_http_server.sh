#!/usr/bin/env bash
# Runs a test executable under Wine beside a web server of its own on 127.0.0.1, started
# here and stopped when the test ends. The test finds it through TARVO_TEST_HTTP_PORT and
# writes what it serves into TARVO_TEST_HTTP_ROOT.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(mktemp -d)
trap 'kill $server 2>/dev/null; wait $server 2>/dev/null; rm -rf "$root"' EXIT
python3 "$here/http_server.py" "$root/www" "$root/port" &
server=$!
mkdir -p "$root/www"
for _ in $(seq 100); do [ -s "$root/port" ] && break; sleep 0.1; done
[ -s "$root/port" ] || { echo "the test web server did not start" >&2; exit 1; }
export TARVO_TEST_HTTP_PORT=$(cat "$root/port")
export TARVO_TEST_HTTP_ROOT="Z:${root//\//\\}\\www"
export WINEDEBUG=${WINEDEBUG:--all}
"$here/../../scripts/wine-run.sh" "$@"
