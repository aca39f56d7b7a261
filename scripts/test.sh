#!/usr/bin/env bash
# The whole test suite: installs what is missing, then builds and tests the
# Linux build, the AddressSanitizer/UndefinedBehaviorSanitizer build and the
# Windows build (under Wine). With --tsan the ThreadSanitizer build runs too.
set -euo pipefail
cd "$(dirname "$0")/.."

presets=(linux linux-asan win32)
if [ "${1:-}" = "--tsan" ]; then
  presets+=(linux-tsan)
fi

bash scripts/setup.sh

stop_wine() {
  if [ -d build/win32/wineprefix ]; then
    WINEPREFIX="$PWD/build/win32/wineprefix" wineserver -k >/dev/null 2>&1 || true
  fi
}
xvfb_pid=
stop_all() {
  stop_wine
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap stop_all EXIT

# Window tests need a display; without one, a virtual one serves the run.
if [ -z "${DISPLAY:-}" ]; then
  n=99
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
fi

jobs=$(nproc)
passed=0
failed=0
summary=()
for preset in "${presets[@]}"; do
  echo "=== $preset: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -- -j"$jobs"
  echo "=== $preset: test"
  log=$(mktemp)
  set +e
  ctest --preset "$preset" 2>&1 | tee "$log"
  set -e
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
  rm -f "$log"
  if [ -z "$line" ]; then
    echo "$preset: no test result"
    failed=$((failed + 1))
    summary+=("$preset: no result")
    continue
  fi
  nfailed=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
  passed=$((passed + total - nfailed))
  failed=$((failed + nfailed))
  summary+=("$preset: $((total - nfailed)) of $total passed")
done

echo
echo "=== summary"
printf '  %s\n' "${summary[@]}"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
