#include "editor/shell/ExifInfo.h"

#include "editor/shell/ExifEncoding.h"
#include "editor/shell/ExifTiffPatcher.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/FileOps.h"
#include "platform/win/Folders.h"

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

constexpr int kMaxWidePath = 1000;
constexpr const char* kSoftwareText = "Quillo, https://quillo.example.org";

enum : PROPID {
    kTagWidth = 256,
    kTagHeight = 257,
    kTagDescription = 270,
    kTagMake = 271,
    kTagModel = 272,
    kTagOrientation = 274,
    kTagXResolution = 282,
    kTagYResolution = 283,
    kTagSoftware = 305,
    kTagDateTime = 306,
    kTagArtist = 315,
    kTagCopyright = 33432,
    kTagExposureTime = 33434,
    kTagFNumber = 33437,
    kTagExifIfd = 34665,
    kTagExposureProgram = 34850,
    kTagIso = 34855,
    kTagDateTimeOriginal = 36867,
    kTagShutterSpeed = 37377,
    kTagAperture = 37378,
    kTagExposureBias = 37380,
    kTagSubjectDistance = 37382,
    kTagMeteringMode = 37383,
    kTagLightSource = 37384,
    kTagFlash = 37385,
    kTagFocalLength = 37386,
    kTagMakerNote = 37500,
    kTagColorSpace = 40961,
    kTagFocalLength35 = 41989,
    kTagSubjectLocation = 41495,
    kTagEditedMark = 53088,
    kTagPrivateText = 53089,
    kTagProcessing = 53090,
    kTagThumbnailFirst = 20498,
    kTagThumbnailLast = 20539,
};

bool IsThumbnailTag(PROPID id)
{
    return id >= kTagThumbnailFirst && id <= kTagThumbnailLast;
}

void PutLE(BYTE* p, ULONGLONG v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        p[i] = static_cast<BYTE>(v >> (8 * i));
}

