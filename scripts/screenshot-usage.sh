#!/usr/bin/env bash
# Takes a picture of the usage window under a private headless X server and
# saves it as docs/usage-window.png (or the given file), cropped to the
# window. Uses the Windows build (cmake --preset windows && cmake --build
# --preset windows) and its Wine prefix; stops everything it started.
#   scripts/screenshot-usage.sh [OUTPUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
output=${1:-$root/docs/usage-window.png}
build=$root/build/windows
host=$build/tests/ui/usage_window_host.exe
if [ ! -f "$host" ]; then
  echo "screenshot-usage: build the Windows preset first ($host is missing)" >&2
  exit 1
fi

# An environment of our own, so that a test run in progress is not disturbed.
state=$build/screenshot
mkdir -p "$state"
scripts/wine.sh start "$state" >/dev/null
trap 'scripts/wine.sh stop "$state" >/dev/null 2>&1 || true' EXIT
display=$(cat "$state/display")

# Show the window; it stays until closed below (or at most 60 seconds).
timeout 60 scripts/wine.sh run "$state" "$host" >/dev/null 2>&1 &
shown=$!

# Wait until the program's window is mapped (X knows it by the exe's name as
# its class), then photograph it.
id=""
for _ in $(seq 100); do
  sleep 0.2
  id=$(DISPLAY=$display xwininfo -root -tree 2>/dev/null |
    awk '$0 ~ /[0-9]+x[0-9]+\+[0-9]+\+[0-9]+/ && $0 ~ /usage_window_host/ {print $1; exit}' || true)
  if [ -n "$id" ]; then
    break
  fi
done
if [ -z "${id:-}" ]; then
  echo "screenshot-usage: the window did not appear" >&2
  kill "$shown" 2>/dev/null || true
  exit 1
fi
sleep 1  # lets it paint
mkdir -p "$(dirname "$output")"
DISPLAY=$display import -window "$id" "$output"
kill "$shown" 2>/dev/null || true
wait "$shown" 2>/dev/null || true
echo "screenshot-usage: $(identify "$output")"
