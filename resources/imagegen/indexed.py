"""Reduction of pictures to palette indices."""

from PIL import Image


def to_indexed(picture, colours):
    """Quantizes an RGB picture to at most `colours` colours, without
    dithering. Returns its indices, row by row from the top, and the palette
    as a list of (r, g, b) with exactly `colours` entries."""
    quantized = picture.convert("RGB").quantize(colors=colours, method=Image.Quantize.MEDIANCUT,
                                                dither=Image.Dither.NONE)
    flat = quantized.getpalette()[:3 * colours]
    flat += [0] * (3 * colours - len(flat))
    palette = [tuple(flat[i:i + 3]) for i in range(0, len(flat), 3)]
    return list(quantized.getdata()), palette
