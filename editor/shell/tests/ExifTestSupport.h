// Photo files with hand-made EXIF for the EXIF tests.
#pragma once

#include "platform/win/WinTypes.h"

#include <string>
#include <vector>

class CQLImage;

namespace exiftest {

// One IFD0 entry; values little-endian.
struct Entry {
    WORD tag;
    WORD type;
    DWORD count;
    std::vector<BYTE> data;
};

Entry Text(WORD tag, const std::string& text);
Entry Short(WORD tag, WORD value);
Entry Long(WORD tag, DWORD value);
Entry Rational(WORD tag, DWORD num, DWORD den);
Entry SRational(WORD tag, LONG num, LONG den);
Entry Undefined(WORD tag, const std::vector<BYTE>& bytes);

// A fresh folder under /tmp, removed by the destructor.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// A small photo written by the codec (type by extension).
void MakePhoto(CQLImage& image);
std::string SavePhoto(const std::string& path);
// A JPEG written by the codec with an APP1 holding IFD0 = entries, in the
// order given, inserted after its APP0.
std::string JpegWithExif(const std::string& path, const std::vector<Entry>& entries);

std::vector<BYTE> FileBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<BYTE>& bytes);
// The photo's pixels as the codec loads them.
bool SamePixels(const CQLImage& a, const std::string& path);

} // namespace exiftest
