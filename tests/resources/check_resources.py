#!/usr/bin/python3 -B
"""Checks what the built program file carries besides its code: the icon
group, the hand pointer, both logos, the version block and the manifest, and
its security settings (ASLR, DEP, imports only of libraries that the system
always takes from its own folder, the load configuration that keeps the
imports' own dependencies there), and that it ships stripped with a debug
link to its symbols.

Usage: check_resources.py PROGRAM.exe VERSION (as project(VERSION) gives it, such as 1.2.3)
Prints one line per failed check and a last line "N passed, M failed"; the
exit status is 1 when a check failed.
"""

import io
import os
import re
import struct
import subprocess
import sys
import xml.etree.ElementTree as ElementTree
import zlib

import pefile
from PIL import Image

from gif_blocks import GifFormatError, read_gif
from version_block import read_node

RT_CURSOR, RT_BITMAP, RT_ICON, RT_RCDATA = 1, 2, 3, 10
RT_GROUP_CURSOR, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 12, 14, 16, 24

IDI_TOVASK, IDC_HAND_POINTER, IDB_LOGO_INFO1, IDR_LOGO_INFO2 = 1, 101, 201, 202

# (size, bits per pixel) in the group's order, with identifiers from 30001.
ICON_IMAGES = ((48, 8), (32, 8), (24, 8), (16, 8),
               (48, 32), (32, 32), (24, 32), (16, 32),
               (16, 24), (24, 24), (32, 24), (48, 24))
FIRST_ICON_IMAGE_ID = 30001

LOGO_SIZE = (88, 31)


def version_strings(version):
    """The version block's texts; it writes 1.2.3 as 1.02.0003."""
    major, minor, patch = (int(part) for part in version.split("."))
    block_text = f"{major}.{minor:02}.{patch:04}"
    return {
        "ProductName": "Tovask",
        "FileVersion": block_text,
        "ProductVersion": block_text,
        "InternalName": f"Tovask {version}",
        "OriginalFilename": f"Tovask {version}.exe",
    }

# The known DLLs: the loader always takes them from the system folder, so no
# copy planted beside the program can stand in for them. comctl32 is loaded by
# name with the window, so that the manifest binds it side by side; as an
# import it would load the display driver for every unattended run too. Any
# other library is loaded at run time by its full path in the system folder; a
# runtime DLL of the compiler (libstdc++, libgcc, libwinpthread) must never be
# among the imports.
STATIC_IMPORTS_ALLOWED = {
    "advapi32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll", "ole32.dll",
    "oleaut32.dll", "shell32.dll", "shlwapi.dll", "user32.dll",
}

DLL_CHARACTERISTICS = {"DYNAMIC_BASE": 0x0040, "NX_COMPAT": 0x0100}
IMAGE_FILE_RELOCS_STRIPPED = 0x0001
LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x800
DEPENDENT_LOAD_FLAGS_OFFSET = 54

SYMBOL_RECORD_SIZE = 18

BITMAPINFOHEADER = struct.Struct("<IiiHHIIiiII")
ICON_DIRECTORY = struct.Struct("<HHH")
ICON_DIRECTORY_ENTRY = struct.Struct("<BBBBHHIH")
CURSOR_DIRECTORY_ENTRY = struct.Struct("<HHHHIH")


class Checks:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def expect(self, condition, description):
        if condition:
            self.passed += 1
        else:
            self.failed += 1
            print(f"FAILED: {description}")
        return condition

    def equal(self, actual, expected, what):
        return self.expect(actual == expected, f"{what}: expected {expected!r}, found {actual!r}")


class Resources:
    """The numbered resources of an image, by type and identifier."""

    def __init__(self, pe):
        self._data = {}
        if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
            return
        for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
            for resource in kind.directory.entries:
                for language in resource.directory.entries:
                    entry = language.data.struct
                    self._data.setdefault((kind.id, resource.id), []).append(
                        pe.get_data(entry.OffsetToData, entry.Size))

    def ids(self, kind):
        return sorted(resource_id for resource_kind, resource_id in self._data
                      if resource_kind == kind)

    def single(self, checks, kind, resource_id, what):
        """The data of a resource that exists in exactly one language."""
        versions = self._data.get((kind, resource_id), [])
        if checks.equal(len(versions), 1, f"{what} (type {kind}, id {resource_id}) copies"):
            return versions[0]
        return None


def _dib_header(data):
    return BITMAPINFOHEADER.unpack_from(data) if len(data) >= BITMAPINFOHEADER.size else None


