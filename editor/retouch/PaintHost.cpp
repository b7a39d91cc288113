#include "editor/retouch/PaintHost.h"

#include "editor/retouch/PaintState.h"
#include "editor/retouch/PaintViewMath.h"
#include "imagecore/ParallelFor.h"
#include "platform/afx/WinGdi.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int kMaxBrushSize = 512;
// Two far image points must not make an endless mask.
constexpr int64_t kMaxStampPixels = 64 * 1024 * 1024;

ImageDesc Describe(const CQLImage* image)
{
    if (!image || image->GetAreaByteSize() == 0)
        return ImageDesc{1, 0, 0, 0, nullptr};
    UINT w = 0, h = 0;
    image->GetSize(&w, &h);
    return ImageDesc{1, static_cast<int32_t>(w), static_cast<int32_t>(h), static_cast<int32_t>(w * 4),
                     image->GetBuffer(0, 0)};
}

// Distance from p to the segment a-b: to an end where the angle there is
// obtuse (or the segment is a point), else to the line.
double SegmentDistance(double px, double py, double ax, double ay, double bx, double by)
{
    const double dx = bx - ax, dy = by - ay;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = px - (ax + t * dx), ey = py - (ay + t * dy);
    return std::sqrt(ex * ex + ey * ey);
}

}  // namespace

int PaintHost::MakeBrush(ImageDesc* out, BrushSettings* brush)
{
    if (!out || !brush || brush->size < 1 || brush->size > kMaxBrushSize)
        return E_FAIL;
    const int s = brush->size;
    CQLImage& image = thePaintState.brushImage;
    if (const LONG error = image.Create(static_cast<UINT>(s), static_cast<UINT>(s)); error != 0)
        return static_cast<int>(error);
    const int alpha = brush->opacity * 255 / 100;
    if (s == 1) {
        BYTE* p = image.GetBuffer(0, 0);
        p[0] = p[1] = p[2] = 0;
        p[3] = static_cast<BYTE>(alpha);
    } else {
        const double r = s / 2.0;
        const double feather = r * brush->softness * 0.01;
        for (int i = 0; i < s; ++i) {
            BYTE* row = image.GetBuffer(0, i);
            const double di = i - r + 0.5;
            for (int j = 0; j < s; ++j) {
                const double dj = j - r + 0.5;
                const double d = std::sqrt(di * di + dj * dj);
                int m;
                if (brush->softness == 0)
                    m = d < r ? 255 : 0;
                else if (d > r)
                    m = 0;
                else if (feather < r - d)
                    m = 255;
                else
                    m = std::min(255, static_cast<int>((r - d) * 256 / feather));
                BYTE* p = row + j * 4;
                p[0] = p[1] = p[2] = static_cast<BYTE>(255 - m);
                p[3] = static_cast<BYTE>(alpha * m / 256);
            }
        }
    }
    *out = Describe(&image);
    return 0;
}

RECT* PaintHost::SegmentRect(RECT* out, int* size, int x0, int y0, int x1, int y1)
{
    if (!out)
        return out;
    const int s = size ? *size : 0;
    out->left = std::min(x0, x1) - s / 2;
    out->top = std::min(y0, y1) - s / 2;
    out->right = std::max(x0, x1) + (s + 1) / 2;
    out->bottom = std::max(y0, y1) + (s + 1) / 2;
    return out;
}

