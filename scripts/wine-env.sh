#!/usr/bin/env bash
# An environment the Windows tests run in:
#   wine-env.sh start [--no-display] STATE_DIR [PROBE_EXE]
#       prefix (made once), fonts, headless X (unless --no-display),
#       persistent wineserver; then runs the probe program, if given, and
#       records whether this build's programs run here (STATE_DIR/cannot-run
#       holds the reason when they do not, and wine-run.sh then skips every
#       test)
#       Every program of one environment must run with its display, or every
#       one without: Wine starts the desktop process (explorer.exe /desktop)
#       for the first program that needs it, with that program's display, and
#       ends it a few seconds after the last; a program without a display that
#       starts it leaves programs with windows unable to create any
#       ("Invalid window handle") for as long as it lives (measured).
#   wine-env.sh probe STATE_DIR
#       the recorded result as a test: status 0 when the probe ran, 77
#       (skipped) when this machine cannot run 32-bit code at all, 1 otherwise
#   wine-env.sh stop STATE_DIR
#       stops the X server and the wineserver
# The prefix is private to the build folder; nothing is written to $HOME.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
action=$1
shift
display=yes
if [ "${1:-}" = "--no-display" ]; then
  display=no
  shift
fi
state=$(mkdir -p "$1" && cd "$1" && pwd)
probe_exe=${2:-}
# shellcheck source=wine-common.sh
source "$here/wine-common.sh"
wine_environment "$state" --no-display

stop_x() {
  if [ -s "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
  fi
  rm -f "$state/xvfb.pid" "$state/display"
}

# Every Wine program here starts through wine-run.sh, as the tests' do.
make_prefix() {
  rm -rf "$WINEPREFIX" "$state/prefix.ready"
  # 64-bit, which runs 32-bit programs too where Wine's 32-bit part is there.
  WINEARCH=win64 "$here/wine-run.sh" "$state" wineboot -i >/dev/null 2>&1
  wineserver -w
  # Debian's Wine does not find its own fonts by itself.
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
  # No window manager under Xvfb: Wine draws the frames itself (Decorated=N)
  # and does not wait for a manager to map each window (Managed=N, which saves
  # about two seconds a window). No "Lucida Console" either: a fixed-pitch face
  # of the same kind stands in.
  "$here/wine-run.sh" "$state" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
  "$here/wine-run.sh" "$state" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  "$here/wine-run.sh" "$state" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Lucida Console' /t REG_SZ \
    /d 'DejaVu Sans Mono' /f >/dev/null 2>&1
  wineserver -w
  touch "$state/prefix.ready"
}

start_x() {
  # A headless X server on a free display; its number goes to $state/display.
  rm -f "$state/display.tmp"
  exec 3>"$state/display.tmp"
  setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
  echo $! >"$state/xvfb.pid"
  exec 3>&-
  for _ in $(seq 100); do
    [ -s "$state/display.tmp" ] && break
    sleep 0.1
  done
  if [ ! -s "$state/display.tmp" ]; then
    echo "wine-env: Xvfb did not start" >&2
    exit 1
  fi
  echo ":$(tr -d '\n' <"$state/display.tmp")" >"$state/display"
  rm -f "$state/display.tmp"
}

# 32 or 64: the machine a Windows exe is built for, from its PE header.
pe_bits() {
  local pe machine
  pe=$(od -A n -t u4 -j 60 -N 4 "$1" | tr -d ' ')
  machine=$(od -A n -t x2 -j $((pe + 4)) -N 2 "$1" | tr -d ' ')
  if [ "$machine" = 8664 ]; then echo 64; else echo 32; fi
}

# Records that this build's programs cannot run here, and why; the verdict
# (skip or fail) is the probe test's.
cannot_run() { # verdict bits reason
  echo "$1: Wine cannot run this build's $2-bit programs here: $3" >"$state/probe"
  # Whatever the reason, no test may pass without having run.
  echo "Wine cannot run this build's $2-bit programs here: $3" >"$state/cannot-run"
}

# Runs the probe program and records whether it ran.
probe() {
  local exe=$1 output bits
  bits=$(pe_bits "$exe")
  output=$(timeout 30 "$here/wine-run.sh" "$state" "$exe" </dev/null 2>&1 | tr -d '\r') || true
  if [ "$output" = "Windows program ran: $bits-bit" ]; then
    echo "ok: Wine runs this build's $bits-bit programs" >"$state/probe"
  elif [ "$bits" = 32 ] && ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null |
    grep -q "install ok installed"; then
    cannot_run fail 32 "Wine's 32-bit part (wine32:i386) is not installed; scripts/install-deps.sh installs it"
  else
    cannot_run fail "$bits" "the probe program did not run under Wine (it printed: ${output:-nothing})"
  fi
}

case "$action" in
start)
  wineserver -k 2>/dev/null || true
  stop_x
  rm -f "$state/cannot-run" "$state/probe"
  # 32-bit programs on a kernel that runs no 32-bit code: there is nothing to
  # start an environment for, only the reason to record.
  if [ -n "$probe_exe" ] && [ "$(pe_bits "$probe_exe")" = 32 ] &&
    ! reason=$("$here/runs-32bit-code.sh"); then
    cannot_run skip 32 "$reason"
    exit 0
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ] || [ ! -f "$state/prefix.ready" ]; then
    make_prefix
  fi
  if [ "$display" = yes ]; then
    start_x
  fi
  # A persistent wineserver saves each program about a second of start-up.
  # Its streams must not be ctest's pipes, or ctest waits for it.
  setsid wineserver -p >/dev/null 2>&1 </dev/null
  # Wine's helper processes (services, devices, the desktop) start with the
  # first program and live as long as the server, holding that program's
  # streams. Start them here, on /dev/null, or the first test's output pipe
  # never closes and ctest waits for it until the timeout.
  # This starts the desktop process too, with the environment's display.
  setsid "$here/wine-run.sh" "$state" rundll32.exe user32.dll,GetDesktopWindow \
    </dev/null >/dev/null 2>&1 || true
  if [ -n "$probe_exe" ]; then
    probe "$probe_exe"
  fi
  ;;
probe)
  result=$(cat "$state/probe" 2>/dev/null || echo "fail: the environment was not started")
  echo "$result"
  case "$result" in
  ok:*) exit 0 ;;
  skip:*) exit 77 ;;
  *) exit 1 ;;
  esac
  ;;
stop)
  wineserver -k 2>/dev/null || true
  stop_x
  ;;
*)
  echo "usage: wine-env.sh start [--no-display] STATE_DIR [PROBE_EXE] | probe STATE_DIR |" \
    "stop STATE_DIR" >&2
  exit 2
  ;;
esac
