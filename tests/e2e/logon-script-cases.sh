#!/usr/bin/env bash
# End-to-end cases of the batch logon script (docs/logon.cmd), run by cmd
# under Wine as a logon runs it: `cmd /c` on the script in a folder (with a
# space in its name) that also holds the exe, its settings from the
# environment, its log in a folder of a "share" (it makes that folder, never
# the ones above it).
#  a) a full run: profile written and registered, logged with exit status 0;
#  b) the same again: RUNONCE leaves the profile alone, the log grows;
#  c) the tool fails: the script still ends with 0, the log has the error;
#  d) no usable server name (empty, blank as the tool sees it, a switch, or
#     two words): the tool is not started, nothing waits for a click, the log
#     says why;
#  e) no exe beside the script, in a folder with & in its name;
#  f) the log share cannot be reached: the log goes to %TEMP%, saying why;
#  g) user names with characters that mean something to cmd: the entry holds
#     them as they are and nothing else runs;
#  h) the log folder is there but the user's log file cannot be written (a
#     folder stands in its place): the entry goes to %TEMP%, saying why;
#  i) a mistyped log folder whose parent is not there: nothing is made, the
#     entry goes to %TEMP%, saying why (the server is not set: the tool's
#     run does not matter here);
#  j) a log folder that cannot be made (a file has its name): the same;
#  k) a " in the exe's path and in the log folder's, each followed by a
#     command: both refused, nothing runs, the entry goes to %TEMP%;
#  l) %b in TEMP, where the script keeps its files, and %a, %c and %d in the
#     log folder (with & and parentheses), the computer name and the server
#     name, the letters cmd's loops use: a full run, all kept as they are;
#  m) four logons of one user started at once, whose per-run folders clash:
#     each entry has its own output, no files are left;
#  n) the options setting: both words in any case and spacing, none, and
#     settings refused (a word that is not an option, three words, a quote):
#     the log line shows the options the tool was given;
#  u) the undo script (docs/undo.cmd as the build makes it) after a full run,
#     with another file's ImportPRF in one version, one naming the profile in
#     other letters' case, another value beside it and a mail profile
#     named Exchange: what names the profile is removed, and the file; the
#     rest is kept; a second run changes nothing and says so.
# The cases run in one cmd session (a batch file written here), which saves
# starting Wine for each: a to l one after the other, m's four at once, then
# n and u. Each case's script runs in a cmd of its own, and what it left
# (output, exit status, profile, log files) is kept in a folder of the case
# for the checks.
# Each case leaves the prefix as it found it.
# cmd's %RANDOM% is msvcrt's rand() seeded with the time in seconds (measured
# under Wine 8, whose cmd has drawn one number by the time the script draws):
# the first three numbers of every second the cases may start in are taken
# by folders made beforehand, so that every run meets a clash.
#   logon-script-cases.sh WINE_STATE_DIR EXE SCRIPT IN_JOB_EXE UNDO_SCRIPT
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
state=$(cd "$1" && pwd)
exe=$2
script=$3
in_job=$4
undo=$5
wine="$here/../../scripts/wine.sh"
unset WM_SERVER WM_EXE WM_LOG WM_OPTIONS
if ! "$wine" status "$state" >/dev/null; then
  exit 77 # this build's programs cannot run here; the probe test says why
fi
work=$(mktemp -d)
server=mail.corp.example
mail_profiles='HKCU\Software\Microsoft\Windows NT\CurrentVersion\Windows Messaging Subsystem\Profiles'
temp=
profile=
# What the cases may have left behind in the prefix: the profile and files in
# %TEMP% (known once the cases have run), a folder, the Office key.
cleanup() {
  [ -z "$temp" ] || rm -rf "$profile" "$temp/Wendelmarquistone.log" "$temp"/Wendelmarquistone-*
  rm -rf "$state/prefix/drive_c/t50%b"
  (cd / && timeout 30 "$wine" run "$state" reg delete 'HKCU\Software\Microsoft\Office' /f \
    </dev/null >/dev/null 2>&1)
  (cd / && timeout 30 "$wine" run "$state" reg delete "$mail_profiles" /f </dev/null >/dev/null 2>&1)
}
trap 'cleanup; rm -rf "$work"' EXIT

