#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/Win32Platform.h"
#include "tests/win32/TestFolder.h"

// What the window offers to open after a repair, the desktop's shell starts.
namespace tovask {
namespace {

std::wstring commandInterpreter() {
    wchar_t system[MAX_PATH] = {};
    return std::wstring(system, GetSystemDirectoryW(system, MAX_PATH)) + L"\\cmd.exe";
}

TEST(DesktopStartTest, TheDesktopsShellRunsTheProgramWithItsArguments) {
    const testsupport::TestFolder folder;
    const auto written = folder.path(L"started.txt");
    const auto arguments = L"/c echo started> \"" + written + L"\"";
    Win32Platform platform;

    // The desktop's shell of a new Wine session may still be starting when
    // the test's first window brings it up.
    auto error = platform.StartAsDesktopUser(commandInterpreter(), arguments);
    for (int attempt = 0; attempt < 200 && error; ++attempt) {
        Sleep(100);
        error = platform.StartAsDesktopUser(commandInterpreter(), arguments);
    }
    // A prefix Wine has just made may register no shell windows for a while
    // (REGDB_E_KEYMISSING); the call then fails cleanly, which is all there
    // is to see.
    if (error.value() == static_cast<int>(0x80040152)) {
        GTEST_SKIP() << "this prefix's desktop shell lists no windows yet";
    }

    ASSERT_FALSE(error) << error.message() << " (" << std::hex << error.value() << ")";
    // The interpreter writes the line in more than one piece.
    for (int attempt = 0; attempt < 300 && testsupport::readBytes(written) != "started\r\n";
         ++attempt) {
        Sleep(100);
    }
    EXPECT_EQ(testsupport::readBytes(written), "started\r\n");
}

}  // namespace
}  // namespace tovask
