#include "algorithms/InpaintAlgorithm.h"

#include "algorithms/NumericHelpers.h"
#include "algorithms/SmoothAlgorithm.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

inline unsigned PixelDistance(const BYTE* a, const BYTE* b)
{
    return static_cast<unsigned>(std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]));
}

} // namespace

int InpaintAlgorithm::TestCancel()
{
    int cancelled = EffectAlgorithm::TestCancel();
    if (outer && outer->TestCancel())
        cancelled = 1;
    return cancelled;
}

HRESULT InpaintAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    InpaintParams p;
    std::memcpy(&p, params, sizeof p);
    if (!p.mask || !p.mask->GetAreaByteSize() || p.blockSize < 2)
        return E_FAIL;
    par = p;

    UINT w = 0, h = 0, mw = 0, mh = 0;
    source->GetSize(&w, &h);
    par.mask->GetSize(&mw, &mh);
    if (mw != w || mh != h)
        return kCannotFill;
    // A block larger than the photo would only size the padding and the
    // patch beyond any use (and beyond 32-bit sizes).
    if (static_cast<UINT>(par.blockSize) > std::max(w, h))
        return E_FAIL;

    boxLeft = static_cast<int>(w), boxTop = static_cast<int>(h), boxRight = -1, boxBottom = -1;
    maskCount = 0;
    for (int y = 0; y < static_cast<int>(h); ++y) {
        const BYTE* m = par.mask->GetBuffer(0, y);
        for (int x = 0; x < static_cast<int>(w); ++x) {
            if (!m[x])
                continue;
            ++maskCount;
            boxLeft = std::min(boxLeft, x), boxRight = std::max(boxRight, x);
            boxTop = std::min(boxTop, y), boxBottom = std::max(boxBottom, y);
        }
    }
    if (static_cast<unsigned long long>(w) * h < 5ull * static_cast<unsigned>(maskCount))
        return kCannotFill;
    if (maskCount == 0) { // nothing to fill
        if (!CopySourceToTarget())
            return E_FAIL;
        Progress(100);
        return 0;
    }

    const int bs = par.blockSize;
    margin = bs / 4;
    const int d = margin + bs / 2;
    bool direct = boxLeft >= d && boxTop >= d && static_cast<int>(w) - d >= boxRight && static_cast<int>(h) - d >= boxBottom;
    if (direct) {
        // The block grid, extended by the feather, must lie inside the image;
        // a grid that overhangs takes the padded path as well.
        const int m = std::clamp(margin, 2, 8);
        const int bw = boxRight - boxLeft + 1, bh = boxBottom - boxTop + 1;
        const int cols = (bw + bs - 1) / bs, rows = (bh + bs - 1) / bs;
        const int gl = boxLeft - (bs * cols - bw) / 2, gt = boxTop - (bs * rows - bh) / 2;
        direct = gl - m >= 0 && gt - m >= 0 && gl + bs * cols + m <= static_cast<int>(w)
                 && gt + bs * rows + m <= static_cast<int>(h);
    }
    if (direct)
        return ApplyDirect();
    // The padding always leaves room, so a padded run never pads again.
    return outer ? E_FAIL : ApplyPadded();
}

HRESULT InpaintAlgorithm::ApplyDirect()
{
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    const int bs = par.blockSize;
    Progress(1);
    margin = std::clamp(margin, 2, 8);
    if (!BuildBand())
        return E_FAIL;
    Progress(3);
    if (!CopySourceToTarget())
        return E_FAIL;
    Progress(4);

    searchStep = bs < 12 ? 1 : (bs > 24 ? 3 : 2);
    if (searchStep > 1) {
        const int sw = static_cast<int>(w) / searchStep, sh = static_cast<int>(h) / searchStep;
        if (imageSmall.Create(sw, sh) != 0 || !ResizeImage(source, &imageSmall, sw, sh, 0, 0, w, h, 0))
            return E_FAIL;
    }
    BuildBlocks();
    const int P = bs + 2 * margin;
    if (patch.Create(P, P) != 0 || feather.Create(P, P) != 0)
        return E_FAIL;
    if (searchStep > 1 && patchSmall.Create(P / searchStep, P / searchStep) != 0)
        return E_FAIL;
    BuildFeather();
    Progress(5);

    const long long count = static_cast<long long>(blocks.size());
    long long filled = 0;
    Recount();
    int next = ChooseBlock();
    while (next >= 0) {
        if (!FillBlockAt(blocks[next]))
            return kCannotFill;
        blocks[next].done = 1;
        ++filled;
        Progress(static_cast<int>(5 + 95 * filled / count));
        if (TestCancel())
            return E_FAIL;
        next = ChooseBlock();
        if (next < 0) {
            Recount();
            next = ChooseBlock();
        }
    }
    Progress(100);
    return 0;
}

