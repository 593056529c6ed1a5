#!/usr/bin/python3
"""Post-link step: makes the program's `_load_config_used` structure its
load configuration.

GNU ld does not fill the load-configuration entry of the data directory, so
without this step the loader never sees the structure, and the
DependentLoadFlags in it (LOAD_LIBRARY_SEARCH_SYSTEM32: the imports' own
imports come from the system folder only) stay without effect. The step finds
the structure through the image's COFF symbol table, so it must run before
the image is stripped. It refuses an image whose structure asks for other
flags, so that a build never ships without the restriction, and it fixes the
header checksum afterwards.

Usage: set_load_config.py PROGRAM.exe
"""

import struct
import sys

import pefile

LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x800
# By machine: the structure's symbol (i686 C names carry a leading underscore)
# and where DependentLoadFlags sits in it (the 64-bit layout has wider fields).
LOAD_CONFIG_LAYOUTS = {
    pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"]: (b"__load_config_used", 54),
    pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"]: (b"_load_config_used", 78),
}
SYMBOL_RECORD = struct.Struct("<8sIhHBB")


class LoadConfigError(Exception):
    pass


def _symbol_name(raw_name, string_table):
    if raw_name[:4] == b"\0\0\0\0":
        offset = struct.unpack_from("<I", raw_name, 4)[0]
        return string_table[offset:string_table.index(b"\0", offset)]
    return raw_name.rstrip(b"\0")


def find_symbol_rva(pe, wanted):
    """RVA of a symbol defined in one of the image's sections."""
    table_offset = pe.FILE_HEADER.PointerToSymbolTable
    count = pe.FILE_HEADER.NumberOfSymbols
    if not table_offset:
        raise LoadConfigError("the image has no symbol table: run this step before stripping")
    data = pe.__data__
    string_table = data[table_offset + count * SYMBOL_RECORD.size:]
    index = 0
    while index < count:
        name, value, section, _, _, aux_records = SYMBOL_RECORD.unpack_from(
            data, table_offset + index * SYMBOL_RECORD.size)
        if section > 0 and _symbol_name(name, string_table) == wanted:
            return pe.sections[section - 1].VirtualAddress + value
        index += 1 + aux_records
    raise LoadConfigError(f"no {wanted.decode()} in the image: the program must define it")


def set_load_config(path):
    pe = pefile.PE(path, fast_load=True)
    if pe.FILE_HEADER.Machine not in LOAD_CONFIG_LAYOUTS:
        raise LoadConfigError(f"machine type 0x{pe.FILE_HEADER.Machine:X} is neither i386 nor AMD64")
    symbol, flags_offset = LOAD_CONFIG_LAYOUTS[pe.FILE_HEADER.Machine]
    rva = find_symbol_rva(pe, symbol)
    size = pe.get_dword_at_rva(rva)
    if size < flags_offset + 2:
        raise LoadConfigError(f"_load_config_used declares {size} bytes, too few for "
                              "DependentLoadFlags")
    flags = pe.get_word_at_rva(rva + flags_offset)
    if flags != LOAD_LIBRARY_SEARCH_SYSTEM32:
        raise LoadConfigError(f"_load_config_used has DependentLoadFlags 0x{flags:X}, "
                              f"not 0x{LOAD_LIBRARY_SEARCH_SYSTEM32:X}")
    entry = pe.OPTIONAL_HEADER.DATA_DIRECTORY[
        pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_LOAD_CONFIG"]]
    if entry.VirtualAddress not in (0, rva):
        raise LoadConfigError(f"the load configuration already points at 0x{entry.VirtualAddress:X}")
    entry.VirtualAddress = rva
    entry.Size = size
    pe.OPTIONAL_HEADER.CheckSum = pe.generate_checksum()
    image = pe.write()
    pe.close()
    with open(path, "wb") as program:
        program.write(image)


def main(arguments):
    if len(arguments) != 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    try:
        set_load_config(arguments[1])
    except LoadConfigError as error:
        print(f"{arguments[1]}: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
