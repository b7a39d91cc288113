#include "editor/retouch/TextRender.h"

#include "algorithms/RotateFlipAlgorithm.h"
#include "platform/afx/WinGdi.h"

#include <algorithm>
#include <cstring>
#include <emmintrin.h>
#include <functional>

namespace {

constexpr int kScale = 4;
// Drawing at four times the size runs in bands of this many rows, each
// reduced as soon as it is drawn: the whole drawing never exists at once.
constexpr int kBandRows = 128;
// Above this many pixels in one band, or in the reduced object, nothing is drawn.
constexpr long long kMaxBandPixels = 1LL << 24;
constexpr long long kMaxObjectPixels = 1LL << 26;

int RoundUp4(int v)
{
    return (v + kScale - 1) / kScale * kScale;
}

// A memory DC drawing into a 32-bit top-down DIB of w x h.
class DibCanvas {
public:
    DibCanvas(int w, int h) : width(w), height(h)
    {
        if (w <= 0 || h <= 0 || static_cast<long long>(w) * h > kMaxBandPixels)
            return;
        dc = CreateCompatibleDC(nullptr);
        if (!dc)
            return;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* b = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &b, nullptr, 0);
        if (!bitmap || !b)
            return;
        bits = static_cast<BYTE*>(b);
        old = SelectObject(dc, bitmap);
    }
    ~DibCanvas()
    {
        if (old)
            SelectObject(dc, old);
        if (bitmap)
            DeleteObject(bitmap);
        if (dc)
            DeleteDC(dc);
    }
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    bool Ok() const { return bits != nullptr; }

    HDC dc = nullptr;
    int width, height;
    BYTE* bits = nullptr;

private:
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
};

// The green bytes of four pixels: masked, then summed against zero into
// each 64-bit half.
inline __m128i GreenSums(const BYTE* p)
{
    const __m128i v = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), _mm_set1_epi32(0xFF00));
    return _mm_sad_epu8(v, _mm_setzero_si128());
}

// Adds the 4 x 4 means of rows [0, rows) of a w-wide BGRA buffer into
// target from row targetRow; missing pixels of a partial square count 0.
// The drawings are grey (white on black), so one byte stands for all four.
void ReduceBandBy4(const BYTE* bits, int w, int rows, CQLImage* target, int targetRow)
{
    UINT tw = 0, th = 0;
    target->GetSize(&tw, &th);
    const std::size_t stride = static_cast<std::size_t>(w) * 4;
    const int whole = std::min(w / 4, static_cast<int>(tw));  // squares four pixels wide
    for (int y0 = 0; y0 < rows && targetRow + y0 / 4 < static_cast<int>(th); y0 += 4) {
        const int n = std::min(rows, y0 + 4) - y0;
        const BYTE* top = bits + static_cast<std::size_t>(y0) * stride;
        BYTE* out = target->GetBuffer(0, targetRow + y0 / 4);
        for (int i = 0; i < whole; ++i) {
            __m128i acc = GreenSums(top + 16 * i);
            for (int r = 1; r < n; ++r)
                acc = _mm_add_epi64(acc, GreenSums(top + r * stride + 16 * i));
            const int sum = _mm_cvtsi128_si32(_mm_add_epi64(acc, _mm_unpackhi_epi64(acc, acc)));
            std::memset(out + 4 * i, sum / 16, 4);
        }
        if (whole < static_cast<int>(tw)) {
            unsigned sum = 0;
            for (int r = 0; r < n; ++r)
                for (int x = 4 * whole; x < w; ++x)
                    sum += top[r * stride + 4 * static_cast<std::size_t>(x) + 1];
            std::memset(out + 4 * whole, static_cast<int>(sum / 16), 4);
        }
    }
}

// The reduced picture of a w4 x h4 drawing made band by band: draw gets
// the DC, cleared to black, and the drawing row at the band's top.
using BandDraw = std::function<bool(HDC dc, int top)>;
bool DrawReduced(int w4, int h4, const BandDraw& draw, CQLImage* reduced)
{
    w4 = RoundUp4(std::max(1, w4));
    h4 = RoundUp4(std::max(1, h4));
    if (static_cast<long long>(w4 / kScale) * (h4 / kScale) > kMaxObjectPixels)
        return false;
    DibCanvas canvas(w4, std::min(kBandRows, h4));
    if (!canvas.Ok() || reduced->Create(static_cast<UINT>(w4 / kScale), static_cast<UINT>(h4 / kScale)) != 0)
        return false;
    for (int top = 0; top < h4; top += kBandRows) {
        const int rows = std::min(kBandRows, h4 - top);
        // The DIB's own bits: clearing them needs no raster operation.
        std::memset(canvas.bits, 0, static_cast<size_t>(w4) * rows * 4);
        if (!draw(canvas.dc, top))
            return false;
        GdiFlush();
        ReduceBandBy4(canvas.bits, w4, rows, reduced, top / kScale);
    }
    return true;
}

