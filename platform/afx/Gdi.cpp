// GDI objects: pens, brushes, fonts, bitmaps, regions, stock objects and
// system colours, and the registry that keeps handles safe.
#include "platform/afx/DC.h"
#include "platform/afx/GdiRecords.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPalette>
#include <QThread>
#include <QPainterPath>
#include <QPolygon>

#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <cmath>
#include <cstring>
#include <deque>
#include <mutex>
#include <unordered_map>

using namespace qlafx::detail;

void* QlGdiObject::operator new(std::size_t size) { return ::operator new(size); }

void QlGdiObject::operator delete(void* p)
{
    // Freed records wait here before their memory is reused, so that a stale
    // handle does not at once name a new object. Never destroyed: objects are
    // deleted during exit too, and the held records stay reachable.
    static std::mutex lock;
    static auto* quarantine = new std::deque<void*>;
    void* release = nullptr;
    {
        std::lock_guard guard(lock);
        quarantine->push_back(p);
        if (quarantine->size() > 1024) {
            release = quarantine->front();
            quarantine->pop_front();
        }
    }
    ::operator delete(release);
}

QlGdiObject::~QlGdiObject()
{
    if (tempWrapper)
        tempWrapper->m_hObject = nullptr; // it must not delete us again
}

QSize QlBitmapRecord::LogicalSize() const
{
    const qreal ratio = image.devicePixelRatio();
    if (ratio == 1)
        return image.size();
    return QSize(static_cast<int>(std::lround(image.width() / ratio)),
                 static_cast<int>(std::lround(image.height() / ratio)));
}

