#!/usr/bin/env python3
"""What is linked into the shipped exe, and under which terms: writes the
package's THIRD-PARTY-NOTICES.txt and its SPDX 2.3 bill of materials.

    third-party.py --build-dir DIR --exe EXE --version VERSION --epoch SECONDS
                   --notices OUT.txt --spdx OUT.spdx.json

Everything is read from this machine and the build, nothing is assumed:
- DIR/Wendelmarquistone.map, the linker's map of the exe
  (wm_record_mingw_link in cmake/Settings.cmake), names every object file and
  archive member linked in. Those of the build itself are the program's own;
  every other one must belong to an installed Debian package (dpkg-query -S),
  whose version and architecture dpkg-query gives.
- Each such package's notices come from its own copyright file,
  /usr/share/doc/PACKAGE/copyright, so that a toolchain update carries its new
  text:
  - a machine-readable one (the MinGW-w64 runtime's) lists its terms file by
    file; the source file of each linked member is the name its debug
    information records (objdump), and only the paragraphs that cover those
    files are reproduced. A member without debug information (an import stub
    made from a .def file) falls under the paragraph for all files ("*").
  - GCC's is plain text: its copyright statement, the list of the run-time
    libraries under the GPL with the GCC Runtime Library Exception, and the
    exception's text are reproduced. Only libraries on that list may be linked.
  Anything else linked in stops the script: its terms must be looked at first.
- DIR/build-tools names the compiler, linker and resource compiler; their
  packages are the bill's build tools.

The outputs depend only on these inputs and the arguments (the creation time
is EPOCH, the time the exe is dated with), so that the same build gives the
same files byte for byte.
"""

import argparse
import datetime
import hashlib
import json
import os
import re
import subprocess
import sys
import textwrap
import urllib.parse

PRODUCT = "Wendelmarquistone"
AUTHORS = "The Wendelmarquistone authors"
NAMESPACE_BASE = "https://www.brackenhulme.example/spdx"

# GCC's run-time files that its copyright file puts under the GPL with the
# GCC Runtime Library Exception (libgcc, libstdc++-v3, crtstuff.c).
GCC_RUNTIME_FILES = {"libgcc.a", "libgcc_eh.a", "libstdc++.a", "libsupc++.a", "crtbegin.o",
                     "crtend.o", "crtfastmath.o"}
GCC_RUNTIME_LICENCE = "GPL-3.0-or-later WITH GCC-exception-3.1"

# Licence names of machine-readable Debian copyright files, as SPDX
# identifiers; any other becomes a LicenseRef- with its text.
DEP5_TO_SPDX = {
    "ZPL-2.1": "ZPL-2.1", "expat": "MIT", "Expat": "MIT", "MIT": "MIT", "ISC": "ISC",
    "BSD-2-clause": "BSD-2-Clause", "BSD-3-clause": "BSD-3-Clause",
    "GPL-2+": "GPL-2.0-or-later", "GPL-3+": "GPL-3.0-or-later",
    "LGPL-2+": "LGPL-2.0-or-later", "LGPL-2.1+": "LGPL-2.1-or-later",
}


def fail(message):
    sys.exit(f"third-party: {message}")


def run(*command):
    result = subprocess.run(command, capture_output=True, text=True, errors="replace")
    if result.returncode != 0:
        fail(f"{' '.join(command[:2])} ... failed: {result.stderr.strip()}")
    return result.stdout


# --- What the linker took ---------------------------------------------------

