#include "platform/win/Timing.h"

#include <chrono>
#include <cstdint>
#include <thread>

void Sleep(DWORD ms)
{
    if (ms == 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

DWORD GetTickCount()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

BOOL FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime)
{
    if (!fileTime || !systemTime)
        return FALSE;
    const std::uint64_t ticks = (std::uint64_t{fileTime->dwHighDateTime} << 32) | fileTime->dwLowDateTime;
    if (ticks > std::uint64_t{INT64_MAX})
        return FALSE;
    constexpr std::uint64_t ticksPerMs = 10000;
    const std::uint64_t ms = ticks / ticksPerMs;
    const auto days = static_cast<std::int64_t>(ms / 86400000);
    const std::uint64_t msOfDay = ms % 86400000;

    // Days since 1601-01-01 to a civil date (proleptic Gregorian), counted
    // from 0000-03-01 so that leap days fall at the end of a year.
    constexpr std::int64_t daysFrom0000To1601 = 584694; // 0000-03-01 to 1601-01-01
    const std::int64_t z = days + daysFrom0000To1601;
    const std::int64_t era = z / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t day = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);

    systemTime->wYear = static_cast<WORD>(year);
    systemTime->wMonth = static_cast<WORD>(month);
    systemTime->wDay = static_cast<WORD>(day);
    systemTime->wDayOfWeek = static_cast<WORD>((days + 1) % 7); // 1601-01-01 was a Monday
    systemTime->wHour = static_cast<WORD>(msOfDay / 3600000);
    systemTime->wMinute = static_cast<WORD>(msOfDay / 60000 % 60);
    systemTime->wSecond = static_cast<WORD>(msOfDay / 1000 % 60);
    systemTime->wMilliseconds = static_cast<WORD>(msOfDay % 1000);
    return TRUE;
}

void GetSystemTime(SYSTEMTIME* systemTime)
{
    using namespace std::chrono;
    constexpr std::int64_t ticksFrom1601To1970 = 116444736000000000;
    const auto sinceEpoch = duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
    const auto ticks = static_cast<std::uint64_t>(sinceEpoch * 10 + ticksFrom1601To1970);
    const FILETIME fileTime{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    FileTimeToSystemTime(&fileTime, systemTime);
}
