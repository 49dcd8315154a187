# Sourced by every script that starts Wine: the project's Wine settings (quiet, no Mono or
# Gecko prompts, 64-bit prefixes). On a host that cannot execute 32-bit code, the `wine`
# command would pick Wine's 32-bit loader and fail with "Exec format error"; the commands in
# wine64-only/ take its place there and start the 64-bit loader instead.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win64
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  case ":$PATH:" in
    *":$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine64-only:"*) ;;
    *) export PATH="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine64-only:$PATH" ;;
  esac
fi
