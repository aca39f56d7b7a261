#!/usr/bin/env bash
# The main job: installs what is missing, builds every deliverable for both
# targets, then shows the whole launch chain on loopback with the Linux
# build: the updater installs a published game (1.0) from FTP mirrors, the
# bootstrap and the launcher hand on the command line, and the game client
# logs on to the sample game server; then version 1.1 is published and the
# chain runs again, fetching only the difference and swapping the updater.
# Then the same with the Windows build under Wine, from its packages.
#
# Without a display the programs run their console forms and the launcher
# takes its start action by itself; with one, their windows show and the
# launcher waits for the player's click on "start".
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

for preset in linux win32; do
  echo "=== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -- -j"$(nproc)"
done

status=0
echo
echo "=== the launch chain (Linux build), on loopback"
/usr/bin/python3 tools/demo/quill_demo.py --bin build/linux/bin --work build/demo || status=1
echo
echo "=== the launch chain (Windows build, under Wine), on loopback"
/usr/bin/python3 tools/demo/quill_demo.py --windows --bin build/win32/bin \
  --work build/demo-windows || status=1
exit "$status"
