// Device contexts drawing into QImages: window surfaces, memory DCs with a
// selected bitmap, and the display DC. Shapes and text go through a raster
// QPainter; lines of one-pixel pens, fills and blits are our own pixel loops,
// so coverage and raster operations are exact.
#include "platform/afx/DC.h"

#include "platform/afx/DibScale.h"
#include "platform/afx/GdiRecords.h"
#include "platform/afx/Resources.h"
#include "platform/capture/ScreenGrab.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <mutex>
#include <optional>
#include <unordered_set>
#include <vector>

using namespace qlafx::detail;
using qlafx::DibOutput;
using qlafx::DibSource;
using qlafx::ScaleJob;
using qlafx::ScaleRect;

namespace {

// A DC state holds its objects: deleting one that is still selected (here
// or in a saved state) is deferred until it is let go.
template <class T>
class Held {
public:
    Held() = default;
    explicit Held(T* p) : m_p(p) { AddSelection(m_p); }
    Held(const Held& o) : m_p(o.m_p) { AddSelection(m_p); }
    Held& operator=(const Held& o)
    {
        if (o.m_p != m_p) {
            AddSelection(o.m_p);
            T* old = m_p;
            m_p = o.m_p;
            ReleaseSelection(old);
        }
        return *this;
    }
    ~Held() { ReleaseSelection(m_p); }
    // Takes over a selection already counted.
    static Held Adopt(T* p)
    {
        Held h;
        h.m_p = p;
        return h;
    }
    T* get() const { return m_p; }
    T* operator->() const { return m_p; }

private:
    T* m_p = nullptr;
};

struct DcState {
    Held<QlPenRecord> pen;
    Held<QlBrushRecord> brush;
    Held<QlFontRecord> font;
    Held<QlBitmapRecord> bitmap; // memory DCs
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    int stretchMode = BLACKONWHITE;
    int polyFillMode = ALTERNATE;
    QPoint viewportOrg;
    QPoint windowOrg;
    QPoint brushOrg;
    QPoint pos;
    bool hasClip = false;
    QRegion clip; // device coordinates
};

enum class DcType { Surface, Memory, Display };

} // namespace

struct QlDCRecord {
    DcType type = DcType::Memory;
    QImage* surface = nullptr;
    HWND owner = nullptr;
    QImage own{1, 1, QImage::Format_RGB32}; // memory DC without a bitmap, display DC
    std::optional<QRegion> paintClip;
    DcState st;
    std::vector<DcState> saved;
    // QFont is only reentrant: each DC builds its own for its thread.
    QlFontRecord* fontFor = nullptr;
    std::optional<QFont> font;
    CDC* attached = nullptr;
    std::unique_ptr<CDC> temp;
    std::unique_ptr<qlafx::DcDevice> device;  // printer DCs

    ~QlDCRecord()
    {
        if (attached)
            attached->m_hDC = nullptr;
        if (temp)
            temp->m_hDC = nullptr;
    }
};

namespace {

std::mutex& DcLock()
{
    static std::mutex m;
    return m;
}

std::unordered_set<const QlDCRecord*>& DcRegistry()
{
    static auto* set = new std::unordered_set<const QlDCRecord*>;
    return *set;
}

QlDCRecord* Dc(HDC dc)
{
    if (!dc)
        return nullptr;
    std::lock_guard lock(DcLock());
    return DcRegistry().count(dc) ? dc : nullptr;
}

HDC NewDc(DcType type)
{
    auto* dc = new QlDCRecord;
    dc->type = type;
    dc->own.fill(0xFFFFFFFFu);
    dc->st.pen = Held<QlPenRecord>(static_cast<QlPenRecord*>(GetStockObject(BLACK_PEN)));
    dc->st.brush = Held<QlBrushRecord>(static_cast<QlBrushRecord*>(GetStockObject(WHITE_BRUSH)));
    dc->st.font = Held<QlFontRecord>(StockFont(SYSTEM_FONT));
    if (type == DcType::Memory) {
        QlBitmapRecord* bm = StockBitmap();
        SelectBitmapInto(bm, dc);
        dc->st.bitmap = Held<QlBitmapRecord>::Adopt(bm);
    }
    std::lock_guard lock(DcLock());
    DcRegistry().insert(dc);
    return dc;
}

// --- Canvas: the image a DC draws into -----------------------------------------

struct Canvas {
    QImage* img = nullptr;
    bool flipped = false;     // bottom-up DIB section: image row 0 is the bottom
    bool forceOpaque = true;  // keep alpha 0xFF (everything but DIB sections)
    bool mono = false;
    int bpp = 4;
    // Device pixels per logical unit: a window's surface on a HiDPI screen,
    // and bitmaps made compatible with it. Everything but the pixel loops
    // works in logical units.
    qreal scale = 1;

    // In image pixels.
    int Width() const { return img->width(); }
    int Height() const { return img->height(); }
    // In logical units.
    int LogicalWidth() const { return scale == 1 ? img->width() : static_cast<int>(std::lround(img->width() / scale)); }
    int LogicalHeight() const
    {
        return scale == 1 ? img->height() : static_cast<int>(std::lround(img->height() / scale));
    }
    BYTE* Row(int y) const { return CanvasRow(*img, flipped, y); }
    // The image pixels a logical rectangle covers (edges rounded down, so
    // neighbours tile), inside the image.
    QRect Pixels(const QRect& r) const
    {
        return scale == 1 ? r : Scaled(r) & QRect(0, 0, img->width(), img->height());
    }
    // The same without the image's bounds.
    QRect Scaled(const QRect& r) const
    {
        if (scale == 1)
            return r;
        const int x0 = static_cast<int>(std::floor(r.x() * scale)), y0 = static_cast<int>(std::floor(r.y() * scale));
        const int x1 = static_cast<int>(std::floor((r.x() + r.width()) * scale));
        const int y1 = static_cast<int>(std::floor((r.y() + r.height()) * scale));
        return QRect(x0, y0, x1 - x0, y1 - y0);
    }
    QRegion Pixels(const QRegion& r) const
    {
        if (scale == 1)
            return r;
        QRegion out;
        for (const QRect& rect : r)
            out += Pixels(rect);
        return out;
    }
};

Canvas CanvasOf(QlDCRecord* dc)
{
    Canvas c;
    if (dc->type == DcType::Surface) {
        c.img = dc->surface;
    } else {
        QlBitmapRecord* bm = dc->st.bitmap.get();
        if (bm && !bm->stock) {
            c.img = &bm->image;
            c.flipped = bm->flipped;
            c.forceOpaque = !bm->dib;
            c.mono = bm->mono;
        } else {
            c.img = &dc->own;
        }
    }
    c.bpp = BytesPerPixel(*c.img);
    c.scale = c.img->devicePixelRatio();
    return c;
}

QPoint Offset(const QlDCRecord* dc) { return dc->st.viewportOrg - dc->st.windowOrg; }

QRegion DeviceClip(const QlDCRecord* dc, const Canvas& c)
{
    QRegion r(0, 0, c.LogicalWidth(), c.LogicalHeight());
    if (dc->paintClip)
        r &= *dc->paintClip;
    if (dc->st.hasClip)
        r &= dc->st.clip;
    return r;
}

// GDI's coordinate space is 28 bits wide. Kept to it, sums and extents of
// coordinates cannot overflow an int however wild the caller's values.
constexpr long long kMaxCoord = 1 << 27;

int ClampCoord(long long v) { return static_cast<int>(std::clamp(v, -kMaxCoord, kMaxCoord)); }

bool InCoordSpace(std::initializer_list<long long> values)
{
    for (long long v : values)
        if (v < -kMaxCoord || v > kMaxCoord)
            return false;
    return true;
}

QRect NormRect(long long l, long long t, long long r, long long b)
{
    if (r < l)
        std::swap(l, r);
    if (b < t)
        std::swap(t, b);
    const int cl = ClampCoord(l), ct = ClampCoord(t);
    return QRect(cl, ct, ClampCoord(r) - cl, ClampCoord(b) - ct);
}

QRect DeviceRect(const QlDCRecord* dc, int l, int t, int r, int b)
{
    const QPoint off = Offset(dc);
    return NormRect(static_cast<long long>(l) + off.x(), static_cast<long long>(t) + off.y(),
                    static_cast<long long>(r) + off.x(), static_cast<long long>(b) + off.y());
}

inline std::uint32_t ToPixel(COLORREF c)
{
    return GetBValue(c) | (GetGValue(c) << 8) | (GetRValue(c) << 16) | 0xFF000000u;
}

inline COLORREF ToColorRef(std::uint32_t p)
{
    return RGB(static_cast<BYTE>(p >> 16), static_cast<BYTE>(p >> 8), static_cast<BYTE>(p));
}

inline std::uint32_t LoadPx(const BYTE* p, int bpp)
{
    if (bpp == 4) {
        std::uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    return p[0] | (p[1] << 8) | (p[2] << 16) | 0xFF000000u;
}

inline void StorePx(BYTE* p, int bpp, std::uint32_t v)
{
    if (bpp == 4) {
        std::memcpy(p, &v, 4);
    } else {
        p[0] = static_cast<BYTE>(v);
        p[1] = static_cast<BYTE>(v >> 8);
        p[2] = static_cast<BYTE>(v >> 16);
    }
}

// Binary raster operation: index r-1 is the truth table over (pen, dest).
inline std::uint32_t Rop2(int rop, std::uint32_t pen, std::uint32_t dst)
{
    const int t = rop - 1;
    std::uint32_t r = 0;
    if (t & 8)
        r |= pen & dst;
    if (t & 4)
        r |= pen & ~dst;
    if (t & 2)
        r |= ~pen & dst;
    if (t & 1)
        r |= ~pen & ~dst;
    return (r & 0x00FFFFFFu) | (dst & 0xFF000000u);
}

// Fast point test against the clip: one rectangle is the common case.
class ClipTest {
public:
    explicit ClipTest(const QRegion& r) : m_region(r), m_bound(r.boundingRect()), m_simple(r.rectCount() <= 1) {}
    bool operator()(int x, int y) const
    {
        if (!m_bound.contains(x, y))
            return false;
        return m_simple || m_region.contains(QPoint(x, y));
    }

private:
    const QRegion& m_region;
    QRect m_bound;
    bool m_simple;
};

// --- QPainter set-up -----------------------------------------------------------

QPainter::CompositionMode CompositionFor(int rop2)
{
    switch (rop2) {
    case R2_BLACK: return QPainter::RasterOp_ClearDestination;
    case R2_NOTMERGEPEN: return QPainter::RasterOp_NotSourceAndNotDestination;
    case R2_MASKNOTPEN: return QPainter::RasterOp_NotSourceAndDestination;
    case R2_NOTCOPYPEN: return QPainter::RasterOp_NotSource;
    case R2_MASKPENNOT: return QPainter::RasterOp_SourceAndNotDestination;
    case R2_NOT: return QPainter::RasterOp_NotDestination;
    case R2_XORPEN: return QPainter::RasterOp_SourceXorDestination;
    case R2_NOTMASKPEN: return QPainter::RasterOp_NotSourceOrNotDestination;
    case R2_MASKPEN: return QPainter::RasterOp_SourceAndDestination;
    case R2_NOTXORPEN: return QPainter::RasterOp_NotSourceXorDestination;
    case R2_MERGENOTPEN: return QPainter::RasterOp_NotSourceOrDestination;
    case R2_MERGEPENNOT: return QPainter::RasterOp_SourceOrNotDestination;
    case R2_MERGEPEN: return QPainter::RasterOp_SourceOrDestination;
    case R2_WHITE: return QPainter::RasterOp_SetDestination;
    default: return QPainter::CompositionMode_Source;
    }
}

// A painter in logical coordinates of the DC, clipped to its clip region.
class DcPainter {
public:
    DcPainter(QlDCRecord* dc, const Canvas& c, const QRegion& clip)
    {
        m_p.begin(c.img);
        if (c.flipped)
            m_p.setTransform(QTransform(1, 0, 0, -1, 0, c.Height()));
        if (clip != QRegion(0, 0, c.LogicalWidth(), c.LogicalHeight()))
            m_p.setClipRegion(clip);
        const QPoint off = Offset(dc);
        m_p.translate(off);
        m_p.setBrushOrigin(dc->st.brushOrg - off);
        m_p.setRenderHint(QPainter::Antialiasing, false);
    }
    QPainter* operator->() { return &m_p; }
    QPainter& get() { return m_p; }

private:
    QPainter m_p;
};

const QFont& DcFont(QlDCRecord* dc)
{
    QlFontRecord* f = dc->st.font.get();
    if (!dc->font || dc->fontFor != f) {
        dc->font = MakeQFont(f->spec);
        dc->fontFor = f;
    }
    return *dc->font;
}

// 8 x 8 hatch patterns: true where the hatch line runs.
bool HatchBit(int hatch, int x, int y)
{
    switch (hatch) {
    case HS_HORIZONTAL: return y == 0;
    case HS_VERTICAL: return x == 0;
    case HS_FDIAGONAL: return x == y;
    case HS_BDIAGONAL: return x + y == 7;
    case HS_CROSS: return x == 0 || y == 0;
    case HS_DIAGCROSS: return x == y || x + y == 7;
    default: return false;
    }
}

// The brush as a texture for this DC (hatch gaps in the background colour
// when opaque; a monochrome pattern in text and background colours).
QImage BrushTexture(const QlDCRecord* dc, const QlBrushRecord* b)
{
    if (b->log.lbStyle == BS_HATCHED) {
        QImage img(8, 8, QImage::Format_ARGB32_Premultiplied);
        const std::uint32_t fg = ToPixel(b->log.lbColor);
        const std::uint32_t bg = dc->st.bkMode == OPAQUE ? ToPixel(dc->st.bkColor) : 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                reinterpret_cast<std::uint32_t*>(img.scanLine(y))[x] =
                    HatchBit(static_cast<int>(b->log.lbHatch), x, y) ? fg : bg;
        return img;
    }
    if (!b->monoPattern)
        return b->pattern;
    QImage img = b->pattern.copy();
    const std::uint32_t fg = ToPixel(dc->st.textColor);
    const std::uint32_t bg = ToPixel(dc->st.bkColor);
    for (int y = 0; y < img.height(); ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            row[x] = (row[x] & 0xFFFFFF) == 0xFFFFFF ? bg : fg;
    }
    return img;
}

QBrush ToQBrush(const QlDCRecord* dc, const QlBrushRecord* b)
{
    if (!b)
        return Qt::NoBrush;
    switch (b->log.lbStyle) {
    case BS_SOLID: return QBrush(ToQColor(b->log.lbColor));
    case BS_HATCHED:
    case BS_PATTERN: return QBrush(BrushTexture(dc, b));
    default: return Qt::NoBrush;
    }
}

bool IsNullBrush(const QlBrushRecord* b) { return !b || b->log.lbStyle == BS_NULL; }
bool IsNullPen(const QlPenRecord* p) { return !p || p->Style() == PS_NULL; }

// --- Own pixel loops ---------------------------------------------------------

// Fills a device rectangle with one colour through the clip.
void FillSolid(const Canvas& c, const QRegion& clip, const QRect& rect, std::uint32_t px)
{
    const QRegion area = c.Pixels(clip & rect);
    for (const QRect& r : area) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            BYTE* row = c.Row(y) + static_cast<std::ptrdiff_t>(r.left()) * c.bpp;
            if (c.bpp == 4) {
                std::fill_n(reinterpret_cast<std::uint32_t*>(row), r.width(), px);
            } else {
                for (int x = 0; x < r.width(); ++x)
                    StorePx(row + 3 * x, 3, px);
            }
        }
    }
}