ULONGLONG GetLE(const BYTE* p, int bytes)
{
    ULONGLONG v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

void PutDouble(BYTE* p, double d)
{
    ULONGLONG bits;
    std::memcpy(&bits, &d, sizeof bits);
    PutLE(p, bits, 8);
}

double GetDouble(const BYTE* p)
{
    const ULONGLONG bits = GetLE(p, 8);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

const BYTE* Bytes(const PropertyItem& item)
{
    return static_cast<const BYTE*>(item.value);
}

// The first value of a SHORT or LONG item.
bool ReadUnsigned(const PropertyItem& item, DWORD* value)
{
    if (item.type == PropertyTagTypeShort && item.length >= 2) {
        *value = static_cast<DWORD>(GetLE(Bytes(item), 2));
        return true;
    }
    if (item.type == PropertyTagTypeLong && item.length >= 4) {
        *value = static_cast<DWORD>(GetLE(Bytes(item), 4));
        return true;
    }
    return false;
}

bool ReadRational(const PropertyItem& item, double* value)
{
    if (item.length < 8 || (item.type != PropertyTagTypeRational && item.type != PropertyTagTypeSRational))
        return false;
    const DWORD num = static_cast<DWORD>(GetLE(Bytes(item), 4));
    const DWORD den = static_cast<DWORD>(GetLE(Bytes(item) + 4, 4));
    if (item.type == PropertyTagTypeRational) {
        if (den == 0)
            return false;
        *value = static_cast<double>(num) / den;
    } else {
        if (static_cast<LONG>(den) == 0)
            return false;
        *value = static_cast<double>(static_cast<LONG>(num)) / static_cast<LONG>(den);
    }
    return std::isfinite(*value);
}

// At most 255 characters, cut at the item's end or its NUL, trailing blanks removed.
bool ReadText(const PropertyItem& item, char* out)
{
    if (item.type != PropertyTagTypeASCII && item.type != PropertyTagTypeUndefined && item.type != PropertyTagTypeByte)
        return false;
    std::size_t n = 0;
    const BYTE* p = Bytes(item);
    while (n < item.length && n < 255 && p[n] != 0)
        ++n;
    std::memcpy(out, p, n);
    out[n] = '\0';
    TrimRight(out);
    return true;
}

void CopyText(char* out, const char* text)
{
    std::snprintf(out, 256, "%s", text);
}

// The GDI+ path's rationals: 1/1000 steps, or 1/n below 0.34 (1/250 s).
exifenc::URational SaveRational(double x)
{
    const double a = std::fabs(x);
    if (a >= 0.34)
        return exifenc::Unsigned(a, 1000, false);
    if (a <= 0)
        return {0, 1};
    const double den = std::floor(1.0 / a + 0.5);
    return {1, den > 4294967295.0 ? 0xFFFFFFFFu : static_cast<DWORD>(den)};
}

// Items set on the image being saved, with their values kept alive.
class ItemWriter {
public:
    explicit ItemWriter(GpImage* image) : m_image(image) {}

    void Set(PROPID id, WORD type, const void* value, ULONG length)
    {
        PropertyItem item{id, length, type, const_cast<void*>(value)};
        GdipSetPropertyItem(m_image, &item); // a failure only leaves the item out
    }
    void Text(PROPID id, const char* text) { Set(id, PropertyTagTypeASCII, text, ULONG(std::strlen(text) + 1)); }
    void Short(PROPID id, WORD v)
    {
        BYTE b[2];
        PutLE(b, v, 2);
        Set(id, PropertyTagTypeShort, b, 2);
    }
    void Long(PROPID id, DWORD v)
    {
        BYTE b[4];
        PutLE(b, v, 4);
        Set(id, PropertyTagTypeLong, b, 4);
    }
    void Rational(PROPID id, double x)
    {
        const exifenc::URational r = SaveRational(x);
        BYTE b[8];
        PutLE(b, r.num, 4);
        PutLE(b + 4, r.den, 4);
        Set(id, PropertyTagTypeRational, b, 8);
    }
    void SRational(PROPID id, double x)
    {
        const exifenc::SRational r = exifenc::Signed(x, 1000, false);
        BYTE b[8];
        PutLE(b, static_cast<DWORD>(r.num), 4);
        PutLE(b + 4, static_cast<DWORD>(r.den), 4);
        Set(id, PropertyTagTypeSRational, b, 8);
    }

private:
    GpImage* m_image;
};

bool ToWide(const char* path, WCHAR* out)
{
    return MultiByteToWideChar(CP_ACP, 0, path, -1, out, kMaxWidePath) > 0;
}

} // namespace

void ExifFields::Store(BYTE out[kFileSize]) const
{
    std::memset(out, 0, kFileSize);
    PutLE(out + 0, hasExif, 4);
    PutLE(out + 4, width, 4);
    PutLE(out + 8, height, 4);
    PutDouble(out + 16, xResolution);
    PutDouble(out + 24, yResolution);
    const char* texts[] = {description, dateTime, software, artist, copyright, model, make};
    for (int i = 0; i < 7; ++i)
        std::memcpy(out + 32 + 256 * i, texts[i], 256);
    const double values[] = {exposureTime, shutterSpeed, aperture, subjectDistance, exposureBias};
    for (int i = 0; i < 5; ++i)
        PutDouble(out + 1824 + 8 * i, values[i]);
    const short shorts[] = {meteringMode, lightSource, flash, exposureProgram, isoSpeed};
    for (int i = 0; i < 5; ++i)
        PutLE(out + 1864 + 2 * i, static_cast<WORD>(shorts[i]), 2);
    PutDouble(out + 1880, focalLength);
    PutDouble(out + 1888, fNumber);
    PutLE(out + 1896, static_cast<WORD>(colorSpace), 2);
}

bool ExifFields::Load(const BYTE* data, std::size_t size)
{
    if (!data || size < kFileSize)
        return false;
    std::memset(this, 0, sizeof *this);
    hasExif = static_cast<DWORD>(GetLE(data, 4));
    width = static_cast<DWORD>(GetLE(data + 4, 4));
    height = static_cast<DWORD>(GetLE(data + 8, 4));
    xResolution = GetDouble(data + 16);
    yResolution = GetDouble(data + 24);
    char* texts[] = {description, dateTime, software, artist, copyright, model, make};
    for (int i = 0; i < 7; ++i) {
        std::memcpy(texts[i], data + 32 + 256 * i, 255);
        texts[i][255] = '\0';
    }
    double* values[] = {&exposureTime, &shutterSpeed, &aperture, &subjectDistance, &exposureBias};
    for (int i = 0; i < 5; ++i)
        *values[i] = GetDouble(data + 1824 + 8 * i);
    short* shorts[] = {&meteringMode, &lightSource, &flash, &exposureProgram, &isoSpeed};
    for (int i = 0; i < 5; ++i)
        *shorts[i] = static_cast<short>(GetLE(data + 1864 + 2 * i, 2));
    focalLength = GetDouble(data + 1880);
    fNumber = GetDouble(data + 1888);
    colorSpace = static_cast<short>(GetLE(data + 1896, 2));
    return true;
}

ExifInfo::ExifInfo()
{
    Clear();
}

ExifInfo::~ExifInfo()
{
    GdipFree(m_items);
}

void ExifInfo::Clear()
{
    GdipFree(m_items);
    m_items = nullptr;
    m_itemsSize = 0;
    m_itemCount = 0;
    std::memset(&m_fields, 0, sizeof m_fields);
    m_fields.meteringMode = -1;
    m_fields.lightSource = -1;
    m_fields.flash = -1;
    m_fields.exposureProgram = -1;
    m_fields.colorSpace = -1;
    m_text[0] = '\0';
    m_processing[0] = '\0';
    m_edited = FALSE;
    m_orientation = 0;
}

int ExifInfo::ReadFromFile(const char* path)
{
    Clear();
    m_fields.hasExif = 0;
    WCHAR wide[kMaxWidePath];
    if (!path || !ToWide(path, wide))
        return 0;
    GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromFile(wide, &bitmap) != Ok)
        return 0;
    GpImage* image = reinterpret_cast<GpImage*>(bitmap);
    UINT size = 0, count = 0;
    int result = 0;
    if (GdipGetPropertySize(image, &size, &count) == Ok) {
        if (count == 0) {
            result = 1;
        } else if ((m_items = static_cast<PropertyItem*>(GdipAlloc(size))) != nullptr) {
            if (GdipGetAllPropertyItems(image, size, count, m_items) == Ok) {
                m_itemsSize = size;
                m_itemCount = count;
                for (UINT i = 0; i < count; ++i)
                    if (m_items[i].value && m_items[i].length)
                        ReadItem(m_items[i]);
                result = 1;
            } else {
                GdipFree(m_items);
                m_items = nullptr;
            }
        }
    }
    m_byteOrder = 0x4949;
    GdipDisposeImage(image);
    return result;
}

