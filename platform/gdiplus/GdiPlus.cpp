#include "platform/gdiplus/GdiPlus.h"
#include "platform/win/FileReplace.h"

#include <exiv2/exiv2.hpp>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <mutex>
#include <new>
#include <set>
#include <string>
#include <vector>

struct GpImage {
    virtual ~GpImage() = default;
    std::string path; // the file the items came from; saving copies its pixel data
    std::string mime;
    Exiv2::ExifData exif;
    bool wantExifIfd = false; // item 34665 was set: the saved file gets an Exif IFD
};

struct GpBitmap : GpImage {};

namespace {

constexpr PROPID kExifIfdPointer = 34665;
constexpr PROPID kGpsIfdPointer = 34853;
constexpr PROPID kInteropIfdPointer = 40965;
constexpr PROPID kSubIfds = 330;

void StartExiv2()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::XmpParser::initialize();
    });
}

bool IsPointerTag(PROPID tag)
{
    return tag == kExifIfdPointer || tag == kGpsIfdPointer || tag == kInteropIfdPointer || tag == kSubIfds;
}

bool IsListedGroup(const std::string& group)
{
    return group == "Image" || group == "Photo" || group == "GPSInfo";
}

// Tags the Exif IFD defines; every other tag above the GPS range goes to IFD0.
bool IsPhotoTag(PROPID tag)
{
    static const std::set<PROPID> tags = [] {
        std::set<PROPID> s;
        for (const Exiv2::TagInfo* t = Exiv2::ExifTags::tagList("Photo"); t && t->tag_ != 0xffff; ++t)
            s.insert(t->tag_);
        return s;
    }();
    return tags.count(tag) != 0;
}

const char* GroupOfTag(PROPID tag)
{
    if (tag <= 31)
        return "GPSInfo";
    return IsPhotoTag(tag) ? "Photo" : "Image";
}

