#!/usr/bin/env bash
# display.sh COMMAND...: runs COMMAND on the caller's X display, or on a private Xvfb screen
# when there is none (CI, ssh sessions).
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$@"
fi
exec xvfb-run -a -s "-screen 0 ${TARVO_SCREEN:-1280x800x24} -dpi ${TARVO_DPI:-96}" "$@"
