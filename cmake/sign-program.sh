#!/usr/bin/env bash
# Signs a Windows program with Authenticode (SHA-256) and verifies the
# signature against the signing certificate before anything ships it.
# Usage: sign-program.sh CERTIFICATE.pem KEY.pem PROGRAM.exe SIGNED.exe
set -euo pipefail
[ $# -eq 4 ] || { echo "usage: sign-program.sh CERT KEY PROGRAM.exe SIGNED.exe" >&2; exit 2; }
certificate=$1 key=$2 program=$3 signed=$4

rm -f "$signed"
osslsigncode sign -certs "$certificate" -key "$key" -h sha256 \
    -n "Tovask" -in "$program" -out "$signed" >/dev/null
# The certificate is its own trust anchor here: what is checked is that the
# file carries an intact signature made with this key, not who vouches for it.
if ! osslsigncode verify -CAfile "$certificate" -in "$signed" >/dev/null; then
    rm -f "$signed"
    echo "sign-program.sh: the signature of $signed does not verify" >&2
    exit 1
fi
