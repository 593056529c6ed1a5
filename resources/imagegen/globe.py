"""The blue globe that the icon and the information logos share."""

from PIL import Image, ImageChops, ImageDraw

_LIGHT = (92, 172, 246)
_DARK = (10, 58, 140)
_OUTLINE = (8, 38, 92)
_GRID_LINE = (196, 230, 255)


def _lit_sphere(canvas, cx, cy, r):
    """Light blue fading to deep blue, lit from the upper left."""
    span = round(4 * r * canvas.scale)
    gradient = Image.radial_gradient("L").resize((span, span), Image.Resampling.BILINEAR)
    shade = Image.new("L", canvas.image.size, 255)
    shade.paste(gradient, canvas.point(cx - r * 0.4 - 2 * r, cy - r * 0.45 - 2 * r))
    shade = shade.point(lambda v: min(255, v * 2))
    dark = Image.new("RGBA", canvas.image.size, _DARK + (255,))
    light = Image.new("RGBA", canvas.image.size, _LIGHT + (255,))
    return Image.composite(dark, light, shade)


def draw_globe(canvas, centre, radius, meridian_offsets, parallel_offsets):
    """A globe with its equator and central meridian, plus meridians whose
    ellipses are meridian_offsets wide on each side and parallels at
    parallel_offsets from the equator (all in design units)."""
    cx, cy = centre
    r = radius
    outline_box = canvas.box(cx - r, cy - r, cx + r, cy + r)
    disc = Image.new("L", canvas.image.size, 0)
    ImageDraw.Draw(disc).ellipse(outline_box, fill=255)
    canvas.image.paste(_lit_sphere(canvas, cx, cy, r), (0, 0), disc)

    grid = Image.new("RGBA", canvas.image.size, (0, 0, 0, 0))
    grid_draw = ImageDraw.Draw(grid)
    line = canvas.width(radius * 0.08)
    grid_draw.line(canvas.box(cx - r, cy, cx + r, cy), fill=_GRID_LINE, width=line)
    grid_draw.line(canvas.box(cx, cy - r, cx, cy + r), fill=_GRID_LINE, width=line)
    for offset in meridian_offsets:
        grid_draw.ellipse(canvas.box(cx - offset, cy - r, cx + offset, cy + r),
                          outline=_GRID_LINE, width=line)
    for offset in parallel_offsets:
        grid_draw.line(canvas.box(cx - r, cy + offset, cx + r, cy + offset), fill=_GRID_LINE,
                       width=line)
    # The grid stays inside the globe's disc.
    canvas.image.paste(grid, (0, 0), ImageChops.multiply(grid.getchannel("A"), disc))
    canvas.draw.ellipse(outline_box, outline=_OUTLINE, width=canvas.width(radius * 0.085))