HFONT MakeFont(const TextStyle& style)
{
    // Stroke output precision, draft quality, variable pitch.
    return CreateFont(style.size * kScale, 0, 0, 0, style.bold ? FW_BOLD : FW_DONTCARE, style.italic, style.underline,
                      FALSE, style.charSet, 3, CLIP_DEFAULT_PRECIS, DRAFT_QUALITY, VARIABLE_PITCH,
                      style.face.c_str());
}

// The text block, drawn white on black at four times the size and reduced.
bool DrawTextBlock(const TextStyle& style, const std::string& text, CQLImage* reduced, SIZE* drawnSize)
{
    const std::vector<std::string> lines = SplitTextLines(text);
    HFONT font = MakeFont(style);
    if (!font)
        return false;
    HDC measure = CreateCompatibleDC(nullptr);
    bool ok = measure != nullptr;
    std::vector<SIZE> extents;
    std::vector<bool> empty;
    if (ok) {
        HGDIOBJ oldFont = SelectObject(measure, font);
        for (const std::string& line : lines) {
            SIZE s{};
            const bool blank = line.empty();
            const char* measured = blank ? " " : line.c_str();
            ok = ok && GetTextExtentPoint32(measure, measured, static_cast<int>(std::strlen(measured)), &s);
            if (blank)
                s.cx = 0;
            extents.push_back(s);
            empty.push_back(blank);
        }
        SelectObject(measure, oldFont);
        DeleteDC(measure);
    }
    const TextBlockLayout layout = LayoutTextBlock(extents, empty, style.alignment, style.size * kScale);
    *drawnSize = SIZE{layout.width, layout.height};
    const BandDraw draw = [&](HDC dc, int top) {
        HGDIOBJ oldFont = SelectObject(dc, font);
        SetTextColor(dc, RGB(255, 255, 255));
        SetBkMode(dc, TRANSPARENT);
        bool drawn = true;
        for (size_t i = 0; i < lines.size() && drawn; ++i) {
            const POINT at = layout.origins[i];
            if (lines[i].empty() || at.y + extents[i].cy <= top || at.y >= top + kBandRows)
                continue;
            drawn = TextOut(dc, at.x, at.y - top, lines[i].c_str(), static_cast<int>(lines[i].size())) != FALSE;
        }
        SelectObject(dc, oldFont);
        return drawn;
    };
    ok = ok && DrawReduced(layout.width, layout.height, draw, reduced);
    DeleteObject(font);
    return ok;
}

// The balloon's coverage, drawn white on black at four times the size and
// reduced; text is the reduced text block, set into it.
bool DrawBalloon(const TextStyle& style, SIZE block, CQLImage* shape, POINT* textAt)
{
    const BalloonGeometry g = ComputeBalloon(block.cx, block.cy, style.balloonShape, style.balloonTail);
    *textAt = POINT{g.textOrigin.x / kScale, g.textOrigin.y / kScale};
    const BandDraw draw = [&](HDC dc, int top) {
        HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
        HPEN outline = CreatePen(PS_SOLID, 1, style.balloonShape == 3 ? RGB(0, 0, 0) : RGB(255, 255, 255));
        HGDIOBJ oldBrush = SelectObject(dc, white);
        HGDIOBJ oldPen = SelectObject(dc, outline);
        if (style.balloonShape == 3) {
            const RECT& e = g.tailEllipse;
            Ellipse(dc, e.left, e.top - top, e.right, e.bottom - top);
        } else {
            POINT tail[3];
            for (int i = 0; i < 3; ++i)
                tail[i] = POINT{g.tail[i].x, g.tail[i].y - top};
            Polygon(dc, tail, 3);
        }
        const RECT b{g.body.left, g.body.top - top, g.body.right, g.body.bottom - top};
        switch (style.balloonShape) {
        case 0: Rectangle(dc, b.left, b.top, b.right, b.bottom); break;
        case 1: RoundRect(dc, b.left, b.top, b.right, b.bottom, g.corner, g.corner); break;
        default: Ellipse(dc, b.left, b.top, b.right, b.bottom); break;
        }
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        DeleteObject(outline);
        DeleteObject(white);
        return true;
    };
    return DrawReduced(g.width, g.imageHeight, draw, shape);
}

// Balloon colour at the shape's coverage, blended toward the text colour by
// the text's coverage; the text colour's alpha is not used.
void ColourBalloon(CQLImage* image, const CQLImage& text, POINT textAt, COLORREF balloon, const BYTE colour[4])
{
    const int fill[3] = {GetBValue(balloon), GetGValue(balloon), GetRValue(balloon)};
    UINT w = 0, h = 0, tw = 0, th = 0;
    image->GetSize(&w, &h);
    text.GetSize(&tw, &th);
    for (UINT y = 0; y < h; ++y) {
        BYTE* p = image->GetBuffer(0, static_cast<int>(y));
        const int ty = static_cast<int>(y) - textAt.y;
        for (UINT x = 0; x < w; ++x, p += 4) {
            const int tx = static_cast<int>(x) - textAt.x;
            const bool inText = tx >= 0 && ty >= 0 && tx < static_cast<int>(tw) && ty < static_cast<int>(th);
            const int t = inText ? text.GetBuffer(tx, ty)[1] : 0;
            const int shape = p[0];
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<BYTE>(fill[c] + (colour[c] - fill[c]) * t / 255);
            p[3] = static_cast<BYTE>(shape);
        }
    }
}

}  // namespace

