#include "editor/retouch/FrameRenderer.h"

#include "algorithms/ResampleAlgorithm.h"
#include "algorithms/SeparableResizeAlgorithm.h"
#include "imagecore/ParallelFor.h"
#include "platform/afx/WinGdi.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

constexpr int kMaxSide = 32767;

int Grey(CPixel p)
{
    return (p.g * 6 + p.r * 3 + p.b) / 10;
}

BYTE Mix255(int base, int colour, int a)
{
    return static_cast<BYTE>(std::min(255, (base * (255 - a) + colour * a) / 255));
}

bool Inside(const RECT& r, int x, int y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

RECT Grow(const RECT& r, int left, int top, int right, int bottom)
{
    return {r.left - left, r.top - top, r.right + right, r.bottom + bottom};
}

// Hue on a circle of 256 steps, as the key colour pass measures it.
int KeyHue(int b, int g, int r)
{
    const int mx = std::max({b, g, r}), mn = std::min({b, g, r});
    if (mx == mn)
        return 0;
    const int d = mx - mn;
    const int hr = ((mx - r) * 255 / 3 + d) / (2 * d);
    const int hg = ((mx - g) * 255 / 3 + d) / (2 * d);
    const int hb = ((mx - b) * 255 / 3 + d) / (2 * d);
    int hue;
    if (r == mx)
        hue = hb - hg;
    else if (g == mx)
        hue = hr - hb + 85;
    else
        hue = hg - hr - 86;
    return hue & 0xFF;
}

int HueDistance(int a, int b)
{
    const int d = std::abs(a - b);
    return std::min(d, 256 - d);
}

enum ColourClass { kNone, kRed, kGreen, kBlue };

ColourClass Classify(CPixel p)
{
    if (p.r > p.g + 16 && p.r > p.b + 16)
        return kRed;
    if (p.g > p.b + 16 && p.g > p.r + 16)
        return kGreen;
    if (p.b > p.g + 16 && p.b > p.r + 16)
        return kBlue;
    return kNone;
}

const char* FormatShutter(double t, char* buffer, std::size_t size)
{
    if (t >= 0.5)
        std::snprintf(buffer, size, "%.1f", t);
    else
        std::snprintf(buffer, size, "1/%d", static_cast<int>(1 / t + 0.5));
    return buffer;
}

}  // namespace

CPixel FrameRenderer::BlendPixelOver(CPixel base, CPixel colour)
{
    return {Mix255(base.b, colour.b, colour.a), Mix255(base.g, colour.g, colour.a), Mix255(base.r, colour.r, colour.a),
            base.a};
}

int FrameRenderer::GetCornerOpacity(int x, int y, int r, const RECT& rect)
{
    if (r == 0)
        return 100;
    const int c = 2 * r;
    const int h = std::min({x - static_cast<int>(rect.left), static_cast<int>(rect.right) - x, 100000});
    const int v = std::min({y - static_cast<int>(rect.top), static_cast<int>(rect.bottom) - y, 100000});
    const int dx = h < c ? c - h : 0;
    const int dy = v < c ? c - v : 0;
    if (dx == 0 && dy == 0)
        return 100;
    const double d = std::sqrt(double(dx) * dx + double(dy) * dy);
    if (d > c)
        return 0;
    return static_cast<int>((c - d) * 100 / c);
}

HRESULT FrameRenderer::Apply(const void* params)
{
    m_template = static_cast<const FrameTemplate*>(params);
    if (!m_template || EffectAlgorithm::Apply(params) != 0)
        return E_FAIL;
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    m_photoWidth = static_cast<int>(w);
    m_photoHeight = static_cast<int>(h);
    m_signatureReady = false;
    const HRESULT result = m_template->m_imageBased ? ApplyImageBased() : ApplyDrawn();
    if (result == 0)
        Progress(100);
    return result;
}

HRESULT FrameRenderer::ApplyDrawn()
{
    if (!Canvas())
        return E_FAIL;
    Border();
    Rectangles();
    if (!Signature())
        return E_FAIL;
    if (!Logo())
        return kLogoFailed;
    // Drawn once more, over the logo.
    return Signature() ? 0 : E_FAIL;
}

