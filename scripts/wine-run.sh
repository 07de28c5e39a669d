#!/usr/bin/env bash
# Runs a Windows program under Wine in a build's private environment.
#   wine-run.sh [--no-display] STATE_DIR PROGRAM [ARGS...]
# STATE_DIR holds the prefix and, while the test fixture runs, the number of
# the headless X display (see wine-env.sh); --no-display runs the program as
# on a machine without one. Used by ctest as the emulator. Where the fixture
# found that this build's programs cannot run here, says why and ends with
# status 77, which ctest reports as a skipped test.
set -euo pipefail
display=
if [ "${1:-}" = "--no-display" ]; then
  display=--no-display
  shift
fi
state=$(cd "$1" && pwd)
shift
# shellcheck source=wine-common.sh
source "$(dirname "$0")/wine-common.sh"
wine_environment "$state" $display
if [ -s "$state/cannot-run" ]; then
  echo "SKIPPED: $(cat "$state/cannot-run")" >&2
  exit 77
fi
exec wine "$@"
