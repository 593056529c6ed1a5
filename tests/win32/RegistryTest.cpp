#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "tests/win32/TestNames.h"
#include "tests/win32/TestRegistry.h"

namespace tovask {
namespace {

using testsupport::dwordValue;
using testsupport::keyExists;
using testsupport::readValue;
using testsupport::StoredValue;
using testsupport::stringValue;

const std::error_code kInvalid = std::make_error_code(std::errc::invalid_argument);

// Every test works below its own key, under both roots, removed afterwards
// from both registry views.
class RegistryTest : public ::testing::Test {
  protected:
    void TearDown() override {
        testsupport::removeKeyEverywhere(HKEY_CURRENT_USER, key_);
        testsupport::removeKeyEverywhere(HKEY_LOCAL_MACHINE, key_);
    }

    // "HKCU\Software\<test key>\<rest>" and the like.
    std::wstring path(std::wstring_view root, std::wstring_view rest) const {
        return std::wstring(root) + L"\\" + key_ + L"\\" + std::wstring(rest);
    }
    std::wstring key(std::wstring_view rest) const { return key_ + L"\\" + std::wstring(rest); }

    Win32Platform platform_;
    const std::wstring key_ = L"Software\\" + testsupport::uniqueTestName();
};

struct WriteCase {
    const wchar_t* path;
    RegistryData data;
    RegistryType type;
    const wchar_t* key;
    const wchar_t* valueName;
    StoredValue expected;
};

TEST_F(RegistryTest, EachPathFormStoresWhereItPoints) {
    const std::vector<WriteCase> cases = {
        {L"Main\\", L"Blank page", RegistryType::String, L"Main", L"", stringValue(L"Blank page")},
        {L"Main\\Start Page", L"http://www.example.com/", RegistryType::String, L"Main",
         L"Start Page", stringValue(L"http://www.example.com/")},
        {L"Main\\Empty", L"", RegistryType::String, L"Main", L"Empty", stringValue(L"")},
        {L"Deep\\Missing\\Keys\\Value", L"created", RegistryType::String, L"Deep\\Missing\\Keys",
         L"Value", stringValue(L"created")},
        {L"Texts\\P\u00e1gina", L"http://\u4f8b.example/\u00f1?q={SUB_RFC1766}%1",
         RegistryType::String, L"Texts", L"P\u00e1gina",
         stringValue(L"http://\u4f8b.example/\u00f1?q={SUB_RFC1766}%1")},
        {L"Texts\\Number", std::int32_t{3}, RegistryType::String, L"Texts", L"Number",
         stringValue(L"3")},
        {L"Numbers\\Zero text", L"00000000", RegistryType::Dword, L"Numbers", L"Zero text",
         dwordValue(0)},
        {L"Numbers\\Largest text", L"4294967295", RegistryType::Dword, L"Numbers", L"Largest text",
         dwordValue(4294967295u)},
        {L"Numbers\\Zero", std::int32_t{0}, RegistryType::Dword, L"Numbers", L"Zero",
         dwordValue(0)},
        {L"Numbers\\One", std::int32_t{1}, RegistryType::Dword, L"Numbers", L"One", dwordValue(1)},
        {L"Numbers\\Three", std::int32_t{3}, RegistryType::Dword, L"Numbers", L"Three",
         dwordValue(3)},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.path)));
        EXPECT_FALSE(platform_.RegWrite(path(L"HKCU", row.path), row.data, row.type));
        EXPECT_EQ(readValue(HKEY_CURRENT_USER, key(row.key), row.valueName), row.expected);
    }
}

TEST_F(RegistryTest, TrailingBlankNamesAnotherValue) {
    ASSERT_FALSE(platform_.RegWrite(path(L"HKCU", L"Main\\SearchAssistant "), L"with blank",
                                    RegistryType::String));
    ASSERT_FALSE(platform_.RegWrite(path(L"HKCU", L"Main\\SearchAssistant"), L"without",
                                    RegistryType::String));

    EXPECT_EQ(readValue(HKEY_CURRENT_USER, key(L"Main"), L"SearchAssistant "),
              stringValue(L"with blank"));
    EXPECT_EQ(readValue(HKEY_CURRENT_USER, key(L"Main"), L"SearchAssistant"),
              stringValue(L"without"));
}