std::vector<std::string> SplitTextLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            line += c;
            continue;
        }
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        lines.push_back(line);
        line.clear();
    }
    if (!line.empty() || lines.empty())
        lines.push_back(line);
    return lines;
}

TextBlockLayout LayoutTextBlock(const std::vector<SIZE>& extents, const std::vector<bool>& empty, int alignment,
                                int emptyRow)
{
    TextBlockLayout layout;
    int widest = 0, sum = 0;
    for (const SIZE& s : extents) {
        widest = std::max(widest, static_cast<int>(s.cx));
        sum += s.cy;
    }
    layout.width = std::max(1, widest);
    layout.height = 1 + sum;
    int row = 0;
    for (size_t i = 0; i < extents.size(); ++i) {
        const int cx = extents[i].cx;
        const int x = alignment == 1 ? (layout.width - cx) / 2 : alignment == 2 ? layout.width - cx : 0;
        layout.origins.push_back(POINT{x, row});
        row += i < empty.size() && empty[i] ? emptyRow : extents[i].cy;
    }
    return layout;
}

BOOL ReduceBy4(const CQLImage& source, CQLImage* target)
{
    UINT w = 0, h = 0;
    source.GetSize(&w, &h);
    if (w == 0 || h == 0 || target->Create((w + 3) / 4, (h + 3) / 4) != 0)
        return FALSE;
    ReduceBandBy4(source.GetBuffer(0, 0), static_cast<int>(w), static_cast<int>(h), target, 0);
    return TRUE;
}

void ColourText(CQLImage* image, const BYTE colour[4])
{
    UINT w = 0, h = 0;
    image->GetSize(&w, &h);
    BYTE* p = image->GetBuffer(0, 0);
    for (size_t i = 0, n = static_cast<size_t>(w) * h; i < n; ++i, p += 4) {
        const int grey = (6 * p[1] + 3 * p[2] + p[0]) / 10;
        p[0] = colour[0];
        p[1] = colour[1];
        p[2] = colour[2];
        p[3] = static_cast<BYTE>(grey * colour[3] / 255);
    }
}

BalloonGeometry ComputeBalloon(int w, int h, int shape, int tail)
{
    BalloonGeometry g;
    const bool round = shape >= 2;
    g.width = round ? 2 * w : 5 * w / 3;
    g.height = round ? 2 * h : 5 * h / 3;
    const int W = g.width, H = g.height, D = H + H / 3;
    g.imageHeight = D;
    const bool up = tail == 0 || tail == 1;  // the tail points up: the body sits lower
    const bool left = tail == 0 || tail == 2;
    const int top = up ? D / 4 : 0;
    g.body = RECT{0, top, W, top + H};
    // The text keeps to the body wherever the tail puts it.
    g.textOrigin = POINT{(W - w) / 2, top + (H - h) / 2};
    const POINT c{W / 2, top + H / 2};
    const POINT tip{left ? W / 8 : W - W / 8, up ? D / 16 : D - D / 16};
    g.tail[0] = tip;
    g.tail[1] = POINT{c.x, up ? c.y - D / 4 : c.y + D / 4};
    g.tail[2] = POINT{left ? c.x - W / 4 : c.x + W / 4, c.y};
    if (shape == 3)
        g.tailEllipse = RECT{tip.x - W / 16, tip.y - D / 16, tip.x - W / 16 + W / 8, tip.y - D / 16 + D / 8};
    g.corner = std::min(D, W) / 4;
    return g;
}

BOOL RenderTextObject(const TextStyle& style, const std::string& text, CQLImage* object, int* objectKind)
{
    CQLImage reduced;
    SIZE block{};
    if (!DrawTextBlock(style, text, &reduced, &block))
        return FALSE;
    if (style.balloonShape < 0 || style.balloonShape > 3) {
        if (style.vertical) {
            CQLImage turned;
            RotateFlipAlgorithm rotate;
            rotate.SetImages(&reduced, &turned);
            DWORD mode = RotateFlipAlgorithm::RotateRight;
            if (rotate.Apply(&mode) != 0)
                return FALSE;
            reduced = std::move(turned);
        }
        ColourText(&reduced, style.colour);
        *object = std::move(reduced);
        *objectKind = 1;
        return TRUE;
    }
    CQLImage balloon;
    POINT textAt{};
    if (!DrawBalloon(style, block, &balloon, &textAt))
        return FALSE;
    ColourBalloon(&balloon, reduced, textAt, style.balloonColour, style.colour);
    *object = std::move(balloon);
    *objectKind = 0;
    return TRUE;
}
