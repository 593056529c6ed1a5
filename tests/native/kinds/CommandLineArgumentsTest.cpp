#include <gtest/gtest.h>

#include "repair/commands/CommandLineArguments.h"

namespace tovask::test {
namespace {

struct SplitCase {
    std::string name;
    std::wstring text;
    std::vector<std::wstring> values;

    friend void PrintTo(const SplitCase& split, std::ostream* out) { *out << split.name; }
};

class ArgumentSplit : public testing::TestWithParam<SplitCase> {};

TEST_P(ArgumentSplit, GivesTheValuesAndEachTextAloneGivesItsValueAgain) {
    const auto& text = GetParam().text;
    const auto split = splitArguments(text);
    std::vector<std::wstring> values;
    for (const auto& argument : split) {
        values.push_back(argument.value);
        const auto alone = splitArguments(text.substr(argument.begin, argument.length));
        ASSERT_EQ(alone.size(), 1u);
        EXPECT_EQ(alone[0].value, argument.value);
    }
    EXPECT_EQ(values, GetParam().values);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLineToArgvW, ArgumentSplit,
    testing::Values(SplitCase{"Nothing", L"  \t ", {}},
                    SplitCase{"SpacesAndTabs", L" a  b\tc ", {L"a", L"b", L"c"}},
                    SplitCase{"Quoted", L"\"a b\" c", {L"a b", L"c"}},
                    SplitCase{"QuotesInsideAWord", L"a\"b c\"d e", {L"ab cd", L"e"}},
                    SplitCase{"EmptyQuoted", L"\"\" a", {L"", L"a"}},
                    SplitCase{"BackslashesWithoutQuote", L"C:\\\\x\\ y", {L"C:\\\\x\\", L"y"}},
                    SplitCase{"OneBackslashQuote", L"a\\\"b c", {L"a\"b", L"c"}},
                    SplitCase{"TwoBackslashesQuote", L"a\\\\\"b c\"", {L"a\\b c"}},
                    SplitCase{"ThreeBackslashesQuote", L"a\\\\\\\"b", {L"a\\\"b"}},
                    SplitCase{"DoubledQuoteEndsTheQuote", L"\"a\"\"b c\"", {L"a\"b", L"c"}},
                    SplitCase{"TripledQuoteStaysQuoted", L"\"a\"\"\"b c\"", {L"a\"b c"}},
                    SplitCase{"UnclosedQuote", L"a \"b c", {L"a", L"b c"}}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace tovask::test
