#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Version.h"
#include "tests/ui/MouseFixture.h"

namespace tovask::ui_test {
namespace {

const std::wstring kRepairDetails =
    L"(Desbloquear IE), su navegador IE sera liberado y su archivo Hosts sera restaurado";
const std::wstring kUndoDetails =
    L"(Deshacer los cambios), el archivo Hosts volverá a la configuración anterior";
const std::wstring kExitDetails = L"Salir de Tovask " TOVASK_VERSION_TEXT;
const std::wstring kAboutDetails = L"Detalles sobre Tovask " TOVASK_VERSION_TEXT;

const ControlId kPanelLinks[] = {ControlId::LabelForo1, ControlId::LabelForo2,
                                 ControlId::LabelForo3, ControlId::LabelInfo1,
                                 ControlId::LabelInfo2};

struct ButtonDetails {
    ControlId button;
    std::wstring text;
};

const ButtonDetails kButtonDetails[] = {
    {ControlId::btndesblo, kRepairDetails},
    {ControlId::btndeshacer, kUndoDetails},
    {ControlId::btnsalir, kExitDetails},
    {ControlId::btnacerca, kAboutDetails},
};

class ButtonDetailsTest : public MouseTest, public ::testing::WithParamInterface<ButtonDetails> {};

TEST_P(ButtonDetailsTest, PointerOverTheButtonExplainsItUntilTheBareBackground) {
    moveOver(GetParam().button);
    EXPECT_EQ(details(), GetParam().text);
    moveOverWindowBackground();
    EXPECT_EQ(details(), L"");
}

INSTANTIATE_TEST_SUITE_P(FourButtons, ButtonDetailsTest, ::testing::ValuesIn(kButtonDetails),
                         [](const auto& info) { return controlName(info.param.button); });

TEST_F(MouseTest, AtStartTheDetailsAreEmptyAndEveryLinkIsBlue) {
    EXPECT_EQ(details(), L"");
    EXPECT_EQ(textColourOf(ControlId::LabelLinkforo), kBlue);
    for (const ControlId link : kPanelLinks) {
        EXPECT_EQ(textColourOf(link), kBlue) << controlName(link);
    }
}

// Every text the details label is given, in order.
std::vector<std::wstring> recordedTexts;

LRESULT CALLBACK recordText(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                            DWORD_PTR) {
    if (message == WM_SETTEXT) {
        recordedTexts.emplace_back(reinterpret_cast<const wchar_t*>(lParam));
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

TEST_F(MouseTest, FromOneButtonStraightOntoTheNextTheTextIsReplacedWithoutAnEmptyPhase) {
    moveOver(ControlId::btndesblo);
    recordedTexts.clear();
    ASSERT_TRUE(SetWindowSubclass(control(ControlId::LabelDetalles), recordText, 1, 0));
    moveOver(ControlId::btndeshacer);
    moveOver(ControlId::btnsalir);
    RemoveWindowSubclass(control(ControlId::LabelDetalles), recordText, 1);
    EXPECT_EQ(recordedTexts, (std::vector<std::wstring>{kUndoDetails, kExitDetails}));
}

// Controls that have no pointer-move handler: neither the details nor the
// link change when the pointer moves onto them.
const ControlId kWithoutMoveHandler[] = {
    ControlId::List1,  ControlId::Text1,  ControlId::Label1,        ControlId::Label2,
    ControlId::Label3, ControlId::Label6, ControlId::LabelDetalles, ControlId::LogoInfo1,
};

class NoMoveHandlerTest : public MouseTest, public ::testing::WithParamInterface<ControlId> {};

TEST_P(NoMoveHandlerTest, KeepsTheDetailsAndTheLinkColour) {
    moveOver(ControlId::LabelLinkforo);
    moveOver(ControlId::btnsalir);
    moveOver(GetParam());
    EXPECT_EQ(details(), kExitDetails);
    EXPECT_EQ(textColourOf(ControlId::LabelLinkforo), kOrange);
}

INSTANTIATE_TEST_SUITE_P(MainWindow, NoMoveHandlerTest, ::testing::ValuesIn(kWithoutMoveHandler),
                         [](const auto& info) { return controlName(info.param); });

TEST_F(MouseTest, CreditLinkStaysOrangeUntilThePointerTouchesTheBareBackground) {
    moveOver(ControlId::LabelLinkforo);
    EXPECT_EQ(textColourOf(ControlId::LabelLinkforo), kOrange);
    for (const ControlId next : {ControlId::LogoInfo1, ControlId::btndesblo, ControlId::List1}) {
        moveOver(next);
        EXPECT_EQ(textColourOf(ControlId::LabelLinkforo), kOrange) << controlName(next);
    }
    moveOverWindowBackground();
    EXPECT_EQ(textColourOf(ControlId::LabelLinkforo), kBlue);
    EXPECT_EQ(details(), L"");
}

TEST_F(MouseTest, OnlyTheTextColourOfALinkChanges) {
    HWND link = control(ControlId::LabelLinkforo);
    const std::wstring caption = windowText(link);
    const RECT place = rectInContainer(link);
    const auto font = SendMessageW(link, WM_GETFONT, 0, 0);
    moveOver(ControlId::LabelLinkforo);
    ASSERT_EQ(textColourOf(ControlId::LabelLinkforo), kOrange);
    const RECT after = rectInContainer(link);
    EXPECT_EQ(windowText(link), caption);
    EXPECT_TRUE(EqualRect(&after, &place));
    EXPECT_EQ(SendMessageW(link, WM_GETFONT, 0, 0), font);
}

// What brings the panel's links back to blue: the body text or the panel's
// own background.
enum class PanelReset { BodyText, Background };

struct PanelLinkCase {
    ControlId link;
    PanelReset reset;
};

class PanelLinkTest : public MouseTest, public ::testing::WithParamInterface<PanelLinkCase> {
  protected:
    void resetLinks() {
        if (GetParam().reset == PanelReset::BodyText) {
            moveOverBodyText();
        } else {
            moveOverPanelBackground();
        }
    }
};

TEST_P(PanelLinkTest, TurnsOrangeAndStaysSoUntilTheBodyOrTheBackground) {
    openAboutPanel();
    moveOver(GetParam().link);
    EXPECT_EQ(textColourOf(GetParam().link), kOrange);
    for (const ControlId passive :
         {ControlId::Labelcabeza, ControlId::LogoInfo2, ControlId::btnTovask}) {
        moveOver(passive);
        EXPECT_EQ(textColourOf(GetParam().link), kOrange) << controlName(passive);
    }
    resetLinks();
    for (const ControlId link : kPanelLinks) {
        EXPECT_EQ(textColourOf(link), kBlue) << controlName(link);
    }
}

std::vector<PanelLinkCase> panelLinkCases() {
    std::vector<PanelLinkCase> cases;
    for (const ControlId link : kPanelLinks) {
        cases.push_back({link, PanelReset::BodyText});
        cases.push_back({link, PanelReset::Background});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(FiveLinks, PanelLinkTest, ::testing::ValuesIn(panelLinkCases()),
                         [](const auto& info) {
                             return controlName(info.param.link) +
                                    (info.param.reset == PanelReset::BodyText ? "_BodyText"
                                                                              : "_Background");
                         });

TEST_F(MouseTest, InformationLinkOverTheForumLinkTurnsItBlueButNotTheOtherWayRound) {
    openAboutPanel();
    moveOver(ControlId::LabelForo3);
    moveOver(ControlId::LabelInfo2);
    EXPECT_EQ(textColourOf(ControlId::LabelForo3), kBlue);
    EXPECT_EQ(textColourOf(ControlId::LabelInfo2), kOrange);

    moveOver(ControlId::LabelForo3);
    EXPECT_EQ(textColourOf(ControlId::LabelForo3), kOrange);
    EXPECT_EQ(textColourOf(ControlId::LabelInfo2), kOrange);
}

TEST_F(MouseTest, LinkColoursOutliveClosingAndReopeningThePanel) {
    moveOver(ControlId::LabelLinkforo);
    openAboutPanel();
    moveOver(ControlId::LabelForo2);
    clickOn(ControlId::btnTovask);
    EXPECT_EQ(textColourOf(ControlId::LabelForo2), kOrange);
    EXPECT_EQ(textColourOf(ControlId::LabelLinkforo), kOrange);

    openAboutPanel();
    EXPECT_EQ(textColourOf(ControlId::LabelForo2), kOrange);
    moveOverBodyText();
    EXPECT_EQ(textColourOf(ControlId::LabelForo2), kBlue);
    EXPECT_EQ(textColourOf(ControlId::LabelLinkforo), kOrange);
}

TEST_F(MouseTest, AboutDetailsStayUnderThePanelUntilTheWindowBackgroundAfterItCloses) {
    openAboutPanel();
    ASSERT_TRUE(IsWindowVisible(control(ControlId::Picture1)));
    moveOverPanelBackground();
    moveOverBodyText();
    EXPECT_EQ(details(), kAboutDetails);
    clickOn(ControlId::btnTovask);
    EXPECT_EQ(details(), kAboutDetails);
    moveOverWindowBackground();
    EXPECT_EQ(details(), L"");
}

}  // namespace
}  // namespace tovask::ui_test
