#!/usr/bin/env bash
# End-to-end cases of the batch logon script (docs/logon.cmd), run by cmd
# under Wine as a logon runs it: `cmd /c` on the script in a folder (with a
# space in its name) that also holds the exe, its settings from the
# environment, its log in a folder of a "share" it creates itself.
#  a) a full run: profile written and registered, logged with exit status 0;
#  b) the same again: RUNONCE leaves the profile alone, the log grows;
#  c) the tool fails: the script still ends with 0, the log has the error;
#  d) no usable server name (empty, blank as the tool sees it, a switch, or
#     two words): the tool is not started, nothing waits for a click, the log
#     says why;
#  e) no exe beside the script, in a folder with & in its name;
#  f) the log share cannot be reached: the log goes to %TEMP%;
#  g) user names with characters that mean something to cmd: the entry holds
#     them as they are and nothing else runs.
# Each case leaves the prefix as it found it.
#   logon-script-cases.sh WINE_STATE_DIR EXE SCRIPT
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
state=$(cd "$1" && pwd)
exe=$2
script=$3
wine="$here/../../scripts/wine.sh"
unset WM_SERVER WM_EXE WM_LOG
if ! "$wine" status "$state" >/dev/null; then
  exit 77 # this build's programs cannot run here; the probe test says why
fi
work=$(mktemp -d)
server=mail.corp.example

passed=0
failed=0
check() { # name command...: one check, passed when the command succeeds
  local name=$1
  shift
  if "$@"; then
    echo "ok: $name"
    passed=$((passed + 1))
  else
    echo "FAIL: $name"
    failed=$((failed + 1))
    return 1
  fi
}
show() { # what the script printed and the log, after a failed check
  echo "--- script output:"
  cat "$work/out"
  [ -f "$1" ] && echo "--- $1:" && cat "$1"
  echo "---"
}

winepath_() { # -w|-u PATH...: the paths converted, one a line
  timeout 30 "$wine" run "$state" winepath "$@" </dev/null 2>/dev/null | tr -d '\r'
}
registry() { # reg.exe ARGS...
  timeout 30 "$wine" run "$state" reg "$@" </dev/null 2>/dev/null | tr -d '\r'
}

# The user's folders and names, as the script sees them.
mapfile -t facts < <(timeout 30 "$wine" run "$state" cmd /c \
  'echo %APPDATA%&echo %TEMP%&echo %COMPUTERNAME%&echo %USERDOMAIN%&echo %USERNAME%' \
  </dev/null 2>/dev/null | tr -d '\r')
mapfile -t folders < <(winepath_ -u "${facts[0]:-}" "${facts[1]:-}")
if [ "${#facts[@]}" -ne 5 ] || [ "${#folders[@]}" -ne 2 ] || [ -z "${facts[0]}" ]; then
  echo "FAIL: cannot read the user's folders from cmd: ${facts[*]}"
  exit 1
fi
appdata=${facts[0]}
profile="${folders[0]}/outlook.prf"
temp="${folders[1]}"
temp_log="$temp/Wendelmarquistone.log"
who="${facts[2]} ${facts[3]}\\${facts[4]}"

# What a case may leave behind, in the prefix and in $work. The Office key is
# deleted unless a check has just seen that it is not there.
registry_clean=0
cleanup() {
  rm -rf "$profile" "$temp_log" "$work/logs/Wendelmarquistone" \
    "$temp"/Wendelmarquistone-*-output.txt "$temp"/Wendelmarquistone-*-entry.txt
  if [ "$registry_clean" -eq 0 ]; then
    registry delete 'HKCU\Software\Microsoft\Office' /f >/dev/null
    registry_clean=1
  fi
}
trap 'cleanup; rm -rf "$work"' EXIT
cleanup

# The "NETLOGON share": the script with the exe beside it; another folder with
# the script alone; the log share, where the script makes its own folder.
share="$work/net logon"
no_exe="$work/R&D no exe"
mkdir -p "$share" "$no_exe" "$work/logs"
cp "$script" "$share/logon.cmd"
cp "$script" "$no_exe/logon.cmd"
cp "$exe" "$share/Wendelmarquistone.exe"
mapfile -t windows < <(winepath_ -w "$share" "$no_exe" "$work/logs" "$work/as user.cmd")
share_w=${windows[0]}
no_exe_w=${windows[1]}
log_w="${windows[2]}\\Wendelmarquistone"
as_user_w=${windows[3]}
log="$work/logs/Wendelmarquistone/${facts[2]}_${facts[4]}.log"

