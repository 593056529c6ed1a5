#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "app/window/WindowOps.h"
#include "tests/win32/TestNames.h"
#include "tests/win32/TestWindows.h"

// The window's message box and its end of the program on the real system.
namespace tovask {
namespace {

using testsupport::TestWindowClass;

// What a second thread saw of the message box before it pressed OK.
struct SeenMessageBox {
    bool found = false;
    std::vector<std::wstring> texts;
    HWND owner = nullptr;
    bool windowEnabledMeanwhile = true;
};

BOOL CALLBACK collectText(HWND child, LPARAM texts) {
    wchar_t text[512] = {};
    GetWindowTextW(child, text, 512);
    reinterpret_cast<std::vector<std::wstring>*>(texts)->push_back(text);
    return TRUE;
}

// Waits for the box titled so, looks at it and at the program's window,
// then presses OK for the user.
SeenMessageBox answerMessageBox(const std::wstring& title, HWND programWindow) {
    SeenMessageBox seen;
    for (int attempt = 0; attempt < 600 && !seen.found; ++attempt) {
        const HWND box = FindWindowW(L"#32770", title.c_str());
        if (box == nullptr) {
            Sleep(100);
            continue;
        }
        seen.found = true;
        EnumChildWindows(box, collectText, reinterpret_cast<LPARAM>(&seen.texts));
        seen.owner = GetWindow(box, GW_OWNER);
        seen.windowEnabledMeanwhile = IsWindowEnabled(programWindow);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    return seen;
}

class ShowMessageTest : public ::testing::Test {
  protected:
    SeenMessageBox showAndAnswer(HWND programWindow) {
        SeenMessageBox seen;
        std::thread user([&] { seen = answerMessageBox(title_, programWindow); });
        const auto error = windowOps_.ShowMessage(kPrompt, app::MessageStyle::Information, title_);
        user.join();
        EXPECT_FALSE(error) << error.message();
        return seen;
    }

    static constexpr const wchar_t* kPrompt = L"Internet Explorer desbloqueado \u00e9xito";
    app::Win32WindowOps windowOps_;
    const std::wstring title_ = L"Finalizado " + testsupport::uniqueTestName();
    const TestWindowClass windowClass_{testsupport::uniqueTestName()};
};

TEST_F(ShowMessageTest, BoxBelongsToActiveWindowAndBlocksItUntilAnswered) {
    const auto window = windowClass_.createWindow();
    ShowWindow(window.get(), SW_SHOW);
    SetActiveWindow(window.get());

    const auto seen = showAndAnswer(window.get());

    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.owner, window.get());
    EXPECT_FALSE(seen.windowEnabledMeanwhile);
    EXPECT_TRUE(IsWindowEnabled(window.get()));
    EXPECT_NE(std::ranges::find(seen.texts, kPrompt), seen.texts.end());
}

TEST_F(ShowMessageTest, WithoutActiveWindowEveryWindowOfTheProgramIsBlocked) {
    const auto hidden = windowClass_.createWindow();
    ASSERT_EQ(GetActiveWindow(), nullptr);

    const auto seen = showAndAnswer(hidden.get());

    ASSERT_TRUE(seen.found);
    EXPECT_FALSE(seen.windowEnabledMeanwhile);
    EXPECT_TRUE(IsWindowEnabled(hidden.get()));
}

TEST(EndProgramTest, EndsTheProcessAtOnceWithExitCodeZero) {
    app::Win32WindowOps windowOps;
    EXPECT_EXIT(windowOps.EndProgram(), testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace tovask
