#include "album/shell/AnalyseWork.h"

#include "album/shell/FolderEntries.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/FileFind.h"
#include "platform/win/Timing.h"

#include <algorithm>
#include <cstring>

namespace shelf {
namespace {

constexpr BYTE kPlaceholderGrey = 128;

void makePlaceholder(CQLImage& thumb)
{
    if (thumb.Create(kThumbSize, kThumbSize) != 0)
        return;
    BYTE* p = thumb.GetBuffer(0, 0);
    for (int i = 0; i < kThumbSize * kThumbSize; ++i, p += 4)
        p[0] = p[1] = p[2] = kPlaceholderGrey, p[3] = 255;
}

SYSTEMTIME lastWriteOf(const char* path)
{
    WIN32_FIND_DATA data;
    SYSTEMTIME time{};
    if (!qlwin::DescribeFile(path, &data) || !FileTimeToSystemTime(&data.ftLastWriteTime, &time))
        GetSystemTime(&time);
    return time;
}

float firstPositive(double a, double b)
{
    return a > 0 ? static_cast<float>(a) : b > 0 ? static_cast<float>(b) : 0.0f;
}

} // namespace

void ComputeToneHistogram(const CQLImage& thumb, BYTE out[256])
{
    UINT w = 0, h = 0;
    thumb.GetSize(&w, &h);
    std::uint32_t bins[256] = {};
    std::uint32_t fullest = 0;
    const BYTE* p = w && h ? thumb.GetBuffer(0, 0) : nullptr;
    for (std::size_t i = 0; i < std::size_t{w} * h; ++i, p += 4) {
        const int t = (6 * p[1] + 3 * p[2] + p[0]) / 10;
        fullest = std::max(fullest, ++bins[t]);
        if (t > 0)
            ++bins[t - 1];
        if (t < 255)
            ++bins[t + 1];
    }
    std::uint32_t c = std::min<std::uint32_t>(fullest, w * h / 32);
    if (c == 0)
        c = 1;
    for (int i = 0; i < 256; ++i) {
        std::uint64_t v = std::uint64_t{bins[i]} * 256 / c;
        if (v > 255)
            v = 255;
        if (v == 0 && bins[0] != 0)
            v = 1;
        out[i] = static_cast<BYTE>(v);
    }
}

void MakeThumbnail(CQLImageCodec& codec, const char* path, int mode, ThumbnailResult& out)
{
    out.made = false;
    out.width = out.height = 0;
    if (CQLImageCodec::GetFileType(path) == QL_FILE_RAW ||
        !codec.CreateThumbnail(path, &out.thumb, kThumbSize, &out.width, &out.height, mode)) {
        makePlaceholder(out.thumb);
        return;
    }
    out.made = true;
    ComputeToneHistogram(out.thumb, out.histogram);
    SharpenThumbnail(&out.thumb);
}

void ReadPhotoInfo(const char* path, PhotoInfoResult& out)
{
    out = PhotoInfoResult{};
    out.lastWrite = lastWriteOf(path);
    DWORD type = CQLImageCodec::GetFileType(path);
    std::string source = path;
    if (type == QL_FILE_LINK) {
        CQLLinkFile link;
        if (!link.Read(path))
            return;
        out.isLink = true;
        source = link.GetOrgFile();
        type = CQLImageCodec::GetFileType(source.c_str());
    }
    out.storeTime = !out.isLink;
    if (type != QL_FILE_JPEG && type != QL_FILE_TIFF)
        return;
    ExifInfo exif;
    if (!exif.ReadFromFile(source.c_str()))
        return;
    out.haveExif = true;
    out.storeTime = true;
    out.fields = exif.GetFields();
}

bool ApplyPhotoInfo(const PhotoInfoResult& info, PhotoFileInfo& entry)
{
    if (!info.haveExif) {
        if (info.storeTime)
            entry.stLastWrite = info.lastWrite;
        return false;
    }
    const ExifFields& f = info.fields;
    const std::size_t n = std::min(std::strlen(f.model), sizeof entry.szModel - 1);
    std::memset(entry.szModel, 0, sizeof entry.szModel);
    std::memcpy(entry.szModel, f.model, n);
    entry.fExposureTime = firstPositive(f.shutterSpeed, f.exposureTime);
    entry.fFNumber = firstPositive(f.fNumber, f.aperture);
    entry.fSubjectDistance = static_cast<float>(f.subjectDistance);
    entry.wFlash = static_cast<WORD>(f.flash);
    entry.fFocalLength = static_cast<float>(f.focalLength);
    entry.fExposureBias = static_cast<float>(f.exposureBias);
    const bool exposureData = entry.fExposureTime > 0 || entry.fFNumber > 0;
    const bool changed = std::memcmp(&entry.stLastWrite, &info.lastWrite, sizeof info.lastWrite) != 0;
    entry.stLastWrite = info.lastWrite;
    if (f.dateTime[0]) {
        const SYSTEMTIME taken = ParseExifDateTime(f.dateTime);
        if (taken.wYear != 0)
            entry.stDateTaken = taken;
    }
    entry.wISO = static_cast<WORD>(f.isoSpeed);
    return changed && exposureData;
}

} // namespace shelf