def linked_inputs(map_path):
    """{file: [member, ...]} for archives, {file: None} for object files; the
    build's own files (relative paths) are left out."""
    inputs = {}
    in_members = False
    with open(map_path, encoding="utf-8", errors="replace") as map_file:
        for line in map_file:
            line = line.rstrip("\n")
            if line.startswith("Archive member included"):
                in_members = True
                continue
            if in_members and line and not line[0].isspace():
                member = re.match(r"^(.+?\.a)\(([^()]+)\)(\s|$)", line)
                if member:
                    inputs.setdefault(member.group(1), []).append(member.group(2))
                    continue
                in_members = False
            loaded = re.match(r"^LOAD (.+)$", line)
            if loaded and loaded.group(1) != "dll stuff" and not loaded.group(1).endswith(".a"):
                inputs.setdefault(loaded.group(1), None)
    if not inputs:
        fail(f"{map_path} names no linked file: not a linker map")
    result = {}
    for path, members in inputs.items():
        if os.path.isabs(path):
            real = os.path.realpath(path)
            result[real] = sorted(set(members)) if members is not None else None
    return result


def owners(paths, what):
    """{path: Debian package} from dpkg-query -S, for every path."""
    result = {}
    output = subprocess.run(["dpkg-query", "-S", *paths], capture_output=True, text=True).stdout
    for line in output.splitlines():
        packages, _, path = line.partition(": ")
        if path in paths and ", " not in packages:
            result[path] = packages.split(":")[0]
    for path in paths:
        if path not in result:
            fail(f"{path} {what} but belongs to no single Debian package")
    return result


def package_facts(packages):
    """{package: (version, architecture)} from dpkg-query."""
    output = run("dpkg-query", "-W", "-f=${Package}\t${Version}\t${Architecture}\n", *packages)
    facts = {}
    for line in output.splitlines():
        name, version, architecture = line.split("\t")
        facts[name] = (version, architecture)
    return facts


def source_files(objdump, path, members):
    """{member or file name: source file its debug information names, or None}."""
    output = run(objdump, "--dwarf=info", "--dwarf-depth=1", path)
    names = {}
    current = None if members is not None else os.path.basename(path)
    for line in output.splitlines():
        header = re.match(r"^(\S.*?):\s+file format ", line)
        if header:
            current = header.group(1)
            names.setdefault(current, None)
            continue
        name = re.search(r"DW_AT_name\s*:\s*(?:\([^)]*\):\s*)?(.+)$", line)
        if name and current is not None and names.get(current) is None:
            names[current] = re.sub(r"^\./", "", name.group(1).strip())
    if members is None:  # an object file: its own header names it by its path
        return {os.path.basename(path): next(iter(names.values()), None)}
    return {member: names.get(member) for member in members}


# --- Debian copyright files -------------------------------------------------

def copyright_text(package):
    path = f"/usr/share/doc/{package}/copyright"
    try:
        with open(path, encoding="utf-8") as copyright_file:
            return path, copyright_file.read()
    except OSError as error:
        fail(f"cannot read {path}: {error.strerror}")


def dep5_paragraphs(text):
    """The paragraphs of a machine-readable copyright file, as {field: value}
    with continuation lines kept as they are."""
    paragraphs = []
    for block in re.split(r"\n[ \t]*\n", text):
        fields = {}
        name = None
        for line in block.splitlines():
            if line[:1] in (" ", "\t") and name:
                fields[name] += "\n" + line
            elif ":" in line:
                name, _, value = line.partition(":")
                fields[name] = value.strip()
        if fields:
            paragraphs.append(fields)
    return paragraphs


def glob_regex(pattern):
    # Copyright format 1.0: "*" matches any characters, "/" too; "?" one.
    return re.compile("".join(".*" if c == "*" else "." if c == "?" else re.escape(c)
                              for c in pattern) + r"\Z")


def dep5_licence_id(name):
    parts = re.split(r"\s+(and|or)\s+", name.strip())
    return " ".join(part.upper() if part in ("and", "or") else
                    DEP5_TO_SPDX.get(part, "LicenseRef-" + re.sub(r"[^A-Za-z0-9.-]", "-", part))
                    for part in parts)


def unfold(value):
    """A field's continuation lines as text: the leading space dropped, "."
    for an empty line."""
    lines = value.split("\n")
    return "\n".join(["" if l.strip() == "." else l[1:] if l[:1] == " " else l
                      for l in lines]).strip("\n")


