#!/usr/bin/env bash
# Installs what is missing, then configures, builds and tests all three
# builds: native, native with AddressSanitizer/UBSan, and the Windows cross
# build with its tests under Wine. Warnings are errors here.
#   scripts/test.sh [preset...]     (default: native native-asan windows)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

presets=("$@")
if [ ${#presets[@]} -eq 0 ]; then
  presets=(native native-asan windows)
fi

echo "== clang-format"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

for preset in "${presets[@]}"; do
  echo "== $preset: configure"
  cmake --preset "$preset" -DWM_WERROR=ON >/dev/null
  echo "== $preset: build"
  cmake --build --preset "$preset"
  echo "== $preset: test"
  ctest --preset "$preset"
done
echo "== all builds passed: ${presets[*]}"
