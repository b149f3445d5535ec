#!/usr/bin/env bash
# Download benchmark in one run, loopback, under the same Wine:
#   bench/run-download.sh [BUILD_ROOT] [RUNS]
# nginx serves a 200 MB package on 127.0.0.1; it is fetched
#   - by the download client (kbench-download.exe client, under Wine),
#   - by the paced loop the client replaced (kbench-download.exe paced:
#     a 2 ms message pause and at most 8 KB per read, the temporary file
#     opened, appended and closed per chunk), once: it is slow,
#   - by native curl, the ceiling of this machine's loopback and disk.
# Then peak memory of the client (whole Wine process) for a 1 MB and a 200 MB
# package. Prints medians and ratios; results go to BUILD_ROOT/bench/download.txt.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build}
RUNS=${2:-3}
B=$BUILD/bench/download
SIZE_MB=${SIZE_MB:-200}

"$ROOT/scripts/deps.sh"
source "$ROOT/scripts/wine-env.sh"
cleanup() { "$ROOT/scripts/nginx-serve.sh" stop "$B/nginx" || true; wine_down; }
trap cleanup EXIT
mkdir -p "$B/www" "$B/out"

echo "== building (Windows Release)"
WIN=$(win_run_tree "$BUILD")
win_build "$WIN" "$KESTRO_WIN_ARCH" -j "$(nproc)" --target kbench-download >/dev/null
EXE=$WIN/bench/kbench-download.exe
win() { local p; p=$(readlink -f "$1"); echo "Z:${p//\//\\}"; }

echo "== packages: $SIZE_MB MB and 1 MB of random bytes"
[ "$(stat -c %s "$B/www/big.bin" 2>/dev/null || echo 0)" -eq $((SIZE_MB * 1048576)) ] ||
  head -c $((SIZE_MB * 1048576)) /dev/urandom >"$B/www/big.bin"
[ -f "$B/www/small.bin" ] || head -c 1048576 /dev/urandom >"$B/www/small.bin"
port=$("$ROOT/scripts/nginx-serve.sh" start "$B/www" "$B/nginx")
URL=http://127.0.0.1:$port
wine_up "$BUILD"
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY

# One run of the Windows bench: prints "seconds peak_kb" and checks the file.
run_win() {
  local mode=$1 name=$2
  /usr/bin/time -f "%M" -o "$B/time.txt" "$KESTRO_WINE" "$EXE" "$mode" "$URL/$name" "$(win "$B/out")\\$name" \
    >"$B/run.txt" 2>&1 </dev/null || { echo "run failed: $mode $name" >&2; cat "$B/run.txt" >&2; exit 1; }
  cmp -s "$B/www/$name" "$B/out/$name" || { echo "$mode: $name differs from the served file" >&2; exit 1; }
  echo "$(tail -1 "$B/run.txt" | cut -d' ' -f1) $(cat "$B/time.txt")"
  rm -f "$B/out/$name"
}
run_curl() {
  curl -s -o "$B/out/big.bin" -w "%{time_total}\n" "$URL/big.bin"
  cmp -s "$B/www/big.bin" "$B/out/big.bin" || { echo "curl: file differs" >&2; exit 1; }
  rm -f "$B/out/big.bin"
}
median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", (b > 0) ? a / b : 0 }'; }
rate() { awk -v s="$1" -v mb="$SIZE_MB" 'BEGIN { printf "%.0f", (s > 0) ? mb / s : 0 }'; }

echo "== $SIZE_MB MB: client and curl, $RUNS runs each after a warm-up, alternating"
run_win client big.bin >/dev/null; run_curl >/dev/null
: >"$B/client.txt"; : >"$B/curl.txt"
for _ in $(seq "$RUNS"); do
  run_win client big.bin >>"$B/client.txt"
  run_curl >>"$B/curl.txt"
done
c_s=$(cut -d' ' -f1 "$B/client.txt" | median); c_mem=$(cut -d' ' -f2 "$B/client.txt" | median)
n_s=$(median <"$B/curl.txt")
echo "== $SIZE_MB MB: the paced loop, once"
read -r p_s p_mem < <(run_win paced big.bin)
echo "== peak memory of the client: 1 MB"
read -r _ s_mem < <(run_win client small.bin)

{
  echo "loopback nginx, $SIZE_MB MB package; Wine $("$KESTRO_WINE" --version 2>/dev/null) ($KESTRO_WIN_ARCH); medians of $RUNS runs"
  printf "%-32s %9s %9s %12s\n" "" "seconds" "MB/s" "peak MB"
  printf "%-32s %9s %9s %12s\n" "download client (under Wine)" "$c_s" "$(rate "$c_s")" "$((c_mem / 1024))"
  printf "%-32s %9s %9s %12s\n" "paced loop (under Wine)" "$p_s" "$(rate "$p_s")" "$((p_mem / 1024))"
  printf "%-32s %9s %9s %12s\n" "curl (native, the ceiling)" "$n_s" "$(rate "$n_s")" "-"
  echo "client against the paced loop: $(ratio "$p_s" "$c_s")x faster; against curl: $(ratio "$c_s" "$n_s")x the time"
  echo "client peak memory: 1 MB package $((s_mem / 1024)) MB, $SIZE_MB MB package $((c_mem / 1024)) MB"
} | tee "$BUILD/bench/download.txt"
