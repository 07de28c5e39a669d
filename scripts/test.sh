#!/usr/bin/env bash
# Installs what is missing, checks the formatting and that every file has a
# licence (reuse lint), then configures, builds and tests every build:
# native, native with AddressSanitizer/UBSan, and the two Windows cross
# builds (32-bit, the exe that ships, and 64-bit) with their tests under Wine
# and their release checks. Warnings are errors here.
#   scripts/test.sh [preset...]     (default: native native-asan windows-x86 windows)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh native checks windows wine wine32 tests release

presets=("$@")
if [ ${#presets[@]} -eq 0 ]; then
  presets=(native native-asan windows-x86 windows)
fi

echo "== clang-format"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

# Every file's copyright and licence are known (.reuse/dep5); a new file at
# the top, or a new folder, fails here until it is added there.
echo "== reuse lint"
reuse lint

notes=()
test_presets=$(ctest --list-presets)
for preset in "${presets[@]}"; do
  echo "== $preset: configure"
  cmake --preset "$preset" -DWM_WERROR=ON >/dev/null
  echo "== $preset: build"
  cmake --build --preset "$preset"
  echo "== $preset: test"
  ctest --preset "$preset"
  # The release checks (the reproducible build, the signed package), which
  # the test presets a developer runs while working leave out.
  if grep -q "^ *\"$preset-release\"" <<<"$test_presets"; then
    echo "== $preset: release checks"
    ctest --preset "$preset-release"
  fi
  # Whether Wine ran this build's programs, or why its tests were skipped.
  if [ -f "build/$preset/wine/verdict" ]; then
    notes+=("$preset: Wine: $(cat "build/$preset/wine/verdict")")
  fi
done
for note in "${notes[@]}"; do
  echo "== $note"
done
echo "== all builds passed: ${presets[*]}"
# Said last, where nobody misses it: the exe that ships was not run here.
verdict=$(cat build/windows-x86/wine/verdict 2>/dev/null || true)
if [[ " ${presets[*]} " == *" windows-x86 "* ]] && [ "${verdict%%:*}" = skip ]; then
  echo "== NOT TESTED: the shipped exe (32-bit) was built and checked (its header, the XP load"
  echo "   check) but never run, and its runtime tests were skipped: ${verdict#*: }"
fi
