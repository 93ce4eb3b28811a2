#!/usr/bin/env python3
"""Checks every program and DLL of a Windows build's output folder for what
running them under wine (or on a machine without the compiler) needs: no
compiler runtime DLL, every other DLL either the system's or beside them, and
no DLL passing on the statically linked runtimes' own functions.

usage: check_windows_bin.py [--objdump TOOL] DIR
Exit status 0 when every check passes, 1 otherwise."""

import argparse
import pathlib
import re
import sys

from binary_tables import read_pe
from check_module_file import RUNTIME_DLL, SYSTEM_DLL
from checks import Checks, listing

# Functions of libgcc and libstdc++ that a DLL exports only when its runtimes
# leaked into its export table; a program linked after it would use them.
RUNTIME_EXPORT = re.compile(r"^(_Unwind_|__(de)?register_frame|__emutls_|__gxx_personality|__cxa_)")
PE_SUFFIXES = {".exe", ".dll", ".mexw32", ".mexw64"}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--objdump", help="objdump that reads PE files")
    parser.add_argument("dir")
    args = parser.parse_args()
    folder = pathlib.Path(args.dir)
    files = sorted(p for p in folder.iterdir() if p.suffix.lower() in PE_SUFFIXES)
    checks = Checks(f"{len(files)} files in {folder}")
    checks.check("finds the build's programs and DLLs",
                 any(p.suffix == ".exe" for p in files) and any(p.suffix == ".dll" for p in files),
                 f"found {listing(p.name for p in files)}")
    beside = {p.name.lower() for p in files}
    for path in files:
        tables = read_pe(str(path), args.objdump)
        runtime = [d for d in tables.imports if RUNTIME_DLL.match(d)]
        checks.check(f"{path.name} imports no compiler runtime DLL", not runtime,
                     f"imports {listing(runtime)}")
        missing = [d for d in tables.imports
                   if not SYSTEM_DLL.match(d) and d.lower() not in beside]
        checks.check(f"{path.name} finds every DLL it imports", not missing,
                     f"neither system nor beside it: {listing(missing)}")
        leaked = [n for n in tables.exports if RUNTIME_EXPORT.match(n)]
        checks.check(f"{path.name} exports none of the runtimes' functions", not leaked,
                     f"exports {listing(leaked)}")
    return checks.finish()


if __name__ == "__main__":
    sys.exit(main())
