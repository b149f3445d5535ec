#!/usr/bin/env bash
# Setup files signed the way a publisher signs them, for the Windows test
# signed_setup_test: the built stub packed by the built packager, then signed
# with osslsigncode and a throw-away code-signing certificate and accepted by
# osslsigncode verify. The signing tool is a Linux program and a Windows test
# under Wine cannot start and wait for one, so this runs first, on the host.
#
#   sign_setups.sh BUILD_DIR [STUB OUT]   writes OUT (BUILD_DIR/e2e/signed/)
#   around STUB (BUILD_DIR's own; the 32-bit stage names the shipped one):
#     payload/            what every setup installs (besides the engine)
#     unsigned/setup.exe  packed without --sign-ready, not signed
#     signed/setup.exe    packed with --sign-ready, then signed
#     volumes/setup.exe   the same in volumes (setup.exe.002, ...), the first signed
# The wine environment (prefix, display) is the test run's.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=$(cd "$1" && pwd)
STUB=${2:-$BUILD/src/stub/kestro-stub.exe}
OUT=${3:-$BUILD/e2e/signed}

rm -rf "$OUT"
mkdir -p "$OUT/payload/bin" "$OUT/unsigned" "$OUT/signed" "$OUT/volumes"
printf 'Read me.\r\n' >"$OUT/payload/readme.txt"
# Stored, and larger than the first volume's room for files.
head -c 150000 /dev/urandom >"$OUT/payload/bin/blob.dat"

# The path a program under Wine sees (Wine maps the root to drive Z:).
win() { local p=${1//\//\\}; echo "Z:$p"; }

kpack() {
  "$ROOT/scripts/wine-run" "$BUILD/tools/kpack/kpack.exe" \
    --stub "$(win "$STUB")" --store \
    --file "kengine.exe=$(win "$BUILD/tools/kengine/kengine.exe")" --engine kengine.exe \
    --engine-switches /ExitCode=5 --dir "$(win "$OUT/payload")" \
    --update-url http://127.0.0.1/upd --info-file Product.info \
    --agent-name Product.AutoUpdate.exe --product-token tok --creates-agent --unsigned-agent "$@"
}

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Kestro test publisher" \
  -addext extendedKeyUsage=codeSigning \
  -keyout "$OUT/publisher.key" -out "$OUT/publisher.crt" 2>/dev/null

sign() {
  local file=$1
  mv "$file" "$file.unsigned"
  osslsigncode sign -certs "$OUT/publisher.crt" -key "$OUT/publisher.key" -h sha256 \
    -n "Kestro test setup" -in "$file.unsigned" -out "$file" >"$OUT/sign.log" 2>&1 ||
    { cat "$OUT/sign.log"; exit 1; }
  rm "$file.unsigned"
  osslsigncode verify -CAfile "$OUT/publisher.crt" -in "$file" >"$OUT/verify.log" 2>&1 ||
    { cat "$OUT/verify.log"; exit 1; }
}

kpack --out "$(win "$OUT/unsigned/setup.exe")"
kpack --out "$(win "$OUT/signed/setup.exe")" --sign-ready
sign "$OUT/signed/setup.exe"
kpack --out "$(win "$OUT/volumes/setup.exe")" --sign-ready \
  --volume-size $(($(stat -c %s "$STUB") + 65536))
sign "$OUT/volumes/setup.exe"
[ -f "$OUT/volumes/setup.exe.002" ] || { echo "the package did not span volumes"; exit 1; }
echo "signed and verified: $OUT/signed/setup.exe, $OUT/volumes/setup.exe"
