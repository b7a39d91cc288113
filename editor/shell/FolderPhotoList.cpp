#include "editor/shell/FolderPhotoList.h"

#include "platform/win/FileFind.h"
#include "platform/win/Folders.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool IsListedExtension(const char* ext)
{
    static const char* const kExtensions[] = {".jpg", ".jpeg", ".tiff", ".tif", ".bmp", ".tga"};
    for (const char* e : kExtensions)
        if (strcasecmp(ext, e) == 0)
            return true;
    return false;
}

} // namespace

void FolderPhotoList::Rescan(const char* folder)
{
    m_entries.clear();
    m_index = -1;
    const std::string pattern = std::string(folder) + "*.*";
    WIN32_FIND_DATA data;
    HANDLE find = FindFirstFile(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        char ext[_MAX_EXT];
        _splitpath(data.cFileName, nullptr, nullptr, nullptr, ext);
        if (!IsListedExtension(ext) || std::strlen(data.cFileName) > 255)
            continue;
        std::array<char, 256> entry{};
        std::memcpy(entry.data(), data.cFileName, std::strlen(data.cFileName));
        m_entries.push_back(entry);
    } while (FindNextFile(find, &data));
    FindClose(find);
    // Names equal but for case keep a fixed order too.
    std::sort(m_entries.begin(), m_entries.end(), [](const auto& a, const auto& b) {
        const int c = strcasecmp(a.data(), b.data());
        return c != 0 ? c < 0 : std::strcmp(a.data(), b.data()) < 0;
    });
}

void FolderPhotoList::SetCurrent(const char* path)
{
    char dir[_MAX_DIR], name[_MAX_FNAME], ext[_MAX_EXT];
    _splitpath(path, nullptr, dir, name, ext);
    // Folder names differ by case on this file system: compare them exactly.
    if (std::strcmp(dir, m_folder) != 0)
        Rescan(dir);
    const std::string file = std::string(name) + ext;
    m_index = -1;
    for (int i = 0; i < GetCount() && m_index < 0; ++i)
        if (std::strcmp(m_entries[i].data(), file.c_str()) == 0)
            m_index = i;
    for (int i = 0; i < GetCount() && m_index < 0; ++i)
        if (strcasecmp(m_entries[i].data(), file.c_str()) == 0)
            m_index = i;
    // Not found: the next call scans again.
    std::snprintf(m_folder, sizeof m_folder, "%s", m_index >= 0 ? dir : "");
}

BOOL FolderPhotoList::HasNext() const
{
    return m_folder[0] != '\0' && m_index >= 0 && m_index <= GetCount() - 2;
}

BOOL FolderPhotoList::HasPrev() const
{
    return m_folder[0] != '\0' && m_index > 0 && m_index <= GetCount() - 1;
}

int FolderPhotoList::Next()
{
    if (!HasNext())
        return 0;
    ++m_index;
    return 1;
}

int FolderPhotoList::Prev()
{
    if (!HasPrev())
        return 0;
    --m_index;
    return 1;
}

const char* FolderPhotoList::CurrentPath()
{
    if (m_folder[0] == '\0' || m_index < 0 || m_index >= GetCount())
        m_current[0] = '\0';
    else {
        // A folder from _splitpath and a 255-character name always fit.
        const std::size_t folder = std::strlen(m_folder);
        const std::size_t name = std::strlen(m_entries[m_index].data());
        std::memcpy(m_current, m_folder, folder);
        std::memcpy(m_current + folder, m_entries[m_index].data(), std::min(name, sizeof m_current - 1 - folder));
        m_current[std::min(folder + name, sizeof m_current - 1)] = '\0';
    }
    return m_current;
}
