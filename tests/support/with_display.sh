#!/usr/bin/env bash
# Runs a test program with a display: the caller's, or else a virtual one of
# its own for as long as the program runs. Window tests then run wherever
# ctest is started (a ThreadSanitizer run straight from ctest included)
# instead of skipping for want of a display.
if [ -n "${DISPLAY:-}" ] || ! command -v Xvfb >/dev/null 2>&1; then
  exec "$@"
fi
number_file=$(mktemp)
# Xvfb picks a free display itself and writes its number: parallel tests
# never meet on one.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null; rm -f "$number_file"' EXIT
for _ in $(seq 100); do
  [ -s "$number_file" ] && break
  sleep 0.05
done
number=$(head -n 1 "$number_file")
if [ -z "$number" ]; then
  echo "with_display.sh: Xvfb did not start" >&2
  exit 1
fi
DISPLAY=":$number" "$@"
