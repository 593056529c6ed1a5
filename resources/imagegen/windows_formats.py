"""Device-independent bitmaps and the icon, pointer and bitmap files built
on them, as Windows reads them."""

import struct

from PIL import Image

from .indexed import to_indexed

_OPAQUE_ALPHA = 128
_ICON_FILE, _CURSOR_FILE = 1, 2
_DIRECTORY_HEADER = struct.Struct("<HHH")
_DIRECTORY_ENTRY = struct.Struct("<BBBBHHII")


def _stride(width, bit_count):
    """Bytes per bitmap row: rows end on a four-byte boundary."""
    return (width * bit_count + 31) // 32 * 4


def _bottom_up(rows, stride):
    return b"".join(row.ljust(stride, b"\0") for row in reversed(rows))


def _info_header(width, height, bit_count, colours_used, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bit_count, 0, image_size, 0, 0,
                       colours_used, 0)


def _palette_bytes(palette):
    return b"".join(bytes((blue, green, red, 0)) for red, green, blue in palette)


def _mask_rows(shows_screen):
    """The AND mask: one bit per pixel, set where the screen shows through."""
    rows = []
    for flags in shows_screen:
        row = bytearray((len(flags) + 7) // 8)
        for x, flag in enumerate(flags):
            if flag:
                row[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(row))
    return rows


def _mask_dib(width, height, bit_count, palette, colour_rows, shows_screen):
    """A two-part bitmap as icons and pointers store it: the colour image
    (XOR) over the AND mask, hence twice the height in the header."""
    colours = _bottom_up(colour_rows, _stride(width, bit_count))
    mask = _bottom_up(_mask_rows(shows_screen), _stride(width, 1))
    header = _info_header(width, 2 * height, bit_count, len(palette), len(colours) + len(mask))
    return header + _palette_bytes(palette) + colours + mask


def icon_image(picture, bit_count):
    """One icon image of an RGBA picture at 8 (palette), 24 or 32 (alpha)
    bits per pixel."""
    width, height = picture.size
    pixels = list(picture.getdata())
    screen = [alpha < _OPAQUE_ALPHA for _, _, _, alpha in pixels]
    shows_screen = [screen[y * width:(y + 1) * width] for y in range(height)]
    if bit_count == 32:
        data = [bytes((b, g, r, a)) for r, g, b, a in pixels]
        palette = []
    elif bit_count == 24:
        data = [b"\0\0\0" if hidden else bytes((b, g, r))
                for (r, g, b, _), hidden in zip(pixels, screen)]
        palette = []
    else:
        # Index 0 stays black for the pixels under the mask, so that the
        # colour image leaves the screen unchanged there.
        opaque = Image.new("RGB", picture.size)
        opaque.putdata([(r, g, b) for r, g, b, _ in pixels])
        indices, colours = to_indexed(opaque, 255)
        data = [bytes((0 if hidden else index + 1,)) for index, hidden in zip(indices, screen)]
        palette = [(0, 0, 0)] + colours
    rows = [b"".join(data[y * width:(y + 1) * width]) for y in range(height)]
    return _mask_dib(width, height, bit_count, palette, rows, shows_screen)


def monochrome_pointer_image(white, shows_screen):
    """A one-bit pointer image: black, or white where `white` is set, or the
    screen where `shows_screen` is set (both square grids, top row first)."""
    size = len(white)
    colour_rows = _mask_rows(white)
    return _mask_dib(size, size, 1, [(0, 0, 0), (255, 255, 255)], colour_rows, shows_screen)


def directory_entry_fields(size, bit_count):
    """Width, height, colour count, reserved, planes and bit count of an icon
    directory entry; 256 colours and more are counted as 0."""
    colour_count = 1 << bit_count if bit_count < 8 else 0
    return size, size, colour_count, 0, 1, bit_count


def icon_file(images):
    """An .ico file of (size, bit_count, image) tuples, in their order."""
    offset = _DIRECTORY_HEADER.size + _DIRECTORY_ENTRY.size * len(images)
    directory = _DIRECTORY_HEADER.pack(0, _ICON_FILE, len(images))
    for size, bit_count, image in images:
        directory += _DIRECTORY_ENTRY.pack(*directory_entry_fields(size, bit_count), len(image),
                                           offset)
        offset += len(image)
    return directory + b"".join(image for _, _, image in images)


def cursor_file(size, hot_spot, image):
    """A .cur file holding one pointer image; its directory entry carries the
    hot spot where an icon's carries planes and bit count."""
    colour_count = 2
    directory = _DIRECTORY_HEADER.pack(0, _CURSOR_FILE, 1)
    entry = _DIRECTORY_ENTRY.pack(size, size, colour_count, 0, *hot_spot, len(image),
                                  _DIRECTORY_HEADER.size + _DIRECTORY_ENTRY.size)
    return directory + entry + image


def bitmap_file(indices, palette, width, height):
    """An uncompressed 8-bit .bmp file with the palette's 256 entries."""
    stride = _stride(width, 8)
    rows = [bytes(indices[y * width:(y + 1) * width]) for y in range(height)]
    pixels = _bottom_up(rows, stride)
    info = _info_header(width, height, 8, len(palette), len(pixels)) + _palette_bytes(palette)
    file_header_size = 14
    file_header = struct.pack("<2sIHHI", b"BM", file_header_size + len(info) + len(pixels), 0, 0,
                              file_header_size + len(info))
    return file_header + info + pixels