void ExifInfo::ReadItem(const PropertyItem& item)
{
    ExifFields& f = m_fields;
    DWORD u = 0;
    double d = 0;
    bool camera = false;
    switch (item.id) {
    case kTagWidth:
        if (ReadUnsigned(item, &u))
            f.width = u;
        break;
    case kTagHeight:
        if (ReadUnsigned(item, &u))
            f.height = u;
        break;
    case kTagDescription:
        camera = ReadText(item, f.description);
        break;
    case kTagSoftware:
        camera = ReadText(item, f.software);
        break;
    case kTagArtist:
        camera = ReadText(item, f.artist);
        break;
    case kTagCopyright:
        camera = ReadText(item, f.copyright);
        break;
    case kTagMake:
        camera = ReadText(item, f.make);
        break;
    case kTagModel:
        camera = ReadText(item, f.model);
        break;
    case kTagDateTime:
        // The capture date wins over the file's date, in either order.
        if (f.dateTime[0] == '\0')
            camera = ReadText(item, f.dateTime);
        break;
    case kTagDateTimeOriginal: {
        char text[256] = {};
        if (ReadText(item, text) && text[0] != '\0') {
            std::memcpy(f.dateTime, text, sizeof text);
            camera = true;
        }
        break;
    }
    case kTagOrientation:
        if (ReadUnsigned(item, &u))
            m_orientation = static_cast<WORD>(u);
        break;
    case kTagFocalLength35:
        if (ReadUnsigned(item, &u))
            m_focal35 = static_cast<WORD>(u);
        break;
    case kTagEditedMark:
        m_edited = TRUE;
        break;
    case kTagPrivateText:
        ReadText(item, m_text);
        break;
    case kTagProcessing:
        ReadText(item, m_processing);
        break;
    case kTagXResolution:
        if (ReadRational(item, &d))
            f.xResolution = d;
        break;
    case kTagYResolution:
        if (ReadRational(item, &d))
            f.yResolution = d;
        break;
    case kTagExposureTime:
        if ((camera = ReadRational(item, &d)))
            f.exposureTime = d;
        break;
    case kTagFNumber:
        if ((camera = ReadRational(item, &d)))
            f.fNumber = d;
        break;
    case kTagFocalLength:
        if ((camera = ReadRational(item, &d)))
            f.focalLength = d;
        break;
    case kTagExposureBias:
        if ((camera = ReadRational(item, &d)))
            f.exposureBias = d;
        break;
    case kTagSubjectDistance:
        if ((camera = ReadRational(item, &d)))
            f.subjectDistance = d;
        break;
    case kTagShutterSpeed:
        if ((camera = ReadRational(item, &d))) {
            const double t = std::floor(std::pow(2.0, -d) * 1000 + 0.5) * 0.001;
            f.shutterSpeed = std::isfinite(t) ? t : 0;
        }
        break;
    case kTagAperture:
        if ((camera = ReadRational(item, &d))) {
            const double a = std::floor(std::pow(2.0, d / 2) * 10 + 0.5) * 0.1;
            f.aperture = std::isfinite(a) ? a : 0;
        }
        break;
    case kTagExposureProgram:
        if ((camera = ReadUnsigned(item, &u)))
            f.exposureProgram = static_cast<short>(u);
        break;
    case kTagIso:
        if ((camera = ReadUnsigned(item, &u)))
            f.isoSpeed = static_cast<short>(u);
        break;
    case kTagMeteringMode:
        if ((camera = ReadUnsigned(item, &u)))
            f.meteringMode = static_cast<short>(u);
        break;
    case kTagLightSource:
        if ((camera = ReadUnsigned(item, &u)))
            f.lightSource = static_cast<short>(u);
        break;
    case kTagFlash:
        if ((camera = ReadUnsigned(item, &u)))
            f.flash = u == 1 ? 1 : 0;
        break;
    case kTagColorSpace:
        if ((camera = ReadUnsigned(item, &u)))
            f.colorSpace = static_cast<short>(u);
        break;
    default:
        break;
    }
    if (camera)
        f.hasExif = 1;
}

