#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32Platform.h"
#include "tests/win32/TestNames.h"
#include "tests/win32/TestRegistry.h"
#include "text/Utf16.h"

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

// The tests run on a 64-bit Windows (the 32-bit build under WOW64): each
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

// Found by gtest through the type's namespace.
void PrintTo(const RegistryValue& value, std::ostream* out) {
    *out << "type " << value.type << ", bytes";
    for (const std::uint8_t byte : value.bytes) {
        *out << ' ' << static_cast<int>(byte);
    }
}

void PrintTo(const RegistryKeyContent& key, std::ostream* out) {
    *out << "\n{key " << testing::PrintToString(key.name);
    for (const auto& [name, value] : key.values) {
        *out << "\n value " << testing::PrintToString(name) << ": "
             << testing::PrintToString(value);
    }
    for (const auto& subkey : key.subkeys) {
        PrintTo(subkey, out);
    }
    *out << "}";
}

namespace {

// The registry one view at a time, as the backup and its restore use it.

RegistryValue rawValue(std::uint32_t type, std::string_view bytes) {
    return {type, std::vector<std::uint8_t>(bytes.begin(), bytes.end())};
}

// UTF-16 text as the registry keeps it; the length says whether a null ends it.
RegistryValue textValue(std::uint32_t type, std::wstring_view text) {
    return rawValue(type, toUtf16LeBytes(text));
}

const std::vector<NamedRegistryValue> kEveryKindOfValue = {
    {L"String", textValue(regtype::kString, {L"text\0", 5})},
    {L"String without null", textValue(regtype::kString, L"text")},
    {L"Expandable", textValue(regtype::kExpandString, {L"%SystemRoot%\\x\0", 15})},
    {L"Multi", textValue(regtype::kMultiString, {L"a\0b c\0\0", 7})},
    {L"Empty multi", textValue(regtype::kMultiString, {L"\0", 1})},
    {L"Empty binary", rawValue(regtype::kBinary, "")},
    {L"Binary", rawValue(regtype::kBinary, {"\0\xff\r\n", 4})},
    {L"Dword", rawValue(regtype::kDword, {"\x78\x56\x34\x12", 4})},
    {L"Qword", rawValue(regtype::kQword, {"\x01\0\0\0\0\0\0\x80", 8})},
    {L"None", rawValue(regtype::kNone, "any")},
    {L"Odd type", rawValue(0x1234, {"\0\1", 2})},
};

constexpr RegistryView kEveryView[] = {RegistryView::Default, RegistryView::Bits32,
                                       RegistryView::Bits64};

class RegistryInOneViewTest : public RegistryTest {
  protected:
    static std::string viewName(RegistryView view) {
        return view == RegistryView::Default  ? "default view"
               : view == RegistryView::Bits32 ? "32-bit view"
                                              : "64-bit view";
    }
};

TEST_F(RegistryInOneViewTest, EveryTypeComesBackWithItsExactBytes) {
    for (const auto root : {L"HKCU", L"HKLM"}) {
        for (const RegistryView view : kEveryView) {
            for (const auto& [name, value] : kEveryKindOfValue) {
                SCOPED_TRACE(testing::PrintToString(root + (L" " + name)) + " " + viewName(view));
                const auto target = path(root, L"Raw\\" + name);
                ASSERT_FALSE(platform_.RegWriteRaw(path(root, L"Raw\\"), name, value, view));
                const auto read = platform_.RegReadValue(target, view);
                ASSERT_TRUE(read.ok()) << read.error().message();
                EXPECT_EQ(read.value(), value);
            }
        }
    }
}

TEST_F(RegistryInOneViewTest, KeyPathReadsAndWritesTheDefaultValue) {
    const auto value = textValue(regtype::kString, {L"default\0", 8});
    ASSERT_FALSE(
        platform_.RegWriteRaw(path(L"HKCU", L"Main\\"), L"", value, RegistryView::Default));

    EXPECT_EQ(readValue(HKEY_CURRENT_USER, key(L"Main"), L""), stringValue(L"default"));
    const auto read = platform_.RegReadValue(path(L"HKCU", L"Main\\"), RegistryView::Default);
    ASSERT_TRUE(read.ok()) << read.error().message();
    EXPECT_EQ(read.value(), value);
}

TEST_F(RegistryInOneViewTest, MissingKeyOrValueIsNotFound) {
    ASSERT_FALSE(platform_.RegWriteRaw(path(L"HKCU", L"Main\\"), L"Present",
                                       rawValue(regtype::kBinary, "x"), RegistryView::Default));
    for (const wchar_t* missing : {L"Main\\Absent", L"Main\\", L"Absent\\value", L"Absent\\"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(missing)));
        EXPECT_TRUE(isNotFound(
            platform_.RegReadValue(path(L"HKCU", missing), RegistryView::Default).error()));
    }
    for (const wchar_t* missing : {L"Main\\Absent", L"Absent\\value", L"Absent\\"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(missing)));
        EXPECT_TRUE(
            isNotFound(platform_.RegDeleteIn(path(L"HKCU", missing), RegistryView::Default)));
    }
    EXPECT_TRUE(isNotFound(
        platform_.RegReadTree(path(L"HKCU", L"Absent\\"), RegistryView::Default).error()));
}

