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
trap stop_wine EXIT

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
