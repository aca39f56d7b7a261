#!/usr/bin/env bash
# The main job: installs what is missing, builds every deliverable for both
# targets and runs what is there so far. Today that is the network library:
# a small game-client program built against the installed QuillNTC package
# writes to the network log, natively and under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

for preset in linux win32; do
  echo "=== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -- -j"$(nproc)"
done

run_consumer() {
  local preset=$1 toolchain=$2 emulator=$3
  local build=build/$preset
  cmake -D BUILD_DIR="$PWD/$build" -D WORK_DIR="$PWD/$build/demo" \
        -D SOURCE_DIR="$PWD/tests/consumer" -D TOOLCHAIN="$toolchain" \
        -D GENERATOR=Ninja -D EMULATOR="$emulator" \
        -P tests/consumer/run.cmake
  echo "--- network log folder of that run:"
  ls -l "$build/demo/run/QUILL_NETWORK_LOG"
}

echo
echo "=== QuillNTC on Linux: a client program built with find_package(QuillNTC)"
run_consumer linux "" ""
echo
echo "=== QuillNTC on Windows (under Wine): the same program, with QuillNTC.dll"
run_consumer win32 "$PWD/cmake/mingw-i686.cmake" "$PWD/cmake/wine-run.sh;$PWD/build/win32/wineprefix"
WINEPREFIX="$PWD/build/win32/wineprefix" wineserver -k >/dev/null 2>&1 || true

echo
echo "=== built deliverables"
ls -l build/linux/lib/libQuillNTC.so* build/win32/bin/QuillNTC.dll
