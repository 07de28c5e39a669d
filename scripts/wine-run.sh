#!/usr/bin/env bash
# Runs a Windows program under Wine in a build's private environment.
#   wine-run.sh [--no-display] STATE_DIR PROGRAM [ARGS...]
#   wine-run.sh --can-run STATE_DIR      status 0, or 77 as below, and nothing run
# STATE_DIR holds the prefix and, while the test fixture runs, the number of
# the headless X display (see wine-env.sh); --no-display runs the program as
# on a machine without one. Used by ctest as the emulator. Where the fixture
# found that this build's programs cannot run here, says why and ends with
# status 77, which ctest reports as a skipped test.
set -euo pipefail
display=
check_only=no
case "${1:-}" in
--no-display)
  display=--no-display
  shift
  ;;
--can-run)
  check_only=yes
  shift
  ;;
esac
state=$(cd "$1" && pwd)
shift
# shellcheck source=wine-common.sh
source "$(dirname "$0")/wine-common.sh"
wine_environment "$state" $display
if [ -s "$state/cannot-run" ]; then
  echo "SKIPPED: $(cat "$state/cannot-run")" >&2
  exit 77
fi
if [ "$check_only" = yes ]; then
  exit 0
fi
# Without address space layout randomisation (inherited by every process Wine
# starts from this one): with it, about one new Wine process in 1,500 died
# while starting when the machine was busy, and CreateProcess failed with
# error 1359 (ERROR_INTERNAL_ERROR); without it, none in 4,500 (measured).
exec setarch "$(uname -m)" -R wine "$@"
