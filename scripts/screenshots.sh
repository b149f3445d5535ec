#!/usr/bin/env bash
# Photographs the windows a user sees, under Wine on a virtual display, into
# docs/screenshots/: the two progress windows of the demo setup and the
# update agent's question (taken by the demo command in the build tree and
# copied here), the error box, a Yes/No
# question with its bold heading, a right-to-left (Hebrew) box and the text
# box with its link button.
# Not part of the test command; run it after changing how a window looks.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${KESTRO_BUILD:-$ROOT/build}
OUT=$ROOT/docs/screenshots

"$ROOT/scripts/deps.sh"
"$ROOT/scripts/demo.sh"
mkdir -p "$OUT"
cp "$BUILD/demo/screenshots/setup-progress.png" "$BUILD/demo/screenshots/engine-progress.png" \
   "$BUILD/demo/screenshots/update-question.png" "$OUT/"

source "$ROOT/scripts/wine-env.sh"
trap wine_down EXIT

WIN=$(win_run_tree "$BUILD")
win_build "$WIN" "$KESTRO_WIN_ARCH" --target ui_shots -j "${JOBS:-2}"

# The Hebrew box needs a Hebrew system code page: Wine takes it from the
# Unix locale, which may have to be generated first.
if ! locale -a 2>/dev/null | grep -qi '^he_IL\.utf-\?8$'; then
  localedef -i he_IL -f UTF-8 he_IL.UTF-8
fi

wine_up "$BUILD"
mkdir -p "$OUT"
cd "$WIN"

# shot KIND FILE [LOCALE]: the helper shows the window and writes KIND.rect
# once it is up; the screen is cropped to that rectangle.
shot() {
  local kind=$1 file=$2 locale=${3:-C.UTF-8}
  rm -f "$kind.rect"
  LC_ALL=$locale "$KESTRO_WINE" ./ui_shots.exe "$kind" &
  local pid=$!
  for _ in $(seq 100); do [ -s "$kind.rect" ] && break; sleep 0.1; done
  if [ ! -s "$kind.rect" ]; then
    echo "no $kind window appeared" >&2
    wait "$pid" || true
    return 1
  fi
  read -r x y w h <"$kind.rect"
  import -window root -display "$DISPLAY" -crop "${w}x${h}+${x}+${y}" +repage "$OUT/$file"
  wait "$pid" || true
  echo "$OUT/$file (${w}x${h})"
}

shot error msgbox-error.png
shot question msgbox-question.png
shot rtl msgbox-rtl.png he_IL.UTF-8
shot textbox textbox.png

# The announcement as a user meets it: the real agent file, packed by kpack,
# finds a release with AutoInform=1 in a server folder on its first tick and
# shows the INFORM file's text. The window is found by its title on the X
# display; the agent is ended once it is photographed.
announcement() {
  local dir=$BUILD/shots/announcement
  rm -rf "$dir"
  mkdir -p "$dir/server"
  local win_dir="Z:${dir//\//\\}"
  "$KESTRO_WINE" tools/kpack/kpack.exe --stub src/stub/kestro-stub.exe \
    --out "$win_dir\\X_Product.AutoUpdate.exe" --agent --unsigned-agent --update-url "$win_dir\\server" \
    --info-file Product.info --agent-name Product.AutoUpdate.exe --product-token demo >/dev/null
  local token
  token=$("$KESTRO_WINE" tools/kpack/kpack.exe --scramble demo | tr -d '\r\n')
  printf '|%s|||Kestro Demo 2.1 is available.\r\n\r\nWhat is new:\r\n  - Faster start-up on large folders.\r\n  - Fixed: the progress window kept its old caption after a language change.\r\n\r\nPress the button below to open the download page.' \
    "$token" >"$dir/server/News.txt"
  printf '[NewSetup]\r\nDownloadURL_UPDATE=%s\r\nVersionNew=2\r\nStamp=2\r\n[General]\r\nAutoInform=1\r\n[AutoInform]\r\nNameOfInformFile=News.txt\r\nSizeOfInformFile=%s\r\nDownloadURL_INFORM=https://www.example.com/download\r\nAutoInformW=460\r\nAutoInformH=300\r\n' \
    "$win_dir\\server" "$(stat -c %s "$dir/server/News.txt")" >"$dir/server/Product.info"
  printf '[OriginalSetup]\r\nVersionOriginal=1\r\nStamp=1\r\nProbeSecondsInterval=3600\r\n[AutoUpdate]\r\ns34=Kestro Demo - New Version\r\ns35=Open the download page\r\n' \
    >"$dir/Product.original"
  "$KESTRO_WINE" "$dir/X_Product.AutoUpdate.exe" /SleepX=0 &
  local pid=$! geometry=""
  for _ in $(seq 300); do
    geometry=$(xwininfo -root -tree | sed -n 's/.*"Kestro Demo - New Version": ([^)]*)  \([0-9]*x[0-9]*+[0-9]*+[0-9]*\).*/\1/p' | head -1)
    [ -n "$geometry" ] && break
    sleep 0.1
  done
  if [ -z "$geometry" ]; then
    echo "no announcement window appeared" >&2
    kill "$pid" 2>/dev/null || true
    return 1
  fi
  sleep 0.5  # the text control paints after the window maps
  import -window root -display "$DISPLAY" -crop "$geometry" +repage "$OUT/announcement.png"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo "$OUT/announcement.png (${geometry%%+*})"
}
announcement
