// The few GDI+ flat functions the suite uses for EXIF property items and
// for saving through an image encoder, on Exiv2.
//
// An image here is a photo file's metadata, not its pixels: loading reads
// the EXIF items, and saving writes the file's own pixel data unchanged with
// the edited items (a JPEG keeps its quality). So an image can only be saved
// with the encoder of its own format (JPEG, PNG or TIFF). Saving writes a
// temporary file beside the target and renames it, so a failure leaves the
// target as it was.
//
// Items are flat, by tag number, as GDI+ hands them over: the tags of IFD0,
// the Exif IFD and the GPS IFD, values in the machine's byte order
// (little-endian). Thumbnail (IFD1), interoperability and maker-note
// sub-directories are not listed; the IFD pointer tags are placed by the
// writer.
#pragma once

#include "platform/win/WinTypes.h"

#include <cstddef>

using WCHAR = char16_t;
using PROPID = ULONG;

enum GpStatus : INT {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    ObjectBusy = 4,
    InsufficientBuffer = 5,
    NotImplemented = 6,
    Win32Error = 7,
    WrongState = 8,
    Aborted = 9,
    FileNotFound = 10,
    ValueOverflow = 11,
    AccessDenied = 12,
    UnknownImageFormat = 13,
    FontFamilyNotFound = 14,
    FontStyleNotFound = 15,
    NotTrueTypeFont = 16,
    UnsupportedGdiplusVersion = 17,
    GdiplusNotInitialized = 18,
    PropertyNotFound = 19,
    PropertyNotSupported = 20,
};

// Item value types (the TIFF field types).
inline constexpr WORD PropertyTagTypeByte = 1;
inline constexpr WORD PropertyTagTypeASCII = 2;
inline constexpr WORD PropertyTagTypeShort = 3;
inline constexpr WORD PropertyTagTypeLong = 4;
inline constexpr WORD PropertyTagTypeRational = 5;
inline constexpr WORD PropertyTagTypeUndefined = 7;
inline constexpr WORD PropertyTagTypeSLONG = 9;
inline constexpr WORD PropertyTagTypeSRational = 10;

struct PropertyItem {
    PROPID id;
    ULONG length; // bytes at value
    WORD type;
    void* value;
};

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
using CLSID = GUID;

inline bool operator==(const GUID& a, const GUID& b)
{
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
        return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i])
            return false;
    return true;
}

struct ImageCodecInfo {
    CLSID Clsid;
    GUID FormatID;
    const WCHAR* CodecName;
    const WCHAR* DllName;
    const WCHAR* FormatDescription;
    const WCHAR* FilenameExtension;
    const WCHAR* MimeType;
    DWORD Flags;
    DWORD Version;
    DWORD SigCount;
    DWORD SigSize;
    const BYTE* SigPattern;
    const BYTE* SigMask;
};

struct EncoderParameters; // no encoder takes parameters here

struct GpImage;
struct GpBitmap;

GpStatus GdipLoadImageFromFile(const WCHAR* filename, GpImage** image);
GpStatus GdipCreateBitmapFromFile(const WCHAR* filename, GpBitmap** bitmap);
GpStatus GdipCloneImage(GpImage* image, GpImage** cloneImage);
GpStatus GdipDisposeImage(GpImage* image);

GpStatus GdipGetPropertySize(GpImage* image, UINT* totalBufferSize, UINT* numProperties);
// The buffer holds numProperties items followed by their values; both
// numbers must be those GdipGetPropertySize gave.
GpStatus GdipGetAllPropertyItems(GpImage* image, UINT totalBufferSize, UINT numProperties, PropertyItem* allItems);
// Replaces any item of the same tag.
GpStatus GdipSetPropertyItem(GpImage* image, const PropertyItem* item);
GpStatus GdipRemovePropertyItem(GpImage* image, PROPID propId);

GpStatus GdipGetImageEncodersSize(UINT* numEncoders, UINT* size);
// The buffer holds numEncoders records followed by their texts.
GpStatus GdipGetImageEncoders(UINT numEncoders, UINT size, ImageCodecInfo* encoders);
GpStatus GdipSaveImageToFile(GpImage* image, const WCHAR* filename, const CLSID* clsidEncoder,
                             const EncoderParameters* encoderParams);

void* GdipAlloc(std::size_t size);
void GdipFree(void* ptr);

// Text conversion as the GDI+ callers use it. The "ANSI" code page is UTF-8
// here. cchMultiByte -1 converts up to and including the NUL. Returns the
// UTF-16 units written (or needed when cchWideChar is 0), 0 on failure
// (invalid UTF-8, or the buffer too small).
inline constexpr UINT CP_ACP = 0;
inline constexpr UINT CP_UTF8 = 65001;
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* multiByte, int cbMultiByte, WCHAR* wideChar,
                        int cchWideChar);