bool FrameRenderer::Canvas()
{
    const CanvasSettings& c = m_template->m_canvas;
    const int left = c.left.Resolve(m_photoWidth), right = c.right.Resolve(m_photoWidth);
    const int top = c.top.Resolve(m_photoHeight), bottom = c.bottom.Resolve(m_photoHeight);
    const std::int64_t tw = std::int64_t{m_photoWidth} + left + right;
    const std::int64_t th = std::int64_t{m_photoHeight} + top + bottom;
    if (tw < 1 || th < 1 || tw > kMaxSide || th > kMaxSide ||
        target->Create(static_cast<UINT>(tw), static_cast<UINT>(th)) != 0)
        return false;
    m_photo = {left, top, static_cast<LONG>(tw - right), static_cast<LONG>(th - bottom)};
    for (int y = 0; y < th; ++y) {
        for (int x = 0; x < tw; ++x)
            target->PutPixel(x, y, Inside(m_photo, x, y) ? source->GetPixel2(x - left, y - top) : c.colour);
        if (y % 20 == 0)
            Progress(static_cast<int>(y * 20 / th));
    }
    return true;
}

void FrameRenderer::Border()
{
    const BorderSettings& b = m_template->m_border;
    if (!b.enabled || b.type > 3)
        return;
    const int leftSigned = b.left.Resolve(m_photoWidth);
    const int left = std::abs(leftSigned), right = std::abs(b.right.Resolve(m_photoWidth));
    const int top = std::abs(b.top.Resolve(m_photoHeight)), bottom = std::abs(b.bottom.Resolve(m_photoHeight));
    const bool over = leftSigned < 0; // a border over the photo's edge
    const RECT outer = over ? m_photo : Grow(m_photo, left, top, right, bottom);
    const RECT inner = over ? Grow(m_photo, -left, -top, -right, -bottom) : m_photo;
    const RECT& slope = over ? inner : outer; // the two-colour diagonal

    const int blur = b.shadowBlur.Resolve(m_photoWidth);
    const int sx = b.shadowX.Resolve(m_photoWidth), sy = b.shadowY.Resolve(m_photoHeight);
    RECT shadow = Grow(outer, blur, blur, blur, blur);
    shadow = {shadow.left + sx, shadow.top + sy, shadow.right + sx, shadow.bottom + sy};

    UINT tw = 0, th = 0;
    target->GetSize(&tw, &th);
    for (int y = 0; y < static_cast<int>(th); ++y) {
        for (int x = 0; x < static_cast<int>(tw); ++x) {
            const CPixel t = target->GetPixel2(x, y);
            const bool band = Inside(outer, x, y) && !Inside(inner, x, y);
            if (!band) {
                if (b.type == 1 && !Inside(outer, x, y) && Inside(shadow, x, y)) {
                    CPixel c = b.shadowColour;
                    c.a = static_cast<BYTE>(c.a * GetCornerOpacity(x, y, blur, shadow) / 100);
                    target->PutPixel(x, y, BlendPixelOver(t, c));
                }
                continue;
            }
            CPixel colour = b.colour;
            if (b.type == 2) {
                const double l = slope.left, tp = slope.top, r = slope.right, bt = slope.bottom;
                if (r != l && (bt - tp) / (r - l) * (x - l) >= bt - y - 1)
                    colour = b.rightBottomColour;
            } else if (b.type == 3) {
                const bool odd = b.pattern == 0   ? (y & 1)
                                 : b.pattern == 1 ? (x & 1)
                                 : b.pattern == 2 ? ((x | y) & 1)
                                                  : ((x + y) & 1);
                colour = odd ? b.colour : b.secondColour;
            }
            target->PutPixel(x, y, BlendPixelOver(t, colour));
        }
        if (y % 20 == 0)
            Progress(20 + static_cast<int>(y * 20 / static_cast<int>(th)));
    }
}