const QlBitmapRecord* qlafx::detail::LogicalPixels(const QlBitmapRecord* bm, QlBitmapRecord& scratch)
{
    if (!bm || bm->image.devicePixelRatio() == 1)
        return bm;
    scratch.image = bm->image.scaled(bm->LogicalSize(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    scratch.image.setDevicePixelRatio(1);
    scratch.dib = bm->dib;
    scratch.flipped = bm->flipped;
    scratch.mono = bm->mono;
    scratch.bitsPixel = bm->bitsPixel;
    return &scratch;
}

namespace {

// The tables below are made on first use and never destroyed: objects held
// by globals are deleted during exit, after function-local statics would be.
std::mutex& RegistryLock()
{
    static std::mutex m;
    return m;
}

std::unordered_map<const void*, QlGdiObject*>& Registry()
{
    static auto* map = new std::unordered_map<const void*, QlGdiObject*>;
    return *map;
}

QlGdiObject* FindLocked(HGDIOBJ obj)
{
    if (!obj)
        return nullptr;
    auto& map = Registry();
    const auto it = map.find(obj);
    return it == map.end() ? nullptr : it->second;
}

} // namespace

namespace qlafx::detail {

QlGdiObject* Lookup(HGDIOBJ obj)
{
    std::lock_guard lock(RegistryLock());
    return FindLocked(obj);
}

void RegisterRaw(const void* handle, QlGdiObject* obj)
{
    std::lock_guard lock(RegistryLock());
    Registry()[handle] = obj;
}

void AddSelection(QlGdiObject* obj)
{
    if (!obj)
        return;
    std::lock_guard lock(RegistryLock());
    ++obj->selections;
}

bool SelectBitmapInto(QlBitmapRecord* bm, QlDCRecord* dc)
{
    std::lock_guard lock(RegistryLock());
    if (!bm->stock && bm->dc && bm->dc != dc)
        return false; // a bitmap is drawn into by one DC at a time
    if (!bm->stock)
        bm->dc = dc;
    ++bm->selections;
    return true;
}

void ReleaseSelection(QlGdiObject* obj)
{
    if (!obj)
        return;
    bool free = false;
    {
        std::lock_guard lock(RegistryLock());
        --obj->selections;
        if (obj->selections == 0 && obj->kind == GdiKind::Bitmap)
            static_cast<QlBitmapRecord*>(obj)->dc = nullptr;
        free = obj->selections == 0 && obj->deletePending;
    }
    if (free)
        delete obj;
}

QColor ToQColor(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

} // namespace qlafx::detail

BOOL DeleteObject(HGDIOBJ obj)
{
    QlGdiObject* o = nullptr;
    {
        std::lock_guard lock(RegistryLock());
        o = FindLocked(obj);
        if (!o)
            return FALSE;
        if (o->stock)
            return TRUE;
        Registry().erase(obj);
        if (o->attached) {
            o->attached->m_hObject = nullptr;
            o->attached = nullptr;
        }
        if (o->selections > 0) {
            // Still selected: the DC keeps drawing with it until it lets go.
            o->deletePending = true;
            return TRUE;
        }
    }
    delete o;
    return TRUE;
}

DWORD GetObjectType(HGDIOBJ obj)
{
    const QlGdiObject* o = Lookup(obj);
    if (!o)
        return 0;
    switch (o->kind) {
    case GdiKind::Pen: return OBJ_PEN;
    case GdiKind::Brush: return OBJ_BRUSH;
    case GdiKind::Font: return OBJ_FONT;
    case GdiKind::Bitmap: return OBJ_BITMAP;
    case GdiKind::Region: return OBJ_REGION;
    }
    return 0;
}

// --- Pens and brushes ----------------------------------------------------

HPEN CreatePenIndirect(const LOGPEN* pen)
{
    if (!pen)
        return nullptr;
    auto* rec = new QlPenRecord;
    rec->log = *pen;
    return Register(rec);
}

HPEN CreatePen(int style, int width, COLORREF color)
{
    const LOGPEN log{static_cast<UINT>(style), POINT{width, 0}, color};
    return CreatePenIndirect(&log);
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    auto* rec = new QlBrushRecord;
    rec->log = LOGBRUSH{BS_SOLID, color, 0};
    return Register(rec);
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color)
{
    if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS)
        return nullptr;
    auto* rec = new QlBrushRecord;
    rec->log = LOGBRUSH{BS_HATCHED, color, static_cast<std::uintptr_t>(hatch)};
    return Register(rec);
}

HBRUSH CreatePatternBrush(HBITMAP bitmap)
{
    QlBitmapRecord scratch;
    const auto* bm = LogicalPixels(LookupAs<QlBitmapRecord>(bitmap, GdiKind::Bitmap), scratch);
    if (!bm || bm->image.isNull())
        return nullptr;
    auto* rec = new QlBrushRecord;
    rec->log = LOGBRUSH{BS_PATTERN, 0, reinterpret_cast<std::uintptr_t>(bitmap)};
    // A copy: the brush outlives changes to (and deletion of) the bitmap.
    QImage img = bm->image.convertToFormat(QImage::Format_RGB32);
    rec->pattern = bm->flipped ? img.mirrored(false, true) : img;
    rec->monoPattern = bm->mono;
    rec->patternSource = bitmap;
    return Register(rec);
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* brush)
{
    if (!brush)
        return nullptr;
    switch (brush->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(brush->lbColor);
    case BS_HATCHED: return CreateHatchBrush(static_cast<int>(brush->lbHatch), brush->lbColor);
    case BS_PATTERN: return CreatePatternBrush(reinterpret_cast<HBITMAP>(brush->lbHatch));
    case BS_NULL: {
        auto* rec = new QlBrushRecord;
        rec->log = LOGBRUSH{BS_NULL, 0, 0};
        return Register(rec);
    }
    default: return nullptr;
    }
}

// --- Fonts ---------------------------------------------------------------

namespace {

bool SameFace(const char* a, const char* b)
{
    return QString::fromUtf8(a).compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

// Windows faces onto the free fonts with the same (or close) metrics.
QStringList MapFace(const LOGFONT& log)
{
    static const struct {
        const char* face;
        const char* family;
    } kMap[] = {
        {"Arial", "Liberation Sans"},
        {"Helvetica", "Liberation Sans"},
        {"Arial Narrow", "Liberation Sans Narrow"},
        {"Tahoma", "Liberation Sans"},
        {"MS Sans Serif", "Liberation Sans"},
        {"MS Shell Dlg", "Liberation Sans"},
        {"MS Shell Dlg 2", "Liberation Sans"},
        {"Microsoft Sans Serif", "Liberation Sans"},
        {"Segoe UI", "Liberation Sans"},
        {"System", "Liberation Sans"},
        {"Verdana", "DejaVu Sans"},
        {"Times New Roman", "Liberation Serif"},
        {"Times", "Liberation Serif"},
        {"MS Serif", "Liberation Serif"},
        {"Courier New", "Liberation Mono"},
        {"Courier", "Liberation Mono"},
        {"Lucida Console", "Liberation Mono"},
        {"Fixedsys", "Liberation Mono"},
        {"Terminal", "Liberation Mono"},
    };
    char face[LF_FACESIZE + 1] = {};
    std::memcpy(face, log.lfFaceName, LF_FACESIZE);
    for (const auto& m : kMap)
        if (SameFace(face, m.face))
            return {QString::fromLatin1(m.family)};
    const int family = log.lfPitchAndFamily & 0xF0;
    const char* fallback = "Liberation Sans";
    if ((log.lfPitchAndFamily & 0x3) == FIXED_PITCH || family == FF_MODERN)
        fallback = "Liberation Mono";
    else if (family == FF_ROMAN)
        fallback = "Liberation Serif";
    if (face[0] == '\0')
        return {QString::fromLatin1(fallback)};
    return {QString::fromUtf8(face), QString::fromLatin1(fallback)};
}

// A positive height is the cell (ascent + descent); Qt sizes by the em.
int PixelSizeForCell(FontSpec spec, int cell)
{
    if (!QGuiApplication::instance())
        return std::max(1, cell * 9 / 10);
    spec.pixelSize = 256;
    const QFontMetricsF fm(qlafx::detail::MakeQFont(spec));
    const double h = fm.ascent() + fm.descent();
    return h > 0 ? std::max(1, static_cast<int>(std::lround(cell * 256.0 / h))) : cell;
}

} // namespace

namespace qlafx::detail {

QFont MakeQFont(const FontSpec& spec)
{
    QFont f;
    f.setFamilies(spec.families);
    f.setPixelSize(std::max(1, spec.pixelSize));
    f.setWeight(static_cast<QFont::Weight>(std::clamp(spec.weight, 100, 900)));
    f.setItalic(spec.italic);
    f.setUnderline(spec.underline);
    f.setStrikeOut(spec.strikeOut);
    f.setKerning(false); // GDI does not kern by default
    if (!spec.antialias)
        f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

} // namespace qlafx::detail

void qlafx::LogFontOf(const QFont& font, LOGFONT* out)
{
    LOGFONT lf{};
    int px = font.pixelSize();
    if (px <= 0)
        px = QGuiApplication::instance() ? QFontInfo(font).pixelSize()
                                         : static_cast<int>(std::lround(font.pointSizeF() * 96.0 / 72.0));
    lf.lfHeight = -std::max(1, px);
    lf.lfWeight = std::clamp(static_cast<int>(font.weight()), 100, 900);
    lf.lfItalic = font.italic() ? TRUE : FALSE;
    lf.lfUnderline = font.underline() ? TRUE : FALSE;
    lf.lfStrikeOut = font.strikeOut() ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = font.styleStrategy() & QFont::NoAntialias ? NONANTIALIASED_QUALITY : DEFAULT_QUALITY;
    lf.lfPitchAndFamily = font.fixedPitch() ? FIXED_PITCH | FF_MODERN : VARIABLE_PITCH | FF_SWISS;
    const QByteArray face = font.family().toUtf8();
    std::strncpy(lf.lfFaceName, face.constData(), LF_FACESIZE - 1);
    *out = lf;
}

HFONT CreateFontIndirect(const LOGFONT* font)
{
    if (!font)
        return nullptr;
    auto* rec = new QlFontRecord;
    SetFontRecord(rec, *font);
    return Register(rec);
}

namespace qlafx::detail {

void SetFontRecord(QlFontRecord* rec, const LOGFONT& log)
{
    const LOGFONT* font = &log;
    rec->log = *font;
    FontSpec& s = rec->spec;
    s = FontSpec{};
    s.families = MapFace(*font);
    s.weight = font->lfWeight == FW_DONTCARE ? FW_NORMAL : font->lfWeight;
    s.italic = font->lfItalic != 0;
    s.underline = font->lfUnderline != 0;
    s.strikeOut = font->lfStrikeOut != 0;
    s.antialias = font->lfQuality != NONANTIALIASED_QUALITY;
    if (font->lfHeight < 0)
        s.pixelSize = -font->lfHeight;
    else if (font->lfHeight > 0)
        s.pixelSize = PixelSizeForCell(s, font->lfHeight);
    else
        s.pixelSize = 13; // the mapper's default: 10 points
}

} // namespace qlafx::detail

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                 DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                 DWORD pitchAndFamily, LPCSTR face)
{
    LOGFONT log{};
    log.lfHeight = height;
    log.lfWidth = width;
    log.lfEscapement = escapement;
    log.lfOrientation = orientation;
    log.lfWeight = weight;
    log.lfItalic = static_cast<BYTE>(italic);
    log.lfUnderline = static_cast<BYTE>(underline);
    log.lfStrikeOut = static_cast<BYTE>(strikeOut);
    log.lfCharSet = static_cast<BYTE>(charSet);
    log.lfOutPrecision = static_cast<BYTE>(outPrecision);
    log.lfClipPrecision = static_cast<BYTE>(clipPrecision);
    log.lfQuality = static_cast<BYTE>(quality);
    log.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    if (face)
        std::strncpy(log.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirect(&log);
}

// --- Bitmaps -------------------------------------------------------------

namespace {

// Bytes in a row padded to `align` bits, computed wide: widths near INT_MAX
// would overflow an int.
std::int64_t RowBytes(std::int64_t width, int bpp, int align)
{
    return (width * bpp + align - 1) / align * (align / 8);
}

// Rows of a DIB header's height; INT_MIN has no positive counterpart.
int DibHeight(LONG height) { return height == INT_MIN ? 0 : height < 0 ? -height : height; }

// A DIB whose rows and whole size can be addressed (biSizeImage is a DWORD;
// we keep to what an int indexes).
bool DibFits(int width, int height, int bpp)
{
    if (width <= 0 || height <= 0 || bpp <= 0)
        return false;
    const std::int64_t stride = RowBytes(width, bpp, 32);
    return stride <= INT_MAX && stride * height <= INT_MAX;
}

int DdbStride(int width, int bpp) { return static_cast<int>(RowBytes(width, bpp, 16)); }
int DibStride(int width, int bpp) { return static_cast<int>(RowBytes(width, bpp, 32)); }
// A bitmap's rows as GetBitmapBits and GetObject describe them.
int BitmapStride(const QlBitmapRecord* bm)
{
    const int w = bm->LogicalSize().width();
    return bm->dib ? DibStride(w, bm->bitsPixel) : DdbStride(w, bm->bitsPixel);
}

QlBitmapRecord* NewDdb(int width, int height, int bpp)
{
    auto* rec = new QlBitmapRecord;
    rec->image = QImage(width, height, QImage::Format_RGB32);
    rec->image.fill(0xFF000000u); // black, as a fresh Windows bitmap usually is
    rec->mono = bpp == 1;
    rec->bitsPixel = bpp;
    return rec;
}

// Bitmap rows (top first, DDB layout of the reported depth) from / to the image.
void PutDdbRows(QlBitmapRecord* bm, const BYTE* bits, std::size_t size)
{
    const int w = bm->image.width();
    const int stride = BitmapStride(bm);
    const int rows = static_cast<int>(std::min<std::size_t>(bm->image.height(), size / stride));
    for (int y = 0; y < rows; ++y) {
        const BYTE* src = bits + static_cast<std::size_t>(y) * stride;
        BYTE* row = CanvasRow(bm->image, bm->flipped, y);
        if (bm->image.format() == QImage::Format_BGR888) {
            std::memcpy(row, src, static_cast<std::size_t>(w) * 3);
            continue;
        }
        auto* d = reinterpret_cast<std::uint32_t*>(row);
        for (int x = 0; x < w; ++x) {
            switch (bm->bitsPixel) {
            case 1: d[x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 0xFFFFFFFFu : 0xFF000000u; break;
            case 24: d[x] = src[3 * x] | (src[3 * x + 1] << 8) | (src[3 * x + 2] << 16) | 0xFF000000u; break;
            default: std::memcpy(&d[x], src + 4 * x, 4); break;
            }
        }
    }
}

void GetDdbRows(const QlBitmapRecord* bm, BYTE* bits, std::size_t size)
{
    const int w = bm->image.width();
    const int stride = BitmapStride(bm);
    const int rows = static_cast<int>(std::min<std::size_t>(bm->image.height(), size / stride));
    for (int y = 0; y < rows; ++y) {
        BYTE* dst = bits + static_cast<std::size_t>(y) * stride;
        std::memset(dst, 0, stride);
        const BYTE* row = CanvasRow(bm->image, bm->flipped, y);
        if (bm->image.format() == QImage::Format_BGR888) {
            std::memcpy(dst, row, static_cast<std::size_t>(w) * 3);
            continue;
        }
        const auto* s = reinterpret_cast<const std::uint32_t*>(row);
        for (int x = 0; x < w; ++x) {
            switch (bm->bitsPixel) {
            case 1:
                if ((s[x] & 0xFFFFFF) == 0xFFFFFF)
                    dst[x >> 3] |= static_cast<BYTE>(0x80 >> (x & 7));
                break;
            case 24:
                dst[3 * x] = static_cast<BYTE>(s[x]);
                dst[3 * x + 1] = static_cast<BYTE>(s[x] >> 8);
                dst[3 * x + 2] = static_cast<BYTE>(s[x] >> 16);
                break;
            default: std::memcpy(dst + 4 * x, &s[x], 4); break;
            }
        }
    }
}

std::size_t BitmapByteSize(const QlBitmapRecord* bm)
{
    return static_cast<std::size_t>(BitmapStride(bm)) * bm->LogicalSize().height();
}

} // namespace

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits)
{
    if (width <= 0 || height <= 0 || planes != 1 || (bitsPerPixel != 1 && bitsPerPixel != 24 && bitsPerPixel != 32))
        return nullptr;
    QlBitmapRecord* rec = NewDdb(width, height, static_cast<int>(bitsPerPixel));
    if (rec->image.isNull()) {
        delete rec;
        return nullptr;
    }
    if (bits)
        PutDdbRows(rec, static_cast<const BYTE*>(bits), BitmapByteSize(rec));
    return Register(rec);
}

HBITMAP CreateBitmapIndirect(const BITMAP* bitmap)
{
    if (!bitmap)
        return nullptr;
    return CreateBitmap(bitmap->bmWidth, bitmap->bmHeight, bitmap->bmPlanes, bitmap->bmBitsPixel, bitmap->bmBits);
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT, void** bits, HANDLE, DWORD)
{
    if (bits)
        *bits = nullptr;
    if (!info)
        return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    const int bpp = h.biBitCount;
    if (h.biWidth <= 0 || h.biHeight == 0 || (bpp != 24 && bpp != 32) ||
        (h.biCompression != BI_RGB && !(h.biCompression == BI_BITFIELDS && bpp == 32)))
        return nullptr;
    const int width = h.biWidth;
    const int height = DibHeight(h.biHeight);
    if (!DibFits(width, height, bpp))
        return nullptr;
    const std::size_t stride = static_cast<std::size_t>(DibStride(width, bpp));
    auto* rec = new QlBitmapRecord;
    rec->dibBits.reset(new (std::nothrow) BYTE[stride * height]());
    if (!rec->dibBits) {
        delete rec;
        return nullptr;
    }
    rec->image = QImage(rec->dibBits.get(), width, height, static_cast<qsizetype>(stride),
                        bpp == 32 ? QImage::Format_RGB32 : QImage::Format_BGR888);
    rec->dib = true;
    rec->flipped = h.biHeight > 0;
    rec->bitsPixel = bpp;
    if (bits)
        *bits = rec->dibBits.get();
    return Register(rec);
}

LONG GetBitmapBits(HBITMAP bitmap, LONG count, LPVOID bits)
{
    QlBitmapRecord scratch;
    const auto* bm = LogicalPixels(LookupAs<QlBitmapRecord>(bitmap, GdiKind::Bitmap), scratch);
    if (!bm || count <= 0 || !bits)
        return 0;
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(count), BitmapByteSize(bm));
    GetDdbRows(bm, static_cast<BYTE*>(bits), n);
    return static_cast<LONG>(n);
}

LONG SetBitmapBits(HBITMAP bitmap, DWORD count, const void* bits)
{
    auto* bm = LookupAs<QlBitmapRecord>(bitmap, GdiKind::Bitmap);
    if (!bm || !bits)
        return 0;
    const std::size_t n = std::min<std::size_t>(count, BitmapByteSize(bm));
    QlBitmapRecord scratch;
    if (LogicalPixels(bm, scratch) == bm) {
        PutDdbRows(bm, static_cast<const BYTE*>(bits), n);
        return static_cast<LONG>(n);
    }
    // A HiDPI bitmap takes the logical pixels at its device resolution.
    PutDdbRows(&scratch, static_cast<const BYTE*>(bits), n);
    const qreal ratio = bm->image.devicePixelRatio();
    bm->image = scratch.image.scaled(bm->image.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    bm->image.setDevicePixelRatio(ratio);
    return static_cast<LONG>(n);
}

BOOL GdiFlush() { return TRUE; }

namespace qlafx::detail {

bool ParseDib(const BITMAPINFO* info, DibLayout* out)
{
    if (!info)
        return false;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    const int bpp = h.biBitCount;
    const bool bitfields32 = h.biCompression == BI_BITFIELDS && bpp == 32;
    if (h.biWidth <= 0 || h.biHeight == 0 || (h.biCompression != BI_RGB && !bitfields32))
        return false;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)
        return false;
    if (!DibFits(h.biWidth, DibHeight(h.biHeight), bpp))
        return false;
    out->width = h.biWidth;
    out->height = DibHeight(h.biHeight);
    out->bpp = bpp;
    out->stride = DibStride(h.biWidth, bpp);
    out->topDown = h.biHeight < 0;
    out->palette = bpp <= 8 ? info->bmiColors : nullptr;
    out->paletteSize = bpp <= 8 ? (h.biClrUsed ? static_cast<int>(std::min<DWORD>(h.biClrUsed, 1u << bpp)) : 1 << bpp) : 0;
    return true;
}

const BYTE* DibRow(const DibLayout& dib, const void* bits, int y)
{
    const int memRow = dib.topDown ? y : dib.height - 1 - y;
    return static_cast<const BYTE*>(bits) + static_cast<std::ptrdiff_t>(memRow) * dib.stride;
}

void ReadDibRow(const DibLayout& dib, const BYTE* row, std::uint32_t* out)
{
    auto pal = [&](int i) -> std::uint32_t {
        if (i >= dib.paletteSize)
            return 0xFF000000u;
        const RGBQUAD& q = dib.palette[i];
        return q.rgbBlue | (q.rgbGreen << 8) | (q.rgbRed << 16) | 0xFF000000u;
    };
    const int w = dib.width;
    switch (dib.bpp) {
    case 32: std::memcpy(out, row, static_cast<std::size_t>(w) * 4); break;
    case 24:
        for (int x = 0; x < w; ++x)
            out[x] = row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16) | 0xFF000000u;
        break;
    case 8:
        for (int x = 0; x < w; ++x)
            out[x] = pal(row[x]);
        break;
    case 4:
        for (int x = 0; x < w; ++x)
            out[x] = pal((x & 1) ? row[x >> 1] & 0xF : row[x >> 1] >> 4);
        break;
    case 1:
        for (int x = 0; x < w; ++x)
            out[x] = pal((row[x >> 3] >> (7 - (x & 7))) & 1);
        break;
    }
}

} // namespace qlafx::detail

HBITMAP CreateDIBitmap(HDC, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* info,
                       UINT)
{
    if (!header || header->biWidth <= 0 || header->biHeight == 0)
        return nullptr;
    const int height = DibHeight(header->biHeight);
    QlBitmapRecord* rec = NewDdb(header->biWidth, height, 32);
    if (rec->image.isNull()) {
        delete rec;
        return nullptr;
    }
    DibLayout dib;
    if ((init & CBM_INIT) && bits && ParseDib(info, &dib)) {
        std::vector<std::uint32_t> row(dib.width);
        const int w = std::min(dib.width, rec->image.width());
        for (int y = 0; y < std::min(dib.height, height); ++y) {
            ReadDibRow(dib, DibRow(dib, bits, y), row.data());
            auto* d = reinterpret_cast<std::uint32_t*>(rec->image.scanLine(y));
            for (int x = 0; x < w; ++x)
                d[x] = row[x] | 0xFF000000u;
        }
    }
    return Register(rec);
}

int GetDIBits(HDC, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, BITMAPINFO* info, UINT)
{
    QlBitmapRecord scratch;
    const auto* bm = LogicalPixels(LookupAs<QlBitmapRecord>(bitmap, GdiKind::Bitmap), scratch);
    if (!bm || !info)
        return 0;
    BITMAPINFOHEADER& h = info->bmiHeader;
    const int w = bm->image.width();
    const int height = bm->image.height();
    if (!bits) {
        // Only the header is asked for.
        if (h.biBitCount == 0) {
            h.biWidth = w;
            h.biHeight = height;
            h.biPlanes = 1;
            h.biBitCount = static_cast<WORD>(bm->bitsPixel);
            h.biCompression = BI_RGB;
        }
        if (h.biWidth <= 0 || !DibFits(h.biWidth, DibHeight(h.biHeight), h.biBitCount))
            return 0;
        h.biSizeImage = static_cast<DWORD>(DibStride(h.biWidth, h.biBitCount)) * static_cast<DWORD>(DibHeight(h.biHeight));
        return 1;
    }
    if (h.biBitCount != 24 && h.biBitCount != 32)
        return 0;
    if (h.biWidth != w || (h.biHeight != height && h.biHeight != -height))
        return 0;
    const bool topDown = h.biHeight < 0;
    const int stride = DibStride(w, h.biBitCount);
    const int first = static_cast<int>(std::min<UINT>(start, height));
    const int count = static_cast<int>(std::min<UINT>(lines, height - first));
    for (int i = 0; i < count; ++i) {
        const int scan = first + i;                         // scan lines count from the first row in memory
        const int y = topDown ? scan : height - 1 - scan;   // row as seen
        BYTE* dst = static_cast<BYTE*>(bits) + static_cast<std::size_t>(i) * stride;
        const BYTE* src = CanvasRow(bm->image, bm->flipped, y);
        for (int x = 0; x < w; ++x) {
            std::uint32_t v;
            if (bm->image.format() == QImage::Format_BGR888)
                v = src[3 * x] | (src[3 * x + 1] << 8) | (src[3 * x + 2] << 16);
            else
                std::memcpy(&v, src + 4 * x, 4);
            if (h.biBitCount == 32) {
                std::memcpy(dst + 4 * x, &v, 4);
            } else {
                dst[3 * x] = static_cast<BYTE>(v);
                dst[3 * x + 1] = static_cast<BYTE>(v >> 8);
                dst[3 * x + 2] = static_cast<BYTE>(v >> 16);
            }
        }
    }
    return count;
}

// --- Regions -------------------------------------------------------------

namespace {

QRect ToQRect(int l, int t, int r, int b)
{
    if (r < l)
        std::swap(l, r);
    if (b < t)
        std::swap(t, b);
    return QRect(l, t, r - l, b - t);
}

HRGN NewRegion(const QRegion& region)
{
    auto* rec = new QlRgnRecord;
    rec->region = region;
    return Register(rec);
}

int RegionType(const QRegion& r)
{
    if (r.isEmpty())
        return NULLREGION;
    return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

QRegion PathRegion(const QPainterPath& path)
{
    return QRegion(path.toFillPolygon().toPolygon());
}

} // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom) { return NewRegion(QRegion(ToQRect(left, top, right, bottom))); }

HRGN CreateRectRgnIndirect(const RECT* rect)
{
    return rect ? CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom) : nullptr;
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom)
{
    const QRect r = ToQRect(left, top, right, bottom);
    return NewRegion(r.isEmpty() ? QRegion() : QRegion(r, QRegion::Ellipse));
}

HRGN CreateEllipticRgnIndirect(const RECT* rect)
{
    return rect ? CreateEllipticRgn(rect->left, rect->top, rect->right, rect->bottom) : nullptr;
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height)
{
    const QRect r = ToQRect(left, top, right, bottom);
    if (r.isEmpty())
        return NewRegion(QRegion());
    QPainterPath path;
    path.addRoundedRect(QRectF(r), width / 2.0, height / 2.0);
    return NewRegion(PathRegion(path) & QRegion(r));
}

HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode)
{
    if (!points || count < 2)
        return nullptr;
    QPolygon poly(count);
    for (int i = 0; i < count; ++i)
        poly.setPoint(i, points[i].x, points[i].y);
    return NewRegion(QRegion(poly, fillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill));
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode)
{
    auto* d = LookupAs<QlRgnRecord>(dest, GdiKind::Region);
    const auto* a = LookupAs<QlRgnRecord>(src1, GdiKind::Region);
    const auto* b = LookupAs<QlRgnRecord>(src2, GdiKind::Region);
    if (!d || !a || (mode != RGN_COPY && !b))
        return ERROR;
    switch (mode) {
    case RGN_AND: d->region = a->region & b->region; break;
    case RGN_OR: d->region = a->region | b->region; break;
    case RGN_XOR: d->region = a->region ^ b->region; break;
    case RGN_DIFF: d->region = a->region - b->region; break;
    case RGN_COPY: d->region = a->region; break;
    default: return ERROR;
    }
    return RegionType(d->region);
}

BOOL EqualRgn(HRGN a, HRGN b)
{
    const auto* ra = LookupAs<QlRgnRecord>(a, GdiKind::Region);
    const auto* rb = LookupAs<QlRgnRecord>(b, GdiKind::Region);
    return ra && rb && ra->region == rb->region;
}

int OffsetRgn(HRGN rgn, int dx, int dy)
{
    auto* r = LookupAs<QlRgnRecord>(rgn, GdiKind::Region);
    if (!r)
        return ERROR;
    r->region.translate(dx, dy);
    return RegionType(r->region);
}

int GetRgnBox(HRGN rgn, LPRECT rect)
{
    const auto* r = LookupAs<QlRgnRecord>(rgn, GdiKind::Region);
    if (!r || !rect)
        return ERROR;
    const QRect b = r->region.boundingRect();
    *rect = r->region.isEmpty() ? RECT{0, 0, 0, 0} : RECT{b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
    return RegionType(r->region);
}

BOOL PtInRegion(HRGN rgn, int x, int y)
{
    const auto* r = LookupAs<QlRgnRecord>(rgn, GdiKind::Region);
    return r && r->region.contains(QPoint(x, y));
}

BOOL RectInRegion(HRGN rgn, const RECT* rect)
{
    const auto* r = LookupAs<QlRgnRecord>(rgn, GdiKind::Region);
    return r && rect && r->region.intersects(ToQRect(rect->left, rect->top, rect->right, rect->bottom));
}

BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom)
{
    auto* r = LookupAs<QlRgnRecord>(rgn, GdiKind::Region);
    if (!r)
        return FALSE;
    r->region = QRegion(ToQRect(left, top, right, bottom));
    return TRUE;
}

// --- Stock objects and system colours ------------------------------------

namespace {

constexpr int kSysColorCount = 31;

// Each system colour is a role of the application's palette, so the controls
// the layer draws and Qt's own widgets are one family.
struct SysColorRole {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

constexpr std::array<SysColorRole, kSysColorCount> kSysColorRoles = {{
    {QPalette::Active, QPalette::Button},           // COLOR_SCROLLBAR
    {QPalette::Active, QPalette::Dark},             // COLOR_BACKGROUND
    {QPalette::Active, QPalette::Highlight},        // COLOR_ACTIVECAPTION
    {QPalette::Inactive, QPalette::Mid},            // COLOR_INACTIVECAPTION
    {QPalette::Active, QPalette::Window},           // COLOR_MENU
    {QPalette::Active, QPalette::Base},             // COLOR_WINDOW
    {QPalette::Active, QPalette::Shadow},           // COLOR_WINDOWFRAME
    {QPalette::Active, QPalette::WindowText},       // COLOR_MENUTEXT
    {QPalette::Active, QPalette::Text},             // COLOR_WINDOWTEXT
    {QPalette::Active, QPalette::HighlightedText},  // COLOR_CAPTIONTEXT
    {QPalette::Active, QPalette::Window},           // COLOR_ACTIVEBORDER
    {QPalette::Inactive, QPalette::Window},         // COLOR_INACTIVEBORDER
    {QPalette::Active, QPalette::Dark},             // COLOR_APPWORKSPACE
    {QPalette::Active, QPalette::Highlight},        // COLOR_HIGHLIGHT
    {QPalette::Active, QPalette::HighlightedText},  // COLOR_HIGHLIGHTTEXT
    {QPalette::Active, QPalette::Button},           // COLOR_BTNFACE
    {QPalette::Active, QPalette::Dark},             // COLOR_BTNSHADOW
    {QPalette::Disabled, QPalette::Text},           // COLOR_GRAYTEXT
    {QPalette::Active, QPalette::ButtonText},       // COLOR_BTNTEXT
    {QPalette::Inactive, QPalette::WindowText},     // COLOR_INACTIVECAPTIONTEXT
    {QPalette::Active, QPalette::Light},            // COLOR_BTNHIGHLIGHT
    {QPalette::Active, QPalette::Shadow},           // COLOR_3DDKSHADOW
    {QPalette::Active, QPalette::Midlight},         // COLOR_3DLIGHT
    {QPalette::Active, QPalette::ToolTipText},      // COLOR_INFOTEXT
    {QPalette::Active, QPalette::ToolTipBase},      // COLOR_INFOBK
    {QPalette::Active, QPalette::Mid},              // 25, unused
    {QPalette::Active, QPalette::Link},             // COLOR_HOTLIGHT
    {QPalette::Active, QPalette::Highlight},        // COLOR_GRADIENTACTIVECAPTION
    {QPalette::Inactive, QPalette::Mid},            // COLOR_GRADIENTINACTIVECAPTION
    {QPalette::Active, QPalette::Highlight},        // COLOR_MENUHILIGHT
    {QPalette::Active, QPalette::Window},           // COLOR_MENUBAR
}};

// The colours as last read from the palette. The GUI thread reads the
// palette afresh (it may change); other threads take what it read last.
std::array<std::atomic<COLORREF>, kSysColorCount>& SysColorCache()
{
    static std::array<std::atomic<COLORREF>, kSysColorCount> cache;
    static std::once_flag once;
    std::call_once(once, [] {
        for (auto& c : cache)
            c.store(CLR_INVALID);
    });
    return cache;
}

bool OnGuiThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app && app->thread() == QThread::currentThread();
}

COLORREF PaletteColor(int index)
{
    auto& cached = SysColorCache()[static_cast<std::size_t>(index)];
    COLORREF c = cached.load(std::memory_order_relaxed);
    if (c != CLR_INVALID && !OnGuiThread())
        return c;
    const SysColorRole r = kSysColorRoles[static_cast<std::size_t>(index)];
    const QColor q = QGuiApplication::palette().color(r.group, r.role);
    c = RGB(q.red(), q.green(), q.blue());
    cached.store(c, std::memory_order_relaxed);
    return c;
}

struct StockSet {
    std::array<QlGdiObject*, DC_PEN + 1> objects{};
    std::array<QlBrushRecord*, kSysColorCount> sysBrushes{};
    QlBitmapRecord* bitmap = nullptr;
};

template <class T>
T* MakeStock(T* rec)
{
    rec->stock = true;
    return rec;
}

QlBrushRecord* StockBrush(UINT style, COLORREF color)
{
    auto* rec = MakeStock(new QlBrushRecord);
    rec->log = LOGBRUSH{style, color, 0};
    return Register(rec);
}

QlPenRecord* StockPen(int style, COLORREF color)
{
    auto* rec = MakeStock(new QlPenRecord);
    rec->log = LOGPEN{static_cast<UINT>(style), POINT{1, 0}, color};
    return Register(rec);
}

QlFontRecord* StockFontRecord(const char* face, int height, int weight, BYTE pitch)
{
    LOGFONT log{};
    log.lfHeight = height;
    log.lfWeight = weight;
    log.lfCharSet = ANSI_CHARSET;
    log.lfPitchAndFamily = pitch;
    std::strncpy(log.lfFaceName, face, LF_FACESIZE - 1);
    auto* rec = static_cast<QlFontRecord*>(Lookup(CreateFontIndirect(&log)));
    rec->stock = true;
    return rec;
}

const StockSet& Stock()
{
    static const StockSet set = [] {
        StockSet s;
        s.objects[WHITE_BRUSH] = StockBrush(BS_SOLID, RGB(255, 255, 255));
        s.objects[LTGRAY_BRUSH] = StockBrush(BS_SOLID, RGB(192, 192, 192));
        s.objects[GRAY_BRUSH] = StockBrush(BS_SOLID, RGB(128, 128, 128));
        s.objects[DKGRAY_BRUSH] = StockBrush(BS_SOLID, RGB(64, 64, 64));
        s.objects[BLACK_BRUSH] = StockBrush(BS_SOLID, RGB(0, 0, 0));
        s.objects[NULL_BRUSH] = StockBrush(BS_NULL, 0);
        s.objects[DC_BRUSH] = StockBrush(BS_SOLID, RGB(255, 255, 255));
        s.objects[WHITE_PEN] = StockPen(PS_SOLID, RGB(255, 255, 255));
        s.objects[BLACK_PEN] = StockPen(PS_SOLID, RGB(0, 0, 0));
        s.objects[NULL_PEN] = StockPen(PS_NULL, 0);
        s.objects[DC_PEN] = StockPen(PS_SOLID, RGB(0, 0, 0));
        s.objects[OEM_FIXED_FONT] = StockFontRecord("Terminal", 12, FW_NORMAL, FIXED_PITCH | FF_MODERN);
        s.objects[ANSI_FIXED_FONT] = StockFontRecord("Courier", 13, FW_NORMAL, FIXED_PITCH | FF_MODERN);
        s.objects[ANSI_VAR_FONT] = StockFontRecord("MS Sans Serif", 13, FW_NORMAL, VARIABLE_PITCH | FF_SWISS);
        s.objects[SYSTEM_FONT] = StockFontRecord("System", 16, FW_BOLD, VARIABLE_PITCH | FF_SWISS);
        s.objects[DEVICE_DEFAULT_FONT] = s.objects[SYSTEM_FONT];
        s.objects[SYSTEM_FIXED_FONT] = StockFontRecord("Fixedsys", 15, FW_NORMAL, FIXED_PITCH | FF_MODERN);
        s.objects[DEFAULT_GUI_FONT] = StockFontRecord("MS Shell Dlg", -11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS);
        for (int i = 0; i < kSysColorCount; ++i)
            s.sysBrushes[i] = StockBrush(BS_SOLID, PaletteColor(i));
        QlBitmapRecord* bm = MakeStock(NewDdb(1, 1, 1));
        s.bitmap = Register(bm);
        return s;
    }();
    return set;
}

} // namespace

namespace qlafx::detail {

QlFontRecord* StockFont(int id)
{
    auto* rec = static_cast<QlFontRecord*>(Stock().objects[id]);
    // The GUI font is the application's font. It is brought up to date on the
    // GUI thread only, and only when the application font changed.
    if (id == DEFAULT_GUI_FONT && rec && QGuiApplication::instance() && OnGuiThread()) {
        LOGFONT log{};
        qlafx::LogFontOf(QGuiApplication::font(), &log);
        if (std::memcmp(&log, &rec->log, sizeof log) != 0)
            SetFontRecord(rec, log);
    }
    return rec;
}
QlBitmapRecord* StockBitmap() { return Stock().bitmap; }

} // namespace qlafx::detail

HGDIOBJ GetStockObject(int id)
{
    if (id < 0 || id > DC_PEN)
        return nullptr;
    QlGdiObject* o = id == DEFAULT_GUI_FONT ? StockFont(id) : Stock().objects[id];
    if (!o)
        return nullptr;
    switch (o->kind) {
    case GdiKind::Pen: return static_cast<QlPenRecord*>(o);
    case GdiKind::Brush: return static_cast<QlBrushRecord*>(o);
    case GdiKind::Font: return static_cast<QlFontRecord*>(o);
    default: return nullptr;
    }
}

COLORREF GetSysColor(int index)
{
    return index >= 0 && index < kSysColorCount ? PaletteColor(index) : 0;
}

HBRUSH GetSysColorBrush(int index)
{
    if (index < 0 || index >= kSysColorCount)
        return nullptr;
    QlBrushRecord* brush = Stock().sysBrushes[index];
    // The brush keeps the colour's current value (set on the GUI thread).
    if (OnGuiThread())
        brush->log.lbColor = PaletteColor(index);
    return brush;
}

// --- GetObject -------------------------------------------------------------

int GetObject(HGDIOBJ obj, int size, LPVOID out)
{
    const QlGdiObject* o = Lookup(obj);
    if (!o)
        return 0;
    auto give = [&](const void* data, int n) {
        if (!out)
            return n;
        n = std::min(n, size);
        if (n <= 0)
            return 0;
        std::memcpy(out, data, static_cast<std::size_t>(n));
        return n;
    };
    switch (o->kind) {
    case GdiKind::Pen: return give(&static_cast<const QlPenRecord*>(o)->log, sizeof(LOGPEN));
    case GdiKind::Brush: {
        const auto* b = static_cast<const QlBrushRecord*>(o);
        LOGBRUSH log = b->log;
        if (log.lbStyle == BS_PATTERN)
            log.lbHatch = reinterpret_cast<std::uintptr_t>(b->patternSource);
        return give(&log, sizeof(LOGBRUSH));
    }
    case GdiKind::Font: return give(&static_cast<const QlFontRecord*>(o)->log, sizeof(LOGFONT));
    case GdiKind::Bitmap: {
        const auto* bm = static_cast<const QlBitmapRecord*>(o);
        DIBSECTION ds{};
        const int w = bm->LogicalSize().width();
        const int h = bm->LogicalSize().height();
        ds.dsBm = BITMAP{0, w, h, BitmapStride(bm), 1,
                         static_cast<WORD>(bm->bitsPixel), bm->dib ? bm->dibBits.get() : nullptr};
        if (bm->dib && (!out || size >= static_cast<int>(sizeof(DIBSECTION)))) {
            ds.dsBmih = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, bm->flipped ? h : -h, 1,
                                         static_cast<WORD>(bm->bitsPixel), BI_RGB,
                                         static_cast<DWORD>(ds.dsBm.bmWidthBytes) * static_cast<DWORD>(h), 0, 0, 0, 0};
            return give(&ds, sizeof(DIBSECTION));
        }
        return give(&ds.dsBm, sizeof(BITMAP));
    }
    case GdiKind::Region: return 0;
    }
    return 0;
}