def _check_icon_image(checks, image, size, bit_count, resource_id):
    what = f"icon image {resource_id}"
    header = _dib_header(image)
    if not checks.expect(header is not None, f"{what}: no bitmap header"):
        return
    _, width, height, planes, bits, compression, _, _, _, colours_used, _ = header
    checks.equal((width, height, planes, bits, compression), (size, 2 * size, 1, bit_count, 0),
                 f"{what} width, doubled height, planes, bits per pixel, compression")
    palette_entries = colours_used or (1 << bit_count if bit_count <= 8 else 0)
    stride = (size * bit_count + 31) // 32 * 4
    mask_stride = (size + 31) // 32 * 4
    expected_length = 40 + 4 * palette_entries + size * (stride + mask_stride)
    checks.equal(len(image), expected_length, f"{what} length")
    if bit_count == 8:
        checks.equal(palette_entries, 256, f"{what} palette entries")
    if bit_count == 32 and len(image) == expected_length:
        alphas = set(image[40 + 3:40 + size * stride:4])
        checks.expect(0 in alphas and 255 in alphas,
                      f"{what}: its alpha channel should hold transparent and opaque pixels")


def check_icon_group(checks, resources):
    group = resources.single(checks, RT_GROUP_ICON, IDI_TOVASK, "icon group")
    if group is None:
        return
    reserved, kind, count = ICON_DIRECTORY.unpack_from(group)
    checks.equal((reserved, kind, count), (0, 1, len(ICON_IMAGES)),
                 "icon group header (reserved, type, image count)")
    entries = [ICON_DIRECTORY_ENTRY.unpack_from(group, ICON_DIRECTORY.size + i * 14)
               for i in range(min(count, (len(group) - ICON_DIRECTORY.size) // 14))]
    expected_ids = list(range(FIRST_ICON_IMAGE_ID, FIRST_ICON_IMAGE_ID + len(ICON_IMAGES)))
    checks.equal([(width, height, bits, image_id) for width, height, _, _, _, bits, _, image_id
                  in entries],
                 [(size, size, bits, image_id) for (size, bits), image_id
                  in zip(ICON_IMAGES, expected_ids)],
                 "icon group entries (width, height, bits per pixel, image id)")
    checks.equal(resources.ids(RT_ICON), expected_ids, "icon image identifiers in the file")
    for (size, bit_count), (_, _, colours, _, planes, _, length, image_id) in zip(ICON_IMAGES,
                                                                                   entries):
        checks.equal((colours, planes), (0, 1), f"icon group entry {image_id} colours and planes")
        image = resources.single(checks, RT_ICON, image_id, "icon image")
        if image is None:
            continue
        checks.equal(length, len(image), f"icon group entry {image_id} byte count")
        _check_icon_image(checks, image, size, bit_count, image_id)


def check_hand_pointer(checks, resources):
    group = resources.single(checks, RT_GROUP_CURSOR, IDC_HAND_POINTER, "hand pointer group")
    if group is None:
        return
    checks.equal(ICON_DIRECTORY.unpack_from(group), (0, 2, 1),
                 "hand pointer group header (reserved, type, image count)")
    width, height, planes, bits, length, image_id = CURSOR_DIRECTORY_ENTRY.unpack_from(group, 6)
    checks.equal((width, height, planes, bits), (32, 64, 1, 1),
                 "hand pointer group entry (width, doubled height, planes, bits per pixel)")
    pointer = resources.single(checks, RT_CURSOR, image_id, "hand pointer image")
    if pointer is None:
        return
    checks.equal(length, len(pointer), "hand pointer group entry byte count")
    hot_spot = struct.unpack_from("<HH", pointer)
    checks.equal(hot_spot, (5, 0), "hand pointer hot spot")
    image = pointer[4:]
    header = _dib_header(image)
    if not checks.expect(header is not None, "hand pointer: no bitmap header"):
        return
    _, width, height, _, bits, _, _, _, _, colours_used, _ = header
    checks.equal((width, height, bits), (32, 64, 1),
                 "hand pointer width, doubled height, bits per pixel")
    mask_offset = 40 + 4 * (colours_used or 2) + 32 * 4
    if checks.equal(len(image), mask_offset + 32 * 4, "hand pointer image length"):
        # Bottom-up rows: the pointer's top row is the mask's last.
        top_row = image[mask_offset + 31 * 4:]
        x, _ = hot_spot
        checks.expect(not top_row[x // 8] & (0x80 >> x % 8),
                      "hand pointer: the hot spot should lie on the drawn fingertip")


def check_logo_info1(checks, resources):
    logo = resources.single(checks, RT_BITMAP, IDB_LOGO_INFO1, "logo 1 bitmap")
    header = _dib_header(logo or b"")
    if not checks.expect(header is not None, "logo 1: no bitmap header"):
        return
    size, width, height, planes, bits, compression, _, _, _, colours_used, _ = header
    checks.equal((size, width, height, planes, bits), (40, *LOGO_SIZE, 1, 8),
                 "logo 1 header size, width, height (bottom-up), planes, bits per pixel")
    checks.equal(compression, 0, "logo 1 compression (BI_RGB)")
    checks.expect(colours_used in (0, 256), f"logo 1 palette: {colours_used} colours, not 256")
    checks.equal(len(logo), 40 + 256 * 4 + LOGO_SIZE[0] * LOGO_SIZE[1], "logo 1 length")


def check_logo_info2(checks, resources):
    logo = resources.single(checks, RT_RCDATA, IDR_LOGO_INFO2, "logo 2 GIF")
    if logo is None:
        return
    try:
        gif = read_gif(logo)
    except GifFormatError as error:
        checks.expect(False, f"logo 2 is no readable GIF: {error}")
        return
    checks.equal(gif.version, b"GIF89a", "logo 2 signature")
    checks.equal((gif.width, gif.height), LOGO_SIZE, "logo 2 size")
    checks.equal(gif.global_palette_entries, 256, "logo 2 global palette entries")
    checks.equal(gif.loop_counts, [0], "logo 2 looping blocks (0 = for ever)")
    checks.expect(gif.ends_with_trailer, "logo 2 should end with its trailer")
    frames = [(f.left, f.top, f.width, f.height) for f in gif.frames]
    checks.equal(frames, [(0, 0, *LOGO_SIZE), (0, 0, 42, LOGO_SIZE[1])],
                 "logo 2 frames (left, top, width, height)")
    checks.equal([f.transparent_index for f in gif.frames], [255] * len(gif.frames),
                 "logo 2 transparent index of each frame")
    checks.equal([f.has_local_palette for f in gif.frames], [False] * len(gif.frames),
                 "logo 2 frames with a palette of their own")
    if gif.frames:
        checks.equal(gif.frames[0].delay_centiseconds, 200, "logo 2 first frame delay")
    first = Image.open(io.BytesIO(logo))
    indices = list(first.getdata())
    checks.expect(0 < indices.count(255) < len(indices),
                  "logo 2: its first frame should be partly transparent")
    checks.equal(first.n_frames, 2, "logo 2 frames decoded")


def check_version_block(checks, resources, version):
    data = resources.single(checks, RT_VERSION, 1, "version block")
    if data is None:
        return
    root, _ = read_node(data)
    checks.equal(root.key, "VS_VERSION_INFO", "version block key")
    fixed = struct.unpack_from("<13I", root.value) if len(root.value) == 52 else None
    if checks.expect(fixed is not None, "version block: no fixed file information"):
        signature, _, file_ms, file_ls, product_ms, product_ls, _, _, file_os, file_type = fixed[:10]
        checks.equal(signature, 0xFEEF04BD, "fixed file information signature")
        major, minor, patch = (int(part) for part in version.split("."))
        numbers = (major << 16 | minor, patch)
        checks.equal((file_ms, file_ls), numbers, f"file version {major}.{minor}.0.{patch}")
        checks.equal((product_ms, product_ls), numbers, f"product version {major}.{minor}.0.{patch}")
        checks.equal(file_os, 0x4, "file OS (VOS__WINDOWS32)")
        checks.equal(file_type, 0x1, "file type (VFT_APP)")
    string_info = root.child("StringFileInfo")
    tables = string_info.children if string_info else []
    checks.equal([table.key.upper() for table in tables], ["0C0A04B0"],
                 "string tables (language 0x0C0A, code page 1200)")
    strings = {node.key: node.value for table in tables for node in table.children}
    checks.equal(strings, version_strings(version), "version strings")
    translation = root.child("VarFileInfo") and root.child("VarFileInfo").child("Translation")
    checks.equal(translation.value if translation else None, struct.pack("<HH", 0x0C0A, 1200),
                 "version translation (0x0C0A, 1200)")


def _element(parent, path):
    """The first element along `path`, a list of tag names without namespace."""
    for name in path:
        parent = next((child for child in parent if child.tag.rsplit("}", 1)[-1] == name), None)
        if parent is None:
            return None
    return parent


def _attributes(element):
    return dict(element.attrib) if element is not None else None


def check_manifest(checks, resources):
    checks.equal(resources.ids(RT_MANIFEST), [1], "manifest identifiers")
    text = resources.single(checks, RT_MANIFEST, 1, "manifest")
    if text is None:
        return
    try:
        assembly = ElementTree.fromstring(text)
    except ElementTree.ParseError as error:
        checks.expect(False, f"manifest is no well-formed XML: {error}")
        return
    checks.equal(_attributes(_element(assembly, ["assemblyIdentity"])),
                 {"type": "win32", "name": "Tovask", "version": "5.1.0.0",
                  "processorArchitecture": "x86"}, "manifest assembly identity")
    description = _element(assembly, ["description"])
    checks.equal(description.text if description is not None else None,
                 "Desbloquea Internet Explorer", "manifest description")
    checks.equal(_attributes(_element(assembly, ["dependency", "dependentAssembly",
                                                 "assemblyIdentity"])),
                 {"type": "win32", "name": "Microsoft.Windows.Common-Controls",
                  "version": "6.0.0.0", "processorArchitecture": "x86",
                  "publicKeyToken": "6595b64144ccf1df", "language": "*"},
                 "manifest common controls dependency")
    checks.equal(_attributes(_element(assembly, ["trustInfo", "security", "requestedPrivileges",
                                                 "requestedExecutionLevel"])),
                 {"level": "requireAdministrator", "uiAccess": "false"},
                 "manifest requested execution level")
    # The program scales its layout and fonts itself; without this, Windows
    # would stretch a 96-dpi picture of the window, blurred.
    dpi_aware = _element(assembly, ["application", "windowsSettings", "dpiAware"])
    checks.equal(dpi_aware.text.strip() if dpi_aware is not None else None, "true",
                 "manifest dpiAware")


def _imported_dlls(pe):
    dlls = []
    for directory in ("DIRECTORY_ENTRY_IMPORT", "DIRECTORY_ENTRY_DELAY_IMPORT"):
        dlls += [entry.dll.decode("ascii").lower() for entry in getattr(pe, directory, [])]
    return dlls


def check_security(checks, pe):
    for name, flag in DLL_CHARACTERISTICS.items():
        checks.expect(pe.OPTIONAL_HEADER.DllCharacteristics & flag, f"{name} is not set")
    checks.expect(not pe.FILE_HEADER.Characteristics & IMAGE_FILE_RELOCS_STRIPPED,
                  "relocations are stripped, so the image cannot move")
    dlls = _imported_dlls(pe)
    checks.expect(dlls, "the image imports nothing: its import directory is unreadable")
    for dll in dlls:
        checks.expect(dll in STATIC_IMPORTS_ALLOWED,
                      f"imports from {dll}, which a copy beside the program could replace")

    entry = pe.OPTIONAL_HEADER.DATA_DIRECTORY[
        pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_LOAD_CONFIG"]]
    if checks.expect(entry.VirtualAddress and entry.Size,
                     "no load configuration directory (run set_load_config.py after linking)"):
        size = pe.get_dword_at_rva(entry.VirtualAddress)
        checks.expect(size >= DEPENDENT_LOAD_FLAGS_OFFSET + 2,
                      f"load configuration of {size} bytes ends before DependentLoadFlags")
        checks.equal(pe.get_word_at_rva(entry.VirtualAddress + DEPENDENT_LOAD_FLAGS_OFFSET),
                     LOAD_LIBRARY_SEARCH_SYSTEM32, "DependentLoadFlags")
    checks.expect(pe.verify_checksum(), "the header checksum does not match the file")
    # The same sources build the same bytes: no build time in the header.
    checks.equal(pe.FILE_HEADER.TimeDateStamp, 0, "the header's time stamp")


# Ways of starting a program that search for it by a bare name.
UNSAFE_PROCESS_STARTS = {"WinExec", "ShellExecuteA", "ShellExecuteW", "ShellExecuteExA",
                         "ShellExecuteExW", "CreateProcessA", "system", "_wsystem"}
CALL_THROUGH_IMPORT = re.compile(r"\bcall\s+\*0x([0-9a-f]+)\b")


def _imported_functions(pe):
    """The imported functions by the address of their import table slot."""
    functions = {}
    for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []):
        for function in entry.imports:
            if function.name:
                functions[function.address] = function.name.decode("ascii")
    return functions


def _section_name(pe, section):
    """A section's name; a long one is kept in the string table after the
    (here empty) symbol table, as "/offset"."""
    name = section.Name.rstrip(b"\0")
    if name.startswith(b"/"):
        start = (pe.FILE_HEADER.PointerToSymbolTable
                 + SYMBOL_RECORD_SIZE * pe.FILE_HEADER.NumberOfSymbols + int(name[1:]))
        name = pe.__data__[start:pe.__data__.index(b"\0", start)]
    return name.decode("ascii")


def _debug_link(pe):
    """The debug file name and CRC-32 that the image's debug link names."""
    for section in pe.sections:
        if _section_name(pe, section) == ".gnu_debuglink":
            data = section.get_data()
            name_end = data.index(b"\0")
            return (data[:name_end].decode("ascii"),
                    struct.unpack_from("<I", data, (name_end + 4) & ~3)[0])
    return None


def check_debug_split(checks, pe, path):
    """The program ships stripped; its symbols are in the file its debug link
    names, beside it. Returns that file's path when it is the right one."""
    names = [_section_name(pe, section) for section in pe.sections]
    checks.equal([name for name in names if name.startswith(".debug")], [],
                 "debug sections in the shipped program")
    checks.equal(pe.FILE_HEADER.NumberOfSymbols, 0, "symbols in the shipped program")
    link = _debug_link(pe)
    if not checks.expect(link is not None, "no debug link to the program's symbols"):
        return None
    name, crc = link
    checks.equal(name, os.path.splitext(os.path.basename(path))[0] + ".debug", "debug link name")
    debug_path = os.path.join(os.path.dirname(path), name)
    if not checks.expect(os.path.isfile(debug_path), f"no {name} beside the program"):
        return None
    with open(debug_path, "rb") as debug_file:
        matches = zlib.crc32(debug_file.read()) == crc
    return debug_path if checks.expect(matches, f"{name} is not the file the link names") else None


def _calls_at_start_of(path, debug_path, symbol, count):
    symbols = subprocess.run(["i686-w64-mingw32-nm", debug_path], capture_output=True, text=True,
                             check=True).stdout.splitlines()
    addresses = [int(line.split()[0], 16) for line in symbols if line.endswith(f" T {symbol}")]
    if len(addresses) != 1:
        return []
    listing = subprocess.run(["i686-w64-mingw32-objdump", "-d", "--no-show-raw-insn",
                              f"--start-address={addresses[0]}",
                              f"--stop-address={addresses[0] + 128}", path],
                             capture_output=True, text=True, check=True).stdout
    return [line for line in listing.splitlines() if "call" in line][:count]


def check_process_starts(checks, pe, path, debug_path):
    imported = set(_imported_functions(pe).values())
    for name in sorted(UNSAFE_PROCESS_STARTS & imported):
        checks.expect(False, f"imports {name}, which finds its program by a bare name")
    # The library search is restricted before anything else: the program's
    # first two calls look up SetDefaultDllDirectories in the loaded kernel32.
    functions = _imported_functions(pe)
    calls = _calls_at_start_of(path, debug_path, "_wWinMain@16", 2) if debug_path else []
    called = [functions.get(int(match.group(1), 16), line.strip())
              for line in calls if (match := CALL_THROUGH_IMPORT.search(line))]
    checks.equal(called, ["GetModuleHandleW", "GetProcAddress"], "first calls of wWinMain")
    checks.expect(b"SetDefaultDllDirectories\0" in pe.__data__,
                  "SetDefaultDllDirectories is never looked up")


def main(arguments):
    if len(arguments) != 3:
        print("usage: check_resources.py PROGRAM.exe VERSION", file=sys.stderr)
        return 2
    try:
        pe = pefile.PE(arguments[1])
    except (OSError, pefile.PEFormatError) as error:
        print(f"FAILED: cannot read {arguments[1]}: {error}")
        print("0 passed, 1 failed")
        return 1
    checks = Checks()
    resources = Resources(pe)
    for check in (check_icon_group, check_hand_pointer, check_logo_info1, check_logo_info2,
                  check_manifest):
        check(checks, resources)
    check_version_block(checks, resources, arguments[2])
    check_security(checks, pe)
    check_process_starts(checks, pe, arguments[1], check_debug_split(checks, pe, arguments[1]))
    print(f"{checks.passed} passed, {checks.failed} failed")
    return 1 if checks.failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
