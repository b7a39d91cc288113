#include "collage/Compose.h"

#include "imagecore/ParallelFor.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>

namespace collage {

bool BoxPhoto::HasPhoto() const
{
    UINT w, h;
    photo.GetSize(&w, &h);
    return w > 0 && h > 0;
}

void BoxPhoto::Clear()
{
    std::memset(name, 0, sizeof name);
    std::memset(path, 0, sizeof path);
    photo.Free();
    range = RECT{0, 0, 0, 0};
}

int HlsHue(int b, int g, int r)
{
    const int mx = std::max({r, g, b}), mn = std::min({r, g, b});
    const int delta = mx - mn;
    if (delta == 0)
        return 0;
    const int rt = ((mx - r) * 85 + delta) / (2 * delta);
    const int gt = ((mx - g) * 85 + delta) / (2 * delta);
    const int bt = ((mx - b) * 85 + delta) / (2 * delta);
    int hue;
    if (r == mx)
        hue = bt - gt;
    else if (g == mx)
        hue = 85 + rt - bt;
    else
        hue = 170 + gt - rt;
    return ((hue % 256) + 256) % 256;
}

namespace {

int HueDistance(int a, int b)
{
    const int d = std::abs(a - b) & 255;
    return std::min(d, 256 - d);
}

BYTE Clamp255(int v) { return static_cast<BYTE>(std::clamp(v, 0, 255)); }

} // namespace

size_t MattingKey(CQLImage* picture, MattingColour key)
{
    UINT w, h;
    picture->GetSize(&w, &h);
    const int width = static_cast<int>(w), height = static_cast<int>(h);
    if (width <= 0 || height <= 0)
        return 0;
    BYTE keyPixel[4] = {0, 0, 0, 255};
    if (key == MattingColour::Red)
        keyPixel[2] = 255;
    else if (key == MattingColour::Green)
        keyPixel[1] = 255;
    else
        keyPixel[0] = 255;
    const int keyB = keyPixel[0], keyG = keyPixel[1], keyR = keyPixel[2];
    BYTE hsb[4] = {keyPixel[0], keyPixel[1], keyPixel[2], 255};
    CQLImageCodec().RGB2HSB(hsb, 1);
    const int keyHue = hsb[2];

    // Pass 1: alpha from hue closeness and colourfulness, and its histogram.
    size_t histogram[256] = {};
    std::mutex merge;
    imagecore::ParallelFor(0, height, w, [&](int y0, int y1) {
        size_t local[256] = {};
        for (int y = y0; y < y1; ++y) {
            BYTE* p = picture->GetBuffer(0, y);
            for (int x = 0; x < width; ++x, p += 4) {
                const int d = HueDistance(HlsHue(p[0], p[1], p[2]), keyHue);
                const int k = d < 32 ? 255 : d < 48 ? (48 - d) * 255 / 16 : 0;
                const int l = (std::max({p[0], p[1], p[2]}) + std::min({p[0], p[1], p[2]})) / 2;
                const int s = (p[0] - l) * (p[0] - l) + (p[1] - l) * (p[1] - l) + (p[2] - l) * (p[2] - l);
                const int a = std::max(0, 255 - static_cast<int>(std::sqrt(double(s)) * k * 0.00392156862745098));
                p[3] = static_cast<BYTE>(a);
                ++local[a];
            }
        }
        std::lock_guard lock(merge);
        for (int i = 0; i < 256; ++i)
            histogram[i] += local[i];
    });

    const size_t n = size_t{w} * h;
    int threshold = 0;
    if (n >= 20) {
        size_t sum = 0;
        while (threshold < 250 && sum < n / 20)
            sum += histogram[threshold++];
    }

    // Pass 2: stretch alpha above the threshold and take the key colour out.
    std::atomic<size_t> transparent{0};
    imagecore::ParallelFor(0, height, w, [&](int y0, int y1) {
        size_t count = 0;
        for (int y = y0; y < y1; ++y) {
            BYTE* p = picture->GetBuffer(0, y);
            for (int x = 0; x < width; ++x, p += 4) {
                const int a = p[3];
                const int na = a < threshold ? 0 : a < 253 ? (a - threshold) * 255 / (252 - threshold) : 255;
                p[3] = static_cast<BYTE>(na);
                if (na < 255)
                    ++count;
                if (na == 0)
                    continue;
                const int b = Clamp255((p[0] * 255 - keyB * (255 - na)) / na);
                const int g = Clamp255((p[1] * 255 - keyG * (255 - na)) / na);
                const int r = Clamp255((p[2] * 255 - keyR * (255 - na)) / na);
                const int u = HueDistance(HlsHue(b, g, r), keyHue);
                const int l = (std::max({b, g, r}) + std::min({b, g, r})) / 2;
                const int wgt = u <= 23 ? 0 : u > 63 ? 255 : (u - 24) * 255 / 40;
                const int m = na * wgt / 255;
                p[0] = static_cast<BYTE>(((255 - m) * l + m * b) / 255);
                p[1] = static_cast<BYTE>(((255 - m) * l + m * g) / 255);
                p[2] = static_cast<BYTE>(((255 - m) * l + m * r) / 255);
            }
        }
        transparent += count;
    });
    return transparent;
}

CPixel SamplePhotoForBox(const CQLImage& photo, const RECT& range, const AffineMap maps[4], int x, int y)
{
    double u[4], v[4];
    double mu = 0, mv = 0;
    for (int i = 0; i < 4; ++i) {
        u[i] = maps[i].a1 * x + maps[i].b1 * y + maps[i].c1;
        v[i] = maps[i].a2 * x + maps[i].b2 * y + maps[i].c2;
        mu += u[i];
        mv += v[i];
    }
    mu /= 4;
    mv /= 4;
    const double rw = double(range.right) - range.left, rh = double(range.bottom) - range.top;
    const double s = rw != 0 ? std::clamp((mu - range.left) / rw, 0.0, 1.0) : 0.0;
    const double t = rh != 0 ? std::clamp((mv - range.top) / rh, 0.0, 1.0) : 0.0;
    const double w0 = (1 - s) * (1 - t), w1 = s * (1 - t), w2 = s * t, w3 = (1 - s) * t;
    const double fu = w0 * u[0] + w1 * u[1] + w2 * u[2] + w3 * u[3];
    const double fv = w0 * v[0] + w1 * v[1] + w2 * v[2] + w3 * v[3];
    UINT pw, ph;
    photo.GetSize(&pw, &ph);
    if (!(fu >= 0 && fv >= 0 && fu <= pw && fv <= ph) || pw == 0 || ph == 0)
        return CPixel{0, 0, 0, 255};
    const int x0 = static_cast<int>(fu), y0 = static_cast<int>(fv);
    const int fx = static_cast<int>((fu - x0) * 256), fy = static_cast<int>((fv - y0) * 256);
    const int lastX = static_cast<int>(pw) - 1, lastY = static_cast<int>(ph) - 1;
    const int xa = std::min(x0, lastX), xb = std::min(x0 + 1, lastX);
    const int ya = std::min(y0, lastY), yb = std::min(y0 + 1, lastY);
    const BYTE* c00 = photo.GetBuffer(xa, ya);
    const BYTE* c10 = photo.GetBuffer(xb, ya);
    const BYTE* c01 = photo.GetBuffer(xa, yb);
    const BYTE* c11 = photo.GetBuffer(xb, yb);
    BYTE out[3];
    for (int c = 0; c < 3; ++c) {
        const int top = (c00[c] * (256 - fx) + c10[c] * fx) >> 8;
        const int bottom = (c01[c] * (256 - fx) + c11[c] * fx) >> 8;
        out[c] = static_cast<BYTE>((top * (256 - fy) + bottom * fy) >> 8);
    }
    return CPixel{out[0], out[1], out[2], 255};
}

namespace {

struct BoxSource {
    const CQLImage* photo = nullptr; // null: checkerboard
    RECT range{0, 0, 0, 0};
    AffineMap maps[4];
};

} // namespace

namespace {

// The photo box i shows: its own, else the last earlier box's of the same path.
const BoxPhoto* PhotoOwner(const BoxPhoto photos[kMaxBoxes], int i)
{
    if (photos[i].HasPhoto())
        return &photos[i];
    if (photos[i].path[0])
        for (int j = i - 1; j >= 0; --j)
            if (photos[j].HasPhoto() && std::strcmp(photos[j].path, photos[i].path) == 0)
                return &photos[j];
    return nullptr;
}

} // namespace

unsigned BoxesWithoutPhoto(const CollageTemplate& tpl, const BoxPhoto photos[kMaxBoxes])
{
    unsigned mask = 0;
    const int count = static_cast<int>(std::min<size_t>(tpl.boxes.size(), kMaxBoxes));
    for (int i = 0; i < count; ++i)
        if (!PhotoOwner(photos, i))
            mask |= 1u << i;
    return mask;
}

bool ComposeCollage(const CollageTemplate& tpl, const BoxPhoto photos[kMaxBoxes], CQLImage* result,
                    const std::atomic<bool>* cancel)
{
    const int w = tpl.FrameWidth(), h = tpl.FrameHeight();
    UINT mw, mh;
    tpl.boxMap.GetSize(&mw, &mh);
    if (w <= 0 || h <= 0 || static_cast<int>(mw) != w || static_cast<int>(mh) != h)
        return false;
    const int count = static_cast<int>(std::min<size_t>(tpl.boxes.size(), kMaxBoxes));
    BoxSource sources[kMaxBoxes];
    for (int i = 0; i < count; ++i) {
        const BoxPhoto* owner = PhotoOwner(photos, i);
        if (owner && CornerMaps(tpl.boxes[i], photos[i].range, sources[i].maps)) {
            sources[i].photo = &owner->photo;
            sources[i].range = photos[i].range;
        }
    }
    if (!result->DuplicateFrom(&tpl.frame))
        return false;
    const int cell = CheckerCell(w, h);
    std::atomic<bool> failed{false};
    imagecore::ParallelFor(0, h, static_cast<std::size_t>(w) * 4, [&](int y0, int y1) {
        for (int y = y0; y < y1 && !failed; ++y) {
            if (cancel && *cancel) {
                failed = true;
                return;
            }
            BYTE* out = result->GetBuffer(0, y);
            const BYTE* map = tpl.boxMap.GetBuffer(0, y);
            for (int x = 0; x < w; ++x, out += 4) {
                const int a = out[3];
                if (a == 255)
                    continue;
                const int index = map[x];
                CPixel colour{0, 0, 0, 255};
                if (index != kNoBox) {
                    if (index >= count) {
                        failed = true;
                        return;
                    }
                    const BoxSource& src = sources[index];
                    if (src.photo) {
                        colour = SamplePhotoForBox(*src.photo, src.range, src.maps, x, y);
                    } else {
                        const BYTE grey = CheckerGrey(x, y, cell);
                        colour = CPixel{grey, grey, grey, 255};
                    }
                }
                out[0] = static_cast<BYTE>((a * out[0] + (255 - a) * colour.b) / 255);
                out[1] = static_cast<BYTE>((a * out[1] + (255 - a) * colour.g) / 255);
                out[2] = static_cast<BYTE>((a * out[2] + (255 - a) * colour.r) / 255);
            }
        }
    });
    return !failed;
}

} // namespace collage
