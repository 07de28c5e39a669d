#!/usr/bin/env bash
# Builds the exe that ships (32-bit, for every Windows from XP SP3 to 11) and
# packs it with the README and the deployment guide (docs/) into
# dist/Wendelmarquistone-<version>-Windows.zip.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset windows-x86 >/dev/null
cmake --build --preset windows-x86 --target Wendelmarquistone
mkdir -p dist
rm -f dist/Wendelmarquistone-*-Windows.zip
(cd build/windows-x86 && cpack -G ZIP -B "$PWD/../../dist" >/dev/null)
rm -rf dist/_CPack_Packages
zip=$(ls dist/Wendelmarquistone-*-Windows.zip)
ls -l "$zip"
unzip -l "$zip"
unzip -p "$zip" Wendelmarquistone.exe >build/windows-x86/packed.exe
echo "Wendelmarquistone.exe in the zip: $(i686-w64-mingw32-objdump -f build/windows-x86/packed.exe |
  sed -n 's/.*file format //p')"
rm -f build/windows-x86/packed.exe
