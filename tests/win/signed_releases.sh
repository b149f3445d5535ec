#!/bin/sh
# Makes the signed releases the Windows tests verify: two keys, two setup
# files of one product (versions 2 and 3), each published with kpack under
# key A, and version 3 once more under key B. Runs natively before the Wine
# tests (kpack signs with OpenSSL, which the Windows build does not have).
set -eu
KPACK=$1 STUB=$2 OUT=$3
if [ ! -x "$KPACK" ]; then
  echo "native kpack not found at $KPACK (build the native tree first)" >&2
  exit 1
fi
rm -rf "$OUT"
mkdir -p "$OUT/payload2" "$OUT/payload3" "$OUT/build2" "$OUT/build3"
"$KPACK" keygen "$OUT/A" >/dev/null
"$KPACK" keygen "$OUT/B" >/dev/null
printf 'release 2\r\n' >"$OUT/payload2/readme.txt"
printf 'release 3\r\n' >"$OUT/payload3/readme.txt"
printf '|%s|x|y|<B>Release 3</B> is out.' "$("$KPACK" --scramble PRODUCT-1)" >"$OUT/News.txt"
cat >"$OUT/release.ini" <<'INI'
[NewSetup]
ProgramName=Signed Product
RunningProcess=<TargetDir>\Product.exe
ShutDownMethod=Using WM_CLOSE
[AutoInform]
DownloadURL_INFORM=http://127.0.0.1/download
INI
for v in 2 3; do
  "$KPACK" --stub "$STUB" --out "$OUT/build$v/Setup.exe" --dir "$OUT/payload$v" \
    --update-url "http://127.0.0.1/product" --info-file Product.info --agent-name Agent.exe \
    --product-token PRODUCT-1 --creates-agent --public-key "$OUT/A.pub" >/dev/null
  "$KPACK" publish --key "$OUT/A.key" --update "$OUT/build$v/Setup.exe" --version $v --stamp $((v * 10)) \
    --settings "$OUT/release.ini" --inform "$OUT/News.txt" --out "$OUT/r$v" >/dev/null
done
"$KPACK" publish --key "$OUT/B.key" --update "$OUT/build3/Setup.exe" --version 3 --stamp 30 \
  --settings "$OUT/release.ini" --out "$OUT/r3b" >/dev/null 2>&1
echo "signed releases in $OUT"
