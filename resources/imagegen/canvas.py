"""Drawing in design units on an oversampled RGBA image that is reduced to
its finished size at the end, which gives every shape smooth edges."""

from PIL import Image, ImageDraw

_OVERSAMPLING = 8


class DesignCanvas:
    def __init__(self, width, height, units_per_pixel=1.0):
        self.scale = _OVERSAMPLING / units_per_pixel
        # A line is never thinner than one pixel of the finished picture.
        self._min_line = units_per_pixel
        self.image = Image.new("RGBA", (width * _OVERSAMPLING, height * _OVERSAMPLING),
                               (0, 0, 0, 0))
        self.draw = ImageDraw.Draw(self.image)

    def box(self, left, top, right, bottom):
        return [round(v * self.scale) for v in (left, top, right, bottom)]

    def point(self, x, y):
        return (round(x * self.scale), round(y * self.scale))

    def width(self, units):
        return max(1, round(max(units, self._min_line) * self.scale))

    def finish(self):
        """The finished picture. Averaging in premultiplied form keeps the
        transparent surroundings from darkening the edges."""
        return self.image.convert("RGBa").reduce(_OVERSAMPLING).convert("RGBA")
