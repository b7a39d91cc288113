#include "algorithms/JpegSlimSettings.h"

#include "platform/codec/CodecInternal.h"

#include <cstring>

namespace {

// Field offsets of the stored record.
enum : std::size_t {
    kValid = 0,
    kQuality = 4,
    kChroma = 8,
    kExif = 9,
    kAdaptive = 10,
    kDenoise = 11,
    kBlur = 12,
    kResizeMode = 16,
    kPixels = 20,
    kTradeOff = 24,
    kBudget = 28,
    kJobMode = 32,
    kPath = 33,
};

void PutInt(BYTE* p, INT v)
{
    const auto u = static_cast<DWORD>(v);
    p[0] = static_cast<BYTE>(u), p[1] = static_cast<BYTE>(u >> 8);
    p[2] = static_cast<BYTE>(u >> 16), p[3] = static_cast<BYTE>(u >> 24);
}

INT GetInt(const BYTE* p)
{
    return static_cast<INT>(DWORD{p[0]} | DWORD{p[1]} << 8 | DWORD{p[2]} << 16 | DWORD{p[3]} << 24);
}

bool InRange(INT v, INT lo, INT hi)
{
    return v >= lo && v <= hi;
}

} // namespace

bool JpegSlimSettings::SetPath(const char* text)
{
    const std::size_t n = text ? std::strlen(text) : 0;
    if (n >= kPathSize)
        return false; // refused rather than cut: a cut path names another file
    std::memset(path, 0, sizeof path);
    if (n)
        std::memcpy(path, text, n);
    return true;
}

bool JpegSlimSettings::PathTerminated() const
{
    return std::memchr(path, 0, sizeof path) != nullptr;
}

bool FormatTsp(const JpegSlimSettings& s, BYTE out[JpegSlimSettings::kFileSize])
{
    if (!s.PathTerminated())
        return false;
    std::memset(out, 0, JpegSlimSettings::kFileSize);
    PutInt(out + kValid, 1);
    PutInt(out + kQuality, s.quality);
    out[kChroma] = s.chromaOption;
    out[kExif] = s.includeExif;
    out[kAdaptive] = s.adaptive;
    out[kDenoise] = s.dctDenoise;
    PutInt(out + kBlur, s.smoothPercent);
    out[kResizeMode] = s.resizeMode;
    PutInt(out + kPixels, s.resizeLength);
    out[kTradeOff] = s.sizeMode;
    PutInt(out + kBudget, s.targetKB);
    out[kJobMode] = s.flags;
    std::memcpy(out + kPath, s.path, JpegSlimSettings::kPathSize);
    return true;
}

bool ParseTsp(const BYTE* data, std::size_t size, JpegSlimSettings* settings)
{
    if (!data || !settings || size < JpegSlimSettings::kFileSize)
        return false;
    JpegSlimSettings s;
    s.valid = GetInt(data + kValid);
    s.quality = GetInt(data + kQuality);
    s.chromaOption = data[kChroma];
    s.includeExif = data[kExif];
    s.adaptive = data[kAdaptive];
    s.dctDenoise = data[kDenoise];
    s.smoothPercent = GetInt(data + kBlur);
    s.resizeMode = data[kResizeMode];
    s.resizeLength = GetInt(data + kPixels);
    s.sizeMode = data[kTradeOff];
    s.targetKB = GetInt(data + kBudget);
    s.flags = data[kJobMode];
    std::memcpy(s.path, data + kPath, JpegSlimSettings::kPathSize);

    // The budget is the limit (1..10000 KB) less an EXIF block of at most 64 KB.
    if (s.valid != 1 || !InRange(s.quality, 0, 100) || s.chromaOption > 2 || s.includeExif > 1 || s.adaptive > 1
        || s.dctDenoise > 1 || !InRange(s.smoothPercent, 0, 100) || s.resizeMode > 3
        || !InRange(s.resizeLength, 1, 10000) || s.sizeMode > 2 || !InRange(s.targetKB, -64, 10000)
        || (s.flags != 2 && s.flags != 6) || !s.PathTerminated())
        return false;
    *settings = s;
    return true;
}

int SaveTspFile(const char* path, const JpegSlimSettings& settings)
{
    BYTE bytes[JpegSlimSettings::kFileSize];
    if (!path || !*path || !FormatTsp(settings, bytes))
        return 0;
    return qlcodec::WriteReplacing(path, [&](int fd, const std::string&) { return qlcodec::WriteAll(fd, bytes, sizeof bytes); })
               ? 1
               : 0;
}

int LoadTspFile(const char* path, JpegSlimSettings* settings)
{
    qlcodec::FileBytes file;
    if (!path || !settings || !qlcodec::ReadFileBytes(path, file, JpegSlimSettings::kFileSize))
        return 0;
    return ParseTsp(file.data.get(), file.size, settings) ? 1 : 0;
}
