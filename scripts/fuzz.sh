#!/usr/bin/env bash
# A fuzz run that anyone can repeat.
#
#   scripts/fuzz.sh [-j JOBS] [SECONDS] [TARGET...]
#
# Builds the targets of the fuzz preset (clang, libFuzzer, ASan and UBSan), then runs every
# target (or the ones named, e.g. fuzz_listing) for SECONDS each, 600 unless
# given, one after another; -j 2 runs two at a time. Each run starts from the
# checked-in seeds in fuzz/seeds/<name> and keeps what it finds in
# build/fuzz/runs/<target>/corpus, which a later run carries on from; the
# seeds are never written. At the end a table gives each target's
# executions, coverage and result.
#
# A crash or a broken invariant leaves its reproducer (crash-*, leak-*,
# timeout-*, oom-*) and the run's log in build/fuzz/runs/<target>/, and the
# script exits non-zero. Replay a reproducer with
#   build/fuzz/bin/<target> build/fuzz/runs/<target>/crash-...
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=1
if [ "${1:-}" = "-j" ]; then
  jobs=${2:?"-j needs a number"}
  shift 2
fi
seconds=600
if [[ "${1:-}" =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi

echo "=== fuzz: configure and build"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target quill_fuzzers -- -j2

bin=build/fuzz/bin
if [ $# -gt 0 ]; then
  targets=("$@")
else
  mapfile -t targets < <(cd "$bin" && ls fuzz_* | sort)
fi

run_one() {
  local target=$1
  local name=${target#fuzz_}
  local dir="build/fuzz/runs/$target"
  mkdir -p "$dir/corpus" "$dir/work"
  rm -f "$dir"/crash-* "$dir"/leak-* "$dir"/timeout-* "$dir"/oom-*
  local status=0
  # The work folder takes the files some targets write as they read.
  (cd "$dir/work" &&
    "$OLDPWD/$bin/$target" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$OLDPWD/$dir/" ../corpus "$OLDPWD/fuzz/seeds/$name") \
    >"$dir/log" 2>&1 || status=$?
  echo "$status" >"$dir/status"
}

echo "=== fuzz: ${#targets[@]} targets, $seconds s each, $jobs at a time"
running=0
for target in "${targets[@]}"; do
  [ -x "$bin/$target" ] || { echo "no such target: $target" >&2; exit 2; }
  echo "    $target"
  run_one "$target" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n || true
    running=$((running - 1))
  fi
done
wait

failed=0
echo
printf '%-22s %14s %10s  %s\n' "target" "executions" "coverage" "result"
for target in "${targets[@]}"; do
  dir="build/fuzz/runs/$target"
  execs=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+).*/\1/p' "$dir/log" | tail -n 1)
  cov=$(grep -oE 'cov: [0-9]+' "$dir/log" | tail -n 1 | sed 's/cov: //')
  artifact=$(ls "$dir"/crash-* "$dir"/leak-* "$dir"/timeout-* "$dir"/oom-* 2>/dev/null | head -n 1 || true)
  if [ "$(cat "$dir/status")" = 0 ] && [ -z "$artifact" ]; then
    result=clean
  else
    result="FAILED (status $(cat "$dir/status")) ${artifact:-see $dir/log}"
    failed=$((failed + 1))
  fi
  printf '%-22s %14s %10s  %s\n' "$target" "${execs:-?}" "${cov:-?}" "$result"
done
[ "$failed" -eq 0 ]