TEST_F(RegistryTest, SecondWriteReplacesValueAndType) {
    const auto target = path(L"HKCU", L"Main\\Setting");
    ASSERT_FALSE(platform_.RegWrite(target, L"yes", RegistryType::String));
    ASSERT_FALSE(platform_.RegWrite(target, std::int32_t{1}, RegistryType::Dword));

    EXPECT_EQ(readValue(HKEY_CURRENT_USER, key(L"Main"), L"Setting"), dwordValue(1));
}

TEST_F(RegistryTest, PathsWithoutRootOrKeyAreRefused) {
    for (const wchar_t* bad : {L"HKCR\\x\\y", L"HKCU\\name", L"HKCU\\", L"HKCU\\\\name",
                               L"HKCU\\a\\\\b", L"HKLM", L""}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(bad)));
        EXPECT_EQ(platform_.RegWrite(bad, L"x", RegistryType::String), kInvalid);
        EXPECT_EQ(platform_.RegDelete(bad), kInvalid);
    }
}

TEST_F(RegistryTest, DwordFromTextThatIsNoNumberIsRefusedAndWritesNothing) {
    for (const wchar_t* text : {L"abc", L"12a", L"", L" 1", L"-1", L"4294967296"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(text)));
        EXPECT_EQ(platform_.RegWrite(path(L"HKCU", L"Numbers\\Bad"), text, RegistryType::Dword),
                  kInvalid);
        EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, key(L"Numbers")));
    }
}

TEST_F(RegistryTest, DeletingValueLeavesItsKeyAndNeighbours) {
    ASSERT_FALSE(platform_.RegWrite(path(L"HKCU", L"Main\\Gone"), L"a", RegistryType::String));
    ASSERT_FALSE(platform_.RegWrite(path(L"HKCU", L"Main\\Kept"), L"b", RegistryType::String));

    EXPECT_FALSE(platform_.RegDelete(path(L"HKCU", L"Main\\Gone")));

    EXPECT_EQ(readValue(HKEY_CURRENT_USER, key(L"Main"), L"Gone"), std::nullopt);
    EXPECT_EQ(readValue(HKEY_CURRENT_USER, key(L"Main"), L"Kept"), stringValue(L"b"));
}

TEST_F(RegistryTest, DeletingKeyRemovesItsWholeSubtree) {
    for (const wchar_t* entry : {L"SearchUrl\\", L"SearchUrl\\provider", L"SearchUrl\\g\\",
                                 L"SearchUrl\\g\\Deeper\\Still\\value"}) {
        ASSERT_FALSE(platform_.RegWrite(path(L"HKCU", entry), L"x", RegistryType::String));
    }
    ASSERT_FALSE(
        platform_.RegWrite(path(L"HKCU", L"Neighbour\\value"), L"y", RegistryType::String));

    EXPECT_FALSE(platform_.RegDelete(path(L"HKCU", L"SearchUrl\\")));

    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, key(L"SearchUrl")));
    EXPECT_EQ(readValue(HKEY_CURRENT_USER, key(L"Neighbour"), L"value"), stringValue(L"y"));
}

TEST_F(RegistryTest, DeletingWhatIsNotThereIsNotFound) {
    ASSERT_FALSE(platform_.RegWrite(path(L"HKCU", L"Main\\Present"), L"x", RegistryType::String));
    for (const wchar_t* missing :
         {L"Main\\Absent value", L"Absent key\\", L"Absent key\\value", L"Main\\Absent key\\"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(missing)));
        EXPECT_TRUE(isNotFound(platform_.RegDelete(path(L"HKCU", missing))));
    }
    EXPECT_EQ(readValue(HKEY_CURRENT_USER, key(L"Main"), L"Present"), stringValue(L"x"));
}

