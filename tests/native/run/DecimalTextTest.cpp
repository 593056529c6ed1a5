#include "text/DecimalText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace tovask {
namespace {

TEST(DecimalTextTest, WritesNumbersAsToWstringDoes) {
    EXPECT_EQ(decimalText(0u), L"0");
    EXPECT_EQ(decimalText(std::size_t{1090}), L"1090");
    EXPECT_EQ(decimalText(std::numeric_limits<std::uint64_t>::max()), L"18446744073709551615");
    EXPECT_EQ(decimalText(std::int32_t{-42}), L"-42");
    EXPECT_EQ(decimalText(std::numeric_limits<std::int32_t>::min()), L"-2147483648");
}

}  // namespace
}  // namespace tovask
