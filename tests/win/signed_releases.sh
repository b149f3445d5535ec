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
  --settings "$OUT/release.ini" --rotate-key "$OUT/A.pub" --out "$OUT/r3b" >/dev/null 2>&1
# Releases the agent of PRODUCT-1 (Product.info) must refuse although key A
# signed them: version 5 of another product (its token), one published under
# another .INFO name, and one that expired.
mkdir -p "$OUT/build5"
"$KPACK" --stub "$STUB" --out "$OUT/build5/Setup.exe" --dir "$OUT/payload3" \
  --update-url "http://127.0.0.1/product" --info-file Product.info --agent-name Agent.exe \
  --product-token PRODUCT-2 --creates-agent --public-key "$OUT/A.pub" >/dev/null
"$KPACK" publish --key "$OUT/A.key" --update "$OUT/build5/Setup.exe" --version 5 --stamp 50 \
  --settings "$OUT/release.ini" --out "$OUT/other-token" >/dev/null
"$KPACK" publish --key "$OUT/A.key" --update "$OUT/build3/Setup.exe" --version 5 --stamp 50 \
  --settings "$OUT/release.ini" --info-name Other.info --out "$OUT/other-name" >/dev/null
mv "$OUT/other-name/Other.info" "$OUT/other-name/Product.info"
mv "$OUT/other-name/Other.info.sig" "$OUT/other-name/Product.info.sig"
"$KPACK" publish --key "$OUT/A.key" --update "$OUT/build3/Setup.exe" --version 5 --stamp 50 \
  --settings "$OUT/release.ini" --expires 2021-06-30 --out "$OUT/expired" >/dev/null 2>&1
# Release 2 as a kpack without the product binding wrote it, signed by key A.
mkdir -p "$OUT/unbound2"
grep -v -e '^SHA256OfProduct=' -e '^Expires=' "$OUT/r2/Product.info" \
  >"$OUT/unbound2/Product.info"
openssl dgst -sha256 -sign "$OUT/A.key" -out "$OUT/unbound2/Product.info.sig" "$OUT/unbound2/Product.info"
echo "signed releases in $OUT"