// Applies fn(pixel) -> pixel over a device rectangle through the clip.
template <class Fn>
void MapPixels(const Canvas& c, const QRegion& clip, const QRect& rect, Fn fn)
{
    const QRegion area = c.Pixels(clip & rect);
    for (const QRect& r : area)
        for (int y = r.top(); y <= r.bottom(); ++y) {
            BYTE* p = c.Row(y) + static_cast<std::ptrdiff_t>(r.left()) * c.bpp;
            for (int x = r.left(); x <= r.right(); ++x, p += c.bpp)
                StorePx(p, c.bpp, fn(LoadPx(p, c.bpp), x, y));
        }
}

// Cosmetic pen styles as on/off runs.
struct PenStyle {
    const int* runs = nullptr;
    int count = 0;
    int index = 0;
    int left = 0;

    explicit PenStyle(int style)
    {
        static const int dash[] = {18, 6};
        static const int dot[] = {3, 3};
        static const int dashDot[] = {9, 6, 3, 6};
        static const int dashDotDot[] = {9, 3, 3, 3, 3, 3};
        switch (style) {
        case PS_DASH: Set(dash, 2); break;
        case PS_DOT: Set(dot, 2); break;
        case PS_DASHDOT: Set(dashDot, 4); break;
        case PS_DASHDOTDOT: Set(dashDotDot, 6); break;
        default: break;
        }
        left = count ? runs[0] : 0;
    }
    void Set(const int* r, int n)
    {
        runs = r;
        count = n;
    }
    // True when the next pixel is "on"; advances.
    bool Next()
    {
        if (!count)
            return true;
        const bool on = (index & 1) == 0;
        if (--left == 0) {
            index = (index + 1) % count;
            left = runs[index];
        }
        return on;
    }
};

// Plots single pixels of a one-pixel pen with the DC's raster operation.
class PixelPen {
public:
    PixelPen(QlDCRecord* dc, const Canvas& c, const QRegion& clip)
        : m_c(c), m_clip(clip), m_test(m_clip), m_rop(dc->st.rop2), m_style(dc->st.pen->Style()),
          m_color(ToPixel(dc->st.pen->log.lopnColor)), m_bk(ToPixel(dc->st.bkColor)),
          m_gapsOpaque(dc->st.bkMode == OPAQUE && m_style.count > 0)
    {
    }
    void Plot(int x, int y)
    {
        const bool on = m_style.Next();
        if ((!on && !m_gapsOpaque) || m_rop == R2_NOP || !m_test(x, y))
            return;
        const std::uint32_t pen = on ? m_color : m_bk;
        if (m_c.scale == 1) {
            BYTE* p = m_c.Row(y) + static_cast<std::ptrdiff_t>(x) * m_c.bpp;
            StorePx(p, m_c.bpp, Rop2(m_rop, pen, LoadPx(p, m_c.bpp)));
            return;
        }
        // A logical pixel is a block of device pixels: lines as wide as at 1.
        const QRect block = m_c.Pixels(QRect(x, y, 1, 1));
        for (int py = block.top(); py <= block.bottom(); ++py) {
            BYTE* p = m_c.Row(py) + static_cast<std::ptrdiff_t>(block.left()) * m_c.bpp;
            for (int px = block.left(); px <= block.right(); ++px, p += m_c.bpp)
                StorePx(p, m_c.bpp, Rop2(m_rop, pen, LoadPx(p, m_c.bpp)));
        }
    }
    // From a to b, b itself excluded (as LineTo). The minor coordinate is
    // rounded to the nearest pixel, halves toward the start.
    void Line(QPoint a, QPoint b)
    {
        const int dx = b.x() - a.x(), dy = b.y() - a.y();
        const int adx = std::abs(dx), ady = std::abs(dy);
        const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
        if (adx >= ady) {
            for (int i = 0; i < adx; ++i)
                Plot(a.x() + sx * i, a.y() + sy * static_cast<int>((2LL * i * ady + adx - 1) / (2LL * adx)));
        } else {
            for (int i = 0; i < ady; ++i)
                Plot(a.x() + sx * static_cast<int>((2LL * i * adx + ady - 1) / (2LL * ady)), a.y() + sy * i);
        }
    }

private:
    const Canvas& m_c;
    QRegion m_clip;
    ClipTest m_test;
    int m_rop;
    PenStyle m_style;
    std::uint32_t m_color;
    std::uint32_t m_bk;
    bool m_gapsOpaque;
};

// Every pixel of the one-pixel frame of r once, clockwise from the top left.
template <class Fn>
void ForRing(const QRect& r, Fn fn)
{
    if (r.isEmpty())
        return;
    const int l = r.left(), t = r.top(), rt = r.right(), b = r.bottom();
    for (int x = l; x <= rt; ++x)
        fn(x, t);
    for (int y = t + 1; y <= b; ++y)
        fn(rt, y);
    if (b > t)
        for (int x = rt - 1; x >= l; --x)
            fn(x, b);
    if (rt > l)
        for (int y = b - 1; y > t; --y)
            fn(l, y);
}

