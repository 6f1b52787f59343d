#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine, and unpacks
# zlib's sources (for minizip) into the build folder. Idempotent; quiet when
# everything is already there.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
deps="$top/build/deps"

packages=(
  make cmake python3 python3-yaml dpkg-dev bsdextrautils
  mingw-w64 gcc-mingw-w64-i686 g++-mingw-w64-i686 binutils-mingw-w64-i686
  googletest osslsigncode openssl
  wine wine32:i386 wine64 fonts-wine fonts-liberation
  xvfb xauth imagemagick zip unzip icoutils liblnk-utils nsis hyperfine
)

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "bootstrap: adding the i386 architecture"
  as_root dpkg --add-architecture i386
  need_update=1
fi

# minizip comes from Debian's zlib source package, which needs a deb-src entry.
if ! grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  echo "bootstrap: adding a deb-src entry"
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    awk 'BEGIN{RS="";ORS="\n\n"} /Suites:[^\n]*bookworm( |$|\n)/ && !done {sub(/Types: deb/,"Types: deb-src"); print; done=1}' \
      /etc/apt/sources.list.d/debian.sources | as_root tee /etc/apt/sources.list.d/lumidor-src.sources >/dev/null
  else
    grep -E '^deb ' /etc/apt/sources.list | head -n 1 | sed 's/^deb /deb-src /' \
      | as_root tee /etc/apt/sources.list.d/lumidor-src.list >/dev/null
  fi
  need_update=1
fi

if [ ${#missing[@]} -gt 0 ] || [ $need_update -eq 1 ]; then
  echo "bootstrap: installing ${missing[*]:-nothing new}"
  as_root apt-get update -qq
  if [ ${#missing[@]} -gt 0 ]; then
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
fi

if [ ! -f "$deps/zlib/contrib/minizip/unzip.c" ]; then
  echo "bootstrap: fetching zlib's source package for minizip"
  rm -rf "$deps/zlib" "$deps/zlib-src"
  mkdir -p "$deps/zlib-src"
  (cd "$deps/zlib-src" && apt-get source -qq zlib >/dev/null 2>&1) || {
    as_root apt-get update -qq
    (cd "$deps/zlib-src" && apt-get source -qq zlib >/dev/null)
  }
  src=$(find "$deps/zlib-src" -maxdepth 1 -mindepth 1 -type d -name 'zlib-*' | head -n 1)
  mv "$src" "$deps/zlib"
  rm -rf "$deps/zlib-src"
fi
