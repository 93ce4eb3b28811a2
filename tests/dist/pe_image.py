"""What a PE32 file carries besides its code, read from the file's bytes:
the fields that could hold a build time, and its version resource."""

import struct
from dataclasses import dataclass, field

RT_VERSION = 16
FIXED_INFO_SIGNATURE = 0xFEEF04BD


@dataclass
class Stamps:
    """Every time-stamp field found, by where it is: name -> value."""
    fields: dict = field(default_factory=dict)
    debug_entries: int = 0


@dataclass
class VersionInfo:
    file_version: tuple = ()
    product_version: tuple = ()
    file_date: int = 0
    strings: dict = field(default_factory=dict)  # StringFileInfo name -> value


class PeImage:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not a PE file: no MZ header")
        self.pe = self.u32(0x3C)
        if data[self.pe:self.pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file: no PE signature")
        coff = self.pe + 4
        sections, = struct.unpack_from("<H", data, coff + 2)
        self.coff_stamp = self.u32(coff + 4)
        optional_size, = struct.unpack_from("<H", data, coff + 16)
        optional = coff + 20
        if struct.unpack_from("<H", data, optional)[0] != 0x10B:
            raise ValueError("not a PE32 file")
        count = self.u32(optional + 92)
        self.directories = [struct.unpack_from("<II", data, optional + 96 + 8 * i)
                            for i in range(count)]
        table = optional + optional_size
        self.sections = []  # (virtual address, virtual size, file offset, raw size)
        for i in range(sections):
            size, address, raw_size, raw_offset = struct.unpack_from("<4I", data, table + 40 * i + 8)
            self.sections.append((address, size, raw_offset, raw_size))

    def u32(self, offset):
        return struct.unpack_from("<I", self.data, offset)[0]

    def offset(self, rva):
        for address, size, raw_offset, raw_size in self.sections:
            if address <= rva < address + max(size, raw_size):
                return raw_offset + rva - address
        raise ValueError(f"address {rva:#x} lies in no section")

    def directory(self, index):
        """(file offset, size) of a data directory, or None when it is empty."""
        if index >= len(self.directories) or self.directories[index][0] == 0:
            return None
        rva, size = self.directories[index]
        return self.offset(rva), size

    def stamps(self):
        found = Stamps()
        found.fields["COFF header"] = self.coff_stamp
        export = self.directory(0)
        if export:
            found.fields["export directory"] = self.u32(export[0] + 4)
        imports = self.directory(1)
        if imports:
            at = imports[0]
            while any(struct.unpack_from("<5I", self.data, at)):
                found.fields[f"import descriptor at {at:#x}"] = self.u32(at + 4)
                at += 20
        tables, _ = self._resources()
        for at in tables:
            found.fields[f"resource directory at {at:#x}"] = self.u32(at + 4)
        debug = self.directory(6)
        if debug:
            found.debug_entries = debug[1] // 28
            for i in range(found.debug_entries):
                found.fields[f"debug entry {i}"] = self.u32(debug[0] + 28 * i + 4)
        return found

    def _resources(self):
        """Offsets of every resource table, and (id path, data entry offset) of
        every leaf."""
        tables, leaves = [], []
        resources = self.directory(2)
        if not resources:
            return tables, leaves
        base = resources[0]
        pending = [(base, ())]
        while pending:
            at, path = pending.pop()
            tables.append(at)
            named, ids = struct.unpack_from("<HH", self.data, at + 12)
            for i in range(named + ids):
                name, target = struct.unpack_from("<II", self.data, at + 16 + 8 * i)
                if target & 0x80000000:
                    pending.append((base + (target & 0x7FFFFFFF), path + (name,)))
                else:
                    leaves.append((path + (name,), base + target))
        return tables, leaves

    def version_info(self):
        for path, entry in self._resources()[1]:
            if path[0] == RT_VERSION:
                rva, size = struct.unpack_from("<II", self.data, entry)
                start = self.offset(rva)
                return parse_version_info(self.data[start:start + size])
        return None

def _node(block, at):
    """One node of a version resource: (key, value bytes, value type, children, end)."""
    length, value_length, value_type = struct.unpack_from("<HHH", block, at)
    end = at + length
    key_end = block.index(b"\0\0", at + 6)
    while (key_end - at) % 2:  # UTF-16: the terminator starts on an even offset
        key_end = block.index(b"\0\0", key_end + 1)
    key = block[at + 6:key_end].decode("utf-16-le")
    value_at = (key_end + 2 + 3) & ~3
    value_bytes = value_length * 2 if value_type == 1 else value_length
    value = block[value_at:value_at + value_bytes]
    children = []
    child = (value_at + value_bytes + 3) & ~3
    while child < end:
        node = _node(block, child)
        children.append(node)
        child = (node[4] + 3) & ~3
    return key, value, value_type, children, end


def parse_version_info(block):
    key, fixed, _, children, _ = _node(block, 0)
    if key != "VS_VERSION_INFO" or len(fixed) < 52:
        raise ValueError("no VS_VERSION_INFO with a fixed part")
    words = struct.unpack_from("<13I", fixed)
    if words[0] != FIXED_INFO_SIGNATURE:
        raise ValueError("the fixed part has the wrong signature")

    def four(high, low):
        return (high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF)

    info = VersionInfo(file_version=four(words[2], words[3]),
                       product_version=four(words[4], words[5]),
                       file_date=(words[11] << 32) | words[12])
    for child_key, _, _, tables, _ in children:
        if child_key != "StringFileInfo":
            continue
        for _, _, _, strings, _ in tables:
            for name, value, _, _, _ in strings:
                info.strings[name] = value.decode("utf-16-le").rstrip("\0")
    return info
