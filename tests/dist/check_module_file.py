#!/usr/bin/env python3
"""Checks a module file's tables against what a host loading it relies on:
mexFunction is its only export; the host's functions come from the loading
process and the driver's from libnidaqmx.so, which the file names (Linux), or
both from libmx.dll, libmex.dll and nicaiu.dll by their plain names (Windows),
with the compiler's runtimes linked in.

usage: check_module_file.py --host-dir DIR [--objdump TOOL] [--readelf TOOL] FILE
Exit status 0 when every check passes, 1 otherwise."""

import argparse
import pathlib
import re
import sys

from binary_tables import file_kind, read_elf, read_pe, read_pe_functions
from checks import Checks, listing
from host_declarations import declared_functions, driver_dll

ENTRY = "mexFunction"
# Each of its declared functions is imported: adding one to it adds one import.
MEX_DLL = "libmex.dll"
# What each Linux file name promises: readelf's class and machine.
ELF_TARGETS = {
    ".mexa64": ("ELF64", "Advanced Micro Devices X86-64"),
    ".mexglx": ("ELF32", "Intel 80386"),
}
# ... and each Windows file name: objdump's format and the optional header's magic.
PE_TARGETS = {
    ".mexw32": ("pei-i386", "010b", "PE32 i386"),
    ".mexw64": ("pei-x86-64", "020b", "PE32+ x86-64"),
}
# All a Linux module file needs: the C library, and the driver's library,
# which the system's loader brings in with it. The host's functions are
# already in the process that loads it, under no library name a file could give.
ELF_NEEDED = ["libc.so.6", "libnidaqmx.so"]
# ... and, in the sanitizer builds only, the sanitizers' runtimes with the
# compiler's runtimes they bring along.
SANITIZER_RUNTIME = re.compile(r"^lib(asan|ubsan)\.so")
SANITIZER_EXTRA = re.compile(r"^lib(asan|ubsan|stdc\+\+|m|gcc_s)\.so")
# DLLs that come with every Windows system.
SYSTEM_DLL = re.compile(
    r"^(kernel32|user32|advapi32|ntdll|msvcrt|ucrtbase|api-ms-win-[\w-]+)\.dll$", re.I)
# The C runtime's start-up and tear-down code in every shared object, which the
# loader runs and no host error unwinds through, and the i386 compiler's
# position thunks, which call nothing and so are never on the stack when the
# host raises an error.
NEVER_UNWOUND = re.compile(r"^(_init|_fini|deregister_tm_clones|register_tm_clones|"
                           r"__do_global_dtors_aux|frame_dummy|__x86\.get_pc_thunk\.\w+)$")
# The compiler's runtime DLLs, which a host does not have.
RUNTIME_DLL = re.compile(r"^(libgcc_s|libstdc\+\+|libwinpthread)", re.I)


def host_function_names(declared):
    return set().union(*declared.values())


def own_needed_libraries(needed):
    """The needed libraries, less those a sanitizer build adds."""
    sanitized = any(SANITIZER_RUNTIME.match(lib) for lib in needed)
    return sorted(lib for lib in needed if not (sanitized and SANITIZER_EXTRA.match(lib)))


