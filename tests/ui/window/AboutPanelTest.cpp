#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Version.h"
#include "tests/ui/MouseFixture.h"

namespace tovask::ui_test {
namespace {

const std::wstring kGap(37, L' ');

std::vector<std::wstring> linesOf(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (std::size_t end = text.find(L"\r\n"); end != std::wstring::npos;
         end = text.find(L"\r\n", start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    lines.push_back(text.substr(start));
    return lines;
}

// The lengths of the runs of two or more blanks, in order.
std::vector<std::size_t> blankRuns(const std::wstring& text) {
    std::vector<std::size_t> runs;
    std::size_t run = 0;
    for (const wchar_t character : text + L".") {
        if (character == L' ') {
            ++run;
            continue;
        }
        if (run > 1) {
            runs.push_back(run);
        }
        run = 0;
    }
    return runs;
}

class AboutPanelTest : public MouseTest {
  protected:
    std::wstring body() const { return windowText(control(ControlId::LabelCuerpo)); }
    RECT placeOf(ControlId id) const { return rectInContainer(control(id)); }
    RECT designPlace(int left, int top, ControlId id) const {
        const RECT now = placeOf(id);
        const int x = pixels(left, dpi());
        const int y = pixels(top, dpi());
        return {x, y, x + now.right - now.left, y + now.bottom - now.top};
    }
};

TEST_F(AboutPanelTest, CaptionChangesWithTheFirstOpeningAndStays) {
    EXPECT_EQ(windowText(form.window()), L"Tovask " TOVASK_VERSION_TEXT);
    openAboutPanel();
    EXPECT_EQ(windowText(form.window()), L"Acerca de Tovask " TOVASK_VERSION_TEXT);
    clickOn(ControlId::btnTovask);
    EXPECT_FALSE(IsWindowVisible(control(ControlId::Picture1)));
    EXPECT_EQ(windowText(form.window()), L"Acerca de Tovask " TOVASK_VERSION_TEXT);
}

TEST_F(AboutPanelTest, PanelCoversTheWholeWindowInFrontOfEveryControl) {
    openAboutPanel();
    HWND panel = control(ControlId::Picture1);
    ASSERT_TRUE(IsWindowVisible(panel));
    const RECT expected{0, 0, pixels(5985, dpi()), pixels(5460, dpi())};
    const RECT place = placeOf(ControlId::Picture1);
    EXPECT_TRUE(EqualRect(&place, &expected));
    EXPECT_EQ(GetWindow(form.window(), GW_CHILD), panel);
}

const ControlId kMainControls[] = {
    ControlId::btnacerca, ControlId::btnsalir, ControlId::btndeshacer,   ControlId::btndesblo,
    ControlId::List1,     ControlId::Text1,    ControlId::Label6,        ControlId::LabelDetalles,
    ControlId::Label3,    ControlId::Label2,   ControlId::LabelLinkforo, ControlId::LogoInfo1,
    ControlId::Label1,
};

TEST_F(AboutPanelTest, TheMouseReachesNoControlUnderThePanel) {
    openAboutPanel();
    HWND panel = control(ControlId::Picture1);
    for (const ControlId id : kMainControls) {
        RECT place{};
        GetWindowRect(control(id), &place);
        const POINT middle{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
        HWND under = WindowFromPoint(middle);
        EXPECT_TRUE(under == panel || IsChild(panel, under)) << controlName(id);
    }
    clickOn(ControlId::btndesblo);
    clickOn(ControlId::LogoInfo1);
    EXPECT_TRUE(windowOps.messages.empty());
    EXPECT_TRUE(platform.launches.empty());
}

TEST_F(AboutPanelTest, TheTabKeyReachesOnlyThePanelButtonWhileItIsOpen) {
    openAboutPanel();
    EXPECT_EQ(GetFocus(), control(ControlId::btnTovask));
    pressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), control(ControlId::btnTovask));
    pressShiftTab();
    EXPECT_EQ(GetFocus(), control(ControlId::btnTovask));

    pressKey(VK_SPACE);
    EXPECT_FALSE(IsWindowVisible(control(ControlId::Picture1)));
    EXPECT_EQ(GetFocus(), control(ControlId::btnacerca));
    pressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), control(ControlId::Text1));
}

TEST_F(AboutPanelTest, BodyTextIsTheTermsOfUseLineByLine) {
    openAboutPanel();
    const std::wstring text = body();
    EXPECT_TRUE(text.starts_with(L"\r\n"));
    EXPECT_FALSE(text.ends_with(L"\r\n"));
    const std::vector<std::wstring> lines = linesOf(text);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0], L"");
    EXPECT_TRUE(
        lines[1].starts_with(L"La herramientas que contengan este archivo y provistas por "
                             L"los sitios del grupo Kestomar (" +
                             kGap + L"y" + kGap + L") son aplicaciones Freeware"));
    EXPECT_TRUE(lines[1].ends_with(L"en cualquiera de nuestros sitios oficiales."));
    EXPECT_EQ(lines[2], L"");
    EXPECT_EQ(lines[3], L"Soporte y Ayuda.");
    EXPECT_TRUE(lines[4].ends_with(L"pueden acudir por ayuda personalizada en"));
    EXPECT_EQ(lines[5], L"");
    EXPECT_EQ(lines[6], L"Distribución.");
    EXPECT_EQ(lines[9], L"Úsela bajo su responsabilidad.");
    EXPECT_NE(lines[11].find(L"Kestomar"), std::wstring::npos);
    EXPECT_EQ(blankRuns(text), (std::vector<std::size_t>{37, 37}));
}

