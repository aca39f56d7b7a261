#!/usr/bin/env bash
# Makes the three packages of a release in build/release-<target>/packages:
# the player's package (the updater and "ver_C"), the chain's programs for
# the game tree, and the QuillNTC SDK.
#
#   scripts/package.sh --target win32|linux --servers PLAIN_SERVER_LIST \
#     --crashlog-host HOST[:PORT] --launcher-page URL --home-page URL
#
# The server list is the plain form that quill-serverlist encodes (a
# header line, the count, then "host[:port] / user password" per mirror).
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
  sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}

target=win32 servers= crashlog= launcher_page= home_page=
while [ $# -gt 0 ]; do
  case $1 in
    --target) target=$2; shift 2 ;;
    --servers) servers=$2; shift 2 ;;
    --crashlog-host) crashlog=$2; shift 2 ;;
    --launcher-page) launcher_page=$2; shift 2 ;;
    --home-page) home_page=$2; shift 2 ;;
    *) usage ;;
  esac
done
case $target in win32 | linux) ;; *) usage ;; esac
if [ -z "$servers" ] || [ -z "$crashlog" ] || [ -z "$launcher_page" ] || [ -z "$home_page" ]; then
  usage
fi
if [ ! -f "$servers" ]; then
  echo "package: no server list at $servers" >&2
  exit 1
fi

preset=release-$target
cmake --preset "$preset" \
  -D QUILL_SERVER_LIST="$(realpath "$servers")" \
  -D QUILL_CRASHLOG_HOST="$crashlog" \
  -D QUILL_LAUNCHER_PAGE_URL="$launcher_page" \
  -D QUILL_HOME_PAGE_URL="$home_page" >/dev/null
cmake --build --preset "$preset" -- -j2
rm -rf "build/$preset/packages"
cpack --preset "$preset" >/dev/null
echo "packages of build/$preset:"
for package in "build/$preset/packages"/*; do
  echo "  $package"
done