passed=0
failed=0
ok=0
check() { # name command...: one check, passed when the command succeeds (else ok=1)
  local name=$1
  shift
  if "$@"; then
    echo "ok: $name"
    passed=$((passed + 1))
  else
    echo "FAIL: $name"
    failed=$((failed + 1))
    ok=1
  fi
}
show() { # CASE [FILE]: what the case's script printed and the log, after a failed check
  echo "--- script output:"
  cat "$work/r/$1.out" 2>/dev/null
  [ -n "${2:-}" ] && [ -f "$2" ] && echo "--- $2:" && cat "$2"
  echo "---"
}
run_wine() { # [PROGRAM ARGS...]: in the case folder, every stream off ctest's pipes, in a job
  # that ends the programs it starts too when it is stopped
  (cd "$work" && timeout 120 "$wine" run "$state" "$in_job" "$@" </dev/null >>"$work/wine.out" 2>&1)
}

# The "NETLOGON share": the script with the exe beside it; another folder with
# the script alone. The log share is a folder per case (logs\CASE), in which
# the script makes its log folder.
share="$work/net logon"
no_exe="$work/R&D no exe"
mkdir -p "$share" "$no_exe" "$work/r" "$work/v"
cp "$script" "$share/logon.cmd"
cp "$script" "$no_exe/logon.cmd"
cp "$exe" "$share/Wendelmarquistone.exe"
cp "$undo" "$share/undo.cmd"

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
start_case() { bat setlocal "set \"WM_LOG=$(log_of "$1")\""; } # CASE: its settings follow
end_case() { logon "$@" && bat endlocal && no_profile_left; } # CASE [FOLDER]
# A full run's case for each value, LETTER0, LETTER1, ...: the server set and
# NAME set to the value.
case_per_value() { # LETTER NAME VALUE...
  local letter=$1 name=$2 i=0
  shift 2
  for value in "$@"; do
    start_case "$letter$i"
    setting "$letter$i" WM_SERVER "$server"
    setting "$letter$i" "$name" "$value"
    end_case "$letter$i"
    i=$((i + 1))
  done
}

now=$(date +%s)
for seed in $(seq $((now - 1)) $((now + 60))); do
  for _ in 1 2 3; do
    seed=$(((seed * 214013 + 2531011) & 0xffffffff))
    echo "Wendelmarquistone-$((seed >> 16 & 0x7fff))"
  done
done | sort -u >"$work/taken"

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
  'if exist "%APPDATA%\outlook.prf" del "%APPDATA%\outlook.prf"' \
  'for /f %%z in (taken) do (' '  mkdir "%TEMP%\%%z"' '  >"%TEMP%\%%z\taken" echo taken' ')'
log_of() { # CASE: its log folder, in a folder made for it
  mkdir -p "$work/logs/$1"
  printf '%%T_WORK%%\\logs\\%s\\Wendelmarquistone' "$1"
}

# a) and b): a full run, and the same again.
for c in a b; do
  bat setlocal "set \"WM_LOG=$(log_of ab)\""
  setting $c WM_SERVER "$server"
  logon $c
  bat endlocal
  [ $c = a ] && bat "copy /y \"$(log_of ab)\\%COMPUTERNAME%_%USERNAME%.log\" \"r\\a.log\" >nul" \
    'reg query "HKCU\Software\Microsoft\Office\12.0\Outlook\Setup" /v ImportPRF >"r\a.import" 2>nul'
done
no_profile_left
bat 'reg delete "HKCU\Software\Microsoft\Office" /f >nul 2>&1'

# c) The tool fails: the server name is longer than a DNS name can be (which
# it finds at once; a folder where the profile goes would make it try the
# rename for a second and a half).
long_server="$(printf 'a%.0s' $(seq 250)).example"
start_case c
setting c WM_SERVER "$long_server"
end_case c