int PaintHost::StrokeStamp(BrushSettings* brush, int x0, int y0, int x1, int y1, ImageDesc* out, POINT* origin)
{
    if (!brush || !out || brush->size < 1 || brush->size > kMaxBrushSize)
        return E_FAIL;
    int size = brush->size;
    RECT rect;
    SegmentRect(&rect, &size, x0, y0, x1, y1);
    const int64_t width = int64_t{rect.right} - rect.left, height = int64_t{rect.bottom} - rect.top;
    if (width <= 0 || height <= 0 || width > kMaxStampPixels || height > kMaxStampPixels ||
        width * height > kMaxStampPixels)
        return E_FAIL;
    CQLImage& mask = thePaintState.strokeImage;
    if (const LONG error = mask.Create(static_cast<UINT>(width), static_cast<UINT>(height)); error != 0)
        return static_cast<int>(error);
    const double r = size / 2.0;
    const double feather = r * brush->softness * 0.01;
    const double inner = r - feather;
    const int opacity = brush->opacity;
    const int w = static_cast<int>(width);
    imagecore::ParallelFor(0, static_cast<int>(height), static_cast<std::size_t>(w) * 8, [&](int begin, int end) {
        for (int row = begin; row < end; ++row) {
            BYTE* line = mask.GetBuffer(0, row);
            const double py = rect.top + row;
            for (int col = 0; col < w; ++col) {
                const double e = SegmentDistance(rect.left + col, py, x0, y0, x1, y1);
                int v;
                if (feather <= 0)
                    v = e < r ? 255 : 0;
                else if (e < inner)
                    v = 255;
                else if (e > r)
                    v = 0;
                else
                    v = static_cast<int>((r - e) * 255 / feather);
                BYTE* p = line + col * 4;
                p[0] = p[1] = p[2] = static_cast<BYTE>(v);
                p[3] = static_cast<BYTE>(v * opacity / 100);
            }
        }
    });
    *out = Describe(&mask);
    if (origin)
        *origin = POINT{rect.left, rect.top};
    return 0;
}

void PaintHost::GetImages(ImageDesc* current, ImageDesc* reference)
{
    PaintState& state = thePaintState;
    state.background.desc = Describe(state.image);
    state.referenceDesc = Describe(&state.reference);
    if (current)
        *current = state.background.desc;
    if (reference)
        *reference = state.referenceDesc;
}

int64_t PaintHost::ImageToView(int x, int y)
{
    const POINT p = paintview::ImageToView(thePaintState.view, x, y);
    return static_cast<int64_t>(static_cast<uint32_t>(p.x)) | (static_cast<int64_t>(p.y) << 32);
}

void PaintHost::DrawBrushOutline(HDC dc, int x, int y)
{
    const BrushSettings& brush = thePaintState.brush;
    const double scale = thePaintState.view.scale;
    if (!dc || scale <= 0)
        return;
    const POINT at = paintview::ImageToView(thePaintState.view, x, y);
    const double outer = brush.size / scale;
    const double core = (brush.size - brush.size * brush.softness / 100) / scale;
    HPEN pen = ::CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    HGDIOBJ oldPen = ::SelectObject(dc, pen);
    HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
    const int oldRop = ::SetROP2(dc, R2_XORPEN);
    auto circle = [&](double g) {
        const int diameter = static_cast<int>(g + 0.5);
        const int offset = static_cast<int>((g + 1) * 0.5);
        const int left = at.x - offset, top = at.y - offset;
        ::Ellipse(dc, left, top, left + diameter, top + diameter);
    };
    circle(outer);
    if (core >= 1 && outer - core >= 3)
        circle(core);
    ::SetROP2(dc, oldRop);
    ::SelectObject(dc, oldBrush);
    ::SelectObject(dc, oldPen);
    ::DeleteObject(pen);
}

void PaintHost::FillRecord(PaintToolRecord& record, HMODULE module)
{
    std::memset(&record, 0, sizeof record);
    record.version = kPluginVersion;
    record.charset = kPluginCharset;
    record.module = module;
    record.brush = &thePaintState.brush;
    record.MakeBrush = MakeBrush;
    record.DrawBrushOutline = DrawBrushOutline;
    record.StrokeStamp = StrokeStamp;
    record.SegmentRect = SegmentRect;
    record.GetImages = GetImages;
    record.ImageToView = ImageToView;
    record.colour = reinterpret_cast<BYTE*>(&thePaintState.foreground);
    // The block starts with the background colour; its ImageDesc follows.
    record.currentDesc = reinterpret_cast<ImageDesc*>(&thePaintState.background);
}
