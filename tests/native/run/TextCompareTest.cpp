#include "text/TextCompare.h"

#include <gtest/gtest.h>

#include "repair/paths/LocalPaths.h"
#include "text/Blanks.h"

namespace tovask {
namespace {

struct AffixCase {
    std::wstring_view text;
    std::wstring_view part;
    bool startsWith;
    bool endsWith;
    bool contains;
};

// A part longer than the text is never in it; the empty part is in every text.
const AffixCase kAffixCases[] = {
    {L"--Load-Extension=C:\\x", L"--load-extension=", true, false, true},
    {L"C:\\Tools\\RUN.PS1", L".ps1", false, true, true},
    {L"iex(New-Object Net.WebClient)", L"NET.WEBCLIENT", false, false, true},
    {L"ab", L"abc", false, false, false},
    {L"", L"", true, true, true},
};

TEST(TextCompareTest, AffixesIgnoreCase) {
    for (const auto& c : kAffixCases) {
        SCOPED_TRACE(testing::Message() << c.text.size() << " letters, part " << c.part.size());
        EXPECT_EQ(startsWithIgnoringCase(c.text, c.part), c.startsWith);
        EXPECT_EQ(endsWithIgnoringCase(c.text, c.part), c.endsWith);
        EXPECT_EQ(containsIgnoringCase(c.text, c.part), c.contains);
    }
}

// Only letters fold: the signs beside A-Z and a-z stay themselves.
TEST(TextCompareTest, OnlyLettersFold) {
    EXPECT_TRUE(equalsIgnoringCase(L"Software\\Az", L"SOFTWARE\\aZ"));
    EXPECT_FALSE(equalsIgnoringCase(L"@[", L"`{"));
    EXPECT_EQ(foldedCase(L"a`z{@"), L"A`Z{@");
}

TEST(TextCompareTest, TrimmedLeavesTheInsideAlone) {
    EXPECT_EQ(trimmed(L" \t a  b\t "), L"a  b");
    EXPECT_EQ(trimmed(L" \t "), L"");
    EXPECT_EQ(trimmed(L"\r\n cmd.exe \r\n", L" \t\r\n"), L"cmd.exe");
    EXPECT_EQ(trimmed(L"\r\nx\r\n"), L"\r\nx\r\n");
    EXPECT_TRUE(isBlank(L'\t'));
    EXPECT_FALSE(isBlank(L'\n'));
}

TEST(TextCompareTest, ComparablePathsOfOnePlaceAreEqual) {
    EXPECT_EQ(comparablePath(L"c:/Users/Ana/./AppData\\..\\Desktop\\"),
              comparablePath(L"C:\\USERS\\ana\\Desktop"));
    EXPECT_NE(comparablePath(L"C:\\Users\\ab"), comparablePath(L"C:\\Users\\a"));
}

}  // namespace
}  // namespace tovask
