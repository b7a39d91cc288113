#include "editor/shell/PaintToolHost.h"

#include "imagecore/QLImage.h"
#include "platform/afx/WinGdi.h"

#include <algorithm>
#include <cmath>
#include <cstring>

PaintToolHostState thePaintToolHost;

namespace {

constexpr int kMaxBrushSize = 512;
// A segment between far image points must not become an endless stamp.
constexpr int64_t kMaxStampPixels = 64 * 1024 * 1024;

ImageDesc DescribePixels(std::vector<BYTE>& pixels, int width, int height)
{
    return ImageDesc{1, width, height, width * 4, pixels.data()};
}

ImageDesc DescribeImage(CQLImage* image)
{
    if (!image || image->GetAreaByteSize() == 0)
        return ImageDesc{1, 0, 0, 0, nullptr};
    UINT width = 0, height = 0;
    image->GetSize(&width, &height);
    const int w = static_cast<int>(width), h = static_cast<int>(height);
    return ImageDesc{1, w, h, w * 4, image->GetBuffer(0, 0)};
}

// Distance from (px, py) to the segment; the nearer end where the foot of
// the perpendicular falls outside.
double SegmentDistance(double px, double py, double x1, double y1, double x2, double y2)
{
    const double dx = x2 - x1, dy = y2 - y1;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((px - x1) * dx + (py - y1) * dy) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = px - (x1 + t * dx), ey = py - (y1 + t * dy);
    return std::sqrt(ex * ex + ey * ey);
}

} // namespace

int MakeBrush(ImageDesc* out, BrushSettings* brush)
{
    if (!out || !brush || brush->size < 1 || brush->size > kMaxBrushSize)
        return E_FAIL;
    const int size = brush->size;
    const int alpha = brush->opacity * 255 / 100;
    auto& pixels = thePaintToolHost.brushPixels;
    pixels.resize(static_cast<size_t>(size) * size * 4);
    if (size == 1) {
        pixels.assign(4, 0);
        pixels[3] = static_cast<BYTE>(alpha);
    } else {
        // The image's centre, so odd sizes stay symmetric.
        const double h = size / 2.0;
        const double soft = h * brush->softness * 0.01;
        const double scale = soft > 0 ? 256 / soft : 0;
        for (int i = 0; i < size; ++i) {
            BYTE* row = pixels.data() + static_cast<size_t>(i) * size * 4;
            const double di2 = (i - h + 0.5) * (i - h + 0.5);
            for (int j = 0; j < size; ++j) {
                const double l = std::sqrt(di2 + (j - h + 0.5) * (j - h + 0.5));
                int m;
                if (l > h || (soft <= 0 && l >= h))
                    m = 0;
                else if (soft < h - l)
                    m = 255;
                else
                    m = std::min(255, static_cast<int>((h - l) * scale));
                BYTE* p = row + j * 4;
                p[0] = p[1] = p[2] = static_cast<BYTE>(255 - m);
                p[3] = static_cast<BYTE>((alpha * m) >> 8);
            }
        }
    }
    *out = DescribePixels(pixels, size, size);
    return 0;
}

int64_t ImageToView(int x, int y)
{
    const auto& host = thePaintToolHost;
    const auto vx = static_cast<int32_t>(std::lround(x * host.zoom) + host.viewOffset.x);
    const auto vy = static_cast<int32_t>(std::lround(y * host.zoom) + host.viewOffset.y);
    return static_cast<int64_t>(static_cast<uint32_t>(vx)) | (static_cast<int64_t>(vy) << 32);
}

void DrawBrushOutline(HDC dc, int x, int y)
{
    const BrushSettings* brush = thePaintToolHost.brush;
    if (!dc || !brush || thePaintToolHost.zoom <= 0)
        return;
    const int64_t view = ImageToView(x, y);
    const int cx = static_cast<int32_t>(view & 0xFFFFFFFF);
    const int cy = static_cast<int32_t>(view >> 32);
    const double zoom = thePaintToolHost.zoom;
    const int outer = static_cast<int>(brush->size / zoom);
    const int inner = static_cast<int>((brush->size - brush->size * brush->softness / 100) / zoom);
    HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
    const int oldRop = ::SetROP2(dc, R2_NOTXORPEN);
    auto circle = [&](int diameter) {
        const int left = cx - diameter / 2, top = cy - diameter / 2;
        ::Ellipse(dc, left, top, left + diameter, top + diameter);
    };
    circle(outer);
    if (inner >= 1 && outer - inner >= 3)
        circle(inner);
    ::SetROP2(dc, oldRop);
    ::SelectObject(dc, oldBrush);
}

RECT* SegmentRect(RECT* out, int* size, int x1, int y1, int x2, int y2)
{
    const int s = size ? *size : 0;
    out->left = std::min(x1, x2) - s / 2;
    out->top = std::min(y1, y2) - s / 2;
    out->right = std::max(x1, x2) + (s + 1) / 2;
    out->bottom = std::max(y1, y2) + (s + 1) / 2;
    return out;
}

int StrokeStamp(BrushSettings* brush, int x1, int y1, int x2, int y2, ImageDesc* out, POINT* origin)
{
    if (!brush || !out || brush->size < 1 || brush->size > kMaxBrushSize)
        return E_FAIL;
    RECT rect;
    int size = brush->size;
    SegmentRect(&rect, &size, x1, y1, x2, y2);
    const int64_t width = int64_t{rect.right} - rect.left, height = int64_t{rect.bottom} - rect.top;
    if (width <= 0 || height <= 0 || width * height > kMaxStampPixels)
        return E_FAIL;
    const double r = size / 2.0;
    const double soft = brush->softness * r * 0.01;
    const int opacity = brush->opacity;
    auto& pixels = thePaintToolHost.stampPixels;
    pixels.resize(static_cast<size_t>(width * height * 4));
    for (int row = 0; row < height; ++row) {
        BYTE* line = pixels.data() + static_cast<size_t>(row) * width * 4;
        for (int col = 0; col < width; ++col) {
            const double d = SegmentDistance(rect.left + col, rect.top + row, x1, y1, x2, y2);
            int f;
            if (d < r - soft)
                f = 255;
            else if (d >= r)
                f = 0; // also the hard edge itself, where soft is 0
            else
                f = static_cast<int>((r - d) * 255 / soft);
            BYTE* p = line + col * 4;
            p[0] = p[1] = p[2] = static_cast<BYTE>(f);
            p[3] = static_cast<BYTE>(f * opacity / 100);
        }
    }
    *out = DescribePixels(pixels, static_cast<int>(width), static_cast<int>(height));
    if (origin)
        *origin = POINT{rect.left, rect.top};
    return 0;
}

void GetImages(ImageDesc* current, ImageDesc* second)
{
    auto& host = thePaintToolHost;
    host.currentDesc = DescribeImage(host.current);
    host.secondDesc = DescribeImage(host.second);
    if (current)
        *current = host.currentDesc;
    if (second)
        *second = host.secondDesc;
}

void PreparePaintToolRecord(PaintToolRecord& record, HMODULE module, BYTE* colour)
{
    std::memset(&record, 0, sizeof record);
    record.version = kPluginVersion;
    record.charset = kPluginCharset;
    record.module = module;
    record.brush = thePaintToolHost.brush;
    record.MakeBrush = MakeBrush;
    record.DrawBrushOutline = DrawBrushOutline;
    record.StrokeStamp = StrokeStamp;
    record.SegmentRect = SegmentRect;
    record.GetImages = GetImages;
    record.ImageToView = ImageToView;
    record.colour = colour;
    record.currentDesc = &thePaintToolHost.currentDesc;
}
