#!/usr/bin/env bash
# Fails if a Windows executable imports any DLL other than the system's own,
# and prints its size.
#   check-imports.sh OBJDUMP EXE
set -euo pipefail
objdump=$1
exe=$2
allowed='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|comdlg32|msvcrt|ntdll|shlwapi|uxtheme|windowscodecs|version|api-ms-win-[a-z0-9-]+)\.dll$'
status=0
imports=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p')
for dll in $imports; do
  lower=$(echo "$dll" | tr 'A-Z' 'a-z')
  if [[ "$lower" =~ $allowed ]]; then
    echo "import: $dll"
  else
    echo "import: $dll  <- not a system DLL"
    status=1
  fi
done
size=$(stat -c %s "$exe")
echo "size: $(basename "$exe") is $size bytes ($(( (size + 1023) / 1024 )) KiB)"
exit $status