void FrameRenderer::Rectangles()
{
    UINT tw = 0, th = 0;
    target->GetSize(&tw, &th);
    const RECT bounds{0, 0, static_cast<LONG>(tw), static_cast<LONG>(th)};
    const auto blend = [&](int x, int y, CPixel colour) {
        if (Inside(bounds, x, y))
            target->PutPixel(x, y, BlendPixelOver(target->GetPixel2(x, y), colour));
    };
    const auto& rects = m_template->m_rectangles;
    for (std::size_t i = 0; i < rects.size(); ++i) {
        const FrameRectangle& r = rects[i];
        const int width = std::clamp(static_cast<int>(r.lineWidth), 0, 5);
        const int half = width / 2;
        int x0 = m_photo.left - half - r.left.Resolve(m_photoWidth);
        int x1 = m_photo.right + r.right.Resolve(m_photoWidth) + half;
        int y0 = m_photo.top - half - r.top.Resolve(m_photoHeight);
        int y1 = m_photo.bottom + r.bottom.Resolve(m_photoHeight) + half;
        for (int n = 0; n < width; ++n, ++x0, ++y0, --x1, --y1) {
            // Only the part of each line inside the target is walked.
            const int xa = std::max(x0, 0), xb = std::min(x1, static_cast<int>(tw));
            for (int x = xa; x < xb; ++x) {
                blend(x, y0, r.colour);
                if (y1 - 1 != y0)
                    blend(x, y1 - 1, r.colour);
            }
            const int ya = std::max(y0 + 1, 0), yb = std::min(y1 - 1, static_cast<int>(th));
            for (int y = ya; y < yb; ++y) {
                blend(x0, y, r.colour);
                if (x1 - 1 != x0)
                    blend(x1 - 1, y, r.colour);
            }
        }
        Progress(40 + static_cast<int>(i * 20 / rects.size()));
    }
}

bool FrameRenderer::Signature()
{
    const SignatureSettings& s = m_template->m_signature;
    if (!s.enabled)
        return true;
    std::string text;
    FormatCaption(s.text, text);
    const int height = s.height.Resolve(m_photoHeight);
    if (text.empty() || height < 1)
        return true; // nothing to draw
    if (!m_signatureReady && !RenderSignature(s, text, height))
        return false;
    m_signatureReady = true;
    Progress(70);
    UINT sw = 0, sh = 0;
    m_signatureText.GetSize(&sw, &sh);
    const int w = static_cast<int>(sw), h = static_cast<int>(sh);
    if (w < 1 || h < 1)
        return true;
    const CQLImage& small = m_signatureText;

    int x = m_photo.left + s.x.Resolve(m_photoWidth);
    const int y = m_photo.top + s.y.Resolve(m_photoHeight);
    if (s.align == 1)
        x -= w;
    else if (s.align == 2)
        x -= w / 2;
    UINT tw = 0, th = 0;
    target->GetSize(&tw, &th);
    for (int j = 0; j < h; ++j) {
        const int ty = y + j;
        if (ty < 0 || ty >= static_cast<int>(th))
            continue;
        for (int i = 0; i < w; ++i) {
            const int tx = x + i;
            const BYTE o = small.GetPixel2(i, j).r;
            if (o == 255 || tx < 0 || tx >= static_cast<int>(tw))
                continue;
            const int k = 255 - o;
            const CPixel t = target->GetPixel2(tx, ty);
            target->PutPixel(tx, ty, {Mix255(t.b, s.colour.b, k), Mix255(t.g, s.colour.g, k),
                                      Mix255(t.r, s.colour.r, k), t.a});
        }
    }
    Progress(80);
    return true;
}

// Drawn at six times the size and scaled down for smooth edges; a text too
// wide for that is drawn at the largest smaller factor that fits.
bool FrameRenderer::RenderSignature(const SignatureSettings& s, const std::string& text, int height)
{
    CQLImage big;
    int factor = 6;
    for (; factor >= 1; --factor) {
        if (!RenderTextToImage(s.face, height * factor, text.c_str(), &big))
            return false;
        UINT bw = 0, bh = 0;
        big.GetSize(&bw, &bh);
        if (bw <= kMaxSide && bh <= kMaxSide)
            break;
    }
    if (factor < 1)
        return false;
    UINT bw = 0, bh = 0;
    big.GetSize(&bw, &bh);
    const int w = static_cast<int>(bw) / factor, h = static_cast<int>(bh) / factor;
    if (w < 1 || h < 1) {
        m_signatureText.Free();
        return true;
    }
    return CQLImageCodec().Resample(&big, &m_signatureText, w, h, 1) != 0;
}

