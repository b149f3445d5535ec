#!/usr/bin/env bash
# Photographs the windows a user sees, under Wine on a virtual display, into
# docs/screenshots/: the two progress windows of the demo setup (taken by the
# demo command in the build tree and copied here), the error box, a Yes/No
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
cp "$BUILD/demo/screenshots/setup-progress.png" "$BUILD/demo/screenshots/engine-progress.png" "$OUT/"

source "$ROOT/scripts/wine-env.sh"
trap wine_down EXIT

win_tree_for_arch "$BUILD/win"
cmake -S "$ROOT" -B "$BUILD/win" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-${KESTRO_WIN_ARCH}.cmake" >/dev/null
cmake --build "$BUILD/win" --target ui_shots -j "${JOBS:-2}"

# The Hebrew box needs a Hebrew system code page: Wine takes it from the
# Unix locale, which may have to be generated first.
if ! locale -a 2>/dev/null | grep -qi '^he_IL\.utf-\?8$'; then
  localedef -i he_IL -f UTF-8 he_IL.UTF-8
fi

wine_up "$BUILD"
mkdir -p "$OUT"
cd "$BUILD/win"

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
