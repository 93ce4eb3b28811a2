"""The host's and driver's functions as host/*.h declares them, by the DLL
that provides each on Windows."""

import pathlib
import re

# Which DLL provides the functions of each header.
HEADER_DLLS = {
    "mx_array.h": "libmx.dll",
    "mex_api.h": "libmex.dll",
    "daqmx.h": "nicaiu.dll",
}
# Declared with the host's functions, but the module's own export.
MODULE_EXPORT = "mexFunction"

_DECLARATION = re.compile(r"\b(HOST_CALL|DRIVER_CALL)\s+([A-Za-z_]\w*)\s*\(")
_COMMENT = re.compile(r"/\*.*?\*/|//[^\n]*", re.S)


def declared_functions(host_dir):
    """{dll name: set of function names} from the headers in host_dir."""
    by_dll = {}
    for header, dll in HEADER_DLLS.items():
        text = _COMMENT.sub(" ", (pathlib.Path(host_dir) / header).read_text())
        names = {m.group(2) for m in _DECLARATION.finditer(text)}
        names.discard(MODULE_EXPORT)
        if not names:
            raise ValueError(f"{header}: no HOST_CALL or DRIVER_CALL declarations found")
        by_dll[dll] = names
    return by_dll


def driver_dll():
    return HEADER_DLLS["daqmx.h"]
