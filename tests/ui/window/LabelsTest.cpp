#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/ui/FormFixture.h"

namespace tovask::ui_test {
namespace {

SIZE textSize(HWND label, const std::wstring& text) {
    HDC dc = GetDC(label);
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(label, dc);
    return size;
}

class AutoSizeTest : public FormTest, public ::testing::WithParamInterface<ControlId> {};

TEST_P(AutoSizeTest, LabelTakesTheWidthOfItsNewCaptionAndKeepsItsPlace) {
    HWND label = control(GetParam());
    const RECT before = rectInContainer(label);
    const std::wstring caption = windowText(label) + L" y un texto bastante más largo";

    form.setCaption(GetParam(), caption);

    const RECT after = rectInContainer(label);
    const SIZE text = textSize(label, caption);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.right - after.left, text.cx);
    EXPECT_EQ(after.bottom - after.top, text.cy);
    EXPECT_GT(after.right - after.left, before.right - before.left);
    EXPECT_EQ(windowText(label), caption);
}

INSTANTIATE_TEST_SUITE_P(AutoSizeLabels, AutoSizeTest,
                         ::testing::Values(ControlId::Labelcabeza, ControlId::LabelForo2,
                                           ControlId::LabelInfo1),
                         [](const auto& info) { return controlName(info.param); });

TEST_F(FormTest, FixedSizeLabelKeepsItsSizeWhateverItsCaption) {
    HWND label = control(ControlId::LabelDetalles);
    const RECT before = rectInContainer(label);
    form.setCaption(ControlId::LabelDetalles, std::wstring(400, L'x'));
    const RECT after = rectInContainer(label);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_EQ(GetWindowLongPtrW(label, GWL_STYLE) & SS_TYPEMASK, SS_LEFT);
}

struct LabelPaint {
    COLORREF text;
    bool transparent;
};

// What a label is told to paint with, asked the way the label itself asks its
// container.
LabelPaint paintOf(HWND label, HBRUSH* brush = nullptr) {
    HDC dc = CreateCompatibleDC(nullptr);
    const auto answer = SendMessageW(GetParent(label), WM_CTLCOLORSTATIC,
                                     reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
    const LabelPaint paint{GetTextColor(dc), GetBkMode(dc) == TRANSPARENT};
    if (brush != nullptr) {
        *brush = reinterpret_cast<HBRUSH>(answer);
    }
    DeleteDC(dc);
    return paint;
}

struct ExpectedPaint {
    ControlId label;
    bool link;
    bool transparent;
};

const ExpectedPaint kLabelPaints[] = {
    {ControlId::Label1, false, false},       {ControlId::LabelDetalles, false, false},
    {ControlId::LabelLinkforo, true, false}, {ControlId::LabelForo2, true, false},
    {ControlId::LabelForo1, true, true},     {ControlId::LabelInfo1, true, true},
    {ControlId::LabelForo3, true, true},     {ControlId::LabelInfo2, true, true},
    {ControlId::LabelCuerpo, false, false},  {ControlId::Labelcabeza, false, false},
};

class LabelPaintTest : public FormTest, public ::testing::WithParamInterface<ExpectedPaint> {};

TEST_P(LabelPaintTest, LinksAreBlueAndOnlyTransparentLabelsSkipTheirBackground) {
    const ExpectedPaint& expected = GetParam();
    HBRUSH brush = nullptr;
    const LabelPaint paint = paintOf(control(expected.label), &brush);
    EXPECT_EQ(paint.text, expected.link ? RGB(0, 0, 255) : GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(paint.transparent, expected.transparent);
    EXPECT_EQ(brush, expected.transparent ? GetStockObject(NULL_BRUSH)
                                          : static_cast<HGDIOBJ>(GetSysColorBrush(COLOR_BTNFACE)));
}

INSTANTIATE_TEST_SUITE_P(Labels, LabelPaintTest, ::testing::ValuesIn(kLabelPaints),
                         [](const auto& info) { return controlName(info.param.label); });

TEST_F(FormTest, LinkColourCanChangeAndChangesNothingElse) {
    HWND label = control(ControlId::LabelForo1);
    const RECT place = rectInContainer(label);
    const std::wstring caption = windowText(label);

    form.setLinkColour(ControlId::LabelForo1, RGB(255, 128, 0));
    EXPECT_EQ(paintOf(label).text, RGB(255, 128, 0));
    EXPECT_EQ(paintOf(control(ControlId::LabelForo2)).text, RGB(0, 0, 255));
    form.setLinkColour(ControlId::LabelForo1, RGB(0, 0, 255));
    EXPECT_EQ(paintOf(label).text, RGB(0, 0, 255));

    const RECT after = rectInContainer(label);
    EXPECT_TRUE(EqualRect(&place, &after));
    EXPECT_EQ(windowText(label), caption);
}

TEST_F(FormTest, LogoBorderComesAndGoesWithoutMovingTheLogo) {
    for (const ControlId logo : {ControlId::LogoInfo1, ControlId::LogoInfo2}) {
        HWND window = control(logo);
        const RECT place = rectInContainer(window);
        EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) & WS_BORDER, 0);
        form.setLogoBorder(logo, true);
        EXPECT_NE(GetWindowLongPtrW(window, GWL_STYLE) & WS_BORDER, 0);
        form.setLogoBorder(logo, false);
        EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) & WS_BORDER, 0);
        const RECT after = rectInContainer(window);
        EXPECT_TRUE(EqualRect(&place, &after));
    }
}

}  // namespace
}  // namespace tovask::ui_test
