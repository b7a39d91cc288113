#include "algorithms/AntiShakeAlgorithm.h"

#include "algorithms/SmoothAlgorithm.h"
#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Windows are placed every this many pixels when picking features.
constexpr int kWindowStep = 16;

// Solves a x = b for three unknowns by elimination in row order without
// pivoting; false on a zero pivot (x untouched).
bool Solve3(double a[3][3], double b[3], double x[3])
{
    for (int col = 0; col < 3; ++col) {
        if (a[col][col] == 0)
            return false;
        for (int row = col + 1; row < 3; ++row) {
            const double f = a[row][col] / a[col][col];
            for (int k = col; k < 3; ++k)
                a[row][k] -= f * a[col][k];
            b[row] -= f * b[col];
        }
    }
    double s[3];
    for (int row = 2; row >= 0; --row) {
        double v = b[row];
        for (int k = row + 1; k < 3; ++k)
            v -= a[row][k] * s[k];
        s[row] = v / a[row][row];
    }
    std::copy(s, s + 3, x);
    return true;
}

// Sum of |a[i] - b[i]| over n bytes.
inline unsigned AbsDiffSum(const BYTE* a, const BYTE* b, int n)
{
    unsigned sum = 0;
    int i = 0;
#if defined(__SSE2__)
    __m128i acc = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16)
        acc = _mm_add_epi64(acc, _mm_sad_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i)),
                                              _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i))));
    sum = static_cast<unsigned>(_mm_cvtsi128_si32(acc) + _mm_cvtsi128_si32(_mm_srli_si128(acc, 8)));
#endif
    for (; i < n; ++i)
        sum += static_cast<unsigned>(std::abs(a[i] - b[i]));
    return sum;
}

// Sum of a[i] * b[i] over n step weights.
inline int ProductSum(const short* a, const short* b, int n)
{
    int sum = 0;
    int i = 0;
#if defined(__SSE2__)
    __m128i acc = _mm_setzero_si128();
    for (; i + 8 <= n; i += 8)
        acc = _mm_add_epi32(acc, _mm_madd_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i)),
                                                _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i))));
    acc = _mm_add_epi32(acc, _mm_srli_si128(acc, 8));
    acc = _mm_add_epi32(acc, _mm_srli_si128(acc, 4));
    sum = _mm_cvtsi128_si32(acc);
#endif
    for (; i < n; ++i)
        sum += a[i] * b[i];
    return sum;
}

} // namespace

AntiShakeAlgorithm::AntiShakeAlgorithm()
{
    for (int b = 0; b < 256; ++b) {
        const int i = b - 128;
        stepTable[b] = std::abs(i) < 4 ? 0 : (i > 0 ? i / 16 + 1 : i / 16 - 1);
    }
}

AntiShakeAlgorithm::~AntiShakeAlgorithm() = default;

HRESULT AntiShakeAlgorithm::Apply(const void* params)
{
    // Every run starts from no displacement, so that a failed or skipped run
    // never hands on the previous shot's mapping.
    mapping = ShakeMapping{};
    transformValid = 1;
    std::fill(std::begin(points), std::end(points), ShakeVector{});
    std::fill(std::begin(shifts), std::end(shifts), ShakeVector{});
    if (EffectAlgorithm::Apply(params) != 0 || !params || target->GetAreaByteSize() == 0)
        return E_FAIL;
    UINT sw = 0, sh = 0, tw = 0, th = 0;
    source->GetSize(&sw, &sh);
    target->GetSize(&tw, &th);
    if (sw != tw || sh != th)
        return E_FAIL;
    std::memcpy(&param, params, sizeof param);
    if (!param.enabled) {
        Progress(100);
        return 0;
    }

    const int width = static_cast<int>(sw), height = static_cast<int>(sh);
    const int diagonal = static_cast<int>(std::sqrt(static_cast<double>(sw) * sw + static_cast<double>(sh) * sh));
    switch (param.searchSize) {
    case 0:
        halfWindow = 20;
        searchRadius = diagonal / 40;
        break;
    case 2:
        halfWindow = 60;
        searchRadius = diagonal / 12;
        break;
    default:
        halfWindow = 40;
        searchRadius = diagonal / 20;
        break;
    }
    // A quadrant that cannot hold a window would send the search outside the
    // image: refuse before touching either shot.
    Region regions[4];
    if (!Regions(width, height, regions))
        return E_FAIL;

    if (!(blurredMatchMode ? PrepareBlurred() : PrepareGrey()))
        return E_FAIL;
    Progress(5);
    if (TestCancel())
        return E_FAIL;

    try {
        static const int afterRegion[4] = {9, 13, 17, 20};
        for (int i = 0; i < 4; ++i) {
            points[i] = FindFeature(regions[i]);
            Progress(afterRegion[i]);
        }
        if (TestCancel())
            return E_FAIL;

        for (int i = 0; i < 4; ++i) {
            const ShakeVector coarse = CoarseSearch(points[i]);
            Progress(20 * i + 35);
            if (TestCancel())
                return E_FAIL;
            shifts[i] = FineSearch(points[i], coarse);
            Progress(20 * i + 39);
            if (TestCancel())
                return E_FAIL;
        }
    } catch (const std::bad_alloc&) {
        return E_FAIL; // the search buffers
    }
    Progress(100);
    Fit();
    return 0;
}

