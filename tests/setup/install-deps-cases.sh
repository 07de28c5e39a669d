#!/usr/bin/env bash
# The set-up's decisions, without a network: scripts/install-deps.sh runs
# against stand-ins for apt-get, dpkg and dpkg-query on PATH that fail the way
# a fresh machine's did while its mirror was in the middle of a sync (an index
# that cannot be read; a package that cannot be resolved) and otherwise
# install by writing the package's name down. The scripts run from a copy,
# so nothing is recorded in this tree's build folder.
#   install-deps-cases.sh SOURCE_DIR
set -uo pipefail
source_dir=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/scripts" "$work/bin"
cp "$source_dir"/scripts/{install-deps.sh,packages.txt,runs-32bit-code.sh} "$work/scripts/"
export FAKE=$work/apt WM_APT_RETRY_PAUSE=0 PATH="$work/bin:$PATH"

cat >"$work/bin/apt-get" <<'STANDIN'
#!/usr/bin/env bash
echo "$*" >>"$FAKE/calls"
args=" $* "
if [[ $args == *" update "* ]]; then
  [ "${FAKE_UPDATE:-ok}" = ok ] && exit 0
  echo "E: Failed to fetch http://mirror.invalid/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 192.0.2.1 80]"
  echo "   Hashes of expected file:"
  echo "    - Filesize:376004 [weak]"
  echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
  exit 100
fi
packages=()
for a in "$@"; do
  case $a in -* | install) ;; *) packages+=("$a") ;; esac
done
for p in "${packages[@]}"; do
  if [[ " ${FAKE_BROKEN:-} " == *" $p "* ]]; then
    echo "Some packages could not be installed. This may mean that you have"
    echo "The following packages have unmet dependencies:"
    echo " libwine:i386 : Depends: libgstreamer-plugins-base1.0-0:i386 (>= 1.0.0) but it is not going to be installed"
    echo "                Depends: libssl3:i386 (>= 3.0.0) but it is not going to be installed"
    echo "E: Error, pkgProblemResolver::Resolve generated breaks, this may be caused by held packages."
    exit 100
  fi
done
[[ $args == *" -s "* ]] || printf '%s\n' "${packages[@]}" >>"$FAKE/installed"
STANDIN
cat >"$work/bin/dpkg-query" <<'STANDIN'
#!/usr/bin/env bash
grep -qxF -- "${!#}" "$FAKE/installed" && printf 'install ok installed'
STANDIN
cat >"$work/bin/dpkg" <<'STANDIN'
#!/usr/bin/env bash
case $1 in
--print-foreign-architectures) cat "$FAKE/architectures" ;;
--add-architecture) echo "$2" >>"$FAKE/architectures" ;;
esac
STANDIN
printf '#!/bin/sh\nexec "$@"\n' >"$work/bin/sudo"
chmod +x "$work"/bin/*

failures=0
check() { # DESCRIPTION COMMAND...
  if ! "${@:2}"; then
    echo "FAIL: $1"
    failures=$((failures + 1))
  fi
}
fresh() { rm -rf "$FAKE" && mkdir "$FAKE" && touch "$FAKE/installed" "$FAKE/architectures" "$FAKE/calls"; }
run() { # GROUP...: install-deps.sh's output in $out, its status in $status
  out=$("$work/scripts/install-deps.sh" "$@" 2>&1)
  status=$?
}
group_packages() { # GROUP...: the packages packages.txt gives the groups, sorted
  for g in "$@"; do sed -n "s/^$g: *//p" "$work/scripts/packages.txt"; done | tr ' ' '\n' |
    grep -v '^$' | sort -u
}
script_groups() { # SCRIPT: the groups the script asks install-deps.sh for
  sed -n 's/^ *scripts\/install-deps.sh \([a-z0-9 ]*\).*$/\1/p' "$source_dir/scripts/$1"
}
runs32=no
"$work/scripts/runs-32bit-code.sh" >/dev/null && runs32=yes
expected() { # GROUP...: what a run that could install everything leaves installed
  group_packages "$@" | { [ $runs32 = yes ] && cat || grep -vxF wine32:i386; }
}
installed_now() { sort -u "$FAKE/installed"; }
has() { grep -qF -- "$2" <<<"$1"; }
lacks() { ! grep -qF -- "$2" <<<"$1"; }

# Each script's groups, with one index that cannot be read: the update is
# tried three times, the index named once (without the mirror's address), and
# then exactly those groups' packages are installed.
for script in run-example.sh test.sh benchmark.sh; do
  read -r -a groups <<<"$(script_groups "$script")"
  check "$script names its groups" test ${#groups[@]} -gt 0
  fresh
  FAKE_UPDATE=fail-index run "${groups[@]}"
  check "$script: goes on past the index (status $status): $out" test $status = 0
  check "$script: three tries" test "$(grep -c '^update' "$FAKE/calls")" = 3
  check "$script: names the index once: $out" \
    test "$(grep -c 'bookworm-security/main/binary-i386/Packages.xz (File has unexpected size' <<<"$out")" = 1
  check "$script: no mirror address: $out" lacks "$out" mirror.invalid
  check "$script: installs its groups' packages" \
    test "$(installed_now)" = "$(expected "${groups[@]}")"
done
check "run-example.sh needs only the native build" test "$(script_groups run-example.sh)" = native

# Nothing missing: no index is read, nothing installed.
fresh
group_packages native >"$FAKE/installed"
run native
check "nothing missing: status $status" test $status = 0
check "nothing missing: apt-get not called" test ! -s "$FAKE/calls"

# A package that cannot be installed stops the script, which names it and
# gives apt's reason in two lines, not the resolver's pages.
fresh
FAKE_BROKEN=xvfb run native wine
check "unresolvable: stops (status $status)" test $status = 1
check "unresolvable: names xvfb: $out" has "$out" "cannot install xvfb:"
check "unresolvable: the first unmet dependency: $out" has "$out" "libwine:i386 : Depends:"
check "unresolvable: apt's error: $out" has "$out" "E: Error, pkgProblemResolver"
check "unresolvable: briefly: $out" test "$(wc -l <<<"$out")" -le 4

# Wine's 32-bit part that cannot be resolved stops nothing: the rest is
# installed, and the reason recorded for the 32-bit tests' SKIPPED.
fresh
FAKE_BROKEN=wine32:i386 run native wine wine32
check "wine32 unresolvable: goes on (status $status): $out" test $status = 0
check "wine32 unresolvable: the rest installed" test "$(installed_now)" = "$(group_packages native wine)"
reason=$("$work/scripts/install-deps.sh" --wine32-reason)
if [ $runs32 = yes ]; then
  check "wine32 unresolvable: i386 added" grep -qx i386 "$FAKE/architectures"
  check "wine32 unresolvable: says the shipped exe is not run: $out" has "$out" "built and checked, but not run"
  check "wine32 unresolvable: reason recorded: $reason" has "$reason" "libwine:i386 : Depends:"
  # Once it can be installed, the reason goes.
  run wine32
  check "wine32 installed later: reason gone" test -z "$("$work/scripts/install-deps.sh" --wine32-reason)"
else
  check "no 32-bit kernel: not tried: $out" has "$out" "not installing Wine's 32-bit part"
fi

if [ $failures -gt 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all install-deps cases passed"
