#include "text/DecimalText.h"
#include "text/SpanishDate.h"

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

TEST(SpanishDateTest, WritesTheDayTheMonthsNameAndTheTimeInTwoDigits) {
    EXPECT_EQ(spanishDate({2026, 12, 9, 7, 5}), L"9 de diciembre de 2026 a las 07:05");
    EXPECT_EQ(spanishDate({2025, 1, 31, 23, 59}), L"31 de enero de 2025 a las 23:59");
    EXPECT_EQ(spanishDate({2025, 13, 1, 0, 0}), L"1 de 13 de 2025 a las 00:00");
}

}  // namespace
}  // namespace tovask
