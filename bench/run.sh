#!/usr/bin/env bash
# Setup benchmark, Kestro against NSIS, in one run under the same Wine:
#   bench/run.sh [BUILD_ROOT] [RUNS]
# 1. the stub's size (stripped) beside the peers' loaders;
# 2. payload: about 250 MB of real Windows binaries (Wine's own 32-bit DLLs,
#    the first files by name), several hundred files;
# 3. packs it with kpack three ways (zlib level 9; zstd file by file; zstd
#    solid, level 19 and an 8 MB window for both; the sample engine as install
#    engine) and with makensis two ways (SetCompressor zlib; SetCompressor
#    /SOLID lzma; silent installs);
# 4. runs each setup file as a publisher ships it, all five in turn after one
#    warm-up of each (which is also checked against the payload): Kestro's
#    with "/hide", timed by its own trace (UnCompressTime, received by a
#    debug viewer), NSIS's with "/S", timed whole; /usr/bin/time gives the
#    wall seconds and peak resident memory of each setup process;
# 5. the native floor: each Kestro package decoded natively, output discarded;
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
KINDS="zlib zstd solid"
kind_options() {
  case $1 in zlib) echo "--method zlib --level 9" ;; zstd) echo "--method zstd --level 19" ;; solid) echo "--solid --level 19 --window 8M" ;; esac
}
# A setup file of the payload, its install engine beside the files.
pack() { "$KPACK" --stub "$STUB" --out "$1" --dir "$2" --file "kengine.exe=$ENGINE" --engine kengine.exe ${3:-} >/dev/null; }
for k in $KINDS; do
  out="$B/kestro-$k.exe"
  # zstd at level 19 takes minutes: a setup file newer than kpack, the stub
  # and the payload is kept.
  if [ "$out" -nt "$KPACK" ] && [ "$out" -nt "$STUB" ] && [ "$out" -nt "$B/payload.done" ]; then continue; fi
  start=$(date +%s.%N)
  pack "$out" "$B/payload" "$(kind_options "$k")"
  echo "kestro $k: packed in $(awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN { printf "%.0f", e - s }') s"
done
# NSIS builds for the processor Wine runs here, like the Windows tree.
nsis_target=$([ "$KESTRO_WIN_ARCH" = x86_64 ] && echo "Target amd64-unicode" || true)
nsis_script() {  # NAME COMPRESSOR
  cat > "$B/nsis-$1.nsi" <<NSI
$nsis_target
Name "Bench"
OutFile "nsis-$1.exe"
SetCompressor $2
SilentInstall silent
RequestExecutionLevel user
InstallDir "\$TEMP\\nsis-bench"
Section
  SetOutPath "\$INSTDIR"
  File /r "payload/*.*"
SectionEnd
NSI
}
nsis_script zlib zlib
nsis_script lzma "/SOLID lzma"
cat > "$B/nsis-empty.nsi" <<NSI
OutFile "nsis-empty.exe"
SetCompressor zlib
SilentInstall silent
Section
SectionEnd
NSI
for n in zlib lzma; do
  # LZMA over the payload takes minutes: an installer newer than the payload is kept.
  [ "$B/nsis-$n.exe" -nt "$B/payload.done" ] || (cd "$B" && makensis -V1 "nsis-$n.nsi")
done
(cd "$B" && makensis -V1 nsis-empty.nsi)
for f in kestro-zlib kestro-zstd kestro-solid nsis-zlib nsis-lzma; do echo "$f $(stat -c %s "$B/$f.exe") bytes"; done

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
run_nsis() { rm -rf "$B/out-nsis"; timed "$KESTRO_WINE" "$B/nsis-$1.exe" /S "/D=$(win "$B")\\out-nsis"; }
median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }

echo "== setup files under Wine ($RUNS runs each after a warm-up, in turn)"
for k in $KINDS; do
  rm -rf "$B/out-kestro"
  run_kestro "$B/kestro-$k.exe" "/Target=$(win "$B")\\out-kestro" >/dev/null
  rm -f "$B/out-kestro/kengine.log"
  diff -r "$B/payload" "$B/out-kestro" >/dev/null || { echo "kestro $k: installed files differ from the payload" >&2; exit 1; }
done
for n in zlib lzma; do
  run_nsis $n >/dev/null
  diff -r "$B/payload" "$B/out-nsis" >/dev/null || { echo "nsis $n: installed files differ from the payload" >&2; exit 1; }
done
for f in $KINDS; do : >"$B/kestro-$f.txt"; done
: >"$B/nsis-zlib.txt"; : >"$B/nsis-lzma.txt"
for _ in $(seq "$RUNS"); do
  for k in $KINDS; do run_kestro "$B/kestro-$k.exe" >>"$B/kestro-$k.txt"; done
  for n in zlib lzma; do run_nsis $n >>"$B/nsis-$n.txt"; done
done
wall() { cut -d' ' -f1 "$B/$1.txt" | median; }
peak() { cut -d' ' -f2 "$B/$1.txt" | median; }

