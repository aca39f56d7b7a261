#!/usr/bin/env bash
# Screenshots of the launcher for people to look at, both targets, under a
# virtual display: serves a sample launcher page (with Korean text) on
# loopback, runs the launcher of the linux and the win32 build (under Wine)
# in a scratch installation folder whose launcher.cfg points at that page,
# and saves into build/screenshots/:
#   launcher-<target>.png        the window as it opens
#   launcher-<target>-hover.png  the pointer over the home page button
# The launchers must be built (cmake --build --preset <target> --target
# QuillLauncher). Usage: scripts/screenshots-launcher.sh [linux] [win32]
# SCREENSHOT_DISPLAY picks the virtual display (default :93).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(linux win32)

out=$root/build/screenshots
mkdir -p "$out"
work=$(mktemp -d /tmp/quill-launcher-shots.XXXXXX)
display=${SCREENSHOT_DISPLAY:-:93}

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# The sample page, under the path the launcher page has on the game's site.
mkdir -p "$work/site/launcher"
cat >"$work/site/launcher/index.html" <<'HTML'
<!DOCTYPE html>
<html lang="ko"><head><meta charset="utf-8"><title>Quill 소식</title>
<style>
body { margin: 0; padding: 10px 14px; background: #0d1428; color: #dfe6f5;
       font-family: "NanumGothic", "Noto Sans CJK KR", sans-serif; font-size: 13px; }
h1 { margin: 0 0 8px; font-size: 18px; color: #e6c66e; }
li { margin: 3px 0; }
.date { color: #8c9ac0; margin-right: 6px; }
</style></head>
<body>
<h1>퀼 온라인 소식</h1>
<ul>
<li><span class="date">12.08</span>12월 정기 점검 안내 (오전 6시 ~ 10시)</li>
<li><span class="date">12.05</span>겨울 축제 이벤트가 시작되었습니다!</li>
<li><span class="date">12.01</span>새로운 던전 「얼음 동굴」 공개</li>
<li><span class="date">11.28</span>깃펜 상점 할인 행사</li>
</ul>
</body></html>
HTML
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$work/site" \
  >"$work/http.log" 2>&1 &
pids+=($!)

# A virtual display, unless one is already running there.
if ! xdpyinfo -display "$display" >/dev/null 2>&1; then
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done
fi
export DISPLAY=$display

wait_for_page_request() {
  for _ in $(seq 150); do
    grep -q 'GET /launcher/ ' "$work/http.log" && return 0
    sleep 0.2
  done
  return 1
}

shoot() { # target
  local target=$1 folder=$work/install-$1 program runner=()
  mkdir -p "$folder"
  if [ "$target" = win32 ]; then
    program=QuillLauncher.exe
    runner=("$root/cmake/wine-run.sh" "$root/build/win32/wineprefix")
  else
    program=QuillLauncher
  fi
  local built=$root/build/$target/bin/$program
  if [ ! -x "$built" ]; then
    echo "screenshots: $built is not built; skipping $target" >&2
    return 0
  fi
  cp "$built" "$folder/"
  printf 'launcher_page=http://127.0.0.1:%s/launcher/\nhome_page=http://127.0.0.1:%s/\n' \
    "$port" "$port" >"$folder/launcher.cfg"
  : >"$work/http.log.mark"
  truncate -s 0 "$work/http.log"

  (cd "$folder" && exec "${runner[@]}" "./$program" 1.0.42 >"$work/$target.out" 2>&1) &
  local pid=$!
  local window=
  for _ in $(seq 300); do
    window=$(xdotool search --name '^Quill Launcher$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.2
  done
  if [ -z "$window" ]; then
    echo "screenshots: no launcher window for $target" >&2
    kill "$pid" 2>/dev/null || true
    return 1
  fi
  wait_for_page_request || echo "screenshots: the $target launcher never asked for the page" >&2
  sleep 3 # the page renders, or the control gives up

  local x y w h
  eval "$(xdotool getwindowgeometry --shell "$window")"
  x=$X y=$Y w=$WIDTH h=$HEIGHT
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/launcher-$target.png"
  # The pointer arrives over the home page button; a second small move
  # makes sure a motion event follows the enter event.
  xdotool mousemove --window "$window" 250 370
  sleep 0.3
  xdotool mousemove --window "$window" 251 371
  sleep 0.7
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/launcher-$target-hover.png"

  # Quit through the quit button, as a player would.
  xdotool mousemove --window "$window" 400 370 click 1
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill "$pid" 2>/dev/null || true
  echo "screenshots: $target: $out/launcher-$target.png, $out/launcher-$target-hover.png"
  if [ -f "$folder/report_launcher.txt" ]; then
    sed 's/^/  log: /' "$folder/report_launcher.txt"
  fi
}

status=0
for target in "${targets[@]}"; do
  shoot "$target" || status=1
done
exit $status