bool InpaintAlgorithm::BuildBand()
{
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    if (known.Create(w, h) != 0 || holeMask.Create(w, h) != 0)
        return false;
    const std::size_t n = static_cast<std::size_t>(w) * h;
    const BYTE* m = par.mask->GetBuffer(0, 0);
    BYTE* k = known.GetBuffer(0, 0);
    BYTE* hole = holeMask.GetBuffer(0, 0);
    for (std::size_t i = 0; i < n; ++i) {
        const bool fill = (m[i] & 0x80) != 0;
        k[i] = fill ? 0 : 255;
        hole[i] = fill ? 255 : 0;
    }
    SmoothAlgorithm smooth;
    smooth.SetChannels(&holeMask, &band);
    const double sigma = margin * 10 / 13;
    if (smooth.SmoothChannel(&sigma) != 0)
        return false;
    BYTE* b = band.GetBuffer(0, 0);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = hole[i] ? 0 : (b[i] ? 255 : 0);
    return true;
}

void InpaintAlgorithm::BuildBlocks()
{
    const int bs = par.blockSize;
    const int bw = boxRight - boxLeft + 1, bh = boxBottom - boxTop + 1;
    const int cols = (bw + bs - 1) / bs, rows = (bh + bs - 1) / bs;
    const int gl = boxLeft - (bs * cols - bw) / 2, gt = boxTop - (bs * rows - bh) / 2;
    blocks.clear();
    blocks.reserve(static_cast<std::size_t>(cols) * rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            const int l = gl + c * bs, t = gt + r * bs;
            blocks.push_back({l, t, l + bs, t + bs, 0, 0});
        }
}

void InpaintAlgorithm::BuildFeather()
{
    const int bs = par.blockSize;
    const int P = bs + 2 * margin;
    std::vector<int> ramp(P);
    for (int k = 0; k < P; ++k) {
        if (k < margin)
            ramp[k] = 255 * k / margin;
        else if (k <= margin + bs)
            ramp[k] = 255;
        else
            ramp[k] = (P * 255 - 255 * k) / margin;
    }
    for (int i = 0; i < P; ++i)
        for (int j = 0; j < P; ++j)
            feather.Set(j, i, static_cast<BYTE>(ramp[i] * ramp[j] / 255));
}

void InpaintAlgorithm::Recount()
{
    for (FillBlock& b : blocks) {
        if (b.done)
            continue;
        int bandCount = 0;
        bool allKnown = true;
        for (int y = b.top - margin; y < b.bottom + margin; ++y) {
            const BYTE* bandRow = band.GetBuffer(0, y);
            const BYTE* knownRow = known.GetBuffer(0, y);
            for (int x = b.left - margin; x < b.right + margin; ++x) {
                bandCount += bandRow[x] != 0;
                allKnown = allKnown && knownRow[x] != 0;
            }
        }
        b.priority = bandCount;
        if (allKnown) {
            b.done = 1;
            b.priority = 0;
        }
    }
}

int InpaintAlgorithm::ChooseBlock() const
{
    int best = -1, bestPriority = 0;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        if (!blocks[i].done && blocks[i].priority > bestPriority) {
            best = static_cast<int>(i);
            bestPriority = blocks[i].priority;
        }
    }
    return best;
}

bool InpaintAlgorithm::Valid(int cx, int cy) const
{
    const int P = par.blockSize + 2 * margin;
    const int stride = sumsWidth + 1;
    const int x0 = cx - sumsLeft, y0 = cy - sumsTop;
    const int* s = unknownSums.data();
    return s[(y0 + P) * stride + x0 + P] - s[y0 * stride + x0 + P] - s[(y0 + P) * stride + x0] + s[y0 * stride + x0]
           == 0;
}