QPen WidePen(const QlDCRecord* dc)
{
    const QlPenRecord* p = dc->st.pen.get();
    QPen pen(ToQColor(p->log.lopnColor), p->Width(), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    switch (p->Style()) {
    case PS_DASH: pen.setStyle(Qt::DashLine); break;
    case PS_DOT: pen.setStyle(Qt::DotLine); break;
    case PS_DASHDOT: pen.setStyle(Qt::DashDotLine); break;
    case PS_DASHDOTDOT: pen.setStyle(Qt::DashDotDotLine); break;
    default: break;
    }
    return pen;
}

// Fills a device rectangle with the brush (own loop for the plain case).
void FillRectWithBrush(QlDCRecord* dc, const Canvas& c, const QRegion& clip, const QRect& dev,
                       const QlBrushRecord* brush, int rop2)
{
    if (IsNullBrush(brush) || dev.isEmpty() || rop2 == R2_NOP)
        return;
    if (brush->log.lbStyle == BS_SOLID && rop2 == R2_COPYPEN) {
        FillSolid(c, clip, dev, ToPixel(brush->log.lbColor));
        return;
    }
    DcPainter p(dc, c, clip);
    p->resetTransform();
    if (c.flipped)
        p->setTransform(QTransform(1, 0, 0, -1, 0, c.Height()));
    p->setBrushOrigin(dc->st.brushOrg);
    p->setCompositionMode(CompositionFor(rop2));
    p->fillRect(dev, ToQBrush(dc, brush));
}

} // namespace

// --- Entry points for the window layer ------------------------------------------

namespace qlafx {

HDC CreateSurfaceDC(QImage* surface, HWND owner)
{
    if (!surface)
        return nullptr;
    HDC dc = NewDc(DcType::Surface);
    dc->surface = surface;
    dc->owner = owner;
    return dc;
}

void SetSurfaceDCClip(HDC hdc, const QRegion& clip)
{
    if (QlDCRecord* dc = Dc(hdc))
        dc->paintClip = clip;
}

void ReleaseSurfaceDC(HDC dc) { DeleteDC(dc); }

HWND WindowFromDC(HDC hdc)
{
    const QlDCRecord* dc = Dc(hdc);
    return dc ? dc->owner : nullptr;
}

QImage* SurfaceOf(HDC hdc)
{
    const QlDCRecord* dc = Dc(hdc);
    return dc && dc->type == DcType::Surface ? dc->surface : nullptr;
}

HDC CreateDisplayDC() { return NewDc(DcType::Display); }

HDC CreateDeviceDC(QImage* surface, std::unique_ptr<DcDevice> device)
{
    if (!surface || !device)
        return nullptr;
    HDC dc = NewDc(DcType::Surface);
    dc->surface = surface;
    dc->device = std::move(device);
    return dc;
}

DcDevice* DeviceOf(HDC hdc)
{
    const QlDCRecord* dc = Dc(hdc);
    return dc ? dc->device.get() : nullptr;
}

QFont FontOf(HFONT font)
{
    const auto* f = LookupAs<QlFontRecord>(font, GdiKind::Font);
    return MakeQFont(f ? f->spec : StockFont(DEFAULT_GUI_FONT)->spec);
}

HFONT DefaultGuiFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

} // namespace qlafx

// --- DC lifetime and state --------------------------------------------------------

HDC CreateCompatibleDC(HDC) { return NewDc(DcType::Memory); }

BOOL DeleteDC(HDC hdc)
{
    {
        std::lock_guard lock(DcLock());
        if (!hdc || !DcRegistry().erase(hdc))
            return FALSE;
    }
    delete hdc;
    return TRUE;
}

int SaveDC(HDC hdc)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc)
        return 0;
    dc->saved.push_back(dc->st);
    return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC hdc, int saved)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc)
        return FALSE;
    const int n = static_cast<int>(dc->saved.size());
    const int level = saved < 0 ? n + 1 + saved : saved;
    if (level < 1 || level > n)
        return FALSE;
    dc->st = dc->saved[level - 1];
    dc->saved.resize(level - 1);
    return TRUE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj)
{
    QlDCRecord* dc = Dc(hdc);
    QlGdiObject* o = Lookup(obj);
    if (!dc || !o)
        return nullptr;
    DcState& st = dc->st;
    switch (o->kind) {
    case GdiKind::Pen: {
        HGDIOBJ old = st.pen.get();
        st.pen = Held<QlPenRecord>(static_cast<QlPenRecord*>(obj));
        return old;
    }
    case GdiKind::Brush: {
        HGDIOBJ old = st.brush.get();
        st.brush = Held<QlBrushRecord>(static_cast<QlBrushRecord*>(obj));
        return old;
    }
    case GdiKind::Font: {
        HGDIOBJ old = st.font.get();
        st.font = Held<QlFontRecord>(static_cast<QlFontRecord*>(obj));
        return old;
    }
    case GdiKind::Bitmap: {
        auto* bm = static_cast<QlBitmapRecord*>(obj);
        if (dc->type != DcType::Memory)
            return nullptr;
        if (bm == st.bitmap.get())
            return bm;
        if (!SelectBitmapInto(bm, dc))
            return nullptr;
        HGDIOBJ old = st.bitmap.get();
        st.bitmap = Held<QlBitmapRecord>::Adopt(bm);
        return old;
    }
    case GdiKind::Region:
        return reinterpret_cast<HGDIOBJ>(static_cast<std::intptr_t>(SelectClipRgn(hdc, static_cast<HRGN>(obj))));
    }
    return nullptr;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type)
{
    const QlDCRecord* dc = Dc(hdc);
    if (!dc)
        return nullptr;
    switch (type) {
    case OBJ_PEN: return dc->st.pen.get();
    case OBJ_BRUSH: return dc->st.brush.get();
    case OBJ_FONT: return dc->st.font.get();
    case OBJ_BITMAP: return dc->st.bitmap.get();
    default: return nullptr;
    }
}

int GetDeviceCaps(HDC hdc, int index)
{
    if (const QlDCRecord* dc = Dc(hdc); dc && dc->device)
        return dc->device->DeviceCaps(index);
    QSize screen(1024, 768);
    if (QGuiApplication::instance())
        if (const QScreen* s = QGuiApplication::primaryScreen())
            screen = s->geometry().size();
    switch (index) {
    case DRIVERVERSION: return 0x4000;
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZSIZE: return screen.width() * 254 / 960;
    case VERTSIZE: return screen.height() * 254 / 960;
    case HORZRES:
    case DESKTOPHORZRES: return screen.width();
    case VERTRES:
    case DESKTOPVERTRES: return screen.height();
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case RASTERCAPS: return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case COLORRES: return 24;
    case VREFRESH: return 60;
    default: return 0;
    }
}

#define QL_DC_GETSET(Set, Get, Type, field)            \
    Type Set(HDC hdc, Type value)                      \
    {                                                  \
        QlDCRecord* dc = Dc(hdc);                      \
        if (!dc)                                       \
            return 0;                                  \
        const Type old = dc->st.field;                 \
        dc->st.field = value;                          \
        return old;                                    \
    }                                                  \
    Type Get(HDC hdc)                                  \
    {                                                  \
        const QlDCRecord* dc = Dc(hdc);                \
        return dc ? dc->st.field : 0;                  \
    }

QL_DC_GETSET(SetTextColor, GetTextColor, COLORREF, textColor)
QL_DC_GETSET(SetBkColor, GetBkColor, COLORREF, bkColor)
QL_DC_GETSET(SetStretchBltMode, GetStretchBltMode, int, stretchMode)
QL_DC_GETSET(SetPolyFillMode, GetPolyFillMode, int, polyFillMode)
#undef QL_DC_GETSET

int SetBkMode(HDC hdc, int mode)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE))
        return 0;
    const int old = dc->st.bkMode;
    dc->st.bkMode = mode;
    return old;
}

int GetBkMode(HDC hdc)
{
    const QlDCRecord* dc = Dc(hdc);
    return dc ? dc->st.bkMode : 0;
}

int SetROP2(HDC hdc, int rop)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc || rop < R2_BLACK || rop > R2_WHITE)
        return 0;
    const int old = dc->st.rop2;
    dc->st.rop2 = rop;
    return old;
}

int GetROP2(HDC hdc)
{
    const QlDCRecord* dc = Dc(hdc);
    return dc ? dc->st.rop2 : 0;
}

namespace {

BOOL SetPoint(HDC hdc, QPoint DcState::*field, int x, int y, bool relative, LPPOINT previous)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc)
        return FALSE;
    QPoint& p = dc->st.*field;
    if (previous)
        *previous = POINT{p.x(), p.y()};
    p = relative ? p + QPoint(x, y) : QPoint(x, y);
    return TRUE;
}

BOOL GetPoint(HDC hdc, QPoint DcState::*field, LPPOINT out)
{
    const QlDCRecord* dc = Dc(hdc);
    if (!dc || !out)
        return FALSE;
    const QPoint& p = dc->st.*field;
    *out = POINT{p.x(), p.y()};
    return TRUE;
}

} // namespace

BOOL SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT previous) { return SetPoint(hdc, &DcState::brushOrg, x, y, false, previous); }
BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT previous) { return SetPoint(hdc, &DcState::viewportOrg, x, y, false, previous); }
BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, LPPOINT previous) { return SetPoint(hdc, &DcState::viewportOrg, dx, dy, true, previous); }
BOOL GetViewportOrgEx(HDC hdc, LPPOINT origin) { return GetPoint(hdc, &DcState::viewportOrg, origin); }
BOOL SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT previous) { return SetPoint(hdc, &DcState::windowOrg, x, y, false, previous); }
BOOL GetWindowOrgEx(HDC hdc, LPPOINT origin) { return GetPoint(hdc, &DcState::windowOrg, origin); }
BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT previous) { return SetPoint(hdc, &DcState::pos, x, y, false, previous); }
BOOL GetCurrentPositionEx(HDC hdc, LPPOINT point) { return GetPoint(hdc, &DcState::pos, point); }

