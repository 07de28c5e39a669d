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
# The cases run one after the other in one cmd session (a batch file
# written here), which saves starting Wine for each; each case's script runs
# in a cmd of its own, and what it left (output, exit status, profile, log
# files) is kept in a folder of the case for the checks. Each case leaves the
# prefix as it found it.
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
temp=
profile=
# What the cases may have left behind in the prefix: the profile and files in
# %TEMP% (known once the cases have run), the Office key.
cleanup() {
  [ -z "$temp" ] || rm -rf "$profile" "$temp/Wendelmarquistone.log" "$temp"/Wendelmarquistone-*
  (cd / && timeout 30 "$wine" run "$state" reg delete 'HKCU\Software\Microsoft\Office' /f \
    </dev/null >/dev/null 2>&1)
}
trap 'cleanup; rm -rf "$work"' EXIT

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
show() { # CASE [FILE]: what the case's script printed and the log, after a failed check
  echo "--- script output:"
  cat "$work/r/$1.out" 2>/dev/null
  [ -n "${2:-}" ] && [ -f "$2" ] && echo "--- $2:" && cat "$2"
  echo "---"
}
run_wine() { # [PROGRAM ARGS...]: in the case folder, every stream off ctest's pipes
  (cd "$work" && timeout 60 "$wine" run "$state" "$@" </dev/null >>"$work/wine.out" 2>&1)
}

# The "NETLOGON share": the script with the exe beside it; another folder with
# the script alone; the log share, where the script makes its own folders.
share="$work/net logon"
no_exe="$work/R&D no exe"
mkdir -p "$share" "$no_exe" "$work/r" "$work/v"
cp "$script" "$share/logon.cmd"
cp "$script" "$no_exe/logon.cmd"
cp "$exe" "$share/Wendelmarquistone.exe"

