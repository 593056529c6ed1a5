#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "Version.h"
#include "tests/ui/FormFixture.h"

namespace tovask::ui_test {
namespace {

TEST_F(FormTest, StartUpInitialisesTheCommonControlsFirstAndOnce) {
    ASSERT_FALSE(platform.calls.empty());
    EXPECT_EQ(windowOps.platformCallsBeforeInit, 0u);
    EXPECT_EQ(windowOps.initCommonControlsCalls, 1);
}

TEST_F(FormTest, LoadStepFindsTheFoldersThenWritesTheIntroductoryTexts) {
    const auto folderLookups = std::ranges::count(platform.calls, std::string("GetSpecialFolder"),
                                                  &fake::RecordedCall::operation);
    EXPECT_EQ(folderLookups, 2);
    EXPECT_EQ(windowText(control(ControlId::Label1)),
              L"Bienvenido a Tovask " TOVASK_VERSION_TEXT
              L". Antes de comenzar, cierre todos los programas, en especial el navegador "
              L"Internet Explorer");
    EXPECT_EQ(windowText(control(ControlId::Label2)),
              L"Se recomienda utilizar la herramienta en modo a prueba de fallos (Modo seguro)");
}

// The welcome text needs two lines of its label: it wraps instead of being
// cut off at the label's right edge.
TEST_F(FormTest, WelcomeTextWrapsOntoASecondLine) {
    HWND label = control(ControlId::Label1);
    const std::wstring text = windowText(label);
    RECT area{};
    GetClientRect(label, &area);
    HDC dc = GetDC(label);
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    RECT needed = area;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(label, dc);
    EXPECT_EQ(needed.bottom / metrics.tmHeight, 2);
    EXPECT_LE(needed.bottom, area.bottom);
    EXPECT_EQ(GetWindowLongPtrW(label, GWL_STYLE) & SS_TYPEMASK, SS_LEFT);
}

TEST_F(FormTest, StartsWithEmptyBoxListAndDetailsAndTheHiddenPanel) {
    EXPECT_EQ(windowText(control(ControlId::Text1)), L"");
    EXPECT_TRUE(listLines().empty());
    EXPECT_EQ(windowText(control(ControlId::LabelDetalles)), L"");
    EXPECT_FALSE(IsWindowVisible(control(ControlId::Picture1)));
    EXPECT_TRUE(IsWindowVisible(form.window()));
    EXPECT_TRUE(windowOps.messages.empty());
}

// Like a dialog, the window puts the focus back where it was after another
// window, such as a message box, had it.
TEST_F(FormTest, FocusComesBackToItsControlAfterAnotherWindow) {
    SetFocus(control(ControlId::btndeshacer));
    HWND other = CreateWindowExW(0, L"Static", L"otra", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetActiveWindow(other);
    pumpMessages();
    DestroyWindow(other);
    SetActiveWindow(form.window());
    pumpMessages();
    EXPECT_EQ(GetFocus(), control(ControlId::btndeshacer));
}

TEST_F(FormTest, ClosingTheWindowEndsTheMessageLoop) {
    SendMessageW(form.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(form.window(), nullptr);
    MSG message{};
    bool quitPosted = false;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        quitPosted = quitPosted || message.message == WM_QUIT;
    }
    EXPECT_TRUE(quitPosted);
}

}  // namespace
}  // namespace tovask::ui_test
