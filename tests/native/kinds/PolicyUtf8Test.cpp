#include <gtest/gtest.h>

#include "text/Utf8.h"

namespace tovask {
namespace {

struct Utf8Case {
    std::string name;
    std::wstring wide;
    std::string utf8;
};

class PolicyUtf8 : public testing::TestWithParam<Utf8Case> {};

TEST_P(PolicyUtf8, ConvertsBothWays) {
    EXPECT_EQ(utf8FromWide(GetParam().wide), GetParam().utf8);
    EXPECT_EQ(wideFromUtf8(GetParam().utf8), GetParam().wide);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PolicyUtf8,
    testing::Values(Utf8Case{"Ascii", L"http://a", "http://a"},
                    Utf8Case{"TwoAndThreeBytes", L"Página \u20AC", "P\xC3\xA1gina \xE2\x82\xAC"},
                    Utf8Case{"OutsideTheBasicPlane", L"\U0001F600", "\xF0\x9F\x98\x80"}),
    [](const auto& info) { return info.param.name; });

TEST(PolicyUtf8, ReplacesBrokenSequences) {
    EXPECT_EQ(wideFromUtf8("a\xC3(\xC0\xAF\xED\xA0\x80"), L"a\uFFFD(\uFFFD\uFFFD\uFFFD");
}

}  // namespace
}  // namespace tovask
