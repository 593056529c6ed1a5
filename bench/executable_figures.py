#!/usr/bin/python3
"""Prints what the built program is made of: its size as built (it ships
stripped) and that of its debug file, the size of each section, the input
files that fill most of the program (from the link map beside it) and the
DLLs it imports.

Usage: executable_figures.py PROGRAM.exe
"""
import collections
import os
import re
import subprocess
import sys

import pefile

# A line of the link map that places one input section: its name (or
# nothing, when the name stood alone on the line before), address, size and
# the input file.
PLACED_INPUT = re.compile(r"^ (?:\.\S+)?\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S.*)$")
OUTPUT_SECTION = re.compile(r"^(\.\S+)\s")
LARGEST_INPUTS = 12


def section_sizes(path):
    listing = subprocess.run(["i686-w64-mingw32-objdump", "-h", path], capture_output=True,
                             text=True, check=True).stdout
    sections = []
    for line in listing.splitlines():
        fields = line.split()
        if len(fields) >= 3 and fields[0].isdigit():
            sections.append((fields[1], int(fields[2], 16)))
    return sections


def input_sizes(map_path):
    """Bytes of code and data that each input file brings, by output section."""
    sizes = collections.Counter()
    with open(map_path, encoding="utf-8", errors="replace") as link_map:
        text = link_map.read().split("Linker script and memory map", 1)[-1]
    output = None
    for line in text.splitlines():
        if match := OUTPUT_SECTION.match(line):
            output = match.group(1)
        elif output in (".text", ".rdata", ".eh_frame", ".data") and (
                match := PLACED_INPUT.match(line)):
            sizes[(output, os.path.basename(match.group(2)))] += int(match.group(1), 16)
    return sizes


def main(path):
    debug_path = os.path.splitext(path)[0] + ".debug"
    size = os.path.getsize(path)
    print(f"executable: {size} bytes as built and shipped ({size / 1024:.0f} KB), "
          f"symbols in {os.path.basename(debug_path)}: {os.path.getsize(debug_path)} bytes")
    print("sections: " + ", ".join(f"{name} {length}" for name, length in section_sizes(path)))
    map_path = os.path.splitext(path)[0] + ".map"
    if os.path.exists(map_path):
        inputs = input_sizes(map_path)
        libraries = collections.Counter()
        for (_, source), length in inputs.items():
            libraries[source.split("(")[0]] += length
        print("code and data by library: " + ", ".join(
            f"{library} {length}" for library, length in libraries.most_common(LARGEST_INPUTS)))
        print("largest inputs (section, file, bytes):")
        for (section, source), length in inputs.most_common(LARGEST_INPUTS):
            print(f"  {section:10} {source:60} {length}")
    image = pefile.PE(path)
    imports = sorted({entry.dll.decode().lower() for entry in image.DIRECTORY_ENTRY_IMPORT})
    print(f"imported DLLs: {', '.join(imports)}")


if __name__ == "__main__":
    main(sys.argv[1])
