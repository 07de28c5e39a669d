#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's private environment.
#   wine-run.sh STATE_DIR PROGRAM [ARGS...]
# STATE_DIR holds the prefix and, while the test fixture runs, the number of
# the headless X display (see wine-env.sh). Used by ctest as the emulator.
set -euo pipefail
state=$(cd "$1" && pwd)
shift
export WINEPREFIX="$state/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml,winedbg.exe,winemenubuilder.exe=d'
if [ -s "$state/display" ]; then
  DISPLAY=$(cat "$state/display")
  export DISPLAY
fi
exec wine "$@"
