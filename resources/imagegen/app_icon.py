"""The application icon: a blue globe with an open padlock in front of it,
standing for a browser that is unlocked again."""

from .canvas import DesignCanvas
from .globe import draw_globe

# The design is laid out on a 48-unit square whatever the icon's size.
_DESIGN_UNITS = 48

_LOCK_BODY = (24, 27, 44, 44)
_LOCK_GOLD = (246, 190, 30)
_LOCK_OUTLINE = (122, 78, 0)
_SHACKLE_STEEL = (176, 186, 198)
_SHACKLE_OUTLINE = (70, 78, 90)


def _draw_padlock(canvas):
    left, top, right, bottom = _LOCK_BODY
    # The shackle's right leg stands free above the body: the lock is open.
    legs_left, legs_right = left + 4, right - 4
    arc_box = canvas.box(legs_left, top - 15, legs_right, top - 2)
    arc_middle = top - 8.5
    for colour, units in ((_SHACKLE_OUTLINE, 5.2), (_SHACKLE_STEEL, 3.0)):
        width = canvas.width(units)
        left_leg, right_leg = legs_left + units / 2, legs_right - units / 2
        canvas.draw.arc(arc_box, 180, 360, fill=colour, width=width)
        canvas.draw.line(canvas.box(left_leg, arc_middle, left_leg, top + 2), fill=colour,
                         width=width)
        canvas.draw.line(canvas.box(right_leg, arc_middle, right_leg, top - 4), fill=colour,
                         width=width)

    canvas.draw.rounded_rectangle(canvas.box(left, top, right, bottom), radius=2.5 * canvas.scale,
                                  fill=_LOCK_GOLD, outline=_LOCK_OUTLINE, width=canvas.width(1.5))
    x, y = (left + right) / 2, top + 7
    canvas.draw.ellipse(canvas.box(x - 2.4, y - 2.4, x + 2.4, y + 2.4), fill=_LOCK_OUTLINE)
    canvas.draw.polygon([canvas.point(x - 1.3, y), canvas.point(x + 1.3, y),
                         canvas.point(x + 2, y + 7), canvas.point(x - 2, y + 7)],
                        fill=_LOCK_OUTLINE)


def draw_app_icon(size):
    """The icon at `size` x `size` pixels, RGBA with soft edges."""
    canvas = DesignCanvas(size, size, units_per_pixel=_DESIGN_UNITS / size)
    # Small icons keep only the lines that stay distinct at their size.
    if size <= 24:
        draw_globe(canvas, (21, 21), 18, meridian_offsets=(9,), parallel_offsets=())
    else:
        draw_globe(canvas, (21, 21), 18, meridian_offsets=(6, 12), parallel_offsets=(-10, 10))
    _draw_padlock(canvas)
    return canvas.finish()
