#!/usr/bin/env bash
# Measures what a run costs: a full run (banner, file write, fifteen registry
# operations) against an empty program built the same way, natively and under
# Wine for both Windows exes (32-bit, the one that ships, and 64-bit), plus
# the batch-file way of doing the same job with reg.exe under Wine.
# Prints mean times, ratios, peak memory and the exes' sizes, all measured in
# this one invocation. Where this machine cannot run 32-bit programs, the
# 32-bit exe is left out with the reason.
#   scripts/benchmark.sh [runs]      (default 30 runs of each command)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=${1:-30}

scripts/install-deps.sh >/dev/null
for preset in native windows-x86 windows; do
  if [ ! -f "build/$preset/build.ninja" ]; then
    cmake --preset "$preset" >/dev/null
  fi
  cmake --build --preset "$preset" --target Wendelmarquistone empty_program >/dev/null
done

work=$(mktemp -d)
trap 'scripts/wine.sh stop "$work/wine" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
mkdir -p "$work/home/.config"

mean() { python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["results"][0]["mean"])' "$1"; }
peak_kb() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }
bench() { # json-file command...: times the command, results into json-file
  local json=$1
  shift
  hyperfine --runs "$runs" --warmup 3 -N --export-json "$json" --style none "$*" >/dev/null 2>&1 ||
    hyperfine --runs "$runs" --warmup 3 --export-json "$json" --style none "$*" >/dev/null
}
rows=()
row() { # label mean-seconds baseline-seconds peak-KB
  rows+=("$1|$2|$3|$4")
}

echo "== native (Linux), $runs runs each"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
bench "$work/n-full.json" "$root/build/native/Wendelmarquistone" server1 jsmith
bench "$work/n-empty.json" "$root/build/native/empty_program"
n_empty=$(mean "$work/n-empty.json")
row "native: full run" "$(mean "$work/n-full.json")" "$n_empty" \
  "$(peak_kb "$root/build/native/Wendelmarquistone" server1 jsmith)"
row "native: empty program" "$n_empty" "$n_empty" "$(peak_kb "$root/build/native/empty_program")"

echo "== Windows exes under Wine (persistent wineserver), $runs runs each"
scripts/wine.sh start "$work/wine" >/dev/null
run=("$root/scripts/wine.sh" run "$work/wine")
declare -A sizes
for preset in windows-x86 windows; do
  exe=$root/build/$preset/Wendelmarquistone.exe
  empty=$root/build/$preset/empty_program.exe
  bits=64
  [ "$preset" = windows-x86 ] && bits=32
  sizes[$bits]=$(stat -c %s "$exe")
  if [ "$bits" = 32 ] && ! reason=$(scripts/runs-32bit-code.sh); then
    echo "   (32-bit exe not measured: $reason)"
    continue
  fi
  bench "$work/w$bits-full.json" "${run[@]}" "$exe" server1 jsmith
  bench "$work/w$bits-empty.json" "${run[@]}" "$empty"
  w_empty=$(mean "$work/w$bits-empty.json")
  row "Wine: full run, $bits-bit exe" "$(mean "$work/w$bits-full.json")" "$w_empty" \
    "$(peak_kb "${run[@]}" "$exe" server1 jsmith)"
  row "Wine: empty $bits-bit exe" "$w_empty" "$w_empty" "$(peak_kb "${run[@]}" "$empty")"
  baseline=$w_empty
done

# The batch file copies a prepared profile: the one the tool wrote.
cp bench/import-profile.bat "$work/"
"${run[@]}" "$root/build/windows/Wendelmarquistone.exe" server1 jsmith >/dev/null
appdata=$("${run[@]}" cmd /c echo %APPDATA% | tr -d '\r')
unix_appdata=$("${run[@]}" winepath -u "$appdata" 2>/dev/null)
cp "$unix_appdata/outlook.prf" "$work/outlook.prf"
bench "$work/w-batch.json" "${run[@]}" cmd /c "$work/import-profile.bat"
row "Wine: batch file with reg.exe" "$(mean "$work/w-batch.json")" "$baseline" ""

echo
printf '%-34s%11s  %7s  %10s\n' "" mean "ratio" "peak RSS"
for r in "${rows[@]}"; do
  IFS='|' read -r label seconds base peak <<<"$r"
  python3 -c 'import sys
label, s, b, peak = sys.argv[1], float(sys.argv[2]), float(sys.argv[3]), sys.argv[4]
print(f"{label:34}{s * 1000:8.2f} ms  {s / b:6.2f}x  " + (f"{int(peak):7d} KB" if peak else ""))' \
    "$label" "$seconds" "$base" "$peak"
done
echo "(the batch file's ratio is to the empty exe measured last; peak RSS under"
echo " Wine is that of the Wine loader process running the exe)"
echo
for bits in 32 64; do
  echo "Wendelmarquistone.exe, $bits-bit: ${sizes[$bits]} bytes ($((sizes[$bits] / 1024)) KiB)"
done
