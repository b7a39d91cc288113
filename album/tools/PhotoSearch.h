// The album's photo search without its thread: the criteria block, one hit,
// the tests one file goes through, and the walk that does one file or one
// folder per step. The walk owns its queues, the open folder's entries and
// the hits; other threads only hand it a new search, ask it to stop, and
// read the hits and the latest path under its mutex.
#pragma once

#include "album/shell/PhotoEntry.h"
#include "album/shell/TagSet.h"
#include "imagecore/QLImage.h"
#include "platform/win/WinTypes.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CQLImageCodec;
struct ExifFields;

namespace shelf {

// WM_USER + 4182; the headless part needs no window header.
inline constexpr UINT WM_SEARCH_PHOTO = 0x0400 + 4182;
inline constexpr int kSearchThumbSize = 100;

struct SearchDate {
    WORD year = 0, month = 0, day = 0;
};

struct SearchCriteria {
    // Bounds that stand for "no upper bound" in the ISO and focus tests.
    static constexpr WORD kNoIsoLimit = 0xFFFF;
    static constexpr float kNoFocusLimit = 3.0e38f;

    int stopCount = 100;
    std::vector<std::string> nameKeywords;
    CTagSet tagKeywords;
    BYTE fileFormat = 0;   // 0 any, 1 JPEG, 2 TIFF, 3 BMP, 4 GIF, 5 other
    BYTE timeSource = 0;   // 0 EXIF or creation, 1 creation, 2 last write
    BYTE timeTest = 0;     // 0, 1 before, 2 after, 4 during
    SearchDate fromDate, toDate;
    BYTE sizeTest = 0;     // 0, 4 between
    DWORD sizeFrom = 0, sizeTo = 0; // kilobytes
    BYTE visitedTest = 0;  // 0, 8 must have an entry
    BYTE widthTest = 0, heightTest = 0;
    DWORD widthFrom = 0, widthTo = 0, heightFrom = 0, heightTo = 0;
    float aspect = 0;      // 0 any, -1 portrait, -2 landscape, else width/height
    BYTE tone = 0;         // 0 any, 1 low, 2 high, 3 high contrast, 4 mono, 5 colourful
    BYTE temperature = 0;  // 0 any, 1 warm, 2 cold, 3 contrast of both
    BYTE green = 0;        // 0 any, 1 yes, 2 no
    BYTE sky = 0;
    BYTE skin = 0;         // 0 any, 1 yes
    int noExifRule = 0;    // 0 include, 1 skip
    BYTE apertureTest = 0, shutterTest = 0; // 0 any, 3 equal, 7 at most, 6 at least, 5 near
    float fNumber = 0;
    float exposureTime = 0; // seconds
    BYTE flashTest = 0;    // 0 any, 1 fired, 2 not fired
    WORD isoFrom = 0, isoTo = kNoIsoLimit;
    float focusFrom = 0, focusTo = kNoFocusLimit; // tenths of a metre
    std::vector<std::string> modelKeywords;
    BYTE exposureClass = 0; // 0 any, 1 day outdoors, 2 night, 3 other
};

struct SearchResult {
    std::string path;
    std::string name;
    CQLImage thumb; // at most 100 pixels on the long side; may be empty
};

// What the EXIF bar asks of the search thread.
struct PreviewRequest {
    LPARAM id = 0;
    std::string path;
    HWND wnd = nullptr;
    CQLImage* target = nullptr;
    const std::atomic<LPARAM>* current = nullptr; // the bar's current request id
};

// The exposure values the EXIF tests read, from an entry or from the file.
struct ExposureFacts {
    float fNumber = 0;
    float exposureTime = 0;
    int flash = -1;      // -1 not recorded
    WORD iso = 0;
    float distance = 0;  // metres
    std::string model;
};

ExposureFacts FactsOf(const PhotoFileInfo& info);
ExposureFacts FactsOf(const ExifFields& fields);
// The entry carries any exposure value.
bool EntryHasExif(const PhotoFileInfo& info);

// Q = ISO x time / 2^(F/2), tripled when the flash value is not 0.
float ExposureQuantity(const ExposureFacts& facts);
bool ExposureClassMatches(int exposureClass, const ExposureFacts& facts);
// The EXIF value tests of one photo; facts are ignored when hasExif is false.
bool ExifValuesMatch(const SearchCriteria& c, bool hasExif, const ExposureFacts& facts);

// What the tone and colour tests measure on a thumbnail.
struct ToneStats {
    std::uint32_t pixels = 0;
    std::uint32_t dark = 0, bright = 0;
    std::uint32_t green = 0, sky = 0, skin = 0;
    std::uint32_t hueCount[256] = {};
    std::uint32_t hueWeight[256] = {};
    std::uint32_t totalWeight = 0;
    int meanHue = 0, meanSaturation = 0;
};
void MeasureTone(const CQLImage& thumb, CQLImageCodec& codec, ToneStats& out);
bool ToneMatches(const SearchCriteria& c, const ToneStats& s);
bool ToneTestWanted(const SearchCriteria& c);

// Later than, equal to or earlier than, by year, month and day.
int CompareDates(const SearchDate& a, const SearchDate& b);
bool TimeMatches(const SearchCriteria& c, const SearchDate& date);

// The sheet of a folder's thumbnails: 880 x 880 in 110-pixel cells. The
// target is left empty when the folder has no property file.
bool BuildFolderSheet(const std::string& folder, CQLImage& target);

// The walk. Notices go to notify as (wParam, lParam) of WM_SEARCH_PHOTO:
// (0, 0) progress (the path is LatestPath()), (1, index) a hit, (2, 0) the end
// or the stop count reached.
class PhotoSearch {
public:
    using Notify = std::function<void(WPARAM, LPARAM)>;

