#include "app/window/controls/Controls.h"

#include <algorithm>

namespace tovask::app {
namespace {

// The identifiers count up in design-table order, so an identifier is also
// its row's position.
constexpr bool identifiersFollowTheTable() {
    for (std::size_t row = 0; row < kDesignTable.size(); ++row) {
        if (static_cast<std::size_t>(kDesignTable[row].id) !=
            static_cast<std::size_t>(kDesignTable.front().id) + row) {
            return false;
        }
    }
    return true;
}
static_assert(identifiersFollowTheTable());

}  // namespace

std::size_t ControlSet::indexOf(ControlId id) {
    return static_cast<std::size_t>(id) - static_cast<std::size_t>(kDesignTable.front().id);
}

void ControlSet::add(const ControlDesign& design, HWND window) {
    Control& control = controls_[indexOf(design.id)];
    control.design = &design;
    control.window = window;
    if (design.has(kLinkStyle)) {
        control.textColour = kLinkBlue;
    }
}

const Control* ControlSet::find(HWND window) const {
    const auto found = std::ranges::find(controls_, window, &Control::window);
    return found == controls_.end() || window == nullptr ? nullptr : &*found;
}

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool liesUnderPanel(HWND control, HWND panel) {
    if (!IsWindowVisible(panel) || control == panel || IsChild(panel, control)) {
        return false;
    }
    RECT place{};
    RECT cover{};
    RECT covered{};
    GetWindowRect(control, &place);
    GetWindowRect(panel, &cover);
    IntersectRect(&covered, &place, &cover);
    return EqualRect(&covered, &place) != FALSE;
}

}  // namespace tovask::app
