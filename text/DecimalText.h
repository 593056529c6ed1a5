#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <type_traits>

namespace tovask {

// A number in decimal digits, as std::to_wstring writes it. In the MinGW
// runtime std::to_wstring goes through the wide printf, which with its
// floating-point formatting is a twentieth of the program.
template <std::integral Number>
std::wstring decimalText(Number number) {
    bool negative = false;
    auto magnitude = static_cast<std::uint64_t>(number);
    if constexpr (std::is_signed_v<Number>) {
        negative = number < 0;
        magnitude = negative ? 0 - magnitude : magnitude;
    }
    std::wstring digits;
    do {
        digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative) {
        digits.insert(digits.begin(), L'-');
    }
    return digits;
}

}  // namespace tovask