def machine_readable_notices(text, files):
    """For files {label: source path or None}: [(paragraph, [labels])] in the
    copyright file's order, and {licence name: text}."""
    paragraphs = dep5_paragraphs(text)
    file_paragraphs = [p for p in paragraphs if "Files" in p]
    standalone = {p["License"].split("\n")[0].strip(): unfold("\n".join(
        p["License"].split("\n")[1:])) for p in paragraphs if "License" in p and "Files" not in p
        and "Format" not in p}
    covered = {}
    for label, source in files.items():
        match = None
        for index, paragraph in enumerate(file_paragraphs):
            patterns = paragraph["Files"].split()
            if (source is None and "*" in patterns) or (
                    source is not None and any(glob_regex(p).match(source) for p in patterns)):
                match = index  # the last paragraph that matches applies
        if match is None:
            fail(f"no paragraph of the copyright file covers {source or label}")
        covered.setdefault(match, []).append(label)
    licences = {}
    result = []
    for index in sorted(covered):
        paragraph = file_paragraphs[index]
        name = paragraph["License"].split("\n")[0].strip()
        own_text = unfold("\n".join(paragraph["License"].split("\n")[1:]))
        for single in re.split(r"\s+(?:and|or)\s+", name):
            licences.setdefault(single, own_text if single == name and own_text else
                                standalone.get(single, ""))
            if not licences[single]:
                fail(f"the copyright file has no text for the licence {single}")
        result.append((paragraph, sorted(covered[index])))
    return result, licences


def gcc_notices(path, text):
    """GCC's copyright statement with its list of run-time libraries, and the
    GCC Runtime Library Exception, as the copyright file has them."""
    def section(first_line_start, last_paragraph_marker):
        start = text.find("\n" + first_line_start)
        end_marker = text.find(last_paragraph_marker, start)
        end = text.find("\n\n", end_marker)
        if start < 0 or end_marker < 0 or end < 0:
            fail(f"{path} no longer has \"{first_line_start}\" ... \"{last_paragraph_marker}\":"
                 " look at its new text and at this script")
        return text[start + 1:end].strip("\n")
    return [section("GCC is Copyright", " - libstdc++-v3"),
            section("GCC RUNTIME LIBRARY EXCEPTION", "The availability of this Exception")]


# --- The documents ----------------------------------------------------------

def spdx_id(kind, name):
    return f"SPDXRef-{kind}-" + re.sub(r"[^A-Za-z0-9.]", "-", name)