bool ToUtf8(const WCHAR* text, std::string& out)
{
    out.clear();
    if (!text)
        return false;
    for (const WCHAR* p = text; *p; ++p) {
        std::uint32_t c = *p;
        if (c >= 0xD800 && c <= 0xDBFF) {
            const std::uint32_t low = p[1];
            if (low < 0xDC00 || low > 0xDFFF)
                return false;
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            ++p;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return false;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return true;
}

// The items as GDI+ lists them: one per tag, first occurrence wins.
struct ListedItem {
    PROPID id;
    WORD type;
    std::vector<BYTE> bytes;
};

std::vector<ListedItem> ListItems(const Exiv2::ExifData& exif)
{
    std::vector<ListedItem> items;
    std::set<PROPID> seen;
    for (const Exiv2::Exifdatum& d : exif) {
        const PROPID tag = d.tag();
        const int type = d.typeId();
        if (!IsListedGroup(d.groupName()) || IsPointerTag(tag) || type < 1 || type > 12)
            continue;
        if (!seen.insert(tag).second)
            continue;
        ListedItem item{tag, static_cast<WORD>(type), {}};
        item.bytes.resize(d.size());
        if (!item.bytes.empty())
            d.copy(item.bytes.data(), Exiv2::littleEndian);
        items.push_back(std::move(item));
    }
    return items;
}

int EraseTag(Exiv2::ExifData& exif, PROPID tag)
{
    int erased = 0;
    for (auto it = exif.begin(); it != exif.end();) {
        if (it->tag() == tag && IsListedGroup(it->groupName())) {
            it = exif.erase(it);
            ++erased;
        } else {
            ++it;
        }
    }
    return erased;
}

bool HasExifIfdItem(const Exiv2::ExifData& exif)
{
    for (const Exiv2::Exifdatum& d : exif)
        if (d.groupName() == "Photo")
            return true;
    return false;
}

struct EncoderEntry {
    BYTE id;
    const char* name;
    const char* description;
    const char* extensions;
    const char* mime;
};

const EncoderEntry kEncoders[] = {
    {1, "Built-in JPEG Codec", "JPEG", "*.JPG;*.JPEG;*.JPE;*.JFIF", "image/jpeg"},
    {2, "Built-in TIFF Codec", "TIFF", "*.TIF;*.TIFF", "image/tiff"},
    {3, "Built-in PNG Codec", "PNG", "*.PNG", "image/png"},
};

CLSID EncoderClsid(BYTE id)
{
    CLSID c{0x51756C6Cu, 0x6F00, 0x0001, {0, 0, 0, 0, 0, 0, 0, id}};
    return c;
}

std::u16string Utf16(const char* ascii)
{
    std::u16string s;
    for (const char* p = ascii; *p; ++p)
        s += static_cast<char16_t>(*p);
    return s;
}

std::size_t EncoderTextUnits()
{
    std::size_t units = 0;
    for (const EncoderEntry& e : kEncoders)
        units += std::strlen(e.name) + std::strlen(e.description) + std::strlen(e.extensions) + std::strlen(e.mime) + 5;
    return units;
}

GpStatus OpenImage(const WCHAR* filename, GpImage* image)
{
    StartExiv2();
    if (!ToUtf8(filename, image->path) || image->path.empty())
        return InvalidParameter;
    struct stat st{};
    if (::stat(image->path.c_str(), &st) != 0)
        return FileNotFound;
    if (!S_ISREG(st.st_mode))
        return UnknownImageFormat;
    try {
        Exiv2::Image::AutoPtr file = Exiv2::ImageFactory::open(image->path);
        if (!file.get())
            return UnknownImageFormat;
        file->readMetadata();
        image->mime = file->mimeType();
        image->exif = file->exifData();
    } catch (const Exiv2::AnyError&) {
        return UnknownImageFormat;
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    } catch (const std::exception&) {
        return GenericError;
    }
    return Ok;
}

bool ReadWholeFile(const std::string& path, std::vector<BYTE>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    bytes.clear();
    BYTE chunk[65536];
    std::size_t n;
    bool ok = true;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    if (std::ferror(f))
        ok = false;
    std::fclose(f);
    return ok;
}

bool WriteAll(int fd, const BYTE* data, std::size_t size)
{
    return qlwin::WriteAllTo(fd, data, size);
}

// The file's bytes with the image's items written into them; the file's
// other metadata (XMP, IPTC, comment) stays. Done in memory: Exiv2 writes
// files through a stream whose failures it does not report, so a full disk
// would give a cut file.
GpStatus WithExif(const std::vector<BYTE>& file, const GpImage& image, const char* mime, std::vector<BYTE>& out)
{
    try {
        Exiv2::Image::AutoPtr photo = Exiv2::ImageFactory::open(file.data(), static_cast<long>(file.size()));
        if (!photo.get() || photo->mimeType() != mime)
            return UnknownImageFormat;
        photo->readMetadata();
        Exiv2::ExifData exif = image.exif;
        if (image.wantExifIfd && !HasExifIfdItem(exif))
            exif["Exif.Photo.ExifVersion"] = Exiv2::DataValue(reinterpret_cast<const Exiv2::byte*>("0230"), 4);
        photo->setExifData(exif);
        photo->writeMetadata();
        Exiv2::BasicIo& io = photo->io();
        const long size = io.size();
        out.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
        if (size <= 0 || io.seek(0, Exiv2::BasicIo::beg) != 0 || io.read(out.data(), size) != size)
            return GenericError;
        return Ok;
    } catch (const Exiv2::AnyError&) {
        return GenericError;
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    } catch (const std::exception&) {
        return GenericError;
    }
}

} // namespace

namespace {

template <class Image>
GpStatus OpenAs(const WCHAR* filename, Image** out)
{
    if (!out)
        return InvalidParameter;
    *out = nullptr;
    auto* image = new (std::nothrow) Image;
    if (!image)
        return OutOfMemory;
    const GpStatus status = OpenImage(filename, image);
    if (status != Ok) {
        delete image;
        return status;
    }
    *out = image;
    return Ok;
}

} // namespace

GpStatus GdipLoadImageFromFile(const WCHAR* filename, GpImage** image)
{
    return OpenAs(filename, image);
}

GpStatus GdipCreateBitmapFromFile(const WCHAR* filename, GpBitmap** bitmap)
{
    return OpenAs(filename, bitmap);
}

GpStatus GdipCloneImage(GpImage* image, GpImage** cloneImage)
{
    if (!image || !cloneImage)
        return InvalidParameter;
    *cloneImage = nullptr;
    try {
        auto* copy = new GpImage;
        copy->path = image->path;
        copy->mime = image->mime;
        copy->exif = image->exif;
        copy->wantExifIfd = image->wantExifIfd;
        *cloneImage = copy;
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
    return Ok;
}

GpStatus GdipDisposeImage(GpImage* image)
{
    if (!image)
        return InvalidParameter;
    delete image;
    return Ok;
}

GpStatus GdipGetPropertySize(GpImage* image, UINT* totalBufferSize, UINT* numProperties)
{
    if (!image || !totalBufferSize || !numProperties)
        return InvalidParameter;
    try {
        const std::vector<ListedItem> items = ListItems(image->exif);
        std::size_t total = items.size() * sizeof(PropertyItem);
        for (const ListedItem& item : items)
            total += item.bytes.size();
        if (total > 0x7FFFFFFF)
            return ValueOverflow;
        *totalBufferSize = static_cast<UINT>(total);
        *numProperties = static_cast<UINT>(items.size());
    } catch (const std::exception&) {
        return OutOfMemory;
    }
    return Ok;
}

GpStatus GdipGetAllPropertyItems(GpImage* image, UINT totalBufferSize, UINT numProperties, PropertyItem* allItems)
{
    if (!image || !allItems)
        return InvalidParameter;
    try {
        const std::vector<ListedItem> items = ListItems(image->exif);
        std::size_t total = items.size() * sizeof(PropertyItem);
        for (const ListedItem& item : items)
            total += item.bytes.size();
        if (numProperties != items.size() || totalBufferSize != total)
            return InvalidParameter;
        BYTE* values = reinterpret_cast<BYTE*>(allItems + items.size());
        for (std::size_t i = 0; i < items.size(); ++i) {
            PropertyItem& out = allItems[i];
            out.id = items[i].id;
            out.type = items[i].type;
            out.length = static_cast<ULONG>(items[i].bytes.size());
            out.value = out.length ? values : nullptr;
            if (out.length)
                std::memcpy(values, items[i].bytes.data(), out.length);
            values += out.length;
        }
    } catch (const std::exception&) {
        return OutOfMemory;
    }
    return Ok;
}

GpStatus GdipSetPropertyItem(GpImage* image, const PropertyItem* item)
{
    if (!image || !item || (item->length && !item->value))
        return InvalidParameter;
    if (item->id > 0xFFFF || item->type < 1 || item->type > 12)
        return PropertyNotSupported;
    if (item->id == kExifIfdPointer) {
        image->wantExifIfd = true;
        return Ok;
    }
    if (IsPointerTag(item->id))
        return Ok; // the writer places directories itself
    try {
        Exiv2::Value::AutoPtr value = Exiv2::Value::create(static_cast<Exiv2::TypeId>(item->type));
        if (value->read(static_cast<const Exiv2::byte*>(item->value), static_cast<long>(item->length),
                        Exiv2::littleEndian) != 0)
            return InvalidParameter;
        EraseTag(image->exif, item->id);
        image->exif.add(Exiv2::ExifKey(static_cast<std::uint16_t>(item->id), GroupOfTag(item->id)), value.get());
    } catch (const Exiv2::AnyError&) {
        return PropertyNotSupported;
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    } catch (const std::exception&) {
        return GenericError;
    }
    return Ok;
}

GpStatus GdipRemovePropertyItem(GpImage* image, PROPID propId)
{
    if (!image)
        return InvalidParameter;
    if (propId == kExifIfdPointer) {
        const bool had = image->wantExifIfd;
        image->wantExifIfd = false;
        return had ? Ok : PropertyNotFound;
    }
    return EraseTag(image->exif, propId) ? Ok : PropertyNotFound;
}

GpStatus GdipGetImageEncodersSize(UINT* numEncoders, UINT* size)
{
    if (!numEncoders || !size)
        return InvalidParameter;
    *numEncoders = static_cast<UINT>(std::size(kEncoders));
    *size = static_cast<UINT>(std::size(kEncoders) * sizeof(ImageCodecInfo) + EncoderTextUnits() * sizeof(WCHAR));
    return Ok;
}

GpStatus GdipGetImageEncoders(UINT numEncoders, UINT size, ImageCodecInfo* encoders)
{
    UINT wantCount = 0, wantSize = 0;
    GdipGetImageEncodersSize(&wantCount, &wantSize);
    if (!encoders || numEncoders != wantCount || size != wantSize)
        return InvalidParameter;
    WCHAR* text = reinterpret_cast<WCHAR*>(encoders + wantCount);
    auto put = [&text](const char* s) {
        const WCHAR* start = text;
        const std::u16string w = Utf16(s);
        std::memcpy(text, w.c_str(), (w.size() + 1) * sizeof(WCHAR));
        text += w.size() + 1;
        return start;
    };
    for (UINT i = 0; i < wantCount; ++i) {
        const EncoderEntry& e = kEncoders[i];
        ImageCodecInfo& info = encoders[i];
        std::memset(&info, 0, sizeof info);
        info.Clsid = EncoderClsid(e.id);
        info.FormatID = EncoderClsid(static_cast<BYTE>(e.id + 0x80));
        info.CodecName = put(e.name);
        info.DllName = put("");
        info.FormatDescription = put(e.description);
        info.FilenameExtension = put(e.extensions);
        info.MimeType = put(e.mime);
        info.Flags = 0x00010007; // encoder, decoder, supports bitmap, built in
        info.Version = 1;
    }
    return Ok;
}

GpStatus GdipSaveImageToFile(GpImage* image, const WCHAR* filename, const CLSID* clsidEncoder,
                             const EncoderParameters* /*encoderParams*/)
{
    if (!image || !filename || !clsidEncoder)
        return InvalidParameter;
    const char* mime = nullptr;
    for (const EncoderEntry& e : kEncoders)
        if (EncoderClsid(e.id) == *clsidEncoder)
            mime = e.mime;
    if (!mime)
        return InvalidParameter;
    // Pixels are never re-encoded: only the format they are in can be written.
    if (image->mime != mime)
        return NotImplemented;
    std::string target;
    if (!ToUtf8(filename, target) || target.empty())
        return InvalidParameter;

    std::vector<BYTE> bytes;
    if (!ReadWholeFile(image->path, bytes))
        return FileNotFound;

    std::vector<BYTE> out;
    GpStatus status = WithExif(bytes, *image, mime, out);
    if (status != Ok)
        return status;
    bytes = {};
    const bool saved = qlwin::WriteReplacing(
        target, [&](int fd, const std::string&) { return WriteAll(fd, out.data(), out.size()); });
    return saved ? Ok : Win32Error;
}

void* GdipAlloc(std::size_t size)
{
    return std::malloc(size);
}

void GdipFree(void* ptr)
{
    std::free(ptr);
}

int MultiByteToWideChar(UINT codePage, DWORD /*flags*/, const char* multiByte, int cbMultiByte, WCHAR* wideChar,
                        int cchWideChar)
{
    if (!multiByte || (codePage != CP_ACP && codePage != CP_UTF8) || cchWideChar < 0)
        return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(multiByte);
    const std::size_t length = cbMultiByte < 0 ? std::strlen(multiByte) + 1 : static_cast<std::size_t>(cbMultiByte);
    std::u16string out;
    for (std::size_t i = 0; i < length;) {
        std::uint32_t c = p[i];
        int extra = 0;
        if (c < 0x80)
            extra = 0;
        else if ((c & 0xE0) == 0xC0)
            extra = 1, c &= 0x1F;
        else if ((c & 0xF0) == 0xE0)
            extra = 2, c &= 0x0F;
        else if ((c & 0xF8) == 0xF0)
            extra = 3, c &= 0x07;
        else
            return 0;
        if (i + extra >= length)
            return 0;
        for (int k = 1; k <= extra; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return 0;
            c = (c << 6) | (p[i + k] & 0x3F);
        }
        static const std::uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return 0;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    if (cchWideChar == 0)
        return static_cast<int>(out.size());
    if (out.size() > static_cast<std::size_t>(cchWideChar) || !wideChar)
        return 0;
    std::memcpy(wideChar, out.data(), out.size() * sizeof(WCHAR));
    return static_cast<int>(out.size());
}
