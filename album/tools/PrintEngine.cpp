// The album's side of the printing context: page units, the virtual page
// of a typeset run, the fit of print sizes in page regions, and the cells
// cut, turned and resampled from a photo onto a printer or a page image.
#include "editor/shell/ImagePrinter.h"

#include "algorithms/ResampleAlgorithm.h"
#include "imagecore/ParallelFor.h"
#include "platform/afx/Afx.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr DWORD kWhite = 0xFFFFFFFF;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

} // namespace

int CImagePrinter::InchesToUnits(float inches) const
{
    if (m_printerDC)
        return static_cast<int>(inches * 254.0f);
    return static_cast<int>(inches * static_cast<float>(m_devMode.dmPrintQuality));
}

void CImagePrinter::SetVirtualPage(int dpi, double widthInches, double heightInches)
{
    DeleteDC();
    m_devMode = DEVMODE{};
    const int width = static_cast<int>(dpi * widthInches);
    const int height = static_cast<int>(dpi * heightInches);
    m_devMode.dmPaperWidth = static_cast<short>(width);
    m_devMode.dmPaperLength = static_cast<short>(height);
    m_devMode.dmPrintQuality = static_cast<short>(dpi);
    m_devMode.dmYResolution = static_cast<short>(dpi);
    m_devMode.dmScale = static_cast<short>(dpi * 0.39370078);
    m_pageWidth = width;
    m_pageHeight = height;
    m_dpiX = m_dpiY = dpi;
    m_physicalWidth = width;
    m_physicalHeight = height;
    m_physicalOffsetX = m_physicalOffsetY = 0;
}

double CImagePrinter::FitCell(int cellWidth, int cellHeight, int left, int top, int right, int bottom,
                              RECT* cellRect, int* halvable) const
{
    const bool wide = right - left > bottom - top;
    if (wide ? cellWidth < cellHeight : cellWidth > cellHeight)
        std::swap(cellWidth, cellHeight);
    const float g = static_cast<float>(LengthToInches(cellWidth));
    const float h = static_cast<float>(LengthToInches(cellHeight));
    const float W = static_cast<float>(LengthToInches(right - left));
    const float H = static_cast<float>(LengthToInches(bottom - top));
    if (W <= g || H <= h) {
        *halvable = 0;
        return -1;
    }
    if (W > H)
        *halvable = 1.03f * h < 0.5f * W && 1.03f * g < H;
    else
        *halvable = 1.03f * h < W && 1.03f * g < 0.5f * H;
    if (cellRect) {
        const int dx = InchesToUnits((W - g) * 0.5f);
        const int dy = InchesToUnits((H - h) * 0.5f);
        *cellRect = RECT{left + dx, top + dy, right - dx, bottom - dy};
    }
    return *halvable ? g * h / (W * H) : 1.0;
}

int CImagePrinter::ComputeSlots(float widthInches, float heightInches, int slotSize[2], RECT* cellRect) const
{
    RECT region{0, 0, GetPageWidth(), GetPageHeight()};
    const int cw = InchesToUnits(widthInches);
    const int ch = InchesToUnits(heightInches);
    int halvable = 0;
    FitCell(cw, ch, region.left, region.top, region.right, region.bottom, cellRect, &halvable);
    while (halvable) {
        if (Height(region) >= Width(region))
            region.bottom -= (Height(region) + 1) / 2;
        else
            region.right -= (Width(region) + 1) / 2;
        FitCell(cw, ch, region.left, region.top, region.right, region.bottom, cellRect, &halvable);
    }
    slotSize[0] = Width(region);
    slotSize[1] = Height(region);
    const long long cells = static_cast<long long>(slotSize[1] - 1) * (slotSize[0] - 1);
    if (cells <= 0)
        return 0;
    return static_cast<int>(static_cast<long long>(GetPageWidth()) * GetPageHeight() / cells);
}

RECT CImagePrinter::FitWholePhoto(int left, int top, int right, int bottom) const
{
    UINT photoWidth = 0, photoHeight = 0;
    m_photo.GetSize(&photoWidth, &photoHeight);
    long long wp = photoWidth, hp = photoHeight;
    const long long dw = right - left, dh = bottom - top;
    const bool turned = (dw - dh) * (wp - hp) < 0;
    if (turned)
        std::swap(wp, hp);
    RECT r{};
    if (dw <= 0 || dh <= 0 || hp <= 0)
        return RECT{0, 0, static_cast<LONG>(wp), static_cast<LONG>(hp)};
    if (static_cast<double>(wp) / hp >= static_cast<double>(dw) / dh) {
        const long long e = dh * wp / dw - hp;
        r = RECT{0, static_cast<LONG>(-(e / 2)), static_cast<LONG>(wp), static_cast<LONG>(hp + e - e / 2)};
    } else {
        const long long n = dw * hp / dh;
        const long long p = (n - wp) / 2;
        r = RECT{static_cast<LONG>(-p), 0, static_cast<LONG>(n - p), static_cast<LONG>(hp)};
    }
    if (turned)
        r = RECT{r.top, r.left, r.bottom, r.right};
    return r;
}

