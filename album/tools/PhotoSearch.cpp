#include "album/tools/PhotoSearch.h"

#include "editor/shell/ExifInfo.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/FileFind.h"
#include "platform/win/FileOps.h"
#include "platform/win/Timing.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

namespace shelf {

struct PhotoSearch::Pending {
    SearchCriteria criteria;
    std::vector<std::string> folders;
};

namespace {

std::string upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool containsAll(const std::string& text, const std::vector<std::string>& keywords)
{
    const std::string haystack = upper(text);
    return std::all_of(keywords.begin(), keywords.end(),
                       [&](const std::string& k) { return haystack.find(upper(k)) != std::string::npos; });
}

float firstPositive(double a, double b)
{
    return a > 0 ? static_cast<float>(a) : b > 0 ? static_cast<float>(b) : 0.0f;
}

SearchDate dateOf(const SYSTEMTIME& t) { return {t.wYear, t.wMonth, t.wDay}; }

SearchDate fileDate(const std::string& path, bool lastWrite)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    SYSTEMTIME t{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        !FileTimeToSystemTime(lastWrite ? &data.ftLastWriteTime : &data.ftCreationTime, &t))
        return {};
    return dateOf(t);
}

DWORD fileSizeLow(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ? data.nFileSizeLow : 0;
}

bool formatMatches(int format, DWORD type)
{
    switch (format) {
    case 1: return type == QL_FILE_JPEG;
    case 2: return type == QL_FILE_TIFF;
    case 3: return type == QL_FILE_BMP;
    case 4: return type == QL_FILE_GIF;
    // Pictures the first four choices leave out.
    case 5: return type == QL_FILE_PNG || type == QL_FILE_PCX || type == QL_FILE_TGA || type == QL_FILE_RAW;
    default: return true;
    }
}

bool rangeTest(int test, float value, float target, bool equalNear)
{
    switch (test) {
    case 3: return equalNear ? std::fabs(value - target) <= 0.05f : value == target;
    case 7: return value <= target;
    case 6: return value >= target;
    case 5: return equalNear ? std::fabs(value - target) <= 1.5f : value >= target / 2 && value <= target * 2;
    default: return true;
    }
}

// A folder reached through a symbolic link is not walked.
bool isRealFolder(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

ExposureFacts FactsOf(const PhotoFileInfo& info)
{
    ExposureFacts f;
    f.fNumber = info.fFNumber;
    f.exposureTime = info.fExposureTime;
    f.flash = info.wFlash == 0xFFFF ? -1 : info.wFlash;
    f.iso = info.wISO;
    f.distance = info.fSubjectDistance;
    f.model = info.szModel;
    return f;
}

ExposureFacts FactsOf(const ExifFields& fields)
{
    ExposureFacts f;
    f.fNumber = firstPositive(fields.fNumber, fields.aperture);
    f.exposureTime = firstPositive(fields.shutterSpeed, fields.exposureTime);
    f.flash = fields.flash;
    f.iso = static_cast<WORD>(fields.isoSpeed);
    f.distance = static_cast<float>(fields.subjectDistance);
    f.model = fields.model;
    return f;
}

bool EntryHasExif(const PhotoFileInfo& info)
{
    return info.fExposureTime > 0 || info.fFNumber > 0 || info.fFocalLength > 0 || info.wISO != 0 ||
           info.wFlash != 0xFFFF;
}

float ExposureQuantity(const ExposureFacts& f)
{
    const double iso = f.iso ? f.iso : 100;
    double q = iso * f.exposureTime / std::pow(2.0, f.fNumber / 2.0);
    if (f.flash != 0)
        q *= 3;
    return static_cast<float>(q);
}

bool ExposureClassMatches(int exposureClass, const ExposureFacts& facts)
{
    const float q = ExposureQuantity(facts);
    switch (exposureClass) {
    case 1: return q <= 0.8f;
    case 2: return q >= 3.0f;
    case 3: return q >= 0.2f && q <= 4.0f;
    default: return true;
    }
}

bool ExifValuesMatch(const SearchCriteria& c, bool hasExif, const ExposureFacts& f)
{
    if (!hasExif)
        return c.noExifRule == 0;
    const bool skip = c.noExifRule == 1;
    if (c.apertureTest) {
        if (skip && f.fNumber <= 0)
            return false;
        if (!rangeTest(c.apertureTest, f.fNumber, c.fNumber, true))
            return false;
    }
    if (c.shutterTest) {
        if (skip && f.exposureTime <= 0)
            return false;
        if (!rangeTest(c.shutterTest, f.exposureTime, c.exposureTime, false))
            return false;
    }
    if (c.flashTest) {
        if (f.flash == -1 && skip)
            return false;
        if (c.flashTest == 1 && f.flash == 0)
            return false;
        if (c.flashTest == 2 && f.flash != 0)
            return false;
    }
    if (f.iso < c.isoFrom || f.iso > c.isoTo)
        return false;
    const float tenths = std::trunc(f.distance * 10);
    if (tenths < c.focusFrom || tenths > c.focusTo)
        return false;
    if (!c.modelKeywords.empty() && !containsAll(f.model, c.modelKeywords))
        return false;
    return c.exposureClass == 0 || ExposureClassMatches(c.exposureClass, f);
}

void MeasureTone(const CQLImage& thumb, CQLImageCodec& codec, ToneStats& s)
{
    s = ToneStats{};
    UINT w = 0, h = 0;
    thumb.GetSize(&w, &h);
    const std::uint32_t n = w * h;
    s.pixels = n;
    if (!n)
        return;
    std::vector<BYTE> hsb(std::size_t{n} * 4);
    std::memcpy(hsb.data(), thumb.GetBuffer(0, 0), hsb.size());
    std::uint32_t grey[256] = {};
    for (std::uint32_t i = 0; i < n; ++i) {
        const BYTE* p = &hsb[std::size_t{i} * 4];
        ++grey[(p[0] + 6 * p[1] + 3 * p[2]) / 10];
    }
    for (int i = 0; i < 64; ++i)
        s.dark += grey[i];
    for (int i = 192; i < 256; ++i)
        s.bright += grey[i];
    codec.RGB2HSB(hsb.data(), static_cast<int>(n));
    std::uint64_t hueSum = 0, satSum = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        const BYTE* p = &hsb[std::size_t{i} * 4];
        const int H = p[2], S = p[1], V = p[0];
        if (H > 40 && H < 128 && S > 44 && V > 10 && V < 220)
            ++s.green;
        if (H > 128 && H < 192 && S > 32 && (V > 128 || (V < 128 && S > 128 && V > 1)))
            ++s.sky;
        if ((H < 45 || H > 230) && V > 80 && S + V > 128)
            ++s.skin;
        ++s.hueCount[H];
        s.hueWeight[H] += S / 16;
        s.totalWeight += S / 16;
        hueSum += H;
        satSum += S;
    }
    s.meanHue = static_cast<int>(hueSum / n);
    s.meanSaturation = static_cast<int>(satSum / n);
}

bool ToneTestWanted(const SearchCriteria& c) { return c.tone || c.temperature || c.green || c.sky || c.skin; }

bool ToneMatches(const SearchCriteria& c, const ToneStats& s)
{
    const std::uint64_t n = s.pixels;
    if (!n)
        return false;
    const auto percent = [n](std::uint64_t count) { return count * 100 / n; };
    switch (c.tone) {
    case 1:
        if (s.dark * 2 < n)
            return false;
        break;
    case 2:
        if (s.bright * 2 < n)
            return false;
        break;
    case 3:
        if ((std::uint64_t{s.dark} + s.bright) * 5 < 3 * n || s.dark * 20 < n || s.bright * 20 < n)
            return false;
        break;
    case 4:
        if (s.meanSaturation > 12) {
            std::uint64_t around = 0;
            for (int d = -16; d < 16; ++d)
                around += s.hueCount[(s.meanHue + d + 256) & 255];
            if (around * 10 < n * 9)
                return false;
        }
        break;
    case 5:
        if (s.meanSaturation < 64)
            return false;
        break;
    default: break;
    }
    if ((c.green == 1 && percent(s.green) < 15) || (c.green == 2 && percent(s.green) > 15))
        return false;
    if ((c.sky == 1 && percent(s.sky) < 15) || (c.sky == 2 && percent(s.sky) > 15))
        return false;
    if (c.skin == 1 && (percent(s.skin) < 8 || percent(s.skin) > 80))
        return false;
    if (c.temperature) {
        if (s.meanSaturation < 16 || s.totalWeight == 0)
            return false;
        std::uint64_t warm = 0, cold = 0;
        for (int i = 0; i < 40; ++i)
            warm += s.hueWeight[i];
        for (int i = 228; i < 256; ++i)
            warm += s.hueWeight[i];
        for (int i = 100; i <= 205; ++i)
            cold += s.hueWeight[i];
        const std::uint64_t warmPct = warm * 100 / s.totalWeight, coldPct = cold * 100 / s.totalWeight;
        if (c.temperature == 1 && warmPct < 70)
            return false;
        if (c.temperature == 2 && coldPct < 70)
            return false;
        if (c.temperature == 3 && ((warm + cold) * 100 / s.totalWeight < 80 || warmPct < 10 || coldPct < 10))
            return false;
    }
    return true;
}

int CompareDates(const SearchDate& a, const SearchDate& b)
{
    const auto key = [](const SearchDate& d) { return (d.year * 13 + d.month) * 32 + d.day; };
    const int ka = key(a), kb = key(b);
    return ka < kb ? -1 : ka > kb ? 1 : 0;
}

bool TimeMatches(const SearchCriteria& c, const SearchDate& date)
{
    switch (c.timeTest) {
    case 1: return CompareDates(date, c.fromDate) <= 0;
    case 2: return CompareDates(date, c.fromDate) >= 0;
    case 4: return CompareDates(date, c.fromDate) >= 0 && CompareDates(date, c.toDate) <= 0;
    default: return true;
    }
}

bool BuildFolderSheet(const std::string& folder, CQLImage& target)
{
    constexpr int kSheet = 880, kCell = 110, kFirst = 5, kLast = 800;
    target.Free();
    std::string path = folder;
    if (path.empty() || path.back() != '/')
        path += '/';
    path += kPropertyFileName;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    const bool made = target.Create(kSheet, kSheet) == 0;
    if (made)
        std::memset(target.GetBuffer(0, 0), 240, std::size_t{kSheet} * kSheet * 4);
    int x = kFirst, y = kFirst;
    PhotoEntry entry;
    while (made && y <= kLast && entry.Serialize(file, 1)) {
        UINT w = 0, h = 0;
        entry.m_thumb.GetSize(&w, &h);
        // Only whole thumbnails of the album's size take a cell.
        if (w == 0 || h == 0 || w > kMaxThumbSide || h > kMaxThumbSide || (w != kMaxThumbSide && h != kMaxThumbSide))
            continue;
        const int left = x + (kCell - static_cast<int>(w)) / 2, top = y + (kCell - static_cast<int>(h)) / 2;
        for (UINT row = 0; row < h; ++row)
            std::memcpy(target.GetBuffer(left, top + static_cast<int>(row)), entry.m_thumb.GetBuffer(0, row), w * 4);
        x += kCell;
        if (x > kLast) {
            x = kFirst;
            y += kCell;
        }
    }
    std::fclose(file);
    return made;
}

PhotoSearch::PhotoSearch() : m_codec(std::make_unique<CQLImageCodec>()) {}

PhotoSearch::~PhotoSearch() = default;

void PhotoSearch::Start(SearchCriteria criteria, std::vector<std::string> folders)
{
    auto pending = std::make_unique<Pending>();
    pending->criteria = std::move(criteria);
    pending->folders = std::move(folders);
    std::lock_guard lock(m_mutex);
    m_pending = std::move(pending);
    m_results.clear();
    m_latest.clear();
    ++m_generation;
    m_stopRequest.store(false);
    m_running.store(true);
}

void PhotoSearch::Stop()
{
    std::lock_guard lock(m_mutex);
    m_pending.reset();
    m_stopRequest.store(true);
    m_running.store(false);
}

void PhotoSearch::Clear()
{
    m_files.clear();
    m_folders.clear();
    m_entries.clear();
    m_folder.clear();
}

void PhotoSearch::TakePending()
{
    std::unique_ptr<Pending> pending;
    {
        std::lock_guard lock(m_mutex);
        if (m_stopRequest.exchange(false))
            Clear();
        pending = std::move(m_pending);
        if (pending)
            m_walkGeneration = m_generation;
    }
    if (!pending)
        return;
    Clear();
    m_criteria = std::move(pending->criteria);
    m_folders.assign(pending->folders.begin(), pending->folders.end());
    m_endPosted = false;
}

bool PhotoSearch::Step(const Notify& notify)
{
    TakePending();
    if (!m_running.load() || m_endPosted)
        return false;
    m_busy.store(true);
    if (!m_files.empty())
        NextFile(notify);
    else
        NextFolder(notify);
    m_busy.store(false);
    return m_running.load() && !m_endPosted;
}

void PhotoSearch::SetLatest(const std::string& path)
{
    std::lock_guard lock(m_mutex);
    m_latest = path;
}

std::string PhotoSearch::LatestPath() const
{
    std::lock_guard lock(m_mutex);
    return m_latest;
}

void PhotoSearch::NextFolder(const Notify& notify)
{
    if (m_folders.empty()) {
        m_endPosted = true;
        m_entries.clear();
        notify(2, 0);
        return;
    }
    m_folder = m_folders.back();
    m_folders.pop_back();
    if (m_folder.empty() || m_folder.back() != '/')
        m_folder += '/';
    m_entries.clear();
    LoadPropertyRecords(m_folder + kPropertyFileName, m_entries);
    SetLatest(m_folder);
    notify(0, 0);
    WIN32_FIND_DATA data{};
    const HANDLE find = FindFirstFile((m_folder + "*.*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (m_stopRequest.load())
            break;
        const std::string name = data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (name != "." && name != ".." && isRealFolder(m_folder + name))
                m_folders.push_back(m_folder + name + '/');
        } else if (CQLImageCodec::GetFileType((m_folder + name).c_str()) != QL_FILE_UNKNOWN) {
            m_files.push_back(name);
        }
    } while (FindNextFile(find, &data));
    FindClose(find);
}

void PhotoSearch::NextFile(const Notify& notify)
{
    const std::string name = m_files.back();
    m_files.pop_back();
    auto result = std::make_unique<SearchResult>();
    if (!TestFile(name, *result))
        return;
    int index = -1;
    bool reached = false;
    {
        std::lock_guard lock(m_mutex);
        if (m_walkGeneration != m_generation)
            return; // a new search started during the test
        m_results.push_back(std::move(result));
        index = static_cast<int>(m_results.size()) - 1;
        reached = static_cast<int>(m_results.size()) >= m_criteria.stopCount;
    }
    if (reached)
        notify(2, 0);
    notify(1, index);
}

const PhotoEntry* PhotoSearch::FindEntry(const std::string& name) const
{
    for (const auto& entry : m_entries)
        if (name == entry->m_info.szFileName)
            return entry.get();
    return nullptr;
}

bool PhotoSearch::TestFile(const std::string& name, SearchResult& result)
{
    const SearchCriteria& c = m_criteria;
    const std::string path = m_folder + name;
    SetLatest(path);
    const PhotoEntry* entry = FindEntry(name);
    if (c.visitedTest && !entry)
        return false;
    const DWORD type = CQLImageCodec::GetFileType(path.c_str());
    if (c.fileFormat && !formatMatches(c.fileFormat, type))
        return false;
    if (!c.nameKeywords.empty() && !containsAll(name, c.nameKeywords))
        return false;
    if (c.tagKeywords.GetCount() > 0) {
        if (type != QL_FILE_JPEG)
            return false;
        ExifInfo exif;
        CTagSet tags;
        if (exif.ReadFromFile(path.c_str()))
            tags.Parse(exif.GetPrivateText());
        for (int i = 0; i < c.tagKeywords.GetCount(); ++i)
            if (tags.Find(c.tagKeywords.GetAt(i)) < 0)
                return false;
    }
    bool hasExif = false;
    ExposureFacts facts;
    SYSTEMTIME exifTaken{};
    if (entry) {
        hasExif = EntryHasExif(entry->m_info);
        facts = FactsOf(entry->m_info);
    } else if (type == QL_FILE_JPEG || type == QL_FILE_TIFF) {
        ExifInfo exif;
        // A file whose reading found no camera field has no EXIF.
        hasExif = exif.ReadFromFile(path.c_str()) != 0 && exif.GetFields().hasExif;
        if (hasExif) {
            facts = FactsOf(exif.GetFields());
            exifTaken = ParseExifDateTime(exif.GetFields().dateTime);
        }
    }
    if (c.timeTest) {
        SearchDate date;
        if (c.timeSource == 1)
            date = fileDate(path, false);
        else if (c.timeSource == 2)
            date = fileDate(path, true);
        else if (entry && entry->m_info.stDateTaken.wYear)
            date = dateOf(entry->m_info.stDateTaken);
        else if (exifTaken.wYear)
            date = dateOf(exifTaken);
        else
            date = fileDate(path, false);
        if (!TimeMatches(c, date))
            return false;
    }
    if (c.sizeTest) {
        const DWORD kb = (entry ? static_cast<DWORD>(entry->m_info.nFileSize) : fileSizeLow(path)) / 1024;
        if (kb < c.sizeFrom || kb > c.sizeTo)
            return false;
    }
    if (c.widthTest || c.heightTest || c.aspect != 0) {
        int w = 0, h = 0;
        if (entry && entry->m_info.nWidth) {
            w = entry->m_info.nWidth;
            h = entry->m_info.nHeight;
        } else {
            CQLImageCodec::GetFileShape(path.c_str(), &w, &h);
        }
        if (c.widthTest && (w < 0 || static_cast<DWORD>(w) < c.widthFrom || static_cast<DWORD>(w) > c.widthTo))
            return false;
        if (c.heightTest && (h < 0 || static_cast<DWORD>(h) < c.heightFrom || static_cast<DWORD>(h) > c.heightTo))
            return false;
        if (c.aspect > 0 && (h <= 0 || std::fabs(static_cast<double>(w) / h - c.aspect) > 0.1))
            return false;
        if (c.aspect == -1.0f && h < w)
            return false;
        if (c.aspect == -2.0f && w < h)
            return false;
    }
    if (ToneTestWanted(c)) {
        const CQLImage* thumb = entry && entry->m_thumb.GetAreaByteSize() ? &entry->m_thumb : nullptr;
        if (!thumb) {
            int w = 0, h = 0;
            if (!m_codec->CreateThumbnail(path.c_str(), &result.thumb, kSearchThumbSize, &w, &h, 0))
                return false;
            thumb = &result.thumb;
        }
        ToneStats stats;
        MeasureTone(*thumb, *m_codec, stats);
        if (!ToneMatches(c, stats))
            return false;
    }
    if (!ExifValuesMatch(c, hasExif, facts))
        return false;
    result.path = path;
    result.name = name;
    if (!result.thumb.GetAreaByteSize()) {
        // The entry's thumbnail is the same picture at the same size.
        if (entry && entry->m_thumb.GetAreaByteSize())
            result.thumb.DuplicateFrom(&entry->m_thumb);
        else {
            int w = 0, h = 0;
            m_codec->CreateThumbnail(path.c_str(), &result.thumb, kSearchThumbSize, &w, &h, 0);
        }
    }
    return true;
}

int PhotoSearch::GetResultCount() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_results.size());
}

bool PhotoSearch::GetResult(int index, std::string* path, std::string* name, CQLImage* thumb) const
{
    std::lock_guard lock(m_mutex);
    if (index < 0 || index >= static_cast<int>(m_results.size()))
        return false;
    const SearchResult& r = *m_results[static_cast<std::size_t>(index)];
    if (path)
        *path = r.path;
    if (name)
        *name = r.name;
    if (thumb) {
        thumb->Free();
        if (r.thumb.GetAreaByteSize())
            thumb->DuplicateFrom(&r.thumb);
    }
    return true;
}

std::vector<std::string> PhotoSearch::ResultPaths() const
{
    std::lock_guard lock(m_mutex);
    std::vector<std::string> paths;
    for (const auto& r : m_results)
        paths.push_back(r->path);
    return paths;
}

} // namespace shelf
