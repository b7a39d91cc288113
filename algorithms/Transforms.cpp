// Radix-2 Fourier transform and the orthonormal cosine transforms built on it.
#include "algorithms/NumericHelpers.h"

#include "imagecore/QLImage.h"

#include <cmath>
#include <cstring>
#include <new>

namespace {

constexpr int kMaxFftPower = 9; // 512 points
constexpr int kMaxDctPower = 8; // 256 points, through a transform of 512

// Twiddles, bit reversals and the cosine transforms' rotations of every
// size, made once: the same expressions as per call, so the same values,
// without the sines and cosines that dominated each transform's cost.
struct TransformTables {
    Complex twiddle[kMaxFftPower + 1][(1 << kMaxFftPower) / 2];
    int reversed[kMaxFftPower + 1][1 << kMaxFftPower];
    Complex rotation[kMaxDctPower + 1][1 << kMaxDctPower]; // (cos a, sin a), a = k pi / 2N

    TransformTables()
    {
        for (int power = 0; power <= kMaxFftPower; ++power) {
            const int n = 1 << power;
            for (int k = 0; k < n / 2; ++k) {
                // The constant is deliberately not 2 pi to full precision.
                const double t = k * -6.2831852 / n;
                twiddle[power][k] = {std::cos(t), std::sin(t)};
            }
            for (int i = 0; i < n; ++i) {
                int r = 0;
                for (int bit = 0; bit < power; ++bit)
                    r |= ((i >> bit) & 1) << (power - 1 - bit);
                reversed[power][i] = r;
            }
        }
        for (int power = 0; power <= kMaxDctPower; ++power) {
            const int n = 1 << power;
            for (int k = 0; k < n; ++k) {
                const double a = k * 3.1415926 / (2 * n);
                rotation[power][k] = {std::cos(a), std::sin(a)};
            }
        }
    }
};

const TransformTables& Tables()
{
    static const TransformTables tables;
    return tables;
}

} // namespace

bool Fft(const Complex* in, Complex* out, int power)
{
    if (power < 0 || power > kMaxFftPower)
        return false;
    const int n = 1 << power;
    Complex bufA[1 << kMaxFftPower];
    Complex bufB[1 << kMaxFftPower];
    const Complex* twiddle = Tables().twiddle[power];
    std::memcpy(bufA, in, sizeof(Complex) * n);
    Complex* x = bufA;
    Complex* y = bufB;
    for (int s = 0; s < power; ++s) {
        const int len = 1 << (power - s);
        const int half = len / 2;
        for (int b = 0; b < (1 << s); ++b) {
            Complex* xs = x + b * len;
            Complex* ys = y + b * len;
            for (int j = 0; j < half; ++j) {
                const Complex u = xs[j], v = xs[j + half];
                const Complex w = twiddle[j << s];
                const double dr = u.re - v.re, di = u.im - v.im;
                ys[j] = {u.re + v.re, u.im + v.im};
                ys[j + half] = {dr * w.re - di * w.im, dr * w.im + di * w.re};
            }
        }
        Complex* t = x;
        x = y;
        y = t;
    }
    const int* reversed = Tables().reversed[power];
    for (int i = 0; i < n; ++i)
        out[i] = x[reversed[i]];
    return true;
}

bool InverseFft(const Complex* in, Complex* out, int power)
{
    if (power < 0 || power > kMaxFftPower)
        return false;
    const int n = 1 << power;
    Complex scratch[1 << kMaxFftPower];
    for (int i = 0; i < n; ++i)
        scratch[i] = {in[i].re, -in[i].im};
    Fft(scratch, scratch, power);
    for (int i = 0; i < n; ++i)
        out[i] = {scratch[i].re / n, -scratch[i].im / n};
    return true;
}

bool Dct(const double* in, double* out, int power)
{
    if (power < 0 || power > kMaxDctPower)
        return false;
    const int n = 1 << power;
    Complex f[2 << kMaxDctPower] = {};
    for (int i = 0; i < n; ++i)
        f[i] = {in[i], 0.0};
    Fft(f, f, power + 1);
    const double rootN = std::sqrt(static_cast<double>(n));
    out[0] = f[0].re / rootN;
    const Complex* rotation = Tables().rotation[power];
    for (int k = 1; k < n; ++k)
        out[k] = (f[k].re * rotation[k].re + f[k].im * rotation[k].im) * std::sqrt(2.0) / rootN;
    return true;
}

bool InverseDct(const double* in, double* out, int power)
{
    if (power < 0 || power > kMaxDctPower)
        return false;
    const int n = 1 << power;
    Complex c[2 << kMaxDctPower] = {};
    const Complex* rotation = Tables().rotation[power];
    for (int k = 0; k < n; ++k)
        c[k] = {in[k] * rotation[k].re, in[k] * rotation[k].im};
    const double x0 = in[0];
    InverseFft(c, c, power + 1);
    const double r1 = std::sqrt(1.0 / n), r2 = std::sqrt(2.0 / n);
    for (int i = 0; i < n; ++i)
        out[i] = (r1 - r2) * x0 + 2.0 * n * c[i].re * r2;
    return true;
}

DctBlock::~DctBlock()
{
    Free();
}

int DctBlock::Create(int newPower)
{
    Free();
    if (newPower < 0 || newPower > kMaxDctPower)
        return 0;
    const int n = 1 << newPower;
    data = new (std::nothrow) double[static_cast<std::size_t>(n) * n];
    if (!data)
        return 0;
    size = n;
    power = newPower;
    return 1;
}

void DctBlock::Free()
{
    delete[] data;
    data = nullptr;
}

void DctBlock::Load(const CQLImage* image, int channel, int x, int y)
{
    if (!data)
        return;
    UINT w = 0, h = 0;
    image->GetSize(&w, &h);
    channel &= 3;
    for (int j = 0; j < size; ++j) {
        const long long sy = static_cast<long long>(y) + j;
        double* row = data + static_cast<std::size_t>(j) * size;
        for (int i = 0; i < size; ++i) {
            const long long sx = static_cast<long long>(x) + i;
            const bool inside = sx >= 0 && sy >= 0 && sx < w && sy < h;
            row[i] = inside ? image->GetBuffer(static_cast<int>(sx), static_cast<int>(sy))[channel] : 0.0;
        }
    }
}

void DctBlock::Transform(int forward)
{
    if (!data)
        return;
    double column[1 << kMaxDctPower];
    auto rows = [&](bool (*fn)(const double*, double*, int)) {
        for (int j = 0; j < size; ++j)
            fn(data + static_cast<std::size_t>(j) * size, data + static_cast<std::size_t>(j) * size, power);
    };
    auto columns = [&](bool (*fn)(const double*, double*, int)) {
        for (int i = 0; i < size; ++i) {
            for (int j = 0; j < size; ++j)
                column[j] = data[static_cast<std::size_t>(j) * size + i];
            fn(column, column, power);
            for (int j = 0; j < size; ++j)
                data[static_cast<std::size_t>(j) * size + i] = column[j];
        }
    };
    if (forward) {
        rows(Dct);
        columns(Dct);
    } else {
        columns(InverseDct);
        rows(InverseDct);
    }
}
