#include "platform/win/FileFind.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <string_view>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr auto npos = std::string_view::npos;

// The matching names are read and sorted up front; each is looked at when it is reported.
struct Search {
    std::string folder; // "" for the current folder, else ending in '/'
    std::vector<std::string> names;
    size_t next = 0;
};

char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool wildcardMatch(std::string_view pattern, std::string_view name)
{
    size_t p = 0;
    size_t n = 0;
    size_t starP = npos; // last '*' seen, and where in name it began matching
    size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || upperAscii(pattern[p]) == upperAscii(name[n]))) {
            ++p;
            ++n;
        } else if (starP != npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

// As on Windows, a trailing ".*" also matches names without an extension,
// so "*.*" matches every name and "a?c.*" matches "abc".
bool nameMatches(std::string_view pattern, std::string_view name)
{
    if (wildcardMatch(pattern, name))
        return true;
    return pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
           wildcardMatch(pattern.substr(0, pattern.size() - 2), name);
}

bool lessNoCase(const std::string& a, const std::string& b)
{
    const auto less = [](char x, char y) { return upperAscii(x) < upperAscii(y); };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), less))
        return true;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), less))
        return false;
    return a < b;
}

FILETIME toFileTime(const struct statx_timestamp& t)
{
    constexpr std::int64_t secondsFrom1601To1970 = 11644473600;
    const std::int64_t seconds = std::max<std::int64_t>(t.tv_sec + secondsFrom1601To1970, 0);
    const auto ticks = static_cast<std::uint64_t>(seconds) * 10000000u + t.tv_nsec / 100u;
    return {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

// Follows links, so a link to a file reports as that file; a dangling link reports as itself.
bool describe(const std::string& folder, const std::string& name, WIN32_FIND_DATA* data)
{
    const std::string path = folder + name;
    struct statx sx {};
    constexpr unsigned mask = STATX_BASIC_STATS | STATX_BTIME;
    if (::statx(AT_FDCWD, path.c_str(), AT_STATX_SYNC_AS_STAT, mask, &sx) != 0 &&
        ::statx(AT_FDCWD, path.c_str(), AT_STATX_SYNC_AS_STAT | AT_SYMLINK_NOFOLLOW, mask, &sx) != 0)
        return false;

    const bool directory = S_ISDIR(sx.stx_mode);
    DWORD attributes = 0;
    if (directory)
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if (!(sx.stx_mode & S_IWUSR))
        attributes |= FILE_ATTRIBUTE_READONLY;
    if (name.front() == '.' && name != "." && name != "..")
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    data->dwFileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;

    data->ftLastWriteTime = toFileTime(sx.stx_mtime);
    data->ftLastAccessTime = toFileTime(sx.stx_atime);
    data->ftCreationTime = (sx.stx_mask & STATX_BTIME) ? toFileTime(sx.stx_btime) : data->ftLastWriteTime;
    const std::uint64_t size = directory ? 0 : sx.stx_size;
    data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data->nFileSizeLow = static_cast<DWORD>(size);
    const size_t n = std::min<size_t>(name.size(), MAX_PATH - 1);
    std::memcpy(data->cFileName, name.data(), n);
    data->cFileName[n] = '\0';
    return true;
}

bool isSearch(HANDLE find) { return find && find != INVALID_HANDLE_VALUE; }

} // namespace

HANDLE FindFirstFile(LPCSTR pattern, WIN32_FIND_DATA* data)
{
    if (!pattern || !data)
        return INVALID_HANDLE_VALUE;
    const std::string_view full = pattern;
    const size_t slash = full.rfind('/');
    const std::string_view wildcard = slash == npos ? full : full.substr(slash + 1);
    if (wildcard.empty())
        return INVALID_HANDLE_VALUE;

    auto search = new Search;
    search->folder = slash == npos ? std::string() : std::string(full.substr(0, slash + 1));
    DIR* dir = ::opendir(search->folder.empty() ? "." : search->folder.c_str());
    if (dir) {
        while (const dirent* entry = ::readdir(dir))
            if (nameMatches(wildcard, entry->d_name))
                search->names.emplace_back(entry->d_name);
        ::closedir(dir);
    }
    std::sort(search->names.begin(), search->names.end(), lessNoCase);

    HANDLE find = search;
    if (!FindNextFile(find, data)) {
        delete search;
        return INVALID_HANDLE_VALUE;
    }
    return find;
}

BOOL FindNextFile(HANDLE find, WIN32_FIND_DATA* data)
{
    if (!isSearch(find) || !data)
        return FALSE;
    auto* search = static_cast<Search*>(find);
    // A name removed since the folder was read is skipped.
    while (search->next < search->names.size())
        if (describe(search->folder, search->names[search->next++], data))
            return TRUE;
    return FALSE;
}

BOOL FindClose(HANDLE find)
{
    if (!isSearch(find))
        return FALSE;
    delete static_cast<Search*>(find);
    return TRUE;
}

bool qlwin::WildcardMatches(const char* pattern, const char* name)
{
    return pattern && name && nameMatches(pattern, name);
}

bool qlwin::DescribeFile(const char* path, WIN32_FIND_DATA* data)
{
    if (!path || !*path || !data)
        return false;
    std::string folder = path;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    const size_t slash = folder.rfind('/');
    std::string name = slash == std::string::npos ? folder : folder.substr(slash + 1);
    folder.resize(slash == std::string::npos ? 0 : slash + 1);
    if (name.empty()) // the root folder
        std::swap(name, folder);
    return describe(folder, name, data);
}
