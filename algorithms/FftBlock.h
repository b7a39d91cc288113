// A square block of complex doubles transformed in two dimensions with the
// radix-2 Fourier transform: rows, then columns.
#pragma once

#include "algorithms/NumericHelpers.h"

class FftBlock {
public:
    FftBlock() = default;
    FftBlock(const FftBlock&) = delete;
    FftBlock& operator=(const FftBlock&) = delete;
    virtual ~FftBlock();

    // n = 2^power, 1 <= n <= 512; frees any old data and allocates n x n
    // values. 1, or 0 when power is out of range or the allocation fails
    // (data null, power unchanged).
    int Create(int power);
    void Free();
    // forward: Fft of every row, then of every column (unnormalised, kernel
    // e^-it). inverse: InverseFft of every column, then of every row, so a
    // round trip returns the block (the inverse is normalised by 1 / n^2).
    void Transform(int forward);

    Complex* data = nullptr; // row-major, owned
    int size = 0;
    int power = 0;
};
