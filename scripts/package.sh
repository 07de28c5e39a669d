#!/usr/bin/env bash
# Builds the exe that ships (32-bit, for every Windows from XP SP3 to 11) and
# packs it with the README, the deployment guide (docs/), LICENSE,
# THIRD-PARTY-NOTICES.txt and the bill of materials Wendelmarquistone.spdx.json
# into dist/Wendelmarquistone-<version>-Windows.zip. The notices and the bill
# (SPDX 2.3) are written by scripts/third-party.py from the exe's link map and
# the installed packages. Beside the zip: the exe alone and the bill (the same
# bytes as in the zip) and SHA256SUMS, the SHA-256 of the three in the format
# `sha256sum -c` reads, so that an administrator can check what was published.
#
# The zip is reproducible like the exe (see wm_reproducible_mingw_program in
# cmake/Settings.cmake): its entries are in a fixed order, with fixed
# permissions, no extra fields, and dated with the time the exe is dated with
# (the commit's, or SOURCE_DATE_EPOCH), so the same commit gives the same zip;
# the bill of materials is dated with that time too.
#
#   scripts/package.sh [--sign CERT.pfx [--timestamp URL]] [--build-dir DIR] [--output DIR]
#
# --sign CERT.pfx   Signs the exe with Authenticode (osslsigncode) before it is
#                   zipped: a SHA-1 signature, with a SHA-256 one nested in it
#                   (see "Signing and rebuilding a release" in CONTRIBUTING.md); the sums are of
#                   the signed files. The PKCS#12 file's password is read from
#                   the environment variable WM_SIGN_PASSWORD (it may be empty,
#                   but must be set) and handed to osslsigncode through a pipe,
#                   so that it is on no command line (which any user can read
#                   with ps) and in no file. A wrong password or a certificate
#                   that cannot be read stops the script with exit status 1,
#                   and no package is left in the output folder.
# --timestamp URL   Adds an RFC 3161 time stamp from that server to both
#                   signatures, so that they stay valid after the certificate
#                   expires. Needs the server to be reachable.
# --build-dir DIR   Packs the program already built in DIR (a Windows build
#                   folder, e.g. build/windows-x86 or the shipped program's own)
#                   instead of building the windows-x86 preset.
# --output DIR      Where the package goes (default dist).
set -euo pipefail

fail() {
  echo "package: $*" >&2
  exit 1
}

