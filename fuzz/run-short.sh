#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer) in BUILD_ROOT/fuzz and runs each
# for a short bounded time (FUZZ_SECONDS each, default 15). A crash, hang or
# sanitizer report fails the run and leaves the input beside the log.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build}/fuzz
SECONDS_EACH=${FUZZ_SECONDS:-15}

cmake -S "$ROOT/fuzz" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$BUILD" -j "${JOBS:-$(nproc)}" >/dev/null

status=0
for target in fuzz_package fuzz_blocks fuzz_texts; do
  corpus="$BUILD/corpus/$target"
  mkdir -p "$corpus" "$BUILD/crashes"
  log="$BUILD/$target.log"
  if (cd "$BUILD/crashes" && "$BUILD/$target" -max_total_time="$SECONDS_EACH" -max_len=262144 \
        -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 "$corpus" "$ROOT/fuzz/seeds") >"$log" 2>&1; then
    echo "$target: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') runs, no fault"
  else
    echo "$target: FAILED (log: $log)"
    tail -n 40 "$log"
    status=1
  fi
done
exit $status
