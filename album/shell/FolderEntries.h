// The open folder's entries and their reconciliation with the folder's
// listing and property file: the album scanner's model, without its thread.
// Callers hold the scanner's lock around every call.
#pragma once

#include "album/shell/FolderNode.h"
#include "album/shell/PhotoEntry.h"
#include "algorithms/SharpenLuma.h"
#include "platform/win/FileFind.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace shelf {

// The album sharpens every thumbnail it makes with the editor's quick sharpen.
inline int SharpenThumbnail(CQLImage* image) { return QuickSharpen(image); }

// One photo for the thumbnail thread. The entry may be used only while the
// entries' generation is still the one recorded here.
struct AnalyseJob {
    std::string path;
    PhotoEntry* entry = nullptr;
    std::uint64_t generation = 0;
    int mode = 0; // 1: the entry had a first-pass thumbnail when queued
};

class FolderEntries {
public:
    // Frees the entries and reads the current folder's property file;
    // returns how many records were read.
    int LoadPropertyFile();
    // Writes the folder's property file from the entries; the dirty flag is
    // cleared when it was written.
    bool SavePropertyFile(FolderNode* folder);
    // Drops the entries that are not present or not complete, then saves.
    bool SaveAndPrune(FolderNode* folder);
    // Drops them the same way and hands the rest over, to be written by the
    // caller; the model is left empty, clean and of a new generation.
    PhotoEntries TakePruned();
    // Drops the entries that are not present.
    void DeleteAbsent();
    int IsAllComplete() const;
    // Lists the current folder, marks what is there present, adds new files
    // and subfolders, and appends a job for every photo that needs one.
    // Returns the number of jobs appended.
    int ScanFolder(std::vector<AnalyseJob>& jobs);
    // A subfolder's thumbnail: its first photos in a 2 x 2 mosaic.
    void BuildFolderPreview(PhotoEntry* entry);
    // Refreshes node's children; when that replaced the current folder's
    // node, the current folder is found again by path (or closed), and the
    // subfolder entries are linked to the new nodes.
    int RefreshChildren(FolderNode* node);
    void FreeEntries();

    PhotoEntries m_entries;
    FolderNode* m_pCurrent = nullptr;
    int m_bDirty = 0;
    // Grows whenever entries are freed, so stale jobs and repaints are known.
    std::uint64_t m_generation = 0;

private:
    void Prune();
    // The entry for one listing item, or null when it needs no work.
    PhotoEntry* FindOrAddEntry(const WIN32_FIND_DATA& item);
    void RelinkSubfolders();
    void RebuildIndex();

    std::unordered_map<std::string, PhotoEntry*> m_index; // file name -> entry, during a scan
};

} // namespace shelf
