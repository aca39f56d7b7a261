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

mkdir -p "$(dirname "$prefix")"
(
  flock 9
  if [ ! -f "$prefix/.quill-ready" ]; then
    wineboot -i </dev/null >/dev/null 2>&1 9>&- || true
    touch "$prefix/.quill-ready"
  fi
  # A persistent server saves about half a second per program start; it ends
  # by itself a minute after the last program. A new server starts Wine's
  # background programs with the first program it runs, and they inherit
  # that program's output: a test runner reading it would wait for them to
  # end. So a throw-away program takes that role, with its output closed.
  # None of them may keep the lock's descriptor (9), or the lock would be
  # held for as long as the server lives.
  if wineserver -p60 </dev/null >/dev/null 2>&1 9>&-; then
    wine cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
  fi
) 9>"$prefix.lock"

# A program that opens a window makes Wine start its desktop process, which
# inherits the program's output and outlives it. A test runner reading that
# output would wait for the desktop to end; so the output goes to a file
# that is passed on once the program has ended.
out=$(mktemp)
trap 'rm -f "$out"' EXIT
set +e
wine "$@" >"$out" 2>&1
status=$?
set -e
cat "$out"
exit "$status"
