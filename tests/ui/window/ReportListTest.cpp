#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/window/drawing/GdiHandles.h"
#include "tests/ui/FormFixture.h"

namespace tovask::ui_test {
namespace {

// After a long report the last line is in sight, and the widest line can be
// scrolled to its end; a new report starts narrow again.
TEST_F(FormTest, ReportListShowsItsLastLineAndScrollsToItsWidestLine) {
    HWND list = control(ControlId::List1);
    RECT client{};
    GetClientRect(list, &client);
    const std::wstring wide(400, L'W');
    for (int i = 0; i < 40; ++i) {
        form.appendLine(i == 20 ? wide : L"Línea " + std::to_wstring(i));
    }
    RECT last{};
    SendMessageW(list, LB_GETITEMRECT, 39, reinterpret_cast<LPARAM>(&last));
    EXPECT_GT(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 0);
    EXPECT_GE(last.top, client.top);
    EXPECT_LE(last.bottom, client.bottom);

    const app::WindowDC dc(list);
    const app::ScopedSelection font(
        dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), wide.c_str(), static_cast<int>(wide.size()), &size);
    const auto extent = SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0);
    EXPECT_GE(extent, size.cx);
    EXPECT_GT(extent, client.right);

    form.clearList();
    EXPECT_EQ(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0), 0);
}

}  // namespace
}  // namespace tovask::ui_test