int ExifInfo::GetExifByteSize(BOOL withMakerNote) const
{
    if (!m_items || m_itemCount == 0)
        return 0;
    long long total = 0;
    for (UINT i = 0; i < m_itemCount; ++i) {
        const PropertyItem& item = m_items[i];
        if (IsThumbnailTag(item.id))
            continue;
        if (item.id == kTagMakerNote) {
            if (withMakerNote)
                total += static_cast<long long>(item.length) + 3016;
        } else {
            total += static_cast<long long>(item.length) + 16;
        }
    }
    return total > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(total);
}

int ExifInfo::WriteToFile(BOOL keepMakerNote, const char* path, BOOL always)
{
    ExifFields& f = m_fields;
    if (!f.hasExif && !always)
        return 1;
    if (std::strstr(f.software, "Quillo") || !m_writeSoftware)
        f.software[0] = '\0';
    else
        CopyText(f.software, kSoftwareText);

    const DWORD type = CQLImageCodec::GetFileType(path);
    const char* mime = type == QL_FILE_JPEG ? "image/jpeg"
                       : type == QL_FILE_PNG ? "image/png"
                       : type == QL_FILE_TIFF ? "image/tiff"
                                              : nullptr;
    if (!mime)
        return 1; // the format holds no EXIF
    const bool tiff = type == QL_FILE_TIFF;

    WCHAR widePath[kMaxWidePath];
    if (!ToWide(path, widePath))
        return 0;
    // The working copy gets a name of its own, so no file of the user's is
    // ever overwritten.
    char drive[_MAX_DRIVE], dir[_MAX_DIR], name[_MAX_FNAME], ext[_MAX_EXT];
    _splitpath(path, drive, dir, name, ext);
    char copyPath[1024];
    std::snprintf(copyPath, sizeof copyPath, "%s%s%s_tmp_copyXXXXXX%s", drive, dir, name, ext);
    const int fd = ::mkstemps(copyPath, static_cast<int>(std::strlen(ext)));
    if (fd < 0)
        return 0;
    ::close(fd);
    std::vector<BYTE> bytes;
    WCHAR wideCopy[kMaxWidePath];
    GpImage* image = nullptr;
    if (!exifenc::ReadFile(path, bytes, std::size_t{1} << 31) || !exifenc::ReplaceFile(copyPath, bytes) ||
        !ToWide(copyPath, wideCopy) || GdipLoadImageFromFile(wideCopy, &image) != Ok) {
        std::remove(copyPath);
        return 0;
    }
    bytes = {};

    ItemWriter items(image);
    // The items read from the photo go along, except thumbnails; TIFF files
    // get the record's items only.
    if (!tiff)
        for (UINT i = 0; i < m_itemCount; ++i) {
            const PropertyItem& item = m_items[i];
            if (!IsThumbnailTag(item.id) && item.value)
                GdipSetPropertyItem(image, &item);
        }
    static const PROPID kReplaced[] = {
        kTagWidth, kTagOrientation, kTagHeight, kTagXResolution, kTagYResolution, kTagDescription, kTagDateTime,
        kTagSoftware, kTagArtist, kTagCopyright, kTagExposureTime, kTagShutterSpeed, kTagAperture,
        kTagSubjectDistance, kTagMeteringMode, kTagLightSource, kTagFlash, kTagFocalLength, kTagFNumber,
        kTagExposureProgram, kTagIso, kTagMake, kTagModel, kTagColorSpace, kTagExposureBias, kTagEditedMark};
    for (PROPID id : kReplaced)
        GdipRemovePropertyItem(image, id);

    if (f.description[0])
        items.Text(kTagDescription, f.description);
    if (f.dateTime[0]) {
        items.Text(kTagDateTime, f.dateTime);
        items.Text(kTagDateTimeOriginal, f.dateTime);
    }
    if (f.software[0] && m_writeSoftware)
        items.Text(kTagSoftware, f.software);
    if (f.artist[0])
        items.Text(kTagArtist, f.artist);
    if (f.copyright[0])
        items.Text(kTagCopyright, f.copyright);
    if (f.make[0])
        items.Text(kTagMake, f.make);
    if (f.model[0])
        items.Text(kTagModel, f.model);
    // A resolution of 0 is unknown: the usual 72 dpi stands in.
    items.Rational(kTagXResolution, f.xResolution > 0 ? f.xResolution : 72);
    items.Rational(kTagYResolution, f.yResolution > 0 ? f.yResolution : 72);
    if (f.exposureTime > 0)
        items.Rational(kTagExposureTime, f.exposureTime);
    if (f.shutterSpeed > 0)
        items.SRational(kTagShutterSpeed, -std::log2(f.shutterSpeed));
    if (f.aperture > 0)
        items.SRational(kTagAperture, 2 * std::log2(f.aperture));
    if (f.subjectDistance > 0)
        items.Rational(kTagSubjectDistance, f.subjectDistance);
    if (f.focalLength > 0)
        items.Rational(kTagFocalLength, f.focalLength);
    if (f.fNumber > 0)
        items.Rational(kTagFNumber, f.fNumber);
    if (f.exposureBias != 0)
        items.SRational(kTagExposureBias, f.exposureBias);
    if (f.isoSpeed != 0 && f.isoSpeed != -1)
        items.Short(kTagIso, static_cast<WORD>(f.isoSpeed));
    if (f.flash != -1)
        items.Short(kTagFlash, static_cast<WORD>(f.flash));
    if (m_writeSoftware) {
        items.Short(kTagEditedMark, 1);
        m_edited = TRUE;
    }
    // An emptied text must not leave the photo's old one in place.
    if (m_text[0])
        items.Text(kTagPrivateText, m_text);
    else
        GdipRemovePropertyItem(image, kTagPrivateText);
    if (m_processing[0])
        items.Text(kTagProcessing, m_processing);
    items.Long(kTagExifIfd, 0);

    GdipRemovePropertyItem(image, kTagSubjectLocation);
    if (!keepMakerNote)
        GdipRemovePropertyItem(image, kTagMakerNote);

    CLSID clsid{};
    const bool saved = FindEncoder(mime, &clsid) >= 0 && GdipSaveImageToFile(image, widePath, &clsid, nullptr) == Ok;
    GdipDisposeImage(image);
    std::remove(copyPath);
    if (!saved)
        return 0;
    if (tiff)
        return ExifTiffPatcher::Apply(path, f);
    return 1;
}

