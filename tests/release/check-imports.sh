#!/usr/bin/env bash
# Checks that a Windows executable loads on Windows XP: it imports no DLL but
# the system's own (system-dlls.txt), every function it imports by name is
# exported by that DLL on XP (EXPORTS_LIST: one "dll function" a line, read
# from an installed system), and its PE subsystem and OS versions are ones
# XP's loader accepts (5.01 for 32-bit XP SP3, 5.02 for XP x64). Prints the
# imports by DLL, the versions and the size, and every offender.
#   check-imports.sh OBJDUMP EXE EXPORTS_LIST
set -euo pipefail
export LC_ALL=C # one collation for sort and comm
objdump=$1
exe=$2
exports=$3
system_dlls=$(awk '!/^#/ && NF {print $1}' "$(dirname "$0")/system-dlls.txt")

headers=$("$objdump" -p "$exe")
status=0

# The import table: "DLL Name: X" starts a DLL's list; its functions follow
# as "<address> <hint> <name>" lines (imports by ordinal have no name).
imports=$(awk '
  /^[[:space:]]*DLL Name: / { dll = tolower($3); print dll " -"; next }
  /^[[:space:]]*$/ { dll = "" }
  dll != "" && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ && NF >= 3 && $3 != "<none>" {
    print dll " " $3
  }
' <<<"$headers")
if [ -z "$imports" ]; then
  echo "FAIL: no import table found in $exe"
  exit 1
fi

# Function names are case-sensitive; DLL names are not (the list's are lower
# case, as are the import table's after awk above).
missing=$(awk '$2 != "-"' <<<"$imports" | sort -u | comm -23 - <(grep -v '^#' "$exports" | sort -u))

for dll in $(awk '{print $1}' <<<"$imports" | sort -u); do
  count=$(awk -v d="$dll" '$1 == d && $2 != "-"' <<<"$imports" | wc -l)
  if grep -q -x -F "$dll" <<<"$system_dlls"; then
    echo "import: $dll ($count functions)"
  else
    echo "FAIL: import: $dll is not a system DLL"
    status=1
  fi
  for function in $(awk -v d="$dll" '$1 == d {print $2}' <<<"$missing"); do
    echo "FAIL:   $dll!$function is not exported by Windows XP's $dll"
    status=1
  done
done

version() { # field name in objdump -p, e.g. "MajorSubsystemVersion"
  awk -v f="$1" '$1 == f {print $2}' <<<"$headers"
}
subsystem="$(version MajorSubsystemVersion).$(version MinorSubsystemVersion)"
os="$(version MajorOSystemVersion).$(version MinorOSystemVersion)"
case "$(awk '$1 == "Magic" {print $2}' <<<"$headers")" in
010b) limit=5.1 ;; # PE32: 32-bit XP SP3
*) limit=5.2 ;;    # PE32+: XP x64
esac
for pair in "subsystem:$subsystem" "OS:$os"; do
  name=${pair%%:*}
  value=${pair#*:}
  if awk -v v="$value" -v l="$limit" 'BEGIN { split(v, a, "."); split(l, b, ".");
        exit !((a[1] < b[1]) || (a[1] == b[1] && a[2] <= b[2])) }'; then
    echo "$name version: $value (XP accepts at most $limit)"
  else
    echo "FAIL: $name version $value is above $limit, which XP's loader refuses"
    status=1
  fi
done

size=$(stat -c %s "$exe")
echo "size: $(basename "$exe") is $size bytes ($(((size + 1023) / 1024)) KiB)"
exit $status
