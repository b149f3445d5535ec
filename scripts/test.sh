#!/usr/bin/env bash
# The test command: installs what is missing, builds both toolchains and runs
# the whole suite (native tests, then the Windows tests under Wine).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${KESTRO_BUILD:-$ROOT/build}
JOBS=${JOBS:-$(nproc)}

"$ROOT/scripts/deps.sh"
source "$ROOT/scripts/wine-env.sh"
trap wine_down EXIT

# A compiler cache, when present, makes rebuilds and further checkouts cheap;
# paths are taken relative to the checkout so that two checkouts share it.
LAUNCHER=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="$ROOT" CCACHE_NOHASHDIR=1
  LAUNCHER=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

cmake -S "$ROOT" -B "$BUILD/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${LAUNCHER[@]}" >/dev/null
cmake --build "$BUILD/native" -j "$JOBS"
KESTRO_CMAKE_ARGS=(${LAUNCHER[@]+"${LAUNCHER[@]}"})
WIN=$(win_run_tree "$BUILD")
win_build "$WIN" "$KESTRO_WIN_ARCH" -j "$JOBS"
if [ "$WIN" != "$BUILD/win" ]; then
  # The tests run a 64-bit build here; the product itself is the 32-bit exe.
  # Its whole tree (tests and helpers too) must build cleanly, as it does
  # where it runs; the 32-bit stage below runs its stub.
  echo "== 32-bit build in $BUILD/win (this machine runs the suite on $KESTRO_WIN_ARCH)"
  win_build "$BUILD/win" i686 -j "$JOBS"
fi

wine_up "$BUILD"
status=0
echo "== native tests"
ctest --test-dir "$BUILD/native" --output-on-failure -j "$JOBS" || status=1
echo "== Windows tests (under Wine)"
ctest --test-dir "$WIN" -LE wow64 --output-on-failure || status=1
if [ -x "$ROOT/fuzz/run-short.sh" ]; then
  echo "== fuzz (short run)"
  "$ROOT/fuzz/run-short.sh" "$BUILD" || status=1
fi
echo "== 32-bit stage: the shipped 32-bit stub beside 64-bit programs (WoW64)"
stage_start=$(date +%s)
"$ROOT/scripts/wow64-stage.sh" "$BUILD" || status=1
echo "== 32-bit stage took $(($(date +%s) - stage_start)) s"
native=$(ctest --test-dir "$BUILD/native" -N | sed -n 's/^Total Tests: //p')
windows=$(ctest --test-dir "$WIN" -LE wow64 -N | sed -n 's/^Total Tests: //p')
echo "Ran ${native:-0} native tests and ${windows:-0} Windows test programs under Wine."
[ $status -eq 0 ] && echo "ALL TESTS PASSED" || echo "SOME TESTS FAILED"
exit $status
