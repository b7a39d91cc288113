// One photo or subfolder of the open album folder, and the per-folder
// property file "QuilloEditor.prp" that caches their information and
// thumbnails: a plain sequence of records, little-endian, no header.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/win/WinTypes.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace shelf {

class FolderNode;

inline constexpr char kPropertyFileName[] = "QuilloEditor.prp";
inline constexpr int kPhotoFileInfoSize = 664;
inline constexpr int kMaxThumbSide = 100;
// Bytes a record may hold after its length word.
inline constexpr int kMaxRecordLength = 30918;
inline constexpr DWORD kPhotoInfoMarker = 0xFFFFCCCC;
inline constexpr BYTE kPhotoInfoVersion = 2;

enum ThumbState : BYTE { kThumbNone = 0, kThumbFirstPass = 1, kThumbDone = 2 };

struct PhotoFileInfo {
    char szFileName[256] = {};
    SYSTEMTIME stDateTaken = {};
    SYSTEMTIME stLastWrite = {};
    std::int32_t nWidth = 0;
    std::int32_t nHeight = 0;
    std::int32_t nFileSize = 0;
    char szModel[64] = {};
    float fExposureTime = 0;
    float fFNumber = 0;
    float fSubjectDistance = 0;
    WORD wFlash = 0xFFFF;
    float fFocalLength = 0;
    float fExposureBias = 0;
    WORD wISO = 0;
    BYTE histogram[256] = {};
    BYTE nThumbState = kThumbNone;
    DWORD dwMarker = 0;
    BYTE nVersion = 0;

    // The 664-byte block; unused bytes are written as 0.
    void Encode(BYTE out[kPhotoFileInfoSize]) const;
    // Reads and checks a block; false when it is refused (this is then
    // partly overwritten). Texts are forced to end in NUL.
    bool Decode(const BYTE in[kPhotoFileInfoSize]);
};

class PhotoEntry {
public:
    // load 1: reads the next record, 1 on success, 0 on any failure.
    // load 0: writes the entry as one record, 1 when all bytes were written.
    int Serialize(FILE* file, int load);
    // The record's bytes, length word included.
    std::string EncodeRecord();
    // Thumbnail pixels, or not present, or a folder entry.
    int IsComplete() const;

    PhotoFileInfo m_info;
    CQLImage m_thumb;            // B, G, R, A, at most 100 x 100; empty when none
    int m_bPresent = 0;          // the last directory scan found the file
    int m_bFolder = 0;           // a subfolder: never written to the file
    FolderNode* m_pNode = nullptr; // the subfolder's node, folder entries only
    int m_bInWork = 0;           // the thumbnail thread works on it
};

using PhotoEntries = std::vector<std::unique_ptr<PhotoEntry>>;

// Appends the file's records up to the first that fails to read; returns
// how many were appended. A missing file appends none.
int ReadPropertyRecords(FILE* file, PhotoEntries& entries);
int LoadPropertyRecords(const std::string& path, PhotoEntries& entries);
// Writes every entry that is not a folder entry, in order, replacing the
// file through a temporary file. False (file unchanged) on failure.
bool SavePropertyRecords(const std::string& path, const PhotoEntries& entries);

} // namespace shelf
