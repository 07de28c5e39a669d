#!/usr/bin/env bash
# End-to-end cases of the Windows program that only the Unix side can set up,
# because a Windows parent under Wine cannot change them for its child:
#  - no X display: the usage text comes out on standard output, nothing waits;
#  - a user without a profile folder (Wine finds it by the Unix user name):
#    the application-data folder cannot be found, which is an error.
#   wine-shell-cases.sh WINE_STATE_DIR EXE USAGE_TEXT_FILE VERSION
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
state=$(cd "$1" && pwd)
exe=$2
usage_text=$3
version=$4
run="$here/../../scripts/wine-run.sh"
prefix="$state/prefix"
"$run" "$state" cmd /c exit 0 >/dev/null
if [ $? -eq 77 ]; then
  exit 77 # this build's programs cannot run here; wine-run.sh said why
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

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
check() { # name expected_status expected_file actual_status actual_file
  if [ "$4" -eq "$2" ] && cmp -s "$3" "$5"; then
    echo "ok: $1"
    passed=$((passed + 1))
  else
    echo "FAIL: $1: exit status $4 (expected $2); output:"
    od -c "$5" | head -30
    failed=$((failed + 1))
  fi
}
registry_untouched() {
  if "$run" "$state" reg query 'HKCU\Software\Microsoft\Office' >/dev/null 2>&1; then
    echo "FAIL: $1: the registry was changed"
    failed=$((failed + 1))
  fi
}

"$run" "$state" reg delete 'HKCU\Software\Microsoft\Office' /f >/dev/null 2>&1

# No display: banner, then the usage text, exit status 0.
status=0
timeout 30 "$run" --no-display "$state" "$exe" >"$work/out" </dev/null || status=$?
cat "$work/banner" "$usage_text" >"$work/expected"
check "no server and no display: the usage text" 0 "$work/expected" "$status" "$work/out"
registry_untouched "no display"

# A user without a profile folder.
nobody="nobody-without-a-profile"
rm -rf "$prefix/drive_c/users/$nobody"
status=0
USER=$nobody timeout 30 "$run" "$state" "$exe" server1 jsmith >"$work/out" </dev/null || status=$?
{
  cat "$work/banner"
  printf '%s\r\n' "Error: Cannot find the user's application-data folder; no profile was written or registered."
} >"$work/expected"
check "no application-data folder: an error" 1 "$work/expected" "$status" "$work/out"
if [ -e "$prefix/drive_c/users/$nobody" ]; then
  echo "FAIL: something was written for $nobody"
  failed=$((failed + 1))
fi
registry_untouched "no application-data folder"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
