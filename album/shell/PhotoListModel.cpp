#include "album/shell/PhotoListModel.h"

#include "platform/afx/Clipboard.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <strings.h>

namespace shelf {

namespace {

constexpr std::size_t kMaxWideListBytes = 300000;

std::string Format(const char* format, auto... args)
{
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, format, args...);
    return buffer;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

std::string ShutterText(float seconds)
{
    const double t = seconds;
    if (t <= 0.5) {
        const int n = static_cast<int>(1.0 / t + 0.5);
        if (n > 0 && std::fabs(t - 1.0 / n) <= 0.05 * t)
            return Format("  1/%d(s)", n);
    }
    return Format("  %g(s)", t);
}

std::string SizeText(std::int64_t bytes)
{
    const double k = static_cast<double>(bytes) / 1024;
    return k >= 1000 ? Format("%.2fM", k / 1024) : Format("%.1fK", k);
}

std::string DateText(const SYSTEMTIME& t)
{
    return Format("%d/%d/%02d %d:%d", t.wMonth, t.wDay, t.wYear % 100, t.wHour, t.wMinute);
}

std::string ShootingText(const PhotoFileInfo& info)
{
    std::string text;
    if (info.fFNumber > 0)
        text += Format("F%.1f", static_cast<double>(info.fFNumber));
    if (info.fExposureTime > 0)
        text += ShutterText(info.fExposureTime);
    if (info.fExposureBias != 0)
        text += Format("  %c%.1fEv", info.fExposureBias > 0 ? '+' : '-', std::fabs(static_cast<double>(info.fExposureBias)));
    if (info.wFlash != 0xFFFF && info.wFlash != 0)
        text += "  Flash";
    if (info.wISO > 20 && info.fFNumber > 0)
        text += Format("  ISO%d", info.wISO);
    return text;
}

bool HasShootingValues(const PhotoEntry& entry)
{
    const PhotoFileInfo& info = entry.m_info;
    return entry.m_thumb.GetAreaByteSize() &&
           (info.fFNumber > 0 || info.fExposureTime > 0 || info.wISO != 0 || info.wFlash != 0xFFFF);
}

PhotoEntry* EntryOf(const ThumbListItem& item) { return reinterpret_cast<PhotoEntry*>(item.data); }

bool NameOrderLess(const ThumbListItem& a, const ThumbListItem& b)
{
    const PhotoEntry* ea = EntryOf(a);
    const PhotoEntry* eb = EntryOf(b);
    const bool folderA = ea && ea->m_bFolder, folderB = eb && eb->m_bFolder;
    if (folderA != folderB)
        return folderA;
    return ThumbItemLess(a, b);
}

bool TimeOrderLess(const ThumbListItem& a, const ThumbListItem& b)
{
    const PhotoEntry* ea = EntryOf(a);
    const PhotoEntry* eb = EntryOf(b);
    const bool folderA = ea && ea->m_bFolder, folderB = eb && eb->m_bFolder;
    if (folderA != folderB)
        return folderA;
    if (folderA || !ea || !eb)
        return strcasecmp(a.text, b.text) < 0;
    const SYSTEMTIME& ta = ea->m_info.stDateTaken;
    const SYSTEMTIME& tb = eb->m_info.stDateTaken;
    const WORD ka[] = {ta.wYear, ta.wMonth, ta.wDay, ta.wHour, ta.wMinute, ta.wSecond};
    const WORD kb[] = {tb.wYear, tb.wMonth, tb.wDay, tb.wHour, tb.wMinute, tb.wSecond};
    return std::lexicographical_compare(std::begin(ka), std::end(ka), std::begin(kb), std::end(kb));
}

std::string JoinPathList(const std::vector<std::string>& paths)
{
    std::string list;
    for (const auto& path : paths) {
        list += path;
        list += '\0';
    }
    list += '\0';
    return list;
}

std::string MakeDropBlock(const std::vector<std::string>& paths)
{
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    std::string block(reinterpret_cast<const char*>(&header), sizeof header);
    return block + JoinPathList(paths);
}

bool ParseDropBlock(const void* block, std::size_t size, std::vector<std::string>& paths)
{
    paths.clear();
    if (!block || size < sizeof(DROPFILES))
        return false;
    DROPFILES header;
    std::memcpy(&header, block, sizeof header);
    if (header.pFiles < sizeof(DROPFILES) || header.pFiles > size)
        return false;
    const auto* bytes = static_cast<const unsigned char*>(block);
    std::size_t at = header.pFiles;
    if (header.fWide) {
        std::string path;
        std::size_t total = 0; // the converted list's bytes so far
        for (; at + 1 < size; at += 2) {
            char32_t c = bytes[at] | (bytes[at + 1] << 8);
            if (c >= 0xD800 && c < 0xDC00 && at + 3 < size) {
                const char32_t low = bytes[at + 2] | (bytes[at + 3] << 8);
                if (low >= 0xDC00 && low < 0xE000) {
                    c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                    at += 2;
                }
            }
            if (c == 0) {
                if (path.empty())
                    return true;
                paths.push_back(path);
                path.clear();
                ++total;
                continue;
            }
            const std::size_t before = path.size();
            AppendUtf8(path, c);
            total += path.size() - before;
            if (total > kMaxWideListBytes)
                break;
        }
        paths.clear();
        return false;
    }
    while (at < size) {
        const void* end = std::memchr(bytes + at, 0, size - at);
        if (!end)
            break;
        const std::size_t length = static_cast<const unsigned char*>(end) - (bytes + at);
        if (length == 0)
            return true;
        paths.emplace_back(reinterpret_cast<const char*>(bytes + at), length);
        at += length + 1;
    }
    paths.clear();
    return false;
}

} // namespace shelf
