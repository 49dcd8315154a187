#!/usr/bin/env bash
# Brings a fresh Debian 12 machine to the point where the program builds, runs and is tested
# under Wine. Idempotent: a second run only checks and returns within seconds.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
deps="$root/build/deps"
packages=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix cmake make wine wine32:i386 wine64
          xvfb xauth imagemagick libz-mingw-w64-dev googletest nlohmann-json3-dev nsis wixl tcl bc
          xdotool dpkg-dev python3 osslsigncode openssl)

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || as_root dpkg --add-architecture i386
  # Other configured repositories may be unreachable here; Debian's own are what matter.
  install_missing() {
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@" \
      "${missing[@]}"
  }
  as_root apt-get update -q || true
  if ! install_missing; then
    # A mirror caught mid-sync (or a proxy holding a stale copy) can serve the security suite's
    # amd64 index but not its i386 one; the i386 half of Wine then has unmet dependencies.
    # Try again after a pause, then install from the release suites alone, whose two
    # architectures always agree.
    echo "setup: install failed; trying again in 30 s"
    sleep 30
    as_root apt-get update -q || true
    if ! install_missing; then
      echo "setup: installing without the security suite, whose package lists are incomplete"
      parts=$(mktemp -d)
      for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        if [ -f "$f" ]; then grep -v -- '-security' "$f" > "$parts/$(basename "$f").list" || true; fi
      done
      for f in /etc/apt/sources.list.d/*.sources; do
        if [ -f "$f" ]; then awk 'BEGIN { RS = ""; ORS = "\n\n" } !/-security/' "$f" > "$parts/$(basename "$f")"; fi
      done
      install_missing -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$parts" \
        || { rm -rf "$parts"; echo "setup: could not install ${missing[*]}" >&2; exit 1; }
      rm -rf "$parts"
    fi
  fi
fi

# sqlite3.dll for the architecture the build targets (scripts/target-arch.sh).
if [ "$("$root/scripts/target-arch.sh")" = x86_64 ]; then
  sqlite_dll=$deps/x86_64/sqlite3.dll sqlite_cc=x86_64-w64-mingw32-gcc-posix
else
  sqlite_dll=$deps/sqlite3.dll sqlite_cc=i686-w64-mingw32-gcc-posix
fi

# Source packages need a deb-src entry next to the machine's deb entries.
src_list=/etc/apt/sources.list.d/tarvo-deb-src.sources
need_sources() { [ ! -f "$sqlite_dll" ] || [ ! -f "$deps/pugixml/src/pugixml.cpp" ] || [ ! -f "$deps/lz4/lib/lz4.c" ]; }
if need_sources && [ ! -f "$src_list" ]; then
  echo "setup: adding deb-src entries"
  tmp=$(mktemp)
  for f in /etc/apt/sources.list.d/debian.sources /etc/apt/sources.list; do
    [ -f "$f" ] || continue
    if [[ "$f" == *.sources ]]; then
      sed -e 's/^Types: deb$/Types: deb-src/' "$f" >> "$tmp"; echo >> "$tmp"
    else
      grep -E '^deb http' "$f" | grep -i debian | sed -e 's/^deb /deb-src /' > "$tmp.list" || true
    fi
  done
  if [ -s "$tmp" ]; then as_root cp "$tmp" "$src_list"
  elif [ -s "$tmp.list" ]; then as_root cp "$tmp.list" /etc/apt/sources.list.d/tarvo-deb-src.list; src_list=/etc/apt/sources.list.d/tarvo-deb-src.list
  fi
  rm -f "$tmp" "$tmp.list"
  as_root apt-get update -q || true
fi

mkdir -p "$deps"
cd "$deps"

if [ ! -f "$sqlite_dll" ]; then
  echo "setup: building sqlite3.dll with $sqlite_cc from Debian's source package"
  mkdir -p "$(dirname "$sqlite_dll")"
  rm -rf sqlite-src && mkdir sqlite-src && cd sqlite-src
  apt-get source --download-only sqlite3 >/dev/null 2>&1 || apt-get source --download-only sqlite3
  tar xf sqlite3_*.orig.tar.* && cd "$(find . -maxdepth 1 -type d -name 'sqlite3-*' | head -n 1)"
  ./configure >/dev/null && make sqlite3.c >/dev/null
  "$sqlite_cc" -O2 -shared -DSQLITE_API='__declspec(dllexport)' sqlite3.c \
    -static-libgcc -o "$sqlite_dll.tmp"
  mv "$sqlite_dll.tmp" "$sqlite_dll"
  cd "$deps" && rm -rf sqlite-src
fi

# LZ4's block format (Firefox's compressed settings files): Debian has no MinGW build of it,
# so its one source file from the source package compiles as part of our build.
if [ ! -f "$deps/lz4/lib/lz4.c" ]; then
  echo "setup: unpacking lz4 from Debian's source package"
  rm -rf lz4-src lz4 && mkdir lz4-src && cd lz4-src
  apt-get source --download-only lz4 >/dev/null 2>&1 || apt-get source --download-only lz4
  tar xf lz4_*.orig.tar.*
  mv "$(find . -maxdepth 1 -type d -name 'lz4-*' | head -n 1)" "$deps/lz4"
  cd "$deps" && rm -rf lz4-src
fi

if [ ! -f "$deps/pugixml/src/pugixml.cpp" ]; then
  echo "setup: unpacking pugixml from Debian's source package"
  rm -rf pugixml-src pugixml && mkdir pugixml-src && cd pugixml-src
  apt-get source --download-only pugixml >/dev/null 2>&1 || apt-get source --download-only pugixml
  tar xf pugixml_*.orig.tar.*
  mv "$(find . -maxdepth 1 -type d -name 'pugixml-*' | head -n 1)" "$deps/pugixml"
  cd "$deps" && rm -rf pugixml-src
fi
