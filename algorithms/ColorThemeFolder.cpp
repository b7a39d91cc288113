#include "algorithms/ColorThemeFolder.h"

#include "platform/win/FileFind.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <strings.h>

namespace {

bool EndsWithCth(const char* name)
{
    const std::size_t n = std::strlen(name);
    return n >= 4 && strcasecmp(name + n - 4, ".cth") == 0;
}

// Every name in folder, case-blind sorted, with its attributes.
std::vector<WIN32_FIND_DATA> List(const std::string& folder)
{
    std::vector<WIN32_FIND_DATA> found;
    WIN32_FIND_DATA data{};
    HANDLE find = FindFirstFile((folder + "*.*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return found;
    do
        found.push_back(data);
    while (FindNextFile(find, &data));
    FindClose(find);
    std::sort(found.begin(), found.end(), [](const WIN32_FIND_DATA& a, const WIN32_FIND_DATA& b) {
        return strcasecmp(a.cFileName, b.cFileName) < 0;
    });
    return found;
}

} // namespace

void ColorThemeFolder::Scan(const std::string& folder)
{
    std::vector<std::pair<unsigned long, unsigned long>> seen;
    ScanOnce(folder, seen);
}

bool ColorThemeFolder::ScanOnce(const std::string& folder, std::vector<std::pair<unsigned long, unsigned long>>& seen)
{
    themes.clear();
    children.clear();
    path = folder;
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0)
        return false;
    const std::pair<unsigned long, unsigned long> id{static_cast<unsigned long>(st.st_dev),
                                                     static_cast<unsigned long>(st.st_ino)};
    if (std::find(seen.begin(), seen.end(), id) != seen.end())
        return false;
    seen.push_back(id);
    for (const WIN32_FIND_DATA& entry : List(folder)) {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (entry.cFileName[0] == '.')
                continue;
            auto child = std::make_unique<ColorThemeFolder>();
            child->name = entry.cFileName;
            child->parent = this;
            if (child->ScanOnce(folder + entry.cFileName + "/", seen))
                children.push_back(std::move(child));
        } else if (EndsWithCth(entry.cFileName)) {
            ColorTheme theme;
            if (theme.Load(folder + entry.cFileName, true))
                themes.push_back(std::move(theme));
        }
    }
    return true;
}
