// The plain-text month calendar that "Select a Month" hands to the text
// page: a weekday header, then one five-character cell per day, a line
// break after each Saturday.
#pragma once

#include <string>

// Sunday 0 .. Saturday 6 for a day of the Gregorian calendar.
int WeekdayOf(int year, int month, int day);
int DaysInMonth(int year, int month);
// english: the English header, else the header in the program's other language.
std::string MonthCalendarText(int year, int month, bool english);