BOOL LPtoDP(HDC hdc, LPPOINT points, int count)
{
    const QlDCRecord* dc = Dc(hdc);
    if (!dc || !points)
        return FALSE;
    const QPoint off = Offset(dc);
    for (int i = 0; i < count; ++i)
        points[i] = POINT{points[i].x + off.x(), points[i].y + off.y()};
    return TRUE;
}

BOOL DPtoLP(HDC hdc, LPPOINT points, int count)
{
    const QlDCRecord* dc = Dc(hdc);
    if (!dc || !points)
        return FALSE;
    const QPoint off = Offset(dc);
    for (int i = 0; i < count; ++i)
        points[i] = POINT{points[i].x - off.x(), points[i].y - off.y()};
    return TRUE;
}

// --- Clipping ------------------------------------------------------------------

namespace {

int RegionKind(const QRegion& r)
{
    if (r.isEmpty())
        return NULLREGION;
    return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

int ClipResult(QlDCRecord* dc) { return RegionKind(DeviceClip(dc, CanvasOf(dc))); }

// The user clip as a region, the whole device when none is set.
QRegion UserClip(QlDCRecord* dc)
{
    if (dc->st.hasClip)
        return dc->st.clip;
    const Canvas c = CanvasOf(dc);
    return QRegion(0, 0, c.LogicalWidth(), c.LogicalHeight());
}

} // namespace

int ExtSelectClipRgn(HDC hdc, HRGN rgn, int mode)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc)
        return ERROR;
    const auto* r = LookupAs<QlRgnRecord>(rgn, GdiKind::Region);
    if (!r) {
        if (mode != RGN_COPY)
            return ERROR;
        dc->st.hasClip = false; // a null region removes the clip
        dc->st.clip = QRegion();
        return ClipResult(dc);
    }
    // Regions are in device coordinates.
    QRegion cur = UserClip(dc);
    switch (mode) {
    case RGN_AND: cur &= r->region; break;
    case RGN_OR: cur |= r->region; break;
    case RGN_XOR: cur ^= r->region; break;
    case RGN_DIFF: cur -= r->region; break;
    case RGN_COPY: cur = r->region; break;
    default: return ERROR;
    }
    dc->st.hasClip = true;
    dc->st.clip = cur;
    return ClipResult(dc);
}

int SelectClipRgn(HDC hdc, HRGN rgn) { return ExtSelectClipRgn(hdc, rgn, RGN_COPY); }

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc)
        return ERROR;
    dc->st.clip = UserClip(dc) & DeviceRect(dc, left, top, right, bottom);
    dc->st.hasClip = true;
    return ClipResult(dc);
}

int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc)
        return ERROR;
    dc->st.clip = UserClip(dc) - DeviceRect(dc, left, top, right, bottom);
    dc->st.hasClip = true;
    return ClipResult(dc);
}

int GetClipBox(HDC hdc, LPRECT rect)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc || !rect)
        return ERROR;
    const QRegion clip = DeviceClip(dc, CanvasOf(dc));
    const QRect b = clip.boundingRect().translated(-Offset(dc));
    *rect = clip.isEmpty() ? RECT{0, 0, 0, 0} : RECT{b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
    return RegionKind(clip);
}

int GetClipRgn(HDC hdc, HRGN rgn)
{
    QlDCRecord* dc = Dc(hdc);
    auto* r = LookupAs<QlRgnRecord>(rgn, GdiKind::Region);
    if (!dc || !r)
        return -1;
    if (!dc->st.hasClip)
        return 0;
    r->region = dc->st.clip;
    return 1;
}

BOOL PtVisible(HDC hdc, int x, int y)
{
    QlDCRecord* dc = Dc(hdc);
    return dc && DeviceClip(dc, CanvasOf(dc)).contains(QPoint(x, y) + Offset(dc));
}

BOOL RectVisible(HDC hdc, const RECT* rect)
{
    QlDCRecord* dc = Dc(hdc);
    return dc && rect &&
           DeviceClip(dc, CanvasOf(dc)).intersects(DeviceRect(dc, rect->left, rect->top, rect->right, rect->bottom));
}

// --- Pixels, lines and shapes ----------------------------------------------------------

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc)
        return CLR_INVALID;
    const Canvas c = CanvasOf(dc);
    const QPoint p = QPoint(x, y) + Offset(dc);
    if (!DeviceClip(dc, c).contains(p))
        return CLR_INVALID;
    FillSolid(c, QRegion(p.x(), p.y(), 1, 1), QRect(p.x(), p.y(), 1, 1), ToPixel(color));
    return color & 0xFFFFFF;
}

COLORREF GetPixel(HDC hdc, int x, int y)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc)
        return CLR_INVALID;
    const Canvas c = CanvasOf(dc);
    const QPoint p = QPoint(x, y) + Offset(dc);
    if (!DeviceClip(dc, c).contains(p))
        return CLR_INVALID;
    const QRect px = c.Pixels(QRect(p, QSize(1, 1)));
    if (px.isEmpty())
        return CLR_INVALID;
    return ToColorRef(LoadPx(c.Row(px.top()) + static_cast<std::ptrdiff_t>(px.left()) * c.bpp, c.bpp));
}

namespace {

// Draws the open polyline pts (logical), each segment without its end point.
void StrokePolyline(QlDCRecord* dc, const POINT* pts, int count, bool close)
{
    if (IsNullPen(dc->st.pen.get()) || count < 2 || dc->st.rop2 == R2_NOP)
        return;
    const Canvas c = CanvasOf(dc);
    const QRegion clip = DeviceClip(dc, c);
    if (dc->st.pen->Width() > 1) {
        QPolygon poly(count);
        for (int i = 0; i < count; ++i)
            poly.setPoint(i, pts[i].x, pts[i].y);
        DcPainter p(dc, c, clip);
        p->setCompositionMode(CompositionFor(dc->st.rop2));
        p->setPen(WidePen(dc));
        if (close)
            p->drawPolygon(poly);
        else
            p->drawPolyline(poly);
        return;
    }
    const QPoint off = Offset(dc);
    PixelPen pen(dc, c, clip);
    for (int i = 0; i + 1 < count; ++i)
        pen.Line(QPoint(pts[i].x, pts[i].y) + off, QPoint(pts[i + 1].x, pts[i + 1].y) + off);
    if (close)
        pen.Line(QPoint(pts[count - 1].x, pts[count - 1].y) + off, QPoint(pts[0].x, pts[0].y) + off);
}

// A closed shape: the interior with the brush, then the outline with the pen.
// Windows draws both inside the rectangle, right and bottom edges excluded.
template <class AddShape>
void DrawShape(QlDCRecord* dc, const QRect& logical, AddShape addShape)
{
    if (logical.isEmpty() || dc->st.rop2 == R2_NOP)
        return;
    const Canvas c = CanvasOf(dc);
    const QRegion clip = DeviceClip(dc, c);
    const bool nullPen = IsNullPen(dc->st.pen.get());
    DcPainter p(dc, c, clip);
    p->setCompositionMode(CompositionFor(dc->st.rop2));
    p->setPen(Qt::NoPen);
    p->setBrush(ToQBrush(dc, dc->st.brush.get()));
    // Aliased Qt shapes cover x .. x + w inclusive with a pen, pixel centres
    // inside without one.
    if (!IsNullBrush(dc->st.brush.get()))
        addShape(p.get(), nullPen ? QRectF(logical).adjusted(0, 0, -1, -1) : QRectF(logical).adjusted(0.5, 0.5, -1.5, -1.5));
    if (nullPen)
        return;
    p->setBrush(Qt::NoBrush);
    if (dc->st.pen->Width() > 1) {
        QPen pen = WidePen(dc);
        pen.setJoinStyle(Qt::MiterJoin);
        p->setPen(pen);
        const qreal inset = dc->st.pen->Width() / 2.0;
        addShape(p.get(), QRectF(logical).adjusted(inset, inset, -inset, -inset));
    } else {
        QPen pen(ToQColor(dc->st.pen->log.lopnColor), 0);
        p->setPen(pen);
        addShape(p.get(), QRectF(logical).adjusted(0, 0, -1, -1));
    }
}

} // namespace

BOOL LineTo(HDC hdc, int x, int y)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc)
        return FALSE;
    const POINT pts[2] = {{dc->st.pos.x(), dc->st.pos.y()}, {x, y}};
    StrokePolyline(dc, pts, 2, false);
    dc->st.pos = QPoint(x, y);
    return TRUE;
}

BOOL Polyline(HDC hdc, const POINT* points, int count)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc || !points || count < 2)
        return FALSE;
    StrokePolyline(dc, points, count, false);
    return TRUE;
}

BOOL Polygon(HDC hdc, const POINT* points, int count)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc || !points || count < 2)
        return FALSE;
    if (!IsNullBrush(dc->st.brush.get()) && dc->st.rop2 != R2_NOP) {
        const Canvas c = CanvasOf(dc);
        QPolygon poly(count);
        for (int i = 0; i < count; ++i)
            poly.setPoint(i, points[i].x, points[i].y);
        DcPainter p(dc, c, DeviceClip(dc, c));
        p->setCompositionMode(CompositionFor(dc->st.rop2));
        p->setPen(Qt::NoPen);
        p->setBrush(ToQBrush(dc, dc->st.brush.get()));
        p->drawPolygon(poly, dc->st.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    }
    StrokePolyline(dc, points, count, true);
    return TRUE;
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc)
        return FALSE;
    const QRect dev = DeviceRect(dc, left, top, right, bottom);
    if (dev.isEmpty())
        return TRUE;
    const Canvas c = CanvasOf(dc);
    const QRegion clip = DeviceClip(dc, c);
    const QlPenRecord* pen = dc->st.pen.get();
    if (IsNullPen(pen)) {
        // Without a pen the interior loses the right and bottom pixel too.
        FillRectWithBrush(dc, c, clip, dev.adjusted(0, 0, -1, -1), dc->st.brush.get(), dc->st.rop2);
        return TRUE;
    }
    if (pen->Width() > 1) {
        const QRect logical = NormRect(left, top, right, bottom);
        DrawShape(dc, logical, [](QPainter& p, const QRectF& r) { p.drawRect(r); });
        return TRUE;
    }
    FillRectWithBrush(dc, c, clip, dev.adjusted(1, 1, -1, -1), dc->st.brush.get(), dc->st.rop2);
    if (dc->st.rop2 != R2_NOP) {
        PixelPen pp(dc, c, clip);
        ForRing(dev, [&](int x, int y) { pp.Plot(x, y); });
    }
    return TRUE;
}

BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc)
        return FALSE;
    DrawShape(dc, NormRect(left, top, right, bottom), [width, height](QPainter& p, const QRectF& r) {
        p.drawRoundedRect(r, width / 2.0, height / 2.0);
    });
    return TRUE;
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc)
        return FALSE;
    DrawShape(dc, NormRect(left, top, right, bottom), [](QPainter& p, const QRectF& r) { p.drawEllipse(r); });
    return TRUE;
}

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush)
{
    QlDCRecord* dc = Dc(hdc);
    const auto* b = LookupAs<QlBrushRecord>(brush, GdiKind::Brush);
    if (!dc || !rect || !b)
        return 0;
    const Canvas c = CanvasOf(dc);
    FillRectWithBrush(dc, c, DeviceClip(dc, c), DeviceRect(dc, rect->left, rect->top, rect->right, rect->bottom), b,
                      R2_COPYPEN);
    return 1;
}

int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush)
{
    QlDCRecord* dc = Dc(hdc);
    const auto* b = LookupAs<QlBrushRecord>(brush, GdiKind::Brush);
    if (!dc || !rect || !b)
        return 0;
    const QRect d = DeviceRect(dc, rect->left, rect->top, rect->right, rect->bottom);
    if (d.isEmpty())
        return 1;
    const Canvas c = CanvasOf(dc);
    const QRegion ring = QRegion(d) - QRegion(d.adjusted(1, 1, -1, -1));
    const QRegion clip = DeviceClip(dc, c) & ring;
    FillRectWithBrush(dc, c, clip, d, b, R2_COPYPEN);
    return 1;
}

BOOL InvertRect(HDC hdc, const RECT* rect)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc || !rect)
        return FALSE;
    const Canvas c = CanvasOf(dc);
    MapPixels(c, DeviceClip(dc, c), DeviceRect(dc, rect->left, rect->top, rect->right, rect->bottom),
              [](std::uint32_t p, int, int) { return p ^ 0x00FFFFFFu; });
    return TRUE;
}

BOOL FillRgn(HDC hdc, HRGN rgn, HBRUSH brush)
{
    QlDCRecord* dc = Dc(hdc);
    const auto* r = LookupAs<QlRgnRecord>(rgn, GdiKind::Region);
    const auto* b = LookupAs<QlBrushRecord>(brush, GdiKind::Brush);
    if (!dc || !r || !b)
        return FALSE;
    const Canvas c = CanvasOf(dc);
    const QRegion area = r->region.translated(Offset(dc));
    FillRectWithBrush(dc, c, DeviceClip(dc, c) & area, area.boundingRect(), b, R2_COPYPEN);
    return TRUE;
}

BOOL DrawFocusRect(HDC hdc, const RECT* rect)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc || !rect)
        return FALSE;
    const Canvas c = CanvasOf(dc);
    const QRegion clip = DeviceClip(dc, c);
    const ClipTest in(clip);
    // Every other pixel of the frame inverted: drawing it twice restores.
    ForRing(DeviceRect(dc, rect->left, rect->top, rect->right, rect->bottom), [&](int x, int y) {
        if (((x + y) & 1) || !in(x, y))
            return;
        const QRect block = c.Pixels(QRect(x, y, 1, 1));
        for (int py = block.top(); py <= block.bottom(); ++py) {
            BYTE* p = c.Row(py) + static_cast<std::ptrdiff_t>(block.left()) * c.bpp;
            for (int px = block.left(); px <= block.right(); ++px, p += c.bpp)
                StorePx(p, c.bpp, LoadPx(p, c.bpp) ^ 0x00FFFFFFu);
        }
    });
    return TRUE;
}

namespace {

// A 3-D frame one pixel wide: top and left in tl (the top-right and
// bottom-left corners excluded), bottom and right in br.
void Frame3d(const Canvas& c, const QRegion& clip, const QRect& d, UINT sides, COLORREF tl,
             COLORREF br)
{
    if (d.isEmpty())
        return;
    if (sides & BF_TOP)
        FillSolid(c, clip, QRect(d.left(), d.top(), d.width() - 1, 1), ToPixel(tl));
    if (sides & BF_LEFT)
        FillSolid(c, clip, QRect(d.left(), d.top(), 1, d.height() - 1), ToPixel(tl));
    if (sides & BF_RIGHT)
        FillSolid(c, clip, QRect(d.right(), d.top(), 1, d.height()), ToPixel(br));
    if (sides & BF_BOTTOM)
        FillSolid(c, clip, QRect(d.left(), d.bottom(), d.width(), 1), ToPixel(br));
}

QRect Deflate(const QRect& r, UINT sides)
{
    return r.adjusted(sides & BF_LEFT ? 1 : 0, sides & BF_TOP ? 1 : 0, sides & BF_RIGHT ? -1 : 0,
                      sides & BF_BOTTOM ? -1 : 0);
}

} // namespace

BOOL DrawEdge(HDC hdc, LPRECT rect, UINT edge, UINT flags)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc || !rect)
        return FALSE;
    const Canvas c = CanvasOf(dc);
    const QRegion clip = DeviceClip(dc, c);
    const UINT sides = flags & BF_RECT;
    QRect d = DeviceRect(dc, rect->left, rect->top, rect->right, rect->bottom);

    auto pass = [&](UINT raised, UINT sunken, int raisedTl, int raisedBr, int sunkenTl, int sunkenBr, int flat,
                    int mono) {
        if (!(edge & (raised | sunken)))
            return;
        int tl = (edge & raised) ? raisedTl : sunkenTl;
        int br = (edge & raised) ? raisedBr : sunkenBr;
        if (flags & BF_MONO)
            tl = br = mono;
        else if (flags & BF_FLAT)
            tl = br = flat;
        Frame3d(c, clip, d, sides, GetSysColor(tl), GetSysColor(br));
        d = Deflate(d, sides);
    };
    pass(BDR_RAISEDOUTER, BDR_SUNKENOUTER, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_3DSHADOW, COLOR_3DHILIGHT,
         COLOR_3DSHADOW, COLOR_WINDOWFRAME);
    pass(BDR_RAISEDINNER, BDR_SUNKENINNER, COLOR_3DHILIGHT, COLOR_3DSHADOW, COLOR_3DDKSHADOW, COLOR_3DLIGHT,
         COLOR_3DFACE, COLOR_WINDOW);
    if (flags & BF_MIDDLE)
        FillSolid(c, clip, d, ToPixel(GetSysColor((flags & (BF_MONO | BF_FLAT)) ? COLOR_WINDOW : COLOR_3DFACE)));
    if (flags & BF_ADJUST) {
        const QRect l = d.translated(-Offset(dc));
        *rect = RECT{l.left(), l.top(), l.left() + l.width(), l.top() + l.height()};
    }
    return TRUE;
}

// --- Text ------------------------------------------------------------------------

namespace {

QString FromText(LPCSTR text, int count)
{
    if (!text)
        return {};
    return QString::fromUtf8(text, count < 0 ? static_cast<int>(std::strlen(text)) : count);
}

struct TextLine {
    QString text;
    int start = 0;      // index of text[0] in the prefix-free string
    int underline = -1; // index into text, or -1
};

// Removes & prefixes; returns the indices of the characters to underline.
QString StripPrefixes(const QString& s, std::vector<int>* marks)
{
    QString out;
    out.reserve(s.size());
    for (int i = 0; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('&')) {
            if (i + 1 < s.size() && s[i + 1] == QLatin1Char('&')) {
                out += QLatin1Char('&');
                ++i;
                continue;
            }
            if (i + 1 < s.size())
                marks->push_back(static_cast<int>(out.size()));
            continue;
        }
        out += s[i];
    }
    return out;
}

QString EndEllipsis(const QFontMetrics& fm, const QString& s, int width)
{
    const QString dots = QStringLiteral("...");
    QString t = s;
    while (!t.isEmpty() && fm.horizontalAdvance(t + dots) > width)
        t.chop(1);
    return t + dots;
}

QString PathEllipsis(const QFontMetrics& fm, const QString& s, int width)
{
    const int sep = std::max(s.lastIndexOf(QLatin1Char('/')), s.lastIndexOf(QLatin1Char('\\')));
    if (sep <= 0)
        return EndEllipsis(fm, s, width);
    const QString dots = QStringLiteral("...");
    const QString tail = s.mid(sep);
    QString head = s.left(sep);
    while (!head.isEmpty() && fm.horizontalAdvance(head + dots + tail) > width)
        head.chop(1);
    return head + dots + tail;
}

// Breaks a paragraph at blanks so lines fit width; a word wider than the
// width keeps a line of its own.
void WrapParagraph(const QFontMetrics& fm, const QString& para, int paraStart, int width, std::vector<TextLine>* out)
{
    int lineStart = 0;
    int lastFit = -1; // end of the last word that fit
    int i = 0;
    const int n = static_cast<int>(para.size());
    auto addLine = [&](int from, int to) {
        TextLine l;
        l.text = para.mid(from, to - from);
        l.start = paraStart + from;
        out->push_back(l);
    };
    while (i <= n) {
        if (i == n || para[i] == QLatin1Char(' ')) {
            if (fm.horizontalAdvance(para.mid(lineStart, i - lineStart)) <= width || lastFit < 0) {
                lastFit = i;
            } else {
                addLine(lineStart, lastFit);
                lineStart = lastFit;
                while (lineStart < n && para[lineStart] == QLatin1Char(' '))
                    ++lineStart;
                lastFit = -1;
                i = lineStart;
                continue;
            }
        }
        ++i;
    }
    if (lineStart < n || out->empty() || lastFit >= 0)
        addLine(lineStart, lastFit < 0 ? n : lastFit);
}