bool AntiShakeAlgorithm::Regions(int width, int height, Region out[4]) const
{
    const int m = searchRadius + 2, side = 2 * halfWindow;
    const int xs[2][2] = {{m, width / 2 - width / 30}, {width / 2 + width / 30, width - m}};
    const int ys[2][2] = {{m, height / 2 - height / 30}, {height / 2 + height / 30, height - m}};
    for (int i = 0; i < 4; ++i) {
        const int* x = xs[i & 1];
        const int* y = ys[i >> 1];
        out[i] = {x[0], x[1], y[0], y[1]};
        if (x[0] >= x[1] - side || y[0] >= y[1] - side)
            return false;
    }
    return true;
}

bool AntiShakeAlgorithm::PrepareGrey()
{
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    if (edgeMap.Create(w, h) != 0)
        return false;
    source->BuildGrayChannel();
    target->BuildGrayChannel();
    BuildEdgeMap();
    return true;
}

bool AntiShakeAlgorithm::PrepareBlurred()
{
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    if (edgeMap.Create(w, h) != 0)
        return false;
    if (!HighPass(*source, false))
        return false;
    BuildEdgeMap();
    return HighPass(*target, true);
}

// The image's alpha (or, with wholePixel, all four bytes) becomes
// clamp(grey(smoothed) - grey(image) + 128, 0, 255).
bool AntiShakeAlgorithm::HighPass(CQLImage& image, bool wholePixel)
{
    SmoothAlgorithm smooth;
    smooth.SetImages(&image, &work);
    const SmoothParams radius = {32};
    if (smooth.Apply(&radius) != 0)
        return false;
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    imagecore::ParallelFor(0, static_cast<int>(h), std::size_t{w} * 4, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            BYTE* p = image.GetBuffer(0, y);
            const BYTE* s = work.GetBuffer(0, y);
            for (UINT x = 0; x < w; ++x, p += 4, s += 4) {
                const BYTE v = static_cast<BYTE>(std::clamp(GrayOf(s) - GrayOf(p) + 128, 0, 255));
                if (wholePixel)
                    p[0] = p[1] = p[2] = v;
                p[3] = v;
            }
        }
    });
    return true;
}

// max(|left column - right column|, |top row - bottom row|) of the 3 x 3 sums
// of the source's alpha, saturated at 255 so that a strong edge (up to 765)
// never reads as a weak one; the outer frame stays 0.
void AntiShakeAlgorithm::BuildEdgeMap()
{
    UINT uw = 0, uh = 0;
    source->GetSize(&uw, &uh);
    const int w = static_cast<int>(uw), h = static_cast<int>(uh);
    imagecore::ParallelFor(0, h, uw, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            BYTE* out = edgeMap.GetBuffer(0, y);
            std::memset(out, 0, uw);
            if (y == 0 || y == h - 1)
                continue;
            const BYTE* up = source->GetBuffer(0, y - 1) + 3;
            const BYTE* mid = source->GetBuffer(0, y) + 3;
            const BYTE* down = source->GetBuffer(0, y + 1) + 3;
            auto a = [](const BYTE* row, int x) { return static_cast<int>(row[x * 4]); };
            for (int x = 1; x < w - 1; ++x) {
                const int left = a(up, x - 1) + a(mid, x - 1) + a(down, x - 1);
                const int right = a(up, x + 1) + a(mid, x + 1) + a(down, x + 1);
                const int top = a(up, x - 1) + a(up, x) + a(up, x + 1);
                const int bottom = a(down, x - 1) + a(down, x) + a(down, x + 1);
                out[x] = static_cast<BYTE>(std::min(255, std::max(std::abs(left - right), std::abs(top - bottom))));
            }
        }
    });
}

