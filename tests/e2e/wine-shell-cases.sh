#!/usr/bin/env bash
# End-to-end cases of the Windows program that only the Unix side can set up
# or see, because a Windows parent under Wine cannot change them for its
# child or read them:
#  - no X display: the usage text comes out on standard output, nothing
#    waits, for no server name and for a help request alike;
#  - the DLLs a run loads (Wine names each where WINEDEBUG lets loaddll
#    through): a run that writes the profile loads those of the floor
#    program, no more; the usage window's come only with the window;
#  - a user without a profile folder (Wine finds it by the Unix user name):
#    the application-data folder cannot be found, which is an error;
#  - the Application event log: Wine writes each Error event's text to
#    standard error when WINEDEBUG lets err+eventlog through, and the event's
#    identifier with fixme+advapi, so every failing run must show its error
#    line there, under its failure class's event ID, and no other run
#    anything;
#  - names outside the ANSI code page (1252 here): Wine makes the wide
#    command line from the UTF-8 arguments, so a name the code page cannot
#    hold is refused (never written as a look-alike), and one it can hold is
#    written as the code page's bytes;
#  - a write that fails in the middle of the file (a file-size limit, with
#    SIGXFSZ ignored): the old profile stays, nothing is registered, no
#    temporary file is left;
#  - a key that cannot be created (a volatile key above it, made by the
#    blocker program; it lasts as long as the persistent wineserver): a
#    registry failure.
#   wine-shell-cases.sh WINE_STATE_DIR EXE USAGE_TEXT_FILE BANNER_FILE BLOCKER_EXE FLOOR_EXE
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
state=$(cd "$1" && pwd)
exe=$2
usage_text=$3
banner=$4
blocker=$5
floor=$6
wine="$here/../../scripts/wine.sh"
prefix="$state/prefix"
if ! "$wine" status "$state" >/dev/null; then
  exit 77 # this build's programs cannot run here; the probe test says why
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export WM_WINEDEBUG=-all,err+eventlog,fixme+advapi

cp "$banner" "$work/banner"

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
  LC_ALL=C.UTF-8 timeout 30 "$wine" run "$state" "${display[@]}" "$exe" "$@" >"$work/out" \
    2>"$work/err" </dev/null || status=$?
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
event_ids() { # the event IDs ReportEventW was given, as Event Viewer shows them
  sed -n 's/^[0-9a-f]*:fixme:advapi:ReportEventW ([^,]*,[^,]*,[^,]*,0x\([0-9a-f]*\),.*/\1/p' \
    "$work/err" | while read -r id; do echo $((0x$id & 0xffff)); done
}
logged() { # name text event-id: the run reported exactly this one Error event
  local shown
  # Wine shows the text as a C string: backslashes and quotes escaped, and
  # every character from code 127 on as a backslash and four hex digits.
  shown=$(printf '%s' "$2" |
    perl -CS -pe 's/\\/\\\\/g; s/"/\\"/g; s/([^\x00-\x7e])/sprintf("\\%04x", ord($1))/ge')
  if [ "$(events)" = "$shown" ] && [ "$(event_ids)" = "$3" ]; then
    echo "ok: $1: the event log has the error, ID $3"
    passed=$((passed + 1))
  else
    fail "$1: the event log has, instead of \"$shown\" (ID $3), IDs $(event_ids | tr '\n' ' '):"
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
  if "$wine" run "$state" reg query 'HKCU\Software\Microsoft\Office' >/dev/null 2>&1; then
    fail "$1: the registry was changed"
  fi
}
error_output() { # text: the banner and the error line
  cat "$work/banner"
  printf '%s\r\n' "$1"
}

"$wine" run "$state" reg delete 'HKCU\Software\Microsoft\Office' /f >/dev/null 2>&1
appdata=$("$wine" run "$state" cmd /c echo %APPDATA% </dev/null | tr -d '\r')
unix_appdata=$("$wine" run "$state" winepath -u "$appdata" </dev/null 2>/dev/null)
if [ -z "$appdata" ] || [ ! -d "$unix_appdata" ]; then
  fail "cannot find the application-data folder ($appdata, $unix_appdata)"
  exit 1
fi
rm -rf "$unix_appdata/outlook.prf"