// The 32-bit program runs under WOW64 here, as on a 64-bit Windows: each
// machine-wide row must land in, and vanish from, both registry views.
class RegistryViewsTest : public RegistryTest {
  protected:
    static constexpr REGSAM kViews[] = {KEY_WOW64_32KEY, KEY_WOW64_64KEY};

    static REGSAM otherView(REGSAM view) {
        return view == KEY_WOW64_32KEY ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
    }
};

TEST_F(RegistryViewsTest, MachineWideWriteLandsInBothViews) {
    ASSERT_FALSE(platform_.RegWrite(path(L"HKLM", L"Main\\Text"), L"both", RegistryType::String));
    ASSERT_FALSE(
        platform_.RegWrite(path(L"HKLM", L"Main\\Number"), L"00000001", RegistryType::Dword));
    ASSERT_FALSE(platform_.RegWrite(path(L"HKLM", L"Main\\"), L"default", RegistryType::String));

    for (const REGSAM view : kViews) {
        SCOPED_TRACE(view);
        EXPECT_EQ(readValue(HKEY_LOCAL_MACHINE, key(L"Main"), L"Text", view), stringValue(L"both"));
        EXPECT_EQ(readValue(HKEY_LOCAL_MACHINE, key(L"Main"), L"Number", view), dwordValue(1));
        EXPECT_EQ(readValue(HKEY_LOCAL_MACHINE, key(L"Main"), L"", view), stringValue(L"default"));
    }
}

TEST_F(RegistryViewsTest, MachineWideDeleteRemovesFromBothViews) {
    for (const wchar_t* entry : {L"Main\\Gone", L"Main\\Kept", L"Tree\\Sub\\value"}) {
        ASSERT_FALSE(platform_.RegWrite(path(L"HKLM", entry), L"x", RegistryType::String));
    }

    EXPECT_FALSE(platform_.RegDelete(path(L"HKLM", L"Main\\Gone")));
    EXPECT_FALSE(platform_.RegDelete(path(L"HKLM", L"Tree\\")));

    for (const REGSAM view : kViews) {
        SCOPED_TRACE(view);
        EXPECT_EQ(readValue(HKEY_LOCAL_MACHINE, key(L"Main"), L"Gone", view), std::nullopt);
        EXPECT_EQ(readValue(HKEY_LOCAL_MACHINE, key(L"Main"), L"Kept", view), stringValue(L"x"));
        EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, key(L"Tree"), view));
    }
}

TEST_F(RegistryViewsTest, DeleteSucceedsWhenOnlyOneViewHoldsIt) {
    for (const REGSAM view : kViews) {
        SCOPED_TRACE(view);
        testsupport::writeStringDirectly(HKEY_LOCAL_MACHINE, key(L"Lonely\\Sub"), L"value", L"x",
                                         view);
        // The views really are apart here, or this test would prove nothing.
        ASSERT_FALSE(keyExists(HKEY_LOCAL_MACHINE, key(L"Lonely"), otherView(view)));

        EXPECT_FALSE(platform_.RegDelete(path(L"HKLM", L"Lonely\\Sub\\value")));
        EXPECT_EQ(readValue(HKEY_LOCAL_MACHINE, key(L"Lonely\\Sub"), L"value", view), std::nullopt);

        EXPECT_FALSE(platform_.RegDelete(path(L"HKLM", L"Lonely\\")));
        EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, key(L"Lonely"), view));
    }
}

TEST_F(RegistryViewsTest, DeleteWhereNoViewHoldsItIsNotFound) {
    ASSERT_FALSE(platform_.RegWrite(path(L"HKLM", L"Main\\Present"), L"x", RegistryType::String));
    for (const wchar_t* missing : {L"Main\\Absent value", L"Absent key\\", L"Absent key\\value"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(missing)));
        EXPECT_TRUE(isNotFound(platform_.RegDelete(path(L"HKLM", missing))));
    }
}

}  // namespace
}  // namespace tovask
