"""A small capital-letter pixel font of our own, so that the pictures never
depend on which fonts a machine happens to have."""

GLYPH_WIDTH = 5
GLYPH_HEIGHT = 7

_GLYPHS = {
    "A": (" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"),
    "E": ("#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"),
    "F": ("#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#    "),
    "I": ("#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "#####"),
    "K": ("#   #", "#  # ", "# #  ", "##   ", "# #  ", "#  # ", "#   #"),
    "M": ("#   #", "## ##", "# # #", "# # #", "#   #", "#   #", "#   #"),
    "N": ("#   #", "##  #", "# # #", "#  ##", "#   #", "#   #", "#   #"),
    "O": (" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "),
    "R": ("#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"),
    "S": (" ####", "#    ", "#    ", " ### ", "    #", "    #", "#### "),
    "T": ("#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "),
}


def text_width(text, scale_x=1, spacing=1):
    """Width in pixels of `text` drawn with draw_text and the same arguments."""
    return len(text) * (GLYPH_WIDTH + spacing) * scale_x - spacing * scale_x


def draw_text(image, left, top, text, colour, scale_x=1, scale_y=1, spacing=1):
    """Draws `text` with its top-left corner at (left, top); each font pixel
    becomes a scale_x by scale_y block."""
    pixels = image.load()
    for index, letter in enumerate(text):
        glyph_left = left + index * (GLYPH_WIDTH + spacing) * scale_x
        for row, line in enumerate(_GLYPHS[letter]):
            for column, mark in enumerate(line):
                if mark != "#":
                    continue
                for dy in range(scale_y):
                    for dx in range(scale_x):
                        pixels[glyph_left + column * scale_x + dx, top + row * scale_y + dy] = colour
