#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <string>

#include "platform/win32/Win32Platform.h"
#include "tests/win32/TestNames.h"
#include "tests/win32/TestWindows.h"

// Exported by user32 but left out of the MinGW headers.
extern "C" __declspec(dllimport) BOOL WINAPI SetShellWindow(HWND window);

namespace tovask {
namespace {

using testsupport::TestWindowClass;

bool endsWithIgnoringCase(std::wstring_view text, std::wstring_view end) {
    return text.size() >= end.size() &&
           std::equal(end.begin(), end.end(), text.end() - static_cast<std::ptrdiff_t>(end.size()),
                      [](wchar_t a, wchar_t b) { return std::towlower(a) == std::towlower(b); });
}

TEST(SpecialFolderTest, WindowsFolderIsAnExistingFolderWithoutTrailingBackslash) {
    Win32Platform platform;
    const auto windows = platform.GetSpecialFolder(SpecialFolder::Windows);
    ASSERT_TRUE(windows.ok()) << windows.error().message();

    EXPECT_FALSE(windows.value().ends_with(L'\\'));
    EXPECT_TRUE(std::filesystem::is_directory(windows.value()));
}

TEST(SpecialFolderTest, SystemFolderIsTheRealSystem32InsideWindowsFolder) {
    Win32Platform platform;
    const auto windows = platform.GetSpecialFolder(SpecialFolder::Windows);
    const auto system = platform.GetSpecialFolder(SpecialFolder::System);
    ASSERT_TRUE(windows.ok() && system.ok());

    // Under WOW64 the 32-bit view of this folder is SysWOW64; the HOSTS path
    // is built from the name System32 all the same.
    EXPECT_TRUE(system.value().starts_with(windows.value() + L"\\"));
    EXPECT_TRUE(endsWithIgnoringCase(system.value(), L"\\system32"));
    EXPECT_TRUE(std::filesystem::is_directory(system.value()));
}

TEST(FindWindowTest, FindsTopLevelWindowOfClassUntilItIsGone) {
    Win32Platform platform;
    const TestWindowClass frame(L"IEFrame-" + testsupport::uniqueTestName());
    auto window = frame.createWindow();
    ASSERT_TRUE(window);

    EXPECT_EQ(platform.FindWindowA(frame.name()), reinterpret_cast<std::uintptr_t>(window.get()));
    window.reset();
    EXPECT_EQ(platform.FindWindowA(frame.name()), 0u);
}

TEST(FindWindowTest, ClassThatNobodyRegisteredGivesZero) {
    Win32Platform platform;
    EXPECT_EQ(platform.FindWindowA(L"Unregistered-" + testsupport::uniqueTestName()), 0u);
}

TEST(DescribeErrorTest, GivesTheSystemTextWithoutLineBreak) {
    Win32Platform platform;
    const std::error_code cases[] = {
        std::error_code(ERROR_ACCESS_DENIED, std::system_category()),
        std::error_code(ERROR_SHARING_VIOLATION, std::system_category()),
        std::make_error_code(std::errc::no_such_file_or_directory),
        std::make_error_code(std::errc::invalid_argument),
        std::error_code(0x7fff1234, std::system_category()),
    };
    for (const auto& error : cases) {
        SCOPED_TRACE(error.message());
        const auto text = platform.DescribeError(error);
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(text.find_last_not_of(L"\r\n \t"), text.size() - 1);
    }
}

TEST(DescribeErrorTest, OwnNotFoundReadsAsTheSystemsFileNotFound) {
    Win32Platform platform;
    EXPECT_EQ(
        platform.DescribeError(std::make_error_code(std::errc::no_such_file_or_directory)),
        platform.DescribeError(std::error_code(ERROR_FILE_NOT_FOUND, std::system_category())));
    EXPECT_NE(
        platform.DescribeError(std::error_code(ERROR_ACCESS_DENIED, std::system_category())),
        platform.DescribeError(std::error_code(ERROR_FILE_NOT_FOUND, std::system_category())));
}

TEST(UserSidTest, ProgramUserIsAnAccountOfThisSystem) {
    Win32Platform platform;
    const auto sid = platform.ProgramUserSid();
    ASSERT_TRUE(sid.ok()) << sid.error().message();
    EXPECT_TRUE(sid.value().starts_with(L"S-1-5-")) << testing::PrintToString(sid.value());
}

// Wine's desktop process sets no shell window, unlike Windows' Explorer.
TEST(UserSidTest, WithoutShellWindowTheDesktopUserIsNotFound) {
    Win32Platform platform;
    ASSERT_EQ(GetShellWindow(), nullptr);
    EXPECT_TRUE(isNotFound(platform.DesktopUserSid().error()));
}

TEST(UserSidTest, DesktopUserIsTheOwnerOfTheShellWindow) {
    Win32Platform platform;
    const TestWindowClass shellClass(testsupport::uniqueTestName());
    auto shell = shellClass.createWindow();
    ASSERT_TRUE(SetShellWindow(shell.get()));

    const auto desktop = platform.DesktopUserSid();
    shell.reset();

    ASSERT_TRUE(desktop.ok()) << desktop.error().message();
    EXPECT_EQ(desktop.value(), platform.ProgramUserSid().value());
    EXPECT_EQ(GetShellWindow(), nullptr);
}

TEST(ExpandEnvironmentTest, ReplacesSetVariablesOnly) {
    Win32Platform platform;
    const auto system = platform.GetSpecialFolder(SpecialFolder::System);
    const auto windows = platform.GetSpecialFolder(SpecialFolder::Windows);
    ASSERT_TRUE(system.ok() && windows.ok());
    std::wstring manyFolders;
    std::wstring manyReferences;
    // Far longer than a path, so that the first buffer is too small.
    for (int i = 0; i < 100; ++i) {
        manyFolders += windows.value() + L";";
        manyReferences += L"%SystemRoot%;";
    }

    const auto expanded = platform.ExpandEnvironment(L"%SystemRoot%\\System32");
    ASSERT_TRUE(expanded.ok()) << expanded.error().message();
    EXPECT_EQ(_wcsicmp(expanded.value().c_str(), system.value().c_str()), 0);
    EXPECT_EQ(platform.ExpandEnvironment(manyReferences).value(), manyFolders);
    EXPECT_EQ(platform.ExpandEnvironment(L"%TovaskUnset%\\x").value(), L"%TovaskUnset%\\x");
    EXPECT_EQ(platform.ExpandEnvironment(L"").value(), L"");
}

TEST(FlushDnsCacheTest, Succeeds) {
    Win32Platform platform;
    EXPECT_FALSE(platform.FlushDnsCache());
}

}  // namespace
}  // namespace tovask
