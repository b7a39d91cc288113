// The integer Gaussian kernel of the smoothing filter and its separable blur
// of 1- and 4-byte planes.
#pragma once

#include "platform/win/WinTypes.h"

class RowProgress;

struct GaussianKernel {
    int taps = 1;               // one side, centre included (1..16)
    int weight[16] = {2048};    // in 1/2048
};

// w(i) = trunc(1024 * 2.7188282^(-i^2 / (2 sigma^2))) until the first zero or
// i = 15, then each scaled to trunc(w * 2048 / (w0 + 2 (w1 + ...))).
GaussianKernel MakeGaussianKernel(double sigma);

// Blurs width x height samples of bpp (1 or 4) bytes from src into dst (not
// the same buffer), both rows width * bpp bytes long. A full window gives the
// weighted sum >> 11; a window cut by the ends is divided by the weights used.
// With alphaOnly (bpp 4) only byte 3 of dst is written. Rows are counted on
// progress when given; false when it reports a cancel (dst then partly written).
bool GaussianBlurPlane(const BYTE* src, BYTE* dst, int width, int height, int bpp, const GaussianKernel& kernel,
                       bool alphaOnly, RowProgress* progress);
