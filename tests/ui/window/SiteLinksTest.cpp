#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <system_error>
#include <vector>

#include "repair/texts/SiteUrls.h"
#include "tests/ui/MouseFixture.h"

namespace tovask::ui_test {
namespace {

const std::wstring kForumCommand = L"explorer.exe " + std::wstring(ForumSiteUrl);
const std::wstring kInfoCommand = L"explorer.exe " + std::wstring(InfoSiteUrl);

struct SiteLink {
    ControlId control;
    bool onPanel;
    std::wstring command;
};

const SiteLink kSiteLinks[] = {
    {ControlId::LabelLinkforo, false, kForumCommand}, {ControlId::LogoInfo1, false, kInfoCommand},
    {ControlId::LabelForo1, true, kForumCommand},     {ControlId::LabelForo2, true, kForumCommand},
    {ControlId::LabelForo3, true, kForumCommand},     {ControlId::LabelInfo1, true, kInfoCommand},
    {ControlId::LabelInfo2, true, kInfoCommand},      {ControlId::LogoInfo2, true, kInfoCommand},
};

class SiteLinkTest : public MouseTest, public ::testing::WithParamInterface<SiteLink> {
  protected:
    void SetUp() override {
        MouseTest::SetUp();
        if (GetParam().onPanel) {
            openAboutPanel();
        }
    }
};

TEST_P(SiteLinkTest, ClickStartsTheShellWithItsSiteMinimisedWithFocus) {
    clickOn(GetParam().control);
    ASSERT_EQ(platform.launches.size(), 1u);
    EXPECT_EQ(platform.launches[0].commandLine, GetParam().command);
    EXPECT_EQ(static_cast<int>(platform.launches[0].style), 2);
    EXPECT_TRUE(windowOps.messages.empty());
}

TEST_P(SiteLinkTest, TwoClicksStartTwoLaunches) {
    clickOn(GetParam().control);
    clickOn(GetParam().control);
    EXPECT_EQ(platform.launches.size(), 2u);
}

TEST_P(SiteLinkTest, DoubleClickStartsOneLaunch) {
    doubleClickOn(GetParam().control);
    EXPECT_EQ(platform.launches.size(), 1u);
}

// Like a push button: a press that ends away from the control clicks nothing.
TEST_P(SiteLinkTest, ReleasingThePointerElsewhereStartsNothing) {
    moveOver(GetParam().control);
    press(MouseButton::Left);
    moveOver(GetParam().onPanel ? ControlId::btnTovask : ControlId::btnsalir);
    release(MouseButton::Left);
    EXPECT_TRUE(platform.launches.empty());
}

TEST_P(SiteLinkTest, OtherMouseButtonsStartNothing) {
    moveOver(GetParam().control);
    for (const MouseButton button : {MouseButton::Right, MouseButton::Middle}) {
        press(button);
        release(button);
    }
    EXPECT_TRUE(platform.launches.empty());
}

TEST_P(SiteLinkTest, ASiteThatCannotBeOpenedIsReportedWithTheReason) {
    platform.failWhere("LaunchCommand", L"", std::make_error_code(std::errc::permission_denied));
    clickOn(GetParam().control);
    ASSERT_EQ(windowOps.messages.size(), 1u);
    const std::wstring site = GetParam().command.substr(std::wstring(L"explorer.exe ").size());
    EXPECT_EQ(windowOps.messages[0].prompt,
              L"No se pudo abrir el sitio " + site + L"\r\n" +
                  platform.DescribeError(std::make_error_code(std::errc::permission_denied)));
    EXPECT_EQ(static_cast<int>(windowOps.messages[0].style), 16);
    EXPECT_EQ(windowOps.messages[0].title, L"Error");
}

INSTANTIATE_TEST_SUITE_P(EightLinks, SiteLinkTest, ::testing::ValuesIn(kSiteLinks),
                         [](const auto& info) { return controlName(info.param.control); });

struct LogoPress {
    ControlId logo;
    MouseButton button;
};

std::string buttonName(MouseButton button) {
    switch (button) {
        case MouseButton::Left:
            return "Left";
        case MouseButton::Right:
            return "Right";
        case MouseButton::Middle:
            break;
    }
    return "Middle";
}

class LogoPressTest : public MouseTest, public ::testing::WithParamInterface<LogoPress> {
  protected:
    bool hasBorder() const {
        return (GetWindowLongPtrW(control(GetParam().logo), GWL_STYLE) & WS_BORDER) != 0;
    }
};

TEST_P(LogoPressTest, BorderShowsOnlyWhileTheButtonIsHeld) {
    if (GetParam().logo == ControlId::LogoInfo2) {
        openAboutPanel();
    }
    moveOver(GetParam().logo);
    EXPECT_FALSE(hasBorder());
    press(GetParam().button);
    EXPECT_TRUE(hasBorder());
    release(GetParam().button);
    EXPECT_FALSE(hasBorder());
}

INSTANTIATE_TEST_SUITE_P(BothLogosAnyButton, LogoPressTest,
                         ::testing::Values(LogoPress{ControlId::LogoInfo1, MouseButton::Left},
                                           LogoPress{ControlId::LogoInfo1, MouseButton::Right},
                                           LogoPress{ControlId::LogoInfo1, MouseButton::Middle},
                                           LogoPress{ControlId::LogoInfo2, MouseButton::Left},
                                           LogoPress{ControlId::LogoInfo2, MouseButton::Right}),
                         [](const auto& info) {
                             return controlName(info.param.logo) + buttonName(info.param.button);
                         });

// The launch comes after the release: by then the logo has lost its border.
// A failing launch shows its message during the click, when it can be looked at.
TEST_F(MouseTest, LogoClickLaunchesOnlyAfterItsBorderIsGone) {
    platform.failWhere("LaunchCommand", L"", std::make_error_code(std::errc::permission_denied));
    std::vector<bool> borderDuringLaunch;
    windowOps.onMessage = [&](const RecordedMessage&) {
        borderDuringLaunch.push_back(
            (GetWindowLongPtrW(control(ControlId::LogoInfo1), GWL_STYLE) & WS_BORDER) != 0);
    };
    clickOn(ControlId::LogoInfo1);
    EXPECT_EQ(borderDuringLaunch, std::vector<bool>{false});
}

}  // namespace
}  // namespace tovask::ui_test
