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
