#!/usr/bin/env bash
# Measures what a run costs: a full run (banner, file write, fifteen registry
# operations) against an empty program built the same way, natively and under
# Wine, plus the batch-file way of doing the same job with reg.exe under Wine.
# Prints mean times, ratios, peak memory and the exe's size.
#   scripts/benchmark.sh [runs]      (default 30 runs of each command)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=${1:-30}

scripts/install-deps.sh
for preset in native windows; do
  if [ ! -x "build/$preset/empty_program" ] && [ ! -f "build/$preset/empty_program.exe" ]; then
    cmake --preset "$preset" >/dev/null
  fi
  cmake --build --preset "$preset" --target Wendelmarquistone empty_program >/dev/null
done

work=$(mktemp -d)
trap 'scripts/wine-env.sh stop "$work/wine" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
mkdir -p "$work/home/.config"

mean() { python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["results"][0]["mean"])' "$1"; }
peak_kb() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }
bench() { # name json command...
  local json=$1; shift
  hyperfine --runs "$runs" --warmup 3 -N --export-json "$json" --style none "$@" >/dev/null 2>&1 ||
    hyperfine --runs "$runs" --warmup 3 --export-json "$json" --style none "$@" >/dev/null
}

echo "== native (Linux), $runs runs each"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
bench "$work/n-full.json" "$root/build/native/Wendelmarquistone server1 jsmith"
bench "$work/n-empty.json" "$root/build/native/empty_program"
n_full=$(mean "$work/n-full.json"); n_empty=$(mean "$work/n-empty.json")
n_peak=$(peak_kb "$root/build/native/Wendelmarquistone" server1 jsmith)
n_peak_empty=$(peak_kb "$root/build/native/empty_program")

echo "== Windows exe under Wine (persistent wineserver), $runs runs each"
scripts/wine-env.sh start "$work/wine" >/dev/null
run="$root/scripts/wine-run.sh $work/wine"
cp bench/import-profile.bat "$work/"
$run "$root/build/windows/Wendelmarquistone.exe" server1 jsmith >/dev/null
appdata=$($run cmd /c echo %APPDATA% | tr -d '\r')
unix_appdata=$(WINEPREFIX=$work/wine/prefix WINEDEBUG=-all winepath -u "$appdata" 2>/dev/null)
cp "$unix_appdata/outlook.prf" "$work/outlook.prf"
bench "$work/w-full.json" "$run $root/build/windows/Wendelmarquistone.exe server1 jsmith"
bench "$work/w-empty.json" "$run $root/build/windows/empty_program.exe"
bench "$work/w-batch.json" "$run cmd /c $work/import-profile.bat"
w_full=$(mean "$work/w-full.json"); w_empty=$(mean "$work/w-empty.json")
w_batch=$(mean "$work/w-batch.json")
w_peak=$(peak_kb $run "$root/build/windows/Wendelmarquistone.exe" server1 jsmith)
w_peak_empty=$(peak_kb $run "$root/build/windows/empty_program.exe")

size=$(stat -c %s build/windows/Wendelmarquistone.exe)
python3 - "$n_full" "$n_empty" "$w_full" "$w_empty" "$w_batch" "$n_peak" "$n_peak_empty" \
  "$w_peak" "$w_peak_empty" "$size" <<'PY'
import sys
nf, ne, wf, we, wb = (float(x) for x in sys.argv[1:6])
npk, npe, wpk, wpe, size = (int(x) for x in sys.argv[6:11])
ms = lambda s: f"{s * 1000:8.2f} ms"
print()
print(f"{'':34}{'mean':>11}  {'ratio':>7}  {'peak RSS':>10}")
print(f"{'native: full run':34}{ms(nf)}  {nf / ne:6.2f}x  {npk:7d} KB")
print(f"{'native: empty program':34}{ms(ne)}  {1:6.2f}x  {npe:7d} KB")
print(f"{'Wine: full run':34}{ms(wf)}  {wf / we:6.2f}x  {wpk:7d} KB")
print(f"{'Wine: empty program':34}{ms(we)}  {1:6.2f}x  {wpe:7d} KB")
print(f"{'Wine: batch file with reg.exe':34}{ms(wb)}  {wb / we:6.2f}x")
print()
print(f"Wendelmarquistone.exe: {size} bytes ({size / 1024:.0f} KiB)")
print("(peak RSS under Wine is that of the Wine loader process running the exe)")
PY
