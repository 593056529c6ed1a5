#include "app/window/design/Fonts.h"

#include <algorithm>
#include <string_view>

namespace tovask::app {
namespace {

// Point sizes in hundredths, so that 8.25 pt stays exact.
constexpr int kHundredthsPerInch = 7200;

LOGFONTW makeFont(std::wstring_view face, int hundredthsOfPoint, int weight, bool underline,
                  int dpi) {
    LOGFONTW font{};
    // Rounded down, not to the nearest pixel: at 120 and 144 dpi the rounded-up
    // size grows the text faster than the layout, and captions that fill their
    // box at 96 dpi (the start-page prompt) wrap and lose their second line.
    // At 96 dpi the sizes are whole pixels either way.
    font.lfHeight = -(hundredthsOfPoint * dpi / kHundredthsPerInch);
    font.lfWeight = weight;
    font.lfUnderline = underline ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    std::ranges::copy(face, font.lfFaceName);
    return font;
}

LOGFONTW designFont(FontRole role, int dpi) {
    switch (role) {
        case FontRole::Link:
            return makeFont(L"MS Sans Serif", 825, FW_NORMAL, true, dpi);
        case FontRole::Header:
            return makeFont(L"Arial", 1200, FW_BOLD, false, dpi);
        case FontRole::Window:
            break;
    }
    return makeFont(L"MS Sans Serif", 825, FW_NORMAL, false, dpi);
}

ScopedFont createFont(FontRole role, int dpi) {
    const LOGFONTW font = designFont(role, dpi);
    return ScopedFont(CreateFontIndirectW(&font));
}

}  // namespace

FontRole fontRoleOf(const ControlDesign& design) {
    if (design.has(kHeaderFont)) {
        return FontRole::Header;
    }
    return design.has(kLinkStyle) ? FontRole::Link : FontRole::Window;
}

FontSet::FontSet(int dpi)
    : window_(createFont(FontRole::Window, dpi)),
      link_(createFont(FontRole::Link, dpi)),
      header_(createFont(FontRole::Header, dpi)) {}

HFONT FontSet::fontFor(FontRole role) const {
    switch (role) {
        case FontRole::Link:
            return link_.get();
        case FontRole::Header:
            return header_.get();
        case FontRole::Window:
            break;
    }
    return window_.get();
}

}  // namespace tovask::app
