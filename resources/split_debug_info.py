#!/usr/bin/python3
"""Post-link step: ships the program stripped, with its debug information in
a file beside it.

The symbols and DWARF sections move to PROGRAM.debug, the program keeps only
a debug link (the file's name and checksum) to it, so that a debugger or a
crash report can find the symbols again. Runs after set_load_config.py, which
needs the symbol table; the header checksum is fixed again afterwards, as
stripping changes the file.

Usage: split_debug_info.py OBJCOPY PROGRAM.exe
"""

import os
import subprocess
import sys

import pefile

def split_debug_info(objcopy, program):
    debug_file = os.path.splitext(program)[0] + ".debug"
    # objcopy writes the time into both headers unless told one: the link
    # writes none, so that the same sources give the same bytes, and the
    # debug link's checksum stays the same with them.
    environment = dict(os.environ, SOURCE_DATE_EPOCH=os.environ.get("SOURCE_DATE_EPOCH", "0"))
    subprocess.run([objcopy, "--only-keep-debug", program, debug_file], check=True,
                   env=environment)
    # The link is looked up by name beside the program, so it is added from
    # within that folder.
    subprocess.run([objcopy, "--strip-all", f"--add-gnu-debuglink={os.path.basename(debug_file)}",
                    os.path.basename(program)], check=True, cwd=os.path.dirname(program) or ".",
                   env=environment)
    pe = pefile.PE(program, fast_load=True)
    pe.OPTIONAL_HEADER.CheckSum = pe.generate_checksum()
    image = pe.write()
    pe.close()
    with open(program, "wb") as file:
        file.write(image)


def main(arguments):
    if len(arguments) != 3:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    split_debug_info(arguments[1], os.path.abspath(arguments[2]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
