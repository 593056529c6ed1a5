#include <gtest/gtest.h>

#include "repair/debuggers/BrowserDebuggers.h"
#include "repair/debuggers/DebuggerKind.h"
#include "repair/debuggers/DebuggerTexts.h"
#include "tests/native/RepairFixture.h"
#include "text/RegistryEncoding.h"

namespace tovask::test {
namespace {

constexpr std::wstring_view kOptions =
    L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\";
constexpr std::wstring_view kOptionsInFile =
    L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution "
    L"Options\\";

struct DebuggerCase {
    std::string name;
    std::wstring_view program;
    std::wstring_view valueName;
    RegistryView view;
    std::wstring place;  // empty: no finding

    friend void PrintTo(const DebuggerCase& c, std::ostream* out) { *out << c.name; }
};

class BrowserDebuggerValues : public testing::TestWithParam<DebuggerCase> {};

TEST_P(BrowserDebuggerValues, AreFoundAndBackedUpWithinReach) {
    const auto& row = GetParam();
    fake::FakePlatform platform;
    platform.registry.twoViews = true;
    const auto key = std::wstring(kOptions) + std::wstring(row.program) + L"\\";
    ASSERT_FALSE(
        platform.RegWriteRaw(key, row.valueName, stringValue(L"C:\\Users\\ana\\x.exe"), row.view));
    FailureLog failures(platform);
    const auto found = findBrowserDebuggers(platform, false, failures);
    EXPECT_TRUE(failures.entries().empty());
    if (row.place.empty()) {
        EXPECT_TRUE(found.empty());
        return;
    }
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].finding.place, row.place);
    EXPECT_TRUE(found[0].finding.repairable);
    EXPECT_TRUE(withinDebuggerReach(found[0].backup, true));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Options, BrowserDebuggerValues,
    testing::Values(
        DebuggerCase{"Chrome64", L"chrome.exe", L"Debugger", RegistryView::Bits64, std::wstring(kOptionsInFile) + L"chrome.exe\\Debugger"},
        DebuggerCase{"EdgeAnyCaseSharedView", L"MSEDGE.EXE", L"debugger", RegistryView::Bits32, std::wstring(kOptionsInFile) + L"msedge.exe\\Debugger"},
        DebuggerCase{"OperaLauncher", L"launcher.exe", L"Debugger", RegistryView::Bits64, std::wstring(kOptionsInFile) + L"launcher.exe\\Debugger"},
        DebuggerCase{"Vivaldi", L"vivaldi.exe", L"Debugger", RegistryView::Bits64, std::wstring(kOptionsInFile) + L"vivaldi.exe\\Debugger"},
        DebuggerCase{"YandexsGenericName", L"browser.exe", L"Debugger", RegistryView::Bits64, std::wstring(kOptionsInFile) + L"browser.exe\\Debugger"},
        DebuggerCase{"EdgeProxy", L"msedge_proxy.exe", L"Debugger", RegistryView::Bits64, std::wstring(kOptionsInFile) + L"msedge_proxy.exe\\Debugger"},
        DebuggerCase{"FirefoxPrivateBrowsing", L"private_browsing.exe", L"Debugger", RegistryView::Bits64, std::wstring(kOptionsInFile) + L"private_browsing.exe\\Debugger"},
        DebuggerCase{"NotABrowser", L"notepad.exe", L"Debugger", RegistryView::Bits64, L""},
        DebuggerCase{"OtherValue", L"firefox.exe", L"GlobalFlag", RegistryView::Bits64, L""}),
    [](const testing::TestParamInfo<DebuggerCase>& info) { return info.param.name; });
// clang-format on

struct FilterCase {
    std::string name;
    std::wstring_view program;
    std::uint32_t useFilter;
    std::wstring_view filterFullPath;
    bool found;

    friend void PrintTo(const FilterCase& c, std::ostream* out) { *out << c.name; }
};

class FilterDebuggerValues : public testing::TestWithParam<FilterCase> {};

TEST_P(FilterDebuggerValues, AreFoundWhenTheFilterNamesTheBrowser) {
    const auto& row = GetParam();
    fake::FakePlatform platform;
    const auto key = std::wstring(kOptions) + std::wstring(row.program) + L"\\";
    platform.RegWrite(key + L"UseFilter", static_cast<std::int32_t>(row.useFilter),
                      RegistryType::Dword);
    platform.RegWrite(key + L"Filtro\\FilterFullPath", row.filterFullPath, RegistryType::String);
    platform.RegWrite(key + L"Filtro\\Debugger", L"C:\\x.exe", RegistryType::String);
    FailureLog failures(platform);
    const auto found = findBrowserDebuggers(platform, false, failures);
    ASSERT_EQ(found.size(), row.found ? 1u : 0u);
    if (row.found) {
        EXPECT_EQ(found[0].finding.place,
                  std::wstring(kOptionsInFile) + std::wstring(row.program) + L"\\Filtro\\Debugger");
        EXPECT_TRUE(withinDebuggerReach(found[0].backup, false));
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Filters, FilterDebuggerValues,
    testing::Values(
        FilterCase{"BrowserFolder", L"chrome.exe", 1, L"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe", true},
        FilterCase{"AnyCaseAnyFolder", L"chrome.exe", 2, L"d:\\portable\\CHROME.EXE", true},
        FilterCase{"UseFilterOff", L"chrome.exe", 0, L"C:\\Chrome\\chrome.exe", false},
        FilterCase{"OtherImage", L"chrome.exe", 1, L"C:\\Chrome\\chrome_proxy.exe", false},
        FilterCase{"OperaGxLauncher", L"launcher.exe", 1, L"C:\\Users\\u\\AppData\\Local\\Programs\\Opera GX\\launcher.exe", true},
        FilterCase{"OtherLauncher", L"launcher.exe", 1, L"C:\\Juegos\\launcher.exe", false}),
    [](const testing::TestParamInfo<FilterCase>& info) { return info.param.name; });
// clang-format on

TEST(FilterDebuggerValues, AreOfTheBrowserTheFiltersPathNames) {
    fake::FakePlatform platform;
    const auto key = std::wstring(kOptions) + L"chrome.exe\\";
    platform.RegWrite(key + L"UseFilter", 1, RegistryType::Dword);
    platform.RegWrite(key + L"F\\FilterFullPath",
                      L"C:\\Users\\u\\AppData\\Local\\Chromium\\Application\\chrome.exe",
                      RegistryType::String);
    platform.RegWrite(key + L"F\\Debugger", L"C:\\x.exe", RegistryType::String);
    FailureLog failures(platform);
    const auto found = findBrowserDebuggers(platform, false, failures);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].finding.group, L"Chromium");
    EXPECT_EQ(found[0].finding.title.what, texts::kInsteadOfChromium);
}

