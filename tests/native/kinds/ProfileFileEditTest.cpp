#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "repair/preferences/ChromiumPreferences.h"
#include "repair/preferences/FirefoxPreferences.h"

namespace tovask::test {
namespace {

struct MemberRemoval {
    std::string name;
    std::string json;
    std::vector<PreferencePath> paths;
    std::string edited;
};

class ChromiumPreferencesEdit : public testing::TestWithParam<MemberRemoval> {};

TEST_P(ChromiumPreferencesEdit, RemovesTheMembersAndKeepsEveryOtherByte) {
    const auto edited = withoutPreferences(GetParam().json, GetParam().paths);
    ASSERT_TRUE(edited.has_value());
    EXPECT_EQ(*edited, GetParam().edited);
    EXPECT_TRUE(readChromiumPreferenceValues(*edited).has_value());
}

// The shape Chromium writes a profile's `Secure Preferences` in: each tracked
// preference's MAC below `protection.macs`, at the preference's own path.
const std::string kSecurePreferences =
    R"({"extensions":{"settings":{"aaaa":{"location":4,"path":"C:\\Users\\ana\\ext"},)"
    R"("bbbb":{"location":1}}},"homepage":"http://inicio.example",)"
    R"("protection":{"macs":{"extensions":{"settings":{"aaaa":"6C1E","bbbb":"0F2A"}},)"
    R"("homepage":"9D41","session":{"startup_urls":"77B0"}},"super_mac":"A0B1"}})";
const std::string kSecurePreferencesRepaired =
    R"({"extensions":{"settings":{"bbbb":{"location":1}}},)"
    R"("protection":{"macs":{"extensions":{"settings":{"bbbb":"0F2A"}},)"
    R"("session":{"startup_urls":"77B0"}},"super_mac":"A0B1"}})";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Texts, ChromiumPreferencesEdit,
    testing::Values(
        MemberRemoval{"FirstMember", R"({"a":1,"b":2,"c":3})", {{"a"}}, R"({"b":2,"c":3})"},
        MemberRemoval{"MiddleMember", R"({"a":1,"b":2,"c":3})", {{"b"}}, R"({"a":1,"c":3})"},
        MemberRemoval{"LastMember", R"({"a":1,"b":2,"c":3})", {{"c"}}, R"({"a":1,"b":2})"},
        MemberRemoval{"RunInTheMiddle", R"({"a":1,"b":2,"c":3,"d":4})", {{"c"}, {"b"}}, R"({"a":1,"d":4})"},
        MemberRemoval{"RunAtTheEnd", R"({"a":1,"b":2,"c":3,"d":4})", {{"c"}, {"d"}}, R"({"a":1,"b":2})"},
        MemberRemoval{"EveryOtherMember", R"({"a":1,"b":2,"c":3,"d":4})", {{"a"}, {"c"}}, R"({"b":2,"d":4})"},
        MemberRemoval{"OnlyMember", R"({"a":{"b":1}})", {{"a"}}, "{}"},
        MemberRemoval{"ObjectLeftEmptyStays", R"({"s":{"u":["x"]},"t":0})", {{"s", "u"}}, R"({"s":{},"t":0})"},
        MemberRemoval{"Blanks", "{\n  \"a\": 1,\n  \"b\": {\n    \"c\": true\n  } ,\n  \"d\": null\n}\n",
                      {{"a"}, {"b", "c"}}, "{\n  \"b\": {\n    \n  } ,\n  \"d\": null\n}\n"},
        MemberRemoval{"BlanksAfterTheLastKept", "{ \"a\" : \"x\" ,\n \"b\" : [ 1 ] \n}",
                      {{"b"}}, "{ \"a\" : \"x\" \n}"},
        MemberRemoval{"MarksInsideTexts", R"({"a":"x,\"}","b":"}, ","c":-1.5e3})", {{"b"}, {"c"}}, R"({"a":"x,\"}"})"},
        MemberRemoval{"EscapedName", R"({"a\u0062":1,"c":2})", {{"ab"}}, R"({"c":2})"},
        MemberRemoval{"RepeatedName", R"({"a":1,"b":2,"a":3})", {{"a"}}, R"({"b":2})"},
        MemberRemoval{"RepeatedObject", R"({"p":{"x":1,"y":2},"p":{"y":3}})", {{"p", "y"}}, R"({"p":{"x":1},"p":{}})"},
        MemberRemoval{"PathWithinARemovedMember", R"({"a":{"b":1},"c":2})", {{"a", "b"}, {"a"}}, R"({"c":2})"},
        MemberRemoval{"PathNotThere", R"({"a":{"b":1}})", {{"a", "c"}, {"x"}, {}}, R"({"a":{"b":1}})"},
        MemberRemoval{"PathThroughAnArrayOrText", R"({"a":[{"b":1}],"c":"d"})", {{"a", "b"}, {"c", "d"}},
                      R"({"a":[{"b":1}],"c":"d"})"},
        MemberRemoval{"ByteOrderMarkStays", "\xEF\xBB\xBF{\"a\":1,\"b\":2}", {{"a"}}, "\xEF\xBB\xBF{\"b\":2}"},
        MemberRemoval{"SecurePreferences", kSecurePreferences,
                      {{"extensions", "settings", "aaaa"}, {"protection", "macs", "extensions", "settings", "aaaa"},
                       {"homepage"}, {"protection", "macs", "homepage"}},
                      kSecurePreferencesRepaired}),
    [](const testing::TestParamInfo<MemberRemoval>& info) { return info.param.name; });
