"""The two 88 x 31 badges that stand for the group's information site."""

from PIL import Image

from .canvas import DesignCanvas
from .globe import draw_globe
from .pixel_font import GLYPH_HEIGHT, draw_text, text_width

WIDTH, HEIGHT = 88, 31
# The part of the About panel's badge that its second frame redraws.
TURNED_GLOBE_WIDTH = 42

_NAVY = (10, 47, 92)
_BLUE_TOP = (36, 128, 218)
_BLUE_BOTTOM = (12, 70, 140)
_WHITE = (255, 255, 255)
_SUN = (255, 226, 122)
_BADGE_TOP = (255, 255, 255)
_BADGE_BOTTOM = (206, 228, 250)
_BADGE_BORDER = (31, 95, 175)
_ORANGE = (224, 112, 0)

_TEXT_LEFT = 32


def _vertical_gradient(top_colour, bottom_colour):
    gradient = Image.linear_gradient("L").resize((WIDTH, HEIGHT), Image.Resampling.BILINEAR)
    return Image.composite(Image.new("RGB", (WIDTH, HEIGHT), bottom_colour),
                           Image.new("RGB", (WIDTH, HEIGHT), top_colour), gradient)


def _centred_left(text, scale_x):
    return _TEXT_LEFT + (WIDTH - 2 - _TEXT_LEFT - text_width(text, scale_x)) // 2


def draw_logo_info1():
    """Main window badge: an information mark beside "INFO" over the group's name."""
    picture = _vertical_gradient(_BLUE_TOP, _BLUE_BOTTOM)
    canvas = DesignCanvas(WIDTH, HEIGHT)
    canvas.draw.rectangle(canvas.box(0, 0, WIDTH, HEIGHT), outline=_NAVY, width=canvas.width(1))
    canvas.draw.ellipse(canvas.box(4, 4, 27, 27), fill=_WHITE, outline=_NAVY,
                        width=canvas.width(1))
    canvas.draw.ellipse(canvas.box(13.5, 7.5, 17.5, 11.5), fill=_BLUE_BOTTOM)
    canvas.draw.rounded_rectangle(canvas.box(13.7, 13, 17.3, 23.5), radius=canvas.scale,
                                  fill=_BLUE_BOTTOM)
    shapes = canvas.finish()
    picture.paste(shapes, (0, 0), shapes)
    draw_text(picture, _centred_left("INFO", 2), 4, "INFO", _WHITE, scale_x=2, scale_y=2)
    draw_text(picture, _centred_left("KESTOMAR", 1), 21, "KESTOMAR", _SUN)
    return picture


def _about_badge(meridian_offsets):
    canvas = DesignCanvas(WIDTH, HEIGHT)
    backdrop = Image.new("L", canvas.image.size, 0)
    canvas.draw.rounded_rectangle(canvas.box(0.5, 0.5, WIDTH - 0.5, HEIGHT - 0.5),
                                  radius=7 * canvas.scale, fill=_WHITE)
    backdrop.paste(canvas.image.getchannel("A"))
    canvas.image.paste(_vertical_gradient(_BADGE_TOP, _BADGE_BOTTOM).resize(canvas.image.size),
                       (0, 0), backdrop)
    canvas.draw.rounded_rectangle(canvas.box(0.5, 0.5, WIDTH - 0.5, HEIGHT - 0.5),
                                  radius=7 * canvas.scale, outline=_BADGE_BORDER,
                                  width=canvas.width(1))
    draw_globe(canvas, (16, 15.5), 11.5, meridian_offsets, parallel_offsets=(-6.5, 6.5))
    picture = canvas.finish()
    name_top = 4
    draw_text(picture, _centred_left("KESTOMAR", 1), name_top, "KESTOMAR", _NAVY + (255,),
              scale_y=2)
    draw_text(picture, _centred_left("INFO", 1), name_top + 2 * GLYPH_HEIGHT + 3, "INFO",
              _ORANGE + (255,))
    return picture


def draw_logo_info2_frames():
    """About panel badge, RGBA: the still picture and the left part of the
    same badge with its globe turned a little, shown in turn."""
    still = _about_badge(meridian_offsets=(4.5, 9))
    turned = _about_badge(meridian_offsets=(2, 7, 10.5))
    return still, turned.crop((0, 0, TURNED_GLOBE_WIDTH, HEIGHT))
