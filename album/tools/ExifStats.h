// EXIF statistics without a window: the eight groups of counts, how one
// photo's record is classified into them, the sort after a scan, the row
// labels of the charts and the scan of a folder tree.
#pragma once

#include "editor/shell/ExifInfo.h"

#include <array>
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace shelf {

struct ExifStatsEntry {
    double value = 0;
    char text[128] = {};
    int count = 0;
};

struct ExifStatsGroup {
    char name[32] = {};
    int textFlag = 0; // 1: entries told apart by text, 0: by value
    std::vector<ExifStatsEntry> entries;

    void AddText(const char* text);
    void AddValue(double value);
};

enum ExifStatsKind { kByCamera, kByAperture, kByShutter, kByIso, kByFocal, kByDistance, kByShotTime, kBySoftware };

class ExifStatsTable {
public:
    static constexpr int kGroups = 8;
    ExifStatsTable();

    // Locks the table: a scan classifies while the window paints.
    void Classify(const ExifFields& fields);
    void Sort();
    void Clear();
    ExifStatsGroup& Group(int kind) { return m_groups[static_cast<size_t>(kind)]; }
    const ExifStatsGroup& Group(int kind) const { return m_groups[static_cast<size_t>(kind)]; }

    // Class values of the value groups.
    static double ShutterClass(double seconds);
    static int FocalClass(double millimetres);
    static double DistanceClass(double metres);
    // "%d-%02d" of a date text with a sound year, month and day; "" else.
    static std::string MonthOf(const char* dateText);

    std::mutex m_mutex;

private:
    void ClassifyLocked(const ExifFields& fields);
    std::array<ExifStatsGroup, kGroups> m_groups;
};

// The label of one row of a horizontal chart.
std::string StatsRowLabel(int kind, const ExifStatsEntry& entry);
// Where a row's label ends and its bar starts, from the chart's left.
struct StatsColumns {
    int labelEnd;
    int barStart;
};
StatsColumns StatsColumnsOf(int kind);

struct ExifScanCounts {
    std::atomic<int> found{0};
    std::atomic<int> counted{0};
};

// Walks folder and its sub-folders (names not starting with '.', never a
// link to a folder); JPEG and TIFF files count as found, those with a camera
// model (equal to filter, case ignored, when one is given) are classified.
// status(pattern) before each folder; stops early once cancel is set.
void ScanExifFolder(const std::string& folder, const std::string& filter, ExifStatsTable& table,
                    ExifScanCounts& counts, const std::function<void(const std::string&)>& status,
                    const std::atomic<bool>& cancel);

} // namespace shelf