unsigned InpaintAlgorithm::Cost(int cx, int cy, int step, unsigned best) const
{
    const CQLImage& from = step > 1 ? patchSmall : patch;
    const CQLImage& to = step > 1 ? imageSmall : *target;
    UINT pw = 0, ph = 0;
    from.GetSize(&pw, &ph);
    const int tx = cx / step, ty = cy / step;
    unsigned sum = 0;
    for (int i = 0; i < static_cast<int>(ph); ++i) {
        const BYTE* a = from.GetBuffer(0, i);
        const BYTE* b = to.GetBuffer(tx, ty + i);
        for (int j = 0; j < static_cast<int>(pw); ++j, a += 4, b += 4)
            if (a[3] == 255)
                sum += PixelDistance(a, b);
        if (sum >= best) // cannot win: ties go to the first
            return sum;
    }
    return sum;
}

// Best position (smallest cost, zero included, the first on ties) among the
// valid candidates x in [wl, wr), y in [wt, wb), every step-th.
bool InpaintAlgorithm::Search(int wl, int wt, int wr, int wb, int step, int* bestX, int* bestY)
{
    unsigned best = UINT_MAX;
    bool found = false;
    for (int y = wt; y < wb; y += step)
        for (int x = wl; x < wr; x += step) {
            if (!Valid(x, y))
                continue;
            const unsigned c = Cost(x, y, step, best);
            if (!found || c < best) {
                best = c, *bestX = x, *bestY = y;
                found = true;
            }
        }
    return found;
}

bool InpaintAlgorithm::FillBlockAt(const FillBlock& block)
{
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    const int bs = par.blockSize, P = bs + 2 * margin, step = searchStep;
    const int px0 = block.left - margin, py0 = block.top - margin;

    for (int i = 0; i < P; ++i) {
        std::memcpy(patch.GetBuffer(0, i), target->GetBuffer(px0, py0 + i), static_cast<std::size_t>(P) * 4);
        BYTE* p = patch.GetBuffer(0, i);
        for (int j = 0; j < P; ++j, p += 4) {
            if (band.Get(px0 + j, py0 + i))
                p[3] = 255;
            else if (!known.Get(px0 + j, py0 + i))
                p[3] = 128;
        }
    }
    if (step > 1 && !ResizeImage(&patch, &patchSmall, P / step, P / step, 0, 0, P, P, 0))
        return false;

    const int wl = std::max(0, block.left - 4 * bs), wt = std::max(0, block.top - 4 * bs);
    const int wr = std::min(static_cast<int>(w), block.right + 4 * bs) - P;
    const int wb = std::min(static_cast<int>(h), block.bottom + 4 * bs) - P;
    if (wr <= wl || wb <= wt)
        return false;

    // Unknown pixels of the window and the refinement's reach, summed.
    sumsLeft = std::max(0, wl - step), sumsTop = std::max(0, wt - step);
    const int sumsRight = std::min(static_cast<int>(w), wr + step + P);
    const int sumsBottom = std::min(static_cast<int>(h), wb + step + P);
    sumsWidth = sumsRight - sumsLeft;
    const int stride = sumsWidth + 1;
    unknownSums.assign(static_cast<std::size_t>(stride) * (sumsBottom - sumsTop + 1), 0);
    for (int y = sumsTop; y < sumsBottom; ++y) {
        const BYTE* k = known.GetBuffer(0, y);
        int* row = &unknownSums[static_cast<std::size_t>(y - sumsTop + 1) * stride];
        const int* above = row - stride;
        int run = 0;
        for (int x = sumsLeft; x < sumsRight; ++x) {
            run += k[x] == 0;
            row[x - sumsLeft + 1] = above[x - sumsLeft + 1] + run;
        }
    }

    int bx = 0, by = 0;
    if (!Search(wl, wt, wr, wb, step, &bx, &by))
        return false;
    // Refine at full resolution around the coarse winner.
    const int rl = std::max(0, bx - step), rt = std::max(0, by - step);
    const int rr = std::min(bx + step + 1, static_cast<int>(w) - P), rb = std::min(by + step + 1, static_cast<int>(h) - P);
    if (!Search(rl, rt, rr, rb, 1, &bx, &by))
        return false;

    for (int i = 0; i < P; ++i) {
        const int iy = py0 + i;
        const BYTE* m = par.mask->GetBuffer(px0, iy);
        for (int j = 0; j < P; ++j) {
            const int hv = m[j];
            if (!hv)
                continue;
            const int wgt = feather.Get(j, i) * hv / 255;
            if (!wgt)
                continue;
            BYTE* t = target->GetBuffer(px0 + j, iy);
            const BYTE* f = target->GetBuffer(bx + j, by + i);
            for (int c = 0; c < 3; ++c)
                t[c] = static_cast<BYTE>((wgt * f[c] + (255 - wgt) * t[c]) / 255);
            band.Set(px0 + j, iy, 255);
            known.Set(px0 + j, iy, 255);
        }
    }
    return true;
}

