# Sourced by the project's scripts: a Wine prefix inside the build tree, a
# virtual X display and a persistent wineserver.
#   wine_up BUILD_DIR   starts what is missing (idempotent)
#   wine_down           stops what wine_up started
KESTRO_ROOT=${KESTRO_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win32

wine_up() {
  local build=${1:-$KESTRO_ROOT/build}
  mkdir -p "$build"
  export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
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
    wineboot -i </dev/null >/dev/null 2>&1 || true
    # A CD-ROM drive R: (a folder of the build) lets the disc-eject code reach
    # a real CD device; Wine reads drive types when its server starts.
    mkdir -p "$build/wine-cdrom"
    ln -sfn "$build/wine-cdrom" "$WINEPREFIX/dosdevices/r:"
    wine reg add 'HKLM\Software\Wine\Drives' /v 'r:' /d cdrom /f </dev/null >/dev/null 2>&1 || true
    # This Wine build does not look into its own font folder: without Marlett
    # captions lose their close glyph. Only Marlett: Wine's own Tahoma has no
    # Hebrew or Arabic, while the face it falls back to has them.
    cp -n /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    wineserver -k </dev/null >/dev/null 2>&1 || true
  fi
  # A persistent server with detached streams: otherwise Wine's services keep
  # the test runner's pipes open and ctest never ends.
  wineserver -p </dev/null >/dev/null 2>&1 || true
  wine wineboot </dev/null >/dev/null 2>&1 || true
  # No window manager runs on the virtual display: unmanaged windows spare
  # the 2-second wait Wine makes for a manager to withdraw each closed window.
  if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || true
  fi
  # A crashing test program must end, not wait in the crash dialog of the
  # debugger (which holds ctest's pipes until the time-out).
  if ! grep -q '"ShowCrashDialog"=dword:00000000' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1 || true
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