// The window of side 2w with the greatest edge sum, windows every 16 pixels:
// column sums over the window's rows slide down 16 rows at a time.
ShakeVector AntiShakeAlgorithm::FindFeature(const Region& region) const
{
    const int side = 2 * halfWindow;
    const int lastX = region.x1 - side, lastY = region.y1 - side; // exclusive starts
    const int x0 = region.x0, span = (lastX - 1 - x0) / kWindowStep * kWindowStep + side;
    std::vector<unsigned> columns(span, 0), prefix(span + 1, 0);
    auto addRows = [&](int from, int to, bool add) {
        for (int y = from; y < to; ++y) {
            const BYTE* row = edgeMap.GetBuffer(x0, y);
            for (int i = 0; i < span; ++i)
                columns[i] = add ? columns[i] + row[i] : columns[i] - row[i];
        }
    };
    addRows(region.y0, region.y0 + side, true);
    unsigned best = 0;
    ShakeVector point = {x0 + halfWindow, region.y0 + halfWindow};
    bool first = true;
    for (int y = region.y0; y < lastY; y += kWindowStep) {
        if (y != region.y0) {
            addRows(y - kWindowStep, y, false);
            addRows(y + side - kWindowStep, y + side, true);
        }
        for (int i = 0; i < span; ++i)
            prefix[i + 1] = prefix[i] + columns[i];
        for (int x = x0; x < lastX; x += kWindowStep) {
            const unsigned sum = prefix[x - x0 + side] - prefix[x - x0];
            if (first || sum > best) {
                best = sum;
                point = {x + halfWindow, y + halfWindow};
                first = false;
            }
        }
    }
    return point;
}

// Shifts -R, -R + 2, ... below R on both axes, every second pixel of every
// second row; the first best in row order wins.
ShakeVector AntiShakeAlgorithm::CoarseSearch(const ShakeVector& point) const
{
    const int w = halfWindow, radius = searchRadius;
    const int count = radius; // shifts per axis
    if (count <= 0)
        return {0, 0};
    const int refX = point.x - w, refY = point.y - w;
    const int originX = refX - radius, originY = refY - radius; // the other shot at shift -R
    const int others = count + w; // samples per axis of the other shot
    const bool blurred = blurredMatchMode != 0;

    // The samples, gathered once: grey bytes, or step weights.
    std::vector<BYTE> refGrey, otherGrey;
    std::vector<short> refStep, otherStep;
    auto alpha = [](const CQLImage* image, int x, int y) { return image->GetBuffer(x, y)[3]; };
    if (blurred) {
        refStep.resize(static_cast<std::size_t>(w) * w);
        otherStep.resize(static_cast<std::size_t>(others) * others);
    } else {
        refGrey.resize(static_cast<std::size_t>(w) * w);
        otherGrey.resize(static_cast<std::size_t>(others) * others);
    }
    for (int j = 0; j < w; ++j)
        for (int i = 0; i < w; ++i) {
            const BYTE v = alpha(source, refX + 2 * i, refY + 2 * j);
            if (blurred)
                refStep[j * w + i] = static_cast<short>(stepTable[v]);
            else
                refGrey[j * w + i] = v;
        }
    for (int j = 0; j < others; ++j)
        for (int i = 0; i < others; ++i) {
            const BYTE v = alpha(target, originX + 2 * i, originY + 2 * j);
            if (blurred)
                otherStep[static_cast<std::size_t>(j) * others + i] = static_cast<short>(stepTable[v]);
            else
                otherGrey[static_cast<std::size_t>(j) * others + i] = v;
        }

    // Rows of shifts split over the cores; each part keeps its first best,
    // and the parts are joined in row order, so ties go as in one pass.
    struct Best {
        int row;
        long long score;
        int tx, ty;
    };
    std::vector<Best> parts;
    parts.reserve(imagecore::ThreadCount()); // no allocation in the workers
    std::mutex lock;
    imagecore::ParallelFor(0, count, static_cast<std::size_t>(count) * w * w, [&](int t0, int t1) {
        Best best = {t0, 0, -1, -1};
        for (int ty = t0; ty < t1; ++ty)
            for (int tx = 0; tx < count; ++tx) {
                long long score = 0;
                for (int j = 0; j < w; ++j) {
                    const std::size_t o = static_cast<std::size_t>(ty + j) * others + tx;
                    if (blurred)
                        score -= ProductSum(refStep.data() + j * w, otherStep.data() + o, w);
                    else
                        score += AbsDiffSum(refGrey.data() + j * w, otherGrey.data() + o, w);
                }
                if (best.tx < 0 || score < best.score)
                    best = {t0, score, tx, ty};
            }
        std::lock_guard<std::mutex> guard(lock);
        parts.push_back(best);
    });
    std::sort(parts.begin(), parts.end(), [](const Best& a, const Best& b) { return a.row < b.row; });
    Best best = parts.front();
    for (const Best& part : parts)
        if (part.score < best.score)
            best = part;
    return {-radius + 2 * best.tx, -radius + 2 * best.ty};
}