    PhotoSearch();
    ~PhotoSearch();
    PhotoSearch(const PhotoSearch&) = delete;
    PhotoSearch& operator=(const PhotoSearch&) = delete;

    // Any thread: hands over a new search; the hits of the last one are
    // freed and the walk takes the criteria and folders at its next step.
    void Start(SearchCriteria criteria, std::vector<std::string> folders);
    // Any thread: the walk empties its queues at its next step.
    void Stop();
    bool IsRunning() const { return m_running.load(); }
    bool IsBusy() const { return m_busy.load(); }

    // The walk's thread: one file or one folder; false when no further step
    // is due (stopped, or no folder left after the end notice).
    bool Step(const Notify& notify);

    // Any thread, under the mutex.
    int GetResultCount() const;
    // The hit's path, name and (when thumb is given) a copy of its thumbnail.
    bool GetResult(int index, std::string* path, std::string* name, CQLImage* thumb) const;
    std::vector<std::string> ResultPaths() const;
    std::string LatestPath() const;

    // One file of the current folder against the criteria (the walk's thread).
    bool TestFile(const std::string& name, SearchResult& result);

    // What the walk is doing, for its own thread and the tests.
    const std::string& CurrentFolder() const { return m_folder; }
    std::size_t QueuedFiles() const { return m_files.size(); }

private:
    struct Pending;
    void TakePending();
    void Clear();
    void NextFolder(const Notify& notify);
    void NextFile(const Notify& notify);
    void SetLatest(const std::string& path);
    const PhotoEntry* FindEntry(const std::string& name) const;

    mutable std::mutex m_mutex;
    std::unique_ptr<Pending> m_pending;                 // under m_mutex
    std::vector<std::unique_ptr<SearchResult>> m_results; // under m_mutex
    std::string m_latest;                               // under m_mutex
    std::uint64_t m_generation = 0;                     // under m_mutex
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_stopRequest{false};
    std::atomic<bool> m_busy{false};

    // The walk's own.
    std::uint64_t m_walkGeneration = 0;
    SearchCriteria m_criteria;
    std::deque<std::string> m_folders;
    std::deque<std::string> m_files;
    std::string m_folder;
    PhotoEntries m_entries;
    std::unique_ptr<CQLImageCodec> m_codec;
    bool m_endPosted = false;
};

} // namespace shelf
