#include "editor/shell/ExifTiffPatcher.h"

#include "editor/shell/ExifEncoding.h"

#include <cmath>
#include <vector>

namespace {

using exifenc::IfdEntry;

constexpr WORD kShort = 3, kLong = 4, kRational = 5, kSRational = 10, kIfd = 13;
constexpr WORD kTagExifIfd = 34665;
constexpr DWORD kMaxEntries = 512;
constexpr std::size_t kMaxTiff = 0xFFFF0000u;

std::vector<IfdEntry> ExposureEntries(const ExifFields& f, bool be)
{
    std::vector<IfdEntry> ifd;
    auto rational = [&](WORD tag, double x) {
        const exifenc::URational r = exifenc::Unsigned(x, 1000000, true);
        ifd.push_back({tag, kRational, 1, exifenc::BytesRational(r.num, r.den, be)});
    };
    auto srational = [&](WORD tag, double x) {
        const exifenc::SRational r = exifenc::Signed(x, 1000000, true);
        ifd.push_back({tag, kSRational, 1, exifenc::BytesRational(DWORD(r.num), DWORD(r.den), be)});
    };
    if (f.exposureTime > 0)
        rational(33434, f.exposureTime);
    if (f.fNumber > 0)
        rational(33437, f.fNumber);
    if (f.isoSpeed != 0 && WORD(f.isoSpeed) != 0xFFFF)
        ifd.push_back({34855, kShort, 1, exifenc::Bytes16(WORD(f.isoSpeed), be)});
    if (f.shutterSpeed > 0)
        srational(37377, -std::log2(f.shutterSpeed));
    if (f.aperture > 0)
        srational(37378, 2 * std::log2(f.aperture));
    if (f.exposureBias != 0)
        srational(37380, f.exposureBias);
    if (f.subjectDistance > 0)
        rational(37382, f.subjectDistance);
    if (WORD(f.flash) != 0xFFFF)
        ifd.push_back({37385, kShort, 1, exifenc::Bytes16(WORD(f.flash), be)});
    if (f.focalLength > 0)
        rational(37386, f.focalLength);
    return ifd;
}

} // namespace

int ExifTiffPatcher::Apply(const char* path, const ExifFields& fields)
{
    if (!fields.hasExif)
        return 1;
    std::vector<BYTE> file;
    if (!exifenc::ReadFile(path, file, kMaxTiff))
        return 0;
    if (file.size() < 8)
        return 0;
    bool be;
    if (file[0] == 'M' && file[1] == 'M')
        be = true;
    else if (file[0] == 'I' && file[1] == 'I')
        be = false;
    else
        return 0;
    if (exifenc::Get16(&file[2], be) != 42)
        return 0;
    const std::size_t ifd0 = exifenc::Get32(&file[4], be);
    if (ifd0 < 8 || ifd0 + 2 > file.size())
        return 0;
    const DWORD count = exifenc::Get16(&file[ifd0], be);
    if (count > kMaxEntries || ifd0 + 2 + 12 * std::size_t{count} + 4 > file.size())
        return 0;
    std::size_t pointerAt = 0;
    for (DWORD i = 0; i < count; ++i) {
        const BYTE* e = &file[ifd0 + 2 + 12 * i];
        if (exifenc::Get16(e, be) != kTagExifIfd)
            continue;
        const WORD type = exifenc::Get16(e + 2, be);
        if (exifenc::Get32(e + 4, be) != 1 || (type != kLong && type != kIfd))
            return 0;
        pointerAt = ifd0 + 2 + 12 * i + 8;
    }
    // Without the entry there is nowhere to hang the new IFD.
    if (pointerAt == 0)
        return 0;

    const std::vector<IfdEntry> entries = ExposureEntries(fields, be);
    if (entries.empty())
        return 1;
    const std::size_t at = (file.size() + 1) & ~std::size_t{1};
    if (at + exifenc::IfdSize(entries) > kMaxTiff)
        return 0;
    file.resize(at, 0);
    const std::vector<BYTE> ifd = exifenc::LayoutIfd(entries, DWORD(at), be);
    file.insert(file.end(), ifd.begin(), ifd.end());
    exifenc::Put32(&file[pointerAt], DWORD(at), be);
    return exifenc::ReplaceFile(path, file) ? 1 : 0;
}