// clang-format on

// 201 objects, each the member of the one around it.
std::string deeperThanTheBrowserReads() {
    std::string json;
    for (int depth = 0; depth < 200; ++depth) {
        json += R"({"a":)";
    }
    return json + "{}" + std::string(200, '}');
}

TEST(ChromiumPreferencesEdit, RefusesWhatThePreferencesReaderRefuses) {
    const std::vector<PreferencePath> paths = {{"a"}};
    for (const auto& text : std::vector<std::string>{
             "", "[]", "\"a\"", R"({"a":1,})", R"({"a":1} x)", R"({"a":"\udc00"})",
             std::string("{\"a\":1}\0", 8), deeperThanTheBrowserReads()}) {
        EXPECT_FALSE(withoutPreferences(text, paths).has_value()) << text;
    }
}

struct LocalState {
    std::string name;
    std::string json;
    std::vector<std::string> folders;
};

class ChromiumLocalState : public testing::TestWithParam<LocalState> {};

TEST_P(ChromiumLocalState, ListsTheProfileFolders) {
    EXPECT_EQ(readProfileFolders(GetParam().json), GetParam().folders);
}

std::string infoCache(const std::string& names) {
    return R"({"profile":{"last_used":"Default","info_cache":{)" + names + "}}}";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Texts, ChromiumLocalState,
    testing::Values(
        LocalState{"InTheFilesOrder", infoCache(R"("Profile 2":{"name":"b"},"Default":{},"Perfil \u00e9":{})"),
                   {"Profile 2", "Default", "Perfil \xC3\xA9"}},
        LocalState{"NotPlainFolderNames",
                   infoCache(R"("":{},".":{},"..":{},"a\\b":{},"a/b":{},"c:":{},"*":{},"?":{},"\"":{},"<":{},)"
                             R"(">":{},"|":{},"a\u0001":{},"a\u0000":{},"ok":{})"),
                   {"ok"}},
        LocalState{"LongestName", infoCache("\"" + std::string(255, 'a') + "\":{},\"" + std::string(256, 'b') + "\":{}"),
                   {std::string(255, 'a')}},
        LocalState{"LongestNameInCharacters", infoCache("\"" + std::string(254, 'a') + "\\u00e9\":{}"),
                   {std::string(254, 'a') + "\xC3\xA9"}},
        LocalState{"RepeatedFolderOnce", infoCache(R"("A":{},"B":{},"A":{})"), {"A", "B"}},
        LocalState{"RepeatedProfileReplaces",
                   R"({"profile":{"info_cache":{"A":{}}},"profile":{"info_cache":{"B":{}},"info_cache":{"C":{}}}})",
                   {"C"}},
        LocalState{"RepeatedProfileWithoutCache", R"({"profile":{"info_cache":{"A":{}}},"profile":1})", {}},
        LocalState{"OnlyAtItsOwnPlace",
                   R"({"info_cache":{"X":{}},"other":{"info_cache":{"Y":{}}},"profile":{"x":{"info_cache":{"Z":{}}}},)"
                   R"("profile":{"info_cache":[{"W":{}}]}})",
                   {}}),
    [](const testing::TestParamInfo<LocalState>& info) { return info.param.name; });
// clang-format on

TEST(ChromiumLocalState, ThatIsNotAJsonObjectListsNone) {
    EXPECT_FALSE(readProfileFolders(R"({"profile":{"info_cache":{"A":{})").has_value());
}

using Statement = std::tuple<std::string, std::string, bool, std::size_t, std::size_t>;

struct StatementReading {
    std::string name;
    std::string file;
    std::vector<Statement> read;
};

class FirefoxStatements : public testing::TestWithParam<StatementReading> {};

