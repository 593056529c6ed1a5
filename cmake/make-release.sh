#!/usr/bin/env bash
# `make release`: the zip that people download, with the program (signed when
# SIGN_CERT and SIGN_KEY name a certificate and its key), the user guide and
# the SHA-256 sums of both. Prints the zip's path.
# Usage: make-release.sh PROGRAM.exe LEEME.txt VERSION OUTPUT_FOLDER
set -euo pipefail
[ $# -eq 4 ] || { echo "usage: make-release.sh PROGRAM.exe LEEME.txt VERSION FOLDER" >&2; exit 2; }
program=$(realpath "$1") guide=$(realpath "$2") version=$3 output=$4
sign_cert=${SIGN_CERT:-} sign_key=${SIGN_KEY:-}

if { [ -n "$sign_cert" ] && [ -z "$sign_key" ]; } || { [ -z "$sign_cert" ] && [ -n "$sign_key" ]; }; then
    echo "make-release.sh: SIGN_CERT and SIGN_KEY go together" >&2
    exit 2
fi

staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
if [ -n "$sign_cert" ]; then
    "$(dirname "$0")/sign-program.sh" "$sign_cert" "$sign_key" "$program" "$staging/Tovask.exe"
else
    echo "make-release.sh: SIGN_CERT and SIGN_KEY are not set; the program is not signed" >&2
    cp "$program" "$staging/Tovask.exe"
fi
cp "$guide" "$staging/LEEME.txt"
(cd "$staging" && sha256sum Tovask.exe LEEME.txt > SHA256SUMS)

mkdir -p "$output"
zip_file="$(realpath "$output")/Tovask-$version.zip"
rm -f "$zip_file"
(cd "$staging" && zip -q -X "$zip_file" Tovask.exe LEEME.txt SHA256SUMS)
echo "$zip_file"
