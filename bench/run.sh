#!/usr/bin/env bash
# Setup benchmark, Kestro against NSIS, in one run under the same Wine:
#   bench/run.sh [BUILD_ROOT] [RUNS]
# 1. the stub's size (stripped) beside the peers' loaders;
# 2. payload: about 250 MB of real Windows binaries (Wine's own 32-bit DLLs,
#    the first files by name), several hundred files;
# 3. packs it with kpack (zlib level 9, the sample engine as install engine)
#    and with makensis (SetCompressor zlib, silent install);
# 4. runs each setup file as a publisher ships it, A B A B after one warm-up
#    of each (which is also checked against the payload): Kestro's with
#    "/hide", timed by its own trace (UnCompressTime, received by a debug
#    viewer), NSIS's with "/S", timed whole; /usr/bin/time gives the wall
#    seconds and peak resident memory of each setup process;
# 5. the native floor: the same package inflated natively, output discarded;
# 6. memory against file size: setup files of a 1 GB and a 1 MB file of zeros.
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
WIN=$(win_run_tree "$BUILD")
win_build "$WIN" "$KESTRO_WIN_ARCH" -j "$(nproc)" --target kbench-viewer kestro-stub kengine >/dev/null
# The size that ships is the 32-bit product's, whatever Wine runs here.
[ "$WIN" = "$BUILD/win" ] || win_build "$BUILD/win" i686 -j "$(nproc)" --target kestro-stub >/dev/null
PRODUCT_STUB=$BUILD/win/src/stub/kestro-stub.exe
KPACK=$B/native/tools/kpack/kpack
STUB=$WIN/src/stub/kestro-stub.exe
ENGINE=$WIN/tools/kengine/kengine.exe
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
# A setup file of the payload, its install engine beside the files.
pack() { "$KPACK" --stub "$STUB" --out "$1" --dir "$2" --file "kengine.exe=$ENGINE" --engine kengine.exe --level 9 >/dev/null; }
pack "$B/kestro-setup.exe" "$B/payload"
# NSIS builds for the processor Wine runs here, like the Windows tree.
nsis_target=$([ "$KESTRO_WIN_ARCH" = x86_64 ] && echo "Target amd64-unicode" || true)
cat > "$B/nsis.nsi" <<NSI
$nsis_target
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
cat > "$B/nsis-empty.nsi" <<NSI
OutFile "nsis-empty.exe"
SetCompressor zlib
SilentInstall silent
Section
SectionEnd
NSI
(cd "$B" && makensis -V1 nsis.nsi && makensis -V1 nsis-empty.nsi)
echo "kestro $(stat -c %s "$B/kestro-setup.exe") bytes, nsis $(stat -c %s "$B/nsis-setup.exe") bytes"

wine_up "$BUILD"
# The setup files trace to a debug viewer: their extraction time is theirs.
rm -f "$B/trace.txt" "$B/trace.txt.ready" "$B/trace.txt.quit"
"$KESTRO_WINE" "$WIN/bench/kbench-viewer.exe" "$(win "$B/trace.txt")" >/dev/null 2>&1 &
viewer=$!
stop_viewer() { touch "$B/trace.txt.quit"; wait "$viewer" || true; wine_down; }
trap stop_viewer EXIT
for _ in $(seq 300); do [ -f "$B/trace.txt.ready" ] && break; sleep 0.1; done
[ -f "$B/trace.txt.ready" ] || { echo "the debug viewer did not start" >&2; exit 1; }

# One timed run: prints "seconds peak_kb".
timed() {
  /usr/bin/time -f "%e %M" -o "$B/time.txt" "$@" >"$B/last-run.log" 2>&1 || {
    echo "run failed: $*" >&2; cat "$B/last-run.log" >&2; exit 1; }
  cat "$B/time.txt"
}
run_kestro() { timed "$KESTRO_WINE" "$1" /hide "${@:2}"; }
run_nsis() { rm -rf "$B/out-nsis"; timed "$KESTRO_WINE" "$B/nsis-setup.exe" /S "/D=$(win "$B")\\out-nsis"; }
median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }

echo "== setup files under Wine ($RUNS runs each after a warm-up, alternating)"
rm -rf "$B/out-kestro"
run_kestro "$B/kestro-setup.exe" "/Target=$(win "$B")\\out-kestro" >/dev/null; run_nsis >/dev/null
rm -f "$B/out-kestro/kengine.log"
diff -r "$B/payload" "$B/out-kestro" >/dev/null && diff -r "$B/payload" "$B/out-nsis" >/dev/null \
  || { echo "installed files differ from the payload" >&2; exit 1; }
: >"$B/kestro.txt"; : >"$B/nsis.txt"
for _ in $(seq "$RUNS"); do
  run_kestro "$B/kestro-setup.exe" >>"$B/kestro.txt"
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
  pack "$dir/setup.exe" "$dir/in"
  rm -f "$dir/in/zeros.bin"
  run_kestro "$dir/setup.exe" | cut -d' ' -f2
  rm -rf "$dir"
}
m1=$(mem_for 1); m1024=$(mem_for 1024)

# The extraction times the setup files traced, in the order they ran: the
# warm-up first, then one per timed run, then the two of the zeros.
touch "$B/trace.txt.quit"; wait "$viewer" || true; trap wine_down EXIT
tr -d '\r' <"$B/trace.txt" | sed -n 's/^UnCompressTime: \([0-9]*\) MS$/\1/p' >"$B/uncompress.txt"
[ "$(wc -l <"$B/uncompress.txt")" -eq $((RUNS + 3)) ] \
  || { echo "expected $((RUNS + 3)) extraction times in the trace" >&2; exit 1; }
k_extract=$(sed -n "2,$((RUNS + 1))p" "$B/uncompress.txt" | awk '{printf "%.2f\n", $1 / 1000}' | median)

stub=$(stat -c %s "$PRODUCT_STUB"); nsis_empty=$(stat -c %s "$B/nsis-empty.exe")
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0) ? a / b : 0 }'; }
{
  echo "stub (32-bit, stripped): $((stub / 1024)) KB; NSIS installer of an empty script: $((nsis_empty / 1024)) KB"
  echo "payload: $files files, $((bytes / 1048576)) MB of Windows binaries; medians of $RUNS runs"
  printf "%-36s %10s %14s\n" "" "wall s" "peak MB"
  printf "%-36s %10s %14s\n" "Kestro setup /hide: extraction" "$k_extract" "-"
  printf "%-36s %10s %14s\n" "Kestro setup /hide: whole run" "$k_wall" "$((k_mem / 1024))"
  printf "%-36s %10s %14s\n" "NSIS setup /S: whole run" "$n_wall" "$((n_mem / 1024))"
  printf "%-36s %10s %14s\n" "native inflate floor" "$f_wall" "-"
  echo "Kestro extraction / NSIS run: wall $(ratio "$k_extract" "$n_wall"); peak memory $(ratio "$k_mem" "$n_mem")"
  echo "Kestro whole run / NSIS run: wall $(ratio "$k_wall" "$n_wall")"
  echo "Kestro extraction / floor: wall $(ratio "$k_extract" "$f_wall")"
  echo "peak memory of setup files of 1 GB of zeros: $((m1024 / 1024)) MB, 1 MB of zeros: $((m1 / 1024)) MB (ratio $(ratio "$m1024" "$m1"))"
} | tee "$B/results.txt"
