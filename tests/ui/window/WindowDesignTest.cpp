#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "Version.h"
#include "repair/texts/SiteUrls.h"
#include "tests/ui/FormFixture.h"

namespace tovask::ui_test {
namespace {

// The panel shows no text of its own and has no font.
enum class Face { None, Window, Link, Header };

struct ExpectedControl {
    ControlId id;
    std::wstring_view className;
    int left, top, width, height;  // twips
    std::wstring_view text;
    Face face;
    bool visible;
};

const std::wstring kPoweredBy = L"Powered by: " + std::wstring(kForumDomainName);

// The design as a person would check it on screen: class, place, caption, font
// and visibility of every control.
const ExpectedControl kExpectedControls[] = {
    {ControlId::Picture1, L"TovaskPanel", 1920, 3960, 1455, 975, L"", Face::None, false},
    {ControlId::btnacerca, L"Button", 120, 4470, 1095, 375, L"Acerca de", Face::Window, true},
    {ControlId::btnsalir, L"Button", 3960, 3120, 1935, 430, L"Salir", Face::Window, true},
    {ControlId::btndeshacer, L"Button", 3960, 2520, 1935, 430, L"Deshacer los cambios",
     Face::Window, true},
    {ControlId::btndesblo, L"Button", 3960, 1920, 1935, 430, L"Desbloquear IE", Face::Window, true},
    {ControlId::List1, L"ListBox", 120, 1920, 3735, 1620, L"", Face::Window, true},
    {ControlId::Text1, L"Edit", 2880, 1290, 3015, 285, L"", Face::Window, true},
    {ControlId::Label6, L"Static", 120, 1680, 735, 255, L"Informe:", Face::Window, true},
    {ControlId::LabelDetalles, L"Static", 120, 3840, 5655, 375, L"", Face::Window, true},
    {ControlId::LabelLinkforo, L"Static", 3700, 4670, 2175, 195, kPoweredBy, Face::Link, true},
    {ControlId::Label3, L"Static", 120, 1320, 2775, 255, L"Ingrese la página de Inicio que desee:",
     Face::Window, true},
    {ControlId::LogoInfo1, L"Static", 4570, 570, 1320, 465, L"", Face::Window, true},
    {ControlId::Label2, L"Static", 120, 720, 3135, 495,
     L"Se recomienda utilizar la herramienta en modo a prueba de fallos (Modo seguro)",
     Face::Window, true},
    {ControlId::Label1, L"Static", 120, 120, 5685, 435,
     L"Bienvenido a Tovask " TOVASK_VERSION_TEXT L". Antes de comenzar, cierre todos los "
     L"programas, en especial el navegador Internet "
     L"Explorer",
     Face::Window, true},
    {ControlId::btnTovask, L"Button", 5040, 4490, 855, 375, L"Tovask", Face::Window, false},
    {ControlId::LabelForo2, L"Static", 2040, 3960, 1605, 195, kForumHostName, Face::Link, false},
    {ControlId::LabelForo1, L"Static", 2040, 4200, 1605, 195, kForumHostName, Face::Link, false},
    {ControlId::LabelInfo1, L"Static", 2040, 3720, 1590, 195, kInfoHostName, Face::Link, false},
    {ControlId::LabelCuerpo, L"Static", 120, 720, 5775, 3735, L"", Face::Window, false},
    {ControlId::LabelForo3, L"Static", 120, 4650, 1605, 195, kForumHostName, Face::Link, false},
    {ControlId::LabelInfo2, L"Static", 120, 4440, 1590, 195, kInfoHostName, Face::Link, false},
    {ControlId::Labelcabeza, L"Static", 1560, 225, 4035, 285,
     L"Tovask " TOVASK_VERSION_TEXT L" del grupo Kestomar", Face::Header, false},
    {ControlId::LogoInfo2, L"Static", 120, 120, 1320, 465, L"", Face::Window, false},
};

struct ExpectedFont {
    std::wstring_view face;
    int hundredthsOfPoint;
    LONG weight;
    bool underline;
};

ExpectedFont expectedFont(Face face) {
    switch (face) {
        case Face::Link:
            return {L"MS Sans Serif", 825, FW_NORMAL, true};
        case Face::Header:
            return {L"Arial", 1200, FW_BOLD, false};
        case Face::Window:
        case Face::None:
            break;
    }
    return {L"MS Sans Serif", 825, FW_NORMAL, false};
}

class ControlDesignTest : public FormTest, public ::testing::WithParamInterface<ExpectedControl> {};

TEST_P(ControlDesignTest, HasItsClassPlaceCaptionFontAndVisibility) {
    const ExpectedControl& expected = GetParam();
    HWND window = control(expected.id);
    ASSERT_NE(window, nullptr);

    EXPECT_EQ(className(window), expected.className);
    const RECT place = rectInContainer(window);
    EXPECT_EQ(place.left, pixels(expected.left, dpi()));
    EXPECT_EQ(place.top, pixels(expected.top, dpi()));
    EXPECT_EQ(place.right - place.left, pixels(expected.width, dpi()));
    EXPECT_EQ(place.bottom - place.top, pixels(expected.height, dpi()));
    EXPECT_EQ(windowText(window), expected.text);
    EXPECT_EQ(IsWindowVisible(window) != FALSE, expected.visible);
    EXPECT_TRUE(IsWindowEnabled(window));
    if (expected.face == Face::None) {
        return;
    }

    const auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    LOGFONTW used{};
    ASSERT_EQ(GetObjectW(font, sizeof used, &used), static_cast<int>(sizeof used));
    const ExpectedFont wanted = expectedFont(expected.face);
    EXPECT_EQ(std::wstring_view(used.lfFaceName), wanted.face);
    EXPECT_EQ(used.lfHeight, -(wanted.hundredthsOfPoint * dpi() / 7200));
    EXPECT_EQ(used.lfWeight, wanted.weight);
    EXPECT_EQ(used.lfUnderline != 0, wanted.underline);
    EXPECT_EQ(used.lfItalic, 0);
}

INSTANTIATE_TEST_SUITE_P(EveryControl, ControlDesignTest, ::testing::ValuesIn(kExpectedControls),
                         [](const auto& info) { return controlName(info.param.id); });

TEST_F(FormTest, PanelControlsLieInThePanelAndTheOthersOnTheWindow) {
    for (const auto& expected : kExpectedControls) {
        const bool onPanel = expected.id >= ControlId::btnTovask;
        EXPECT_EQ(GetParent(control(expected.id)),
                  onPanel ? control(ControlId::Picture1) : form.window());
    }
}

// Where two controls overlap, the one listed first is drawn on top and gets
// the pointer: the window's stacking order follows the tables.
TEST_F(FormTest, ControlsAreStackedFrontToBackAsListed) {
    for (HWND container : {form.window(), control(ControlId::Picture1)}) {
        HWND previous = nullptr;
        for (const auto& expected : kExpectedControls) {
            HWND window = control(expected.id);
            if (GetParent(window) != container) {
                continue;
            }
            EXPECT_EQ(GetWindow(window, GW_HWNDPREV), previous);
            previous = window;
        }
    }
}

TEST_F(FormTest, WindowHasItsCaptionFixedBorderAndClientSize) {
    EXPECT_EQ(windowText(form.window()), L"Tovask " TOVASK_VERSION_TEXT);
    RECT client{};
    GetClientRect(form.window(), &client);
    EXPECT_EQ(client.right, pixels(6015, dpi()));
    EXPECT_EQ(client.bottom, pixels(4980, dpi()));
    if (dpi() == 96) {
        EXPECT_EQ(client.right, 401);
        EXPECT_EQ(client.bottom, 332);
    }
    const auto style = GetWindowLongPtrW(form.window(), GWL_STYLE);
    EXPECT_EQ(style & WS_THICKFRAME, 0);
    EXPECT_EQ(style & WS_MAXIMIZEBOX, 0);
    EXPECT_NE(style & WS_CAPTION, 0);
    EXPECT_NE(style & WS_SYSMENU, 0);
}

TEST_F(FormTest, WindowOpensCentredOnTheWorkArea) {
    RECT workArea{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    RECT frame{};
    GetWindowRect(form.window(), &frame);
    EXPECT_LE(std::abs((frame.left - workArea.left) - (workArea.right - frame.right)), 1);
    EXPECT_LE(std::abs((frame.top - workArea.top) - (workArea.bottom - frame.bottom)), 1);
}

TEST_F(FormTest, WindowShowsTheProgramIcon) {
    const auto bigIcon = SendMessageW(form.window(), WM_GETICON, ICON_BIG, 0);
    const auto smallIcon = SendMessageW(form.window(), WM_GETICON, ICON_SMALL, 0);
    EXPECT_NE(bigIcon, 0);
    EXPECT_NE(smallIcon, 0);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(smallIcon), &info));
    BITMAP colour{};
    GetObjectW(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, GetSystemMetrics(SM_CXSMICON));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

TEST_F(FormTest, StartPageBoxHasNoLengthLimit) {
    EXPECT_GE(SendMessageW(control(ControlId::Text1), EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
}

TEST_F(FormTest, ProgressListIsAnUnsortedSingleSelectionList) {
    const auto style = GetWindowLongPtrW(control(ControlId::List1), GWL_STYLE);
    EXPECT_EQ(style & LBS_SORT, 0);
    EXPECT_EQ(style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL), 0);
    for (const auto line : {L"b", L"a", L"c"}) {
        form.appendLine(line);
    }
    EXPECT_EQ(listLines(), (std::vector<std::wstring>{L"b", L"a", L"c"}));
}

TEST_F(FormTest, ProgressListScrollsOnceItHoldsMoreThanItShows) {
    HWND list = control(ControlId::List1);
    for (int line = 0; line < 12; ++line) {
        form.appendLine(L"línea");
    }
    EXPECT_NE(GetWindowLongPtrW(list, GWL_STYLE) & WS_VSCROLL, 0);
}

// Eight lines of the window font fill the list's height.
TEST_F(FormTest, ProgressListHoldsEightLines) {
    HWND list = control(ControlId::List1);
    RECT client{};
    GetClientRect(list, &client);
    const auto lineHeight = SendMessageW(list, LB_GETITEMHEIGHT, 0, 0);
    EXPECT_EQ(client.bottom / lineHeight, 8);
}

}  // namespace
}  // namespace tovask::ui_test