BOOL CImagePrinter::CropToCell(CQLImage* out, int left, int top, int right, int bottom, int cropLeft, int cropTop,
                               int cropRight, int cropBottom) const
{
    UINT photoWidth = 0, photoHeight = 0;
    m_photo.GetSize(&photoWidth, &photoHeight);
    const int wp = static_cast<int>(photoWidth), hp = static_cast<int>(photoHeight);
    RECT src{};
    if (cropLeft == cropRight) {
        src = FitWholePhoto(left, top, right, bottom);
    } else {
        src = RECT{static_cast<LONG>(wp * 0.001 * cropLeft), static_cast<LONG>(hp * 0.001 * cropTop),
                   static_cast<LONG>(wp * 0.001 * cropRight), static_cast<LONG>(hp * 0.001 * cropBottom)};
    }
    const int cw = Width(src), ch = Height(src);
    if (cw <= 0 || ch <= 0)
        return FALSE;
    const bool cellPortrait = bottom - top >= right - left;
    const bool turn = cellPortrait != (ch >= cw);
    const int outWidth = turn ? ch : cw;
    const int outHeight = turn ? cw : ch;
    if (out->Create(static_cast<UINT>(outWidth), static_cast<UINT>(outHeight)) != 0)
        return FALSE;
    imagecore::ParallelFor(0, outHeight, static_cast<std::size_t>(outWidth), [&](int from, int to) {
        for (int y = from; y < to; ++y) {
            auto* row = reinterpret_cast<DWORD*>(out->GetBuffer(0, y));
            if (!turn) {
                const int py = src.top + y;
                if (py < 0 || py >= hp) {
                    std::fill(row, row + outWidth, kWhite);
                    continue;
                }
                // Columns of the photo that this row covers; white elsewhere.
                const int x0 = std::clamp(-static_cast<int>(src.left), 0, outWidth);
                const int x1 = std::clamp(wp - static_cast<int>(src.left), x0, outWidth);
                std::fill(row, row + x0, kWhite);
                if (x1 > x0)
                    std::memcpy(row + x0, m_photo.GetBuffer(src.left + x0, py), static_cast<std::size_t>(x1 - x0) * 4);
                std::fill(row + x1, row + outWidth, kWhite);
            } else {
                const int px = src.right - 1 - y;
                const bool inside = px >= 0 && px < wp;
                for (int x = 0; x < outWidth; ++x) {
                    const int py = src.top + x;
                    row[x] = inside && py >= 0 && py < hp ? m_photo.GetPixel(px, py) : kWhite;
                }
            }
        }
    });
    return TRUE;
}

BOOL CImagePrinter::ResizeForPrint(CQLImage* src, CQLImage* dst, int left, int top, int right, int bottom) const
{
    int w = right - left, h = bottom - top;
    if (m_printerDC) {
        // Printers always get cells of 300 dots an inch.
        w = static_cast<int>(LengthToInches(w) * 300);
        h = static_cast<int>(LengthToInches(h) * 300);
    }
    if (w <= 0 || h <= 0)
        return FALSE;
    if (m_highQuality) {
        ResampleAlgorithm resample;
        resample.SetOptions(1, 90, 50);
        resample.SetImages(src, dst);
        resample.SetRange(0, 100);
        ResizeParams size{w, h};
        return resample.Apply(&size) == 0;
    }
    CQLImageCodec codec;
    return codec.Resample(src, dst, w, h, 1) != 0;
}

BOOL CImagePrinter::PrintCell(const char* path, int left, int top, int right, int bottom, int cropLeft, int cropTop,
                              int cropRight, int cropBottom, CQLImage* pageImage)
{
    CQLImage resized;
    return MakeCell(path, left, top, right, bottom, cropLeft, cropTop, cropRight, cropBottom, &resized) &&
           PutCell(&resized, left, top, right, bottom, pageImage);
}

BOOL CImagePrinter::MakeCell(const char* path, int left, int top, int right, int bottom, int cropLeft, int cropTop,
                             int cropRight, int cropBottom, CQLImage* resized)
{
    // Only the very same path is the same photo: on Linux a name differing
    // in case is another file.
    if (std::strcmp(path, m_lastPath) != 0) {
        CQLImageCodec codec;
        if (!codec.LoadFile(path, &m_photo))
            return FALSE;
        std::snprintf(m_lastPath, sizeof m_lastPath, "%s", path);
    }
    CQLImage cell;
    return CropToCell(&cell, left, top, right, bottom, cropLeft, cropTop, cropRight, cropBottom) &&
           ResizeForPrint(&cell, resized, left, top, right, bottom);
}

