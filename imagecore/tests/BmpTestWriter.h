// A small BMP writer for tests, independent of the reader under test: it lays
// out headers, palettes and rows byte by byte, including deliberately odd ones.
#pragma once

#include "platform/win/WinTypes.h"

#include <optional>
#include <string>
#include <vector>

namespace bmptest {

struct BmpFile {
    DWORD headerSize = 40;
    LONG width = 0;
    LONG height = 0; // negative: top-down rows
    WORD bitCount = 24;
    DWORD compression = 0;
    DWORD colorsUsed = 0;
    // R, G, B (and A): inside the header when headerSize >= 52, else after a 40-byte header.
    std::vector<DWORD> masks;
    std::vector<DWORD> palette; // 0x00RRGGBB; written as B, G, R(, 0)
    DWORD gap = 0;              // bytes between the palette and the rows
    std::optional<DWORD> dataOffset; // default: right after palette and gap
    std::vector<BYTE> rows;     // pixel data exactly as stored in the file
};

std::vector<BYTE> Build(const BmpFile& bmp);

// Row length in the file: bits rounded up to whole 32-bit words.
size_t RowBytes(LONG width, int bitCount);

// Joins rows given without padding, padding each to RowBytes.
std::vector<BYTE> PadRows(const std::vector<std::vector<BYTE>>& rows, LONG width, int bitCount);

void WriteFile(const std::string& path, const std::vector<BYTE>& bytes);
std::vector<BYTE> ReadFile(const std::string& path);

// A path in the test temporary folder that is unique to the running test.
std::string TempPath(const std::string& name);

} // namespace bmptest