// --- MFC wrappers ------------------------------------------------------------

CGdiObject::~CGdiObject() { DeleteObject(); }

CGdiObject* CGdiObject::FromHandle(HGDIOBJ obj)
{
    std::lock_guard lock(RegistryLock());
    QlGdiObject* o = FindLocked(obj);
    if (!o)
        return nullptr;
    if (o->attached)
        return o->attached;
    if (!o->tempWrapper) {
        switch (o->kind) {
        case GdiKind::Pen: o->tempWrapper = std::make_unique<CPen>(); break;
        case GdiKind::Brush: o->tempWrapper = std::make_unique<CBrush>(); break;
        case GdiKind::Font: o->tempWrapper = std::make_unique<CFont>(); break;
        case GdiKind::Bitmap: o->tempWrapper = std::make_unique<CBitmap>(); break;
        case GdiKind::Region: o->tempWrapper = std::make_unique<CRgn>(); break;
        }
        o->tempWrapper->m_hObject = obj;
    }
    return o->tempWrapper.get();
}

BOOL CGdiObject::Attach(HGDIOBJ obj)
{
    if (!obj)
        return FALSE;
    DeleteObject(); // a wrapper holds one object
    std::lock_guard lock(RegistryLock());
    QlGdiObject* o = FindLocked(obj);
    if (!o)
        return FALSE;
    if (!o->stock)
        o->attached = this;
    m_hObject = obj;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    std::lock_guard lock(RegistryLock());
    QlGdiObject* o = FindLocked(m_hObject);
    if (o && o->attached == this)
        o->attached = nullptr;
    HGDIOBJ h = m_hObject;
    m_hObject = nullptr;
    return h;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    return ::DeleteObject(Detach());
}

CBrush::CBrush(CBitmap* bitmap) { CreatePatternBrush(bitmap); }

BOOL CBrush::CreatePatternBrush(CBitmap* bitmap)
{
    return bitmap ? Attach(::CreatePatternBrush(*bitmap)) : FALSE;
}

BOOL CFont::CreatePointFont(int pointSize, LPCSTR face, CDC* dc)
{
    LOGFONT log{};
    log.lfCharSet = DEFAULT_CHARSET;
    log.lfHeight = pointSize;
    if (face)
        std::strncpy(log.lfFaceName, face, LF_FACESIZE - 1);
    return CreatePointFontIndirect(&log, dc);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONT* font, CDC*)
{
    if (!font)
        return FALSE;
    LOGFONT log = *font;
    // Tenths of a point at 96 pixels per inch, as a character height.
    log.lfHeight = -static_cast<LONG>(std::lround(std::abs(font->lfHeight) * 96.0 / 720.0));
    return CreateFontIndirect(&log);
}
