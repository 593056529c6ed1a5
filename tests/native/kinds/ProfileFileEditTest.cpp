#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "repair/preferences/ChromiumPreferences.h"

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

}  // namespace
}  // namespace tovask::test