status=0
logon() { # FOLDER [NAME]: runs FOLDER\logon.cmd (a Windows path); sets $status
  # Alone, as a logon would. With NAME, from a batch file that calls it, as the
  # user NAME if it is not empty (the logon name cannot be changed from outside
  # under Wine; USERNAME set in a caller can), or as it is: cmd /c cannot run
  # a path with & in it.
  local command=$1\\logon.cmd
  status=0
  registry_clean=0
  if [ $# -gt 1 ]; then
    {
      printf '@echo off\r\n'
      [ -z "$2" ] || printf 'set "USERNAME=%s"\r\n' "${2//%/%%}"
      printf 'call "%s"\r\n' "$command"
    } >"$work/as user.cmd"
    command=$as_user_w
  fi
  timeout 20 "$wine" run "$state" cmd /c "$command" \
    >"$work/out" 2>&1 </dev/null || status=$?
  if [ "$status" -eq 124 ]; then
    echo "(the script did not end within 20 s)"
  fi
}
ends_with_0() { [ "$status" -eq 0 ]; }
# shellcheck disable=SC2016 # the $ in the bracket is a character to escape
ere() { printf '%s' "$1" | sed 's/[][\\.*^$(){}+?|]/\\&/g'; } # TEXT as a pattern for grep -E
entries() { # LOG PATTERN: the log's entry lines ending in ": PATTERN"
  [ -f "$1" ] || return 1
  tr -d '\r' <"$1" | grep -E "^[^ ]+ .* $(ere "$who"): $2\$"
}
count_entries() { entries "$@" | wc -l; }
crlf_only() { # every line ends in CR LF, none is empty
  [ -s "$1" ] && ! grep -qE $'(^|[^\r])$' "$1" && [ "$(tail -c 2 "$1" | od -An -c | tr -d ' ')" = '\r\n' ]
}
has_line() { tr -d '\r' <"$1" | grep -qxF "$2"; }
line_of() { tr -d '\r' <"$1" | grep -nxF "$2" | head -1 | cut -d: -f1; }
import_prf() { # the ImportPRF value for Office 12.0, empty if none
  registry query 'HKCU\Software\Microsoft\Office\12.0\Outlook\Setup' /v ImportPRF |
    sed -n 's/^[[:space:]]*ImportPRF[[:space:]]\{1,\}REG_SZ[[:space:]]\{1,\}//p'
}
no_office_key() { # reg.exe says 1 for a missing key (not a timeout's 124)
  registry query 'HKCU\Software\Microsoft\Office' >/dev/null
  [ $? -eq 1 ] && registry_clean=1
}
no_profile() { [ ! -e "$profile" ]; }
no_temporary_files() {
  ! compgen -G "$temp/Wendelmarquistone-*-output.txt" >/dev/null &&
    ! compgen -G "$temp/Wendelmarquistone-*-entry.txt" >/dev/null
}

ran="Wendelmarquistone $server RUNONCE: exit status"

# a) A full run.
export WM_SERVER=$server WM_LOG=$log_w
logon "$share_w"
ok=0
check "a) full run: the script ends with exit status 0" ends_with_0 || ok=1
check "a) full run: the profile is in the application-data folder" \
  grep -q "$server" "$profile" || ok=1
check "a) full run: ImportPRF for 12.0 is the profile's path" \
  test "$(import_prf)" = "$appdata\\outlook.prf" || ok=1
check "a) full run: the log has one entry with exit status 0" \
  test "$(count_entries "$log" "$ran 0")" -eq 1 || ok=1
check "a) full run: the log has the tool's success line" \
  has_line "$log" "Profile for user generated successfully" || ok=1
check "a) full run: the log's lines end in CR LF" crlf_only "$log" || ok=1
check "a) full run: no temporary files are left in %TEMP%" no_temporary_files || ok=1
[ "$ok" -eq 0 ] || show "$log"
cp "$profile" "$work/profile.first" 2>/dev/null

# b) The same again: RUNONCE finds the profile and changes nothing.
logon "$share_w"
ok=0
check "b) second run: the script ends with exit status 0" ends_with_0 || ok=1
check "b) second run: the profile is unchanged" cmp -s "$work/profile.first" "$profile" || ok=1
check "b) second run: the log has both entries with exit status 0" \
  test "$(count_entries "$log" "$ran 0")" -eq 2 || ok=1
first=$(line_of "$log" "Profile for user generated successfully")
again=$(line_of "$log" "Profile Already Genreated - No changes made")
check "b) second run: the new entry says the profile was already there, after the first" \
  test "${first:-0}" -gt 0 -a "${again:-0}" -gt "${first:-0}" || ok=1
[ "$ok" -eq 0 ] || show "$log"
cleanup

# c) The tool fails (a folder stands where the profile goes): exit status 1
# in the log, the error line with it, and still 0 from the script.
mkdir -p "$profile"
logon "$share_w"
ok=0
check "c) tool fails: the script ends with exit status 0" ends_with_0 || ok=1
check "c) tool fails: the log has an entry with exit status 1" \
  test "$(count_entries "$log" "$ran 1")" -eq 1 || ok=1
check "c) tool fails: the log has the tool's error line" \
  grep -q '^Error: .*outlook\.prf' "$log" || ok=1
check "c) tool fails: nothing was registered" no_office_key || ok=1
[ "$ok" -eq 0 ] || show "$log"
cleanup

# d) No server name the tool could use: the shipped setting (empty), ones the
# tool takes for blank (it trims codes 1 to 32 and drops single quotes) or for
# a switch, all of which open its usage window, and two words, which it would
# take for a server and a user name. The tool must not be started.
blank="no Exchange server set - .*"
for setting in unset '   ' $'\t' "''" "' '" '/?' 'mail01 jsmith'; do
  why=$blank
  case $setting in
  unset) why="no Exchange server set - WM_SERVER is empty" ;;
  /*) why="the server name $(ere "$setting") starts with / or -" ;;
  mail01*) why="the server name $setting has a space or tab in it.*" ;;
  esac
  if [ "$setting" = unset ]; then
    unset WM_SERVER
    name="d) server as shipped (empty)"
  else
    export WM_SERVER=$setting
    name="d) server '$setting'"
  fi
  logon "$share_w"
  ok=0
  check "$name: the script ends by itself with exit status 0" ends_with_0 || ok=1
  check "$name: the log says the tool was not run, and why" \
    test "$(count_entries "$log" "not run: $why")" -eq 1 || ok=1
  check "$name: the log has no output of the tool" test "$(wc -l <"$log")" -eq 1 || ok=1
  check "$name: no profile, nothing registered" \
    eval 'no_profile && no_office_key' || ok=1
  [ "$ok" -eq 0 ] || show "$log"
  cleanup
done

# e) The exe is not beside the script, whose folder has & in its name.
export WM_SERVER=$server
logon "$no_exe_w" ''
ok=0
check "e) no exe: the script ends with exit status 0" ends_with_0 || ok=1
check "e) no exe: the log says the exe was not found, with its whole path" \
  test "$(count_entries "$log" "not run: $(ere "$no_exe_w\\Wendelmarquistone.exe") not found")" \
  -eq 1 || ok=1
check "e) no exe: the script printed the entry and nothing else" cmp -s "$work/out" "$log" || ok=1
check "e) no exe: no profile, nothing registered" eval 'no_profile && no_office_key' || ok=1
[ "$ok" -eq 0 ] || show "$log"
cleanup

# f) The log share cannot be reached: the tool still runs, the entry goes to
# the user's %TEMP%\Wendelmarquistone.log.
export WM_LOG='\\nosuchhost.invalid\Logs$\Wendelmarquistone'
logon "$share_w"
ok=0
check "f) no log share: the script ends with exit status 0" ends_with_0 || ok=1
check "f) no log share: the profile is written" test -f "$profile" || ok=1
check "f) no log share: the entry is in %TEMP%\\Wendelmarquistone.log" \
  test "$(count_entries "$temp_log" "$ran 0")" -eq 1 || ok=1
[ "$ok" -eq 0 ] || show "$temp_log"
cleanup

# g) Valid user names that mean something to cmd (& runs what follows, ^
# escapes, % and ! expand variables, parentheses group). The entry must
# hold the name as it is, in the user's own log file, and nothing may run
# or be printed besides the entry.
export WM_LOG=$log_w
for user in 'R&D' 'a^b' '50%' 'x!y' '(a)'; do
  who="${facts[2]} ${facts[3]}\\$user"
  user_log="$work/logs/Wendelmarquistone/${facts[2]}_$user.log"
  logon "$share_w" "$user"
  ok=0
  check "g) user $user: the script ends with exit status 0" ends_with_0 || ok=1
  check "g) user $user: the log has one entry for the user with exit status 0" \
    test "$(count_entries "$user_log" "$ran 0")" -eq 1 || ok=1
  check "g) user $user: the script printed the entry and nothing else" \
    cmp -s "$work/out" "$user_log" || ok=1
  check "g) user $user: the profile is written" test -f "$profile" || ok=1
  [ "$ok" -eq 0 ] || show "$user_log"
  cleanup
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
