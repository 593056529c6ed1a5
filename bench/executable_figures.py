#!/usr/bin/python3
"""Prints the size of the built program, stripped and as built, and the DLLs it imports."""
import os
import subprocess
import sys
import tempfile

import pefile


def main(path):
    with tempfile.TemporaryDirectory() as folder:
        stripped = os.path.join(folder, "stripped.exe")
        subprocess.run(["i686-w64-mingw32-strip", "-o", stripped, path], check=True)
        stripped_size = os.path.getsize(stripped)
    image = pefile.PE(path)
    imports = sorted({entry.dll.decode().lower() for entry in image.DIRECTORY_ENTRY_IMPORT})
    print(f"executable: {os.path.getsize(path)} bytes as built, {stripped_size} bytes stripped "
          f"({stripped_size / 1024:.0f} KB)")
    print(f"imported DLLs: {', '.join(imports)}")


if __name__ == "__main__":
    main(sys.argv[1])
