#!/usr/bin/env bash
# Screenshots of the updater's window during a real update, for people to
# look at: a throttled loopback FTP mirror serves a small published tree, and
# the updater of each build (linux, then win32 under Wine) installs it into a
# scratch folder on a virtual display. The pictures land in
# build/screenshots/updater-<preset>-NN.png, with one contact sheet per
# preset (updater-<preset>-all.png).
#
#   scripts/screenshots-updater.sh [display-number]   (default 91)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
display=":${1:-91}"
out=$root/build/screenshots
mkdir -p "$out"
work=$(mktemp -d /tmp/quill-shots.XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

if ! xdpyinfo -display "$display" >/dev/null 2>&1; then
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done
fi
export DISPLAY=$display

# The tree to install: a few files, one of them large enough to watch the
# download bar move, a folder, and the parameter recorder of each build as
# "ClientApp.exe", so that the started game leaves "parameters.txt" behind.
mkdir -p "$work/source/data"
head -c 400000 /dev/urandom >"$work/source/data/world.pak"
echo "quill" >"$work/source/readme.txt"
printf 'options\n' >"$work/source/data/options.ini"

publish=$root/build/linux/bin/quill-publish
serverlist=$root/build/linux/bin/quill-serverlist
mkdir -p "$work/mirrors"
for preset in linux win32; do
  suffix=; [ $preset = win32 ] && suffix=.exe
  cp "$root/build/$preset/bin/quill_record_parameters$suffix" "$work/source/ClientApp.exe"
  if [ -x "$publish" ]; then
    "$publish" --version "1.0 $preset" "$work/source" "$work/mirrors/$preset" >/dev/null
  else
    echo "no quill-publish in build/linux: the mirror stays empty and the run fails"
    mkdir -p "$work/mirrors/$preset"
  fi
done

# A mirror that sends 100 KB per second, so the run lasts a few seconds.
port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
/usr/bin/python3 - "$work/mirrors" "$port" >/dev/null 2>&1 <<'PY' &
import sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer
authorizer = DummyAuthorizer()
authorizer.add_anonymous(sys.argv[1])
dtp = ThrottledDTPHandler
dtp.write_limit = 100 * 1024
handler = FTPHandler
handler.authorizer = authorizer
handler.dtp_handler = dtp
handler.passive_ports = range(int(sys.argv[2]) + 1, int(sys.argv[2]) + 50)
FTPServer(("127.0.0.1", int(sys.argv[2])), handler).serve_forever()
PY
pids+=($!)
for _ in $(seq 100); do
  /usr/bin/python3 -c "import socket,sys; socket.create_connection(('127.0.0.1',$port),1)" \
    2>/dev/null && break
  sleep 0.1
done

shoot() {
  local preset=$1
  shift
  local dir=$work/install-$preset
  rm -rf "$dir" && mkdir -p "$dir"
  printf 'quill\n1\n127.0.0.1:%s /%s anonymous guest\n' "$port" "$preset" >"$work/servers.txt"
  "$serverlist" encode "$work/servers.txt" "$dir/ver_C" >/dev/null
  rm -f "$out"/updater-"$preset"-*.png
  (cd "$dir" && exec "$@") >/dev/null 2>&1 &
  local runner=$!
  local window=
  for _ in $(seq 300); do
    window=$(xdotool search --name '^Quill Update' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.1
  done
  local n=0
  while [ -n "$window" ] && xdotool search --name '^Quill Update' >/dev/null 2>&1 && [ $n -lt 40 ]; do
    n=$((n + 1))
    import -window root -crop 420x220+302+274 "$out/$(printf 'updater-%s-%02d.png' "$preset" $n)" 2>/dev/null || true
    sleep 0.3
  done
  wait "$runner" || true
  if [ $n -gt 0 ]; then
    montage "$out"/updater-"$preset"-[0-9]*.png -tile 4x -geometry +4+4 -background '#202020' \
      "$out/updater-$preset-all.png"
  fi
  local started="no game started"
  for _ in $(seq 50); do
    [ -f "$dir/parameters.txt" ] && started="game started with \"$(cat "$dir/parameters.txt")\"" && break
    sleep 0.1
  done
  echo "$preset: $n screenshots in $out; $started; installed: $(cd "$dir" && ls | tr '\n' ' ')"
}

shoot linux "$root/build/linux/bin/QuillUpdate"
[ "${2:-}" = linux ] || shoot win32 "$root/cmake/wine-run.sh" "$root/build/win32/wineprefix" \
  "$root/build/win32/bin/QuillUpdate.exe"
