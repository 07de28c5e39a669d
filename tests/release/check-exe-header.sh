#!/usr/bin/env bash
# The shipped exe's header asks Windows for every protection that Microsoft's
# own programs ask for, as Microsoft's binary analyser (BinSkim) checks them,
# read with objdump: the table below gives each rule once, the exes it holds
# for (32- or 64-bit) and the BinSkim rule it stands for ("-": one it has
# none for). Prints a line per rule and fails on any that does not hold.
#   check-exe-header.sh OBJDUMP EXE
set -euo pipefail
export LC_ALL=C
objdump=$1
exe=$2
dll_list=$(dirname "$0")/system-dlls.txt
system_dlls=$(awk '!/^#/ && NF {print $1}' "$dll_list")
load_time_dlls=$(awk '!/^#/ && $2 == "load-time:" {print $1}' "$dll_list" | sort)

# rule          exes  BinSkim rule                                  what the header must show
rules=$(
  cat <<'END'
dynamic-base    all   BA2009.EnableAddressSpaceLayoutRandomization  DYNAMIC_BASE, relocations kept
nx-compat       all   BA2016.MarkImageAsNXCompatible                NX_COMPAT
high-entropy    64    BA2015.EnableHighEntropyVirtualAddresses      HIGH_ENTROPY_VA, large address aware
base-above-4g   64    BA2001.LoadImageAboveFourGigabyteAddress      image base at 4 GiB or above
no-seh          32    BA2018.EnableSafeSEH                          NO_SEH, and no code that touches the handler chain at %fs:0
no-w-and-x      all   BA2021.DoNotMarkWritableSectionsAsExecutable  no section both writable and executable (the imports too, BA2010)
no-w-and-shared all   BA2019.DoNotMarkWritableSectionsAsShared      no section both writable and shared
tsaware         all   -                                             TERMINAL_SERVER_AWARE, as Microsoft's linker sets by default
system-dlls     all   -                                             imports from the system DLLs only (system-dlls.txt)
load-time-dlls  all   -                                             imports exactly the DLLs every run needs, those marked load-time there
END
)

headers=$("$objdump" -p "$exe")
sections=$("$objdump" -h "$exe")
field() { # name in objdump -p, e.g. "DllCharacteristics"
  awk -v f="$1" '$1 == f {print $2; exit}' <<<"$headers"
}
case "$(field Magic)" in
010b) bits=32 ;;
020b) bits=64 ;;
*)
  echo "FAIL: $exe is not a PE image objdump can read"
  exit 1
  ;;
esac
dll_characteristics=$((0x$(field DllCharacteristics)))
flag() { # bit: set in DllCharacteristics
  [ $((dll_characteristics & $1)) -ne 0 ]
}
# The file's Characteristics, as objdump names them ("relocations stripped").
characteristic() {
  awk '/^Characteristics/ {on = 1; next} on && /^\t/ {print; next} {on = 0}' <<<"$headers" |
    grep -q -F "$1"
}
# Sections as "name flag,flag,...": objdump shows a section that may be
# written without READONLY, one that may be executed with CODE
# (IMAGE_SCN_MEM_EXECUTE or IMAGE_SCN_CNT_CODE), a shared one with SHARED.
section_flags=$(awk '$1 ~ /^[0-9]+$/ && NF >= 7 {name = $2; next}
  name != "" {gsub(/ /, ""); print name, $0; name = ""}' <<<"$sections")
sections_with() { # wx | ws: the sections both writable and executable, or writable and shared
  awk -v test="$1" '{ f = "," $2 ","; w = (f !~ /,READONLY,/); x = (f ~ /,CODE,/); s = (f ~ /,SHARED,/) }
    test == "wx" && w && x {print $1} test == "ws" && w && s {print $1}' <<<"$section_flags"
}

check() { # rule: prints what was found; status 0 when the rule holds
  case "$1" in
  dynamic-base)
    flag 0x0040 && ! characteristic "relocations stripped" &&
      [ "$(awk '/Base Relocation Directory/ {print $4; exit}' <<<"$headers")" != 00000000 ]
    ;;
  nx-compat) flag 0x0100 ;;
  high-entropy) flag 0x0020 && characteristic "large address aware" ;;
  base-above-4g) [ $((0x$(field ImageBase))) -ge $((0x100000000)) ] ;;
  no-seh)
    flag 0x0400 || return 1
    # Pushing a handler means reading and writing the chain's head, fs:[0].
    local touching
    touching=$("$objdump" -d "$exe" | grep -E '%fs:(0x0)?\(|%fs:0x0([^0-9a-fx]|$)' || true)
    [ -z "$touching" ] || {
      echo "  code that touches the handler chain:"
      head -5 <<<"$touching"
      return 1
    }
    ;;
  no-w-and-x)
    local found
    found=$(sections_with wx)
    [ -z "$found" ] || { echo "  writable and executable: $(tr '\n' ' ' <<<"$found")"; return 1; }
    ;;
  no-w-and-shared)
    local found
    found=$(sections_with ws)
    [ -z "$found" ] || { echo "  writable and shared: $(tr '\n' ' ' <<<"$found")"; return 1; }
    ;;
  tsaware) flag 0x8000 ;;
  system-dlls)
    local dll others=""
    for dll in $(awk '/^[[:space:]]*DLL Name: / {print tolower($3)}' <<<"$headers"); do
      grep -q -x -F "$dll" <<<"$system_dlls" || others="$others $dll"
    done
    [ -z "$others" ] || { echo "  not system DLLs:$others"; return 1; }
    ;;
  load-time-dlls)
    local imported
    imported=$(awk '/^[[:space:]]*DLL Name: / {print tolower($3)}' <<<"$headers" | sort)
    [ "$imported" = "$load_time_dlls" ] || {
      echo "  imported: $(tr '\n' ' ' <<<"$imported")"
      echo "  load-time: $(tr '\n' ' ' <<<"$load_time_dlls")"
      return 1
    }
    ;;
  *)
    echo "  no such rule"
    return 1
    ;;
  esac
}

printf 'DllCharacteristics 0x%04x (%s-bit)\n' "$dll_characteristics" "$bits"
status=0
while read -r rule exes binskim what; do
  [ -n "$rule" ] || continue
  [ "$exes" = all ] || [ "$exes" = "$bits" ] || continue
  if check "$rule"; then
    echo "ok: $rule ($binskim): $what"
  else
    echo "FAIL: $rule ($binskim): $what"
    status=1
  fi
done <<<"$rules"
exit $status
