#!/usr/bin/env bash
# Installs everything needed to build and test both targets on a fresh
# Debian 12 machine. Safe to run again: it only adds what is missing.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi

packages=(
  cmake ninja-build g++ clang pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  zlib1g-dev libcurl4-openssl-dev libssl-dev
  g++-mingw-w64-i686 libz-mingw-w64-dev
  wine wine32:i386
  xvfb locales fonts-nanum
  python3 python3-pyftpdlib wget unzip
  libgtk-3-dev libwebkit2gtk-4.1-dev
  xauth x11-utils imagemagick xdotool fonts-noto-cjk
)

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  missing=(update-needed)
fi
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  # A mirror in the middle of a sync serves index files of the wrong size
  # for a while; try again before giving up.
  for attempt in 1 2 3 4 5; do
    if $SUDO apt-get update -qq && \
       $SUDO apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null; then
      break
    fi
    if [ "$attempt" -eq 5 ]; then
      echo "setup: the packages could not be installed" >&2
      exit 1
    fi
    echo "setup: the package mirror failed (attempt $attempt of 5), trying again in 60 s" >&2
    sleep 60
  done
fi

# Wine maps the Windows ANSI code page from LANG; code page 949 needs the
# Korean UTF-8 locale to exist on the host.
if ! locale -a 2>/dev/null | grep -qi '^ko_KR\.utf-\?8$'; then
  $SUDO localedef -i ko_KR -f UTF-8 ko_KR.UTF-8
fi

echo "setup: all build and test dependencies are present"