# d) No server name the tool could use: the shipped setting (empty), ones the
# tool takes for blank (it trims codes 1 to 32 and drops single quotes) or for
# a switch, all of which open its usage window, and two words, which it would
# take for a server and a user name. The tool must not be started.
d_settings=(unset '   ' $'\t' "''" "' '" '/?' 'mail01 jsmith')
for i in "${!d_settings[@]}"; do
  start_case "d$i"
  setting "d$i" WM_SERVER "${d_settings[$i]/#unset/-}"
  end_case "d$i"
done

# e) The exe is not beside the script, whose folder has & in its name.
start_case e
setting e WM_SERVER "$server"
end_case e '%T_NO_EXE%'

# k) A " in the exe's path and in the log folder's, and a command after it.
injection="\" & echo INJ>\"Z:${work//\//\\}\\injected-k.txt"
start_case k
setting k WM_SERVER "$server"
setting k WM_EXE "Z:${share//\//\\}\\Wendelmarquistone.exe$injection"
setting k WM_LOG "Z:${work//\//\\}\\logs\\k\\Wendelmarquistone$injection"
end_case k
# The tool ran in none of d, e and k and stopped in c before writing anything,
# so the Office key, deleted before c, must still be missing.
bat 'reg query "HKCU\Software\Microsoft\Office" >nul 2>&1' '>"r\no-office-key.status" echo %ERRORLEVEL%'

# f) The log share cannot be reached.
start_case f
setting f WM_SERVER "$server"
setting f WM_LOG '\\nosuchhost.invalid\Logs$\Wendelmarquistone'
end_case f

# g) Valid user names that mean something to cmd (& runs what follows, ^
# escapes, % and ! expand variables, parentheses group).
g_users=('R&D' 'a^b' '50%' 'x!y' '(a)')
case_per_value g USERNAME "${g_users[@]}"

# h) The log folder is there, but a folder stands where the user's log file
# goes, so the entry cannot be appended to it.
start_case h
setting h WM_SERVER "$server"
bat "mkdir \"%WM_LOG%\\%COMPUTERNAME%_%USERNAME%.log\""
end_case h

# i) A mistyped log folder: its parent folder is not there.
bat setlocal 'set "WM_LOG=%T_WORK%\logs\i\nonexist\deep\er"'
setting i WM_SERVER -
end_case i

# j) The log folder cannot be made: a file has its name.
start_case j
setting j WM_SERVER -
bat '>"%WM_LOG%" echo not a folder'
end_case j

# l) %b in TEMP, the folder where the script keeps its files, %a in the log
# folder (with & and parentheses), %c in the computer's name, %d in the
# server's: b is a letter of a loop in the script that reads TEMP.
mkdir "$state/prefix/drive_c/t50%b"
start_case l
setting l TEMP 'C:\t50%b'
setting l WM_SERVER 'mail%d.corp.example'
setting l COMPUTERNAME 'PC%c'
setting l WM_LOG "Z:${work//\//\\}\\logs\\l\\R&D %a (x)"
end_case l

# m) Four logons of one user started at once, each by a batch file that
# keeps its output and exit status and then says it is done.
printf '%s\r\n' '@echo off' 'cmd /c "%T_SHARE%\logon.cmd" >"r\m%1.out" 2>&1' \
  '>"r\m%1.status" echo %ERRORLEVEL%' '>"r\m%1.done" echo done' >"$work/m.cmd"
start_case m
setting m WM_SERVER "$server"
bat 'set /a "T_WAIT=0"'
for i in 1 2 3 4; do bat "start \"\" /b cmd /c m.cmd $i"; done
m_rounds=100000 # how often the batch file looks for the four to be done before it gives up
bat ':m_wait' 'set /a "T_WAIT+=1"' "if %T_WAIT% geq $m_rounds goto m_gave_up"
for i in 1 2 3 4; do bat "if not exist \"r\\m$i.done\" goto m_wait"; done
bat 'goto m_end' ':m_gave_up' '>"r\m.gave-up" dir /b r\m*.done' ':m_end' endlocal
bat 'reg delete "HKCU\Software\Microsoft\Office" /f >nul 2>&1'
no_profile_left

