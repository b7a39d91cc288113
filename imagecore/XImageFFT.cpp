// CxImage's Fourier transforms: radix-2 and direct one-dimensional ones and
// the two-dimensional transform of grey images built on them.
#include "imagecore/ParallelFor.h"
#include "imagecore/XImage.h"
#include "imagecore/XImageOpsSupport.h"

#include <cmath>
#include <utility>
#include <vector>

using namespace ximageops;

bool CxImage::IsPowerof2(LONG n) { return n > 0 && (n & (n - 1)) == 0; }

bool CxImage::FFT(int direction, int power, double* re, double* im)
{
    if (!re || !im || power < 0 || power > 30)
        return false;
    const long n = 1L << power;
    // Bit-reversal reordering.
    for (long i = 0, j = 0; i < n - 1; ++i) {
        if (i < j) {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
        long k = n >> 1;
        while (k <= j) {
            j -= k;
            k >>= 1;
        }
        j += k;
    }
    // Butterflies; the twiddle factor by the half-angle recurrence.
    double c = -1.0, s = 0.0;
    for (long half = 1; half < n; half <<= 1) {
        double ur = 1.0, ui = 0.0;
        for (long j = 0; j < half; ++j) {
            for (long i = j; i < n; i += half << 1) {
                const long i1 = i + half;
                const double tr = ur * re[i1] - ui * im[i1];
                const double ti = ur * im[i1] + ui * re[i1];
                re[i1] = re[i] - tr;
                im[i1] = im[i] - ti;
                re[i] += tr;
                im[i] += ti;
            }
            const double z = ur * c - ui * s;
            ui = ur * s + ui * c;
            ur = z;
        }
        s = std::sqrt((1.0 - c) / 2.0);
        if (direction == 1)
            s = -s;
        c = std::sqrt((1.0 + c) / 2.0);
    }
    if (direction == 1) {
        for (long i = 0; i < n; ++i) {
            re[i] /= static_cast<double>(n);
            im[i] /= static_cast<double>(n);
        }
    }
    return true;
}

bool CxImage::DFT(int direction, LONG n, double* re, double* im, double* reWork, double* imWork)
{
    if (!re || !im || !reWork || !imWork || n <= 0)
        return false;
    // The angle of term k of output i is that of (i k mod n): n sines and
    // cosines serve all n * n terms.
    std::vector<double> cosTable(static_cast<std::size_t>(n)), sinTable(static_cast<std::size_t>(n));
    const double step = -direction * 6.28318530716 / static_cast<double>(n);
    for (LONG m = 0; m < n; ++m) {
        cosTable[static_cast<std::size_t>(m)] = std::cos(m * step);
        sinTable[static_cast<std::size_t>(m)] = std::sin(m * step);
    }
    for (LONG i = 0; i < n; ++i) {
        double sr = 0, si = 0;
        LONG m = 0;
        for (LONG k = 0; k < n; ++k) {
            const double cosArg = cosTable[static_cast<std::size_t>(m)], sinArg = sinTable[static_cast<std::size_t>(m)];
            sr += re[k] * cosArg - im[k] * sinArg;
            si += re[k] * sinArg + im[k] * cosArg;
            m += i;
            if (m >= n)
                m -= n;
        }
        reWork[i] = sr;
        imWork[i] = si;
    }
    const double scale = direction == 1 ? 1.0 / n : 1.0;
    for (LONG i = 0; i < n; ++i) {
        re[i] = reWork[i] * scale;
        im[i] = imWork[i] * scale;
    }
    return true;
}

namespace {

LONG NextPow2(LONG n)
{
    LONG p = 1;
    while (p < n)
        p <<= 1;
    return p;
}

int Log2(LONG n)
{
    int k = 0;
    while ((1L << (k + 1)) <= n)
        ++k;
    return k;
}

} // namespace

bool CxImage::FFT2(CxImage* srcReal, CxImage* srcImag, CxImage* dstReal, CxImage* dstImag, LONG direction,
                   bool forcePow2, bool magnitude)
{
    if ((!srcReal || !srcReal->IsValid()) && (!srcImag || !srcImag->IsValid()))
        return false;
    // Work on copies; results go to the destinations, else to the sources.
    CxImage re, im;
    const CxImage* given = srcReal && srcReal->IsValid() ? srcReal : srcImag;
    if (srcReal && srcReal->IsValid()) {
        if (!re.Copy(*srcReal, true, false, false))
            return false;
    } else if (!re.Create(given->GetWidth(), given->GetHeight(), 8)) {
        return false;
    } else {
        re.SetGrayPalette();
        re.Clear(0);
    }
    if (srcImag && srcImag->IsValid()) {
        if (!im.Copy(*srcImag, true, false, false))
            return false;
    } else if (!im.Create(given->GetWidth(), given->GetHeight(), 8)) {
        return false;
    } else {
        im.SetGrayPalette();
        im.Clear(0);
    }
    if (!re.IsGrayScale() && !re.GrayScale())
        return false;
    if (!im.IsGrayScale() && !im.GrayScale())
        return false;
    if (re.GetBpp() != 8 && !re.IncreaseBpp(8))
        return false;
    if (im.GetBpp() != 8 && !im.IncreaseBpp(8))
        return false;

    LONG w = static_cast<LONG>(re.GetWidth()), h = static_cast<LONG>(re.GetHeight());
    if (forcePow2 && (!IsPowerof2(w) || !IsPowerof2(h))) {
        w = NextPow2(w);
        h = NextPow2(h);
    }
    if (!re.Resample(w, h) || !im.Resample(w, h))
        return false;

    // The grid, row by row; a grey palette makes the index the level.
    const std::size_t n = static_cast<std::size_t>(w) * h;
    std::vector<double> gr(n), gi(n);
    const RGBQUAD* pr = re.GetPalette();
    const RGBQUAD* pi = im.GetPalette();
    for (LONG y = 0; y < h; ++y) {
        const BYTE* a = Row(re, y);
        const BYTE* b = Row(im, y);
        for (LONG x = 0; x < w; ++x) {
            gr[static_cast<std::size_t>(y) * w + x] = pr[a[x]].rgbRed - 128.0;
            gi[static_cast<std::size_t>(y) * w + x] = pi[b[x]].rgbRed - 128.0;
        }
    }

    const int dir = static_cast<int>(direction);
    // Each line is independent: rows, then columns, in parallel.
    auto transform = [&](LONG lines, LONG length, auto load, auto store) {
        std::atomic<bool> failed{false};
        imagecore::ParallelFor(0, lines, static_cast<std::size_t>(length) * 8, [&](int l0, int l1) {
            std::vector<double> r(length), i(length), rw(length), iw(length);
            for (int l = l0; l < l1; ++l) {
                if (Escaped()) {
                    failed = true;
                    return;
                }
                load(l, r.data(), i.data());
                const bool ok = IsPowerof2(length) ? FFT(dir, Log2(length), r.data(), i.data())
                                                   : DFT(dir, length, r.data(), i.data(), rw.data(), iw.data());
                if (!ok) {
                    failed = true;
                    return;
                }
                store(l, r.data(), i.data());
            }
        });
        return !failed;
    };
    const bool rowsDone = transform(
        h, w,
        [&](int y, double* r, double* i) {
            std::copy_n(gr.data() + static_cast<std::size_t>(y) * w, w, r);
            std::copy_n(gi.data() + static_cast<std::size_t>(y) * w, w, i);
        },
        [&](int y, const double* r, const double* i) {
            std::copy_n(r, w, gr.data() + static_cast<std::size_t>(y) * w);
            std::copy_n(i, w, gi.data() + static_cast<std::size_t>(y) * w);
        });
    SetProgress(50);
    const bool colsDone = rowsDone && transform(
        w, h,
        [&](int x, double* r, double* i) {
            for (LONG y = 0; y < h; ++y) {
                r[y] = gr[static_cast<std::size_t>(y) * w + x];
                i[y] = gi[static_cast<std::size_t>(y) * w + x];
            }
        },
        [&](int x, const double* r, const double* i) {
            for (LONG y = 0; y < h; ++y) {
                gr[static_cast<std::size_t>(y) * w + x] = r[y];
                gi[static_cast<std::size_t>(y) * w + x] = i[y];
            }
        });
    if (!colsDone)
        return false;

    double k = std::pow(2.0, Log2(std::max(w, h)) - 4);
    if (direction == -1)
        k = 1 / k;
    if (magnitude)
        k *= 4;
    CxImage outRe, outIm;
    if (!outRe.Create(static_cast<DWORD>(w), static_cast<DWORD>(h), 8) ||
        !outIm.Create(static_cast<DWORD>(w), static_cast<DWORD>(h), 8))
        return false;
    outRe.SetGrayPalette();
    outIm.SetGrayPalette();
    for (LONG y = 0; y < h; ++y) {
        BYTE* a = Row(outRe, y);
        BYTE* b = Row(outIm, y);
        for (LONG x = 0; x < w; ++x) {
            const double cr = gr[static_cast<std::size_t>(y) * w + x], ci = gi[static_cast<std::size_t>(y) * w + x];
            if (magnitude) {
                const double m = k * (std::log(std::hypot(cr, ci)) + 3);
                a[x] = ClampF(m < 0 ? 0 : m);
                b[x] = ClampF(k * (cr != 0 ? std::atan(ci / cr) : std::atan(ci * 1e10)) + 128);
            } else {
                a[x] = ClampF(k * cr + 128);
                b[x] = ClampF(k * ci + 128);
            }
        }
    }
    SetProgress(100);
    CxImage* toReal = dstReal ? dstReal : srcReal;
    CxImage* toImag = dstImag ? dstImag : srcImag;
    if (toReal)
        toReal->Transfer(outRe);
    if (toImag)
        toImag->Transfer(outIm);
    return true;
}
