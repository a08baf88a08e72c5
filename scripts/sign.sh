#!/usr/bin/env bash
# sign.sh INPUT OUTPUT: Authenticode-signs a Windows program with osslsigncode.
# With SIGN_CERT and SIGN_KEY set, signs with that certificate; otherwise makes (once) a
# self-signed test certificate in SIGN_WORK_DIR and signs with it.
set -euo pipefail
in=$1 out=$2
work=${SIGN_WORK_DIR:-$(dirname "$out")/signing}
mkdir -p "$work"

cert=${SIGN_CERT:-} key=${SIGN_KEY:-}
if [ -z "$cert" ] || [ -z "$key" ]; then
  cert=$work/test-cert.pem key=$work/test-key.pem
  if [ ! -s "$cert" ] || [ ! -s "$key" ]; then
    openssl req -x509 -newkey rsa:3072 -sha256 -days 3650 -nodes \
      -subj "/CN=Veloquin Setup Test Signing/O=Veloquin Setup developers" \
      -addext "extendedKeyUsage=codeSigning" -addext "keyUsage=digitalSignature" \
      -keyout "$key" -out "$cert" 2>/dev/null
  fi
fi

args=(sign -certs "$cert" -key "$key" -h sha256
      -n "Veloquin Bulgarian Spellchecker - Setup" -in "$in" -out "$out.tmp")
if [ -n "${SIGN_PASS_FILE:-}" ]; then args+=(-readpass "$SIGN_PASS_FILE"); fi
rm -f "$out.tmp"
osslsigncode "${args[@]}" >/dev/null
mv -f "$out.tmp" "$out"
