#include "algorithms/FftBlock.h"

#include <cstddef>
#include <new>

namespace {

constexpr int kMaxPower = 9; // the 1-D transform's limit
// Columns are gathered this many at a time: one cache line of values, so a
// column pass does not walk the block once per column.
constexpr int kColumnGroup = 4;

} // namespace

FftBlock::~FftBlock()
{
    Free();
}

int FftBlock::Create(int newPower)
{
    if (newPower < 0 || newPower > kMaxPower)
        return 0;
    Free();
    const std::size_t n = std::size_t{1} << newPower;
    data = new (std::nothrow) Complex[n * n];
    if (!data)
        return 0;
    size = static_cast<int>(n);
    power = newPower;
    return 1;
}

void FftBlock::Free()
{
    delete[] data;
    data = nullptr;
    size = 0;
}

void FftBlock::Transform(int forward)
{
    if (!data)
        return;
    const std::size_t n = static_cast<std::size_t>(size);
    bool (*fn)(const Complex*, Complex*, int) = forward ? Fft : InverseFft;
    auto rows = [&] {
        for (std::size_t r = 0; r < n; ++r)
            fn(data + r * n, data + r * n, power);
    };
    auto columns = [&] {
        Complex column[kColumnGroup][1 << kMaxPower];
        for (std::size_t c0 = 0; c0 < n; c0 += kColumnGroup) {
            const std::size_t group = n - c0 < kColumnGroup ? n - c0 : kColumnGroup;
            for (std::size_t r = 0; r < n; ++r)
                for (std::size_t g = 0; g < group; ++g)
                    column[g][r] = data[r * n + c0 + g];
            for (std::size_t g = 0; g < group; ++g)
                fn(column[g], column[g], power);
            for (std::size_t r = 0; r < n; ++r)
                for (std::size_t g = 0; g < group; ++g)
                    data[r * n + c0 + g] = column[g][r];
        }
    };
    if (forward) {
        rows();
        columns();
    } else {
        columns();
        rows();
    }
}
