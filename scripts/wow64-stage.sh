#!/usr/bin/env bash
# The 32-bit stage of the test command: the shipped 32-bit stub (BUILD/win,
# the exe publishers ship) run as on users' machines, a 32-bit process on
# 64-bit Windows beside 64-bit programs: a 64-bit Wine prefix of its own
# (WoW64), and a 64-bit test program (tests/wow64, built in BUILD/win-x86_64)
# driving a few whole runs.
#
# Where the kernel runs 32-bit x86 code, WoW64 runs natively. Where it does
# not, an emulator (qemu-user) stands in, registered for 32-bit programs in
# a binfmt_misc of the stage's own (a user namespace, Linux 6.7 on), so that
# nothing else on the machine sees it; on older kernels it is registered for
# the whole machine for the stage's duration and removed afterwards.
#
#   wow64-stage.sh BUILD      after the suite; exit code 0 when the stage
#                             passed or could not run (it says why in one line)
#   KESTRO_WOW64_MODE=emulated  the emulator even where 32-bit code runs natively
#   KESTRO_WOW64_MODE=off       no stage
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "$1" && pwd)
JOBS=${JOBS:-$(nproc)}
MODE=${KESTRO_WOW64_MODE:-}
source "$ROOT/scripts/wine-env.sh"
STAGE_START=${KESTRO_STAGE_START:-$(date +%s)}
export KESTRO_STAGE_START=$STAGE_START
say() { echo "== 32-bit stage [+$(($(date +%s) - STAGE_START)) s] $*"; }
MISC=/proc/sys/fs/binfmt_misc

