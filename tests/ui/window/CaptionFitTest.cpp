#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "repair/texts/ProgramTexts.h"
#include "tests/ui/FormFixture.h"

namespace tovask::ui_test {
namespace {

// What the caption takes when the control draws it with its own font: a
// label wraps at its width as a static control does, a button keeps one line.
RECT textBox(HWND control, std::wstring_view text, bool wraps) {
    RECT client{};
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT needed{0, 0, client.right, 0};
    const UINT format = wraps ? DT_WORDBREAK | DT_EXPANDTABS : DT_SINGLELINE;
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &needed,
              format | DT_NOPREFIX | DT_CALCRECT);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return needed;
}

// A push button keeps its frame and focus rectangle around the caption.
constexpr int kButtonMargin = 4;

std::vector<ControlId> captionedControls() {
    std::vector<ControlId> controls;
    for (const auto& design : app::kDesignTable) {
        if (design.kind == app::ControlKind::Label || design.kind == app::ControlKind::Button) {
            controls.push_back(design.id);
        }
    }
    return controls;
}

// The captions a control shows: its own once the window and the About panel
// have loaded, and for the details line every button's hover help.
std::vector<std::wstring> captionsOf(ControlId id, HWND control) {
    if (id == ControlId::LabelDetalles) {
        return {std::wstring(texts::kRepairDetails), std::wstring(texts::kUndoDetails),
                std::wstring(texts::kExitDetails), std::wstring(texts::kAboutDetails)};
    }
    return {windowText(control)};
}

class CaptionFitTest : public FormTest, public ::testing::WithParamInterface<ControlId> {};

TEST_P(CaptionFitTest, EveryCaptionFitsItsControlAtTheScreenDpi) {
    click(ControlId::btnacerca);
    HWND box = control(GetParam());
    const bool isLabel = app::designOf(GetParam()).kind == app::ControlKind::Label;
    RECT client{};
    GetClientRect(box, &client);
    const int margin = isLabel ? 0 : kButtonMargin;
    for (const std::wstring& caption : captionsOf(GetParam(), box)) {
        const RECT needed = textBox(box, caption, isLabel);
        EXPECT_LE(needed.right + margin, client.right)
            << "at " << dpi() << " dpi, too wide: " << testing::PrintToString(caption);
        EXPECT_LE(needed.bottom + margin, client.bottom)
            << "at " << dpi() << " dpi, cut off below: " << testing::PrintToString(caption);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryLabelAndButton, CaptionFitTest,
                         ::testing::ValuesIn(captionedControls()),
                         [](const auto& info) { return controlName(info.param); });

}  // namespace
}  // namespace tovask::ui_test
