#!/usr/bin/python3 -B
"""Writes the program's pictures into images/: the application icon (as an
.ico file and as the separate images and directory that tovask.rc takes in),
the hand pointer and the two logos. The output depends only on this code, so
running it again rewrites the same bytes."""

import sys
from pathlib import Path

from PIL import Image

from imagegen import hand_pointer, logos
from imagegen.app_icon import draw_app_icon
from imagegen.gif89a import Frame, encode_gif
from imagegen.indexed import to_indexed
from imagegen.windows_formats import (bitmap_file, cursor_file, directory_entry_fields, icon_file,
                                      icon_image, monochrome_pointer_image)

IMAGES = Path(__file__).resolve().parent / "images"

# (size, bits per pixel) of the icon's images, in the order of its directory;
# they get the resource identifiers from FIRST_ICON_IMAGE_ID on.
ICON_IMAGES = ((48, 8), (32, 8), (24, 8), (16, 8),
               (48, 32), (32, 32), (24, 32), (16, 32),
               (16, 24), (24, 24), (32, 24), (48, 24))
FIRST_ICON_IMAGE_ID = 30001

TRANSPARENT_INDEX = 255
# Where transparency is not honoured, the usual dialog face shows instead.
TRANSPARENT_COLOUR = (240, 240, 240)
STILL_DELAY_CENTISECONDS = 200
TURNED_DELAY_CENTISECONDS = 50


def _icon_ids():
    return range(FIRST_ICON_IMAGE_ID, FIRST_ICON_IMAGE_ID + len(ICON_IMAGES))


def _icon_resource_script(images):
    """The script fragment that declares each image as an RT_ICON resource
    under its own identifier and the RT_GROUP_ICON directory over them. An
    ICON statement would number the images itself."""
    lines = [
        "// Written by generate_images.py: do not edit.",
        "#define TOVASK_RT_ICON 3",
        "#define TOVASK_RT_GROUP_ICON 14",
        "",
    ]
    for resource_id in _icon_ids():
        lines.append(f'{resource_id} TOVASK_RT_ICON "images/icon-{resource_id}.dib"')
    lines += ["", "IDI_TOVASK TOVASK_RT_GROUP_ICON", "BEGIN",
              f"    0, 1, {len(images)}, // reserved, icon directory, image count"]
    for resource_id, (size, bit_count, image) in zip(_icon_ids(), images):
        width, height, colours, reserved, planes, bits = directory_entry_fields(size, bit_count)
        # Width, height, colour count and a reserved byte go in two words.
        lines.append(f"    0x{height:02X}{width:02X}, 0x{reserved:02X}{colours:02X}, {planes}, "
                     f"{bits}, {len(image)}L, {resource_id}, // {size} x {size}, "
                     f"{bit_count} bits per pixel")
    lines.append("END")
    return "\n".join(lines) + "\n"


def _write_icon():
    images = [(size, bit_count, icon_image(draw_app_icon(size), bit_count))
              for size, bit_count in ICON_IMAGES]
    (IMAGES / "tovask.ico").write_bytes(icon_file(images))
    for resource_id, (_, _, image) in zip(_icon_ids(), images):
        (IMAGES / f"icon-{resource_id}.dib").write_bytes(image)
    (IMAGES / "icon.rc").write_text(_icon_resource_script(images))


def _write_hand_pointer():
    image = monochrome_pointer_image(*hand_pointer.hand_pixels())
    (IMAGES / "hand.cur").write_bytes(cursor_file(hand_pointer.SIZE, hand_pointer.HOT_SPOT,
                                                  image))


def _write_logo_info1():
    indices, palette = to_indexed(logos.draw_logo_info1(), 256)
    (IMAGES / "logo-info1.bmp").write_bytes(bitmap_file(indices, palette, logos.WIDTH,
                                                        logos.HEIGHT))


def _write_logo_info2():
    still, turned = logos.draw_logo_info2_frames()
    # Both frames share the global palette, so they are quantized together.
    both = Image.new("RGBA", (logos.WIDTH, 2 * logos.HEIGHT))
    both.paste(still, (0, 0))
    both.paste(turned, (0, logos.HEIGHT))
    colour_indices, colours = to_indexed(both, TRANSPARENT_INDEX)
    indices = [TRANSPARENT_INDEX if alpha < 128 else index
               for index, (_, _, _, alpha) in zip(colour_indices, both.getdata())]
    palette = colours + [TRANSPARENT_COLOUR]

    def rows(top, width):
        return [index for y in range(top, top + logos.HEIGHT)
                for index in indices[y * logos.WIDTH:y * logos.WIDTH + width]]

    frames = [
        Frame(0, 0, logos.WIDTH, logos.HEIGHT, rows(0, logos.WIDTH), STILL_DELAY_CENTISECONDS),
        Frame(0, 0, turned.width, turned.height, rows(logos.HEIGHT, turned.width),
              TURNED_DELAY_CENTISECONDS),
    ]
    (IMAGES / "logo-info2.gif").write_bytes(
        encode_gif(logos.WIDTH, logos.HEIGHT, palette, frames, TRANSPARENT_INDEX))


def main():
    IMAGES.mkdir(exist_ok=True)
    _write_icon()
    _write_hand_pointer()
    _write_logo_info1()
    _write_logo_info2()
    return 0


if __name__ == "__main__":
    sys.exit(main())