# ---- the emulator --------------------------------------------------------------
# Wine reserves its address space with MAP_FIXED_NOREPLACE; qemu before 8.1
# ignores that flag, and each 32-bit process then spends 50 s and more in
# tens of thousands of misplaced reservations before its exe loads. 8.1 and
# later honour it (two calls): such a qemu is what the stage uses.
QEMU=""
usable_qemu() {
  local q v
  for q in /usr/bin/qemu-i386 /usr/bin/qemu-i386-static; do
    [ -x "$q" ] || continue
    v=$("$q" --version 2>/dev/null | sed -n '1s/.*version \([0-9]*\)\.\([0-9]*\).*/\1 \2/p')
    set -- $v
    if [ $# -eq 2 ] && { [ "$1" -gt 8 ] || { [ "$1" -eq 8 ] && [ "$2" -ge 1 ]; }; }; then
      QEMU=$q
      return 0
    fi
  done
  return 1
}

# Debian's qemu-user from the release, or from its backports where the
# release's own is older (Debian 12 has 7.2).
install_qemu() {
  command -v apt-get >/dev/null 2>&1 && [ "$(id -u)" -eq 0 ] || return 1
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends qemu-user >/dev/null 2>&1 || true
  usable_qemu && return 0
  local codename
  codename=$(. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")
  [ -n "$codename" ] || return 1
  if ! grep -rqs "$codename-backports" /etc/apt/sources.list /etc/apt/sources.list.d/; then
    printf 'Types: deb\nURIs: http://deb.debian.org/debian\nSuites: %s-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      "$codename" >/etc/apt/sources.list.d/kestro-backports.sources
  fi
  apt-get update -qq >/dev/null 2>&1 || true
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    -t "$codename-backports" qemu-user >/dev/null 2>&1 || true
  usable_qemu
}

# Registers the emulator for 32-bit x86 executables (ELF type 2 or 3,
# machine 3) in the binfmt_misc mounted at $MISC.
HANDLER=""
register() {
  printf '%s' ":kestro-i386:M::\\x7f\\x45\\x4c\\x46\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\xfc\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$QEMU:F" \
    >"$MISC/register" 2>/dev/null || return 1
  HANDLER=kestro-i386
}
unregister() {
  [ -n "$HANDLER" ] && [ -f "$MISC/$HANDLER" ] && echo -1 >"$MISC/$HANDLER" 2>/dev/null || true
  HANDLER=""
}

# A binfmt_misc of the stage's own: true when this kernel mounts one inside
# a user namespace.
private_binfmt_works() {
  unshare --user --map-root-user --mount sh -c "mount -t binfmt_misc binfmt_misc $MISC" 2>/dev/null
}

# What the processes did, every 30 s: the CPU time of an emulated process
# tells a slow emulator (it grows) from a 32-bit program that waits (it
# stands still).
WATCH_PID=""
watch_processes() {
  local log=$1
  : >"$log"
  while sleep 30; do
    echo "-- $(date +%T)   pid  elapsed  cpu  command"
    ps -eo pid,etimes,times,args --no-headers | grep -i "[q]emu-i386\|\.exe" | cut -c1-160
  done >>"$log" 2>&1 &
  WATCH_PID=$!
}

stop_stage() {
  [ -n "$WATCH_PID" ] && kill "$WATCH_PID" 2>/dev/null || true
  wine_down
  unregister
}

# ---- choosing how 32-bit code runs ---------------------------------------------
[ "$MODE" = off ] && { echo "== 32-bit stage skipped (KESTRO_WOW64_MODE=off)."; exit 0; }
if [ -z "${KESTRO_WOW64_INSIDE:-}" ]; then
  if [ "$MODE" != emulated ] && kestro_runs_i386_natively; then
    MODE=native
  else
    MODE=emulated
    if ! usable_qemu && ! install_qemu; then
      echo "== 32-bit stage skipped: no qemu-user 8.1 or later could be installed to run 32-bit x86 code here."
      exit 0
    fi
    if private_binfmt_works; then
      # The rest of the stage runs in a namespace whose binfmt_misc is its own.
      export KESTRO_WOW64_INSIDE=private KESTRO_WOW64_MODE=emulated
      exec unshare --user --map-root-user --mount "$0" "$@"
    fi
    export KESTRO_WOW64_INSIDE=machine
  fi
fi

# The test program is 64-bit; it packs and starts the shipped 32-bit build.
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="$ROOT" CCACHE_NOHASHDIR=1
  KESTRO_CMAKE_ARGS=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
win_build "$BUILD/win-x86_64" x86_64 -j "$JOBS" --target wow64_shipped_stub_test

export WINEARCH=win64 KESTRO_WINE=/usr/lib/wine/wine64 WINELOADER=/usr/lib/wine/wine64
export WINEPREFIX=$BUILD/wineprefix-wow64
trap stop_stage EXIT
case "${KESTRO_WOW64_INSIDE:-}" in
  private)
    usable_qemu
    mount -t binfmt_misc binfmt_misc "$MISC" && register ||
      { echo "== 32-bit stage skipped: the emulator could not be registered in the stage's own binfmt_misc."; exit 0; }
    say "32-bit programs run through $QEMU ($("$QEMU" --version | head -1)), registered for this stage only"
    ;;
  machine)
    # Registered for the whole machine: only while this stage runs.
    usable_qemu
    [ -f "$MISC/register" ] || mount -t binfmt_misc binfmt_misc "$MISC" 2>/dev/null || true
    if ! kestro_i386_handler >/dev/null && ! register; then
      echo "== 32-bit stage skipped: no emulator could be registered for 32-bit programs (binfmt_misc)."
      exit 0
    fi
    say "32-bit programs run through $(kestro_i386_handler), registered for the machine until the stage ends"
    ;;
  *) say "32-bit programs run natively (WoW64 as on 64-bit Windows)" ;;
esac

[ -f "$WINEPREFIX/system.reg" ] && fresh=0 || fresh=1
wine_up "$BUILD"
[ $fresh -eq 1 ] && say "64-bit prefix with 32-bit support created in $WINEPREFIX" || say "prefix ready"

# Signed and unsigned setups around the shipped stub (signing is a Linux tool).
bash "$ROOT/tests/e2e/sign_setups.sh" "$BUILD/win-x86_64" "$BUILD/win/src/stub/kestro-stub.exe" \
  "$BUILD/win-x86_64/wow64/signed" >/dev/null
say "setups packed around the shipped stub and signed"

watch_processes "$BUILD/wow64-processes.log"
status=0
ctest --test-dir "$BUILD/win-x86_64" -L wow64 -V || status=1
if [ $status -ne 0 ]; then
  echo "-- processes every 30 s (an emulated one whose CPU time grows is slow; one whose time stands waits):"
  tail -40 "$BUILD/wow64-processes.log"
fi
say "done"
exit $status
