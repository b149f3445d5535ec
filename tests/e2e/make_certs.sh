#!/bin/sh
# Throw-away certificates for the HTTPS tests: two test CAs, each with a
# server certificate for the name "localhost" (the name a test addresses its
# nginx by; certificates for IP addresses are not matched). A test helper
# adds the "trusted" CA (its DER form) to the Wine prefix's root store; the
# "untrusted" one is never added.
set -eu
OUT=$1
rm -rf "$OUT"
mkdir -p "$OUT"
printf 'subjectAltName=DNS:localhost\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' >"$OUT/server.ext"
for ca in trusted untrusted; do
  openssl req -x509 -newkey rsa:2048 -nodes -days 30 -sha256 -subj "/CN=Kestro test CA $ca" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
    -keyout "$OUT/$ca-ca.key" -out "$OUT/$ca-ca.pem" 2>/dev/null
  openssl x509 -in "$OUT/$ca-ca.pem" -outform DER -out "$OUT/$ca-ca.der"
  openssl req -new -newkey rsa:2048 -nodes -sha256 -subj "/CN=localhost" \
    -keyout "$OUT/$ca-server.key" -out "$OUT/$ca-server.csr" 2>/dev/null
  openssl x509 -req -in "$OUT/$ca-server.csr" -CA "$OUT/$ca-ca.pem" -CAkey "$OUT/$ca-ca.key" \
    -CAcreateserial -days 30 -sha256 -extfile "$OUT/server.ext" -out "$OUT/$ca-server.pem" 2>/dev/null
done
echo "test certificates in $OUT"