HRESULT InpaintAlgorithm::ApplyPadded()
{
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    const int bs = par.blockSize;
    const UINT pw = w + 2 * bs, ph = h + 2 * bs;
    CQLImage padded;
    CQLChannel paddedMask;
    if (padded.Create(pw, ph) != 0 || paddedMask.Create(pw, ph) != 0)
        return E_FAIL;
    const CPixel black{0, 0, 0, 255};
    for (UINT y = 0; y < ph; ++y)
        for (UINT x = 0; x < pw; ++x)
            padded.PutPixel(x, y, black);
    std::memset(paddedMask.GetBuffer(0, 0), 0, paddedMask.GetAreaByteSize());
    for (UINT y = 0; y < h; ++y) {
        std::memcpy(padded.GetBuffer(bs, y + bs), source->GetBuffer(0, y), static_cast<std::size_t>(w) * 4);
        std::memcpy(paddedMask.GetBuffer(bs, y + bs), par.mask->GetBuffer(0, y), w);
    }
    Progress(10);

    InpaintAlgorithm nested;
    nested.outer = this;
    nested.SetImages(&padded, target);
    nested.SetCallback(callback);
    nested.SetRange(RangeAt(10), rangeHigh);
    InpaintParams np = par;
    np.mask = &paddedMask;
    if (nested.Apply(&np) != 0)
        return E_FAIL;

    CQLImage result(std::move(*target));
    if (!CopySourceToTarget())
        return E_FAIL;
    for (UINT y = 0; y < h; ++y)
        std::memcpy(target->GetBuffer(0, y), result.GetBuffer(bs, y + bs), static_cast<std::size_t>(w) * 4);
    Progress(100);
    return 0;
}

int InpaintAlgorithm::EstimateRadius(CQLChannel* mask)
{
    CQLChannel binary, smoothed;
    if (!mask || !mask->GetAreaByteSize() || !binary.DuplicateFrom(mask))
        return 8;
    BYTE* b = binary.GetBuffer(0, 0);
    const std::size_t n = binary.GetAreaByteSize();
    for (std::size_t i = 0; i < n; ++i)
        b[i] = (b[i] & 0x80) ? 255 : 0;

    SmoothAlgorithm smooth;
    smooth.SetChannels(&binary, &smoothed);
    bool failed = false;
    // True when some smoothed value still exceeds 229: the strokes are thicker.
    auto tooThick = [&](int sigma) {
        const double s = sigma;
        if (smooth.SmoothChannel(&s) != 0) {
            failed = true;
            return false;
        }
        const BYTE* v = smoothed.GetBuffer(0, 0);
        return *std::max_element(v, v + smoothed.GetAreaByteSize()) > 229;
    };

    int sigma = 8;
    bool thick = tooThick(sigma);
    if (failed)
        return 8;
    while (thick && sigma < 63) {
        sigma *= 2;
        thick = tooThick(sigma);
        if (failed)
            return sigma;
    }
    if (sigma == 8)
        return 8;
    int lo = sigma / 2, hi = sigma;
    while (hi - lo >= 2) {
        const int mid = (lo + hi) / 2;
        const bool t = tooThick(mid);
        if (failed)
            return mid;
        (t ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
}
