#include <gtest/gtest.h>

#include "text/CommandLineWords.h"

namespace tovask::test {
namespace {

struct WordsCase {
    std::string name;
    std::wstring line;
    std::vector<std::wstring> arguments;
};

class CommandLineWords : public testing::TestWithParam<WordsCase> {};

TEST_P(CommandLineWords, AreSplitAsTheRuntimeSplitsThem) {
    EXPECT_EQ(argumentsAfterProgram(GetParam().line), GetParam().arguments);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineWords,
    testing::Values(
        WordsCase{"ProgramAlone", L"Tovask.exe", {}},
        WordsCase{"QuotedProgramWithBlanksAndBackslashes", L"\"C:\\Program Files\\T\\\" /check", {L"/check"}},
        WordsCase{"BlanksAndTabsBetween", L"t.exe  /repair\t/log:C:\\a.log ", {L"/repair", L"/log:C:\\a.log"}},
        WordsCase{"QuotesGroupWithinAWord", L"t.exe /log:\"C:\\Mis informes\\a.log\" /check", {L"/log:C:\\Mis informes\\a.log", L"/check"}},
        WordsCase{"EvenBackslashesBeforeAQuote", L"t.exe \"C:\\dir\\\\\" x", {L"C:\\dir\\", L"x"}},
        WordsCase{"OddBackslashesMakeTheQuoteLiteral", L"t.exe a\\\"b \\\\\\\"c", {L"a\"b", L"\\\"c"}},
        WordsCase{"DoubledQuoteInQuotes", L"t.exe \"a \"\" b\"", {L"a \" b"}},
        WordsCase{"EmptyQuotedArgument", L"t.exe \"\" /check", {L"", L"/check"}},
        WordsCase{"UnclosedQuoteRunsToTheEnd", L"t.exe \"/startpage:http://a b", {L"/startpage:http://a b"}}),
    [](const testing::TestParamInfo<WordsCase>& info) { return info.param.name; });
// clang-format on

}  // namespace
}  // namespace tovask::test
