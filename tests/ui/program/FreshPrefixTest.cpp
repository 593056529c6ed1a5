// The detection and remediation pair of a fleet on a Windows as it is
// installed: a Wine prefix made for this test alone.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/ui/ProgramRun.h"
#include "tests/win32/TestFolder.h"

namespace tovask::testsupport {
namespace {

constexpr wchar_t kChromePolicy[] = L"SOFTWARE\\Policies\\Google\\Chrome";
constexpr wchar_t kMain[] = L"Software\\Microsoft\\Internet Explorer\\Main";

std::size_t linesWith(const std::vector<std::string>& lines, std::string_view part) {
    return static_cast<std::size_t>(std::ranges::count_if(
        lines, [&](const std::string& line) { return line.find(part) != std::string::npos; }));
}

// Wine's own start, search and default pages are a third party's addresses,
// which count; Windows ships its own instead.
void removeWinePages() {
    for (const auto* name : {L"Start Page", L"Search Page"}) {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kMain, name);
    }
    for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMain, 0, KEY_SET_VALUE | view, &key) ==
            ERROR_SUCCESS) {
            RegDeleteValueW(key, L"Default_Page_URL");
            RegCloseKey(key);
        }
    }
}

void setChromeHomepage() {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kChromePolicy, 0, nullptr, 0,
                              KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    constexpr wchar_t kPage[] = L"http://buscar.example";
    RegSetValueExW(key, L"HomepageLocation", 0, REG_SZ, reinterpret_cast<const BYTE*>(kPage),
                   sizeof kPage);
    RegCloseKey(key);
}

// The real System32, seen from a test built for either Windows.
std::wstring realSystemFolder() {
    wchar_t windows[MAX_PATH] = {};
    const std::wstring folder(windows, GetWindowsDirectoryW(windows, MAX_PATH));
    BOOL redirected = FALSE;
    IsWow64Process(GetCurrentProcess(), &redirected);
    return folder + (redirected ? L"\\Sysnative" : L"\\System32");
}

std::wstring utf16Of(const std::string& bytes) {
    return {reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t)};
}

TEST(FreshPrefix, HealthyUntilAMachinePolicyWhichIsListedBackedUpAndRepairedOnce) {
    const TestFolder folder;
    ProgramRuns run(folder);
    const auto& lines = run.lines();
    removeWinePages();
    EXPECT_EQ(run(L"/check /all"), 0) << testing::PrintToString(lines);
    EXPECT_EQ(linesWith(lines, "se escribir"), 1u);

    setChromeHomepage();
    EXPECT_EQ(run(L"/check /all"), 1) << testing::PrintToString(lines);
    EXPECT_EQ(linesWith(lines, "Google\\Chrome"), 1u) << testing::PrintToString(lines);
    EXPECT_EQ(linesWith(lines, "Entradas por reparar: 1"), 1u);

    // Written where it says, from the 32-bit program too, whose own view of
    // System32 is SysWOW64.
    const auto log = realSystemFolder() + L"\\tovask-prueba.log";
    DeleteFileW(log.c_str());
    EXPECT_EQ(run(L"/repair /all /log:C:\\windows\\system32\\tovask-prueba.log"), 0)
        << testing::PrintToString(lines);
    EXPECT_NE(GetFileAttributesW(log.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileW(log.c_str());
    const auto backup =
        utf16Of(readBytes(realSystemFolder() + L"\\drivers\\etc\\BackupRegistro.reg"));
    const auto sections = [&](std::wstring_view key) {
        std::size_t found = 0;
        for (auto at = backup.find(key); at != std::wstring::npos; at = backup.find(key, at + 1)) {
            ++found;
        }
        return found;
    };
    EXPECT_EQ(sections(L"\\Policies\\Google\\Chrome]"), 1u);
    EXPECT_EQ(sections(L"WOW6432Node\\Policies"), 0u);
    EXPECT_EQ(run(L"/check /all"), 0) << testing::PrintToString(lines);
}

}  // namespace
}  // namespace tovask::testsupport
