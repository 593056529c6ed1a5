#!/usr/bin/env bash
# Builds the release zip from the built program, signed with a throwaway
# self-signed certificate, and checks what people download: the three files,
# their sums, the user guide's Windows form, and a signature that verifies
# and that one changed byte breaks. Then the unsigned zip and the refusal of
# a certificate without its key.
# Usage: check_release.sh PROGRAM.exe LEEME.txt VERSION
set -uo pipefail
program=$1 guide=$2 version=$3
scripts=$(cd "$(dirname "$0")/../../cmake" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

unpack() {  # zip, folder
    rm -rf "$2" && mkdir -p "$2" && /usr/bin/python3 -m zipfile -e "$1" "$2"
}

openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=Tovask release test" \
    -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null || fail "no test certificate"

zip_file=$(SIGN_CERT="$work/cert.pem" SIGN_KEY="$work/key.pem" \
    "$scripts/make-release.sh" "$program" "$guide" "$version" "$work/signed")
[ "$zip_file" = "$work/signed/Tovask-$version.zip" ] || fail "zip named $zip_file"
unpack "$zip_file" "$work/signed/content"
contents=$(cd "$work/signed/content" && ls | tr '\n' ' ')
[ "$contents" = "LEEME.txt SHA256SUMS Tovask.exe " ] || fail "zip holds: $contents"
(cd "$work/signed/content" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match"
grep -q "Tovask.exe" "$work/signed/content/SHA256SUMS" || fail "SHA256SUMS has no line for the program"

content_guide="$work/signed/content/LEEME.txt"
cmp -s "$guide" "$content_guide" || fail "LEEME.txt in the zip differs from $guide"
[ "$(head -c 3 "$content_guide" | od -An -tx1 | tr -d ' ')" = "efbbbf" ] ||
    fail "LEEME.txt does not start with a UTF-8 byte order mark"
[ "$(grep -c $'\r$' "$content_guide")" = "$(wc -l < "$content_guide")" ] ||
    fail "LEEME.txt has lines without CR LF"
for backup in 'System32\drivers\etc\BackupHosts.bak' '%SystemRoot%\BackupHosts.bak' \
              'BackupRegistro.reg' 'Opciones de la línea de órdenes'; do
    grep -qF "$backup" "$content_guide" || fail "LEEME.txt does not mention $backup"
done

signed="$work/signed/content/Tovask.exe"
verified=$(osslsigncode verify -CAfile "$work/cert.pem" -in "$signed" 2>&1) ||
    fail "the signed program does not verify: $verified"
grep -qi "digest algorithm *: *SHA256" <<<"$verified" || fail "the signature's digest is not SHA-256"

# One byte in the middle of the program, well inside its code, changed.
tampered="$work/tampered.exe"
cp "$signed" "$tampered"
middle=$(($(stat -c %s "$tampered") / 2))
byte=$(od -An -tu1 -j "$middle" -N 1 "$tampered" | tr -d ' ')
printf "$(printf '\\%03o' $(((byte + 1) % 256)))" |
    dd of="$tampered" bs=1 seek="$middle" conv=notrunc status=none
cmp -s "$signed" "$tampered" && fail "the byte was not changed"
osslsigncode verify -CAfile "$work/cert.pem" -in "$tampered" >/dev/null 2>&1 &&
    fail "the signature still verifies after one byte changed"

unsigned_zip=$("$scripts/make-release.sh" "$program" "$guide" "$version" "$work/unsigned" 2>/dev/null)
unpack "$unsigned_zip" "$work/unsigned/content"
cmp -s "$program" "$work/unsigned/content/Tovask.exe" ||
    fail "without a certificate the zip does not hold the program as built"

SIGN_CERT="$work/cert.pem" "$scripts/make-release.sh" "$program" "$guide" "$version" \
    "$work/half" >/dev/null 2>&1 && fail "a certificate without its key was accepted"

[ "$failures" -eq 0 ] && echo "release checks passed"
exit $((failures > 0))
