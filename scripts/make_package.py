#!/usr/bin/env python3
"""Makes the release zip and its .sha256 beside it.

Usage: make_package.py VERSION EXE README ZIP

The zip holds the exe and the README; the README becomes UTF-8 with a BOM
and CRLF line ends, which every Notepad shows correctly. Every entry carries
the same fixed time and attributes, so the same exe always gives the same
zip, byte for byte, and the same sum.
"""
import hashlib
import os
import sys
import zipfile

FIXED_TIME = (2025, 1, 1, 0, 0, 0)


def entry(name):
    info = zipfile.ZipInfo(name, date_time=FIXED_TIME)
    info.create_system = 0  # MS-DOS: no host permissions in the entry
    info.external_attr = 0x20  # FILE_ATTRIBUTE_ARCHIVE, as Explorer packs a file
    info.compress_type = zipfile.ZIP_DEFLATED
    return info


def readme_text(path, version):
    with open(path, encoding="utf-8") as source:
        text = source.read().replace("@VERSION@", version)
    lines = text.replace("\r\n", "\n").split("\n")
    return "\ufeff".encode("utf-8") + "\r\n".join(lines).encode("utf-8")


def main(version, exe, readme, target):
    with open(exe, "rb") as source:
        exe_bytes = source.read()
    partial = target + ".part"
    with zipfile.ZipFile(partial, "w", compresslevel=9) as archive:
        archive.writestr(entry("Kalvory.exe"), exe_bytes)
        archive.writestr(entry("README.txt"), readme_text(readme, version))
    os.replace(partial, target)
    with open(target, "rb") as made:
        digest = hashlib.sha256(made.read()).hexdigest()
    # The format of sha256sum, so that "sha256sum -c" checks it.
    with open(target + ".sha256", "w", encoding="ascii", newline="\n") as sums:
        sums.write(f"{digest}  {os.path.basename(target)}\n")


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    main(*sys.argv[1:])