TEST_F(RegistryInOneViewTest, KeyOperationsRefuseValuePaths) {
    const auto valuePath = path(L"HKCU", L"Main\\value");
    EXPECT_EQ(platform_.RegKeyExists(valuePath, RegistryView::Default).error(), kInvalid);
    EXPECT_EQ(platform_.RegCreateKeyIn(valuePath, RegistryView::Default), kInvalid);
    EXPECT_EQ(platform_.RegReadTree(valuePath, RegistryView::Default).error(), kInvalid);
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, key(L"Main")));
}

// The default view of a program is the view of its own bitness: the 32-bit one
// under WOW64, the 64-bit one for the 64-bit build of the Windows tests.
TEST_F(RegistryInOneViewTest, MachineWideViewsAreApart) {
    constexpr bool k64BitProcess = sizeof(void*) == 8;
    constexpr RegistryView kOwnView = k64BitProcess ? RegistryView::Bits64 : RegistryView::Bits32;
    constexpr RegistryView kOtherView = k64BitProcess ? RegistryView::Bits32 : RegistryView::Bits64;
    constexpr REGSAM kOtherViewAccess = k64BitProcess ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
    ASSERT_TRUE(platform_.HasTwoRegistryViews());
    const auto value = rawValue(regtype::kDword, {"\1\0\0\0", 4});
    ASSERT_FALSE(platform_.RegWriteRaw(path(L"HKLM", L"Main\\"), L"OnlyOwn", value, kOwnView));

    EXPECT_TRUE(
        isNotFound(platform_.RegReadValue(path(L"HKLM", L"Main\\OnlyOwn"), kOtherView).error()));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, key(L"Main"), kOtherViewAccess));
    const auto inDefaultView =
        platform_.RegReadValue(path(L"HKLM", L"Main\\OnlyOwn"), RegistryView::Default);
    ASSERT_TRUE(inDefaultView.ok()) << inDefaultView.error().message();
    EXPECT_EQ(inDefaultView.value(), value);
}

TEST_F(RegistryInOneViewTest, CreateFindAndDeleteActOnTheirViewOnly) {
    for (const auto& [view, other] : {std::pair{RegistryView::Bits32, RegistryView::Bits64},
                                      std::pair{RegistryView::Bits64, RegistryView::Bits32}}) {
        SCOPED_TRACE(viewName(view));
        const auto created = path(L"HKLM", L"Created\\Sub\\");
        ASSERT_FALSE(platform_.RegCreateKeyIn(created, view));
        ASSERT_FALSE(platform_.RegCreateKeyIn(created, view)) << "an existing key is kept";
        ASSERT_FALSE(platform_.RegWriteRaw(path(L"HKLM", L"Created\\"), L"value",
                                           rawValue(regtype::kBinary, "x"), other));

        EXPECT_TRUE(platform_.RegKeyExists(created, view).value());
        EXPECT_FALSE(platform_.RegKeyExists(created, other).value());

        EXPECT_TRUE(isNotFound(platform_.RegDeleteIn(path(L"HKLM", L"Created\\value"), view)));
        EXPECT_FALSE(platform_.RegDeleteIn(path(L"HKLM", L"Created\\"), view));
        EXPECT_FALSE(platform_.RegKeyExists(path(L"HKLM", L"Created\\"), view).value());
        EXPECT_TRUE(platform_.RegReadValue(path(L"HKLM", L"Created\\value"), other).ok());

        EXPECT_FALSE(platform_.RegDeleteIn(path(L"HKLM", L"Created\\value"), other));
        EXPECT_TRUE(platform_.RegKeyExists(path(L"HKLM", L"Created\\"), other).value());
        testsupport::removeKeyEverywhere(HKEY_LOCAL_MACHINE, key(L"Created"));
    }
}

