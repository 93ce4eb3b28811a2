#!/usr/bin/env python3
"""Checks what a released module file says about itself. A .mexw32 or .mexw64:
its version resource names the file and the release's version, and no header
field that could carry a build time does, so two builds of one commit are
byte-identical. A .mexa64 or .mexglx: it carries "twinvolts X.Y.Z" where
strings shows it.

usage: check_release_stamp.py --version X.Y.Z [--objdump TOOL] [--windres TOOL] [--strings TOOL] FILE
Exit status 0 when every check passes, 1 otherwise."""

import argparse
import os
import pathlib
import re
import subprocess
import sys

from binary_tables import file_kind
from checks import Checks

# The toolchain of each file's word size (for when no tool is named).
TRIPLES = {".mexw32": "i686-w64-mingw32-", ".mexw64": "x86_64-w64-mingw32-"}


def run(*command):
    env = dict(os.environ, TZ="UTC", LC_ALL="C")
    return subprocess.run(command, check=True, capture_output=True, text=True, env=env).stdout


def check_stamps(headers, checks):
    coff = re.search(r"^Time/Date\s+(.+)$", headers, re.M)
    checks.check("no build time in the COFF header",
                 coff and coff.group(1) == "Thu Jan  1 00:00:00 1970", coff and coff.group(1))
    export = re.search(r"^Time/Date stamp\s+(\S+)", headers, re.M)
    checks.check("no build time in the export directory", export and int(export.group(1), 16) == 0,
                 export and export.group(1))
    # Import descriptors: vma, hint table, time stamp, forward chain, name, first thunk.
    stamps = re.findall(r"^ [0-9a-f]{8}\t[0-9a-f]{8} ([0-9a-f]{8}) [0-9a-f]{8} [0-9a-f]{8} [0-9a-f]{8}$",
                        headers, re.M)
    checks.check("no build time in the import descriptors", stamps and set(stamps) == {"00000000"},
                 f"stamps {sorted(set(stamps))}")
    resources = re.findall(r"Table: .*Time: ([0-9a-f]{8})", headers)
    checks.check("no build time in the resource tables", set(resources) <= {"00000000"},
                 f"stamps {sorted(set(resources))}")
    debug = re.search(r"^Entry 6 [0-9a-f]+ ([0-9a-f]{8}) Debug Directory", headers, re.M)
    checks.check("no debug directory (its entries carry a time)",
                 debug and int(debug.group(1), 16) == 0, debug and f"size {debug.group(1)}")


def check_version(resource, version, file_name, checks):
    numbers = ", ".join(version.split(".") + ["0"])
    for field in ("FILEVERSION", "PRODUCTVERSION"):
        found = re.search(rf"^ {field} (.+)$", resource, re.M)
        checks.check(f"{field} {numbers}", found and found.group(1) == numbers,
                     found.group(1) if found else "none")
    strings = dict(re.findall(r'^\s+VALUE "(\w+)", "([^"]*)"$', resource, re.M))
    expected = {"FileVersion": version, "ProductVersion": version,
                "OriginalFilename": file_name, "ProductName": "twinvolts"}
    for name, value in expected.items():
        checks.check(f"{name} is {value}", strings.get(name) == value,
                     f"found {strings.get(name)!r}")
    checks.check("has a description", "twinvolts" in strings.get("FileDescription", ""),
                 f"found {strings.get('FileDescription')!r}")


def check_elf_version(path, version, strings_tool, checks):
    shown = run(strings_tool, "-a", path).splitlines()
    text = f"twinvolts {version}"
    checks.check(f"strings shows {text}", text in shown,
                 f"found {[line for line in shown if line.startswith('twinvolts ')]}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--version", required=True, help="the release's version, X.Y.Z")
    parser.add_argument("--objdump")
    parser.add_argument("--windres")
    parser.add_argument("--strings", default="strings")
    parser.add_argument("file")
    args = parser.parse_args()
    path = pathlib.Path(args.file)
    checks = Checks(args.file)
    if file_kind(args.file) == "elf":
        check_elf_version(args.file, args.version, args.strings, checks)
        return checks.finish()
    triple = TRIPLES.get(path.suffix, TRIPLES[".mexw32"])
    args.objdump = args.objdump or triple + "objdump"
    args.windres = args.windres or triple + "windres"
    check_stamps(run(args.objdump, "-p", args.file), checks)
    try:
        resource = run(args.windres, "-i", args.file, "-O", "rc")
    except subprocess.CalledProcessError:
        resource = ""  # a file without resources
    if checks.check("has a version resource", "VERSIONINFO" in resource):
        check_version(resource, args.version, "twinvolts" + path.suffix, checks)
    return checks.finish()


if __name__ == "__main__":
    sys.exit(main())
