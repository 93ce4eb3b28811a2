"""Export, import and dependency tables read from a module file or DLL with
the binutils tools, for ELF shared objects and PE32 and PE32+ DLLs alike."""

import re
import shutil
import subprocess
from dataclasses import dataclass, field


@dataclass
class ElfTables:
    elf_class: str = ""  # "ELF64" or "ELF32"
    machine: str = ""
    file_type: str = ""
    needed: list = field(default_factory=list)
    # name -> (type, binding) of symbols the file defines and others can see
    defined: dict = field(default_factory=dict)
    undefined: set = field(default_factory=set)
    # name -> (start, end) of every function the file defines, from .symtab
    functions: dict = field(default_factory=dict)
    # (start, end) of each address range that .eh_frame tells how to unwind
    unwind_ranges: list = field(default_factory=list)


@dataclass
class PeTables:
    file_format: str = ""
    magic: str = ""
    is_dll: bool = False
    export_count: int = 0  # entries of the export address table
    exports: list = field(default_factory=list)  # exported names
    imports: dict = field(default_factory=dict)  # dll name -> list of imported names
    # (start, end) of each address range that .pdata tells how to unwind (x86-64)
    unwind_ranges: list = field(default_factory=list)


def file_kind(path):
    with open(path, "rb") as f:
        head = f.read(2)
    if head == b"\x7fE":
        return "elf"
    if head == b"MZ":
        return "pe"
    raise ValueError(f"{path}: neither an ELF nor a PE file")


def _run(tool, *args):
    return subprocess.run([tool, *args], check=True, capture_output=True, text=True).stdout


def read_elf(path, readelf="readelf"):
    tables = ElfTables()
    header = _run(readelf, "-W", "-h", path)
    tables.elf_class = re.search(r"Class:\s+(\S+)", header).group(1)
    tables.machine = re.search(r"Machine:\s+(.+)", header).group(1).strip()
    tables.file_type = re.search(r"Type:\s+(\S+)", header).group(1)
    dynamic = _run(readelf, "-W", "-d", path)
    tables.needed = re.findall(r"\(NEEDED\)\s+Shared library: \[([^\]]+)\]", dynamic)
    # Num: Value Size Type Bind Vis Ndx Name[@version]
    row = re.compile(r"^\s*\d+:\s+\S+\s+\S+\s+(\S+)\s+(\S+)\s+(\S+)\s+(\S+)\s+(\S+)")
    for line in _run(readelf, "-W", "--dyn-syms", path).splitlines():
        m = row.match(line)
        if not m:
            continue
        sym_type, binding, visibility, index, name = m.groups()
        name = name.split("@")[0]
        if index == "UND":
            if name:
                tables.undefined.add(name)
        elif binding in ("GLOBAL", "WEAK", "UNIQUE") and visibility in ("DEFAULT", "PROTECTED"):
            tables.defined[name] = (sym_type, binding)
    # Num: Value Size Type Bind Vis Ndx Name
    function = re.compile(r"^\s*\d+:\s+([0-9a-f]+)\s+(\d+|0x[0-9a-f]+)\s+FUNC\s+\S+\s+\S+\s+(\S+)\s+(\S+)")
    for line in _run(readelf, "-W", "-s", path).splitlines():
        m = function.match(line)
        if m and m.group(3) != "UND":
            start = int(m.group(1), 16)
            tables.functions[m.group(4)] = (start, start + int(m.group(2), 0))
    # Only .eh_frame is there at run time: .debug_frame, listed too, is not.
    frames = _run(readelf, "-W", "--debug-dump=frames", path)
    for section in re.split(r"^Contents of the ", frames, flags=re.M):
        if section.startswith(".eh_frame section"):
            tables.unwind_ranges += [
                (int(a, 16), int(b, 16))
                for a, b in re.findall(r"FDE cie=\S+ pc=([0-9a-f]+)\.\.([0-9a-f]+)", section)]
    return tables


def pe_objdump():
    # The x86-64 one reads 32-bit files too.
    for tool in ("x86_64-w64-mingw32-objdump", "i686-w64-mingw32-objdump", "objdump"):
        if shutil.which(tool):
            return tool
    raise FileNotFoundError("no objdump found")


def read_pe_functions(path, objdump=None):
    """{name: start address} of the functions the COFF symbol table places in
    the file's sections."""
    objdump = objdump or pe_objdump()
    # Idx Name Size VMA ...; the symbol table numbers sections from 1.
    sections = {int(i) + 1: int(vma, 16) for i, vma in re.findall(
        r"^\s*(\d+)\s+\S+\s+[0-9a-f]+\s+([0-9a-f]+)\s", _run(objdump, "-h", path), re.M)}
    functions = {}
    # [n](sec s)(fl f)(ty 20)(scl c) (nx k) 0xoffset name; type 0x20 is a function.
    row = re.compile(
        r"\(sec\s+(-?\d+)\)\(fl \S+\)\(ty\s+20\)\(scl\s+\d+\) \(nx \d+\) 0x([0-9a-f]+) (\S+)$")
    for line in _run(objdump, "-t", path).splitlines():
        m = row.search(line)
        # Section 0 or below: not in the file (undefined, absolute or debug).
        if m and int(m.group(1)) in sections:
            functions[m.group(3)] = sections[int(m.group(1))] + int(m.group(2), 16)
    return functions


def read_pe(path, objdump=None):
    objdump = objdump or pe_objdump()
    text = _run(objdump, "-p", path)
    tables = PeTables()
    m = re.search(r"file format (\S+)", text)
    tables.file_format = m.group(1) if m else ""
    m = re.search(r"^Magic\s+(\S+)", text, re.M)
    tables.magic = m.group(1) if m else ""
    m = re.search(r"^Characteristics\s+\S+\n((?:\t.*\n)*)", text, re.M)
    tables.is_dll = bool(m) and re.search(r"^\s*DLL\s*$", m.group(1), re.M) is not None
    m = re.search(r"Number in:\n\s*Export Address Table\s+([0-9a-fA-F]+)", text)
    tables.export_count = int(m.group(1), 16) if m else 0
    m = re.search(r"\[Ordinal/Name Pointer\] Table\n((?:\s*\[\s*\d+\].*\n)*)", text)
    if m:
        tables.exports = re.findall(r"\[\s*\d+\]\s+(\S+)", m.group(1))
    current = None
    for line in text.splitlines():
        m = re.match(r"^\s*DLL Name:\s+(\S+)", line)
        if m:
            current = m.group(1)
            tables.imports[current] = []
            continue
        if current is None:
            continue
        m = re.match(r"^\s*[0-9a-fA-F]+\s+\d+\s+(\S+)\s*$", line)
        if m:
            tables.imports[current].append(m.group(1))
        elif line.strip() == "" or line.lstrip().startswith("vma:"):
            continue
        else:
            current = None
    # The interpreted .pdata: vma: BeginAddress EndAddress UnwindData
    tables.unwind_ranges = [
        (int(a, 16), int(b, 16))
        for a, b in re.findall(r"^ [0-9a-f]+:\s+([0-9a-f]+) ([0-9a-f]+) [0-9a-f]+$", text, re.M)]
    return tables
