#!/usr/bin/env bash
# Screenshots of the bootstrap's window, for people to look at: each build
# (linux, then win32 under Wine) runs with an updater that cannot be
# replaced (five seconds of retries, then the red blinking) on a virtual
# display; a working swap is over too quickly to catch. The pictures land in
# build/screenshots/bootstrap-<preset>-failed-N.png.
#
#   scripts/screenshots-bootstrap.sh [display-number]   (default 92)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
display=":${1:-92}"
out=$root/build/screenshots
mkdir -p "$out"
work=$(mktemp -d /tmp/quill-bootstrap-shots.XXXXXX)
xvfb=
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

if ! xdpyinfo -display "$display" >/dev/null 2>&1; then
  Xvfb "$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done
fi
export DISPLAY=$display

# The window is centred on the 800 x 600 screen.
shoot() {
  local name=$1
  import -window root -crop 400x200+200+200 "$out/$name.png" 2>/dev/null || true
}

for preset in linux win32; do
  suffix=; run=()
  if [ $preset = win32 ]; then
    suffix=.exe
    run=("$root/cmake/wine-run.sh" "$root/build/win32/wineprefix")
  fi
  program=$root/build/$preset/bin/QuillUpdate_bootstrap$suffix
  recorder=$root/build/$preset/bin/quill_record_parameters$suffix
  [ -x "$program" ] || { echo "no $program: build the $preset preset first"; continue; }
  # Wine takes a moment to start; the first picture waits for it.
  first=1; [ $preset = win32 ] && first=3

  dir=$work/$preset-failed && mkdir -p "$dir" && cp "$recorder" "$dir/QuillLauncher.exe"
  echo "a new updater" >"$dir/QuillNewUpdate.exe"
  (cd "$dir" && exec "${run[@]}" "$program" "1.0 shots") >/dev/null 2>&1 &
  runner=$!
  sleep "$first"; shoot "bootstrap-$preset-failed-1"
  sleep 5; shoot "bootstrap-$preset-failed-2"
  wait "$runner" || true
done
ls "$out"/bootstrap-*.png
