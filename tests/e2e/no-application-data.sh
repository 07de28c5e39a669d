#!/usr/bin/env bash
# The Windows program run for a user whose application-data folder cannot be
# found. Wine finds the profile folder by the Unix user name that the Wine
# loader starts with, so this runs from the shell rather than from a Windows
# test program.
#   no-application-data.sh WINE_STATE_DIR EXE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
state=$1
exe=$2
export WINEPREFIX="$state/prefix"
appdata="$WINEPREFIX/drive_c/users/nobody-without-a-profile"
rm -rf "$appdata"

status=0
output=$(USER=nobody-without-a-profile timeout 30 "$here/../../scripts/wine-run.sh" "$state" \
  "$exe" server1 jsmith | od -An -c | tr -s ' \n' ' ') || status=$?
expected=$(printf '%s\r\n' \
  "===============================================" \
  "= Brackenhulme Wendelmarquistone              =" \
  "= Generating Microsoft Outlook (R) Profile    =" \
  "= www.brackenhulme.example                    =" \
  "= Contact: support@brackenhulme.example       =" \
  "= Version: 20070621                           =" \
  "===============================================" \
  "Error: Cannot find the user's application-data folder; no profile was written or registered." |
  od -An -c | tr -s ' \n' ' ')

fail=0
if [ "$status" -ne 1 ]; then
  echo "FAIL: exit status $status, expected 1"
  fail=1
fi
if [ "$output" != "$expected" ]; then
  echo "FAIL: output differs"
  echo " got:      $output"
  echo " expected: $expected"
  fail=1
fi
if [ -e "$appdata" ]; then
  echo "FAIL: something was written under $appdata"
  fail=1
fi
if WINEDEBUG=-all "$here/../../scripts/wine-run.sh" "$state" reg query \
  'HKCU\Software\Microsoft\Office\12.0\Outlook\Setup' >/dev/null 2>&1; then
  echo "FAIL: the registry was changed"
  fail=1
fi
[ $fail -eq 0 ] && echo "1 passed, 0 failed"
exit $fail