bool FrameRenderer::Logo()
{
    const LogoSettings& l = m_template->m_logo;
    if (!l.enabled)
        return true;
    CQLImageCodec codec;
    CQLImage logo, mask;
    if (!codec.LoadFile(l.path, &logo))
        return false;
    if (l.mode == 2 && !codec.LoadFile(l.maskPath, &mask))
        return false;
    if (l.mode == 3) {
        if (!mask.DuplicateFrom(&logo))
            return false;
        UINT mw = 0, mh = 0;
        mask.GetSize(&mw, &mh);
        for (UINT y = 0; y < mh; ++y)
            for (UINT x = 0; x < mw; ++x) {
                const BYTE a = mask.GetPixel2(x, y).a;
                mask.PutPixel(x, y, {a, a, a, a});
            }
    }
    UINT lw = 0, lh = 0;
    logo.GetSize(&lw, &lh);
    const int w = l.width.Resolve(m_photoHeight);
    const int h = lw ? static_cast<int>(std::int64_t{w} * lh / lw) : 0;
    const int left = m_photo.left + l.x.Resolve(m_photoWidth);
    const int top = m_photo.top + l.y.Resolve(m_photoHeight);
    Progress(85);
    const bool masked = l.mode == 2 || l.mode == 3;
    if (w < 1 || h < 1 || w > kMaxSide || h > kMaxSide || !codec.Resample(&logo, &logo, w, h, 1) ||
        (masked && !codec.Resample(&mask, &mask, w, h, 1)))
        return false;
    Progress(90);
    UINT tw = 0, th = 0;
    target->GetSize(&tw, &th);
    for (int j = 0; j < h; ++j) {
        const int ty = top + j;
        if (ty < 0 || ty >= static_cast<int>(th))
            continue;
        for (int i = 0; i < w; ++i) {
            const int tx = left + i;
            if (tx < 0 || tx >= static_cast<int>(tw))
                continue;
            const CPixel L = logo.GetPixel2(i, j), T = target->GetPixel2(tx, ty);
            if (l.mode == 0) {
                if (Grey(T) < Grey(L))
                    target->PutPixel(tx, ty, L);
            } else if (l.mode == 1) {
                if (Grey(L) < Grey(T))
                    target->PutPixel(tx, ty, L);
            } else if (masked) {
                const int m = Grey(mask.GetPixel2(i, j));
                if (m != 0)
                    target->PutPixel(tx, ty, {Mix255(T.b, L.b, m), Mix255(T.g, L.g, m), Mix255(T.r, L.r, m), T.a});
            }
        }
    }
    Progress(100);
    return true;
}

bool FrameRenderer::FindPhotoWindow(const CQLImage& picture, CPixel key, RECT* window)
{
    const ColourClass want = Classify(key);
    UINT pw = 0, ph = 0;
    picture.GetSize(&pw, &ph);
    // Bounding box of the key's class, per band of rows, then merged.
    struct Box {
        int cl = INT32_MAX, cr = -1, rt = INT32_MAX, rb = -1;
    };
    std::mutex lock;
    Box all;
    imagecore::ParallelFor(0, static_cast<int>(ph), pw, [&](int from, int to) {
        Box box;
        for (int y = from; y < to; ++y) {
            const auto* row = reinterpret_cast<const CPixel*>(picture.GetBuffer(0, y));
            for (int x = 0; x < static_cast<int>(pw); ++x)
                if (Classify(row[x]) == want) {
                    box.cl = std::min(box.cl, x);
                    box.cr = std::max(box.cr, x);
                    box.rt = std::min(box.rt, y);
                    box.rb = std::max(box.rb, y);
                }
        }
        const std::lock_guard<std::mutex> hold(lock);
        all = {std::min(all.cl, box.cl), std::max(all.cr, box.cr), std::min(all.rt, box.rt), std::max(all.rb, box.rb)};
    });
    const int cl = all.cl, cr = all.cr, rt = all.rt, rb = all.rb;
    if (cr < 0)
        return false;
    const int wl = cl > 0 ? cl - 1 : 0, wt = rt > 0 ? rt - 1 : 0;
    const int ww = cr - wl + 1, wh = rb - wt + 1;
    if (ww <= 64 || wh <= 64)
        return false;
    *window = {wl, wt, wl + ww, wt + wh};
    return true;
}