TEST_P(FirefoxStatements, GivesEachValueWithItsStatementsBytes) {
    std::vector<Statement> read;
    for (const auto& preference : readFirefoxTextPreferences(GetParam().file)) {
        read.emplace_back(preference.name, preference.value, preference.text, preference.begin,
                          preference.end);
    }
    EXPECT_EQ(read, GetParam().read);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Files, FirefoxStatements,
    testing::Values(
        StatementReading{"Text", R"(user_pref("a", "b");)", {{"a", "b", true, 0, 20}}},
        StatementReading{"NumbersAndTruths", "user_pref(\"a\", 2);\nuser_pref(\"b\", true);user_pref(\"c\", false);",
                         {{"a", "2", false, 0, 18}, {"b", "true", false, 19, 40}, {"c", "false", false, 40, 62}}},
        StatementReading{"SignedNumbersAsWritten", R"(user_pref("a", -2147483648); user_pref("b", + /* c */ 007);)",
                         {{"a", "-2147483648", false, 0, 28}, {"b", "+007", false, 29, 59}}},
        StatementReading{"LargestNumber", R"(user_pref("a", 2147483647); user_pref("b", 0002147483647);)",
                         {{"a", "2147483647", false, 0, 27}, {"b", "0002147483647", false, 28, 58}}},
        StatementReading{"NumbersOutOfRange",
                         R"(user_pref("a", 2147483648); user_pref("b", -2147483649); user_pref("c", 99999999999);)", {}},
        StatementReading{"NotWholeNumbers",
                         R"(user_pref("a", 1.5); user_pref("b", 12ab); user_pref("c", -); user_pref("d", --1); user_pref("e", +"x");)",
                         {}},
        StatementReading{"OtherWords", R"(user_pref("a", TRUE); user_pref("b", locked); user_pref("c", "d", 1);)", {}},
        StatementReading{"CommentsOutsideTheStatement", "/* a */ user_pref /* b */ (\"a\", 1) // c\n;  # d",
                         {{"a", "1", false, 8, 41}}},
        StatementReading{"AfterAByteOrderMark", "\xEF\xBB\xBFuser_pref(\"a\", 1);", {{"a", "1", false, 3, 21}}}),
    [](const testing::TestParamInfo<StatementReading>& info) { return info.param.name; });
// clang-format on

struct StatementRemoval {
    std::string name;
    std::string file;
    std::vector<std::string> names;
    std::string edited;
};

class FirefoxStatementRemoval : public testing::TestWithParam<StatementRemoval> {};

TEST_P(FirefoxStatementRemoval, KeepsEveryOtherByte) {
    auto statements = readFirefoxTextPreferences(GetParam().file);
    std::erase_if(statements, [](const FirefoxTextPreference& statement) {
        return std::ranges::find(GetParam().names, statement.name) == GetParam().names.end();
    });
    EXPECT_EQ(withoutStatements(GetParam().file, statements), GetParam().edited);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Files, FirefoxStatementRemoval,
    testing::Values(
        StatementRemoval{"LineWithItsEnd", "user_pref(\"a\", 1);\nuser_pref(\"b\", 2);\n", {"a"}, "user_pref(\"b\", 2);\n"},
        StatementRemoval{"CarriageReturnLineEnd", "user_pref(\"a\", 1);\r\nuser_pref(\"b\", 2);\r\n", {"b"},
                         "user_pref(\"a\", 1);\r\n"},
        StatementRemoval{"BlanksAroundIt", "user_pref(\"a\", 1);\n \t user_pref(\"b\", 2); \t\r\nuser_pref(\"c\", 3);", {"b"},
                         "user_pref(\"a\", 1);\nuser_pref(\"c\", 3);"},
        StatementRemoval{"LastLineWithoutAnEnd", "user_pref(\"a\", 1);\nuser_pref(\"b\", 2);", {"b"}, "user_pref(\"a\", 1);\n"},
        StatementRemoval{"LineItShares", "user_pref(\"a\", 1); user_pref(\"b\", 2);\n", {"a"}, " user_pref(\"b\", 2);\n"},
        StatementRemoval{"EveryStatementOfALine", "user_pref(\"a\", 1); user_pref(\"b\", 2);\r\n# c\n", {"a", "b"}, "# c\n"},
        StatementRemoval{"CommentLeftOnTheLine", "user_pref(\"a\", 1); // c\nuser_pref(\"b\", 2);\n", {"a"},
                         " // c\nuser_pref(\"b\", 2);\n"},
        StatementRemoval{"OverSeveralLines", "user_pref(\"a\",\n  \"x\"\n);\nuser_pref(\"b\", 2);\n", {"a"},
                         "user_pref(\"b\", 2);\n"},
        StatementRemoval{"ByteOrderMarkStays", "\xEF\xBB\xBFuser_pref(\"a\", 1);\r\nuser_pref(\"b\", 2);", {"a"},
                         "\xEF\xBB\xBFuser_pref(\"b\", 2);"},
        StatementRemoval{"NoneGiven", "user_pref(\"a\", 1);\n", {}, "user_pref(\"a\", 1);\n"}),
    [](const testing::TestParamInfo<StatementRemoval>& info) { return info.param.name; });
// clang-format on

TEST(FirefoxStatementRemoval, PassesOverBytesThatAreNoStatementOfTheFile) {
    const std::string file = "user_pref(\"a\", 1);\n";
    const std::vector<FirefoxTextPreference> statements = {
        {.name = "a", .value = "1", .text = false, .begin = 5, .end = 2},
        {.name = "a", .value = "1", .text = false, .begin = 0, .end = file.size() + 1}};
    EXPECT_EQ(withoutStatements(file, statements), file);
}

}  // namespace
}  // namespace tovask::test