absolute() { # paths given are relative to the caller's folder
  case $1 in
  /*) echo "$1" ;;
  *) echo "$PWD/$1" ;;
  esac
}

cert=
timestamp_url=
build_dir=
out=
while [ $# -gt 0 ]; do
  case $1 in
  --sign | --timestamp | --build-dir | --output)
    [ $# -ge 2 ] || fail "$1 needs a value"
    case $1 in
    --sign) cert=$(absolute "$2") ;;
    --timestamp) timestamp_url=$2 ;;
    --build-dir) build_dir=$(absolute "$2") ;;
    --output) out=$(absolute "$2") ;;
    esac
    shift 2
    ;;
  *) fail "unknown argument \"$1\" (usage: package.sh [--sign CERT.pfx [--timestamp URL]]" \
    "[--build-dir DIR] [--output DIR])" ;;
  esac
done
if [ -n "$timestamp_url" ] && [ -z "$cert" ]; then
  fail "--timestamp needs --sign"
fi

cd "$(dirname "$0")/.."
out=${out:-$PWD/dist}
mkdir -p "$out"
# An earlier package is removed first: after a failure there is none at all,
# rather than an old one that could be taken for the new.
rm -f "$out"/Wendelmarquistone-*-Windows.zip "$out/Wendelmarquistone.exe" \
  "$out/Wendelmarquistone.spdx.json" "$out/SHA256SUMS"

# Checked before anything is built, so that a mistake costs no build.
if [ -n "$cert" ]; then
  if [ ! -f "$cert" ] || [ ! -r "$cert" ]; then
    fail "cannot read the certificate file \"$cert\""
  fi
  if [ -z "${WM_SIGN_PASSWORD+set}" ]; then
    fail "--sign needs the certificate's password in the environment variable WM_SIGN_PASSWORD"
  fi
fi
# The password stays in this shell: no program started from here inherits it.
password=${WM_SIGN_PASSWORD-}
unset WM_SIGN_PASSWORD

if [ -z "$build_dir" ]; then
  scripts/install-deps.sh windows release
  cmake --preset windows-x86 >/dev/null
  cmake --build --preset windows-x86 --target Wendelmarquistone
  build_dir=$PWD/build/windows-x86
fi
[ -f "$build_dir/source-date-epoch" ] || fail "no built program in \"$build_dir\" (source-date-epoch is missing)"
name=$(sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1/p' "$build_dir/CPackConfig.cmake")
[ -n "$name" ] || fail "no package name in \"$build_dir/CPackConfig.cmake\""
epoch=$(cat "$build_dir/source-date-epoch")
build_epoch=$epoch
version=$(sed -n 's/^#define WM_VERSION_DATE "\(.*\)"$/\1/p' "$build_dir/generated/Version.h")
[ -n "$version" ] || fail "no version in \"$build_dir/generated/Version.h\""
# A zip entry's time is an MS-DOS date, which starts in 1980 (local time,
# so zip runs in UTC).
dos_start=315532800
if [ "$epoch" -lt "$dos_start" ]; then
  epoch=$dos_start
fi

# Everything is made in a folder of its own beside the output and moved into
# place only when complete.
work=$(mktemp -d "$out/.package.XXXXXX")
trap 'rm -rf "$work"' EXIT
files=$work/files
cmake --install "$build_dir" --prefix "$files" >/dev/null
exe=$files/Wendelmarquistone.exe
unsigned_size=$(stat -c %s "$exe")

# sign DIGEST IN OUT [osslsigncode options...]: one Authenticode signature.
sign() {
  local digest=$1 in=$2 signed=$3
  shift 3
  local sign_args=(sign "$@" -pkcs12 "$cert" -h "$digest" -n Wendelmarquistone)
  if [ -n "$timestamp_url" ]; then
    sign_args+=(-ts "$timestamp_url")
  fi
  # osslsigncode reads the password from the pipe named by -readpass
  # (/dev/fd/N); printf is a shell builtin, so the password is on no command
  # line. Its messages never contain the password. A time stamp server that
  # does not answer must not hold a release up for ever.
  if ! log=$(timeout 300 osslsigncode "${sign_args[@]}" \
    -readpass <(printf '%s' "$password") -in "$in" -out "$signed" 2>&1); then
    if grep -q 'mac verify failure' <<<"$log"; then
      reason="the password in WM_SIGN_PASSWORD is wrong for \"$cert\""
    elif grep -q 'Failed to extract PKCS#12 data' <<<"$log"; then
      reason="\"$cert\" is not a PKCS#12 (.pfx) file"
    elif [ -n "$timestamp_url" ] && grep -qi 'timestamp' <<<"$log"; then
      reason="no time stamp from $timestamp_url"
    else
      reason="osslsigncode failed"
    fi
    printf '%s\n' "$log" | sed 's/^/osslsigncode: /' >&2
    fail "cannot sign the exe ($digest): $reason; no package was made"
  fi
}

if [ -n "$cert" ]; then
  # Two signatures: a SHA-1 one first, the one Windows XP and Server 2003
  # read (without their SHA-2 updates they take a SHA-256 signature for an
  # invalid one), and a SHA-256 one nested in it, which Windows 7 and later use.
  sign sha1 "$exe" "$work/signed-sha1.exe"
  sign sha256 "$work/signed-sha1.exe" "$work/signed.exe" -nest
  mv "$work/signed.exe" "$exe"
fi

# Of the exe as it ships (signed or not): what is linked into it, under which
# terms, and its bill of materials.
bom=$files/Wendelmarquistone.spdx.json
scripts/third-party.py --build-dir "$build_dir" --exe "$exe" --version "$version" \
  --epoch "$build_epoch" --notices "$files/THIRD-PARTY-NOTICES.txt" --spdx "$bom"

# Fixed permissions and times, entries sorted by name, no extra fields (-X:
# no owner ids or extra time stamps), no folder entries (-D).
find "$files" -type f -exec chmod 0644 {} + -exec touch -d "@$epoch" {} +
chmod 0755 "$exe"
(cd "$files" && find . -type f | sed 's|^\./||' | LC_ALL=C sort |
  TZ=UTC zip -X -D -9 -q -@ "$work/$name.zip")
cp -p "$exe" "$bom" "$work/"
(cd "$work" && sha256sum "$name.zip" Wendelmarquistone.exe Wendelmarquistone.spdx.json >SHA256SUMS)
# The sums last: they are there only when what they cover is.
mv "$work/$name.zip" "$work/Wendelmarquistone.exe" "$work/Wendelmarquistone.spdx.json" "$out/"
mv "$work/SHA256SUMS" "$out/"

zip=$out/$name.zip
ls -l "$zip" "$out/Wendelmarquistone.exe" "$out/Wendelmarquistone.spdx.json" "$out/SHA256SUMS"
unzip -l "$zip"
echo "Wendelmarquistone.exe in the zip: $(i686-w64-mingw32-objdump -f "$out/Wendelmarquistone.exe" |
  sed -n 's/.*file format //p')"
if [ -n "$cert" ]; then
  echo "signed (Authenticode, SHA-1 and nested SHA-256): the signatures add $(($(stat -c %s "$exe") - unsigned_size)) bytes"
fi
echo "SHA256SUMS:"
cat "$out/SHA256SUMS"