// Written straight through the system, so that the names can hold anything
// a value name may, a backslash too, which no registry path can carry.
void writeTreeDirectly(HKEY parent, const RegistryKeyContent& tree) {
    win32::RegistryKey key;
    ASSERT_EQ(RegCreateKeyExW(parent, tree.name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              key.receive(), nullptr),
              ERROR_SUCCESS);
    for (const auto& [name, value] : tree.values) {
        ASSERT_EQ(RegSetValueExW(key.get(), name.c_str(), 0, value.type, value.bytes.data(),
                                 static_cast<DWORD>(value.bytes.size())),
                  ERROR_SUCCESS);
    }
    for (const auto& subkey : tree.subkeys) {
        writeTreeDirectly(key.get(), subkey);
    }
}

TEST_F(RegistryInOneViewTest, TreeHoldsEveryValueAndSubkeyInRegistryOrder) {
    // Windows enumerates values in the order they were written and Wine in
    // the order of their lower-case names; written in that order, with no
    // name where upper and lower case sort apart, both agree.
    const RegistryKeyContent tree{
        L"Tree",
        {{L"", textValue(regtype::kString, {L"root\0", 5})},
         {L"\"quoted\"", textValue(regtype::kExpandString, {L"%x%\0", 4})},
         {L"a=b", rawValue(regtype::kBinary, "2")},
         {L"back\\slash", rawValue(0x1234, "4")},
         // Far beyond the first read of any value: read whole all the same.
         {L"large", rawValue(regtype::kBinary, std::string(100000, 'x'))},
         {L"P\u00e1gina \u00f1 \u65e5\u672c", textValue(regtype::kMultiString, {L"a\0\0", 3})},
         {L"trailing blank ", rawValue(regtype::kBinary, "1")},
         {L"x]", rawValue(regtype::kNone, "")}},
        {{L"A empty", {}, {}},
         {L"B P\u00e1gina \u00f1 \u65e5\u672c",
          {{L"", rawValue(regtype::kDword, {"\0\0\0\0", 4})}},
          {{L"Deeper", {{L"a=b", rawValue(regtype::kQword, {"\0\0\0\0\0\0\0\0", 8})}}, {}}}},
         {L"C ] \"x\" ", {{L"x", rawValue(regtype::kBinary, "")}}, {}}}};
    win32::RegistryKey base;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, base.receive(), nullptr),
              ERROR_SUCCESS);
    writeTreeDirectly(base.get(), tree);

    const auto read = platform_.RegReadTree(path(L"HKCU", L"Tree\\"), RegistryView::Default);

    ASSERT_TRUE(read.ok()) << read.error().message();
    EXPECT_EQ(read.value(), tree);
}

// A key whoever may write its parent has put in the place of another: a link
// to a key of its choice, which the system follows on every open.
class RegistryLinkTest : public RegistryTest {
  protected:
    void SetUp() override {
        testsupport::writeStringDirectly(HKEY_LOCAL_MACHINE, key(L"Target\\Sub"), L"Keep", L"1", 0);
        testsupport::writeStringDirectly(HKEY_LOCAL_MACHINE, key(L"Holder"), L"Keep", L"1", 0);
        testsupport::makeLink(key(L"Link"), key(L"Target"));
        testsupport::makeLink(key(L"Holder\\Below"), key(L"Target"));
    }
    // The links go first: the cleanup of the test key follows links.
    void TearDown() override {
        testsupport::removeLink(key(L"Link"));
        testsupport::removeLink(key(L"Holder\\Below"));
        RegistryTest::TearDown();
    }
    bool targetIntact() const {
        return readValue(HKEY_LOCAL_MACHINE, key(L"Target\\Sub"), L"Keep") == stringValue(L"1") &&
               !readValue(HKEY_LOCAL_MACHINE, key(L"Target"), L"New");
    }

    const std::error_code refused = std::make_error_code(std::errc::too_many_symbolic_link_levels);
};