void FrameRenderer::ApplyKeyColour(CQLImage& picture, CPixel key)
{
    CPixel hsb = key;
    CQLImageCodec().RGB2HSB(&hsb, 1);
    const int keyHue = hsb.r; // byte 2: hue
    UINT pw = 0, ph = 0;
    picture.GetSize(&pw, &ph);
    const std::size_t count = std::size_t{pw} * ph;
    auto* pixels = reinterpret_cast<CPixel*>(picture.GetBuffer(0, 0));

    std::size_t histogram[256] = {};
    for (std::size_t i = 0; i < count; ++i) {
        CPixel& p = pixels[i];
        const int d = HueDistance(KeyHue(p.b, p.g, p.r), keyHue);
        const int f = d < 32 ? 255 : d < 48 ? (48 - d) * 255 / 16 : 0;
        const int mx = std::max({p.b, p.g, p.r}), mn = std::min({p.b, p.g, p.r});
        const int l = (mx + mn) / 2;
        const double s = std::sqrt(double(p.b - l) * (p.b - l) + double(p.g - l) * (p.g - l) + double(p.r - l) * (p.r - l));
        p.a = static_cast<BYTE>(std::max(0, 255 - static_cast<int>(s * f / 255)));
        ++histogram[p.a];
    }
    int t = 0;
    if (count >= 20) {
        std::size_t sum = 0;
        for (int i = 0; i < 256; ++i) {
            sum += histogram[i];
            ++t;
            if (sum >= count / 20)
                break;
        }
        if (t >= 251)
            t = 250;
    }
    for (std::size_t i = 0; i < count; ++i) {
        CPixel& p = pixels[i];
        const int a = p.a < t ? 0 : p.a >= 253 ? 255 : (p.a - t) * 255 / (252 - t);
        p.a = static_cast<BYTE>(a);
        if (a == 0)
            continue;
        // Take the key colour's share out, then grey what stays near its hue.
        const auto unmix = [a](int c, int k) { return std::clamp((c * 255 + (a - 255) * k) / a, 0, 255); };
        const int b = unmix(p.b, key.b), g = unmix(p.g, key.g), r = unmix(p.r, key.r);
        const int k = HueDistance(KeyHue(b, g, r), keyHue);
        const int q = k < 24 ? 0 : k >= 64 ? 255 : (k * 255 - 6120) / 40;
        const int n = q * a / 255;
        const int l = (std::max({b, g, r}) + std::min({b, g, r})) / 2;
        p.b = static_cast<BYTE>((b * n + l * (255 - n)) / 255);
        p.g = static_cast<BYTE>((g * n + l * (255 - n)) / 255);
        p.r = static_cast<BYTE>((r * n + l * (255 - n)) / 255);
    }
}

HRESULT FrameRenderer::ApplyImageBased()
{
    CQLImage picture;
    const bool portrait = !(m_photoHeight < m_photoWidth);
    if (!m_template->ReadPicture(portrait, &picture))
        return E_FAIL;
    RECT window{};
    if (!FindPhotoWindow(picture, m_template->m_freeShape.keyColour, &window))
        return E_FAIL;
    UINT pw = 0, ph = 0;
    picture.GetSize(&pw, &ph);
    const double sx = double(m_photoWidth) / (window.right - window.left);
    const double sy = double(m_photoHeight) / (window.bottom - window.top);
    const std::int64_t frameW = static_cast<std::int64_t>(pw * sx), frameH = static_cast<std::int64_t>(ph * sy);
    const int offX = static_cast<int>(window.left * sx), offY = static_cast<int>(window.top * sy);
    const std::int64_t tw = std::max<std::int64_t>(frameW, std::int64_t{offX} + m_photoWidth);
    const std::int64_t th = std::max<std::int64_t>(frameH, std::int64_t{offY} + m_photoHeight);
    if (tw > kMaxSide || th > kMaxSide)
        return E_FAIL;
    m_photo = {offX, offY, offX + m_photoWidth, offY + m_photoHeight};

    ResampleAlgorithm resample;
    resample.SetImages(&picture, target);
    resample.SetCallback(GetCallback());
    resample.SetRange(RangeAt(0), RangeAt(70));
    const ResizeParams size{static_cast<INT>(tw), static_cast<INT>(th)};
    if (resample.Apply(&size) != 0)
        return E_FAIL;
    Progress(70);
    ApplyKeyColour(*target, m_template->m_freeShape.keyColour);

    for (int j = 0; j < m_photoHeight; ++j)
        for (int i = 0; i < m_photoWidth; ++i) {
            const CPixel p = source->GetPixel2(i, j);
            const CPixel t = target->GetPixel2(offX + i, offY + j);
            const int a = t.a;
            target->PutPixel(offX + i, offY + j,
                             {static_cast<BYTE>((p.b * (255 - a) + t.b * a) >> 8),
                              static_cast<BYTE>((p.g * (255 - a) + t.g * a) >> 8),
                              static_cast<BYTE>((p.r * (255 - a) + t.r * a) >> 8), t.a});
        }
    return Signature() ? 0 : E_FAIL;
}