// Every pixel, shifts within 2 of the coarse one; the first best wins.
ShakeVector AntiShakeAlgorithm::FineSearch(const ShakeVector& point, const ShakeVector& around) const
{
    const int w = halfWindow;
    const int refX = point.x - w, refY = point.y - w;
    const bool blurred = blurredMatchMode != 0;
    long long bestScore = 0;
    ShakeVector best = around;
    bool first = true;
    for (int dy = around.y - 2; dy <= around.y + 2; ++dy)
        for (int dx = around.x - 2; dx <= around.x + 2; ++dx) {
            long long score = 0;
            for (int j = 0; j < 2 * w; ++j) {
                const BYTE* a = source->GetBuffer(refX, refY + j) + 3;
                const BYTE* b = target->GetBuffer(refX + dx, refY + dy + j) + 3;
                for (int i = 0; i < 2 * w; ++i) {
                    if (blurred)
                        score -= stepTable[a[i * 4]] * stepTable[b[i * 4]];
                    else
                        score += std::abs(a[i * 4] - b[i * 4]);
                }
            }
            if (first || score < bestScore) {
                bestScore = score;
                best = {dx, dy};
                first = false;
            }
        }
    return best;
}

void AntiShakeAlgorithm::Fit()
{
    // How far each shift lies from the mean of the other three.
    double distance[4];
    for (int i = 0; i < 4; ++i) {
        double sx = 0, sy = 0;
        for (int j = 0; j < 4; ++j)
            if (j != i) {
                sx += shifts[j].x;
                sy += shifts[j].y;
            }
        const double dx = shifts[i].x - sx * 0.3333333333333333;
        const double dy = shifts[i].y - sy * 0.3333333333333333;
        distance[i] = dx * dx + dy * dy;
    }
    int outlier = 0;
    for (int i = 1; i < 4; ++i)
        if (distance[i] > distance[outlier])
            outlier = i;
    // All equal (a pure translation among them): no point is worse than
    // another, so all four are fitted.
    const bool allEqual = distance[0] == distance[1] && distance[1] == distance[2] && distance[2] == distance[3];

    for (int axis = 0; axis < 2; ++axis) {
        double a[3][3] = {}, b[3] = {};
        int row = 0;
        for (int k = 0; k < 4; ++k) {
            if (!allEqual && k == outlier)
                continue;
            const double v[3] = {static_cast<double>(points[k].x), static_cast<double>(points[k].y), 1.0};
            const double goal = axis == 0 ? points[k].x + shifts[k].x : points[k].y + shifts[k].y;
            if (allEqual) { // least squares: the normal equations
                for (int r = 0; r < 3; ++r) {
                    for (int c = 0; c < 3; ++c)
                        a[r][c] += v[r] * v[c];
                    b[r] += v[r] * goal;
                }
            } else {
                std::copy(v, v + 3, a[row]);
                b[row] = goal;
                ++row;
            }
        }
        double s[3];
        if (!Solve3(a, b, s))
            continue; // a zero pivot keeps the identity
        if (axis == 0) {
            mapping.xFromX = s[0];
            mapping.xFromY = s[1];
            mapping.xOffset = s[2];
        } else {
            mapping.yFromX = s[0];
            mapping.yFromY = s[1];
            mapping.yOffset = s[2];
        }
    }
    if (std::fabs(mapping.xFromY) > 0.1 || std::fabs(mapping.yFromX) > 0.1)
        transformValid = 0;
}
