#!/usr/bin/env bash
# The shipped program is reproducible. Built twice from these sources, one
# build after the other in two build folders whose paths differ (in length
# too), it is the same exe byte for byte; its PE time stamp is the time
# SOURCE_DATE_EPOCH or else the commit gives (0 outside a git checkout); no
# path of the source or build folders is in it; and scripts/package.sh makes
# the same zip from each, with what an administrator is owed in it (LICENSE,
# the third-party notices and the bill of materials, check-package.sh). Only
# the program is built, as the shipped program's build makes it (its toolchain
# file, its build type).
#   reproducible-build.sh SOURCE_DIR GENERATOR TOOLCHAIN_FILE BUILD_TYPE OBJDUMP WORK_DIR
set -euo pipefail
source_dir=$1
generator=$2
toolchain=$3
build_type=$4
objdump=$5
work=$(mktemp -d "$6/reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2}

build() { # folder
  if ! { cmake -S "$source_dir" -B "$1" -G "$generator" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE="$build_type" -DWM_BUILD_TESTS=OFF &&
    cmake --build "$1" --target Wendelmarquistone; } >"$1.log" 2>&1; then
    cat "$1.log"
    echo "FAIL: the build in $1 failed"
    exit 1
  fi
}

first=$work/a
second=$work/second-build-folder
build "$first"
build "$second"
a=$first/Wendelmarquistone.exe
b=$second/Wendelmarquistone.exe
sha256sum "$a" "$b"
if ! cmp "$a" "$b"; then
  echo "FAIL: the two builds differ in $(cmp -l "$a" "$b" | wc -l) bytes; their headers:"
  diff <("$objdump" -p "$a") <("$objdump" -p "$b") || true
  exit 1
fi

if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
  expected=$SOURCE_DATE_EPOCH
elif ! expected=$(git -C "$source_dir" log -1 --format=%ct 2>/dev/null); then
  expected=0
fi
# The PE header starts where the DOS header's e_lfanew (at 0x3c) says; its
# link time stamp is 8 bytes into it, 4 bytes little-endian.
u32() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }
stamp=$(u32 "$a" $(($(u32 "$a" 60) + 8)))
echo "PE time stamp: $stamp ($(date -u -d "@$stamp"))"
if [ "$stamp" != "$expected" ]; then
  echo "FAIL: the PE time stamp is $stamp, not $expected (SOURCE_DATE_EPOCH, else the commit's date)"
  exit 1
fi

if paths=$(strings -a "$a" | grep -F -e "$source_dir" -e "$work"); then
  echo "FAIL: the exe holds a build path:"
  echo "$paths"
  exit 1
fi

for build_dir in "$first" "$second"; do
  if ! "$source_dir/scripts/package.sh" --build-dir "$build_dir" --output "$build_dir/dist" \
    >"$build_dir/package.log" 2>&1; then
    cat "$build_dir/package.log"
    echo "FAIL: package.sh failed for $build_dir"
    exit 1
  fi
done
zips=("$first"/dist/*.zip "$second"/dist/*.zip)
sha256sum "${zips[@]}"
if ! cmp "${zips[@]}"; then
  echo "FAIL: package.sh made two different zips from the same program"
  exit 1
fi
"$(dirname "$0")/check-package.sh" "$first/dist" "$first" "$source_dir" "$objdump"
echo "PASS: the same exe and the same zip from two build folders"
