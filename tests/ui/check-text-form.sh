#!/usr/bin/env bash
# Runs the usage window's host program under Wine with no X display, as a
# logon script without a desktop would: it must write the usage text to
# standard output (exactly the expected bytes) and end by itself with status
# 0, and end with status 1 when its standard output cannot be written.
# That output is a full disk (/dev/full), not a closed descriptor: Wine gives
# a program started with descriptor 1 closed whatever file it opens next as
# its standard output (its working folder, measured), and a Wine program
# started right after such a run was seen to end at once, with status 1 and
# no output. A missing standard output handle is the end-to-end tests' case
# (BrokenStandardOutputGivesStatusOne), started from the Windows side.
#   check-text-form.sh STATE_DIR HOST_EXE EXPECTED_FILE
# A Windows-side parent cannot take the display away from its child under
# Wine (the child inherits the X connection settings of the Unix side), so
# this test starts the program from here, with no display.
set -uo pipefail
wine="$(dirname "$0")/../../scripts/wine.sh"
state=$1
host=$2
expected=$3
output=$(mktemp)
trap 'rm -f "$output"' EXIT

status=0
timeout 30 "$wine" run "$state" --no-display "$host" >"$output" </dev/null || status=$?
if [ "$status" -eq 77 ]; then
  exit 77
fi
if [ "$status" -ne 0 ]; then
  echo "FAIL: exit status $status without a display (124 means it waited for a window)"
  exit 1
fi
if ! cmp "$output" "$expected"; then
  echo "FAIL: the text form differs from $expected"
  od -c "$output" | head -20
  exit 1
fi
echo "ok: text form written, $(wc -c <"$output") bytes"

status=0
timeout 30 "$wine" run "$state" --no-display "$host" >/dev/full </dev/null || status=$?
if [ "$status" -ne 1 ]; then
  echo "FAIL: exit status $status when standard output cannot be written; expected 1"
  exit 1
fi
echo "ok: a standard output that cannot be written gives exit status 1"
