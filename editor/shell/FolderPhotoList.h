// The photos of the open photo's folder, for browsing to the next and the
// previous one. Rebuilt only when a photo from another folder is opened.
#pragma once

#include "platform/win/WinTypes.h"

#include <array>
#include <vector>

class FolderPhotoList {
public:
    // Called after every open by path: rescans when the folder changed and
    // finds the photo in the list.
    void SetCurrent(const char* path);
    BOOL HasNext() const;
    BOOL HasPrev() const;
    int Next();
    int Prev();
    // The folder plus the current entry; "" when the list is not valid.
    const char* CurrentPath();
    // The folder's JPEG, TIFF, BMP and TGA files, sorted without regard to case.
    void Rescan(const char* folder);

    int GetCount() const { return static_cast<int>(m_entries.size()); }
    const char* GetEntry(int i) const { return m_entries[i].data(); }
    int GetIndex() const { return m_index; }
    const char* GetFolder() const { return m_folder; }

private:
    std::vector<std::array<char, 256>> m_entries;
    int m_index = -1;
    char m_folder[512] = {}; // with its trailing '/'; empty when the list is not valid
    char m_current[512] = {};
};
