#include "text/TextCompare.h"

#include <algorithm>
#include <cwctype>

namespace tovask {
namespace {

wchar_t upper(wchar_t c) {
    return static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
}

}  // namespace

bool equalsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return std::ranges::equal(a, b, [](wchar_t x, wchar_t y) { return upper(x) == upper(y); });
}

std::wstring foldedCase(std::wstring_view text) {
    std::wstring result(text);
    std::ranges::transform(result, result.begin(), upper);
    return result;
}

}  // namespace tovask
