#!/usr/bin/env bash
# scripts/package.sh --sign with a throw-away certificate made here with
# openssl (self-signed, for code signing): mirotex.dll and calsvar.exe, in
# the zip and in the package, and the package itself carry a signature that
# osslsigncode verifies against that certificate. A wrong password is
# refused. The unsigned build (UNSIGNED-ZIP, from the same build tree) has
# no signature at all.
#
#   tests/release/signed_package.sh UNSIGNED-ZIP
# The certificate and the signed files stay in build/sign-check.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$root/scripts/lib/common.sh"
source "$root/tests/release/checks.sh"
cd "$root"

unsigned_zip=$(realpath "${1:?usage: signed_package.sh UNSIGNED-ZIP}")
work=build/sign-check
rm -rf "$work"
mkdir -p "$work/unsigned" "$work/zip" "$work/msi"

openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
  -subj "/CN=Mirotex throw-away test signer" -addext "extendedKeyUsage=codeSigning" 2>"$work/openssl.log" &&
  openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/signer.pfx" \
    -passout pass:throw-away 2>>"$work/openssl.log" ||
  { fail "openssl could not make a certificate"; cat "$work/openssl.log"; }

check "--sign with a wrong password was not refused" \
  bash -c '! MIROTEX_SIGN_PASSWORD=wrong scripts/package.sh --sign "$1" --out "$2" >/dev/null 2>&1' _ "$work/signer.pfx" "$work/wrong"
mapfile -t signed < <(MIROTEX_SIGN_PASSWORD=throw-away scripts/package.sh --sign "$work/signer.pfx" --out "$work/signed")
((${#signed[@]} == 2)) || fail "scripts/package.sh --sign failed"

verified() {  # verified FILE: osslsigncode finds a valid signature by the throw-away certificate
  osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >"$1.verify" 2>&1
}
if ((${#signed[@]} == 2)); then
  unzip -q "${signed[0]}" mirotex.dll calsvar.exe -d "$work/zip"
  msiextract -C "$work/msi" "${signed[1]}" >/dev/null
  for file in "$work/zip/mirotex.dll" "$work/zip/calsvar.exe" "$(find "$work/msi" -name mirotex.dll)" \
    "$(find "$work/msi" -name calsvar.exe)" "${signed[1]}"; do
    check "no valid signature on $file (see $file.verify)" verified "$file"
  done
fi
unzip -q "$unsigned_zip" mirotex.dll -d "$work/unsigned"
check "the unsigned build's mirotex.dll has a signature" bash -c '! osslsigncode verify -in "$1" >/dev/null 2>&1' _ \
  "$work/unsigned/mirotex.dll"

finish_checks