# No display: banner, then the usage text, exit status 0; a help request the
# same, whatever its case.
cat "$work/banner" "$usage_text" >"$work/usage"
for arguments in "" "/?" "--HELP" "-h jsmith RUNONCE" "/? Δοκιμή"; do
  # shellcheck disable=SC2086 # the words are meant to be split
  program --no-display $arguments
  expect "no display, arguments \"$arguments\": the usage text" 0 "$work/usage"
  logged_nothing "no display, arguments \"$arguments\""
  if [ -e "$unix_appdata/outlook.prf" ]; then
    fail "no display, arguments \"$arguments\": a profile was written"
  fi
done
# One look at the registry for all of them (each look starts reg.exe).
registry_untouched "no display, one of the runs above"

# An option where the server's name belongs: an error, also in the event log.
program /bogus server1
message="Error: Unknown option \"/bogus\": the Exchange server's name must come first (/? shows how to call the tool); no profile was written or registered."
error_output "$message" >"$work/expected"
expect "an unknown option: an error" 1 "$work/expected"
logged "an unknown option" "$message" 1
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
logged "the profile cannot be written" "$message" 4
registry_untouched "the profile cannot be written"
rmdir "$unix_appdata/outlook.prf"

# A successful run reports nothing to the event log, and loads the DLLs the
# floor loads, the program that only looks up the roaming folder as it does
# (bench/FloorProgram.cpp), no more: Wine names every DLL a program loads
# where WINEDEBUG lets loaddll through. The usage window's libraries (the
# common controls among them) come only with the window.
loaded_dlls() { # the DLLs Wine named in $work/err, one a line, sorted
  grep -o -i 'Loaded L"[^"]*\\[a-z0-9_]*\.dll"' "$work/err" | sed 's/.*\\//; s/"$//' |
    tr '[:upper:]' '[:lower:]' | sort -u
}
WM_WINEDEBUG=$WM_WINEDEBUG,+loaddll program server1 jsmith
{
  cat "$work/banner"
  printf '%s\r\n' "Profile for user generated successfully"
} >"$work/expected"
expect "a successful run" 0 "$work/expected"
logged_nothing "a successful run"
loaded=$(loaded_dlls)
WM_WINEDEBUG=-all,+loaddll timeout 30 "$wine" run "$state" "$floor" >/dev/null 2>"$work/err" </dev/null
floor_loaded=$(loaded_dlls)
if grep -q -x shell32.dll <<<"$loaded" && [ "$loaded" = "$floor_loaded" ]; then
  echo "ok: a successful run: the floor's DLLs, no more ($(wc -l <<<"$loaded"))"
  passed=$((passed + 1))
else
  fail "a successful run: the DLLs loaded, not the floor's: $(diff <(echo "$floor_loaded") \
    <(echo "$loaded") | grep '^[<>]' | tr '\n' ' ') (< the floor's only, > the run's only)"
fi
rm -f "$unix_appdata/outlook.prf"
"$wine" run "$state" reg delete 'HKCU\Software\Microsoft\Office' /f >/dev/null 2>&1

# Names the code page cannot hold are refused before anything is written,
# also when RUNONCE would find the profile there: the line shows them with
# "?" (and "ó", which 1252 has, as its byte), the event log as they are.
for case in "user name|?\xf3d?|mail01 Łódź|Łódź" \
  "server name|??????|Δοκιμή jsmith|Δοκιμή" "user name|??????|mail01 Δοκιμή RUNONCE|Δοκιμή"; do
  IFS='|' read -r what shown arguments given <<<"$case"
  case $what in
  server*) advice="give the server's DNS name or IP address" ;;
  *) advice="give the mailbox name in characters of that code page, or leave it out to use the logon name" ;;
  esac
  message="The $what \"%s\" has characters that the system's ANSI code page cannot hold; $advice; no profile was written or registered."
  printf 'earlier profile' >"$unix_appdata/outlook.prf"
  # shellcheck disable=SC2086 # the words are meant to be split
  program $arguments
  # shellcheck disable=SC2059 # the message is the format
  error_output "$(printf "Error: $message" "$(printf "$shown")")" >"$work/expected"
  expect "\"$arguments\": refused" 1 "$work/expected"
  # shellcheck disable=SC2059
  logged "\"$arguments\"" "$(printf "Error: $message" "$given")" 1
  if [ "$(cat "$unix_appdata/outlook.prf")" != "earlier profile" ]; then
    fail "\"$arguments\": the profile was changed"
  fi