# The batch file that runs the cases. Values reach it through files read
# with SET /P, which takes a line as it is (", & and % included).
driver="$work/cases.cmd"
bat() { printf '%s\r\n' "$@" >>"$driver"; }
setting() { # CASE NAME VALUE|-: sets NAME for the case (- unsets it)
  if [ "$3" = - ]; then
    bat "set \"$2=\""
  else
    printf '%s\r\n' "$3" >"$work/v/$1.$2"
    bat "set /p $2=<\"v\\$1.$2\""
  fi
}
logon() { # CASE [FOLDER]: runs FOLDER\logon.cmd (the share's by default) as a logon does
  if [ $# -eq 1 ]; then
    bat "cmd /c \"%T_SHARE%\\logon.cmd\" >\"r\\$1.out\" 2>&1"
  else # cmd /c cannot run a path with & in it; such a script is CALLed from it
    bat "cmd /c call \"$2\\logon.cmd\" >\"r\\$1.out\" 2>&1"
  fi
  bat ">\"r\\$1.status\" echo %ERRORLEVEL%" \
    "if exist \"%T_APPDATA%\\outlook.prf\" copy /y \"%T_APPDATA%\\outlook.prf\" \"r\\$1.prf\" >nul 2>&1" \
    "if exist \"%T_TEMP%\\Wendelmarquistone.log\" move /y \"%T_TEMP%\\Wendelmarquistone.log\" \"r\\$1.temp-log\" >nul" \
    "dir /b \"%T_TEMP%\\Wendelmarquistone-*\" >\"r\\$1.runs\" 2>nul"
}
no_profile_left() { bat "if exist \"%T_APPDATA%\\outlook.prf\" del \"%T_APPDATA%\\outlook.prf\""; }

bat '@echo off' 'setlocal EnableExtensions DisableDelayedExpansion'
# Wine's desktop process, started by the first program that needs it (the
# tool), inherits that program's handles and keeps its output file open as
# long as it lives; started here, it holds none of a case's files.
bat 'rundll32.exe user32.dll,GetDesktopWindow <nul >nul 2>&1'
bat 'set "T_APPDATA=%APPDATA%"' 'set "T_TEMP=%TEMP%"' 'set "T_WORK=%CD%"' \
  'set "T_SHARE=%CD%\net logon"' 'set "T_NO_EXE=%CD%\R&D no exe"'
# The user's folders and names as the script sees them, the case folder.
bat '>facts echo %APPDATA%' '>>facts echo %TEMP%' '>>facts echo %COMPUTERNAME%' \
  '>>facts echo %USERDOMAIN%' '>>facts echo %USERNAME%' '>>facts echo %CD%' \
  'winepath -u "%APPDATA%" "%TEMP%" >>facts 2>nul' \
  'reg delete "HKCU\Software\Microsoft\Office" /f >nul 2>&1' \
  'if exist "%APPDATA%\outlook.prf" del "%APPDATA%\outlook.prf"'
log_of() { # CASE: its log folder, in a folder made for it
  mkdir -p "$work/logs/$1"
  printf '%%T_WORK%%\\logs\\%s\\Wendelmarquistone' "$1"
}

# a) and b): a full run, and the same again.
for c in a b; do
  bat setlocal
  setting $c WM_SERVER "$server"
  bat "set \"WM_LOG=$(log_of ab)\""
  logon $c
  bat endlocal
  [ $c = a ] && bat "copy /y \"$(log_of ab)\\%COMPUTERNAME%_%USERNAME%.log\" \"r\\a.log\" >nul" \
    'reg query "HKCU\Software\Microsoft\Office\12.0\Outlook\Setup" /v ImportPRF >"r\a.import" 2>nul'
done
no_profile_left
bat 'reg delete "HKCU\Software\Microsoft\Office" /f >nul 2>&1'

# c) The tool fails: a folder stands where the profile goes.
bat setlocal "mkdir \"%T_APPDATA%\\outlook.prf\""
setting c WM_SERVER "$server"
bat "set \"WM_LOG=$(log_of c)\""
logon c
bat "rd \"%T_APPDATA%\\outlook.prf\"" endlocal

# d) No server name the tool could use: the shipped setting (empty), ones the
# tool takes for blank (it trims codes 1 to 32 and drops single quotes) or for
# a switch, all of which open its usage window, and two words, which it would
# take for a server and a user name. The tool must not be started.
d_settings=(unset '   ' $'\t' "''" "' '" '/?' 'mail01 jsmith')
for i in "${!d_settings[@]}"; do
  bat setlocal
  if [ "${d_settings[$i]}" = unset ]; then
    setting "d$i" WM_SERVER -
  else
    setting "d$i" WM_SERVER "${d_settings[$i]}"
  fi
  bat "set \"WM_LOG=$(log_of "d$i")\""
  logon "d$i"
  bat endlocal
done

# e) The exe is not beside the script, whose folder has & in its name.
bat setlocal
setting e WM_SERVER "$server"
bat "set \"WM_LOG=$(log_of e)\""
logon e '%T_NO_EXE%'
bat endlocal

# The tool ran in none of c, d and e (nor in c up to its registration), so
# the Office key, deleted before c, must still be missing.
bat 'reg query "HKCU\Software\Microsoft\Office" >nul 2>&1' '>"r\no-office-key.status" echo %ERRORLEVEL%'

# f) The log share cannot be reached.
bat setlocal
setting f WM_SERVER "$server"
setting f WM_LOG '\\nosuchhost.invalid\Logs$\Wendelmarquistone'
logon f
bat endlocal
no_profile_left

# g) Valid user names that mean something to cmd (& runs what follows, ^
# escapes, % and ! expand variables, parentheses group).
g_users=('R&D' 'a^b' '50%' 'x!y' '(a)')
for i in "${!g_users[@]}"; do
  bat setlocal
  setting "g$i" WM_SERVER "$server"
  setting "g$i" USERNAME "${g_users[$i]}"
  bat "set \"WM_LOG=$(log_of "g$i")\""
  logon "g$i"
  bat endlocal
  no_profile_left
done

bat 'reg delete "HKCU\Software\Microsoft\Office" /f >nul 2>&1'

run_wine cmd /c cases.cmd
mapfile -t facts < <(tr -d '\r' <"$work/facts" 2>/dev/null)
if [ "${#facts[@]}" -ne 8 ] || [ -z "${facts[0]}" ]; then
  echo "FAIL: the cases did not run; their batch file printed:"
  cat "$work/wine.out"
  exit 1
fi
appdata=${facts[0]}
temp=${facts[7]}
profile=${facts[6]}/outlook.prf
who="${facts[2]} ${facts[3]}\\${facts[4]}"
work_w=${facts[5]}
no_exe_w="$work_w\\R&D no exe"
log_file() { printf '%s/logs/%s/Wendelmarquistone/%s_%s.log' "$work" "$1" "${facts[2]}" "${2:-${facts[4]}}"; }

status_is_0() { [ "$(tr -d '\r ' <"$work/r/$1.status" 2>/dev/null)" = 0 ]; }
# shellcheck disable=SC2016 # the $ in the bracket is a character to escape
ere() { printf '%s' "$1" | sed 's/[][\\.*^$(){}+?|]/\\&/g'; } # TEXT as a pattern for grep -E
entries() { # LOG PATTERN [WHO]: the log's entry lines ending in ": PATTERN"
  [ -f "$1" ] || return 1
  tr -d '\r' <"$1" | grep -E "^[^ ]+ .* $(ere "${3:-$who}"): $2\$"
}
count_entries() { entries "$@" | wc -l; }
crlf_only() { # every line ends in CR LF, none is empty
  [ -s "$1" ] && ! grep -qE $'(^|[^\r])$' "$1" && [ "$(tail -c 2 "$1" | od -An -c | tr -d ' ')" = '\r\n' ]
}
has_line() { tr -d '\r' <"$1" | grep -qxF "$2"; }
line_of() { tr -d '\r' <"$1" | grep -nxF "$2" | head -1 | cut -d: -f1; }
import_prf() { # the ImportPRF value for Office 12.0 after case a, empty if none
  tr -d '\r' <"$work/r/a.import" | sed -n 's/^[[:space:]]*ImportPRF[[:space:]]\{1,\}REG_SZ[[:space:]]\{1,\}//p'
}
no_office_key() { [ "$(tr -d '\r ' <"$work/r/no-office-key.status")" = 1 ]; } # reg says 1 for a missing key
no_profile() { [ ! -e "$work/r/$1.prf" ]; }
nothing_done() { no_profile "$1" && no_office_key; } # CASE: no profile, nothing registered
no_run_folders() { [ ! -s "$work/r/$1.runs" ]; }

ran="Wendelmarquistone $server RUNONCE: exit status"

# a) A full run (its log as it was after it).
log=$work/r/a.log
ok=0
check "a) full run: the script ends with exit status 0" status_is_0 a || ok=1
check "a) full run: the profile is in the application-data folder" \
  grep -q "$server" "$work/r/a.prf" || ok=1
check "a) full run: ImportPRF for 12.0 is the profile's path" \
  test "$(import_prf)" = "$appdata\\outlook.prf" || ok=1
check "a) full run: the log has one entry with exit status 0" \
  test "$(count_entries "$log" "$ran 0")" -eq 1 || ok=1
check "a) full run: the log has the tool's success line" \
  has_line "$log" "Profile for user generated successfully" || ok=1
check "a) full run: the log's lines end in CR LF" crlf_only "$log" || ok=1
check "a) full run: no temporary files are left in %TEMP%" no_run_folders a || ok=1
[ "$ok" -eq 0 ] || show a "$log"

# b) The same again: RUNONCE finds the profile and changes nothing.
log=$(log_file ab)
ok=0
check "b) second run: the script ends with exit status 0" status_is_0 b || ok=1
check "b) second run: the profile is unchanged" cmp -s "$work/r/a.prf" "$work/r/b.prf" || ok=1
check "b) second run: the log has both entries with exit status 0" \
  test "$(count_entries "$log" "$ran 0")" -eq 2 || ok=1
first=$(line_of "$log" "Profile for user generated successfully")
again=$(line_of "$log" "Profile Already Genreated - No changes made")
check "b) second run: the new entry says the profile was already there, after the first" \
  test "${first:-0}" -gt 0 -a "${again:-0}" -gt "${first:-0}" || ok=1
[ "$ok" -eq 0 ] || show b "$log"

# c) The tool fails (a folder stands where the profile goes): exit status 1
# in the log, the error line with it, and still 0 from the script.
log=$(log_file c)
ok=0
check "c) tool fails: the script ends with exit status 0" status_is_0 c || ok=1
check "c) tool fails: the log has an entry with exit status 1" \
  test "$(count_entries "$log" "$ran 1")" -eq 1 || ok=1
check "c) tool fails: the log has the tool's error line" \
  grep -q '^Error: .*outlook\.prf' "$log" || ok=1
check "c) tool fails: nothing was registered" no_office_key || ok=1
[ "$ok" -eq 0 ] || show c "$log"

# d) No server name the tool could use.
blank="no Exchange server set - .*"
for i in "${!d_settings[@]}"; do
  setting=${d_settings[$i]}
  why=$blank
  case $setting in
  unset) why="no Exchange server set - WM_SERVER is empty" ;;
  /*) why="the server name $(ere "$setting") starts with / or -" ;;
  mail01*) why="the server name $setting has a space or tab in it.*" ;;
  esac
  if [ "$setting" = unset ]; then
    name="d) server as shipped (empty)"
  else
    name="d) server '$setting'"
  fi
  log=$(log_file "d$i")
  ok=0
  check "$name: the script ends by itself with exit status 0" status_is_0 "d$i" || ok=1
  check "$name: the log says the tool was not run, and why" \
    test "$(count_entries "$log" "not run: $why")" -eq 1 || ok=1
  check "$name: the log has no output of the tool" test "$(wc -l <"$log")" -eq 1 || ok=1
  check "$name: no profile, nothing registered" nothing_done "d$i" || ok=1
  [ "$ok" -eq 0 ] || show "d$i" "$log"
done

# e) The exe is not beside the script, whose folder has & in its name.
log=$(log_file e)
ok=0
check "e) no exe: the script ends with exit status 0" status_is_0 e || ok=1
check "e) no exe: the log says the exe was not found, with its whole path" \
  test "$(count_entries "$log" "not run: $(ere "$no_exe_w\\Wendelmarquistone.exe") not found")" \
  -eq 1 || ok=1
check "e) no exe: the script printed the entry and nothing else" cmp -s "$work/r/e.out" "$log" || ok=1
check "e) no exe: no profile, nothing registered" nothing_done e || ok=1
[ "$ok" -eq 0 ] || show e "$log"

# f) The log share cannot be reached: the tool still runs, the entry goes to
# the user's %TEMP%\Wendelmarquistone.log.
log=$work/r/f.temp-log
ok=0
check "f) no log share: the script ends with exit status 0" status_is_0 f || ok=1
check "f) no log share: the profile is written" test -f "$work/r/f.prf" || ok=1
check "f) no log share: the entry is in %TEMP%\\Wendelmarquistone.log" \
  test "$(count_entries "$log" "$ran 0")" -eq 1 || ok=1
[ "$ok" -eq 0 ] || show f "$log"

# g) Valid user names that mean something to cmd. The entry must hold the
# name as it is, in the user's own log file, and nothing may run or be
# printed besides the entry.
for i in "${!g_users[@]}"; do
  user=${g_users[$i]}
  log=$(log_file "g$i" "$user")
  ok=0
  check "g) user $user: the script ends with exit status 0" status_is_0 "g$i" || ok=1
  check "g) user $user: the log has one entry for the user with exit status 0" \
    test "$(count_entries "$log" "$ran 0" "${facts[2]} ${facts[3]}\\$user")" -eq 1 || ok=1
  check "g) user $user: the script printed the entry and nothing else" \
    cmp -s "$work/r/g$i.out" "$log" || ok=1
  check "g) user $user: the profile is written" test -f "$work/r/g$i.prf" || ok=1
  [ "$ok" -eq 0 ] || show "g$i" "$log"
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