TEST_F(AboutPanelTest, OpeningAgainRebuildsTheSameBodyText) {
    openAboutPanel();
    const std::wstring first = body();
    click(ControlId::btnacerca);
    EXPECT_EQ(body(), first);
    clickOn(ControlId::btnTovask);
    EXPECT_EQ(body(), first);
    click(ControlId::btnacerca);
    EXPECT_EQ(body(), first);
}

TEST_F(AboutPanelTest, ReopenedPanelHasEveryLabelWhereTheFirstOpeningPutIt) {
    openAboutPanel();
    const ControlId moved[] = {ControlId::LabelInfo1, ControlId::LabelForo1, ControlId::LabelForo2};
    std::vector<RECT> places;
    for (const ControlId id : moved) {
        places.push_back(placeOf(id));
    }
    clickOn(ControlId::btnTovask);
    const RECT panel = placeOf(ControlId::Picture1);
    openAboutPanel();
    const RECT panelAgain = placeOf(ControlId::Picture1);
    EXPECT_TRUE(EqualRect(&panel, &panelAgain));
    for (std::size_t label = 0; label < places.size(); ++label) {
        const RECT again = placeOf(moved[label]);
        EXPECT_TRUE(EqualRect(&again, &places[label])) << controlName(moved[label]);
    }
    const RECT foro3 = placeOf(ControlId::LabelForo3);
    const RECT info2 = placeOf(ControlId::LabelInfo2);
    const RECT foro3Design = designPlace(120, 4650, ControlId::LabelForo3);
    const RECT info2Design = designPlace(120, 4440, ControlId::LabelInfo2);
    EXPECT_TRUE(EqualRect(&foro3, &foro3Design));
    EXPECT_TRUE(EqualRect(&info2, &info2Design));
}

// What the panel looks like at the moment it appears.
struct FirstSight {
    bool seen = false;
    std::wstring caption;
    RECT panel{};
    std::wstring body;
    RECT info1{};
};
FirstSight firstSight;

LRESULT CALLBACK watchShowing(HWND panel, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR) {
    if (message == WM_SHOWWINDOW && wParam != FALSE && !firstSight.seen) {
        HWND window = GetParent(panel);
        firstSight = {true, windowText(window), rectInContainer(panel),
                      windowText(GetDlgItem(panel, static_cast<int>(ControlId::LabelCuerpo))),
                      rectInContainer(GetDlgItem(panel, static_cast<int>(ControlId::LabelInfo1)))};
    }
    return DefSubclassProc(panel, message, wParam, lParam);
}

TEST_F(AboutPanelTest, PanelAppearsOnlyOnceEverythingIsInPlace) {
    firstSight = {};
    ASSERT_TRUE(SetWindowSubclass(control(ControlId::Picture1), watchShowing, 1, 0));
    openAboutPanel();
    RemoveWindowSubclass(control(ControlId::Picture1), watchShowing, 1);
    ASSERT_TRUE(firstSight.seen);
    EXPECT_EQ(firstSight.caption, L"Acerca de Tovask " TOVASK_VERSION_TEXT);
    const RECT panel = placeOf(ControlId::Picture1);
    const RECT info1 = placeOf(ControlId::LabelInfo1);
    EXPECT_TRUE(EqualRect(&firstSight.panel, &panel));
    EXPECT_TRUE(EqualRect(&firstSight.info1, &info1));
    EXPECT_EQ(firstSight.body, body());
}

TEST_F(AboutPanelTest, LinksOverTheBodyTextReceiveThePointerThere) {
    openAboutPanel();
    for (const ControlId link :
         {ControlId::LabelInfo1, ControlId::LabelForo1, ControlId::LabelForo2}) {
        RECT place{};
        GetWindowRect(control(link), &place);
        EXPECT_EQ(WindowFromPoint({(place.left + place.right) / 2, (place.top + place.bottom) / 2}),
                  control(link))
            << controlName(link);
        moveOver(link);
        EXPECT_EQ(textColourOf(link), kOrange) << controlName(link);
    }
}

TEST_F(AboutPanelTest, ExitButtonEndsTheProgramOnceAndAsksNothing) {
    clickOn(ControlId::btnsalir);
    EXPECT_EQ(windowOps.endProgramCalls, 1);
    EXPECT_TRUE(windowOps.messages.empty());
    EXPECT_TRUE(platform.launches.empty());
}

}  // namespace
}  // namespace tovask::ui_test