echo "== native decoding floor"
for k in $KINDS; do
  : >"$B/floor-$k.txt"
  for _ in $(seq "$RUNS"); do timed "$B/native/bench/kbench-inflate" "$B/kestro-$k.exe" >>"$B/floor-$k.txt"; done
done

echo "== peak memory against file size (zeros, one file each)"
mem_for() {
  local mb=$1 dir="$B/zeros-$1"
  rm -rf "$dir" && mkdir -p "$dir/in"
  head -c "$((mb * 1048576))" /dev/zero >"$dir/in/zeros.bin"
  pack "$dir/setup.exe" "$dir/in" "--method zlib --level 9"
  rm -f "$dir/in/zeros.bin"
  run_kestro "$dir/setup.exe" | cut -d' ' -f2
  rm -rf "$dir"
}
m1=$(mem_for 1); m1024=$(mem_for 1024)

# The extraction times the setup files traced, in the order they ran: the
# warm-ups first (one per kind), then one per kind and timed run, then the
# two of the zeros.
touch "$B/trace.txt.quit"; wait "$viewer" || true; trap wine_down EXIT
tr -d '\r' <"$B/trace.txt" | sed -n 's/^UnCompressTime: \([0-9]*\) MS$/\1/p' >"$B/uncompress.txt"
nkinds=$(echo $KINDS | wc -w)
[ "$(wc -l <"$B/uncompress.txt")" -eq $(((RUNS + 1) * nkinds + 2)) ] \
  || { echo "expected $(((RUNS + 1) * nkinds + 2)) extraction times in the trace" >&2; exit 1; }
i=0
for k in $KINDS; do
  i=$((i + 1))
  sed -n "$((nkinds + 1)),$(((RUNS + 1) * nkinds))p" "$B/uncompress.txt" | awk -v n="$nkinds" -v i="$i" \
    '(NR - 1) % n == i - 1 {printf "%.2f\n", $1 / 1000}' | median >"$B/extract-$k.txt"
done
extract() { cat "$B/extract-$1.txt"; }

stub=$(stat -c %s "$PRODUCT_STUB"); nsis_empty=$(stat -c %s "$B/nsis-empty.exe")
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0) ? a / b : 0 }'; }
mb() { awk -v b="$1" 'BEGIN { printf "%.1f", b / 1048576 }'; }
size() { stat -c %s "$B/$1.exe"; }
row() {  # LABEL SIZE EXTRACTION WHOLE PEAK_KB FLOOR
  printf "%-26s %9s %12s %10s %9s %9s\n" "$1" "$2" "$3" "$4" "$5" "$6"
}
{
  echo "stub (32-bit, stripped): $((stub / 1024)) KB; NSIS installer of an empty script: $((nsis_empty / 1024)) KB"
  echo "payload: $files files, $((bytes / 1048576)) MB of Windows binaries; medians of $RUNS runs"
  row "" "size MB" "extraction s" "whole s" "peak MB" "floor s"
  for k in $KINDS; do
    row "Kestro $k" "$(mb "$(size "kestro-$k")")" "$(extract "$k")" "$(wall "kestro-$k")" \
        "$(mb "$(($(peak "kestro-$k") * 1024))")" "$(wall "floor-$k")"
  done
  row "NSIS zlib" "$(mb "$(size nsis-zlib)")" "-" "$(wall nsis-zlib)" "$(mb "$(($(peak nsis-zlib) * 1024))")" "-"
  row "NSIS LZMA solid" "$(mb "$(size nsis-lzma)")" "-" "$(wall nsis-lzma)" "$(mb "$(($(peak nsis-lzma) * 1024))")" "-"
  echo "Kestro zstd solid size / NSIS LZMA solid size: $(ratio "$(size kestro-solid)" "$(size nsis-lzma)") (target at most 1.1)"
  echo "Kestro zstd solid extraction / NSIS zlib run: $(ratio "$(extract solid)" "$(wall nsis-zlib)") (target at most 0.3)"
  echo "Kestro zstd solid extraction / NSIS LZMA solid run: $(ratio "$(extract solid)" "$(wall nsis-lzma)") (target at most 0.2)"
  echo "Kestro zstd solid peak memory / NSIS LZMA solid's: $(ratio "$(peak kestro-solid)" "$(peak nsis-lzma)") (target at most 1.0)"
  echo "Kestro zlib extraction / NSIS zlib run: $(ratio "$(extract zlib)" "$(wall nsis-zlib)")"
  echo "extraction, zstd solid / zlib: $(ratio "$(extract solid)" "$(extract zlib)"); zstd / zlib: $(ratio "$(extract zstd)" "$(extract zlib)")"
  echo "peak memory of setup files of 1 GB of zeros: $((m1024 / 1024)) MB, 1 MB of zeros: $((m1 / 1024)) MB (ratio $(ratio "$m1024" "$m1"))"
} | tee "$B/results.txt"
