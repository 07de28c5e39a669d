#!/usr/bin/env bash
# End-to-end cases of the Windows program that only the Unix side can set up
# or see, because a Windows parent under Wine cannot change them for its
# child or read them:
#  - no X display: the usage text comes out on standard output, nothing
#    waits, for no server name and for a help request alike;
#  - a user without a profile folder (Wine finds it by the Unix user name):
#    the application-data folder cannot be found, which is an error;
#  - the Application event log: Wine writes each Error event's text to
#    standard error when WINEDEBUG lets err+eventlog through, so every failing
#    run must show its error line there, and no other run anything.
#   wine-shell-cases.sh WINE_STATE_DIR EXE USAGE_TEXT_FILE VERSION
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
state=$(cd "$1" && pwd)
exe=$2
usage_text=$3
version=$4
run="$here/../../scripts/wine-run.sh"
prefix="$state/prefix"
"$run" --can-run "$state"
if [ $? -eq 77 ]; then
  exit 77 # this build's programs cannot run here; wine-run.sh said why
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export WM_WINEDEBUG=-all,err+eventlog

printf '%s\r\n' \
  "===============================================" \
  "= Brackenhulme Wendelmarquistone              =" \
  "= Generating Microsoft Outlook (R) Profile    =" \
  "= www.brackenhulme.example                    =" \
  "= Contact: support@brackenhulme.example       =" \
  "$(printf '= Version: %-35s=' "$version")" \
  "===============================================" >"$work/banner"

passed=0
failed=0
fail() {
  echo "FAIL: $*"
  failed=$((failed + 1))
}
status=0
program() { # [--no-display] ARGS...: runs the exe; sets $status, $work/out, $work/err
  local display=()
  if [ "${1:-}" = "--no-display" ]; then
    display=(--no-display)
    shift
  fi
  status=0
  timeout 30 "$run" "${display[@]}" "$state" "$exe" "$@" >"$work/out" 2>"$work/err" </dev/null ||
    status=$?
}
expect() { # name expected_status expected_output_file
  if [ "$status" -eq "$2" ] && cmp -s "$3" "$work/out"; then
    echo "ok: $1"
    passed=$((passed + 1))
  else
    fail "$1: exit status $status (expected $2); output:"
    od -c "$work/out" | head -30
  fi
}
events() { # the texts of the Error events the run reported, one a line, as Wine shows them
  sed -n 's/^[0-9a-f]*:err:eventlog:ReportEventW L"\(.*\)"$/\1/p' "$work/err"
}
logged() { # name text: the run reported exactly this one Error event
  local shown
  # Wine shows the text as a C string: backslashes and quotes escaped.
  shown=$(printf '%s' "$2" | sed 's/\\/\\\\/g; s/"/\\"/g')
  if [ "$(events)" = "$shown" ]; then
    echo "ok: $1: the event log has the error"
    passed=$((passed + 1))
  else
    fail "$1: the event log has, instead of \"$shown\":"
    events
  fi
}
logged_nothing() { # name
  if [ -z "$(events)" ]; then
    echo "ok: $1: nothing in the event log"
    passed=$((passed + 1))
  else
    fail "$1: the event log has:"
    events
  fi
}
registry_untouched() {
  if "$run" "$state" reg query 'HKCU\Software\Microsoft\Office' >/dev/null 2>&1; then
    fail "$1: the registry was changed"
  fi
}
error_output() { # text: the banner and the error line
  cat "$work/banner"
  printf '%s\r\n' "$1"
}

"$run" "$state" reg delete 'HKCU\Software\Microsoft\Office' /f >/dev/null 2>&1
appdata=$("$run" "$state" cmd /c echo %APPDATA% </dev/null | tr -d '\r')
unix_appdata=$("$run" "$state" winepath -u "$appdata" </dev/null 2>/dev/null)
if [ -z "$appdata" ] || [ ! -d "$unix_appdata" ]; then
  fail "cannot find the application-data folder ($appdata, $unix_appdata)"
  exit 1
fi
rm -rf "$unix_appdata/outlook.prf"

# No display: banner, then the usage text, exit status 0; a help request the
# same, whatever its case.
cat "$work/banner" "$usage_text" >"$work/usage"
for arguments in "" "/?" "--HELP" "-h jsmith RUNONCE"; do
  # shellcheck disable=SC2086 # the words are meant to be split
  program --no-display $arguments
  expect "no display, arguments \"$arguments\": the usage text" 0 "$work/usage"
  logged_nothing "no display, arguments \"$arguments\""
  registry_untouched "no display, arguments \"$arguments\""
  if [ -e "$unix_appdata/outlook.prf" ]; then
    fail "no display, arguments \"$arguments\": a profile was written"
  fi
done

# An option where the server's name belongs: an error, also in the event log.
program /bogus server1
message="Error: Unknown option \"/bogus\": the Exchange server's name must come first (/? shows how to call the tool); no profile was written or registered."
error_output "$message" >"$work/expected"
expect "an unknown option: an error" 1 "$work/expected"
logged "an unknown option" "$message"
registry_untouched "an unknown option"

# The profile cannot be written: a folder stands where the file goes.
mkdir "$unix_appdata/outlook.prf"
program server1 jsmith
message=$(tr -d '\r' <"$work/out" | tail -n 1)
case "$message" in
"Error: Cannot write the profile file \"$appdata\\outlook.prf\": "*) ;;
*) fail "the profile cannot be written: unexpected line: $message" ;;
esac
error_output "$message" >"$work/expected"
expect "the profile cannot be written: an error" 1 "$work/expected"
logged "the profile cannot be written" "$message"
registry_untouched "the profile cannot be written"
rmdir "$unix_appdata/outlook.prf"

# A successful run reports nothing to the event log.
program server1 jsmith
{
  cat "$work/banner"
  printf '%s\r\n' "Profile for user generated successfully"
} >"$work/expected"
expect "a successful run" 0 "$work/expected"
logged_nothing "a successful run"
rm -f "$unix_appdata/outlook.prf"
"$run" "$state" reg delete 'HKCU\Software\Microsoft\Office' /f >/dev/null 2>&1

# A user without a profile folder.
nobody="nobody-without-a-profile"
rm -rf "$prefix/drive_c/users/$nobody"
USER=$nobody program server1 jsmith
message="Error: Cannot find the user's application-data folder; no profile was written or registered."
error_output "$message" >"$work/expected"
expect "no application-data folder: an error" 1 "$work/expected"
logged "no application-data folder" "$message"
if [ -e "$prefix/drive_c/users/$nobody" ]; then
  fail "something was written for $nobody"
fi
registry_untouched "no application-data folder"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