# n) The options setting: both words (in other letters' case, with more
# blanks), none (blank), and settings the script refuses.
n_settings=('only_empty  runonce' ' ' 'RUNONCE /x' 'RUNONCE ONLY_EMPTY RUNONCE' 'RUNONCE" & echo x')
case_per_value n WM_OPTIONS "${n_settings[@]}"
bat 'reg delete "HKCU\Software\Microsoft\Office" /f >nul 2>&1'

# u) A full run, then in the registry: another file's ImportPRF for 11.0, the
# profile's own path in upper case for 10.0, a value of Outlook's beside
# ImportPRF, a mail profile named Exchange; then the undo script twice, the
# Office key read before, between and after.
start_case u
setting u WM_SERVER "$server"
logon u
bat endlocal
office_key='HKCU\Software\Microsoft\Office'
bat "reg add \"$office_key\\11.0\\Outlook\\Setup\" /v ImportPRF /d \"C:\\other\\outlook.prf\" /f >nul" \
  "reg add \"$office_key\\10.0\\Outlook\\Setup\" /v ImportPRF /d \"%APPDATA%\\OUTLOOK.PRF\" /f >nul" \
  "reg add \"$office_key\\12.0\\Outlook\\Setup\" /v Keep /d kept /f >nul" \
  "reg add \"$mail_profiles\\Exchange\" /f >nul" \
  "reg query \"$office_key\" /s >\"r\\u0.office\" 2>&1"
for i in 1 2; do
  bat "cmd /c \"%T_SHARE%\\undo.cmd\" >\"r\\u$i.out\" 2>&1" ">\"r\\u$i.status\" echo %ERRORLEVEL%" \
    "reg query \"$office_key\" /s >\"r\\u$i.office\" 2>&1" \
    "if exist \"%T_APPDATA%\\outlook.prf\" echo left>\"r\\u$i.prf-left\""
done
bat "reg delete \"$mail_profiles\" /f >nul 2>&1" 'reg delete "HKCU\Software\Microsoft\Office" /f >nul 2>&1'
no_profile_left

run_wine cmd /c cases.cmd
cases_status=$?
if [ "$cases_status" -eq 124 ]; then # every later case would fail for want of its files
  echo "FAIL: the cases' batch file was stopped by its time limit (120 s); it printed:"
  cat "$work/wine.out"
  exit 1
fi
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
if [ "$work_w" != "Z:${work//\//\\}" ]; then # the mapping the values of k) and l) use
  echo "FAIL: Wine names the case folder $work_w, not Z:${work//\//\\}"
  exit 1
fi
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
# Each reads its input to the end: a grep -q that matches early would end tr with
# SIGPIPE, which pipefail reports as a failure (tr writes a profile in 4 KiB pieces;
# measured: 5 of 300 such checks failed).
has_line() { tr -d '\r' <"$1" | grep -xF "$2" >/dev/null; }
line_of() { tr -d '\r' <"$1" | grep -nxF "$2" | head -1 | cut -d: -f1; }
second_line() { tr -d '\r' <"$1" | sed -n 2p; }
import_prf() { # the ImportPRF value for Office 12.0 after case a, empty if none
  tr -d '\r' <"$work/r/a.import" | sed -n 's/^[[:space:]]*ImportPRF[[:space:]]\{1,\}REG_SZ[[:space:]]\{1,\}//p'
}
no_office_key() { [ "$(tr -d '\r ' <"$work/r/no-office-key.status")" = 1 ]; } # reg says 1 for a missing key
no_profile() { [ ! -e "$work/r/$1.prf" ]; }
nothing_done() { no_profile "$1" && no_office_key; } # CASE: no profile, nothing registered
no_run_folders() { ! tr -d '\r' <"$work/r/$1.runs" | grep -vxFf "$work/taken" >/dev/null; } # CASE: but the taken ones
outcomes() { tr -d '\r' <"$1" | grep -cxE 'Profile for user generated successfully|Profile Already Genreated - No changes made'; }
tool_output() { # LOG [N]: N entries (1) each followed by the tool's banner and outcome
  [ "$(grep -c '= Version: 20070621' "$1")" -eq "${2:-1}" ] && [ "$(outcomes "$1")" -eq "${2:-1}" ]
}
second_line_is() { second_line "$1" | grep -qxE "$2"; } # LOG PATTERN
run_folders_left() { # the script's folders in %TEMP%, but the taken ones
  (cd "$temp" && compgen -G "Wendelmarquistone-*" | grep -vxFf "$work/taken")
}

