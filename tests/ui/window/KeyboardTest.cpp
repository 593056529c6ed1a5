#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "tests/ui/FormFixture.h"

namespace tovask::ui_test {
namespace {

const std::vector<ControlId> kTabCycle = {ControlId::Text1,     ControlId::List1,
                                          ControlId::btndesblo, ControlId::btndeshacer,
                                          ControlId::btnsalir,  ControlId::btnacerca};

TEST_F(FormTest, FocusStartsInTheStartPageBox) {
    EXPECT_EQ(GetFocus(), control(ControlId::Text1));
}

TEST_F(FormTest, TabRunsThroughTheControlsAndRoundAgain) {
    for (std::size_t step = 1; step <= kTabCycle.size(); ++step) {
        pressKey(VK_TAB);
        EXPECT_EQ(GetFocus(), control(kTabCycle[step % kTabCycle.size()])) << "after Tab " << step;
    }
}

TEST_F(FormTest, ShiftTabRunsTheOtherWay) {
    for (std::size_t step = 1; step <= kTabCycle.size(); ++step) {
        pressShiftTab();
        const std::size_t expected = (kTabCycle.size() - step) % kTabCycle.size();
        EXPECT_EQ(GetFocus(), control(kTabCycle[expected])) << "after Shift+Tab " << step;
    }
}

TEST_F(FormTest, TabReachesThePanelButtonOnlyWhileThePanelIsShown) {
    ShowWindow(control(ControlId::Picture1), SW_SHOW);
    SetFocus(control(ControlId::btnacerca));
    pressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), control(ControlId::btnTovask));
    pressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), control(ControlId::Text1));

    ShowWindow(control(ControlId::Picture1), SW_HIDE);
    SetFocus(control(ControlId::btnacerca));
    pressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), control(ControlId::Text1));
}

TEST_F(FormTest, EnterInTheStartPageBoxPressesNoButton) {
    SetWindowTextW(control(ControlId::Text1), L"http://inicio.example");
    pressKey(VK_RETURN);
    EXPECT_TRUE(windowOps.messages.empty());
    EXPECT_TRUE(listLines().empty());
    EXPECT_EQ(windowText(control(ControlId::Text1)), L"http://inicio.example");
    EXPECT_EQ(GetFocus(), control(ControlId::Text1));
}

TEST_F(FormTest, EscapeClosesNothing) {
    pressKey(VK_ESCAPE);
    EXPECT_TRUE(IsWindow(form.window()));
    EXPECT_TRUE(IsWindowVisible(form.window()));
    EXPECT_EQ(windowOps.endProgramCalls, 0);
    EXPECT_TRUE(windowOps.messages.empty());
}

TEST_F(FormTest, NoButtonIsTheDefaultButton) {
    for (const ControlId button :
         {ControlId::btndesblo, ControlId::btndeshacer, ControlId::btnsalir, ControlId::btnacerca,
          ControlId::btnTovask}) {
        const auto code = SendMessageW(control(button), WM_GETDLGCODE, 0, 0);
        EXPECT_EQ(code & DLGC_DEFPUSHBUTTON, 0);
    }
}

TEST_F(FormTest, LabelsAndLogosNeverTakeTheFocus) {
    for (const ControlId id :
         {ControlId::Label1, ControlId::Label3, ControlId::LabelLinkforo, ControlId::LogoInfo1}) {
        EXPECT_EQ(GetWindowLongPtrW(control(id), GWL_STYLE) & WS_TABSTOP, 0);
    }
    for (std::size_t step = 0; step < 2 * kTabCycle.size(); ++step) {
        pressKey(VK_TAB);
        EXPECT_EQ(className(GetFocus()) == L"Static", false);
    }
}

}  // namespace
}  // namespace tovask::ui_test
