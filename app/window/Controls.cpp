#include "app/window/Controls.h"

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

}  // namespace tovask::app