ran="Wendelmarquistone $server RUNONCE: exit status"

# a) A full run (its log as it was after it).
log=$work/r/a.log
ok=0
check "a) full run: the script ends with exit status 0" status_is_0 a
check "a) full run: the profile is in the application-data folder" grep -q "$server" "$work/r/a.prf"
check "a) full run: ImportPRF for 12.0 is the profile's path" \
  test "$(import_prf)" = "$appdata\\outlook.prf"
check "a) full run: the log has one entry with exit status 0" \
  test "$(count_entries "$log" "$ran 0")" -eq 1
check "a) full run: the log has the tool's success line" \
  has_line "$log" "Profile for user generated successfully"
check "a) full run: the log's lines end in CR LF" crlf_only "$log"
check "a) full run: no temporary files are left in %TEMP%" no_run_folders a
[ "$ok" -eq 0 ] || show a "$log"

# b) The same again: RUNONCE finds the profile and changes nothing.
log=$(log_file ab)
ok=0
check "b) second run: the script ends with exit status 0" status_is_0 b
check "b) second run: the profile is unchanged" cmp -s "$work/r/a.prf" "$work/r/b.prf"
check "b) second run: the log has both entries with exit status 0" \
  test "$(count_entries "$log" "$ran 0")" -eq 2
first=$(line_of "$log" "Profile for user generated successfully")
again=$(line_of "$log" "Profile Already Genreated - No changes made")
check "b) second run: the new entry says the profile was already there, after the first" \
  test "${first:-0}" -gt 0 -a "${again:-0}" -gt "${first:-0}"
[ "$ok" -eq 0 ] || show b "$log"

# c) The tool fails (the server name is too long): exit status 1 in the log,
# the error line with it, and still 0 from the script.
log=$(log_file c)
ok=0
check "c) tool fails: the script ends with exit status 0" status_is_0 c
check "c) tool fails: the log has an entry with exit status 1" \
  test "$(count_entries "$log" "Wendelmarquistone $long_server RUNONCE: exit status 1")" -eq 1
check "c) tool fails: the log has the tool's error line" \
  grep -q '^Error: The server name is 258 characters long' "$log"
check "c) tool fails: nothing was registered" no_office_key
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
  check "$name: the script ends by itself with exit status 0" status_is_0 "d$i"
  check "$name: the log says the tool was not run, and why" \
    test "$(count_entries "$log" "not run: $why")" -eq 1
  check "$name: the log has no output of the tool" test "$(wc -l <"$log")" -eq 1
  check "$name: no profile, nothing registered" nothing_done "d$i"
  [ "$ok" -eq 0 ] || show "d$i" "$log"
done

# e) The exe is not beside the script, whose folder has & in its name.
log=$(log_file e)
ok=0
check "e) no exe: the script ends with exit status 0" status_is_0 e
check "e) no exe: the log says the exe was not found, with its whole path" \
  test "$(count_entries "$log" "not run: $(ere "$no_exe_w\\Wendelmarquistone.exe") not found")" \
  -eq 1
check "e) no exe: the script printed the entry and nothing else" cmp -s "$work/r/e.out" "$log"
check "e) no exe: no profile, nothing registered" nothing_done e
[ "$ok" -eq 0 ] || show e "$log"

# f) The log share cannot be reached: the tool still runs, the entry goes to
# the user's %TEMP%\Wendelmarquistone.log and says why.
log=$work/r/f.temp-log
ok=0
check "f) no log share: the script ends with exit status 0" status_is_0 f
check "f) no log share: the profile is written" test -f "$work/r/f.prf"
check "f) no log share: the entry is in %TEMP%\\Wendelmarquistone.log" \
  test "$(count_entries "$log" "$ran 0")" -eq 1
