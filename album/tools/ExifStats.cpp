#include "album/tools/ExifStats.h"

#include "imagecore/ParallelFor.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

namespace shelf {
namespace {

constexpr const char* kOurSoftware = "Quillo";

void CopyName(ExifStatsGroup& group, const char* name, int textFlag)
{
    std::snprintf(group.name, sizeof group.name, "%s", name);
    group.textFlag = textFlag;
}

} // namespace

void ExifStatsGroup::AddText(const char* text)
{
    // Every version of our own software counts as one.
    if (std::strstr(text, kOurSoftware))
        text = kOurSoftware;
    for (ExifStatsEntry& e : entries)
        if (::strcasecmp(e.text, text) == 0) {
            ++e.count;
            return;
        }
    ExifStatsEntry entry;
    std::snprintf(entry.text, sizeof entry.text, "%s", text);
    entry.count = 1;
    entries.push_back(entry);
}

void ExifStatsGroup::AddValue(double value)
{
    for (ExifStatsEntry& e : entries)
        if (std::fabs(e.value - value) < 0.01 * std::fabs(e.value)) {
            ++e.count;
            return;
        }
    ExifStatsEntry entry;
    entry.value = value;
    entry.count = 1;
    entries.push_back(entry);
}

ExifStatsTable::ExifStatsTable()
{
    static const struct {
        const char* name;
        int textFlag;
    } kNames[kGroups] = {{"Camera Model", 1},    {"Aperture F Number", 0}, {"Shutter Speed", 0},
                         {"ISO Sensitivity", 0}, {"Focal Length", 0},      {"Focus Distance", 0},
                         {"Shot Time", 1},       {"Software", 1}};
    for (int i = 0; i < kGroups; ++i)
        CopyName(m_groups[static_cast<size_t>(i)], kNames[i].name, kNames[i].textFlag);
}

void ExifStatsTable::Clear()
{
    for (auto& group : m_groups)
        group.entries.clear();
}

double ExifStatsTable::ShutterClass(double t)
{
    if (t <= 0.001)
        return 0.001;
    if (t <= 0.01)
        return 0.01;
    if (t <= 0.1)
        return 0.1;
    if (t <= 1)
        return 1;
    return 10;
}

int ExifStatsTable::FocalClass(double f) { return 1 - static_cast<int>((f - 0.1) * -0.1); }

double ExifStatsTable::DistanceClass(double d)
{
    if (d < 0.2)
        return 0.2;
    if (d < 1)
        return 1;
    if (d < 5)
        return 5;
    if (d < 10)
        return 10;
    if (d < 30)
        return 30;
    return 100;
}

std::string ExifStatsTable::MonthOf(const char* text)
{
    if (!text || !*text)
        return {};
    int numbers[3] = {};
    int found = 0;
    const char* p = text;
    while (found < 3 && *p) {
        while (*p && std::strchr(":/- ", *p))
            ++p;
        if (!*p)
            break;
        numbers[found++] = std::atoi(p);
        while (*p && !std::strchr(":/- ", *p))
            ++p;
    }
    if (found < 3 || numbers[0] < 1901 || numbers[0] > 2200 || numbers[1] < 1 || numbers[1] > 12 || numbers[2] < 1 ||
        numbers[2] > 31)
        return {};
    char month[32];
    std::snprintf(month, sizeof month, "%d-%02d", numbers[0], numbers[1]);
    return month;
}

void ExifStatsTable::Classify(const ExifFields& f)
{
    std::lock_guard lock(m_mutex);
    ClassifyLocked(f);
}

void ExifStatsTable::ClassifyLocked(const ExifFields& f)
{
    Group(kByCamera).AddText(f.model);
    if (f.fNumber > 0)
        Group(kByAperture).AddValue(f.fNumber);
    if (f.exposureTime != 0)
        Group(kByShutter).AddValue(ShutterClass(f.exposureTime));
    const int iso = static_cast<WORD>(f.isoSpeed);
    if (iso > 0 && iso < 6400)
        Group(kByIso).AddValue(iso);
    if (f.focalLength != 0)
        Group(kByFocal).AddValue(FocalClass(f.focalLength));
    if (f.subjectDistance != 0)
        Group(kByDistance).AddValue(DistanceClass(f.subjectDistance));
    if (const std::string month = MonthOf(f.dateTime); !month.empty())
        Group(kByShotTime).AddText(month.c_str());
    if (f.software[0])
        Group(kBySoftware).AddText(f.software);
}

void ExifStatsTable::Sort()
{
    std::lock_guard lock(m_mutex);
    for (int kind = 0; kind < kGroups; ++kind) {
        auto& entries = Group(kind).entries;
        if (kind == kByCamera || kind == kBySoftware)
            std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
                return a.count != b.count ? a.count > b.count : a.value < b.value;
            });
        else if (kind == kByShotTime)
            std::stable_sort(entries.begin(), entries.end(),
                             [](const auto& a, const auto& b) { return ::strcasecmp(a.text, b.text) < 0; });
        else
            std::stable_sort(entries.begin(), entries.end(),
                             [](const auto& a, const auto& b) { return a.value < b.value; });
    }
}

