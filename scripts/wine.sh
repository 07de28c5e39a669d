#!/usr/bin/env bash
# The environment a Windows build's programs run in under Wine, kept in a
# folder of the build (STATE); nothing is written to $HOME.
#
#   wine.sh start STATE [--no-display] [PROBE_EXE]
#       makes the prefix (once), starts a headless X server (unless
#       --no-display) and a persistent wineserver; then runs the probe
#       program, if given, and writes the verdict on whether this build's
#       programs run here. A 32-bit build on a kernel that runs no 32-bit code
#       gets the verdict "skip" and nothing is started.
#   wine.sh run STATE [--no-display] PROGRAM [ARGS...]
#       runs a Windows program (or one of Wine's: reg, cmd, winepath...) in
#       the environment, with its display unless --no-display, which runs it
#       as on a machine without one. Where the verdict is "skip" or "fail",
#       runs nothing, says why, and ends with status 77, which ctest reports
#       as a skipped test: no test may pass without having run (a "fail" also
#       fails the probe's own test). Without a verdict (an environment started
#       by hand, without a probe) it runs. Used by ctest as the emulator.
#   wine.sh status STATE
#       prints the verdict; status 0 for ok, 77 for skip, 1 for fail (or when
#       the environment was not started with a probe program).
#   wine.sh stop STATE
#       stops the X server and the wineserver.
#
# Files in STATE:
#   prefix/        the Wine prefix, 64-bit (it runs 32-bit programs too where
#                  Wine's 32-bit part is installed)
#   prefix.ready   the prefix is complete, fonts and settings in; it names the
#                  Wine parts it was made with (prefix_parts). It is made once,
#                  and made again when this file is missing or names other
#                  parts: a prefix made before Wine's 32-bit part was
#                  installed cannot run 32-bit programs
#   display        the headless X server's display (":N"), while it runs;
#                  missing in an environment started with --no-display
#   display.tmp    the same, while Xvfb is writing it at start
#   xvfb.pid       the headless X server's process id, while it runs
#   verdict        whether this build's programs run here, one line:
#                  "ok", "skip: REASON" or "fail: REASON"; missing until a
#                  start with a probe program
#
# One display mode per environment: every program of one environment runs
# with its display, or every one without. Wine starts the desktop process
# (explorer.exe /desktop) for the first program that needs it, with that
# program's display, and ends it a few seconds after the last; a program
# without a display that starts it leaves programs with windows unable to
# create any ("Invalid window handle") for as long as it lives (measured).
# So the tests of what happens without a display have an environment of their
# own, started with --no-display.
#
# Every Wine program gets the same settings: the environment's private prefix,
# quiet Wine (WINEDEBUG=-all, unless WM_WINEDEBUG gives other channels, as a
# test that reads Wine's event log output does), no Mono, Gecko, crash
# debugger or menu builder (WINEDLLOVERRIDES), and the environment's display.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

usage() {
  echo "usage: wine.sh start STATE [--no-display] [PROBE_EXE] |" \
    "run STATE [--no-display] PROGRAM [ARGS...] | status STATE | stop STATE" >&2
  exit 2
}

[ $# -ge 2 ] || usage
action=$1
case "$action" in
start | run | status | stop) ;;
*) usage ;;
esac
if [ "$action" = run ]; then
  state=$(cd "$2" && pwd)
else
  state=$(mkdir -p "$2" && cd "$2" && pwd)
fi
shift 2
display=yes
if [ "${1:-}" = "--no-display" ]; then
  display=no
  shift
fi

# Exports what every Wine program of this environment needs; the display is
# the one in $state/display, if there is one and the program may have it.
environment() {
  export WINEPREFIX="$state/prefix"
  # The same Windows locale whatever the caller's: US English, ANSI code page
  # 1252, and file names in UTF-8 on the Linux side, so that a Windows name
  # outside the code page (a folder named in Greek) can exist at all.
  export LC_ALL=C.UTF-8
  export WINEDEBUG="${WM_WINEDEBUG:--all}"
  # One entry, no ";": CMake would split it. winedbg.exe=d matters: otherwise
  # a crash under a display opens a debugger window and waits forever.
  export WINEDLLOVERRIDES='mscoree,mshtml,winedbg.exe,winemenubuilder.exe=d'
  unset DISPLAY
  if [ "$display" = yes ] && [ -s "$state/display" ]; then
    DISPLAY=$(cat "$state/display")
    export DISPLAY
  fi
}

# How every Wine program here starts: without address space layout
# randomisation (inherited by every process Wine starts from this one). With
# it, about one new Wine process in 1,500 died while starting when the machine
# was busy, and CreateProcess failed with error 1359 (ERROR_INTERNAL_ERROR);
# without it, none in 4,500 (measured).
wine=(setarch -R wine)

# 32 or 64: the machine a Windows exe is built for, from its PE header (read
# by one od: this runs for every program); nothing for a file that is not one.
pe_bits() {
  local -a byte
  local pe
  # shellcheck disable=SC2207 # the numbers are meant to be split
  byte=($(od -A n -t u1 -v -N 1024 "$1" 2>/dev/null))
  [ "${byte[0]:-}" = 77 ] && [ "${byte[1]:-}" = 90 ] || return 0 # "MZ"
  pe=$((byte[60] + byte[61] * 256))
  if [ "$((byte[pe + 4] + byte[pe + 5] * 256))" = 34404 ]; then echo 64; else echo 32; fi
}

