#!/usr/bin/env bash
# Runs every libFuzzer harness of fuzz/ under AddressSanitizer and
# UndefinedBehaviorSanitizer for a bounded time: once with a fixed seed (the
# same run each time) and once with a random one (new ground each time). A
# crash, leak, timeout, sanitizer report or failed check fails the script and
# prints the input that caused it (base64 and hex) into the log.
#
#   QUALTY_FUZZ_SECONDS   seconds per run (default 30: about a minute a harness)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${QUALTY_FUZZ_SECONDS:-30}
harnesses=(csv expression profile analysis_file dist)

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUALTY_FUZZ=ON -DQUALTY_SANITIZE=ON -DQUALTY_TESTS=OFF -DQUALTY_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${harnesses[@]/#/fuzz_}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for h in "${harnesses[@]}"; do
  corpus="$work/corpus-$h"  # grows here; the committed seeds stay as they are
  mkdir -p "$corpus" "$work/found-$h"
  cp fuzz/corpus/"$h"/* "$corpus"/
  for seed in 1 "$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')"; do
    log="$work/$h-$seed.log"
    set +e
    build-fuzz/bin/fuzz_"$h" -seed="$seed" -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=2048 -max_len=16384 -print_final_stats=1 -dict=fuzz/dict/"$h".dict \
      -artifact_prefix="$work/found-$h/" "$corpus" >"$log" 2>&1
    rc=$?
    set -e
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    if [ "$rc" -eq 0 ]; then
      echo "fuzz_$h seed $seed: ${runs:-?} executions in ${seconds} s, no finding"
      continue
    fi
    status=1
    echo "fuzz_$h seed $seed: FINDING (exit $rc) after ${runs:-?} executions"
    tail -n 60 "$log"
    for found in "$work/found-$h"/*; do
      [ -f "$found" ] || continue
      echo "reproducer $(basename "$found") ($(stat -c %s "$found") bytes), base64:"
      base64 -w 76 "$found"
      echo "hex:"
      od -An -tx1 -v "$found" | head -n 64
    done
    rm -f "$work/found-$h"/*
  done
done
exit $status
