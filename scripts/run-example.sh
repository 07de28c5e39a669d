#!/usr/bin/env bash
# Runs the tool on an example: installs what is missing, builds the Linux
# program, and runs it for the Exchange server "mail.example.test" and the user
# "jsmith" with a throw-away home folder, then shows what it wrote.
#   scripts/run-example.sh [arguments...]   (default: mail.example.test jsmith)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh native
if [ ! -f build/native/build.ninja ]; then
  cmake --preset native >/dev/null
fi
cmake --build --preset native --target Wendelmarquistone >/dev/null

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/.config"
args=("$@")
if [ ${#args[@]} -eq 0 ]; then
  args=(mail.example.test jsmith)
fi

echo "\$ Wendelmarquistone ${args[*]}"
status=0
HOME=$home XDG_CONFIG_HOME= build/native/Wendelmarquistone "${args[@]}" | tr -d '\r' || status=$?
echo "(exit status $status)"
if [ -f "$home/.config/outlook.prf" ]; then
  echo
  echo "== $home/.config/outlook.prf, lines 7-14 and 41-51 of 241:"
  sed -n '7,14p;41,51p' "$home/.config/outlook.prf" | tr -d '\r'
  echo
  echo "== the registry store (in place of HKEY_CURRENT_USER), each value's type and data"
  echo "   (in quotes, without the NUL that ends a REG_SZ):"
  find "$home/.config" -path '*Registry*' -type f | sort | while read -r value; do
    printf '%s: %s "%s"\n' "${value#"$home/.config/"}" "$(head -n 1 "$value")" \
      "$(tail -n +2 "$value" | tr -d '\0')"
  done
fi
