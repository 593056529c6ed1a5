#include "text/SpanishDate.h"

#include <array>
#include <string_view>

#include "text/DecimalText.h"

namespace tovask {
namespace {

constexpr std::array<std::wstring_view, 12> kMonths = {
    L"enero", L"febrero", L"marzo",      L"abril",   L"mayo",      L"junio",
    L"julio", L"agosto",  L"septiembre", L"octubre", L"noviembre", L"diciembre"};

std::wstring twoDigits(int number) {
    return (number >= 0 && number < 10 ? L"0" : L"") + decimalText(number);
}

}  // namespace

std::wstring spanishDate(const CalendarTime& time) {
    const bool known = time.month >= 1 && time.month <= static_cast<int>(kMonths.size());
    const auto month = known ? std::wstring(kMonths[static_cast<std::size_t>(time.month - 1)])
                             : decimalText(time.month);
    return decimalText(time.day) + L" de " + month + L" de " + decimalText(time.year) + L" a las " +
           twoDigits(time.hour) + L":" + twoDigits(time.minute);
}

}  // namespace tovask
