# The Windows test environment's settings, in one place. Sourced by
# wine-env.sh and wine-run.sh; not a program of its own.
#
#   wine_environment STATE_DIR [--no-display]
# exports what every Wine call for the build whose environment lives in
# STATE_DIR needs: its private prefix (nothing is written to $HOME), quiet
# Wine (WINEDEBUG, unless WM_WINEDEBUG gives other channels), no Mono, Gecko,
# crash debugger or menu builder, and the headless X display started by
# wine-env.sh, or none with --no-display.

wine_environment() {
  local state=$1
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
  if [ "${2:-}" != "--no-display" ] && [ -s "$state/display" ]; then
    DISPLAY=$(cat "$state/display")
    export DISPLAY
  fi
}