void DrawTextRun(QlDCRecord* dc, const Canvas& c, const QRegion& clip, QPoint topLeft, const QString& s,
                 const INT* dx = nullptr)
{
    const QFont& font = DcFont(dc);
    const QFontMetrics fm(font);
    DcPainter p(dc, c, clip);
    if (dc->st.bkMode == OPAQUE) {
        int w = 0;
        if (dx)
            for (int i = 0; i < s.size(); ++i)
                w += dx[i];
        else
            w = fm.horizontalAdvance(s);
        p->fillRect(QRect(topLeft, QSize(w, fm.height())), ToQColor(dc->st.bkColor));
    }
    p->setFont(font);
    p->setPen(ToQColor(dc->st.textColor));
    const int baseline = topLeft.y() + fm.ascent();
    if (!dx) {
        p->drawText(QPoint(topLeft.x(), baseline), s);
        return;
    }
    int x = topLeft.x();
    for (int i = 0; i < s.size(); ++i) {
        p->drawText(QPoint(x, baseline), QString(s[i]));
        x += dx[i];
    }
}

} // namespace

BOOL TextOut(HDC hdc, int x, int y, LPCSTR text, int count)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc || !text || count < 0)
        return FALSE;
    const Canvas c = CanvasOf(dc);
    DrawTextRun(dc, c, DeviceClip(dc, c), QPoint(x, y), FromText(text, count));
    return TRUE;
}

BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count, const INT* dx)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc)
        return FALSE;
    const Canvas c = CanvasOf(dc);
    QRegion clip = DeviceClip(dc, c);
    if (rect) {
        const QRect d = DeviceRect(dc, rect->left, rect->top, rect->right, rect->bottom);
        if (options & ETO_OPAQUE)
            FillSolid(c, clip, d, ToPixel(dc->st.bkColor));
        if (options & ETO_CLIPPED)
            clip &= d;
    }
    if (text && count > 0)
        DrawTextRun(dc, c, clip, QPoint(x, y), FromText(text, static_cast<int>(count)), dx);
    return TRUE;
}

int DrawText(HDC hdc, LPCSTR text, int count, LPRECT rect, UINT format)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc || !text || !rect)
        return 0;
    const QFont& font = DcFont(dc);
    const QFontMetrics fm(font);
    const int lineHeight = fm.height();
    const int width = rect->right - rect->left;

    std::vector<int> marks;
    QString plain = FromText(text, count);
    if (!(format & DT_NOPREFIX))
        plain = StripPrefixes(plain, &marks);

    std::vector<TextLine> lines;
    if (format & DT_SINGLELINE) {
        TextLine l;
        l.text = plain;
        l.text.remove(QLatin1Char('\r'));
        l.text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        lines.push_back(l);
    } else {
        int start = 0;
        const QStringList paras = plain.split(QLatin1Char('\n'));
        for (QString para : paras) {
            const int paraLen = static_cast<int>(para.size());
            if (para.endsWith(QLatin1Char('\r')))
                para.chop(1);
            if (format & DT_WORDBREAK) {
                WrapParagraph(fm, para, start, width, &lines);
            } else {
                TextLine l;
                l.text = para;
                l.start = start;
                lines.push_back(l);
            }
            start += paraLen + 1;
        }
    }
    for (TextLine& l : lines) {
        for (int m : marks)
            if (m >= l.start && m < l.start + l.text.size())
                l.underline = m - l.start;
        if (fm.horizontalAdvance(l.text) > width) {
            if (format & DT_PATH_ELLIPSIS)
                l.text = PathEllipsis(fm, l.text, width);
            else if (format & DT_END_ELLIPSIS)
                l.text = EndEllipsis(fm, l.text, width);
            if (l.underline >= l.text.size() - 3 && (format & (DT_PATH_ELLIPSIS | DT_END_ELLIPSIS)))
                l.underline = -1;
        }
    }

    const int total = lineHeight * static_cast<int>(lines.size());
    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const TextLine& l : lines)
            widest = std::max(widest, fm.horizontalAdvance(l.text));
        rect->right = rect->left + widest;
        rect->bottom = rect->top + total;
        return total;
    }

    int y = rect->top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = rect->top + (rect->bottom - rect->top - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            y = rect->bottom - lineHeight;
    }
    const Canvas c = CanvasOf(dc);
    QRegion clip = DeviceClip(dc, c);
    if (!(format & DT_NOCLIP))
        clip &= DeviceRect(dc, rect->left, rect->top, rect->right, rect->bottom);
    const int firstY = y;
    for (const TextLine& l : lines) {
        const int w = fm.horizontalAdvance(l.text);
        int x = rect->left;
        if (format & DT_CENTER)
            x = rect->left + (width - w) / 2;
        else if (format & DT_RIGHT)
            x = rect->right - w;
        DrawTextRun(dc, c, clip, QPoint(x, y), l.text);
        if (l.underline >= 0) {
            const int ux = x + fm.horizontalAdvance(l.text.left(l.underline));
            const int uw = fm.horizontalAdvance(l.text.mid(l.underline, 1));
            const int uy = y + fm.ascent() + 1;
            FillSolid(c, clip, QRect(ux, uy, uw, 1).translated(Offset(dc)), ToPixel(dc->st.textColor));
        }
        y += lineHeight;
    }
    if (format & (DT_VCENTER | DT_BOTTOM) && (format & DT_SINGLELINE))
        return firstY + total - rect->top;
    return total;
}

BOOL GetTextExtentPoint32(HDC hdc, LPCSTR text, int count, LPSIZE size)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc || !size || count < 0)
        return FALSE;
    const QFontMetrics fm(DcFont(dc));
    *size = SIZE{fm.horizontalAdvance(FromText(text, count)), fm.height()};
    return TRUE;
}

BOOL GetTextExtentPoint(HDC hdc, LPCSTR text, int count, LPSIZE size)
{
    return GetTextExtentPoint32(hdc, text, count, size);
}

BOOL GetTextMetrics(HDC hdc, LPTEXTMETRIC tm)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc || !tm)
        return FALSE;
    const QlFontRecord* f = dc->st.font.get();
    const QFontMetrics fm(DcFont(dc));
    *tm = TEXTMETRIC{};
    tm->tmAscent = fm.ascent();
    tm->tmDescent = fm.descent();
    tm->tmHeight = tm->tmAscent + tm->tmDescent;
    tm->tmInternalLeading = std::max(0, tm->tmHeight - f->spec.pixelSize);
    tm->tmExternalLeading = std::max(0, fm.leading());
    tm->tmAveCharWidth = fm.averageCharWidth();
    tm->tmMaxCharWidth = fm.maxWidth();
    tm->tmWeight = f->spec.weight;
    tm->tmDigitizedAspectX = 96;
    tm->tmDigitizedAspectY = 96;
    tm->tmFirstChar = 0x20;
    tm->tmLastChar = 0xFF;
    tm->tmDefaultChar = 0x1F;
    tm->tmBreakChar = 0x20;
    tm->tmItalic = f->spec.italic ? 1 : 0;
    tm->tmUnderlined = f->spec.underline ? 1 : 0;
    tm->tmStruckOut = f->spec.strikeOut ? 1 : 0;
    const bool fixed = QFontInfo(DcFont(dc)).fixedPitch();
    // The "fixed pitch" bit is set for variable-pitch fonts; 0x6 is vector + TrueType.
    tm->tmPitchAndFamily = static_cast<BYTE>((fixed ? 0 : 1) | 0x6 | (f->log.lfPitchAndFamily & 0xF0));
    tm->tmCharSet = f->log.lfCharSet;
    return TRUE;
}

int GetTextFace(HDC hdc, int count, LPSTR face)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc)
        return 0;
    const char* name = dc->st.font->log.lfFaceName;
    const int len = static_cast<int>(strnlen(name, LF_FACESIZE));
    if (!face)
        return len + 1;
    if (count <= 0)
        return 0;
    const int n = std::min(len, count - 1);
    std::memcpy(face, name, static_cast<std::size_t>(n));
    face[n] = '\0';
    return n + 1;
}

// --- Blits ---------------------------------------------------------------------------