TEST_F(RegistryLinkTest, IsFollowedByReadsAndRefusedByEveryChangeAtTheKeyItNames) {
    const auto link = path(L"HKLM", L"Link\\");
    ASSERT_TRUE(platform_.RegReadValue(link + L"Sub\\Keep", RegistryView::Default).ok());
    const auto value = textValue(regtype::kString, L"x");
    const auto view = RegistryView::Default;
    EXPECT_EQ(platform_.RegRemoveKeyAsRead(link, view, {}), refused);
    EXPECT_EQ(platform_.RegDeleteIn(link, view), refused);
    EXPECT_EQ(platform_.RegDelete(link), refused);
    EXPECT_EQ(platform_.RegRemoveValueAsRead(link, L"Sub", view, {}), refused);
    EXPECT_EQ(platform_.RegWriteRaw(link, L"New", value, view), refused);
    EXPECT_EQ(platform_.RegWrite(link + L"New", L"x", RegistryType::String), refused);
    EXPECT_EQ(platform_.RegCreateKeyIn(link, view), refused);
    EXPECT_TRUE(targetIntact());
}

TEST_F(RegistryLinkTest, BelowARemovedKeyLeavesTheWholeKey) {
    EXPECT_EQ(platform_.RegRemoveKeyAsRead(path(L"HKLM", L"Holder\\"), RegistryView::Default, {}),
              refused);
    EXPECT_EQ(readValue(HKEY_LOCAL_MACHINE, key(L"Holder"), L"Keep"), stringValue(L"1"));
    EXPECT_TRUE(targetIntact());
}

TEST_F(RegistryInOneViewTest, RemovalHandsOverWhatItTakesFirstAndStopsWhenRefused) {
    const RegistryKeyContent tree{
        L"Tree",
        {{L"a", textValue(regtype::kString, {L"1\0", 2})}},
        {{L"Deeper", {{L"b", rawValue(regtype::kBinary, "2")}}, {{L"Deepest", {}, {}}}}}};
    win32::RegistryKey base;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, base.receive(), nullptr),
              ERROR_SUCCESS);
    writeTreeDirectly(base.get(), tree);
    const auto treePath = path(L"HKCU", L"Tree\\");
    const auto denied = std::make_error_code(std::errc::permission_denied);

    EXPECT_EQ(platform_.RegRemoveKeyAsRead(treePath, RegistryView::Default,
                                           [&](const RegistryKeyContent&) { return denied; }),
              denied);
    EXPECT_EQ(platform_.RegRemoveValueAsRead(treePath, L"a", RegistryView::Default,
                                             [&](const RegistryValue&) { return denied; }),
              denied);
    ASSERT_EQ(platform_.RegReadTree(treePath, RegistryView::Default).value(), tree);

    std::optional<RegistryKeyContent> handed;
    EXPECT_FALSE(platform_.RegRemoveKeyAsRead(treePath, RegistryView::Default,
                                              [&](const RegistryKeyContent& taken) {
                                                  handed = taken;
                                                  return std::error_code{};
                                              }));
    EXPECT_EQ(handed, tree);
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, key(L"Tree")));
}

TEST_F(RegistryInOneViewTest, UsersRootReachesTheProgramUsersOwnKeys) {
    const auto sid = platform_.ProgramUserSid();
    ASSERT_TRUE(sid.ok()) << sid.error().message();
    const auto throughUsers = L"HKU\\" + sid.value() + L"\\" + key_ + L"\\Main\\";
    const auto value = textValue(regtype::kString, {L"shared\0", 7});

    ASSERT_FALSE(platform_.RegWriteRaw(throughUsers, L"Raw", value, RegistryView::Default));
    ASSERT_FALSE(platform_.RegWrite(throughUsers + L"Plain", L"plain", RegistryType::String));
    testsupport::writeStringDirectly(HKEY_CURRENT_USER, key(L"Main"), L"Direct", L"direct", 0);

    EXPECT_EQ(readValue(HKEY_CURRENT_USER, key(L"Main"), L"Raw"), stringValue(L"shared"));
    EXPECT_EQ(readValue(HKEY_CURRENT_USER, key(L"Main"), L"Plain"), stringValue(L"plain"));
    const auto direct = platform_.RegReadValue(throughUsers + L"Direct", RegistryView::Default);
    ASSERT_TRUE(direct.ok()) << direct.error().message();
    EXPECT_EQ(direct.value(), textValue(regtype::kString, {L"direct\0", 7}));
    EXPECT_FALSE(platform_.RegDelete(throughUsers));
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, key(L"Main")));
}

}  // namespace
}  // namespace tovask
