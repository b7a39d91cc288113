// The records behind GDI handles. Private to qlafx_gdi.
#pragma once

#include "platform/afx/GdiObjects.h"
#include "platform/afx/WinGdi.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>


enum class GdiKind : BYTE { Pen, Brush, Font, Bitmap, Region };

// Every GDI record starts with this, so an HGDIOBJ tells its kind.
struct QlGdiObject {
    explicit QlGdiObject(GdiKind k) : kind(k) {}
    virtual ~QlGdiObject();
    QlGdiObject(const QlGdiObject&) = delete;
    QlGdiObject& operator=(const QlGdiObject&) = delete;
    // Freed memory is held back for a while, so that a stale handle does
    // not at once name a new object at the same address.
    static void* operator new(std::size_t size);
    static void operator delete(void* p);

    GdiKind kind;
    bool stock = false;
    // Guarded by the registry lock.
    int selections = 0;     // DC states (current and saved) holding it
    bool deletePending = false;
    CGdiObject* attached = nullptr;           // permanent wrapper
    std::unique_ptr<CGdiObject> tempWrapper;  // made by FromHandle
};

struct QlPenRecord : QlGdiObject {
    QlPenRecord() : QlGdiObject(GdiKind::Pen) {}
    LOGPEN log{};
    int Style() const { return static_cast<int>(log.lopnStyle) & PS_STYLE_MASK; }
    int Width() const { return log.lopnWidth.x < 1 ? 1 : log.lopnWidth.x; }
};

struct QlBitmapRecord;

struct QlBrushRecord : QlGdiObject {
    QlBrushRecord() : QlGdiObject(GdiKind::Brush) {}
    LOGBRUSH log{};
    QImage pattern;       // BS_PATTERN: a copy of the bitmap's pixels
    bool monoPattern = false;
    HBITMAP patternSource = nullptr; // reported by GetObject only
};

// What a font record needs to rebuild a QFont on any thread: QFont itself
// is only reentrant, so each DC keeps its own.
struct FontSpec {
    QStringList families;
    int pixelSize = 13;
    int weight = FW_NORMAL;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool antialias = true;
};

struct QlFontRecord : QlGdiObject {
    QlFontRecord() : QlGdiObject(GdiKind::Font) {}
    LOGFONT log{};
    FontSpec spec;
};

struct QlBitmapRecord : QlGdiObject {
    QlBitmapRecord() : QlGdiObject(GdiKind::Bitmap) {}
    // 32-bit bitmaps are Format_RGB32 (bytes B, G, R, 0xFF); 24-bit DIB
    // sections are Format_BGR888. A bottom-up DIB section keeps its rows in
    // memory order, so image row 0 is the bottom row (flipped).
    QImage image;
    std::unique_ptr<BYTE[]> dibBits; // DIB sections: the caller-visible buffer
    bool dib = false;
    bool flipped = false;
    bool mono = false;   // 1-bit: pixels black or white
    int bitsPixel = 32;  // reported depth
    QlDCRecord* dc = nullptr; // memory DC it is selected into
    // A bitmap made compatible with a window on a HiDPI screen keeps the
    // screen's device pixels (the image's device pixel ratio); GetObject and
    // the pixel functions see it in logical pixels.
    QSize LogicalSize() const;
};

struct QlRgnRecord : QlGdiObject {
    QlRgnRecord() : QlGdiObject(GdiKind::Region) {}
    QRegion region;
};

struct QlIconRecord {
    QImage image; // ARGB32
    POINT hotSpot{0, 0};
    bool cursor = false;
    int systemId = 0; // IDC_*/IDI_* of a system cursor or icon; 0 for pictures
};

namespace qlafx::detail {

// The bitmap itself, or for a HiDPI one its pixels smoothed down to one per
// logical pixel in scratch: what GetBitmapBits, GetDIBits and copies read.
const QlBitmapRecord* LogicalPixels(const QlBitmapRecord* bm, QlBitmapRecord& scratch);

// Handle registry: only live handles are used, so a stale or foreign handle
// fails cleanly instead of touching freed memory.
QlGdiObject* Lookup(HGDIOBJ obj);
template <class T>
T* LookupAs(HGDIOBJ obj, GdiKind kind)
{
    QlGdiObject* o = Lookup(obj);
    return o && o->kind == kind ? static_cast<T*>(o) : nullptr;
}
void RegisterRaw(const void* handle, QlGdiObject* obj);
// Keyed by the handle value itself, so no layout assumption is made about
// where the base sits inside the record.
template <class T>
T* Register(T* rec)
{
    RegisterRaw(static_cast<const void*>(rec), rec);
    return rec;
}
// A DC state starts or stops holding obj; the last release of a deleted
// object frees it.
void AddSelection(QlGdiObject* obj);
// Claims the bitmap for dc and counts the selection; false when another DC
// holds it.
bool SelectBitmapInto(QlBitmapRecord* bm, QlDCRecord* dc);
void ReleaseSelection(QlGdiObject* obj);

QFont MakeQFont(const FontSpec& spec);
// Sets a font record (its LOGFONT and what Qt draws it with) from log.
void SetFontRecord(QlFontRecord* rec, const LOGFONT& log);
QColor ToQColor(COLORREF c);
QlFontRecord* StockFont(int id);

// Pixel helpers on the 3- or 4-byte canvases.
inline int BytesPerPixel(const QImage& img) { return img.depth() / 8; }

// A DIB as described by its header: rows of any supported depth read as
// 32-bit pixels (alpha 0xFF below 32 bits).
struct DibLayout {
    int width = 0;
    int height = 0; // rows, positive
    int bpp = 0;
    int stride = 0;
    bool topDown = false;
    const RGBQUAD* palette = nullptr;
    int paletteSize = 0;
};
bool ParseDib(const BITMAPINFO* info, DibLayout* out);
// Row y counted from the top as seen.
const BYTE* DibRow(const DibLayout& dib, const void* bits, int y);
void ReadDibRow(const DibLayout& dib, const BYTE* row, std::uint32_t* out);

QlBitmapRecord* StockBitmap();
// Rows of a bitmap as seen (top first), whatever its memory order.
inline BYTE* CanvasRow(QImage& img, bool flipped, int y)
{
    return img.bits() + static_cast<qsizetype>(flipped ? img.height() - 1 - y : y) * img.bytesPerLine();
}
inline const BYTE* CanvasRow(const QImage& img, bool flipped, int y)
{
    return img.constBits() + static_cast<qsizetype>(flipped ? img.height() - 1 - y : y) * img.bytesPerLine();
}

} // namespace qlafx::detail
