#pragma once

namespace tovask {

// A moment as this machine's clock and time zone show it, to the minute.
struct CalendarTime {
    int year = 0;
    int month = 0;  // 1 to 12
    int day = 0;
    int hour = 0;
    int minute = 0;

    bool operator==(const CalendarTime&) const = default;
};

}  // namespace tovask
