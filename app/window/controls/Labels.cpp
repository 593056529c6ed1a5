#include "app/window/controls/Labels.h"

#include <string>

#include "app/window/drawing/GdiHandles.h"

namespace tovask::app {
namespace {

// One line per CR LF, each as wide as its text in the label's own font.
SIZE textExtent(HWND label, const std::wstring& text) {
    const WindowDC dc(label);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
    const ScopedSelection selection(dc.get(), font);
    RECT bounds{};
    DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &bounds,
              DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
    return {bounds.right - bounds.left, bounds.bottom - bounds.top};
}

void fitToText(HWND label, const std::wstring& text) {
    const SIZE size = textExtent(label, text);
    SetWindowPos(label, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void invalidateBehind(HWND label) {
    HWND container = GetParent(label);
    RECT area{};
    GetWindowRect(label, &area);
    MapWindowPoints(HWND_DESKTOP, container, reinterpret_cast<POINT*>(&area), 2);
    RedrawWindow(container, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

}  // namespace

HBRUSH prepareLabelColours(HDC dc, const Control& label) {
    SetTextColor(dc, label.textColour.value_or(GetSysColor(COLOR_BTNTEXT)));
    if (label.design->has(kTransparent)) {
        SetBkMode(dc, TRANSPARENT);
        return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    }
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}

void setCaption(const Control& control, std::wstring_view text) {
    const std::wstring caption(text);
    const bool transparent = control.design->has(kTransparent);
    if (transparent) {
        invalidateBehind(control.window);
    }
    SetWindowTextW(control.window, caption.c_str());
    if (control.design->has(kAutoSize)) {
        fitToText(control.window, caption);
    }
    if (transparent) {
        invalidateBehind(control.window);
    }
}

void repaintLabel(const Control& label) {
    if (label.design->has(kTransparent)) {
        invalidateBehind(label.window);
        return;
    }
    InvalidateRect(label.window, nullptr, TRUE);
}

}  // namespace tovask::app
