#!/usr/bin/env bash
# Prints the Windows architecture to build for: TARVO_ARCH when set (i686 or x86_64), else
# i686, the program as it ships, when this host can run Wine's 32-bit loader, and x86_64 when
# it cannot (a kernel or hypervisor without 32-bit execution), so that the build and its
# tests still run here.
set -euo pipefail
case "${TARVO_ARCH:-}" in
  i686|x86_64) echo "$TARVO_ARCH"; exit 0 ;;
  "") ;;
  *) echo "TARVO_ARCH must be i686 or x86_64, not $TARVO_ARCH" >&2; exit 2 ;;
esac
if /usr/lib/wine/wine --version >/dev/null 2>&1; then echo i686; else echo x86_64; fi
