// Number encodings and whole-file replacement shared by the EXIF writers.
#pragma once

#include "platform/win/WinTypes.h"

#include <string>
#include <vector>

namespace exifenc {

struct URational {
    DWORD num;
    DWORD den;
};
struct SRational {
    LONG num;
    LONG den;
};

// |x| over den, rounded half up (round) or toward zero; den shrinks by tens
// while the numerator would not fit.
URational Unsigned(double x, DWORD den, bool round);
SRational Signed(double x, LONG den, bool round);

// One TIFF directory entry; data in the file's byte order.
struct IfdEntry {
    WORD tag;
    WORD type;
    DWORD count;
    std::vector<BYTE> data;
};

void Put16(BYTE* p, WORD v, bool bigEndian);
void Put32(BYTE* p, DWORD v, bool bigEndian);
WORD Get16(const BYTE* p, bool bigEndian);
DWORD Get32(const BYTE* p, bool bigEndian);
std::vector<BYTE> Bytes16(WORD v, bool bigEndian);
std::vector<BYTE> Bytes32(DWORD v, bool bigEndian);
std::vector<BYTE> BytesRational(DWORD num, DWORD den, bool bigEndian);
// The text with its NUL.
std::vector<BYTE> BytesText(const char* text);

// Bytes an IFD takes: count, entries, next offset, then the values longer
// than 4 bytes, each starting on a word boundary.
std::size_t IfdSize(const std::vector<IfdEntry>& entries);
// Lays the IFD out at offset `at` (even) from the TIFF header, entries sorted
// by tag as TIFF asks; values of up to 4 bytes stand in their entry.
std::vector<BYTE> LayoutIfd(std::vector<IfdEntry> entries, DWORD at, bool bigEndian);

// Whole file; false when it cannot be read or holds more than maxBytes.
bool ReadFile(const char* path, std::vector<BYTE>& bytes, std::size_t maxBytes);
// Replaces path's content with bytes (qlwin::WriteReplacing: through links,
// keeping owner and mode); on failure path is as it was.
bool ReplaceFile(const char* path, const std::vector<BYTE>& bytes);

} // namespace exifenc
