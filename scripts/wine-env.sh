#!/usr/bin/env bash
# Starts and stops the environment the Windows tests run in:
#   wine-env.sh start STATE_DIR   prefix (made once), fonts, headless X, wineserver
#   wine-env.sh stop STATE_DIR    stops the X server and the wineserver
# The prefix is private to the build folder; nothing is written to $HOME.
set -euo pipefail
action=$1
state=$(mkdir -p "$2" && cd "$2" && pwd)
export WINEPREFIX="$state/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml,winedbg.exe,winemenubuilder.exe=d'
unset DISPLAY

stop_x() {
  if [ -s "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
  fi
  rm -f "$state/xvfb.pid" "$state/display"
}

case "$action" in
start)
  wineserver -k 2>/dev/null || true
  stop_x
  if [ ! -f "$WINEPREFIX/system.reg" ] || [ ! -f "$state/prefix.ready" ]; then
    rm -rf "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
    # Debian's Wine does not find its own fonts by itself.
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
    # No window manager under Xvfb: Wine draws the frames itself. No
    # "Lucida Console" either: a fixed-pitch face of the same kind stands in.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Lucida Console' /t REG_SZ \
      /d 'DejaVu Sans Mono' /f >/dev/null 2>&1
    wineserver -w
    touch "$state/prefix.ready"
  fi
  # A headless X server on a free display; its number goes to $state/display.
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
  # A persistent wineserver saves each program about a second of start-up.
  # Its streams must not be ctest's pipes, or ctest waits for it.
  setsid wineserver -p >/dev/null 2>&1 </dev/null
  # Wine's helper processes (services, devices, the desktop) start with the
  # first program and live as long as the server, holding that program's
  # streams. Start them here, on /dev/null, or the first test's output pipe
  # never closes and ctest waits for it until the timeout.
  DISPLAY=$(cat "$state/display") setsid wine rundll32.exe user32.dll,GetDesktopWindow \
    </dev/null >/dev/null 2>&1 || true
  ;;
stop)
  wineserver -k 2>/dev/null || true
  stop_x
  ;;
*)
  echo "usage: wine-env.sh start|stop STATE_DIR" >&2
  exit 2
  ;;
esac
