#include "editor/shell/ExifJpegWriter.h"

#include "editor/shell/ExifEncoding.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

using exifenc::IfdEntry;

constexpr WORD kAscii = 2, kShort = 3, kLong = 4, kRational = 5, kSRational = 10;
constexpr std::size_t kMaxJpeg = std::size_t{1} << 30;

void AddText(std::vector<IfdEntry>& ifd, WORD tag, const char* text)
{
    if (text[0] == '\0')
        return;
    std::vector<BYTE> data = exifenc::BytesText(text);
    ifd.push_back({tag, kAscii, DWORD(data.size()), std::move(data)});
}

// Software and artist texts of 1 to 3 characters get three blanks.
void AddPaddedText(std::vector<IfdEntry>& ifd, WORD tag, const char* text)
{
    std::string s = text;
    if (!s.empty() && s.size() <= 3)
        s += "   ";
    AddText(ifd, tag, s.c_str());
}

void AddRational(std::vector<IfdEntry>& ifd, WORD tag, double x)
{
    const exifenc::URational r = exifenc::Unsigned(x, 1000000, true);
    ifd.push_back({tag, kRational, 1, exifenc::BytesRational(r.num, r.den, false)});
}

void AddSRational(std::vector<IfdEntry>& ifd, WORD tag, double x)
{
    const exifenc::SRational r = exifenc::Signed(x, 1000000, true);
    ifd.push_back({tag, kSRational, 1, exifenc::BytesRational(DWORD(r.num), DWORD(r.den), false)});
}

void AddShort(std::vector<IfdEntry>& ifd, WORD tag, short value)
{
    if (WORD(value) != 0xFFFF)
        ifd.push_back({tag, kShort, 1, exifenc::Bytes16(WORD(value), false)});
}

// The TIFF part of the segment: header, IFD0, Exif IFD, little-endian.
std::vector<BYTE> BuildTiff(const ExifFields& f)
{
    std::vector<IfdEntry> ifd0;
    AddText(ifd0, 306, f.dateTime);
    AddPaddedText(ifd0, 305, f.software);
    AddPaddedText(ifd0, 315, f.artist);
    // Camera maker, model and copyright are IFD0 tags, where readers look.
    AddText(ifd0, 33432, f.copyright);
    AddText(ifd0, 271, f.make);
    AddText(ifd0, 272, f.model);
    if (f.xResolution > 0)
        AddRational(ifd0, 282, f.xResolution);
    if (f.yResolution > 0)
        AddRational(ifd0, 283, f.yResolution);
    ifd0.push_back({256, kLong, 1, exifenc::Bytes32(f.width, false)});
    ifd0.push_back({257, kLong, 1, exifenc::Bytes32(f.height, false)});
    ifd0.push_back({34665, kLong, 1, exifenc::Bytes32(0, false)});

    std::vector<IfdEntry> exif;
    if (f.exposureTime > 0)
        AddRational(exif, 33434, f.exposureTime);
    if (f.exposureBias != 0)
        AddSRational(exif, 37380, f.exposureBias);
    if (f.subjectDistance > 0)
        AddRational(exif, 37382, f.subjectDistance);
    if (f.focalLength != 65535)
        AddRational(exif, 37386, f.focalLength);
    if (f.fNumber > 0)
        AddRational(exif, 33437, f.fNumber);
    AddShort(exif, 37383, f.meteringMode);
    AddShort(exif, 37385, f.flash);
    AddShort(exif, 34850, f.exposureProgram);
    AddShort(exif, 34855, f.isoSpeed);
    AddText(exif, 36867, f.dateTime);

    const DWORD exifAt = DWORD(8 + exifenc::IfdSize(ifd0));
    ifd0.back().data = exifenc::Bytes32(exifAt, false);
    std::vector<BYTE> tiff = {'I', 'I', 42, 0, 8, 0, 0, 0};
    const std::vector<BYTE> a = exifenc::LayoutIfd(ifd0, 8, false);
    const std::vector<BYTE> b = exifenc::LayoutIfd(exif, exifAt, false);
    tiff.insert(tiff.end(), a.begin(), a.end());
    tiff.insert(tiff.end(), b.begin(), b.end());
    return tiff;
}

} // namespace

int ExifJpegWriter::Apply(const char* path, const ExifFields& fields)
{
    if (!fields.hasExif)
        return 1;
    std::vector<BYTE> file;
    if (!exifenc::ReadFile(path, file, kMaxJpeg))
        return 0;
    if (file.size() < 6 || file[0] != 0xFF || file[1] != 0xD8 || file[2] != 0xFF || (file[3] != 0xE0 && file[3] != 0xE1))
        return 0;
    const std::size_t segment = std::size_t(file[4]) << 8 | file[5];
    const std::size_t next = 4 + segment;
    if (segment < 2 || next + 2 > file.size() || file[next] != 0xFF || file[next + 1] != 0xDB)
        return 0;

    const std::vector<BYTE> tiff = BuildTiff(fields);
    const std::size_t app1 = 2 + 6 + tiff.size();
    if (app1 > 0xFFFF)
        return 0;
    std::vector<BYTE> out = {0xFF, 0xD8};
    if (file[3] == 0xE0)
        out.insert(out.end(), file.begin() + 2, file.begin() + long(next));
    const BYTE head[] = {0xFF, 0xE1, BYTE(app1 >> 8), BYTE(app1), 'E', 'x', 'i', 'f', 0, 0};
    out.insert(out.end(), head, head + sizeof head);
    out.insert(out.end(), tiff.begin(), tiff.end());
    out.insert(out.end(), file.begin() + long(next), file.end());
    return exifenc::ReplaceFile(path, out) ? 1 : 0;
}
