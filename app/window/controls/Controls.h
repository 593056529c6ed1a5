#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "app/window/design/DesignTable.h"

namespace tovask::app {

// The design colour of the site links.
inline constexpr COLORREF kLinkBlue = RGB(0, 0, 255);

// One created control: its design row, its window and the text colour it
// paints with (none: the system's control text colour).
struct Control {
    const ControlDesign* design = nullptr;
    HWND window = nullptr;
    std::optional<COLORREF> textColour;
};

// The window's controls, kept in design-table order.
class ControlSet {
  public:
    void add(const ControlDesign& design, HWND window);

    Control& operator[](ControlId id) { return controls_[indexOf(id)]; }
    const Control& operator[](ControlId id) const { return controls_[indexOf(id)]; }
    // The control with this window, if it is one of ours.
    const Control* find(HWND window) const;

  private:
    static std::size_t indexOf(ControlId id);

    std::array<Control, kDesignTable.size()> controls_{};
};

// The whole text of a window or control.
std::wstring windowText(HWND window);

// Whether the shown panel lies over the whole of a control of the window, so
// that the control can be reached neither with the mouse nor with the Tab
// key. The panel's own controls lie on it, not under it.
bool liesUnderPanel(HWND control, HWND panel);

}  // namespace tovask::app