def main():
    parser = argparse.ArgumentParser()
    for option in ("--build-dir", "--exe", "--version", "--epoch", "--notices", "--spdx"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()

    map_path = os.path.join(args.build_dir, PRODUCT + ".map")
    tools_path = os.path.join(args.build_dir, "build-tools")
    for path in (map_path, tools_path):
        if not os.path.isfile(path):
            fail(f"{path} is missing: build the program again")
    tools = {}
    with open(tools_path, encoding="utf-8") as tools_file:
        for line in tools_file:
            role, _, tool = line.strip().partition(" ")
            tools[role] = os.path.realpath(tool)
    for role in ("compiler", "linker", "resource-compiler"):
        if not tools.get(role):
            fail(f"{tools_path} names no {role}")
    objdump = re.sub(r"ld$", "objdump", tools["linker"])

    inputs = linked_inputs(map_path)
    owner = owners(sorted(inputs), "is linked into the exe (its terms are unknown)")
    owner.update(owners(sorted(set(tools.values())), "built the exe"))
    facts = package_facts(sorted(set(owner.values())))

    # The linked files of each package: {package: {label: source or None}}.
    linked = {}
    for path, members in sorted(inputs.items()):
        name = os.path.basename(path)
        for label, source in source_files(objdump, path, members).items():
            linked.setdefault(owner[path], {})[
                name if members is None else f"{name}({label})"] = source

    components = []  # (package, licence expression, what is linked, notice blocks)
    extracted = {}  # LicenseRef- id: (the copyright file's name for it, its text)
    for package in sorted(linked):
        files = linked[package]
        path, text = copyright_text(package)
        archives = sorted({label.split("(")[0] for label in files})
        if text.startswith("Format:"):
            for label, source in files.items():
                # Without debug information: an import stub that dlltool made
                # from a .def file (<name>h.o, <name>t.o, <name>s00042.o).
                if source is None and not re.search(r"\((\w+)(h|t|s\d{5})\.o\)$", label):
                    fail(f"{label} of {package} is linked in, and has no source file recorded")
            covered, licences = machine_readable_notices(text, files)
            blocks = []
            for paragraph, labels in covered:
                sources = sorted({files[l] for l in labels if files[l]})
                stubs = len([l for l in labels if not files[l]])
                what = ", ".join(sources)
                if stubs:
                    what += (", " if what else "") + (
                        f"{stubs} import stubs (made from .def files; no source file recorded)")
                licence_name = paragraph["License"].split("\n")[0].strip()
                block = textwrap.fill(f"Linked from it: {what}", 78, break_on_hyphens=False)
                block += f"\nCopyright: {unfold(paragraph['Copyright'])}\n"
                block += f"License: {licence_name}\n\n"
                for single in re.split(r"\s+(?:and|or)\s+", licence_name):
                    block += licences[single] + "\n\n"
                blocks.append(block.rstrip("\n"))
            ids = sorted({dep5_licence_id(p["License"].split("\n")[0]) for p, _ in covered})
            for single, licence_text in licences.items():
                identifier = dep5_licence_id(single)
                if identifier.startswith("LicenseRef-"):
                    extracted[identifier] = (single, licence_text)
            expression = " AND ".join(f"({i})" if " " in i else i for i in ids)
        elif "GCC RUNTIME LIBRARY EXCEPTION" in text:
            unknown = [a for a in archives if a not in GCC_RUNTIME_FILES]
            if unknown:
                fail(f"{', '.join(unknown)} of {package} is linked in: not one of GCC's run-time"
                     " libraries under the Runtime Library Exception; look at its terms first")
            blocks = gcc_notices(path, text) + [
                "The text of the GNU General Public License, version 3:\n"
                "https://www.gnu.org/licenses/gpl-3.0.txt"]
            expression = GCC_RUNTIME_LICENCE
        else:
            fail(f"{package} is linked in, and its copyright file is of no form known here:"
                 " look at its terms first")
        components.append((package, expression, archives, files, path, blocks))

    with open(args.exe, "rb") as exe_file:
        exe_sha256 = hashlib.sha256(exe_file.read()).hexdigest()
    created = datetime.datetime.fromtimestamp(int(args.epoch), datetime.timezone.utc)
    created = created.strftime("%Y-%m-%dT%H:%M:%SZ")

    write_notices(args, components, facts)
    write_spdx(args, components, facts, tools, owner, extracted, exe_sha256, created)


def write_notices(args, components, facts):
    out = []
    out.append(f"{PRODUCT} {args.version}: third-party notices")
    out.append("")
    out.append(f"{PRODUCT}.exe is under the MIT License (LICENSE). It is linked statically with")
    out.append("parts of the run-time libraries of the toolchain that built it, listed here: each")
    out.append("with its Debian package, version and licence, the files linked in, and the")
    out.append("notices that package's copyright file gives for them. Nothing else is linked in.")
    out.append("This file was made from the linker's map of this very exe.")
    shown = {}  # notices already reproduced: the number of their component
    for number, (package, expression, archives, files, path, blocks) in enumerate(components, 1):
        version, architecture = facts[package]
        out.append("")
        out.append("=" * 78)
        out.append(f"[{number}] {package} {version} ({architecture})")
        out.append(f"   Licence: {expression}")
        out.extend(textwrap.wrap(f"Linked in: {', '.join(archives)}", 78, initial_indent="   ",
                                 subsequent_indent="     ", break_on_hyphens=False))
        same = shown.setdefault("\n".join(blocks), number)
        if same != number:
            out.append(f"   Notices from {path}: the same as for [{same}].")
            out.append("=" * 78)
            continue
        out.append(f"   Notices from {path}:")
        out.append("=" * 78)
        for block in blocks:
            out.append("")
            out.extend(block.split("\n"))
    text = "\r\n".join(line.rstrip() for line in out) + "\r\n"
    with open(args.notices, "w", encoding="utf-8", newline="") as notices_file:
        notices_file.write(text)


def purl(package, version, architecture):
    return (f"pkg:deb/debian/{package}@{urllib.parse.quote(version, safe='')}"
            f"?arch={architecture}")


def write_spdx(args, components, facts, tools, owner, extracted, exe_sha256, created):
    exe_id = spdx_id("Package", PRODUCT)
    packages = [{
        "SPDXID": exe_id,
        "name": PRODUCT,
        "versionInfo": args.version,
        "packageFileName": f"{PRODUCT}.exe",
        "downloadLocation": "NOASSERTION",
        "filesAnalyzed": False,
        "checksums": [{"algorithm": "SHA256", "checksumValue": exe_sha256}],
        "licenseConcluded": "MIT",
        "licenseDeclared": "MIT",
        "copyrightText": f"Copyright (c) {AUTHORS}",
        "primaryPackagePurpose": "APPLICATION",
    }]
    relationships = [{"spdxElementId": "SPDXRef-DOCUMENT", "relationshipType": "DESCRIBES",
                      "relatedSpdxElement": exe_id}]
    linked_licences = {package: expression for package, expression, *_ in components}
    tool_packages = sorted({owner[tools[role]] for role in
                            ("compiler", "linker", "resource-compiler")})
    for package in sorted(set(linked_licences) | set(tool_packages)):
        version, architecture = facts[package]
        entry = {
            "SPDXID": spdx_id("Package-deb", package),
            "name": package,
            "versionInfo": version,
            "downloadLocation": "NOASSERTION",
            "filesAnalyzed": False,
            "licenseConcluded": linked_licences.get(package, "NOASSERTION"),
            "licenseDeclared": "NOASSERTION",
            "copyrightText": "NOASSERTION",
            "externalRefs": [{"referenceCategory": "PACKAGE-MANAGER", "referenceType": "purl",
                              "referenceLocator": purl(package, version, architecture)}],
        }
        if package in linked_licences:
            archives = next(c[2] for c in components if c[0] == package)
            entry["primaryPackagePurpose"] = "LIBRARY"
            entry["comment"] = (f"Linked statically into {PRODUCT}.exe: {', '.join(archives)}; "
                                "licenseConcluded is the licence of those parts.")
            relationships.append({"spdxElementId": exe_id, "relationshipType": "STATIC_LINK",
                                  "relatedSpdxElement": entry["SPDXID"]})
        if package in tool_packages:
            relationships.append({"spdxElementId": entry["SPDXID"],
                                  "relationshipType": "BUILD_TOOL_OF",
                                  "relatedSpdxElement": exe_id})
        packages.append(entry)
    document = {
        "spdxVersion": "SPDX-2.3",
        "dataLicense": "CC0-1.0",
        "SPDXID": "SPDXRef-DOCUMENT",
        "name": f"{PRODUCT}-{args.version}",
        "documentNamespace": f"{NAMESPACE_BASE}/{PRODUCT}-{args.version}-{exe_sha256}",
        "creationInfo": {
            "created": created,
            "creators": [f"Organization: {AUTHORS}", f"Tool: {PRODUCT}-package.sh-{args.version}"],
        },
        "packages": packages,
        "relationships": relationships,
    }
    if extracted:
        document["hasExtractedLicensingInfos"] = [
            {"licenseId": identifier, "name": name, "extractedText": text}
            for identifier, (name, text) in sorted(extracted.items())]
    with open(args.spdx, "w", encoding="utf-8", newline="\n") as spdx_file:
        json.dump(document, spdx_file, indent=2, ensure_ascii=False)
        spdx_file.write("\n")


if __name__ == "__main__":
    main()