int FindEncoder(const char* mimeType, CLSID* clsid)
{
    UINT count = 0, size = 0;
    if (GdipGetImageEncodersSize(&count, &size) != Ok || size == 0)
        return -1;
    std::vector<BYTE> buffer(size);
    auto* infos = reinterpret_cast<ImageCodecInfo*>(buffer.data());
    if (GdipGetImageEncoders(count, size, infos) != Ok)
        return -1;
    for (UINT i = 0; i < count; ++i) {
        const WCHAR* w = infos[i].MimeType;
        const char* a = mimeType;
        while (*w && *a && *w == static_cast<unsigned char>(*a))
            ++w, ++a;
        if (*w == 0 && *a == 0) {
            *clsid = infos[i].Clsid;
            return static_cast<int>(i);
        }
    }
    return -1;
}

SYSTEMTIME ParseExifDateTime(const char* text)
{
    SYSTEMTIME t{};
    int parts[6] = {};
    int count = 0;
    const char* p = text ? text : "";
    while (*p && count < 6) {
        while (*p == ':' || *p == ' ')
            ++p;
        if (!*p)
            break;
        parts[count++] = std::atoi(p);
        while (*p && *p != ':' && *p != ' ')
            ++p;
    }
    const int year = parts[0], month = parts[1], day = parts[2], hour = parts[3], minute = parts[4], second = parts[5];
    if (year < 1980 || year > 2100 || month < 1 || month > 12 || day >= 32 || day < 0 || hour > 24 || hour < 0 ||
        minute > 60 || minute < 0 || second > 60 || second < 0)
        return SYSTEMTIME{};
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDay = static_cast<WORD>(day);
    t.wHour = static_cast<WORD>(hour);
    t.wMinute = static_cast<WORD>(minute);
    t.wSecond = static_cast<WORD>(second);
    return t;
}

