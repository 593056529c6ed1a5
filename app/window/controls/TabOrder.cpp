#include "app/window/controls/TabOrder.h"

#include <algorithm>
#include <ranges>
#include <vector>

namespace tovask::app {
namespace {

// The rows that can take the focus, by tab position. The window's stacking
// order cannot double as its tab order: the design stacks the buttons in
// front of the box and the list, but tabs through them the other way round.
constexpr auto kTabStops = [] {
    constexpr auto isStop = [](const ControlDesign& row) { return takesFocus(row.kind); };
    std::array<ControlId, std::ranges::count_if(kDesignTable, isStop)> stops{};
    std::array<ControlDesign, kDesignTable.size()> rows = kDesignTable;
    std::ranges::sort(rows, {}, &ControlDesign::tabPosition);
    std::ranges::copy(rows | std::views::filter(isStop) | std::views::transform(&ControlDesign::id),
                      stops.begin());
    return stops;
}();

bool canTakeFocus(HWND window) {
    return IsWindowVisible(window) && IsWindowEnabled(window);
}

}  // namespace

HWND nextTabStop(const ControlSet& controls, HWND from, bool backwards) {
    std::vector<HWND> cycle;
    for (const ControlId id : kTabStops) {
        cycle.push_back(controls[id].window);
    }
    if (backwards) {
        std::ranges::reverse(cycle);
    }
    const auto current = std::ranges::find(cycle, from);
    const auto start = current == cycle.end() ? cycle.begin() : std::next(current);
    std::ranges::rotate(cycle, start);
    const auto next = std::ranges::find_if(cycle, canTakeFocus);
    return next == cycle.end() ? nullptr : *next;
}

}  // namespace tovask::app