namespace {

bool RopUsesSource(DWORD rop)
{
    const DWORD i = (rop >> 16) & 0xFF;
    return ((i >> 2) & 0x33) != (i & 0x33);
}

// Ternary raster operation over whole words: the index byte is the truth
// table with bit (P << 2 | S << 1 | D).
inline std::uint32_t Rop3(DWORD index, std::uint32_t p, std::uint32_t s, std::uint32_t d)
{
    std::uint32_t r = 0;
    for (int bit = 0; bit < 8; ++bit)
        if (index & (1u << bit))
            r |= ((bit & 4) ? p : ~p) & ((bit & 2) ? s : ~s) & ((bit & 1) ? d : ~d);
    return r;
}

// The destination DC's brush as a pattern source in device coordinates.
class Pattern {
public:
    Pattern(const QlDCRecord* dc)
    {
        const QlBrushRecord* b = dc->st.brush.get();
        if (IsNullBrush(b)) {
            m_solid = 0xFF000000u;
        } else if (b->log.lbStyle == BS_SOLID) {
            m_solid = ToPixel(b->log.lbColor);
        } else {
            m_tex = BrushTexture(dc, b).convertToFormat(QImage::Format_RGB32);
            m_org = dc->st.brushOrg;
        }
    }
    std::uint32_t At(int x, int y) const
    {
        if (m_tex.isNull())
            return m_solid;
        const int w = m_tex.width(), h = m_tex.height();
        const int px = ((x - m_org.x()) % w + w) % w;
        const int py = ((y - m_org.y()) % h + h) % h;
        return reinterpret_cast<const std::uint32_t*>(m_tex.constScanLine(py))[px];
    }
    bool Solid() const { return m_tex.isNull(); }
    std::uint32_t SolidValue() const { return m_solid; }

private:
    std::uint32_t m_solid = 0;
    QImage m_tex;
    QPoint m_org;
};

// Combines n source pixels (or none) into the destination row at (x, y).
void CombineRow(const Canvas& c, int x, int y, int n, const std::uint32_t* src, DWORD rop, const Pattern& pat)
{
    BYTE* row = c.Row(y) + static_cast<std::ptrdiff_t>(x) * c.bpp;
    const DWORD index = (rop >> 16) & 0xFF;
    const std::uint32_t alphaOr = c.forceOpaque ? 0xFF000000u : 0;
    if (c.bpp == 4) {
        auto* d = reinterpret_cast<std::uint32_t*>(row);
        switch (rop) {
        case SRCCOPY:
            for (int i = 0; i < n; ++i)
                d[i] = src[i] | alphaOr;
            return;
        case SRCAND:
            for (int i = 0; i < n; ++i)
                d[i] = (d[i] & src[i]) | alphaOr;
            return;
        case SRCPAINT:
            for (int i = 0; i < n; ++i)
                d[i] = (d[i] | src[i]) | alphaOr;
            return;
        case SRCINVERT:
            for (int i = 0; i < n; ++i)
                d[i] = (d[i] ^ src[i]) | alphaOr;
            return;
        default:
            break;
        }
    }
    for (int i = 0; i < n; ++i) {
        BYTE* p = row + static_cast<std::ptrdiff_t>(i) * c.bpp;
        const std::uint32_t s = src ? src[i] : 0;
        const std::uint32_t v = Rop3(index, pat.At(x + i, y), s, LoadPx(p, c.bpp));
        StorePx(p, c.bpp, v | alphaOr);
    }
}

// A source for the scalers, seen top-down.
DibSource SourceOf(const Canvas& c)
{
    DibSource s;
    s.width = c.Width();
    s.height = c.Height();
    s.bytesPerPixel = c.bpp;
    s.stride = c.flipped ? -c.img->bytesPerLine() : c.img->bytesPerLine();
    s.top = c.flipped ? c.img->constBits() + static_cast<qsizetype>(c.Height() - 1) * c.img->bytesPerLine()
                      : c.img->constBits();
    return s;
}

// An origin and signed extents whose device rectangle lies in the
// coordinate space.
bool ExtentsFit(long long x, long long y, long long w, long long h, QPoint off)
{
    return InCoordSpace({w, h, x + off.x(), y + off.y(), x + off.x() + w, y + off.y() + h});
}

// Normalises a rectangle given by origin and signed extents: a negative
// extent covers the pixels from origin + extent + 1 to origin.
void Normalise(int& x, int& w, bool& mirror)
{
    if (w < 0) {
        x += w + 1;
        w = -w;
        mirror = !mirror;
    }
}

// How source pixels change colour on the way: monochrome to colour takes
// the destination's text and background colours, colour to monochrome
// makes the source's background colour white and the rest black.
struct ColorMap {
    enum Kind { None, MonoToColor, ColorToMono } kind = None;
    std::uint32_t fg = 0, bg = 0, key = 0;
    void Apply(std::uint32_t* px, int n) const
    {
        if (kind == MonoToColor)
            for (int i = 0; i < n; ++i)
                px[i] = (px[i] & 0xFFFFFF) == 0xFFFFFF ? bg : fg;
        else if (kind == ColorToMono)
            for (int i = 0; i < n; ++i)
                px[i] = (px[i] & 0xFFFFFF) == key ? 0xFFFFFFFFu : 0xFF000000u;
    }
};

// Scales src (srcRect, top-down coordinates) into the device rectangle dst
// of dc, through its clip, with the raster operation.
void StretchInto(QlDCRecord* dc, const DibSource& src, ScaleRect srcRect, QRect dst, bool mirrorX, bool mirrorY,
                 int mode, DWORD rop, const ColorMap& map)
{
    const Canvas c = CanvasOf(dc);
    // The logical destination in device pixels: a picture drawn 1:1 on a
    // HiDPI surface keeps one picture pixel per device pixel.
    const QRegion clip = c.Pixels(DeviceClip(dc, c));
    dst = c.Scaled(dst);
    if (dst.isEmpty() || srcRect.width <= 0 || srcRect.height <= 0)
        return;
    // Keep the source rectangle inside the source, shrinking the destination
    // in proportion.
    const ScaleRect inside{std::max(srcRect.x, 0), std::max(srcRect.y, 0),
                           std::min(srcRect.x + srcRect.width, src.width) - std::max(srcRect.x, 0),
                           std::min(srcRect.y + srcRect.height, src.height) - std::max(srcRect.y, 0)};
    if (inside.width <= 0 || inside.height <= 0)
        return;
    if (inside.x != srcRect.x || inside.y != srcRect.y || inside.width != srcRect.width ||
        inside.height != srcRect.height) {
        auto mapSpan = [](int d0, int dLen, int s0, int sLen, int i0, int iLen, bool mirror, int* outD0, int* outDLen) {
            int a = i0 - s0, b = i0 + iLen - s0; // inside, relative to the source rect
            if (mirror) {
                const int t = sLen - b;
                b = sLen - a;
                a = t;
            }
            const int da = static_cast<int>(static_cast<long long>(a) * dLen / sLen);
            const int db = static_cast<int>((static_cast<long long>(b) * dLen + sLen - 1) / sLen);
            *outD0 = d0 + da;
            *outDLen = db - da;
        };
        int nx, nw, ny, nh;
        mapSpan(dst.x(), dst.width(), srcRect.x, srcRect.width, inside.x, inside.width, mirrorX, &nx, &nw);
        mapSpan(dst.y(), dst.height(), srcRect.y, srcRect.height, inside.y, inside.height, mirrorY, &ny, &nh);
        dst = QRect(nx, ny, nw, nh);
        srcRect = inside;
        if (dst.isEmpty())
            return;
    }
    const QRegion area = clip & dst;
    const bool average = mode == HALFTONE && (dst.width() != srcRect.width || dst.height() != srcRect.height);
    const Pattern pat(dc);
    std::vector<std::uint32_t> temp;
    for (const QRect& r : area) {
        ScaleJob job;
        job.src = src;
        job.srcRect = srcRect;
        job.dstWidth = dst.width();
        job.dstHeight = dst.height();
        job.span = ScaleRect{r.x() - dst.x(), r.y() - dst.y(), r.width(), r.height()};
        job.mirrorX = mirrorX;
        job.mirrorY = mirrorY;
        if (rop == SRCCOPY && c.bpp == 4 && map.kind == ColorMap::None) {
            DibOutput out;
            out.origin = c.Row(r.y()) + static_cast<std::ptrdiff_t>(r.x()) * 4;
            out.stride = c.flipped ? -c.img->bytesPerLine() : c.img->bytesPerLine();
            out.opaque = c.forceOpaque;
            average ? qlafx::ScaleAverage(job, out) : qlafx::ScaleNearest(job, out);
            continue;
        }
        temp.resize(static_cast<std::size_t>(r.width()) * r.height());
        DibOutput out;
        out.origin = reinterpret_cast<std::uint8_t*>(temp.data());
        out.stride = static_cast<std::ptrdiff_t>(r.width()) * 4;
        average ? qlafx::ScaleAverage(job, out) : qlafx::ScaleNearest(job, out);
        for (int y = 0; y < r.height(); ++y) {
            std::uint32_t* row = temp.data() + static_cast<std::size_t>(y) * r.width();
            map.Apply(row, r.width());
            CombineRow(c, r.x(), r.y() + y, r.width(), row, rop, pat);
        }
    }
}

bool ReadScreen(const QRect& area, QImage* out)
{
    int sw = 0, sh = 0;
    if (area.isEmpty() || !qlcapture::ScreenSize(&sw, &sh))
        return false;
    *out = QImage(area.size(), QImage::Format_RGB32);
    if (out->isNull())
        return false;
    const QRect part = area & QRect(0, 0, sw, sh);
    // Filling the whole screen's worth first would only touch every page twice.
    if (part != area)
        out->fill(Qt::black);
    if (part.isEmpty())
        return true;
    const QPoint at = part.topLeft() - area.topLeft();
    auto* first = reinterpret_cast<std::uint32_t*>(out->scanLine(at.y())) + at.x();
    return qlcapture::GrabScreen(part.x(), part.y(), part.width(), part.height(), first,
                                 static_cast<std::size_t>(out->bytesPerLine()));
}

BOOL Blit(HDC hdst, int x, int y, int w, int h, HDC hsrc, int sx, int sy, int sw, int sh, DWORD rop)
{
    QlDCRecord* dc = Dc(hdst);
    if (!dc)
        return FALSE;
    if (!RopUsesSource(rop))
        return PatBlt(hdst, x, y, w, h, rop);
    QlDCRecord* sdc = Dc(hsrc);
    if (!sdc)
        return FALSE;
    const QPoint off = Offset(dc);
    const QPoint soff = Offset(sdc);
    if (!ExtentsFit(x, y, w, h, off) || !ExtentsFit(sx, sy, sw, sh, soff))
        return FALSE;
    bool mirrorX = false, mirrorY = false;
    Normalise(x, w, mirrorX);
    Normalise(y, h, mirrorY);
    Normalise(sx, sw, mirrorX);
    Normalise(sy, sh, mirrorY);
    Canvas sc = CanvasOf(sdc);
    QImage screen;
    if (sdc->type == DcType::Display) {
        // The screen DC reads the X screen: the source rectangle, black where
        // it lies off the screen.
        if (!ReadScreen(QRect(sx + soff.x(), sy + soff.y(), sw, sh), &screen))
            return FALSE;
        sc.img = &screen;
        sc.bpp = 4;
        sc.scale = 1;
        sx = -soff.x();
        sy = -soff.y();
    }
    const Canvas dcv = CanvasOf(dc);
    ColorMap map;
    if (sc.mono && !dcv.mono) {
        map.kind = ColorMap::MonoToColor;
        map.fg = ToPixel(dc->st.textColor);
        map.bg = ToPixel(dc->st.bkColor);
    } else if (!sc.mono && dcv.mono) {
        map.kind = ColorMap::ColorToMono;
        map.key = ToPixel(sdc->st.bkColor) & 0xFFFFFF;
    }
    ScaleRect srcRect{sx + soff.x(), sy + soff.y(), sw, sh};
    if (sc.scale != 1) {
        const QRect px = sc.Pixels(QRect(srcRect.x, srcRect.y, srcRect.width, srcRect.height));
        srcRect = ScaleRect{px.x(), px.y(), px.width(), px.height()};
    }
    DibSource src = SourceOf(sc);
    QImage copy;
    if (sc.img == dcv.img) {
        // Source and destination overlap: read from a copy.
        copy = sc.img->copy();
        Canvas cc = sc;
        cc.img = &copy;
        src = SourceOf(cc);
    }
    StretchInto(dc, src, srcRect, QRect(x + off.x(), y + off.y(), w, h), mirrorX, mirrorY, dc->st.stretchMode, rop,
                map);
    return TRUE;
}

} // namespace

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop)
{
    return Blit(dest, x, y, width, height, src, srcX, srcY, width, height, rop);
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, int srcWidth,
                int srcHeight, DWORD rop)
{
    return Blit(dest, x, y, width, height, src, srcX, srcY, srcWidth, srcHeight, rop);
}

BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc || RopUsesSource(rop) || !ExtentsFit(x, y, width, height, Offset(dc)))
        return FALSE;
    bool mirror = false;
    Normalise(x, width, mirror);
    Normalise(y, height, mirror);
    const Canvas c = CanvasOf(dc);
    const QRegion area = DeviceClip(dc, c) & QRect(QPoint(x, y) + Offset(dc), QSize(width, height));
    const Pattern pat(dc);
    if (rop == PATCOPY && pat.Solid()) {
        FillSolid(c, area, area.boundingRect(), pat.SolidValue());
        return TRUE;
    }
    for (const QRect& r : c.Pixels(area))
        for (int yy = r.top(); yy <= r.bottom(); ++yy)
            CombineRow(c, r.left(), yy, r.width(), nullptr, rop, pat);
    return TRUE;
}

namespace {

// The caller's DIB as a scaler source: 24- and 32-bit rows are used in
// place; 1-, 4- and 8-bit rows are expanded into buffer.
void WrapDib(const DibLayout* dib, const void* bits, DibSource* src, std::vector<std::uint32_t>* buffer)
{
    src->width = dib->width;
    src->height = dib->height;
    if (dib->bpp == 24 || dib->bpp == 32) {
        src->bytesPerPixel = dib->bpp / 8;
        src->top = DibRow(*dib, bits, 0);
        src->stride = dib->topDown ? dib->stride : -dib->stride;
        return;
    }
    buffer->resize(static_cast<std::size_t>(dib->width) * dib->height);
    for (int y = 0; y < dib->height; ++y)
        ReadDibRow(*dib, DibRow(*dib, bits, y), buffer->data() + static_cast<std::size_t>(y) * dib->width);
    src->bytesPerPixel = 4;
    src->top = reinterpret_cast<const std::uint8_t*>(buffer->data());
    src->stride = static_cast<std::ptrdiff_t>(dib->width) * 4;
}

} // namespace

int StretchDIBits(HDC hdc, int x, int y, int width, int height, int srcX, int srcY, int srcWidth, int srcHeight,
                  const void* bits, const BITMAPINFO* info, UINT, DWORD rop)
{
    QlDCRecord* dc = Dc(hdc);
    DibLayout dib;
    DibSource src;
    std::vector<std::uint32_t> buffer;
    if (!dc || !bits || !ParseDib(info, &dib) || !ExtentsFit(x, y, width, height, Offset(dc)) ||
        !InCoordSpace({srcX, srcY, srcWidth, srcHeight, static_cast<long long>(srcY) + srcHeight}))
        return 0;
    WrapDib(&dib, bits, &src, &buffer);
    bool mirrorX = false, mirrorY = false;
    Normalise(x, width, mirrorX);
    Normalise(y, height, mirrorY);
    Normalise(srcX, srcWidth, mirrorX);
    Normalise(srcY, srcHeight, mirrorY);
    // The source rectangle's y counts from the bottom row, for top-down DIBs
    // as well: callers compensate for that, so it is kept.
    const ScaleRect srcRect{srcX, dib.height - srcY - srcHeight, srcWidth, srcHeight};
    const QPoint off = Offset(dc);
    StretchInto(dc, src, srcRect, QRect(x + off.x(), y + off.y(), width, height), mirrorX, mirrorY,
                dc->st.stretchMode, rop, ColorMap{});
    return srcHeight;
}

int SetDIBitsToDevice(HDC hdc, int x, int y, DWORD width, DWORD height, int srcX, int srcY, UINT startScan,
                      UINT lines, const void* bits, const BITMAPINFO* info, UINT)
{
    QlDCRecord* dc = Dc(hdc);
    DibLayout dib;
    if (!dc || !bits || !ParseDib(info, &dib) || lines == 0 ||
        !ExtentsFit(x, y, static_cast<long long>(width), static_cast<long long>(height), Offset(dc)) ||
        !InCoordSpace({srcX, srcY, static_cast<long long>(srcY) + height}))
        return 0;
    // The buffer holds scan lines startScan .. startScan + lines - 1 (scan 0
    // is the first row in memory). Describe it as a DIB of its own.
    const int first = static_cast<int>(std::min<UINT>(startScan, dib.height));
    const int count = static_cast<int>(std::min<UINT>(lines, dib.height - first));
    if (count <= 0)
        return 0;
    // The palette stays the caller's: entries past the first follow the header.
    DibLayout band = dib;
    band.height = count;
    DibSource src;
    std::vector<std::uint32_t> buffer;
    WrapDib(&band, bits, &src, &buffer);
    // Source rectangle in rows as seen: bottom-up DIBs count y from the bottom.
    const int top = dib.topDown ? srcY : dib.height - srcY - static_cast<int>(height);
    const int bandTop = dib.topDown ? first : dib.height - first - count;
    const QPoint off = Offset(dc);
    StretchInto(dc, src, ScaleRect{srcX, top - bandTop, static_cast<int>(width), static_cast<int>(height)},
                QRect(x + off.x(), y + off.y(), static_cast<int>(width), static_cast<int>(height)), false, false,
                COLORONCOLOR, SRCCOPY, ColorMap{});
    return count;
}

// --- Icons -----------------------------------------------------------------------------

BOOL DrawIconEx(HDC hdc, int x, int y, HICON icon, int width, int height, UINT, HBRUSH, UINT flags)
{
    QlDCRecord* dc = Dc(hdc);
    const QImage img = qlafx::IconImage(icon, nullptr);
    if (!dc || img.isNull())
        return FALSE;
    if (width == 0)
        width = (flags & DI_DEFAULTSIZE) ? 32 : img.width();
    if (height == 0)
        height = (flags & DI_DEFAULTSIZE) ? 32 : img.height();
    return qlafx::DrawPicture(hdc, x, y, width, height, img);
}

BOOL qlafx::PaintWithQt(HDC hdc, const std::function<void(QPainter&)>& paint)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc || dc->type == DcType::Display)
        return FALSE;
    const Canvas c = CanvasOf(dc);
    DcPainter p(dc, c, DeviceClip(dc, c));
    p->setRenderHint(QPainter::Antialiasing, true);
    paint(p.get());
    return TRUE;
}

BOOL qlafx::DrawPicture(HDC hdc, int x, int y, int width, int height, const QImage& img)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc || img.isNull())
        return FALSE;
    const Canvas c = CanvasOf(dc);
    DcPainter p(dc, c, DeviceClip(dc, c));
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->setRenderHint(QPainter::SmoothPixmapTransform, true);
    p->drawImage(QRect(x, y, width, height), img);
    return TRUE;
}

BOOL DrawIcon(HDC hdc, int x, int y, HICON icon) { return DrawIconEx(hdc, x, y, icon, 32, 32, 0, nullptr, DI_NORMAL); }

// --- CDC -----------------------------------------------------------------------------------

CDC::~CDC()
{
    if (m_hDC)
        ::DeleteDC(Detach());
}

CDC* CDC::FromHandle(HDC hdc)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc)
        return nullptr;
    if (dc->attached)
        return dc->attached;
    if (!dc->temp) {
        dc->temp = std::make_unique<CDC>();
        dc->temp->m_hDC = hdc;
        dc->temp->m_hAttribDC = hdc;
    }
    return dc->temp.get();
}

BOOL CDC::Attach(HDC hdc)
{
    QlDCRecord* dc = Dc(hdc);
    if (!dc)
        return FALSE;
    // One DC per wrapper: the one held before must not keep pointing here.
    Detach();
    m_hDC = m_hAttribDC = hdc;
    dc->attached = this;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC h = m_hDC;
    if (QlDCRecord* dc = Dc(h); dc && dc->attached == this)
        dc->attached = nullptr;
    m_hDC = m_hAttribDC = nullptr;
    return h;
}

BOOL CDC::CreateCompatibleDC(CDC* dc) { return Attach(::CreateCompatibleDC(dc ? dc->m_hDC : nullptr)); }

BOOL CDC::DeleteDC()
{
    if (!m_hDC)
        return FALSE;
    return ::DeleteDC(Detach());
}

void CDC::FillSolidRect(LPCRECT rc, COLORREF color)
{
    ::SetBkColor(m_hDC, color);
    ::ExtTextOut(m_hDC, 0, 0, ETO_OPAQUE, rc, nullptr, 0, nullptr);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color)
{
    const RECT rc{x, y, x + cx, y + cy};
    FillSolidRect(&rc, color);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight)
{
    FillSolidRect(x, y, cx - 1, 1, topLeft);
    FillSolidRect(x, y, 1, cy - 1, topLeft);
    FillSolidRect(x + cx - 1, y, 1, cy, bottomRight);
    FillSolidRect(x, y + cy - 1, cx, 1, bottomRight);
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height)
{
    return Attach(::CreateCompatibleBitmap(dc ? dc->m_hDC : nullptr, width, height));
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height)
{
    QlDCRecord* dc = Dc(hdc);
    // A memory DC still holding its default bitmap is monochrome, and so is
    // what it makes.
    const bool mono = dc && dc->type == DcType::Memory && dc->st.bitmap.get() && dc->st.bitmap->stock;
    if (width == 0 || height == 0)
        return CreateBitmap(1, 1, 1, 1, nullptr);
    HBITMAP bitmap = CreateBitmap(width, height, 1, mono ? 1 : 32, nullptr);
    // Compatible with a HiDPI window (or a bitmap made for one), it has that
    // window's device pixels, so a double buffer blits back 1:1.
    const qreal ratio = dc && !mono && dc->type != DcType::Display ? CanvasOf(dc).scale : 1;
    auto* rec = LookupAs<QlBitmapRecord>(bitmap, GdiKind::Bitmap);
    if (rec && ratio != 1) {
        QImage device(qRound(width * ratio), qRound(height * ratio), QImage::Format_RGB32);
        if (device.isNull()) {
            DeleteObject(bitmap);
            return nullptr;
        }
        device.fill(0xFF000000u);
        device.setDevicePixelRatio(ratio);
        rec->image = std::move(device);
    }
    return bitmap;
}
