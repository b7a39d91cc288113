#include "editor/retouch/MonthCalendar.h"

#include <cstdio>

int WeekdayOf(int year, int month, int day)
{
    // Sakamoto's method.
    static const int kOffsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3)
        year -= 1;
    return (year + year / 4 - year / 100 + year / 400 + kOffsets[month - 1] + day) % 7;
}

int DaysInMonth(int year, int month)
{
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

std::string MonthCalendarText(int year, int month, bool english)
{
    if (month < 1 || month > 12)
        return {};
    // Each Chinese weekday is two columns wide in a fixed-width face.
    std::string text = english ? "SUN  MON  TUE  WED  THU  FRI  SAT \r\n\r\n"
                               : "日   一   二   三   四   五   六  \r\n\r\n";
    const int first = WeekdayOf(year, month, 1);
    for (int i = 0; i < first; ++i)
        text += "     ";
    const int days = DaysInMonth(year, month);
    for (int day = 1; day <= days; ++day) {
        char cell[8];
        std::snprintf(cell, sizeof cell, " %2d  ", day);
        text += cell;
        if ((first + day - 1) % 7 == 6)
            text += "\r\n";
    }
    return text;
}
