#pragma once

#include <string>

#include "values/CalendarTime.h"

namespace tovask {

// "7 de marzo de 2026 a las 09:05", as the program's reports say a moment.
// A month the calendar has not is written as its number.
std::wstring spanishDate(const CalendarTime& time);

}  // namespace tovask