char* ExifDateToSlashDate(char* text)
{
    for (char* p = text; *p; ++p) {
        if (*p == ':' || *p == '-')
            *p = '/';
        else if (*p == ' ') {
            *p = '\0';
            break;
        }
    }
    return text;
}

char* TrimRight(char* text)
{
    std::size_t n = std::strlen(text);
    while (n > 0 && text[n - 1] == ' ')
        text[--n] = '\0';
    return text;
}

namespace {

// The whole text (blanks around it allowed) as a finite number.
bool ReadWholeNumber(const std::string& text, double* value)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    *value = std::strtod(begin, &end);
    if (end == begin || errno == ERANGE || !std::isfinite(*value))
        return false;
    while (*end == ' ' || *end == '\t')
        ++end;
    return *end == '\0';
}

} // namespace

double ParseShutterText(const char* text)
{
    const std::string s = text ? text : "";
    double value = 0;
    if (const size_t slash = s.find('/'); slash != std::string::npos) {
        double a = 0, b = 0;
        if (!ReadWholeNumber(s.substr(0, slash), &a) || !ReadWholeNumber(s.substr(slash + 1), &b) || a <= 0 ||
            b <= 0)
            return 0;
        value = a / b;
    } else if (!ReadWholeNumber(s, &value)) {
        return 0;
    }
    return value > 0 && std::isfinite(value) ? value : 0;
}

std::string FileTimeText(const char* path)
{
    std::time_t when = std::time(nullptr);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path && *path && GetFileAttributesEx(path, GetFileExInfoStandard, &data)) {
        const unsigned long long ticks =
            (static_cast<unsigned long long>(data.ftCreationTime.dwHighDateTime) << 32) |
            data.ftCreationTime.dwLowDateTime;
        constexpr unsigned long long kTicksTo1970 = 116444736000000000ULL;
        if (ticks >= kTicksTo1970)
            when = static_cast<std::time_t>((ticks - kTicksTo1970) / 10000000ULL);
    }
    std::tm t{};
    localtime_r(&when, &t);
    char text[64];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d %02d:%02d:%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min, t.tm_sec);
    return text;
}