share_path="\\\\nosuchhost.invalid\\Logs\$\\"
check "f) no log share: the entry says the share cannot be reached" second_line_is "$log" \
  "$(ere "Not logged in ${share_path}Wendelmarquistone: the folder it is made in cannot be found or reached: $share_path")"
check "f) no log share: the script printed the entry and nothing else" cmp -s "$work/r/f.out" "$log"
[ "$ok" -eq 0 ] || show f "$log"

# g) Valid user names that mean something to cmd. The entry must hold the
# name as it is, in the user's own log file, and nothing may run or be
# printed besides the entry.
for i in "${!g_users[@]}"; do
  user=${g_users[$i]}
  log=$(log_file "g$i" "$user")
  ok=0
  check "g) user $user: the script ends with exit status 0" status_is_0 "g$i"
  check "g) user $user: the log has one entry for the user with exit status 0" \
    test "$(count_entries "$log" "$ran 0" "${facts[2]} ${facts[3]}\\$user")" -eq 1
  check "g) user $user: the script printed the entry and nothing else" \
    cmp -s "$work/r/g$i.out" "$log"
  check "g) user $user: the profile is written" test -f "$work/r/g$i.prf"
  [ "$ok" -eq 0 ] || show "g$i" "$log"
done

# h), i), j): the log folder can be reached but not written, or is not there,
# or cannot be made. One entry, in %TEMP%, with the reason on its second line;
# nothing is made in the log folder's stead.
h_file="$work_w\\logs\\h\\Wendelmarquistone\\${facts[2]}_${facts[4]}.log"
i_folder="$work_w\\logs\\i\\nonexist\\deep\\er"
j_folder="$work_w\\logs\\j\\Wendelmarquistone"
declare -A reason=( # the second line, as a pattern for grep -E
  [h]="$(ere "Not logged in $h_file: ")Access (is )?denied\\."
  [i]="$(ere "Not logged in $i_folder: the folder it is made in cannot be found or reached: $work_w\\logs\\i\\nonexist\\deep\\")"
  [j]="$(ere "Not logged in $j_folder: the folder cannot be made: ").+"
)
declare -A what=([h]="the log file is a folder" [i]="mistyped log folder" [j]="log folder cannot be made")
declare -A result=([h]="$ran 0" [i]="not run: no Exchange server set - WM_SERVER is empty")
result[j]=${result[i]}
for c in h i j; do
  log=$work/r/$c.temp-log
  ok=0
  check "$c) ${what[$c]}: the script ends with exit status 0" status_is_0 "$c"
  check "$c) ${what[$c]}: one entry, in %TEMP%\\Wendelmarquistone.log" \
    test "$(count_entries "$log" "${result[$c]}")" -eq 1
  check "$c) ${what[$c]}: its second line says why it is there" \
    second_line_is "$log" "${reason[$c]}"
  if [ "$c" = h ]; then
    check "h) ${what[h]}: the tool's output follows" tool_output "$log"
  else
    check "$c) ${what[$c]}: nothing follows" test "$(wc -l <"$log")" -eq 2
  fi
  check "$c) ${what[$c]}: the lines end in CR LF" crlf_only "$log"
  check "$c) ${what[$c]}: the script printed the entry and nothing else" \
    cmp -s "$work/r/$c.out" "$log"
  [ "$ok" -eq 0 ] || show "$c" "$log"
done
check "h) the log file is a folder: nothing else is in the log folder" \
  test "$(ls -A "$work/logs/h/Wendelmarquistone")" = "${facts[2]}_${facts[4]}.log"
check "i) mistyped log folder: none of its folders was made" test ! -e "$work/logs/i"
check "j) log folder cannot be made: the file with its name is unchanged" \
  test "$(tr -d '\r' <"$work/logs/j/Wendelmarquistone")" = "not a folder"

