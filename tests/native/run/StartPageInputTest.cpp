#include <algorithm>

#include "tests/native/RepairFixture.h"
#include "text/Utf16.h"

namespace tovask::test {
namespace {

// Compares without printing texts of a million characters on failure.
testing::AssertionResult sameText(std::wstring_view actual, std::wstring_view expected) {
    if (actual == expected) {
        return testing::AssertionSuccess();
    }
    const auto differs = std::ranges::mismatch(actual, expected).in1;
    return testing::AssertionFailure()
           << "length " << actual.size() << " instead of " << expected.size()
           << ", first difference at " << (differs - actual.begin());
}

std::wstring utf16Units(std::wstring_view text) {
    const auto bytes = toUtf16LeBytes(text);
    std::wstring units;
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        units.push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                             static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    return units;
}

std::wstring repeatedTo(std::wstring_view piece, std::size_t length) {
    std::wstring text;
    while (text.size() < length) {
        text += piece;
    }
    text.resize(length);
    return text;
}

struct HostileCase {
    std::string name;
    std::wstring typed;

    friend void PrintTo(const HostileCase& hostile, std::ostream* out) { *out << hostile.name; }
};

class HostileStartPage : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileStartPage, IsStoredAndReportedExactlyAndChangesNothingElse) {
    const auto& typed = GetParam().typed;
    const std::wstring page = typed.empty() ? std::wstring(ForumSiteUrl) : typed;

    RepairBench reference;
    reference.press();
    reference.platform.registry.write(kUserStartPage, page, RegistryType::String);

    RepairBench bench;
    bench.view.page = typed;
    bench.press();

    const auto stored = bench.platform.registry.value(kUserStartPage);
    ASSERT_TRUE(stored);
    // Compared as the registry keeps it: a UTF-16 pair and its code point are
    // the same text there, whatever a wide character holds on this system.
    EXPECT_TRUE(sameText(utf16Units(std::get<std::wstring>(stored->data)), utf16Units(page)));
    ASSERT_EQ(bench.view.lines.size(), 6u);
    EXPECT_TRUE(sameText(bench.view.lines[5], std::wstring(kStartPagePrefix) + page));
    EXPECT_TRUE(bench.platform.registry.snapshot() == reference.platform.registry.snapshot());
    EXPECT_TRUE(lastNoticeIs(bench.view, kRepairSucceeded, NoticeKind::Information, kFinished));
    EXPECT_EQ(bench.view.page, L"");
}

INSTANTIATE_TEST_SUITE_P(
    Input, HostileStartPage,
    testing::Values(
        HostileCase{"Empty", L""}, HostileCase{"OneBlank", L" "},
        HostileCase{"OnlyBlanks", L"      "},
        HostileCase{"LongestEditText", repeatedTo(L"http://pagina.example/ruta?q=", 32767)},
        HostileCase{"MillionPasted", repeatedTo(L"abc\x00e9\x4e2d/", 1'000'000)},
        // Both the UTF-16 pair and the whole code point, whatever wchar_t holds.
        HostileCase{"BeyondBasicPlane", L"http://\xD83D\xDE00.example/\U0001F600\U00010348"},
        HostileCase{"RightToLeft", L"http://\x05E9\x05DC\x05D5\x05DD.example/\x202E\x0645\x0631"},
        HostileCase{"CombiningMarks", L"pa\x0301\x0301gina\x0327\x0303.example"},
        HostileCase{"LoneSurrogates",
                    L"http://a\xD800"
                    L".example/\xDC00"},
        HostileCase{"TabsAndControls",
                    L"\tpagina\x01\x1b[31m\x7f\r\n\x85\x2028"
                    L"fin\x0b"},
        HostileCase{"QuotesBackslashesPercent",
                    L"\"'\\\\servidor\\recurso %PATH% %s%n %% {SUB_RFC1766} \\\""},
        HostileCase{"ScriptUrl", L"javascript:alert(1)"}, HostileCase{"FileUrl", L"file:///C:/x"}),
    [](const testing::TestParamInfo<HostileCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tovask::test
