#include "platform/win/Timing.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <ctime>

TEST(Timing, TickCountAdvancesAcrossSleep)
{
    const DWORD start = GetTickCount();
    Sleep(20);
    EXPECT_GE(static_cast<DWORD>(GetTickCount() - start), 20u);
}

namespace {
struct CalendarCase {
    std::uint64_t ticks;
    SYSTEMTIME expected; // year, month, day of week, day, hour, minute, second, ms
};
} // namespace

TEST(Timing, FileTimeToSystemTimeGivesUtcFieldsWithWeekday)
{
    const CalendarCase cases[] = {
        {0x0, {1601, 1, 1, 1, 0, 0, 0, 0}},
        {0x19db1ded53e8000, {1970, 1, 4, 1, 0, 0, 0, 0}},
        {0x1bf82b162c9fc50, {2000, 2, 2, 29, 12, 34, 56, 789}},
        {0x1c5962bf5b558f0 + 9999, {2005, 7, 0, 31, 23, 59, 59, 999}}, // sub-ms ticks dropped
        {0x22f9fc03dc34000, {2100, 3, 1, 1, 0, 0, 0, 0}},              // 2100 is no leap year
        {0x24c85a5ed1c018f0, {9999, 12, 5, 31, 23, 59, 59, 999}},
    };
    for (const auto& c : cases) {
        const FILETIME ft{static_cast<DWORD>(c.ticks), static_cast<DWORD>(c.ticks >> 32)};
        SYSTEMTIME st;
        std::memset(&st, 0xAB, sizeof st);
        ASSERT_TRUE(FileTimeToSystemTime(&ft, &st)) << c.ticks;
        EXPECT_EQ(std::memcmp(&st, &c.expected, sizeof st), 0) << c.ticks << " -> " << st.wYear << '-' << st.wMonth
                                                               << '-' << st.wDay << " dow " << st.wDayOfWeek;
    }
    const FILETIME tooLarge{0, 0x80000000u};
    SYSTEMTIME st{};
    EXPECT_FALSE(FileTimeToSystemTime(&tooLarge, &st));
}

TEST(Timing, GetSystemTimeIsTodayInUtc)
{
    SYSTEMTIME st{};
    GetSystemTime(&st);
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    EXPECT_EQ(st.wYear, utc.tm_year + 1900);
    EXPECT_EQ(st.wMonth, utc.tm_mon + 1);
    EXPECT_EQ(st.wDayOfWeek, utc.tm_wday);
    EXPECT_LT(st.wMilliseconds, 1000);
}