# k) A " in WM_EXE or WM_LOG is refused; what follows it does not run.
n="k) quotes in the paths"
log=$work/r/k.temp-log
ok=0
check "$n: the script ends with exit status 0" status_is_0 k
check "$n: the entry says the tool was not run, and why" \
  test "$(count_entries "$log" "not run: the path in WM_EXE has a quote in it")" -eq 1
check "$n: it is in %TEMP%, and its second line says why" \
  second_line_is "$log" "$(ere "Not logged in $work_w\\logs\\k\\Wendelmarquistone$injection: its path has a quote in it.")"
check "$n: the commands after the quotes did not run" test ! -e "$work/injected-k.txt"
check "$n: the script printed the entry and nothing else" cmp -s "$work/r/k.out" "$log"
check "$n: no profile, nothing registered" nothing_done k
[ "$ok" -eq 0 ] || show k "$log"

# l) TEMP=C:\t50%b: the script's files are made there and removed; %a, %c
# and %d stay as they are.
n="l) %b in TEMP, %a %c %d in the others"
log="$work/logs/l/R&D %a (x)/PC%c_${facts[4]}.log"
ok=0
check "$n: the script ends with exit status 0" status_is_0 l
check "$n: the log is in the folder named, the entry as it was" \
  test "$(count_entries "$log" "Wendelmarquistone mail%d\\.corp\\.example RUNONCE: exit status 0" \
    "PC%c ${facts[3]}\\${facts[4]}")" -eq 1
check "$n: the tool's output follows" tool_output "$log"
check "$n: the profile names the server as it was" grep -q 'mail%d\.corp\.example' "$work/r/l.prf"
check "$n: the script printed the entry and nothing else" cmp -s "$work/r/l.out" "$log"
check "$n: nothing is left in TEMP" test -z "$(ls -A "$state/prefix/drive_c/t50%b")"
[ "$ok" -eq 0 ] || show l "$log"

# m) Four logons of one user at once.
each_printed_an_entry() { # LOG: each run's output is a whole entry of the log
  local i
  for i in 1 2 3 4; do
    [ "$(wc -l <"$work/r/m$i.out")" -eq 9 ] && tool_output "$work/r/m$i.out" &&
      grep -qxF "$(head -1 "$work/r/m$i.out")" "$1" || return 1
  done
}
all_ended_with_0() { local i; for i in 1 2 3 4; do status_is_0 "m$i" || return 1; done; }
log=$(log_file m)
n="m) four at once"
ok=0
waited_for_all() { # the batch file's wait for the four did not give up
  [ ! -e "$work/r/m.gave-up" ] && return 0
  echo "the wait gave up after $m_rounds rounds; done by then: $(tr '\r\n' '  ' <"$work/r/m.gave-up")"
  return 1
}
check "$n: the four were waited for until each was done" waited_for_all
check "$n: every script ends with exit status 0" all_ended_with_0
check "$n: the log has four entries with exit status 0" \
  test "$(count_entries "$log" "$ran 0")" -eq 4
check "$n: each entry has the tool's whole output" tool_output "$log" 4
check "$n: each script printed a whole entry of the log and nothing else" \
  each_printed_an_entry "$log"
[ "$ok" -eq 0 ] || show m1 "$log"

# n) The options setting.
for i in "${!n_settings[@]}"; do
  setting=${n_settings[$i]}
  case $i in
  0) line="Wendelmarquistone $server ONLY_EMPTY RUNONCE: exit status 0" default=No ;;
  1) line="Wendelmarquistone $server: exit status 0" default=Yes ;;
  2) line="not run: WM_OPTIONS has a word that is not RUNONCE or ONLY_EMPTY: $setting" ;;
  3) line="not run: WM_OPTIONS has more than two words: $setting" ;;
  4) line="not run: WM_OPTIONS has a quote in it" ;;
  esac
  log=$(log_file "n$i")
  name="n) options '$setting'"
  ok=0
  check "$name: the script ends with exit status 0" status_is_0 "n$i"
  check "$name: the log's line is \"$line\"" test "$(count_entries "$log" "$(ere "$line")")" -eq 1
  if [ "$i" -le 1 ]; then
    check "$name: the profile is written with DefaultProfile=$default" \
      has_line "$work/r/n$i.prf" "DefaultProfile=$default"
    check "$name: the tool's output follows" tool_output "$log"
  else
    check "$name: the tool was not run" nothing_done "n$i"
  fi
  if [ "$ok" -ne 0 ]; then
    show "n$i" "$log"
    echo "--- the profile's [General] section, as copied after the run:"
    sed -n '/^\[General\]/,/^.$/p' "$work/r/n$i.prf" 2>&1
  fi
