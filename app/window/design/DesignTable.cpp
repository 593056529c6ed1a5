#include "app/window/design/DesignTable.h"

#include <algorithm>
#include <ranges>

namespace tovask::app {
namespace {

// Tab positions run from 0 without gaps, one per control that has one.
constexpr bool tabPositionsAreDense() {
    int expected = 0;
    auto positions = kDesignTable | std::views::transform(&ControlDesign::tabPosition) |
                     std::views::filter([](int position) { return position != kNoTabPosition; });
    std::array<int, kDesignTable.size()> sorted{};
    const auto end = std::ranges::copy(positions, sorted.begin()).out;
    std::ranges::sort(sorted.begin(), end);
    return std::all_of(sorted.begin(), end, [&](int position) { return position == expected++; });
}
static_assert(tabPositionsAreDense());

}  // namespace

const ControlDesign& designOf(ControlId id) {
    return *std::ranges::find(kDesignTable, id, &ControlDesign::id);
}

}  // namespace tovask::app
