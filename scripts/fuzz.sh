#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer throughout) and runs each one for a bounded time
# over its seeds; any crash, leak, hang or broken invariant fails the script
# and leaves the input that caused it in build/fuzz/artifacts/<target>/.
#   QRV_FUZZ_SECONDS  seconds per target (default 60)
#   QRV_FUZZ_TARGETS  targets to run (default: all)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
seconds=${QRV_FUZZ_SECONDS:-60}
targets=${QRV_FUZZ_TARGETS:-"snapshot score search number"}
build=build/fuzz

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQRV_FUZZ=ON -DQRV_BUILD_TESTS=OFF -DQRV_BUILD_BENCH=OFF -DQRV_BUILD_EXAMPLES=OFF
cmake --build "$build" -j "$(nproc)" --target $(printf 'fuzz_%s ' $targets)

# Largest input per target: a search does far more work per byte.
declare -A max_len=([snapshot]=16384 [score]=16384 [search]=4096 [number]=64)

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
summary=()
for t in $targets; do
  corpus=$build/corpus/$t
  artifacts=$build/artifacts/$t
  files=$build/seed-files/$t
  mkdir -p "$corpus" "$artifacts" "$build/logs"
  rm -rf "$files" && mkdir -p "$files"
  # libFuzzer takes directories; single seed files are gathered into one.
  dirs=()
  while IFS= read -r seed; do
    [ -n "$seed" ] || continue
    if [ -d "$seed" ]; then dirs+=("$seed"); else cp "$seed" "$files/"; fi
  done <"$build/fuzz/seeds_$t.txt"
  dict=()
  [ "$t" = number ] || dict=(-dict="$build/fuzz/json.dict")
  log=$build/logs/$t.log
  echo "fuzzing $t for ${seconds}s"
  if ! "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len="${max_len[$t]}" -print_final_stats=1 -artifact_prefix="$artifacts/" \
    "${dict[@]}" "$corpus" "$files" "${dirs[@]}" >"$log" 2>&1; then
    tail -n 60 "$log" >&2
    echo "FAIL: fuzz target $t found a fault; the input is in $artifacts/" >&2
    exit 1
  fi
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  summary+=("$(printf '%-9s %10s executions %8s per second' "$t" "$execs" "$rate")")
done
printf '%s\n' "${summary[@]}"
