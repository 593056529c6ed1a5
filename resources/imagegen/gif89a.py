"""A GIF89a writer for animated pictures with one global palette and a
transparent colour."""

import struct
from dataclasses import dataclass

_MAX_CODE = 4095
_SUB_BLOCK = 255


@dataclass
class Frame:
    left: int
    top: int
    width: int
    height: int
    indices: list
    delay_centiseconds: int
    # 1: leave the frame in place for the next one to be drawn over it.
    disposal: int = 1


class _BitWriter:
    """Codes are packed from the least significant bit up, as GIF wants."""

    def __init__(self):
        self.data = bytearray()
        self._bits = 0
        self._count = 0

    def write(self, code, width):
        self._bits |= code << self._count
        self._count += width
        while self._count >= 8:
            self.data.append(self._bits & 0xFF)
            self._bits >>= 8
            self._count -= 8

    def flush(self):
        if self._count:
            self.data.append(self._bits & 0xFF)
        return bytes(self.data)


def _lzw(indices, min_code_size):
    """Variable-length LZW; the code width grows as the table fills, and a
    full table is cleared and started again."""
    clear_code = 1 << min_code_size
    end_code = clear_code + 1
    writer = _BitWriter()
    code_width = min_code_size + 1
    next_code = end_code + 1
    table = {}

    def emit(code):
        nonlocal code_width
        writer.write(code, code_width)
        # The decoder widens its codes once the table needs the next bit.
        if next_code >= 1 << code_width and code_width < 12:
            code_width += 1

    emit(clear_code)
    prefix = indices[0]
    for index in indices[1:]:
        known = table.get((prefix, index))
        if known is not None:
            prefix = known
            continue
        emit(prefix)
        if next_code >= _MAX_CODE:
            emit(clear_code)
            next_code = end_code + 1
            code_width = min_code_size + 1
            table.clear()
        else:
            table[(prefix, index)] = next_code
            next_code += 1
        prefix = index
    emit(prefix)
    emit(end_code)
    return writer.flush()


def _sub_blocks(data):
    return b"".join(bytes((len(data[i:i + _SUB_BLOCK]),)) + data[i:i + _SUB_BLOCK]
                    for i in range(0, len(data), _SUB_BLOCK)) + b"\0"


def _netscape_looping(loop_count):
    return b"\x21\xff\x0bNETSCAPE2.0\x03\x01" + struct.pack("<H", loop_count) + b"\0"


def _graphic_control(frame, transparent_index):
    packed = frame.disposal << 2 | 1
    return b"\x21\xf9\x04" + struct.pack("<BHB", packed, frame.delay_centiseconds,
                                          transparent_index) + b"\0"


def _image(frame, min_code_size):
    descriptor = b"\x2c" + struct.pack("<HHHHB", frame.left, frame.top, frame.width,
                                       frame.height, 0)
    return descriptor + bytes((min_code_size,)) + _sub_blocks(_lzw(frame.indices, min_code_size))


def encode_gif(width, height, palette, frames, transparent_index, loop_count=0):
    """The whole file: a 256-entry global palette, a looping block (0 loops
    for ever) and each frame with its delay and the transparent index."""
    assert len(palette) == 256
    colour_bits = 8
    # Global palette present, 8 bits per primary, 2^(7 + 1) entries.
    packed = 0x80 | (colour_bits - 1) << 4 | (colour_bits - 1)
    screen = struct.pack("<HHBBB", width, height, packed, transparent_index, 0)
    colours = b"".join(bytes(colour) for colour in palette)
    body = b"".join(_graphic_control(frame, transparent_index) + _image(frame, colour_bits)
                    for frame in frames)
    return b"GIF89a" + screen + colours + _netscape_looping(loop_count) + body + b"\x3b"
