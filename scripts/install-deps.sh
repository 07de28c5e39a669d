#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build, the tests, the
# benchmark, the licence check (reuse) and the package (signed with
# osslsigncode; its notices and bill of materials written by python3) need. Idempotent and
# non-interactive: only missing packages are installed, so a second run costs
# a few dpkg queries.
#
# Wine's 32-bit part (wine32:i386, beside wine64) runs the 32-bit exe and its
# tests. It is installed only where this machine's kernel runs 32-bit code:
# elsewhere it cannot work, and installing it would break the `wine` loader
# for 64-bit programs too. The 32-bit tests then report SKIPPED, with that
# reason.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

packages=(
  build-essential cmake ninja-build pkg-config
  googletest libgtest-dev
  clang-format
  g++-mingw-w64-i686-posix g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64
  wine wine64 fonts-wine fonts-dejavu-core
  xvfb xauth x11-utils imagemagick
  zip unzip hyperfine time strace util-linux
  osslsigncode openssl
  reuse python3
)

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing=()
for p in "${packages[@]}"; do
  if ! installed "$p"; then
    missing+=("$p")
  fi
done

wine32=no
if ! installed wine32:i386; then
  if reason=$("$here/runs-32bit-code.sh"); then
    wine32=yes
  else
    echo "install-deps: not installing Wine's 32-bit part: $reason"
  fi
fi

if [ ${#missing[@]} -eq 0 ] && [ "$wine32" = no ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
if [ "$wine32" = yes ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
  missing+=("wine32:i386")
fi
echo "install-deps: installing ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