done

# u) The undo script.
import_prfs() { # REG_DUMP: the data of every ImportPRF in the dump, one a line
  tr -d '\r' <"$1" | sed -n 's/^[[:space:]]*ImportPRF[[:space:]]\{1,\}REG_SZ[[:space:]]\{1,\}//p'
}
profile_w="$appdata\\outlook.prf"
naming_profile() { import_prfs "$1" | grep -ciFx "$profile_w"; } # REG_DUMP: how many name the file
has_value() { tr -d '\r' <"$1" | grep -E "^[[:space:]]*$2[[:space:]]+REG_SZ[[:space:]]+$(ere "$3")\$" >/dev/null; }
n="u) undo after a full run"
ok=0
named=$(naming_profile "$work/r/u0.office")
check "$n: before it, ImportPRF names the profile in several versions" test "$named" -ge 2
check "$n: the script ends with exit status 0" test "$(tr -d '\r ' <"$work/r/u1.status")" = 0
check "$n: no ImportPRF names the profile" test "$(naming_profile "$work/r/u1.office")" -eq 0
check "$n: it says so for each version that named it" \
  test "$(tr -d '\r' <"$work/r/u1.out" | grep -cx "Office [0-9.]*: ImportPRF removed (it named the tool's file)\.")" \
  -eq "$named"
check "$n: another file's ImportPRF is kept" has_value "$work/r/u1.office" ImportPRF 'C:\other\outlook.prf'
check "$n: and it says so" has_line "$work/r/u1.out" \
  "Office 11.0: ImportPRF kept: it names C:\other\outlook.prf, not the tool's file."
check "$n: the value beside ImportPRF is kept" has_value "$work/r/u1.office" Keep kept
check "$n: the profile file is gone" test ! -e "$work/r/u1.prf-left"
check "$n: it says so" has_line "$work/r/u1.out" "Removed the file $profile_w"
check "$n: it names the mail profile it leaves, and how to remove it" \
  grep -q '^remove it by hand: close Outlook; Control Panel, Mail, Show Profiles;' "$work/r/u1.out"
check "$n: it says what it cannot undo" grep -q '^Not undone: the values FirstRun and First-Run' "$work/r/u1.out"
check "$n: it ends saying it is done" \
  test "$(tr -d '\r' <"$work/r/u1.out" | tail -1)" = "Done: nothing of the tool's is left for this user."
[ "$ok" -eq 0 ] || { echo "--- undo's output:"; cat "$work/r/u1.out"; cat "$work/r/u1.office"; }
n="u) undo run again"
ok=0
check "$n: the script ends with exit status 0" test "$(tr -d '\r ' <"$work/r/u2.status")" = 0
check "$n: the registry is as the first run left it" cmp -s "$work/r/u1.office" "$work/r/u2.office"
check "$n: it removes nothing" test "$(grep -c 'removed\|^Removed' "$work/r/u2.out")" -eq 0
check "$n: it says that nothing was changed" test "$(tr -d '\r' <"$work/r/u2.out" | tail -1)" = \
  "Nothing to undo: no ImportPRF names this user's outlook.prf, and the file is not there; nothing was changed."
[ "$ok" -eq 0 ] || { echo "--- undo's output:"; cat "$work/r/u2.out"; }

taken_untouched() {
  local folder
  while read -r folder; do
    [ "$(ls -A "$temp/$folder")" = taken ] || return 1
  done <"$work/taken"
}
check "a) to m): the folders taken beforehand are untouched" taken_untouched
check "a) to m): no other files of the script are left in %TEMP%" test -z "$(run_folders_left)"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