std::string StatsRowLabel(int kind, const ExifStatsEntry& e)
{
    char text[160];
    switch (kind) {
    case kByAperture: std::snprintf(text, sizeof text, "F%.1f", e.value); return text;
    case kByShutter:
        if (e.value >= 10) return ">1(s)";
        if (e.value >= 1) return "0.1-1.0(s)";
        if (e.value >= 0.1) return "1/100-1/10(s)";
        if (e.value >= 0.01) return "1/1000-1/100(s)";
        return "<1/1000(s)";
    case kByIso: std::snprintf(text, sizeof text, "ISO%d", static_cast<int>(e.value)); return text;
    case kByFocal: {
        const int k = static_cast<int>(e.value);
        if (k == 1)
            return "1-10mm";
        std::snprintf(text, sizeof text, "%d-%dmm", (k - 1) * 10, k * 10);
        return text;
    }
    case kByDistance:
        switch (static_cast<int>(e.value * 10)) {
        case 2: return "<20cm";
        case 10: return "20-100cm";
        case 50: return "1-5m";
        case 100: return "5-10m";
        case 300: return "10-30m";
        default: return ">30m";
        }
    default: return e.text;
    }
}

StatsColumns StatsColumnsOf(int kind)
{
    switch (kind) {
    case kByAperture: return {35, 40};
    case kByShutter: return {105, 110};
    case kByIso: return {55, 60};
    case kByFocal:
    case kByDistance: return {65, 70};
    default: return {205, 210};
    }
}

namespace {

// Files read at once on every core; the counts and a cancel request follow
// each batch, and the batch is classified in the folder's order, so the
// table is the same as one thread's.
constexpr std::size_t kScanBatch = 256;

struct ScannedFile {
    bool photo = false;   // a JPEG or a TIFF
    bool counted = false; // with a camera model that passes the filter
    ExifFields fields{};
};

void ReadScanned(const std::string& path, const std::string& filter, ScannedFile& out)
{
    out.photo = false;
    out.counted = false;
    const DWORD type = CQLImageCodec::GetFileType(path.c_str());
    if (type != QL_FILE_JPEG && type != QL_FILE_TIFF)
        return;
    out.photo = true;
    ExifInfo exif;
    if (exif.ReadFromFile(path.c_str()) && exif.GetFields().model[0] &&
        (filter.empty() || ::strcasecmp(exif.GetFields().model, filter.c_str()) == 0)) {
        out.fields = exif.GetFields();
        out.counted = true;
    }
}

struct BatchRead {
    const std::string* files;
    ScannedFile* results;
    const std::string* filter;
    const std::atomic<bool>* cancel;

    static void Run(void* context, std::size_t i)
    {
        const BatchRead& b = *static_cast<const BatchRead*>(context);
        if (!b.cancel->load())
            ReadScanned(b.files[i], *b.filter, b.results[i]);
    }
};

} // namespace

void ScanExifFolder(const std::string& folderIn, const std::string& filter, ExifStatsTable& table,
                    ExifScanCounts& counts, const std::function<void(const std::string&)>& status,
                    const std::atomic<bool>& cancel)
{
    if (cancel.load())
        return;
    const std::string folder = folderIn.empty() || folderIn.back() == '/' ? folderIn : folderIn + "/";
    if (status)
        status(folder + "*.*");
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    std::vector<std::string> files, subfolders;
    while (const dirent* item = ::readdir(dir)) {
        if (cancel.load())
            break;
        const std::string path = folder + item->d_name;
        struct stat st {};
        // A link is never followed into a folder, nor counted as a photo.
        if (::lstat(path.c_str(), &st) != 0 || S_ISLNK(st.st_mode))
            continue;
        if (S_ISDIR(st.st_mode)) {
            if (item->d_name[0] != '.')
                subfolders.push_back(path);
        } else if (S_ISREG(st.st_mode)) {
            files.push_back(path);
        }
    }
    ::closedir(dir);

    std::vector<ScannedFile> batch(std::min(files.size(), kScanBatch));
    for (std::size_t first = 0; first < files.size() && !cancel.load(); first += kScanBatch) {
        const int n = static_cast<int>(std::min(kScanBatch, files.size() - first));
        // A chunk per file, claimed by whichever thread is free: files differ
        // in size, and on a busy machine a fixed share per thread waits for
        // the slowest.
        BatchRead read{&files[first], &batch[0], &filter, &cancel};
        imagecore::detail::RunChunks(static_cast<std::size_t>(n), &BatchRead::Run, &read);
        if (cancel.load())
            break;
        for (int i = 0; i < n; ++i) {
            const ScannedFile& file = batch[static_cast<std::size_t>(i)];
            if (!file.photo)
                continue;
            if (file.counted) {
                table.Classify(file.fields);
                ++counts.counted;
            }
            ++counts.found;
        }
    }
    std::sort(subfolders.begin(), subfolders.end());
    for (const std::string& sub : subfolders)
        ScanExifFolder(sub, filter, table, counts, status, cancel);
}

} // namespace shelf
