#!/usr/bin/env bash
# Measures what a run costs, against the goal that a normal run under Wine
# (`server1 jsmith`: banner, file write, the registry changes for every Office
# version the tool knows) costs at most 1.10 times the floor: a program built
# the same way that only starts and looks up the roaming folder as the program
# does (bench/FloorProgram.cpp).
# Measured for both Windows exes, 32-bit (the one that ships; left out, with
# the reason, where this machine runs no 32-bit code) and 64-bit, each against
# its own floor, in a Wine environment with a persistent wineserver and
# desktop, together with the program's start-up alone (a RUNONCE run that
# finds the profile there and does nothing else). Beside them, for scale: an
# empty program built the same way (also natively, for the Linux build), and
# the batch-file way of doing the job with reg.exe under Wine.
#
# The commands of one comparison take turns, each round in a new random order,
# so that work of others on the machine falls on all of them alike. A
# program's cost is the median of its paired ratios: its time in a round over
# its baseline's in the same round (the floor, for a Windows exe), with a 95%
# interval (a bootstrap of that median). The floor is also set against itself,
# a second copy of it in every round, and that ratio's interval is what this
# machine can resolve now. The verdict on the goal is "within" when the whole
# interval is at or below it, "above" when the whole interval is over it, and
# "cannot tell on this machine now" when the interval straddles it or the
# floor against itself strays from 1.00x by as much as the margin (10%). The
# load average is printed before and after. A measurement, not a test: it
# fails on no ratio. hyperfine is not used for the timing: it runs all of one
# command's runs before the next command's, so it gives no pairs of adjacent
# runs of two programs, and a slower minute of the machine falls on one alone.
# A Wine start here varies by about a third from run to run, independently of
# the runs beside it, so it takes about 200 rounds for the interval to come
# within a few per cent. The batch file, ten times slower and only there for
# scale, takes a tenth of the rounds (at least 10).
# With --against, the exes of another build (another commit's build folder,
# holding windows-x86/ and windows/) take their turns in the same rounds: its
# full run and start-up alone, against the same floor, so that a change is
# measured before and after under the same load. The last lines give each
# exe's bytes.
#   scripts/benchmark.sh [rounds] [--against BUILD_DIR]      (default 200)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=200
against=
while [ $# -gt 0 ]; do
  case $1 in
  --against)
    against=$(cd "$2" && pwd)
    shift 2
    ;;
  *)
    runs=$1
    shift
    ;;
  esac
done
goal=1.10

scripts/install-deps.sh native windows wine wine32 bench
for preset in native windows-x86 windows; do
  if [ ! -f "build/$preset/build.ninja" ]; then
    cmake --preset "$preset" >/dev/null
  fi
  targets=(Wendelmarquistone empty_program)
  [ "$preset" = native ] || targets+=(floor_program)
  cmake --build --preset "$preset" --target "${targets[@]}" >/dev/null
done

work=$(mktemp -d)
trap 'scripts/wine.sh stop "$work/wine" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
mkdir -p "$work/home/.config"

