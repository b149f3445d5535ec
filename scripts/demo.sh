#!/usr/bin/env bash
# The demo: installs what is missing, builds the stub, the sample engine and
# the packager, packs the demo product (demo/) into a setup file, runs it
# under Wine on a virtual display, photographs its progress windows into the
# build tree and shows what got installed; then makes a web setup of the same
# product, serves its package with nginx on 127.0.0.1 and installs through it;
# last, publishes version 2 there and starts the installed product and its
# update agent, which finds the release, asks (photographed, answered Yes),
# closes the product, installs version 2 and starts the product again
# (scripts/demo-update.sh).
# The pictures under docs/ are refreshed by scripts/screenshots.sh only, so a
# run leaves the checkout clean.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${KESTRO_BUILD:-$ROOT/build}
JOBS=${JOBS:-$(nproc)}

"$ROOT/scripts/deps.sh"
source "$ROOT/scripts/wine-env.sh"
trap wine_down EXIT

echo "== Building the packager, the stub and the sample engine"
cmake -S "$ROOT" -B "$BUILD/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD/native" -j "$JOBS" --target kpack >/dev/null
WIN=$(win_run_tree "$BUILD")
win_build "$WIN" "$KESTRO_WIN_ARCH" -j "$JOBS" --target kestro-stub kengine sample_product box_answer >/dev/null

wine_up "$BUILD"
DRIVE_C=$WINEPREFIX/drive_c
TARGET_WIN='C:\Program Files\Kestro Demo'
TARGET=$DRIVE_C/Program\ Files/Kestro\ Demo
OUT=$BUILD/demo
SHOTS=$OUT/screenshots
rm -rf "$OUT" "$TARGET"
mkdir -p "$OUT" "$SHOTS"

echo "== Packing demo/product into DemoSetup.exe"
"$BUILD/native/tools/kpack/kpack" \
  --stub "$WIN/src/stub/kestro-stub.exe" --out "$OUT/DemoSetup.exe" \
  --languages "$ROOT/demo/languages.ini" \
  --info-file KestroDemo.info --agent-name KestroDemo.AutoUpdate.exe \
  --busy-bar --space auto \
  --dir "$ROOT/demo/product" \
  --file "kengine.exe=$WIN/tools/kengine/kengine.exe" --engine kengine.exe \
  --engine-switches "/Target=$TARGET_WIN /Product=Kestro Demo /WorkMs=5000"
ls -l "$OUT/DemoSetup.exe"

# Wine shows a window's caption as its X window name.
shoot() {  # shoot CAPTION FILE DELAY: waits for the window, photographs it
  local caption=$1 file=$2 delay=$3 id=""
  for _ in $(seq 200); do
    id=$(xdotool search --onlyvisible --name "$caption" 2>/dev/null | head -1 || true)
    [ -n "$id" ] && break
    sleep 0.05
  done
  [ -z "$id" ] && { echo "   (no window \"$caption\" to photograph)"; return 0; }
  sleep "$delay"
  import -window root -crop "$(xdotool getwindowgeometry "$id" |
    awk '/Position/{split($2,p,",")} /Geometry/{split($2,g,"x")} END{printf "%dx%d+%d+%d", g[1]+16, g[2]+16, p[1]-8, p[2]-8}')" \
    "$file" 2>/dev/null || import -window root "$file"
  echo "   screenshot: $file"
}

echo "== Running DemoSetup.exe under Wine (display $DISPLAY)"
(cd "$OUT" && code=0 && "$KESTRO_WINE" DemoSetup.exe </dev/null >"$OUT/run.log" 2>&1 || code=$?; echo $code >"$OUT/exit-code") &
runner=$!
# The stub's window: after its first second the files are out and the bar full.
shoot "Kestro Demo Setup" "$SHOTS/setup-progress.png" 1.6
shoot "Installing Kestro Demo" "$SHOTS/engine-progress.png" 2.5
wait $runner
code=$(cat "$OUT/exit-code")

echo "== Result"
echo "   setup exit code: $code"
echo "   screenshots in $SHOTS"
echo "   installed in $TARGET_WIN:"
(cd "$TARGET" 2>/dev/null && find . -type f ! -name kengine.log | sort | sed 's|^\./|     |')
if [ "$code" = 0 ] && diff -r -x kengine.log "$ROOT/demo/product" "$TARGET" >/dev/null 2>&1; then
  echo "The Kestro Demo product is installed."
else
  echo "The demo installation FAILED."
  exit 1
fi

echo "== Web setup: DemoWebSetup.exe fetches DemoSetup.exe from nginx on 127.0.0.1"
# The package is the setup file itself, packed again with the web token
# that ties it to its web setup; nginx serves the folder as a publisher would.
# The web setup lies alone in its folder, as a user downloads it: a setup
# file beside it would be used in place of the download.
mkdir -p "$OUT/www" "$OUT/web"
"$BUILD/native/tools/kpack/kpack" \
  --stub "$WIN/src/stub/kestro-stub.exe" --out "$OUT/www/DemoSetup.exe" \
  --languages "$ROOT/demo/languages.ini" --busy-bar --space auto --web-token demo-web-token \
  --dir "$ROOT/demo/product" \
  --file "kengine.exe=$WIN/tools/kengine/kengine.exe" --engine kengine.exe \
  --engine-switches "/Target=$TARGET_WIN /Product=Kestro Demo /WorkMs=2000" >/dev/null
port=$("$ROOT/scripts/nginx-serve.sh" start "$OUT/www" "$OUT/nginx")
trap '"$ROOT/scripts/nginx-serve.sh" stop "$OUT/nginx"; wine_down' EXIT
"$BUILD/native/tools/kpack/kpack" \
  --stub "$WIN/src/stub/kestro-stub.exe" --out "$OUT/web/DemoWebSetup.exe" \
  --languages "$ROOT/demo/languages.ini" --web-setup \
  --web-source "http://127.0.0.1:$port" --web-package DemoSetup.exe \
  --web-token demo-web-token --web-size "$(stat -c %s "$OUT/www/DemoSetup.exe")" >/dev/null
ls -l "$OUT/web/DemoWebSetup.exe" "$OUT/www/DemoSetup.exe"
rm -rf "$TARGET"
# A box nobody answers ends the run after two minutes.
(cd "$OUT/web" && code=0 && timeout 120 "$KESTRO_WINE" DemoWebSetup.exe </dev/null >"$OUT/web-run.log" 2>&1 || code=$?; echo $code >"$OUT/web-exit-code")
code=$(cat "$OUT/web-exit-code")
echo "   web setup exit code: $code"
grep -o '"GET /DemoSetup.exe[^"]*" [0-9]* [0-9]* "[^"]*" "[^"]*"' "$OUT/nginx/access.log" | sed 's/^/   nginx: /' || true
if [ "$code" = 0 ] && diff -r -x kengine.log "$ROOT/demo/product" "$TARGET" >/dev/null 2>&1; then
  echo "The Kestro Demo product is installed through the web setup."
else
  echo "The web setup installation FAILED."
  exit 1
fi

echo "== Update: Kestro Demo 2 is published on nginx; the running product's agent installs it"
source "$ROOT/scripts/demo-update.sh"
