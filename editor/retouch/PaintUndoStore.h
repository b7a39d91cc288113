// The paint window's stroke-by-stroke undo: before each stroke's pixels are
// kept in a temporary file, three bytes (B, G, R) a pixel, one block per
// stroke, cut from a reference copy of the photo taken after the last
// recorded stroke.
#pragma once

#include "imagecore/QLImage.h"

#include <string>
#include <vector>

struct StrokeUndoRecord {
    int32_t left;
    int32_t top;
    int32_t right;   // exclusive
    int32_t bottom;  // exclusive
    int32_t offset;  // of the block in the file
    int32_t length;  // bytes of the block
};

class CPaintUndoStore {
public:
    enum class UndoResult { Nothing, Restored, ShortFile };

    CPaintUndoStore() = default;
    ~CPaintUndoStore();
    CPaintUndoStore(const CPaintUndoStore&) = delete;
    CPaintUndoStore& operator=(const CPaintUndoStore&) = delete;

    // "qlpaint" with the day, hour, minute and second, no padding, and the
    // process id, in tempFolder (which ends with a separator).
    static std::string FileName(const char* tempFolder, int day, int hour, int minute, int second, int pid);

    // Names the file from the local time, then Clear.
    void Init(const CQLImage* current, CQLImage* reference);
    // Deletes the file and every record; the reference copy becomes a copy
    // of current when that has pixels.
    void Clear(const CQLImage* current, CQLImage* reference);
    // Keeps the reference's pixels of the rectangle (clipped to the image),
    // then copies current into the reference. false when nothing was
    // recorded.
    bool Record(const CQLImage* current, CQLImage* reference, RECT rect);
    // Puts the top record's pixels back into current.
    UndoResult Undo(CQLImage* current, CQLImage* reference);
    // Deletes the file; the number of records it held, then none.
    size_t Commit();

    bool CanUndo() const { return !m_records.empty(); }
    const std::vector<StrokeUndoRecord>& Records() const { return m_records; }
    const std::string& Path() const { return m_path; }
    int32_t WriteOffset() const { return m_offset; }
    // Tests point the store at a file of their choosing.
    void SetPath(const std::string& path) { m_path = path; }

private:
    void DeleteFile() const;

    std::string m_path;
    int32_t m_offset = 0;
    std::vector<StrokeUndoRecord> m_records;
};
