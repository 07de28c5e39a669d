#!/usr/bin/env bash
# The whole signing flow of scripts/package.sh, with a throw-away code-signing
# certificate made here with openssl: a wrong password and a file that is not
# a PKCS#12 file each stop it with a clear message and leave no package (not
# even an earlier one); with the right password, the exe in the zip carries a
# SHA-1 Authenticode signature (the one Windows XP reads) and a SHA-256 one
# nested in it, both verifying against the certificate, is
# the build's exe once the signature is removed, still passes the Windows XP
# load check, and SHA256SUMS checks; the notices and the bill of materials
# are those of the signed exe (check-package.sh). The password is in no
# output.
#   signed-package.sh SOURCE_DIR BUILD_DIR OBJDUMP XP_EXPORTS_LIST
set -euo pipefail
source_dir=$1
build_dir=$2
objdump=$3
xp_exports=$4
work=$(mktemp -d "$build_dir/signed-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
out=$work/dist

password="test-$(od -An -N12 -tx1 /dev/urandom | tr -d ' \n')"
wrong_password="wrong-$(od -An -N12 -tx1 /dev/urandom | tr -d ' \n')"
export WM_SIGN_PASSWORD=$password
if ! openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 \
  -subj "/CN=Wendelmarquistone test signer" -addext "extendedKeyUsage=codeSigning" \
  -addext "keyUsage=critical,digitalSignature" >openssl.log 2>&1 ||
  ! openssl pkcs12 -export -inkey key.pem -in cert.pem -out test.pfx \
    -passout env:WM_SIGN_PASSWORD >>openssl.log 2>&1; then
  cat openssl.log
  echo "FAIL: openssl could not make the test certificate"
  exit 1
fi

status=0
package() { # log-file package.sh-arguments...
  local log=$1
  shift
  local result=0
  "$source_dir/scripts/package.sh" --build-dir "$build_dir" --output "$out" "$@" >"$log" 2>&1 ||
    result=$?
  cat "$log"
  if grep -qF -e "$password" -e "$wrong_password" "$log"; then
    echo "FAIL: the password is in package.sh's output"
    status=1
  fi
  return $result
}
expect_refusal() { # what message-pattern package.sh-arguments...
  local what=$1 pattern=$2
  shift 2
  mkdir -p "$out"
  touch "$out/Wendelmarquistone-0-Windows.zip" "$out/Wendelmarquistone.spdx.json" \
    "$out/SHA256SUMS" # an earlier package
  echo "== $what"
  if package refused.log "$@"; then
    echo "FAIL: $what: package.sh succeeded"
    status=1
  elif ! grep -q "^package: .*$pattern" refused.log; then
    echo "FAIL: $what: no message saying \"$pattern\""
    status=1
  fi
  if [ -n "$(ls -A "$out")" ]; then
    echo "FAIL: $what: left in the output folder: $(ls -A "$out")"
    status=1
  fi
}

WM_SIGN_PASSWORD=$wrong_password expect_refusal "wrong password" "password .* is wrong" \
  --sign test.pfx
expect_refusal "not a PKCS#12 file" "not a PKCS#12" --sign cert.pem
expect_refusal "no certificate file" "cannot read the certificate" --sign missing.pfx

echo "== signed"
if ! package signed.log --sign test.pfx; then
  echo "FAIL: package.sh --sign failed"
  exit 1
fi
zip=$(ls "$out"/Wendelmarquistone-*-Windows.zip)
unzip -p "$zip" Wendelmarquistone.exe >signed.exe
# Each signature's index and digest, as "0 SHA1 1 SHA256 ".
if ! osslsigncode verify -CAfile cert.pem -in signed.exe >verify.log 2>&1 ||
  [ "$(awk '/^Signature Index:/ { index_ = $3 }
    /^Message digest algorithm  *:/ { printf "%s %s ", index_, $NF }' verify.log)" != "0 SHA1 1 SHA256 " ] ||
  [ "$(grep -c "^Signature verification: ok" verify.log)" != 2 ] ||
  ! grep -q "^Number of verified signatures: 2$" verify.log; then
  cat verify.log
  echo "FAIL: the zipped exe has not a SHA-1 signature and a nested SHA-256 one, both verifying" \
    "against the certificate"
  status=1
fi
osslsigncode remove-signature -in signed.exe -out unsigned.exe >/dev/null
if ! cmp unsigned.exe "$build_dir/Wendelmarquistone.exe"; then
  echo "FAIL: without its signature, the zipped exe is not the build's exe"
  status=1
fi
echo "the signatures add $(($(stat -c %s signed.exe) - $(stat -c %s unsigned.exe))) bytes"
if ! cmp signed.exe "$out/Wendelmarquistone.exe"; then
  echo "FAIL: the exe beside the zip is not the one in it"
  status=1
fi
if ! (cd "$out" && sha256sum -c SHA256SUMS) || ! grep -qF "  $(basename "$zip")" "$out/SHA256SUMS"; then
  echo "FAIL: SHA256SUMS does not check, or does not cover the zip"
  status=1
fi
if ! "$source_dir/tests/release/check-imports.sh" "$objdump" signed.exe "$xp_exports"; then
  echo "FAIL: the signed exe fails the Windows XP load check"
  status=1
fi
# The notices and the bill of materials, of the signed exe.
"$source_dir/tests/release/check-package.sh" "$out" "$build_dir" "$source_dir" "$objdump" ||
  status=1
exit $status