BOOL CImagePrinter::PutCell(CQLImage* cell, int left, int top, int right, int bottom, CQLImage* pageImage)
{
    CQLImage& resized = *cell;
    UINT cellWidth = 0, cellHeight = 0;
    resized.GetSize(&cellWidth, &cellHeight);
    const int pageWidth = std::max(1, GetPageWidth());

    if (pageImage) {
        const double s = static_cast<double>(m_physicalWidth) / pageWidth;
        UINT imageWidth = 0, imageHeight = 0;
        pageImage->GetSize(&imageWidth, &imageHeight);
        const int x = static_cast<int>(s * left), y = static_cast<int>(s * top);
        // Only the part of the cell that lies on the page image is copied.
        const int x0 = std::max(0, -x);
        const int x1 = std::min(static_cast<int>(cellWidth), static_cast<int>(imageWidth) - x);
        const int y0 = std::max(0, -y);
        const int y1 = std::min(static_cast<int>(cellHeight), static_cast<int>(imageHeight) - y);
        for (int row = y0; row < y1 && x1 > x0; ++row)
            std::memcpy(pageImage->GetBuffer(x + x0, y + row), resized.GetBuffer(x0, row),
                        static_cast<std::size_t>(x1 - x0) * 4);
        return TRUE;
    }
    if (!m_printerDC)
        return TRUE;

    const int printableWidth = m_physicalWidth - 2 * m_physicalOffsetX;
    const int printableHeight = m_physicalHeight - 2 * m_physicalOffsetY;
    const double s = static_cast<double>(printableWidth) / pageWidth;
    const RECT dest{static_cast<LONG>(static_cast<int>(s * left) + m_physicalOffsetX),
                    static_cast<LONG>(static_cast<int>(s * top) + m_physicalOffsetY),
                    static_cast<LONG>(static_cast<int>(s * right) + m_physicalOffsetX),
                    static_cast<LONG>(static_cast<int>(s * bottom) + m_physicalOffsetY)};
    // The DC's origin is the printable area's corner: what lies past its
    // edges is cut from the cell rather than handed to the driver.
    const RECT clip{std::max<LONG>(dest.left, 0), std::max<LONG>(dest.top, 0),
                    std::min<LONG>(dest.right, printableWidth), std::min<LONG>(dest.bottom, printableHeight)};
    if (clip.right <= clip.left || clip.bottom <= clip.top || Width(dest) <= 0 || Height(dest) <= 0)
        return TRUE;
    CQLImage* drawn = &resized;
    CQLImage part;
    if (clip.left != dest.left || clip.top != dest.top || clip.right != dest.right || clip.bottom != dest.bottom) {
        const double fx = static_cast<double>(cellWidth) / Width(dest);
        const double fy = static_cast<double>(cellHeight) / Height(dest);
        const int sx0 = static_cast<int>((clip.left - dest.left) * fx);
        const int sy0 = static_cast<int>((clip.top - dest.top) * fy);
        const int sx1 = std::max(sx0 + 1, std::min(static_cast<int>(cellWidth), static_cast<int>((clip.right - dest.left) * fx)));
        const int sy1 = std::max(sy0 + 1, std::min(static_cast<int>(cellHeight), static_cast<int>((clip.bottom - dest.top) * fy)));
        if (part.Create(static_cast<UINT>(sx1 - sx0), static_cast<UINT>(sy1 - sy0)) != 0)
            return FALSE;
        for (int row = sy0; row < sy1; ++row)
            std::memcpy(part.GetBuffer(0, row - sy0), resized.GetBuffer(sx0, row),
                        static_cast<std::size_t>(sx1 - sx0) * 4);
        drawn = &part;
    }
    UINT drawnWidth = 0, drawnHeight = 0;
    drawn->GetSize(&drawnWidth, &drawnHeight);
    FlipImageRows(drawn);
    const auto* info =
        reinterpret_cast<const BITMAPINFO*>(MakeBitmapHeader(static_cast<int>(drawnWidth), static_cast<int>(drawnHeight)));
    StretchDIBits(m_printerDC, clip.left, clip.top, Width(clip), Height(clip), 0, 0, static_cast<int>(drawnWidth),
                  static_cast<int>(drawnHeight), drawn->GetBuffer(0, 0), info, DIB_RGB_COLORS, SRCCOPY);
    return TRUE;
}
