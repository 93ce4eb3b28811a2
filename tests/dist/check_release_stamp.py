#!/usr/bin/env python3
"""Checks what a released .mexw32 says about itself: its version resource
names the file and the release's version, and no header field that could
carry a build time does, so two builds of one commit are byte-identical.

usage: check_release_stamp.py --version X.Y.Z FILE
Exit status 0 when every check passes, 1 otherwise."""

import argparse
import pathlib
import sys

from checks import Checks
from pe_image import PeImage


def check_stamps(image, checks):
    stamps = image.stamps()
    for where, value in sorted(stamps.fields.items()):
        checks.check(f"no build time in the {where}", value == 0, f"time stamp {value:#x}")


def check_version(image, version, file_name, checks):
    info = image.version_info()
    if not checks.check("has a version resource", info is not None):
        return
    numbers = tuple(int(n) for n in version.split(".")) + (0,)
    checks.check(f"file version {version}", info.file_version == numbers, f"{info.file_version}")
    checks.check(f"product version {version}", info.product_version == numbers,
                 f"{info.product_version}")
    checks.check("no file date", info.file_date == 0, f"{info.file_date:#x}")
    expected = {"FileVersion": version, "ProductVersion": version,
                "OriginalFilename": file_name, "ProductName": "twinvolts"}
    for name, value in expected.items():
        checks.check(f"{name} is {value}", info.strings.get(name) == value,
                     f"found {info.strings.get(name)!r}")
    description = info.strings.get("FileDescription", "")
    checks.check("has a description", "twinvolts" in description, f"found {description!r}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--version", required=True, help="the release's version, X.Y.Z")
    parser.add_argument("file")
    args = parser.parse_args()
    checks = Checks(args.file)
    image = PeImage(pathlib.Path(args.file).read_bytes())
    check_stamps(image, checks)
    check_version(image, args.version, "twinvolts.mexw32", checks)
    return checks.finish()


if __name__ == "__main__":
    sys.exit(main())
