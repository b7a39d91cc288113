#include "album/shell/PhotoEntry.h"

#include "platform/win/FileReplace.h"

#include <zlib.h>

#include <cmath>
#include <cstring>

namespace shelf {
namespace {

// Offsets within the 664-byte block.
enum : int {
    kOffName = 0,
    kOffDateTaken = 256,
    kOffLastWrite = 272,
    kOffWidth = 288,
    kOffHeight = 292,
    kOffFileSize = 296,
    kOffModel = 300,
    kOffExposureTime = 364,
    kOffFNumber = 368,
    kOffSubjectDistance = 372,
    kOffFlash = 376,
    kOffFocalLength = 380,
    kOffExposureBias = 384,
    kOffIso = 388,
    kOffHistogram = 390,
    kOffState = 646,
    kOffMarker = 648,
    kOffVersion = 652,
};

void put16(BYTE* p, WORD v)
{
    p[0] = static_cast<BYTE>(v);
    p[1] = static_cast<BYTE>(v >> 8);
}
void put32(BYTE* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<BYTE>(v >> (8 * i));
}
void putFloat(BYTE* p, float f)
{
    std::uint32_t v;
    std::memcpy(&v, &f, 4);
    put32(p, v);
}
WORD get16(const BYTE* p) { return static_cast<WORD>(p[0] | p[1] << 8); }
std::uint32_t get32(const BYTE* p)
{
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}
float getFloat(const BYTE* p)
{
    const std::uint32_t v = get32(p);
    float f;
    std::memcpy(&f, &v, 4);
    return f;
}

void putTime(BYTE* p, const SYSTEMTIME& t)
{
    const WORD fields[8] = {t.wYear, t.wMonth, t.wDayOfWeek, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
    for (int i = 0; i < 8; ++i)
        put16(p + 2 * i, fields[i]);
}
SYSTEMTIME getTime(const BYTE* p)
{
    return {get16(p), get16(p + 2), get16(p + 4), get16(p + 6),
            get16(p + 8), get16(p + 10), get16(p + 12), get16(p + 14)};
}

template <std::size_t N>
void getText(char (&text)[N], const BYTE* p)
{
    std::memcpy(text, p, N);
    text[N - 1] = '\0';
}

bool zeroOrWithin(float v, float low, float high) { return v == 0 || (v >= low && v <= high); }

// Thumbnail block: w, h, then n and the zlib stream of RGB555 pixels. Empty
// when the pixels cannot be packed, so a record is never written that a
// reader would refuse.
void appendThumbBlock(std::string& out, const CQLImage& thumb)
{
    UINT w = 0, h = 0;
    thumb.GetSize(&w, &h);
    BYTE head[12];
    if (w == 0 || h == 0) {
        put32(head, 0);
        put32(head + 4, 0);
        out.append(reinterpret_cast<const char*>(head), 8);
        return;
    }
    if (w > kMaxThumbSide || h > kMaxThumbSide)
        return;
    std::vector<BYTE> packed(std::size_t{w} * h * 2);
    const BYTE* px = thumb.GetBuffer(0, 0);
    for (std::size_t i = 0; i < std::size_t{w} * h; ++i, px += 4) {
        const WORD v = static_cast<WORD>((px[2] >> 3) << 10 | (px[1] >> 3) << 5 | (px[0] >> 3));
        put16(&packed[2 * i], v);
    }
    std::vector<BYTE> stream(kMaxRecordLength - kPhotoFileInfoSize - 12);
    uLongf n = stream.size();
    if (compress(stream.data(), &n, packed.data(), packed.size()) != Z_OK)
        return;
    put32(head, w);
    put32(head + 4, h);
    put32(head + 8, static_cast<std::uint32_t>(n));
    out.append(reinterpret_cast<const char*>(head), 12);
    out.append(reinterpret_cast<const char*>(stream.data()), n);
}

// The bytes after the information block; false refuses the record.
bool readThumbBlock(const BYTE* p, std::size_t size, CQLImage& thumb)
{
    thumb.Free();
    if (size == 0)
        return true;
    if (size < 8)
        return false;
    const std::uint32_t w = get32(p), h = get32(p + 4);
    if (w == 0 || h == 0)
        return true;
    if (w > kMaxThumbSide || h > kMaxThumbSide || size < 12)
        return false;
    const std::uint32_t n = get32(p + 8);
    if (n > size - 12)
        return false;
    const std::size_t expected = std::size_t{w} * h * 2;
    std::vector<BYTE> packed(expected);
    uLongf got = expected;
    if (uncompress(packed.data(), &got, p + 12, n) != Z_OK || got != expected)
        return false;
    if (thumb.Create(w, h) != 0)
        return false;
    BYTE* px = thumb.GetBuffer(0, 0);
    for (std::size_t i = 0; i < std::size_t{w} * h; ++i, px += 4) {
        const WORD v = get16(&packed[2 * i]);
        px[0] = static_cast<BYTE>((v & 0x1F) << 3);
        px[1] = static_cast<BYTE>((v >> 2) & 0xF8);
        px[2] = static_cast<BYTE>((v >> 7) & 0xF8);
        px[3] = 255;
    }
    return true;
}

} // namespace

void PhotoFileInfo::Encode(BYTE out[kPhotoFileInfoSize]) const
{
    std::memset(out, 0, kPhotoFileInfoSize);
    std::memcpy(out + kOffName, szFileName, sizeof szFileName);
    putTime(out + kOffDateTaken, stDateTaken);
    putTime(out + kOffLastWrite, stLastWrite);
    put32(out + kOffWidth, static_cast<std::uint32_t>(nWidth));
    put32(out + kOffHeight, static_cast<std::uint32_t>(nHeight));
    put32(out + kOffFileSize, static_cast<std::uint32_t>(nFileSize));
    std::memcpy(out + kOffModel, szModel, sizeof szModel);
    putFloat(out + kOffExposureTime, fExposureTime);
    putFloat(out + kOffFNumber, fFNumber);
    putFloat(out + kOffSubjectDistance, fSubjectDistance);
    put16(out + kOffFlash, wFlash);
    putFloat(out + kOffFocalLength, fFocalLength);
    putFloat(out + kOffExposureBias, fExposureBias);
    put16(out + kOffIso, wISO);
    std::memcpy(out + kOffHistogram, histogram, sizeof histogram);
    out[kOffState] = nThumbState;
    put32(out + kOffMarker, dwMarker);
    out[kOffVersion] = nVersion;
}

bool PhotoFileInfo::Decode(const BYTE in[kPhotoFileInfoSize])
{
    getText(szFileName, in + kOffName);
    stDateTaken = getTime(in + kOffDateTaken);
    stLastWrite = getTime(in + kOffLastWrite);
    nWidth = static_cast<std::int32_t>(get32(in + kOffWidth));
    nHeight = static_cast<std::int32_t>(get32(in + kOffHeight));
    nFileSize = static_cast<std::int32_t>(get32(in + kOffFileSize));
    getText(szModel, in + kOffModel);
    fExposureTime = getFloat(in + kOffExposureTime);
    fFNumber = getFloat(in + kOffFNumber);
    fSubjectDistance = getFloat(in + kOffSubjectDistance);
    wFlash = get16(in + kOffFlash);
    fFocalLength = getFloat(in + kOffFocalLength);
    fExposureBias = getFloat(in + kOffExposureBias);
    wISO = get16(in + kOffIso);
    std::memcpy(histogram, in + kOffHistogram, sizeof histogram);
    nThumbState = in[kOffState];
    dwMarker = get32(in + kOffMarker);
    nVersion = in[kOffVersion];

    if (dwMarker != kPhotoInfoMarker || nVersion < kPhotoInfoVersion || nThumbState > 3)
        return false;
    if (!zeroOrWithin(fFNumber, 0.01f, 10000.0f) || !(std::fabs(fExposureBias) <= 10.0f))
        return false;
    if (std::fabs(fExposureBias) < 0.0001f)
        fExposureBias = 0;
    if (!(fFocalLength == 0 || fFocalLength >= 1) || !(fSubjectDistance == 0 || fSubjectDistance >= 0.001f))
        return false;
    if (!zeroOrWithin(fExposureTime, 0.0000001f, 1000000.0f))
        return false;
    return nWidth >= 0 && nHeight >= 0 && nFileSize >= 0;
}

std::string PhotoEntry::EncodeRecord()
{
    m_info.dwMarker = kPhotoInfoMarker;
    m_info.nVersion = kPhotoInfoVersion;
    std::string record(2 + kPhotoFileInfoSize, '\0');
    m_info.Encode(reinterpret_cast<BYTE*>(record.data() + 2));
    appendThumbBlock(record, m_thumb);
    put16(reinterpret_cast<BYTE*>(record.data()), static_cast<WORD>(record.size() - 2));
    return record;
}

int PhotoEntry::Serialize(FILE* file, int load)
{
    if (!file)
        return 0;
    if (!load) {
        const std::string record = EncodeRecord();
        return std::fwrite(record.data(), 1, record.size(), file) == record.size() ? 1 : 0;
    }
    BYTE lengthWord[2];
    if (std::fread(lengthWord, 1, 2, file) != 2)
        return 0;
    const WORD length = get16(lengthWord);
    if (length < kPhotoFileInfoSize || length > kMaxRecordLength)
        return 0;
    std::vector<BYTE> body(length);
    if (std::fread(body.data(), 1, length, file) != length)
        return 0;
    if (!m_info.Decode(body.data()))
        return 0;
    return readThumbBlock(body.data() + kPhotoFileInfoSize, length - kPhotoFileInfoSize, m_thumb) ? 1 : 0;
}

int PhotoEntry::IsComplete() const
{
    return m_thumb.GetAreaByteSize() != 0 || !m_bPresent || m_bFolder ? 1 : 0;
}

int ReadPropertyRecords(FILE* file, PhotoEntries& entries)
{
    int count = 0;
    while (file) {
        auto entry = std::make_unique<PhotoEntry>();
        if (!entry->Serialize(file, 1))
            break;
        entries.push_back(std::move(entry));
        ++count;
    }
    return count;
}

int LoadPropertyRecords(const std::string& path, PhotoEntries& entries)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return 0;
    const int count = ReadPropertyRecords(file, entries);
    std::fclose(file);
    return count;
}

bool SavePropertyRecords(const std::string& path, const PhotoEntries& entries)
{
    std::string bytes;
    for (const auto& entry : entries)
        if (!entry->m_bFolder)
            bytes += entry->EncodeRecord();
    return qlwin::ReplaceFileContents(path, bytes);
}

} // namespace shelf
