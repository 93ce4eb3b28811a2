#!/usr/bin/env python3
"""Checks that host/*.def, from which the Windows build makes the module's
import libraries, name the same DLLs and functions as the declarations in
host/*.h, and that the driver's stdcall entries carry argument sizes.
(The Windows build's link then checks each size against the declaration.)

usage: check_import_defs.py --host-dir DIR
Exit status 0 when every check passes, 1 otherwise."""

import argparse
import pathlib
import re
import sys

from checks import Checks, listing
from host_declarations import declared_functions, driver_dll


def read_def(path):
    """(LIBRARY name, [export entries]) of a .def file."""
    library, entries, in_exports = None, [], False
    for raw in pathlib.Path(path).read_text().splitlines():
        line = raw.split(";", 1)[0].strip()
        if not line:
            continue
        m = re.match(r"LIBRARY\s+(\S+)", line)
        if m:
            library = m.group(1)
        elif line == "EXPORTS":
            in_exports = True
        elif in_exports:
            entries.append(line.split()[0])
    return library, entries


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--host-dir", required=True)
    args = parser.parse_args()
    checks = Checks(f"import declarations in {args.host_dir}")
    for dll, names in sorted(declared_functions(args.host_dir).items()):
        def_path = pathlib.Path(args.host_dir) / (pathlib.Path(dll).stem + ".def")
        if not checks.check(f"{def_path.name} exists", def_path.is_file()):
            continue
        library, entries = read_def(def_path)
        checks.check(f"{def_path.name} names {dll}", library == dll, f"LIBRARY {library}")
        stdcall = dll == driver_dll()
        plain = [e.split("@")[0] for e in entries]
        checks.check(f"{def_path.name} lists each declared function once",
                     sorted(plain) == sorted(names),
                     f"missing [{listing(names - set(plain))}], "
                     f"extra [{listing(set(plain) - names)}], {len(plain)} entries")
        if stdcall:
            bad = [e for e in entries if not re.fullmatch(r"\w+@\d+", e)]
            checks.check(f"{def_path.name} gives every stdcall entry its argument bytes",
                         not bad, f"without @bytes: {listing(bad)}")
        else:
            bad = [e for e in entries if "@" in e]
            checks.check(f"{def_path.name} decorates no C-convention entry", not bad,
                         f"decorated: {listing(bad)}")
    return checks.finish()


if __name__ == "__main__":
    sys.exit(main())
