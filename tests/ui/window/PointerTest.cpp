#include <windows.h>

#include <gtest/gtest.h>

#include "resources/ResourceIds.h"
#include "tests/ui/FormFixture.h"

namespace tovask::ui_test {
namespace {

const ControlId kHandControls[] = {
    ControlId::btnacerca,  ControlId::btnsalir,      ControlId::btndeshacer, ControlId::btndesblo,
    ControlId::btnTovask,  ControlId::LabelLinkforo, ControlId::LabelForo1,  ControlId::LabelForo2,
    ControlId::LabelForo3, ControlId::LabelInfo1,    ControlId::LabelInfo2,  ControlId::LogoInfo1,
    ControlId::LogoInfo2,
};

const ControlId kArrowControls[] = {
    ControlId::Label1,      ControlId::Label3,      ControlId::Label6,  ControlId::LabelDetalles,
    ControlId::LabelCuerpo, ControlId::Labelcabeza, ControlId::Picture1};

// What the system does when the pointer moves onto a window: it asks that
// window, which asks its parents first, which pointer to show.
HCURSOR pointerOver(HWND window) {
    SetCursor(nullptr);
    SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
}

HCURSOR handPointer() {
    return LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_HAND_POINTER));
}

class HandPointerTest : public FormTest, public ::testing::WithParamInterface<ControlId> {};

TEST_P(HandPointerTest, ShowsTheHandFromTheStart) {
    ASSERT_NE(handPointer(), nullptr);
    EXPECT_EQ(pointerOver(control(GetParam())), handPointer());
}

INSTANTIATE_TEST_SUITE_P(ThirteenControls, HandPointerTest, ::testing::ValuesIn(kHandControls),
                         [](const auto& info) { return controlName(info.param); });

class ArrowPointerTest : public FormTest, public ::testing::WithParamInterface<ControlId> {};

TEST_P(ArrowPointerTest, ShowsTheUsualArrow) {
    EXPECT_EQ(pointerOver(control(GetParam())), LoadCursorW(nullptr, IDC_ARROW));
}

INSTANTIATE_TEST_SUITE_P(PlainControls, ArrowPointerTest, ::testing::ValuesIn(kArrowControls),
                         [](const auto& info) { return controlName(info.param); });

TEST_F(FormTest, WindowBackgroundShowsTheUsualArrow) {
    EXPECT_EQ(pointerOver(form.window()), LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(FormTest, StartPageBoxKeepsItsTextPointer) {
    EXPECT_EQ(pointerOver(control(ControlId::Text1)), LoadCursorW(nullptr, IDC_IBEAM));
}

// Labels that do not react to the pointer let it through to what lies behind.
TEST_F(FormTest, OnlyTheClickableLabelsCatchThePointer) {
    for (const ControlId label :
         {ControlId::Label1, ControlId::LabelDetalles, ControlId::LabelLinkforo}) {
        const auto hit = SendMessageW(control(label), WM_NCHITTEST, 0, 0);
        EXPECT_EQ(hit == HTTRANSPARENT, label != ControlId::LabelLinkforo);
    }
}

}  // namespace
}  // namespace tovask::ui_test