def check_elf(path, declared, checks, readelf):
    tables = read_elf(path, readelf)
    suffix = pathlib.Path(path).suffix
    if suffix in ELF_TARGETS:
        elf_class, machine = ELF_TARGETS[suffix]
        checks.check(f"{suffix} is an {elf_class} {machine} file",
                     (tables.elf_class, tables.machine) == (elf_class, machine),
                     f"found {tables.elf_class} {tables.machine}")
    checks.check("is a shared object", tables.file_type == "DYN", f"type {tables.file_type}")
    exported = sorted(tables.defined)
    checks.check("exports only mexFunction", exported == [ENTRY], f"exports {listing(exported)}")
    checks.check("mexFunction is a function",
                 tables.defined.get(ENTRY, ("",))[0] == "FUNC", f"{tables.defined.get(ENTRY)}")
    needed = own_needed_libraries(tables.needed)
    checks.check("needs only the C library and the driver's", needed == ELF_NEEDED,
                 f"needs [{listing(needed)}], expected [{listing(ELF_NEEDED)}]")
    host_names = host_function_names(declared)
    unknown = sorted(n for n in tables.undefined
                     if re.match(r"(mx|mex|DAQmx)[A-Z]", n) and n not in host_names)
    checks.check("binds only declared host and driver functions", not unknown,
                 f"undeclared {listing(unknown)}")
    missing = sorted(declared[driver_dll()] - tables.undefined)
    checks.check("leaves every driver function to the driver's library", not missing,
                 f"not left undefined: {listing(missing)}")
    # A host may raise an error as a C++ exception through any of the module's frames.
    functions = {n: r for n, r in tables.functions.items() if not NEVER_UNWOUND.match(n)}
    bare = sorted(n for n, (start, end) in functions.items()
                  if not any(a <= start and end <= b for a, b in tables.unwind_ranges))
    checks.check("has unwind information for every function", bool(functions) and not bare,
                 f"{len(bare)} of {len(functions)} functions without: {listing(bare)}")


def check_pe_unwinding(path, tables, checks, objdump):
    """x86-64 Windows unwinds by the .pdata table alone: a function without an
    entry is taken for a leaf, and the unwinder reads a wrong return address."""
    imported = set().union(*tables.imports.values()) if tables.imports else set()
    # The import stubs only jump to the DLL's function, so they are never a frame.
    functions = {n: a for n, a in read_pe_functions(path, objdump).items() if n not in imported}
    bare = sorted(n for n, start in functions.items()
                  if not any(a <= start < b for a, b in tables.unwind_ranges))
    checks.check("has unwind information for every function", bool(functions) and not bare,
                 f"{len(bare)} of {len(functions)} functions without: {listing(bare)}")


def check_pe(path, declared, checks, objdump):
    tables = read_pe(path, objdump)
    suffix = pathlib.Path(path).suffix
    file_format, magic, name = PE_TARGETS.get(suffix, PE_TARGETS[".mexw32"])
    checks.check(f"is a {name} file", (tables.file_format, tables.magic) == (file_format, magic),
                 f"format {tables.file_format} magic {tables.magic}")
    checks.check("is a DLL", tables.is_dll)
    checks.check("exports only mexFunction",
                 tables.exports == [ENTRY] and tables.export_count == 1,
                 f"names {listing(tables.exports)}; {tables.export_count} entries")
    runtime = sorted(d for d in tables.imports if RUNTIME_DLL.match(d))
    checks.check("imports no compiler runtime DLL", not runtime, f"imports {listing(runtime)}")
    allowed = {dll.lower() for dll in declared}
    foreign = sorted(d for d in tables.imports
                     if d.lower() not in allowed and not SYSTEM_DLL.match(d))
    checks.check("imports only from the host, the driver and the system", not foreign,
                 f"imports {listing(foreign)}")
    imports = {dll.lower(): names for dll, names in tables.imports.items()}
    for dll, names in sorted(declared.items()):
        taken = imports.get(dll.lower(), [])
        unknown = sorted(set(taken) - names)
        checks.check(f"imports from {dll} only functions it declares", not unknown,
                     f"undeclared {listing(unknown)}")
    for dll in (MEX_DLL, driver_dll()):
        wanted = declared[dll]
        taken = set(imports.get(dll, []))
        checks.check(f"imports every function it declares of {dll} by its plain name",
                     taken == wanted, f"imports [{listing(taken)}], expected [{listing(wanted)}]")
    if magic == "020b":
        check_pe_unwinding(path, tables, checks, objdump)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--host-dir", required=True, help="folder of the host declarations")
    parser.add_argument("--objdump", help="objdump that reads PE files")
    parser.add_argument("--readelf", default="readelf")
    parser.add_argument("file")
    args = parser.parse_args()
    declared = declared_functions(args.host_dir)
    checks = Checks(args.file)
    if file_kind(args.file) == "elf":
        check_elf(args.file, declared, checks, args.readelf)
    else:
        check_pe(args.file, declared, checks, args.objdump)
    return checks.finish()


if __name__ == "__main__":
    sys.exit(main())
