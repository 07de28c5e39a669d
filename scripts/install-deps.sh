#!/usr/bin/env bash
# Installs, from Debian's packages, what the named groups of
# scripts/packages.txt need, and nothing else. Idempotent and
# non-interactive: only missing packages are installed, and where none is
# missing no package index is even read, so a second run costs a few dpkg
# queries.
#   scripts/install-deps.sh GROUP...
#   scripts/install-deps.sh --wine32-reason
#       prints why Wine's 32-bit part could not be installed here, as the
#       last run that tried recorded it; status 1 if none was recorded
#
# A package index that cannot be read (a mirror in the middle of a sync says
# "File has unexpected size ... Mirror sync in progress?" for an hour) stops
# nothing by itself: `apt-get update` is tried three times, a pause between,
# and then the install goes on with the indexes that were read, after one line
# that names the index. Only a package that still cannot be installed stops
# the script, which names it and gives apt's own reason in a line or two.
#
# Wine's 32-bit part (group wine32) is the exception: without it only the
# shipped exe's runtime tests cannot run, so where it cannot be installed
# (the kernel runs no 32-bit code, or apt cannot resolve it) the script says
# why, records the reason for scripts/wine.sh, and goes on; the 32-bit tests
# then report SKIPPED with that reason. Where the kernel runs no 32-bit code
# it is not even tried: installing it there would break the `wine` loader for
# 64-bit programs too.
#
# When the index that cannot be read is the i386 list of an update suite,
# wine32:i386 usually fails to resolve: its libraries are Multi-Arch: same, so
# each i386 version must equal the installed amd64 one, and that version may
# be listed only in the missing index. Pinning each such library, on both
# architectures, to a version both readable indexes list was tried by hand
# (2026-12-09): apt then had to downgrade one of them and removed 17
# development packages built against the installed versions. A set-up script
# must not do that to a developer's machine, so it does not try; the reason it
# records names the libraries apt could not match, and the next run, once the
# mirror is whole again, installs the part.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
reason_file="$here/../build/wine32-not-installed"
pause=${WM_APT_RETRY_PAUSE:-10}

if [ "${1:-}" = --wine32-reason ]; then
  [ -s "$reason_file" ] && cat "$reason_file"
  exit
fi
if [ $# -eq 0 ]; then
  echo "usage: install-deps.sh GROUP... (the groups of scripts/packages.txt)" >&2
  exit 2
fi

packages=()
for group in "$@"; do
  line=$(grep -E "^$group:" "$here/packages.txt" || true)
  if [ -z "$line" ]; then
    echo "install-deps: no group \"$group\" in scripts/packages.txt" >&2
    exit 2
  fi
  read -r -a words <<<"${line#*:}"
  packages+=("${words[@]}")
done

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing=()
wine32=no
for p in "${packages[@]}"; do
  if installed "$p"; then
    continue
  elif [ "$p" = wine32:i386 ]; then
    if reason=$("$here/runs-32bit-code.sh"); then
      wine32=yes
    else
      echo "install-deps: not installing Wine's 32-bit part: $reason"
    fi
  elif [[ " ${missing[*]} " != *" $p "* ]]; then
    missing+=("$p")
  fi
done
if installed wine32:i386; then
  rm -f "$reason_file"
fi
if [ ${#missing[@]} -eq 0 ] && [ "$wine32" = no ]; then
  exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive

# apt's reason, in a line or two: the first unmet dependency it names, if
# any, and its last error line.
apt_reason() { # APT-OUTPUT
  {
    sed -n -E '/^ +[^ ]+ : (Pre)?Depends: /{s/^ *//p;q;}' <<<"$1"
    sed -n '/^E: /p' <<<"$1" | tail -n 1
  } | sed 's/^/    /'
}

if [ "$wine32" = yes ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${as_root[@]}" dpkg --add-architecture i386
fi

for try in 1 2 3; do
  if output=$("${as_root[@]}" apt-get update -qq 2>&1); then
    break
  fi
  if [ "$try" = 3 ]; then
    # The indexes that could not be read, without the mirror's address.
    unread=$(sed -n 's/^[EW]: Failed to fetch [a-z]*:\/\/[^/]*\/\([^ ]*\) *\(.*\)$/\1 (\2)/p' \
      <<<"$output" | sed 's/ *\[IP: [^]]*\]//')
    echo "install-deps: after 3 tries, apt-get could not read ${unread:-every package index:}"
    [ -n "$unread" ] || apt_reason "$output"
    echo "install-deps: going on with the indexes that were read"
  else
    sleep "$pause"
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  if ! output=$("${as_root[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" 2>&1); then
    # Name the package that cannot be installed: the first that cannot be
    # installed alone (apt's simulation installs nothing).
    for p in "${missing[@]}"; do
      if ! alone=$(apt-get install -s --no-install-recommends "$p" 2>&1); then
        echo "install-deps: cannot install $p:"
        apt_reason "$alone"
        exit 1
      fi
    done
    echo "install-deps: cannot install ${missing[*]} together:"
    apt_reason "$output"
    exit 1
  fi
fi

if [ "$wine32" = yes ]; then
  echo "install-deps: installing wine32:i386"
  if output=$("${as_root[@]}" apt-get install -y -qq --no-install-recommends wine32:i386 2>&1); then
    rm -f "$reason_file"
  else
    echo "install-deps: cannot install Wine's 32-bit part (wine32:i386); going on without it:"
    apt_reason "$output"
    echo "install-deps: the 32-bit exe (the one that ships) is built and checked, but not run"
    mkdir -p "$(dirname "$reason_file")"
    {
      printf "Wine's 32-bit part (wine32:i386) could not be installed: "
      apt_reason "$output" | sed 's/^ *//' | paste -s -d ';' | sed 's/;/; /g'
    } >"$reason_file"
  fi
fi
