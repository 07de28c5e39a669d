#!/usr/bin/env bash
# What scripts/package.sh left in DIST_DIR, as an administrator gets it: the
# zip holds the exe, README, docs, LICENSE, THIRD-PARTY-NOTICES.txt and the
# SPDX bill of materials, and nothing else; SHA256SUMS checks and covers the
# zip, the exe and the bill beside it; the bill is SPDX 2.3, describes the
# zipped exe by its SHA-256, is dated with the build's time, and names as
# statically linked exactly the GCC run-time and MinGW-w64 runtime packages of
# the exe's architecture, each at the version dpkg-query gives, with the
# compiler and binutils as build tools; the notices name each of those
# packages and version and carry the notices their licences ask for.
#   check-package.sh DIST_DIR BUILD_DIR SOURCE_DIR OBJDUMP
set -euo pipefail
dist=$1
build_dir=$2
source_dir=$3
objdump=$4
status=0
problem() {
  echo "FAIL: $*"
  status=1
}

zip=$(ls "$dist"/Wendelmarquistone-*-Windows.zip)
expected="LICENSE README.md THIRD-PARTY-NOTICES.txt Wendelmarquistone.exe Wendelmarquistone.spdx.json docs/deploying.md docs/logon.cmd docs/undo.cmd docs/usage-window.png"
listed=$(zipinfo -1 "$zip" | tr '\n' ' ' | sed 's/ $//')
[ "$listed" = "$expected" ] || problem "the zip holds \"$listed\", not \"$expected\""
unzip -p "$zip" LICENSE | cmp -s - "$source_dir/LICENSE" || problem "the zip's LICENSE is not the repository's"
unzip -p "$zip" Wendelmarquistone.spdx.json | cmp -s - "$dist/Wendelmarquistone.spdx.json" ||
  problem "the bill of materials beside the zip is not the one in it"
if ! (cd "$dist" && sha256sum -c SHA256SUMS) ||
  [ "$(cut -d' ' -f3 "$dist/SHA256SUMS" | tr '\n' ' ')" != "$(basename "$zip") Wendelmarquistone.exe Wendelmarquistone.spdx.json " ]; then
  problem "SHA256SUMS does not check, or does not cover the zip, the exe and the bill"
fi

exe=$(mktemp)
trap 'rm -f "$exe"' EXIT
unzip -p "$zip" Wendelmarquistone.exe >"$exe"
case $("$objdump" -f "$exe" | sed -n 's/.*file format //p') in
pei-i386) arch=i686 ;;
pei-x86-64) arch=x86-64 ;;
*) arch=unknown ;;
esac
# Every linked package at the version dpkg-query gives, in the notices too.
linked=(g++-mingw-w64-$arch-win32 gcc-mingw-w64-$arch-win32 mingw-w64-$arch-dev)
tools=(binutils-mingw-w64-$arch g++-mingw-w64-$arch-win32)
versions=()
for package in "${linked[@]}" "${tools[@]}"; do
  versions+=("$package=$(dpkg-query -W -f='${Version}' "$package")")
done
notices=$(unzip -p "$zip" THIRD-PARTY-NOTICES.txt | tr -d '\r')
for package in "${linked[@]}"; do
  grep -q "^\[[0-9]\] $package $(dpkg-query -W -f='${Version}' "$package") " <<<"$notices" ||
    problem "the notices do not name $package at its installed version"
done
for text in "Redistributions in binary form must reproduce" "GCC RUNTIME LIBRARY EXCEPTION" \
  "placed in the Public"; do
  grep -qF "$text" <<<"$notices" || problem "the notices lack \"$text\""
done
if grep -qi winpthread <<<"$notices"; then
  problem "the notices name winpthreads, which the shipped exe does not link"
fi

if ! python3 - "$dist/Wendelmarquistone.spdx.json" "$(sha256sum <"$exe" | cut -d' ' -f1)" \
  "$(cat "$build_dir/source-date-epoch")" "${linked[*]}" "${tools[*]}" "${versions[@]}" <<'EOF'; then
import datetime, json, sys, urllib.parse
path, sha256, epoch, linked, tools, *versions = sys.argv[1:]
versions = dict(v.split("=", 1) for v in versions)
bill = json.load(open(path))
ok = True
def check(condition, message):
    global ok
    if not condition:
        print("FAIL: the bill of materials: " + message)
        ok = False
check(bill["spdxVersion"] == "SPDX-2.3" and bill["dataLicense"] == "CC0-1.0", "not SPDX-2.3")
created = datetime.datetime.fromtimestamp(int(epoch), datetime.timezone.utc)
check(bill["creationInfo"]["created"] == created.strftime("%Y-%m-%dT%H:%M:%SZ"),
      f"created {bill['creationInfo']['created']}, not the build's time {epoch}")
packages = {p["SPDXID"]: p for p in bill["packages"]}
described = [r["relatedSpdxElement"] for r in bill["relationships"]
             if r["spdxElementId"] == "SPDXRef-DOCUMENT" and r["relationshipType"] == "DESCRIBES"]
check(len(described) == 1, "describes not one package")
exe = packages[described[0]]
check(exe["checksums"] == [{"algorithm": "SHA256", "checksumValue": sha256}],
      f"the exe's checksum {exe['checksums']} is not the zipped exe's SHA-256 {sha256}")
check(exe["licenseConcluded"] == "MIT" and exe["licenseDeclared"] == "MIT", "the exe is not MIT")
def related(kind, from_exe):
    return sorted(packages[r["relatedSpdxElement"] if from_exe else r["spdxElementId"]]["name"]
                  for r in bill["relationships"] if r["relationshipType"] == kind)
check(related("STATIC_LINK", True) == sorted(linked.split()),
      f"statically linked: {related('STATIC_LINK', True)}, not {sorted(linked.split())}")
check(related("BUILD_TOOL_OF", False) == sorted(tools.split()),
      f"build tools: {related('BUILD_TOOL_OF', False)}, not {sorted(tools.split())}")
for package in packages.values():
    if package["name"] in versions:
        version = versions[package["name"]]
        purl = package["externalRefs"][0]["referenceLocator"]
        check(package["versionInfo"] == version and
              purl.startswith(f"pkg:deb/debian/{package['name']}@{urllib.parse.quote(version, safe='')}?"),
              f"{package['name']}: {package['versionInfo']}, {purl}; dpkg-query says {version}")
        check(package["name"] not in linked.split() or package["licenseConcluded"] != "NOASSERTION",
              f"{package['name']} has no licence")
sys.exit(0 if ok else 1)
EOF
  status=1
fi
exit $status
