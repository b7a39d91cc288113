// Numeric helpers shared by the effects: Fourier and cosine transforms,
// pixel-run blending and line resampling, and the rectangle and plane scalers.
// None keeps global state; buffers belong to the caller unless stated.
#pragma once

#include "imagecore/Pixel.h"
#include "platform/win/WinTypes.h"

class CQLImage;
class CQLChannel;

struct Complex {
    double re;
    double im;
};

// --- Transforms ------------------------------------------------------------
// All return false, doing nothing, for a size outside their limits.

// Unnormalised forward transform (kernel e^-it) of N = 2^power points,
// 1 <= N <= 512; in and out may be the same array.
bool Fft(const Complex* in, Complex* out, int power);
// Inverse of Fft, normalised by 1/N.
bool InverseFft(const Complex* in, Complex* out, int power);
// Orthonormal DCT-II of N = 2^power values, N <= 256; in and out may alias.
bool Dct(const double* in, double* out, int power);
// Orthonormal DCT-III, the inverse of Dct, N <= 256; in and out may alias.
bool InverseDct(const double* in, double* out, int power);

// An n x n block of doubles (n = 2^power) taken from one byte of an image and
// transformed in two dimensions.
class DctBlock {
public:
    DctBlock() = default;
    DctBlock(const DctBlock&) = delete;
    DctBlock& operator=(const DctBlock&) = delete;
    virtual ~DctBlock();

    // 1, or 0 when the allocation fails (data null, power unchanged).
    int Create(int power);
    void Free();
    // The n x n square at (x, y) of byte channel (0 B .. 3 A); outside pixels read 0.
    void Load(const CQLImage* image, int channel, int x, int y);
    // forward: rows then columns; inverse: columns then rows.
    void Transform(int forward);

    double* data = nullptr; // row-major, owned
    int size = 0;
    int power = 0;
};

// --- Pixel runs ------------------------------------------------------------

// Index inside 0..n-1 reflected at the ends with the end sample repeated
// (-1 reads 0, n reads n - 1), as often as a large radius needs.
inline int ReflectIndex(int j, int n)
{
    if (j >= 0 && j < n)
        return j;
    const int period = 2 * n;
    j %= period;
    if (j < 0)
        j += period;
    return j < n ? j : period - 1 - j;
}

// The first `height` rows, `width` pixels each, turned from BGR to YUV (or
// back) in place, on all cores.
void ConvertRowsYuv(CQLImage& image, int width, int height, bool toYuv);

// Mean colour of the pixels within 5 of (x, y) whose colour differs from the
// centre by less than 128 (sum over B, G, R); the centre's alpha.
CPixel LocalColorMean(const CQLImage* image, int x, int y);

// dst[i + j * dstStep] = src[i * srcStep + j]: a block turned for a one-axis pass.
void TransposeCopy(INT* dst, int dstStep, const INT* src, int width, int height, int srcStep);

// Per byte of count pixels step bytes apart: (a * weightA + b * weightB) >> 8,
// weights summing to 256; a zero weight copies the other run.
void BlendPixelRuns(BYTE* dst, const BYTE* a, const BYTE* b, int count, int step, int weightA, int weightB);

// Resamples srcLines lines of pixelsPerLine pixels, lineBytes apart, into
// dstLines lines along the stacking axis (cubic filter, widened when
// shrinking). 1, or 0 when a work buffer cannot be had (nothing written).
int ResampleLines(BYTE* dst, const BYTE* src, int pixelsPerLine, int lineBytes, int srcLines, int dstLines);

// --- Scalers ---------------------------------------------------------------
// The region (x, y, w, h) of the source, w or h -1 meaning to the right or
// bottom edge. Enlarging interpolates bilinearly with the ends aligned;
// reducing on either axis averages areas.

// Scales a region of a plane into target, which is (re)created at
// targetWidth x targetHeight when its size differs. 1, or 0 when the region
// is empty or the target cannot be made.
int ResizeChannel(const CQLChannel* source, CQLChannel* target, int targetWidth, int targetHeight,
                  int x, int y, int w, int h);
// Scales a region of an image into target, which the caller has created at
// targetWidth x targetHeight; with alphaOnly only the alpha byte is written.
// 1, or 0 when the region is empty or the target is not of that size.
int ResizeImage(const CQLImage* source, CQLImage* target, int targetWidth, int targetHeight,
                int x, int y, int w, int h, int alphaOnly);
// Area-weighted reductions of a region (shares of 1/1024 of a pixel area);
// the target must exist at the target size. 1, or 0 as above.
int ShrinkImageArea(const CQLImage* source, CQLImage* target, int targetWidth, int targetHeight,
                    int x, int y, int w, int h);
int ShrinkChannelArea(const CQLChannel* source, CQLChannel* target, int targetWidth, int targetHeight,
                      int x, int y, int w, int h);

// --- Curves ----------------------------------------------------------------

// Cubic Hermite value at x of the curve through (x0, y0) and (x1, y1) with
// the given end slopes; x0 != x1.
double HermiteInterpolate(double x0, double x1, double y0, double y1, double slope0, double slope1, double x);
