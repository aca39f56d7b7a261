#!/usr/bin/env bash
# quill-client against quill-gameserver on loopback.
#   client_server_test.sh SERVER CLIENT_COMMAND...
# Starts the server on a free port, runs two clients (the first lingers and
# must see the second one's chat and move), sends the server a bad packet
# from a third connection (only that one is closed), runs one more client,
# and checks what the clients and the server printed. CLIENT_COMMAND may be
# a Windows quill-client.exe behind its Wine runner. Exit 77: the server is
# not there (skipped).
set -u
server=$1
shift
if [ ! -x "$server" ]; then
  echo "no game server at $server: skipped"
  exit 77
fi

work=$(mktemp -d)
server_pid=
cleanup() {
  if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null; wait "$server_pid" 2>/dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAILED: $*"
  for f in "$work"/*.txt; do echo "--- $(basename "$f")"; cat "$f"; done
  exit 1
}

"$server" --port 0 --sync-ms 300 --seconds 120 >"$work/server.txt" 2>&1 &
server_pid=$!
port=
for _ in $(seq 100); do
  port=$(sed -n 's/^quill-gameserver: listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$work/server.txt")
  [ -n "$port" ] && break
  sleep 0.05
done
[ -n "$port" ] || fail "the server did not say its port"

# The first client lingers while the second one chats; the server is named
# by the environment for it and by the option for the second. The linger is
# long because a second program under Wine can take several seconds to start.
QUILL_GAMESERVER=127.0.0.1:$port "$@" --account first --chat "from the first" \
  --linger-ms 20000 "1.0.7 test version" >"$work/first.txt" 2>&1 &
first_pid=$!
for _ in $(seq 200); do
  grep -q "entered the session" "$work/first.txt" 2>/dev/null && break
  sleep 0.05
done
"$@" --server "127.0.0.1:$port" --account second --chat "from the second" \
  --linger-ms 1500 >"$work/second.txt" 2>&1 || fail "the second client did not log on"

# A bad packet (length 2) closes that connection only.
exec 3<>"/dev/tcp/127.0.0.1/$port" || fail "cannot reach the server"
printf '\xd2\x07\x02\x00' >&3
exec 3<&-

wait "$first_pid" || fail "the first client did not log on"
"$@" --server "127.0.0.1:$port" --account third --linger-ms 500 >"$work/third.txt" 2>&1 \
  || fail "a client after the bad one did not log on"

expect() {
  grep -qF -- "$2" "$work/$1.txt" || fail "$1 lacks: $2"
}
for who in first second third; do
  expect $who "quill-client: connected"
  expect $who "log-on result 0"
  expect $who "avatar 0 \"${who}Warrior\" template 1, level 10"
  expect $who "try on session with avatar 0: result 0, 3 items, 2 skills"
  expect $who "SC_PrivData: level 10"
  # (a Windows client ends its lines with CR LF)
  [ "$(tail -n 1 "$work/$who.txt" | tr -d '\r')" = "quill-client: log-on result 0" ] \
    || fail "$who does not end with its log-on result"
done
expect first "version \"1.0.7 test version\", server 127.0.0.1:$port"
expect first "\"from the first\""
expect first "\"from the second\""
expect first "SC_AvatarMove of"
expect first "SC_Avatar "
expect second "\"from the second\""
expect server "log-on \"first\": result 0, 2 avatars"
expect server "chat \"from the second\""
expect server "sent a packet length the protocol does not allow; connection closed"
expect server "net time answer"
grep -q "SC_Chat" "$work/third.txt" || fail "third saw no chat"
echo "client and server agree"
