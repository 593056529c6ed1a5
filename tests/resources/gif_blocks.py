"""Reads the block structure of a GIF file: the screen, the global palette,
the looping blocks and each frame with its graphic control. The image data
itself is skipped, not decoded."""

import struct
from dataclasses import dataclass, field


@dataclass
class GifFrame:
    left: int
    top: int
    width: int
    height: int
    delay_centiseconds: int | None = None
    transparent_index: int | None = None
    has_local_palette: bool = False


@dataclass
class GifStructure:
    version: bytes
    width: int
    height: int
    global_palette_entries: int
    loop_counts: list = field(default_factory=list)
    frames: list = field(default_factory=list)
    ends_with_trailer: bool = False


class GifFormatError(Exception):
    pass


def _sub_blocks(data, offset):
    """The concatenated sub-blocks starting at offset, and the offset after
    their terminator."""
    content = b""
    while True:
        if offset >= len(data):
            raise GifFormatError("sub-blocks run past the end of the file")
        length = data[offset]
        offset += 1
        if length == 0:
            return content, offset
        content += data[offset:offset + length]
        offset += length


def read_gif(data):
    if len(data) < 13:
        raise GifFormatError("shorter than a GIF header")
    version = data[:6]
    width, height, packed, _, _ = struct.unpack_from("<HHBBB", data, 6)
    palette_entries = 2 << (packed & 7) if packed & 0x80 else 0
    gif = GifStructure(version, width, height, palette_entries)
    offset = 13 + 3 * palette_entries
    control = {}
    while offset < len(data):
        introducer = data[offset]
        if introducer == 0x3B:
            gif.ends_with_trailer = offset == len(data) - 1
            return gif
        if introducer == 0x21:
            label = data[offset + 1]
            content, offset = _sub_blocks(data, offset + 2)
            if label == 0xF9 and len(content) == 4:
                packed, delay, transparent = struct.unpack("<BHB", content)
                control = {"delay_centiseconds": delay,
                           "transparent_index": transparent if packed & 1 else None}
            elif label == 0xFF and content[:11] == b"NETSCAPE2.0" and len(content) == 14:
                gif.loop_counts.append(struct.unpack_from("<H", content, 12)[0])
        elif introducer == 0x2C:
            left, top, frame_width, frame_height, packed = struct.unpack_from("<HHHHB", data,
                                                                            offset + 1)
            offset += 10
            if packed & 0x80:
                offset += 3 * (2 << (packed & 7))
            gif.frames.append(GifFrame(left, top, frame_width, frame_height,
                                       has_local_palette=bool(packed & 0x80), **control))
            control = {}
            _, offset = _sub_blocks(data, offset + 1)
        else:
            raise GifFormatError(f"unknown block 0x{introducer:02X} at offset {offset}")
    raise GifFormatError("no trailer")