void FrameRenderer::FormatCaption(const char* text, std::string& out) const
{
    static const ExifFields kEmpty{};
    const ExifFields& f = m_exif ? *m_exif : kEmpty;
    const bool exif = f.hasExif != 0;
    out.clear();
    char buffer[64];
    for (const char* p = text; *p && out.size() < 255; ++p) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        const char code = *++p;
        if (!code)
            break;
        switch (code) {
        case 'A':
        case 'a': {
            const double fn = f.fNumber != 0 ? f.fNumber : f.aperture;
            if (exif && fn != 0) {
                std::snprintf(buffer, sizeof buffer, "F%.1f", fn);
                out += buffer;
            }
            break;
        }
        case 'C':
        case 'c':
            if (exif)
                out += f.model;
            break;
        case 'I':
        case 'i':
            if (exif && f.isoSpeed != 0) {
                std::snprintf(buffer, sizeof buffer, "ISO%d", f.isoSpeed);
                out += buffer;
            }
            break;
        case 'S':
        case 's': {
            // The exposure time is exact; the record keeps the shutter speed
            // value only to the millisecond, which turns 1/60 into 1/59.
            const double t = f.exposureTime != 0 ? f.exposureTime : f.shutterSpeed;
            if (exif && t > 0)
                out += FormatShutter(t, buffer, sizeof buffer);
            break;
        }
        case 'T':
            if (exif)
                out += f.dateTime;
            break;
        case 't':
            if (exif) {
                std::string date = f.dateTime;
                date = date.substr(0, date.find(' '));
                std::replace(date.begin(), date.end(), ':', '/');
                std::replace(date.begin(), date.end(), '-', '/');
                out += date;
            }
            break;
        case 'U':
        case 'u':
            if (m_userText)
                out += m_userText;
            break;
        default:
            break;
        }
    }
    if (out.size() > 255)
        out.resize(255);
}

int FrameRenderer::RenderTextToImage(const char* face, int height, const char* text, CQLImage* image)
{
    const auto first = static_cast<unsigned char>(face[0]);
    const BYTE charset = first == 0 || first >= 128 ? GB2312_CHARSET : ANSI_CHARSET;
    HFONT font = CreateFont(height, 0, 0, 0, 400, FALSE, FALSE, FALSE, charset, 0, 0, 0, 0, face);
    HDC dc = CreateCompatibleDC(nullptr);
    if (!font || !dc) {
        if (font)
            DeleteObject(font);
        if (dc)
            DeleteDC(dc);
        return 0;
    }
    HGDIOBJ oldFont = SelectObject(dc, font);
    const int length = static_cast<int>(std::strlen(text));
    SIZE extent{};
    int ok = GetTextExtentPoint32(dc, text, length, &extent) && extent.cx > 0 && extent.cy > 0 &&
             image->Create(static_cast<UINT>(extent.cx), static_cast<UINT>(extent.cy)) == 0;
    if (ok) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = extent.cx;
        info.bmiHeader.biHeight = -extent.cy; // top-down rows, as the image
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ok = bitmap && bits;
        if (ok) {
            HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
            PatBlt(dc, 0, 0, extent.cx, extent.cy, WHITENESS);
            SetTextColor(dc, RGB(0, 0, 0));
            SetBkMode(dc, TRANSPARENT);
            TextOut(dc, 0, 0, text, length);
            GdiFlush();
            std::memcpy(image->GetBuffer(0, 0), bits, std::size_t{image->GetAreaByteSize()});
            SelectObject(dc, oldBitmap);
        }
        if (bitmap)
            DeleteObject(bitmap);
    }
    SelectObject(dc, oldFont);
    DeleteObject(font);
    DeleteDC(dc);
    return ok ? 1 : 0;
}