done
registry_untouched "names the code page cannot hold, one of the runs above"

# Names the code page holds are written as its bytes.
for case in "mäil01 Jürgen|m\xe4il01|J\xfcrgen" "mail01 x€y‰z|mail01|x\x80y\x89z"; do
  IFS='|' read -r arguments server mailbox <<<"$case"
  # shellcheck disable=SC2086
  program $arguments
  printf "HomeServer=$server\r\nMailboxName=$mailbox\r\n" >"$work/expected-names"
  grep -a -e '^MailboxName=' -e '^HomeServer=' "$unix_appdata/outlook.prf" | grep -a -v =PT_ |
    LC_ALL=C sort -u >"$work/names"
  if [ "$status" -eq 0 ] && cmp -s "$work/names" "$work/expected-names"; then
    echo "ok: \"$arguments\": written in code page 1252"
    passed=$((passed + 1))
  else
    fail "\"$arguments\": exit status $status; the names written:"
    od -c "$work/names"
  fi
done
"$wine" run "$state" reg delete 'HKCU\Software\Microsoft\Office' /f >/dev/null 2>&1

# A write that fails in the middle of the 7 KiB file (WriteFile fails past
# 4 KiB): an error, the earlier profile as it was, no temporary file left.
printf 'earlier profile' >"$unix_appdata/outlook.prf"
(
  trap '' XFSZ
  ulimit -f 4
  program server1 jsmith
  echo "$status" >"$work/status"
)
status=$(cat "$work/status")
message=$(tr -d '\r' <"$work/out" | tail -n 1)
case "$message" in
"Error: Cannot write the profile file \"$appdata\\outlook.prf\": "*) ;;
*) fail "a write failing in the middle: unexpected line: $message" ;;
esac
error_output "$message" >"$work/expected"
expect "a write failing in the middle: an error" 1 "$work/expected"
registry_untouched "a write failing in the middle"
left=$(cd "$unix_appdata" && ls -A | grep -v -x -e Microsoft -e outlook.prf)
if [ "$(cat "$unix_appdata/outlook.prf")" != "earlier profile" ] || [ -n "$left" ]; then
  fail "a write failing in the middle: the profile changed, or left behind: $left"
fi
rm -f "$unix_appdata/outlook.prf"

# A key that cannot be created: 12.0 is registered and taken back, 11.0
# fails, no profile file is put in place.
"$wine" run "$state" "$blocker" 'Software\Microsoft\Office\11.0' >/dev/null 2>&1
program server1 jsmith
message=$(tr -d '\r' <"$work/out" | tail -n 1)
case "$message" in
"Error: Cannot register the profile for Outlook 11.0: creating key "*"; no profile was written or registered.") ;;
*) fail "a registry failure: unexpected line: $message" ;;
esac
error_output "$message" >"$work/expected"
expect "a registry failure: an error" 1 "$work/expected"
logged "a registry failure" "$message" 5
if [ -e "$unix_appdata/outlook.prf" ]; then
  fail "a registry failure: the profile file was put in place"
fi
if "$wine" run "$state" reg query 'HKCU\Software\Microsoft\Office\12.0\Outlook\Setup' /v ImportPRF \
  >/dev/null 2>&1; then
  fail "a registry failure: 12.0 still points at the file that is not there"
fi
"$wine" run "$state" reg delete 'HKCU\Software\Microsoft\Office' /f >/dev/null 2>&1

# A user without a profile folder.
nobody="nobody-without-a-profile"
rm -rf "$prefix/drive_c/users/$nobody"
USER=$nobody program server1 jsmith
message=$(tr -d '\r' <"$work/out" | tail -n 1)
case "$message" in # what the shell said
"Error: Cannot find the user's application-data folder: the shell gives no such folder: "*" (error "*"); no profile was written or registered.") ;;
*) fail "no application-data folder: unexpected line: $message" ;;
esac
error_output "$message" >"$work/expected"
expect "no application-data folder: an error" 1 "$work/expected"
logged "no application-data folder" "$message" 3
if [ -e "$prefix/drive_c/users/$nobody" ]; then
  fail "something was written for $nobody"
fi
registry_untouched "no application-data folder"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
