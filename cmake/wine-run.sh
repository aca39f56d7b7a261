#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, in a prefix private to the
# build folder: wine-run.sh PREFIX PROGRAM [ARGS...]
# The prefix is created on first use. Korean code page 949 is the ANSI code
# page when LANG names the Korean UTF-8 locale, so that is forced here.
set -e
prefix=$1
shift

export WINEPREFIX="$prefix"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=ko_KR.UTF-8
unset LC_ALL LC_CTYPE LANGUAGE

if [ ! -f "$prefix/.quill-ready" ]; then
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -f "$prefix/.quill-ready" ]; then
      wineboot -i >/dev/null 2>&1 || true
      wineserver -w
      touch "$prefix/.quill-ready"
    fi
  ) 9>"$prefix.lock"
fi

# A persistent server saves about half a second per program start; it ends
# by itself a minute after the last program.
wineserver -p60 >/dev/null 2>&1 </dev/null || true

exec wine "$@"