# The Wine loader for a program: an exe file starts with the loader of its
# own kind. `wine` is Wine's 32-bit loader wherever Wine's 32-bit part is
# installed, and it starts a 64-bit exe only through a 32-bit start.exe,
# which made every 64-bit run take about twice as long (measured: 138 ms
# instead of 78 for the benchmark's floor program). Wine's own programs (reg,
# cmd, winepath) start through `wine`.
loader() { # PROGRAM
  local bits=
  [ -f "$1" ] && bits=$(pe_bits "$1")
  case "$bits" in
  64) [ -x /usr/lib/wine/wine64 ] && echo /usr/lib/wine/wine64 && return ;;
  32) [ -x /usr/lib/wine/wine ] && echo /usr/lib/wine/wine && return ;;
  esac
  echo wine
}

stop_x() {
  if [ -s "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
  fi
  rm -f "$state/xvfb.pid" "$state/display"
}

# Which of Wine's parts a prefix made now is made with: Debian's wine32
# package is the 32-bit loader.
prefix_parts() {
  if [ -x /usr/lib/wine/wine ]; then echo "64-bit and 32-bit"; else echo "64-bit only"; fi
}

make_prefix() {
  rm -rf "$WINEPREFIX" "$state/prefix.ready"
  # 64-bit, which runs 32-bit programs too where Wine's 32-bit part is there.
  WINEARCH=win64 "${wine[@]}" wineboot -i >/dev/null 2>&1
  wineserver -w
  # Debian's Wine does not find its own fonts by itself.
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
  # No window manager under Xvfb: Wine draws the frames itself (Decorated=N)
  # and does not wait for a manager to map each window (Managed=N, which saves
  # about two seconds a window). No "Lucida Console" either: a fixed-pitch face
  # of the same kind stands in.
  "${wine[@]}" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
  "${wine[@]}" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  "${wine[@]}" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Lucida Console' /t REG_SZ \
    /d 'DejaVu Sans Mono' /f >/dev/null 2>&1
  wineserver -w
  prefix_parts >"$state/prefix.ready"
}

start_x() {
  # A headless X server on a free display; its name goes to $state/display.
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
    echo "wine.sh: Xvfb did not start" >&2
    exit 1
  fi
  echo ":$(tr -d '\n' <"$state/display.tmp")" >"$state/display"
  rm -f "$state/display.tmp"
}

# Records that this build's programs cannot run here, and why. "skip" where
# this machine cannot run them at all, "fail" where it could but they did not
# run; either way every test that runs one is skipped, and only the probe
# test (wine.sh status) fails.
cannot_run() { # skip|fail bits reason
  echo "$1: Wine cannot run this build's $2-bit programs here: $3" >"$state/verdict"
}

# Runs the probe program and records whether it ran: with Wine's 32-bit part
# missing, a 32-bit program ends with status 0 without having run, so only its
# output tells.
probe() {
  local exe=$1 output bits
  bits=$(pe_bits "$exe")
  output=$(timeout 30 setarch -R "$(loader "$exe")" "$exe" </dev/null 2>&1 |
    tr -d '\r') || true
  if [ "$output" = "Windows program ran: $bits-bit" ]; then
    echo ok >"$state/verdict"
  elif [ "$bits" = 32 ] && ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null |
    grep -q "install ok installed"; then
    # Where scripts/install-deps.sh tried and could not, every 32-bit test is
    # skipped with its reason; where nobody tried, the probe test fails.
    if why=$("$here/install-deps.sh" --wine32-reason); then
      cannot_run skip 32 "$why"
    else
      cannot_run fail 32 "Wine's 32-bit part (wine32:i386) is not installed; scripts/install-deps.sh installs it"
    fi
  else
    cannot_run fail "$bits" "the probe program did not run under Wine (it printed: ${output:-nothing})"
  fi
}

environment
case "$action" in
start)
  probe_exe=${1:-}
  wineserver -k 2>/dev/null || true
  stop_x
  environment # again, now that there is no display
  rm -f "$state/verdict"
  # 32-bit programs on a kernel that runs no 32-bit code: there is nothing to
  # start an environment for, only the reason to record.
  if [ -n "$probe_exe" ] && [ "$(pe_bits "$probe_exe")" = 32 ] &&
    ! reason=$("$here/runs-32bit-code.sh"); then
    cannot_run skip 32 "$reason"
    exit 0
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ] ||
    [ "$(cat "$state/prefix.ready" 2>/dev/null)" != "$(prefix_parts)" ]; then
    make_prefix
  fi
  if [ "$display" = yes ]; then
    start_x
    environment
  fi
  # A persistent wineserver saves each program about a second of start-up.
  # Its streams must not be ctest's pipes, or ctest waits for it.
  setsid wineserver -p >/dev/null 2>&1 </dev/null
  # Wine's helper processes (services, devices, the desktop) start with the
  # first program and live as long as the server, holding that program's
  # streams. Start them here, on /dev/null, or the first test's output pipe
  # never closes and ctest waits for it until the timeout.
  # This starts the desktop process too, with the environment's display.
  setsid "${wine[@]}" rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 || true
  if [ -n "$probe_exe" ]; then
    probe "$probe_exe"
  fi
  ;;
run)
  [ $# -ge 1 ] || usage
  if [ -f "$state/verdict" ] && [ "$(cat "$state/verdict")" != ok ]; then
    verdict=$(cat "$state/verdict")
    echo "SKIPPED: ${verdict#*: }" >&2
    exit 77
  fi
  exec setarch -R "$(loader "$1")" "$@"
  ;;
status)
  verdict=$(cat "$state/verdict" 2>/dev/null ||
    echo "fail: the environment was not started, or without a probe program")
  echo "$verdict"
  case "$verdict" in
  ok) exit 0 ;;
  skip:*) exit 77 ;;
  *) exit 1 ;;
  esac
  ;;
stop)
  wineserver -k 2>/dev/null || true
  stop_x
  ;;
esac
