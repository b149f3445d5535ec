# Sourced by the project's scripts: a Wine prefix inside the build tree, a
# virtual X display and a persistent wineserver.
#   wine_up BUILD_DIR   starts what is missing (idempotent)
#   wine_down           stops what wine_up started
KESTRO_ROOT=${KESTRO_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Which Windows the tests run on. The product is a 32-bit exe, and where the
# machine runs 32-bit x86 code natively the tests run that very build under
# 32-bit Wine. Some kernels (virtual machines without 32-bit compat mode)
# cannot: 32-bit code there only runs through an emulator, too slow for a test
# suite, so the Windows tree is built for x86_64 and runs under 64-bit Wine;
# the 32-bit product is still built. KESTRO_WIN_ARCH=i686|x86_64 overrides.
kestro_win_arch() {
  if [ -n "${KESTRO_WIN_ARCH:-}" ]; then echo "$KESTRO_WIN_ARCH"; return; fi
  if kestro_runs_i386_natively; then echo i686; else echo x86_64; fi
}

# The name of an enabled binfmt_misc handler for 32-bit x86 programs (an
# emulator, whatever its entry is called: the 32-bit stage registers one of
# its own for its duration); fails when there is none.
KESTRO_I386_ELF_MAGIC=7f454c46010101000000000000000000020003
kestro_i386_handler() {
  local f
  for f in /proc/sys/fs/binfmt_misc/*; do
    [ -f "$f" ] && head -1 "$f" 2>/dev/null | grep -qx enabled || continue
    grep -q "^magic $KESTRO_I386_ELF_MAGIC" "$f" 2>/dev/null && { basename "$f"; return 0; }
  done
  return 1
}

# True where the kernel runs 32-bit x86 code itself: Wine's 32-bit loader
# starts while no emulator stands in for the kernel.
kestro_runs_i386_natively() {
  ! kestro_i386_handler >/dev/null && /usr/lib/wine/wine --version >/dev/null 2>&1
}
KESTRO_WIN_ARCH=$(kestro_win_arch)
export KESTRO_WIN_ARCH
if [ "$KESTRO_WIN_ARCH" = x86_64 ]; then
  export WINEARCH=win64
  export KESTRO_WINE=/usr/lib/wine/wine64 WINELOADER=/usr/lib/wine/wine64
else
  export WINEARCH=win32
  export KESTRO_WINE=wine
fi

wine_up() {
  local build=${1:-$KESTRO_ROOT/build}
  mkdir -p "$build"
  # One prefix per architecture: a 32-bit prefix cannot serve 64-bit Wine.
  export WINEPREFIX=${WINEPREFIX:-$build/wineprefix-$KESTRO_WIN_ARCH}
  if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    local n=$(( ($$ % 400) + 100 ))
    while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    KESTRO_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix in $WINEPREFIX (about 20 s, once)"
    "$KESTRO_WINE" wineboot -i </dev/null >/dev/null 2>&1 || true
    # A CD-ROM drive R: (a folder of the build) lets the disc-eject code reach
    # a real CD device; Wine reads drive types when its server starts.
    mkdir -p "$build/wine-cdrom"
    ln -sfn "$build/wine-cdrom" "$WINEPREFIX/dosdevices/r:"
    "$KESTRO_WINE" reg add 'HKLM\Software\Wine\Drives' /v 'r:' /d cdrom /f </dev/null >/dev/null 2>&1 || true
    # This Wine build does not look into its own font folder: without Marlett
    # captions lose their close glyph. Only Marlett: Wine's own Tahoma has no
    # Hebrew or Arabic, while the face it falls back to has them.
    cp -n /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    wineserver -k </dev/null >/dev/null 2>&1 || true
  fi
  # A persistent server with detached streams: otherwise Wine's services keep
  # the test runner's pipes open and ctest never ends.
  wineserver -p </dev/null >/dev/null 2>&1 || true
  "$KESTRO_WINE" wineboot </dev/null >/dev/null 2>&1 || true
  # No window manager runs on the virtual display: unmanaged windows spare
  # the 2-second wait Wine makes for a manager to withdraw each closed window.
  if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    "$KESTRO_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || true
  fi
  # A crashing test program must end, not wait in the crash dialog of the
  # debugger (which holds ctest's pipes until the time-out).
  if ! grep -q '"ShowCrashDialog"=dword:00000000' "$WINEPREFIX/user.reg" 2>/dev/null; then
    "$KESTRO_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1 || true
  fi
  KESTRO_WINE_UP=1
}

wine_down() {
  if [ -n "${KESTRO_WINE_UP:-}" ]; then
    wineserver -k </dev/null >/dev/null 2>&1 || true
    unset KESTRO_WINE_UP
  fi
  if [ -n "${KESTRO_XVFB_PID:-}" ]; then
    kill "$KESTRO_XVFB_PID" 2>/dev/null || true
    wait "$KESTRO_XVFB_PID" 2>/dev/null || true
    unset KESTRO_XVFB_PID
  fi
}

# The Windows build trees under a build root: BUILD/win is always the 32-bit
# product, the stub a publisher ships. Where Wine runs x86_64 here, what Wine
# runs (the tests, the demo, the benchmarks) is a 64-bit build of the same
# sources in BUILD/win-x86_64, never shipped.
win_run_tree() {
  if [ "$KESTRO_WIN_ARCH" = i686 ]; then echo "$1/win"; else echo "$1/win-$KESTRO_WIN_ARCH"; fi
}

# win_build DIR ARCH [cmake --build options]: configures DIR (Release) for
# ARCH's MinGW toolchain and builds it; KESTRO_CMAKE_ARGS (an array) adds to
# the configure line.
win_build() {
  local dir=$1 arch=$2
  shift 2
  win_tree_for_arch "$dir" "$arch"
  cmake -S "$KESTRO_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$KESTRO_ROOT/cmake/toolchain-mingw-${arch}.cmake" \
        ${KESTRO_CMAKE_ARGS[@]+"${KESTRO_CMAKE_ARGS[@]}"} >/dev/null
  cmake --build "$dir" "$@"
}

# A Windows build tree configured for the other architecture is started anew
# (CMake cannot change the compiler of an existing tree).
win_tree_for_arch() {
  local dir=$1 arch=${2:-$KESTRO_WIN_ARCH}
  if [ -f "$dir/CMakeCache.txt" ] &&
     ! grep -q "^CMAKE_TOOLCHAIN_FILE:.*toolchain-mingw-${arch}\.cmake" "$dir/CMakeCache.txt"; then
    echo "Starting $dir anew for $arch"
    rm -rf "$dir"
  fi
}
