#!/usr/bin/env bash
# Extraction benchmark, Kestro against NSIS, in one run under the same Wine:
#   bench/run.sh [BUILD_ROOT] [RUNS]
# 1. payload: about 250 MB of real Windows binaries (Wine's own 32-bit DLLs,
#    the first files by name), several hundred files;
# 2. packs it with kpack (zlib level 9) and with makensis (SetCompressor zlib,
#    silent install);
# 3. times each, A B A B after one warm-up of each, with /usr/bin/time: wall
#    seconds and peak resident memory of the whole process;
# 4. the native floor: the same package inflated natively, output discarded;
# 5. memory against file size: a 1 GB and a 1 MB file of zeros, each extracted.
# Prints medians and ratios; results also go to BUILD_ROOT/bench/results.txt.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build}
RUNS=${2:-3}
B=$BUILD/bench
PAYLOAD_MB=${PAYLOAD_MB:-250}
DLLS=/usr/lib/i386-linux-gnu/wine/i386-windows

"$ROOT/scripts/deps.sh"
source "$ROOT/scripts/wine-env.sh"
trap wine_down EXIT
mkdir -p "$B"

echo "== building (native without sanitizers, Windows Release)"
cmake -S "$ROOT" -B "$B/native" -DCMAKE_BUILD_TYPE=Release -DKESTRO_SANITIZE=OFF >/dev/null
cmake --build "$B/native" -j "$(nproc)" --target kpack kbench-inflate >/dev/null
win_tree_for_arch "$BUILD/win"
cmake -S "$ROOT" -B "$BUILD/win" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-${KESTRO_WIN_ARCH}.cmake" >/dev/null
cmake --build "$BUILD/win" -j "$(nproc)" --target kbench-extract kestro-stub >/dev/null
KPACK=$B/native/tools/kpack/kpack
STUB=$BUILD/win/src/stub/kestro-stub.exe
win() { local p; p=$(readlink -f "$1"); echo "Z:${p//\//\\}"; }

echo "== payload"
if [ ! -f "$B/payload.done" ]; then
  rm -rf "$B/payload" && mkdir -p "$B/payload/bin"
  limit=$((PAYLOAD_MB * 1024 * 1024)); total=0
  for f in $(ls "$DLLS" | sort); do
    [ "$total" -ge "$limit" ] && break
    cp "$DLLS/$f" "$B/payload/bin/"
    total=$((total + $(stat -c %s "$DLLS/$f")))
  done
  touch "$B/payload.done"
fi
files=$(find "$B/payload" -type f | wc -l)
bytes=$(du -sb "$B/payload" | cut -f1)
echo "$files files, $((bytes / 1048576)) MB"

echo "== packing"
"$KPACK" --stub "$STUB" --out "$B/kestro-setup.exe" --dir "$B/payload" --level 9 >/dev/null
cat > "$B/nsis.nsi" <<NSI
Name "Bench"
OutFile "nsis-setup.exe"
SetCompressor zlib
SilentInstall silent
RequestExecutionLevel user
InstallDir "\$TEMP\\nsis-bench"
Section
  SetOutPath "\$INSTDIR"
  File /r "payload/*.*"
SectionEnd
NSI
(cd "$B" && makensis -V1 nsis.nsi)
echo "kestro $(stat -c %s "$B/kestro-setup.exe") bytes, nsis $(stat -c %s "$B/nsis-setup.exe") bytes"

wine_up "$BUILD"

# One timed run: prints "seconds peak_kb".
timed() {
  /usr/bin/time -f "%e %M" -o "$B/time.txt" "$@" >"$B/last-run.log" 2>&1 || {
    echo "run failed: $*" >&2; cat "$B/last-run.log" >&2; exit 1; }
  cat "$B/time.txt"
}
run_kestro() { rm -rf "$B/out-kestro"; timed "$KESTRO_WINE" "$BUILD/win/bench/kbench-extract.exe" "$(win "$B/kestro-setup.exe")" "$(win "$B")\\out-kestro"; }
run_nsis() { rm -rf "$B/out-nsis"; timed "$KESTRO_WINE" "$B/nsis-setup.exe" /S "/D=$(win "$B")\\out-nsis"; }
median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }

echo "== extraction under Wine ($RUNS runs each after a warm-up, alternating)"
run_kestro >/dev/null; run_nsis >/dev/null
diff -r "$B/payload" "$B/out-kestro" >/dev/null && diff -r "$B/payload" "$B/out-nsis" >/dev/null \
  || { echo "extracted files differ from the payload" >&2; exit 1; }
: >"$B/kestro.txt"; : >"$B/nsis.txt"
for _ in $(seq "$RUNS"); do
  run_kestro >>"$B/kestro.txt"
  run_nsis >>"$B/nsis.txt"
done
k_wall=$(cut -d' ' -f1 "$B/kestro.txt" | median); k_mem=$(cut -d' ' -f2 "$B/kestro.txt" | median)
n_wall=$(cut -d' ' -f1 "$B/nsis.txt" | median); n_mem=$(cut -d' ' -f2 "$B/nsis.txt" | median)

echo "== native inflate floor"
: >"$B/floor.txt"
for _ in $(seq "$RUNS"); do timed "$B/native/bench/kbench-inflate" "$B/kestro-setup.exe" >>"$B/floor.txt"; done
f_wall=$(cut -d' ' -f1 "$B/floor.txt" | median)

echo "== peak memory against file size (zeros, one file each)"
mem_for() {
  local mb=$1 dir="$B/zeros-$1"
  rm -rf "$dir" && mkdir -p "$dir/in"
  head -c "$((mb * 1048576))" /dev/zero >"$dir/in/zeros.bin"
  "$KPACK" --stub "$STUB" --out "$dir/setup.exe" --dir "$dir/in" --level 9 >/dev/null
  rm -f "$dir/in/zeros.bin"
  timed "$KESTRO_WINE" "$BUILD/win/bench/kbench-extract.exe" "$(win "$dir/setup.exe")" "$(win "$dir")\\out" | cut -d' ' -f2
  rm -rf "$dir"
}
m1=$(mem_for 1); m1024=$(mem_for 1024)

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0) ? a / b : 0 }'; }
{
  echo "payload: $files files, $((bytes / 1048576)) MB of Windows binaries; medians of $RUNS runs"
  printf "%-28s %10s %14s\n" "" "wall s" "peak MB"
  printf "%-28s %10s %14s\n" "Kestro (ExtractPackage)" "$k_wall" "$((k_mem / 1024))"
  printf "%-28s %10s %14s\n" "NSIS (silent install)" "$n_wall" "$((n_mem / 1024))"
  printf "%-28s %10s %14s\n" "native inflate floor" "$f_wall" "-"
  echo "Kestro / NSIS: wall $(ratio "$k_wall" "$n_wall"), peak memory $(ratio "$k_mem" "$n_mem")"
  echo "Kestro / floor: wall $(ratio "$k_wall" "$f_wall")"
  echo "peak memory extracting 1 GB of zeros: $((m1024 / 1024)) MB, 1 MB of zeros: $((m1 / 1024)) MB (ratio $(ratio "$m1024" "$m1"))"
} | tee "$B/results.txt"
