// The schedule in section Beacon of Quillo.ini: whether a start opens the
// window, and the times it keeps.
#pragma once

#include <ctime>
#include <string>

namespace beacon {

inline constexpr const char kSection[] = "Beacon";

enum class ScheduleStep {
    kEnd,        // end without a window
    kIntroduce,  // show the introduction and the run-mode choice, then open
    kOpen,
};

struct ScheduleTimes {
    std::time_t lastRun = 0;
    std::time_t sinceTime = 0;
};

// Reads the keys, writes what the first start and the introduction write.
ScheduleStep EvaluateSchedule(const std::string& profile, std::time_t now, bool automatic, ScheduleTimes* times);

// The six keys prefix+"Year" ... prefix+"Second" read as a local time.
std::time_t ReadProfileTime(const std::string& profile, const char* prefix);
void WriteProfileTime(const std::string& profile, const char* prefix, std::time_t t);
inline void WriteLastRun(const std::string& profile, std::time_t t) { WriteProfileTime(profile, "LastRun", t); }
inline void WriteLastSuccess(const std::string& profile, std::time_t t) { WriteProfileTime(profile, "SucRun", t); }

int ReadProfileInt(const std::string& profile, const char* key, int def);
void WriteProfileInt(const std::string& profile, const char* key, int value);

// The program's arguments: the first one that is not a switch ("/" or "-")
// turns automatic mode on.
bool IsAutomaticStart(int argc, const char* const* argv);

} // namespace beacon
