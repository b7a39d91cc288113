#include "editor/retouch/TextRender.h"

#include "algorithms/RotateFlipAlgorithm.h"
#include "platform/afx/WinGdi.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kScale = 4;
// Above this many pixels at the drawing scale the text is not drawn.
constexpr long long kMaxDrawPixels = 1LL << 27;

// A memory DC drawing into a zeroed 32-bit top-down DIB of w x h.
class DibCanvas {
public:
    DibCanvas(int w, int h) : width(w), height(h)
    {
        if (w <= 0 || h <= 0 || static_cast<long long>(w) * h > kMaxDrawPixels)
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
        PatBlt(dc, 0, 0, w, h, BLACKNESS);
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
    // The drawing as an image, every byte as drawn.
    bool CopyTo(CQLImage* image) const
    {
        GdiFlush();
        if (image->Create(static_cast<UINT>(width), static_cast<UINT>(height)) != 0)
            return false;
        std::memcpy(image->GetBuffer(0, 0), bits, image->GetAreaByteSize());
        return true;
    }

    HDC dc = nullptr;
    int width, height;

private:
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    BYTE* bits = nullptr;
};

HFONT MakeFont(const TextStyle& style)
{
    // Stroke output precision, draft quality, variable pitch.
    return CreateFont(style.size * kScale, 0, 0, 0, style.bold ? FW_BOLD : FW_DONTCARE, style.italic, style.underline,
                      FALSE, style.charSet, 3, CLIP_DEFAULT_PRECIS, DRAFT_QUALITY, VARIABLE_PITCH,
                      style.face.c_str());
}

// The text block at the drawing scale: each line white on black.
bool DrawTextBlock(const TextStyle& style, const std::string& text, CQLImage* block)
{
    const std::vector<std::string> lines = SplitTextLines(text);
    HFONT font = MakeFont(style);
    if (!font)
        return false;
    HDC measure = CreateCompatibleDC(nullptr);
    bool ok = measure != nullptr;
    TextBlockLayout layout;
    if (ok) {
        HGDIOBJ oldFont = SelectObject(measure, font);
        std::vector<SIZE> extents;
        std::vector<bool> empty;
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
        layout = LayoutTextBlock(extents, empty, style.alignment, style.size * kScale);
    }
    // Whole 4 x 4 squares: the reduction then loses no partial column.
    const int w = (layout.width + kScale - 1) / kScale * kScale, h = (layout.height + kScale - 1) / kScale * kScale;
    if (ok) {
        DibCanvas canvas(w, h);
        ok = canvas.Ok();
        if (ok) {
            HGDIOBJ oldFont = SelectObject(canvas.dc, font);
            SetTextColor(canvas.dc, RGB(255, 255, 255));
            SetBkMode(canvas.dc, TRANSPARENT);
            for (size_t i = 0; i < lines.size() && ok; ++i)
                if (!lines[i].empty())
                    ok = TextOut(canvas.dc, layout.origins[i].x, layout.origins[i].y, lines[i].c_str(),
                                 static_cast<int>(lines[i].size())) != FALSE;
            SelectObject(canvas.dc, oldFont);
            ok = ok && canvas.CopyTo(block);
        }
    }
    DeleteObject(font);
    return ok;
}

// The balloon drawn white on black with the text block's value in green:
// blue and red carry the shape, green the text.
bool DrawBalloon(const TextStyle& style, const CQLImage& block, CQLImage* drawing)
{
    UINT bw = 0, bh = 0;
    block.GetSize(&bw, &bh);
    const BalloonGeometry g = ComputeBalloon(static_cast<int>(bw), static_cast<int>(bh), style.balloonShape,
                                             style.balloonTail);
    const int w = (g.width + kScale - 1) / kScale * kScale, h = (g.imageHeight + kScale - 1) / kScale * kScale;
    DibCanvas canvas(w, h);
    if (!canvas.Ok())
        return false;
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    HPEN outline = CreatePen(PS_SOLID, 1, style.balloonShape == 3 ? RGB(0, 0, 0) : RGB(255, 255, 255));
    HGDIOBJ oldBrush = SelectObject(canvas.dc, white);
    HGDIOBJ oldPen = SelectObject(canvas.dc, outline);
    if (style.balloonShape == 3)
        Ellipse(canvas.dc, g.tailEllipse.left, g.tailEllipse.top, g.tailEllipse.right, g.tailEllipse.bottom);
    else
        Polygon(canvas.dc, g.tail, 3);
    const RECT& b = g.body;
    switch (style.balloonShape) {
    case 0: Rectangle(canvas.dc, b.left, b.top, b.right, b.bottom); break;
    case 1: RoundRect(canvas.dc, b.left, b.top, b.right, b.bottom, g.corner, g.corner); break;
    default: Ellipse(canvas.dc, b.left, b.top, b.right, b.bottom); break;
    }
    SelectObject(canvas.dc, oldPen);
    SelectObject(canvas.dc, oldBrush);
    DeleteObject(outline);
    DeleteObject(white);
    if (!canvas.CopyTo(drawing))
        return false;
    // Green carries only the text.
    BYTE* p = drawing->GetBuffer(0, 0);
    for (size_t i = 0, n = static_cast<size_t>(w) * h; i < n; ++i)
        p[i * 4 + 1] = 0;
    for (UINT y = 0; y < bh; ++y) {
        const int dy = g.textOrigin.y + static_cast<int>(y);
        if (dy < 0 || dy >= h)
            continue;
        for (UINT x = 0; x < bw; ++x) {
            const int dx = g.textOrigin.x + static_cast<int>(x);
            if (dx >= 0 && dx < w)
                drawing->GetBuffer(dx, dy)[1] = block.GetBuffer(static_cast<int>(x), static_cast<int>(y))[1];
        }
    }
    return true;
}

// Balloon colour at the shape's coverage, blended toward the text colour by
// the text's coverage; the text colour's alpha is not used.
void ColourBalloon(CQLImage* image, COLORREF balloon, const BYTE text[4])
{
    const int fill[3] = {GetBValue(balloon), GetGValue(balloon), GetRValue(balloon)};
    UINT w = 0, h = 0;
    image->GetSize(&w, &h);
    BYTE* p = image->GetBuffer(0, 0);
    for (size_t i = 0, n = static_cast<size_t>(w) * h; i < n; ++i, p += 4) {
        const int shape = p[0], t = p[1];
        for (int c = 0; c < 3; ++c)
            p[c] = static_cast<BYTE>(fill[c] + (text[c] - fill[c]) * t / 255);
        p[3] = static_cast<BYTE>(shape);
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
    if (w == 0 || h == 0)
        return FALSE;
    const UINT tw = (w + 3) / 4, th = (h + 3) / 4;
    if (target->Create(tw, th) != 0)
        return FALSE;
    std::vector<unsigned> sums(static_cast<size_t>(tw) * 4);
    for (UINT ty = 0; ty < th; ++ty) {
        std::fill(sums.begin(), sums.end(), 0u);
        for (UINT y = ty * 4; y < std::min(h, ty * 4 + 4); ++y) {
            const BYTE* row = source.GetBuffer(0, static_cast<int>(y));
            for (UINT x = 0; x < w; ++x)
                for (int c = 0; c < 4; ++c)
                    sums[(x / 4) * 4 + c] += row[x * 4 + c];
        }
        BYTE* out = target->GetBuffer(0, static_cast<int>(ty));
        for (size_t i = 0; i < sums.size(); ++i)
            out[i] = static_cast<BYTE>(sums[i] / 16);
    }
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
    CQLImage block;
    if (!DrawTextBlock(style, text, &block))
        return FALSE;
    CQLImage reduced;
    if (style.balloonShape < 0 || style.balloonShape > 3) {
        if (!ReduceBy4(block, &reduced))
            return FALSE;
        block.Free();
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
    CQLImage drawing;
    if (!DrawBalloon(style, block, &drawing))
        return FALSE;
    block.Free();
    if (!ReduceBy4(drawing, &reduced))
        return FALSE;
    ColourBalloon(&reduced, style.balloonColour, style.colour);
    *object = std::move(reduced);
    *objectKind = 0;
    return TRUE;
}
