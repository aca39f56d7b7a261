#!/usr/bin/env bash
# One mirror, published once by the Linux quill-publish with Korean file
# and folder names, installed by the Linux updater and by the Windows one
# (under Wine) into two folders: both must hold the same names and bytes,
# the updaters' own listings and records included; then version 1.1 drops
# the Korean file in both, and a player's own file beside it stays. The
# FTP server passes name bytes through unchanged.
#   same_install_both_builds.sh LINUX_BIN FTP_SERVER_SCRIPT WINDOWS_UPDATER RUNNER...
# Exit 77: the Linux build is not there (skipped).
set -u
linux_bin=$1
server_script=$2
windows_updater=$3
shift 3
if [ ! -x "$linux_bin/quill-publish" ] || [ ! -x "$linux_bin/QuillUpdate" ]; then
  echo "no Linux build in $linux_bin: skipped"
  exit 77
fi

work=$(mktemp -d)
cleanup() {
  rm -f "$work/mirror.alive"
  for _ in $(seq 50); do [ -e "$work/mirror.port" ] || break; sleep 0.1; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAILED: $*"
  for log in "$work"/install-*/report.txt; do
    [ -f "$log" ] && { echo "--- $log (end)"; tail -n 20 "$log"; }
  done
  exit 1
}

game=$work/game
mkdir -p "$game/data/자료" "$game/data/zone"
printf 'sample readme\n' >"$game/readme.txt"
printf '안녕하세요, 모험가님!\n' >"$game/data/자료/한글자료.txt"
head -c 70000 /dev/urandom >"$game/data/zone/part.dat"
printf 'map' >"$game/data/한글.dat"

publish() {
  rm -rf "$work/mirror"
  "$linux_bin/quill-publish" --version "$1" "$game" "$work/mirror" >/dev/null ||
    fail "quill-publish $1"
}
publish 1.0

touch "$work/mirror.alive"
/usr/bin/python3 "$server_script" --root "$work/mirror" --port-file "$work/mirror.port" \
  --alive-file "$work/mirror.alive" &
for _ in $(seq 300); do [ -s "$work/mirror.port" ] && break; sleep 0.1; done
read -r port refused <"$work/mirror.port" || fail "the FTP server did not start"

printf 'QUILL\n1\n127.0.0.1:%s / anonymous guest@\n' "$port" >"$work/servers.txt"
for build in linux win32; do
  mkdir -p "$work/install-$build"
  "$linux_bin/quill-serverlist" encode "$work/servers.txt" "$work/install-$build/ver_C" ||
    fail "quill-serverlist"
done
cp "$linux_bin/QuillUpdate" "$work/install-linux/QuillUpdate.exe"
cp "$windows_updater" "$work/install-win32/QuillUpdate.exe"

export QUILL_UI=console QUILL_CRASHLOG_HOST=127.0.0.1:$refused
run_both() {
  (cd "$work/install-linux" && ./QuillUpdate.exe >/dev/null 2>&1)
  (cd "$work/install-win32" && "$@" ./QuillUpdate.exe >/dev/null 2>&1)
}

# The installed trees, name and bytes, but for what differs by nature: the
# updater programs themselves, the log, whose texts each system writes in
# its own code page, and the line ends of the local listing, a text file
# that each system ends its lines in as it does.
same_trees() {
  diff -r --exclude=report.txt --exclude=QuillUpdate.exe --exclude=ls.txt \
    "$work/install-linux" "$work/install-win32" >"$work/diff.txt" 2>&1 ||
    fail "the two installations differ: $(head -c 2000 "$work/diff.txt")"
  cmp -s <(tr -d '\r' <"$work/install-linux/ls.txt") <(tr -d '\r' <"$work/install-win32/ls.txt") ||
    fail "the local listings differ"
}

run_both "$@"
for build in linux win32; do
  cmp -s "$game/data/자료/한글자료.txt" "$work/install-$build/data/자료/한글자료.txt" ||
    fail "$build: data/자료/한글자료.txt is not the published file"
  cmp -s "$game/data/zone/part.dat" "$work/install-$build/data/zone/part.dat" ||
    fail "$build: data/zone/part.dat is not the published file"
done
same_trees
echo "1.0: both builds installed the same tree"

rm "$game/data/자료/한글자료.txt"
printf 'changed' >"$game/data/한글.dat"
publish 1.1
for build in linux win32; do
  printf "the player's memo" >"$work/install-$build/data/자료/내 메모.txt"
done
run_both "$@"
for build in linux win32; do
  [ ! -e "$work/install-$build/data/자료/한글자료.txt" ] ||
    fail "$build: the file dropped in 1.1 is still there"
  [ "$(cat "$work/install-$build/data/한글.dat")" = changed ] ||
    fail "$build: data/한글.dat was not updated"
  [ "$(cat "$work/install-$build/data/자료/내 메모.txt")" = "the player's memo" ] ||
    fail "$build: the player's own file is gone or changed"
done
same_trees
echo "1.1: both builds updated the same way"
