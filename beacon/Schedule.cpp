#include "beacon/Schedule.h"

#include "platform/win/Profile.h"

#include <string>

namespace beacon {

int ReadProfileInt(const std::string& profile, const char* key, int def)
{
    return static_cast<int>(GetPrivateProfileInt(kSection, key, def, profile.c_str()));
}

void WriteProfileInt(const std::string& profile, const char* key, int value)
{
    WritePrivateProfileString(kSection, key, std::to_string(value).c_str(), profile.c_str());
}

std::time_t ReadProfileTime(const std::string& profile, const char* prefix)
{
    const std::string p = prefix;
    std::tm tm{};
    tm.tm_year = ReadProfileInt(profile, (p + "Year").c_str(), 2005) - 1900;
    tm.tm_mon = ReadProfileInt(profile, (p + "Month").c_str(), 1) - 1;
    tm.tm_mday = ReadProfileInt(profile, (p + "Day").c_str(), 1);
    tm.tm_hour = ReadProfileInt(profile, (p + "Hour").c_str(), 0);
    tm.tm_min = ReadProfileInt(profile, (p + "Minute").c_str(), 0);
    tm.tm_sec = ReadProfileInt(profile, (p + "Second").c_str(), 0);
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

void WriteProfileTime(const std::string& profile, const char* prefix, std::time_t t)
{
    std::tm tm{};
    localtime_r(&t, &tm);
    const std::string p = prefix;
    WriteProfileInt(profile, (p + "Year").c_str(), tm.tm_year + 1900);
    WriteProfileInt(profile, (p + "Month").c_str(), tm.tm_mon + 1);
    WriteProfileInt(profile, (p + "Day").c_str(), tm.tm_mday);
    WriteProfileInt(profile, (p + "Hour").c_str(), tm.tm_hour);
    WriteProfileInt(profile, (p + "Minute").c_str(), tm.tm_min);
    WriteProfileInt(profile, (p + "Second").c_str(), tm.tm_sec);
}

ScheduleStep EvaluateSchedule(const std::string& profile, std::time_t now, bool automatic, ScheduleTimes* times)
{
    const int runMode = ReadProfileInt(profile, "RunMode", -1);
    const int firstWeek = ReadProfileInt(profile, "FirstWeek", 1);
    times->lastRun = ReadProfileTime(profile, "LastRun");
    times->sinceTime = ReadProfileTime(profile, "SucRun");
    if (runMode == -1) {
        times->lastRun = now;
        WriteProfileInt(profile, "RunMode", 0);
        WriteLastRun(profile, now);
        return ScheduleStep::kEnd;
    }
    const long long days = (static_cast<long long>(now) - static_cast<long long>(times->lastRun)) / 86400;
    if (automatic) {
        if ((runMode == 0 && days < 7) || (runMode == 1 && days < 30) || runMode == 2)
            return ScheduleStep::kEnd;
    }
    if (firstWeek) {
        WriteProfileInt(profile, "FirstWeek", 0);
        return ScheduleStep::kIntroduce;
    }
    return ScheduleStep::kOpen;
}

bool IsAutomaticStart(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (a && a[0] != '/' && a[0] != '-')
            return true;
    }
    return false;
}

} // namespace beacon