# take_turns RESULT BASELINE LABEL COMMAND [LABEL COMMAND...]: runs the
# commands in turn, 3 rounds to warm up and $runs measured, each round in a new
# random order. RESULT gets one line per command: label, mean, median and 10th
# percentile in seconds, and its paired ratio to BASELINE's label in the same
# rounds (median, interval low, interval high), "|"-separated.
take_turns() {
  local result=$1
  shift
  python3 - "${rounds:-$runs}" "$@" >"$result" <<'EOF'
import random, shlex, statistics, subprocess, sys, time
runs, baseline = int(sys.argv[1]), sys.argv[2]
commands = list(zip(sys.argv[3::2], sys.argv[4::2]))
times = {label: [] for label, _ in commands}
order = random.Random(20070621)
for round in range(runs + 3):
    order.shuffle(commands)
    for label, command in commands:
        start = time.perf_counter()
        subprocess.run(shlex.split(command), stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if round >= 3:
            times[label].append(time.perf_counter() - start)
resample = random.Random(1)
for label in times:
    ratios = [a / b for a, b in zip(times[label], times[baseline])]
    medians = sorted(statistics.median(resample.choices(ratios, k=len(ratios)))
                     for _ in range(2000))
    ordered = sorted(times[label])
    print("|".join(str(x) for x in [
        label, statistics.mean(ordered), statistics.median(ordered),
        ordered[(len(ordered) - 1) // 10], statistics.median(ratios),
        medians[50], medians[1949]]))
EOF
}
command_line() { printf '%q ' "$@"; }
peak_kb() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null </dev/null | tail -1; }
field_of() { # RESULT LABEL FIELD: one field of a command's line (1 is its label)
  awk -F'|' -v l="$2" -v f="$3" '$1 == l {print $f}' "$1"
}

ratio_of() { # RESULT LABEL: a command's ratio to its baseline, with its interval
  printf '%.2fx [%.2f, %.2f]' "$(field_of "$1" "$2" 5)" "$(field_of "$1" "$2" 6)" "$(field_of "$1" "$2" 7)"
}

rows=() # label|mean|median|10th percentile|ratio|low|high|peak KB
goals=()
add_rows() { # RESULT [LABEL PEAK-KB...]
  local result=$1
  shift
  while [ $# -gt 0 ]; do
    rows+=("$(awk -F'|' -v l="$1" '$1 == l' "$result")|$2")
    shift 2
  done
}
load() { cut -d' ' -f1-3 /proc/loadavg; }

echo "== load average before: $(load) (2 cores)"
echo "== native (Linux), $runs rounds"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
native=$root/build/native
take_turns "$work/native" "native: empty program" \
  "native: full run" "$(command_line "$native/Wendelmarquistone" server1 jsmith)" \
  "native: empty program" "$(command_line "$native/empty_program")"
add_rows "$work/native" \
  "native: full run" "$(peak_kb "$native/Wendelmarquistone" server1 jsmith)" \
  "native: empty program" "$(peak_kb "$native/empty_program")"

echo "== Windows exes under Wine (persistent wineserver and desktop), $runs rounds"
scripts/wine.sh start "$work/wine" >/dev/null
run=("$root/scripts/wine.sh" run "$work/wine")
declare -A sizes
shipped_floor=
for preset in windows-x86 windows; do
  dir=$root/build/$preset
  bits=64
  [ "$preset" = windows-x86 ] && bits=32
  sizes[$bits]=$(stat -c %s "$dir/Wendelmarquistone.exe")
  if [ "$bits" = 32 ] && ! reason=$(scripts/runs-32bit-code.sh); then
    echo "   (32-bit exe not measured: $reason)"
    continue
  fi
  # Without Wine's 32-bit part a 32-bit exe ends at once, having run nothing.
  if [ "$bits" = 32 ] && ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null |
    grep -q "install ok installed"; then
    echo "   (32-bit exe not measured: $(scripts/install-deps.sh --wine32-reason ||
      echo "Wine's 32-bit part (wine32:i386) is not installed"))"
    continue
  fi
  full="Wine, $bits-bit: full run"
  idle="Wine, $bits-bit: RUNONCE, done"
  floor="Wine, $bits-bit: floor"
  again="Wine, $bits-bit: floor, again"
  empty="Wine, $bits-bit: empty program"
  # The run with nothing to do (RUNONCE, the profile there from the full run
  # before it) is the program's start-up alone: set against the full run, it
  # tells a slower start from a slower write.
  other=()
  if [ -n "$against" ]; then
    sizes[${bits}against]=$(stat -c %s "$against/$preset/Wendelmarquistone.exe")
    other=("$full, against" "$(command_line "${run[@]}" "$against/$preset/Wendelmarquistone.exe" \
      server1 jsmith)" "$idle, against" "$(command_line "${run[@]}" \
      "$against/$preset/Wendelmarquistone.exe" server1 jsmith RUNONCE)")
  fi
  take_turns "$work/w$bits" "$floor" \
    "$floor" "$(command_line "${run[@]}" "$dir/floor_program.exe")" \
    "$again" "$(command_line "${run[@]}" "$dir/floor_program.exe")" \
    "$full" "$(command_line "${run[@]}" "$dir/Wendelmarquistone.exe" server1 jsmith)" \
    "$idle" "$(command_line "${run[@]}" "$dir/Wendelmarquistone.exe" server1 jsmith RUNONCE)" \
    "$empty" "$(command_line "${run[@]}" "$dir/empty_program.exe")" "${other[@]}"
  if [ -n "$against" ]; then
    add_rows "$work/w$bits" "$full, against" "" "$idle, against" ""
  fi
  add_rows "$work/w$bits" \
    "$full" "$(peak_kb "${run[@]}" "$dir/Wendelmarquistone.exe" server1 jsmith)" \
    "$idle" "" \
    "$floor" "$(peak_kb "${run[@]}" "$dir/floor_program.exe")" \
    "$again" "" \
    "$empty" "$(peak_kb "${run[@]}" "$dir/empty_program.exe")"
  verdict=$(python3 - "$goal" "$(field_of "$work/w$bits" "$full" 5)" \
    "$(field_of "$work/w$bits" "$full" 6)" "$(field_of "$work/w$bits" "$full" 7)" \
    "$(field_of "$work/w$bits" "$again" 6)" "$(field_of "$work/w$bits" "$again" 7)" <<'EOF'
import sys
goal, ratio, low, high, self_low, self_high = map(float, sys.argv[1:])
margin = goal - 1
if self_high - 1 >= margin or 1 - self_low >= margin:
    verdict = "cannot tell on this machine now (the floor against itself strays by 10% or more)"
elif high <= goal:
    verdict = "within the goal"
elif low > goal:
    verdict = "ABOVE the goal"
else:
    verdict = "cannot tell on this machine now (the interval straddles the goal)"
print(f"{ratio:.2f}x [{low:.2f}, {high:.2f}] the floor (goal: at most {goal:.2f}x), the floor"
      f" against itself [{self_low:.2f}, {self_high:.2f}]:\n  {verdict}")
EOF
  )
  goals+=("$bits-bit exe: a normal run costs $verdict"
    "  its start-up alone (RUNONCE, done): $(ratio_of "$work/w$bits" "$idle") the floor")
  if [ -n "$against" ]; then
    goals+=("  against: a normal run $(ratio_of "$work/w$bits" "$full, against"), its start-up alone
    $(ratio_of "$work/w$bits" "$idle, against") the floor")
  fi
  [ -n "$shipped_floor" ] || shipped_floor="$bits|$dir/floor_program.exe"
done

# The batch file copies a prepared profile (the one the tool wrote), taking
# turns with the floor of the exe that ships (or of the one measured).
IFS='|' read -r floor_bits floor_exe <<<"$shipped_floor"
cp build/windows/bench/import-profile.bat "$work/"  # made by the build from bench/import-profile.bat.in
"${run[@]}" "$root/build/windows/Wendelmarquistone.exe" server1 jsmith >/dev/null
appdata=$("${run[@]}" cmd /c echo %APPDATA% | tr -d '\r')
unix_appdata=$("${run[@]}" winepath -u "$appdata" 2>/dev/null)
cp "$unix_appdata/outlook.prf" "$work/outlook.prf"
rounds=$((runs / 10 < 10 ? 10 : runs / 10)) take_turns "$work/batch" "floor" \
  "floor" "$(command_line "${run[@]}" "$floor_exe")" \
  "Wine: batch file with reg.exe" "$(command_line "${run[@]}" cmd /c "$work/import-profile.bat")"
add_rows "$work/batch" "Wine: batch file with reg.exe" ""

echo "== load average after: $(load)"
echo
printf '%-38s%10s  %10s  %10s  %-21s  %10s\n' "" mean median "10th pct" "ratio [95% interval]" \
  "peak RSS"
for r in "${rows[@]}"; do
  IFS='|' read -r label mean median tenth ratio low high peak <<<"$r"
  python3 -c 'import sys
label, mean, median, tenth, ratio, low, high, peak = sys.argv[1], *map(float, sys.argv[2:8]), sys.argv[8]
print(f"{label:38}{mean * 1000:7.1f} ms  {median * 1000:7.1f} ms  {tenth * 1000:7.1f} ms  "
      f"{ratio:5.2f}x [{low:.2f}, {high:.2f}]   " + (f"{int(peak):7d} KB" if peak else ""))' \
    "$label" "$mean" "$median" "$tenth" "$ratio" "$low" "$high" "$peak"
done
echo "(ratio: the median of the runs' paired ratios to the floor of the same exe under Wine,"
echo " to the empty program natively, the batch file's to the $floor_bits-bit floor; 95% interval"
echo " by bootstrap. Peak RSS under Wine is that of the Wine loader process running the exe)"
echo
for line in "${goals[@]}"; do
  echo "$line"
done
[ -z "$against" ] || echo "(against: the exes of $against)"
for preset in windows-x86 windows; do
  bits=64
  [ "$preset" = windows-x86 ] && bits=32
  echo "build/$preset/Wendelmarquistone.exe ($bits-bit): ${sizes[$bits]} bytes"
  if [ -n "$against" ]; then
    echo "$against/$preset/Wendelmarquistone.exe ($bits-bit, against): ${sizes[${bits}against]} bytes"
  fi
done
