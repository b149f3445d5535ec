#!/usr/bin/env bash
# Installs everything the build, the tests and the demo need on a new Debian
# machine. Safe to run again: it only calls apt-get when something is missing.
set -euo pipefail

need=()
have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

pkgs=(cmake make g++ zlib1g-dev libzstd-dev pkg-config googletest clang libclang-rt-14-dev
      g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
      mingw-w64-i686-dev libz-mingw-w64-dev
      wine wine32:i386 wine64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
      binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev xvfb x11-utils xdotool imagemagick nsis python3 time
      osslsigncode openssl libssl-dev nginx-light curl ccache locales procps fonts-wine)
for p in "${pkgs[@]}"; do have_pkg "$p" || need+=("$p"); done

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

# A double-byte system code page (Japanese) for the tests of code-page rules:
# Wine takes it from the Unix locale, which may have to be generated.
japanese_locale() {
  locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$' || $SUDO localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
}
[ ${#need[@]} -eq 0 ] && { japanese_locale; exit 0; }
echo "Installing: ${need[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
japanese_locale