TEST(BrowserDebuggerValues, AreReportOnlyOnAManagedMachine) {
    fake::FakePlatform platform;
    platform.RegWrite(std::wstring(kOptions) + L"brave.exe\\Debugger", L"x.exe",
                      RegistryType::String);
    FailureLog failures(platform);
    const auto found = findBrowserDebuggers(platform, true, failures);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_FALSE(found[0].finding.repairable);
}

TEST(BrowserDebuggerValues, OneUnreadableKeyIsAFailureAndTheOthersAreRead) {
    fake::FakePlatform platform;
    platform.RegWrite(std::wstring(kOptions) + L"opera.exe\\Debugger", L"x.exe",
                      RegistryType::String);
    platform.failWhere("RegReadValue", std::wstring(kOptions) + L"chrome.exe",
                       std::make_error_code(std::errc::permission_denied));
    FailureLog failures(platform);
    EXPECT_EQ(findBrowserDebuggers(platform, false, failures).size(), 1u);
    EXPECT_EQ(failures.entries().size(), 1u);
}

TEST(BrowserDebuggerValues, CheckRepairCheckAndUndoPutTheValueBack) {
    RepairBench bench;
    bench.platform.registry.twoViews = true;
    bench.platform.registry.addKeysEveryWindowsHas();
    const auto key = std::wstring(kOptions) + L"msedge.exe\\";
    ASSERT_FALSE(bench.platform.RegWriteRaw(key, L"Debugger", stringValue(L"C:\\x\\y.exe"),
                                            RegistryView::Bits32));
    bench.platform.RegWrite(key + L"UseFilter", 1, RegistryType::Dword);
    bench.platform.RegWrite(key + L"F\\FilterFullPath", L"C:\\E\\msedge.exe", RegistryType::String);
    bench.platform.RegWrite(key + L"F\\Debugger", L"C:\\x\\z.exe", RegistryType::String);
    const auto before = bench.platform.registry.snapshot();
    bench.load();
    bench.view.repairFindings = true;
    ASSERT_EQ(bench.check(), RunOutcome::RepairNeeded);
    bench.press();
    EXPECT_TRUE(bench.errorLines().empty());
    EXPECT_TRUE(anyLineHas(bench.view.lines, L"Suplantación del navegador quitada: "));
    EXPECT_FALSE(bench.platform.registry.value(key + L"F\\Debugger"));
    EXPECT_TRUE(bench.platform.registry.value(key + L"F\\FilterFullPath"));
    EXPECT_EQ(bench.check(), RunOutcome::Done);
    bench.undo();
    EXPECT_EQ(bench.platform.registry.snapshot(), before);
    EXPECT_TRUE(bench.platform.RegReadValue(key + L"Debugger", RegistryView::Bits64).ok());
}

struct ReachCase {
    std::string name;
    RegistryFileSection section;
    bool within;

    friend void PrintTo(const ReachCase& c, std::ostream* out) { *out << c.name; }
};

class DebuggerBackupReach : public testing::TestWithParam<ReachCase> {};

TEST_P(DebuggerBackupReach, CoversOnlyABrowsersDebugger) {
    EXPECT_EQ(withinDebuggerReach(GetParam().section, true), GetParam().within);
}

const RegistryFileEntry kDebuggerEntry{L"Debugger", stringValue(L"x.exe")};

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Sections, DebuggerBackupReach,
    testing::Values(
        ReachCase{"Browser", {std::wstring(kOptionsInFile) + L"chrome.exe", false, {kDebuggerEntry}}, true},
        ReachCase{"YandexsProgram", {std::wstring(kOptionsInFile) + L"browser.exe", false, {kDebuggerEntry}}, true},
        ReachCase{"OtherProgram", {std::wstring(kOptionsInFile) + L"sethc.exe", false, {kDebuggerEntry}}, false},
        ReachCase{"OtherValue", {std::wstring(kOptionsInFile) + L"chrome.exe", false, {{L"GlobalFlag", std::nullopt}}}, false},
        ReachCase{"FilterSubkey", {std::wstring(kOptionsInFile) + L"chrome.exe\\Filtro", false, {kDebuggerEntry}}, true},
        ReachCase{"Deeper", {std::wstring(kOptionsInFile) + L"chrome.exe\\Filtro\\Otro", false, {kDebuggerEntry}}, false},
        ReachCase{"BelowOtherProgram", {std::wstring(kOptionsInFile) + L"sethc.exe\\chrome.exe", false, {kDebuggerEntry}}, false},
        ReachCase{"UserHive", {L"HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\chrome.exe", false, {kDebuggerEntry}}, false}),
    [](const testing::TestParamInfo<ReachCase>& info) { return info.param.name; });
// clang-format on

}  // namespace
}  // namespace tovask::test
