#!/usr/bin/env bash
# Builds the Windows exe and packs it with the README into
# dist/Wendelmarquistone-20070621-Windows.zip.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target Wendelmarquistone
mkdir -p dist
(cd build/windows && cpack -G ZIP -B "$PWD/../../dist" >/dev/null)
rm -rf dist/_CPack_Packages
ls -l dist/*.zip
unzip -l dist/Wendelmarquistone-20070621-Windows.zip
