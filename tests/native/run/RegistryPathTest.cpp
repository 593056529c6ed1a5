#include "text/RegistryPath.h"

#include <gtest/gtest.h>

namespace tovask {
namespace {

struct PathCase {
    std::wstring_view text;
    RegistryRoot root;
    std::wstring_view key;
    std::wstring_view valueName;
    bool namesKey;

    friend void PrintTo(const PathCase& path, std::ostream* out) {
        *out << testing::PrintToString(std::wstring(path.text));
    }
};

class RegistryPathForms : public testing::TestWithParam<PathCase> {};

TEST_P(RegistryPathForms, TakesPathApart) {
    const auto& expected = GetParam();
    const auto parsed = parseRegistryPath(expected.text);
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed.value().root, expected.root);
    EXPECT_EQ(parsed.value().key, expected.key);
    EXPECT_EQ(parsed.value().valueName, expected.valueName);
    EXPECT_EQ(parsed.value().namesKey, expected.namesKey);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, RegistryPathForms,
    testing::Values(
        PathCase{L"HKCU\\Software\\SearchUrl\\", RegistryRoot::CurrentUser, L"Software\\SearchUrl",
                 L"", true},
        PathCase{L"HKLM\\Software\\Search\\SearchAssistant ", RegistryRoot::LocalMachine,
                 L"Software\\Search", L"SearchAssistant ", false},
        PathCase{L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Shell",
                 RegistryRoot::LocalMachine,
                 L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", L"Shell", false},
        PathCase{L"hkcu\\Key\\Main\\window Title", RegistryRoot::CurrentUser, L"Key\\Main",
                 L"window Title", false},
        PathCase{L"HKCU\\Hooks\\{CFBFAE00-17A6-11D0-99CB-00C04FD64497}", RegistryRoot::CurrentUser,
                 L"Hooks", L"{CFBFAE00-17A6-11D0-99CB-00C04FD64497}", false}));

TEST(RegistryPathRejects, PathsWithoutRootOrKey) {
    for (const std::wstring_view text :
         {L"", L"HKCU", L"HKCR\\Software\\Value", L"HKEY_USERS\\x\\", L"HKCU\\Value", L"HKCU\\\\",
          L"HKCU\\\\Value", L"HKCU\\a\\\\b\\", L"HKCU\\a\\\\"}) {
        const auto parsed = parseRegistryPath(text);
        EXPECT_FALSE(parsed.ok()) << std::string(text.begin(), text.end());
        EXPECT_EQ(parsed.error(), std::errc::invalid_argument);
    }
}

struct SharedKeyCase {
    std::string name;
    std::wstring_view key;  // below HKLM
    bool shared;

    friend void PrintTo(const SharedKeyCase& key, std::ostream* out) { *out << key.name; }
};

class SharedKey : public testing::TestWithParam<SharedKeyCase> {};

TEST_P(SharedKey, IsReadInOneViewOnlyWhenWindowsSharesIt) {
    const auto views = viewsFor(RegistryRoot::LocalMachine, GetParam().key, true);
    EXPECT_EQ(views.size(), GetParam().shared ? 1u : 2u);
    EXPECT_EQ(views.back(), RegistryView::Bits64);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Keys, SharedKey, testing::Values(
    SharedKeyCase{"Policies", L"SOFTWARE\\Policies", true},
    SharedKeyCase{"PolicyBelowIt", L"Software\\policies\\Google\\Chrome\\Recommended", true},
    SharedKeyCase{"WindowsPolicies", L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer", true},
    SharedKeyCase{"GroupPolicy", L"Software\\Microsoft\\Windows\\CurrentVersion\\Group Policy", true},
    SharedKeyCase{"ProfileList", L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-18", true},
    SharedKeyCase{"ImageFileExecutionOptions", L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\iexplore.exe", true},
    SharedKeyCase{"SystemCertificates", L"SOFTWARE\\Microsoft\\SystemCertificates\\Root", true},
    SharedKeyCase{"ClassesFileType", L"SOFTWARE\\Classes\\.htm", true},
    SharedKeyCase{"ClassesClsid", L"SOFTWARE\\Classes\\CLSID\\{0002DF01-0000-0000-C000-000000000046}", false},
    SharedKeyCase{"InternetExplorer", L"Software\\Microsoft\\Internet Explorer\\Main", false},
    SharedKeyCase{"Winlogon", L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", false},
    SharedKeyCase{"ZoneMap", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\ProtocolDefaults", false},
    SharedKeyCase{"NameThatOnlyStartsAlike", L"Software\\PoliciesBackup", false},
    SharedKeyCase{"Enrollments", L"SOFTWARE\\Microsoft\\Enrollments", false}),
    [](const auto& info) { return info.param.name; });
// clang-format on

TEST(SharedKey, UsersKeysAndASingleViewWindowsHaveTheDefaultViewOnly) {
    EXPECT_EQ(viewsFor(RegistryRoot::CurrentUser, L"Software\\Policies", true).front(),
              RegistryView::Default);
    EXPECT_EQ(viewsFor(RegistryRoot::LocalMachine, L"Software\\Policies", false).front(),
              RegistryView::Default);
}

TEST(DwordConversion, TakesIntegersAndDecimalTexts) {
    EXPECT_EQ(toDword(std::int32_t{3}).value(), 3u);
    EXPECT_EQ(toDword(std::wstring_view(L"00000000")).value(), 0u);
    EXPECT_EQ(toDword(std::wstring_view(L"4294967295")).value(), 4294967295u);
    for (const std::wstring_view text : {L"", L"4294967296", L"12a", L" 1", L"-1", L"0x10"}) {
        EXPECT_FALSE(toDword(text).ok()) << std::string(text.begin(), text.end());
    }
}

}  // namespace
}  // namespace tovask
