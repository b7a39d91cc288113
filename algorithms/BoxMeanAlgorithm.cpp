#include "algorithms/BoxMeanAlgorithm.h"

#include <algorithm>
#include <cstring>
#include <new>

BoxMeanAlgorithm::~BoxMeanAlgorithm() = default;

HRESULT BoxMeanAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    std::memcpy(&param, params, sizeof param);
    if (!target->DuplicateFrom(source))
        return E_FAIL;
    const int n = param.size;
    if (n <= 0)
        return 0;
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    const int width = static_cast<int>(w), height = static_cast<int>(h);
    // Sums reach n * n * 255; a larger window is refused rather than overflowing.
    if (n > 2800)
        return E_FAIL;
    const int pw = width + n, ph = height + n;
    if (padded.Create(pw, ph) != 0)
        return E_FAIL;
    // The target may be the source: pad from the target, which holds a copy.
    for (int i = 0; i < ph; ++i) {
        const CPixel* src = reinterpret_cast<const CPixel*>(target->GetBuffer(0, std::clamp(i - n / 2, 0, height - 1)));
        CPixel* dst = reinterpret_cast<CPixel*>(padded.GetBuffer(0, i));
        for (int j = 0; j < pw; ++j)
            dst[j] = src[std::clamp(j - n / 2, 0, width - 1)];
        Progress(i * 20 / ph);
    }
    try {
        sumR.assign(pw, 0);
        sumG.assign(pw, 0);
        sumB.assign(pw, 0);
    } catch (const std::bad_alloc&) {
        return E_FAIL;
    }
    auto addRow = [&](int row, int sign) {
        const BYTE* p = padded.GetBuffer(0, row);
        for (int j = 0; j < pw; ++j, p += 4) {
            sumB[j] += sign * p[0];
            sumG[j] += sign * p[1];
            sumR[j] += sign * p[2];
        }
    };
    for (int i = 0; i < n; ++i)
        addRow(i, 1);
    Progress(30);
    if (TestCancel())
        return E_FAIL;
    const int area = n * n;
    for (int i = 0; i < height; ++i) {
        if (i >= 1) {
            addRow(i + n - 1, 1);
            addRow(i - 1, -1);
        }
        int r = 0, g = 0, b = 0;
        for (int j = 0; j < n; ++j)
            r += sumR[j], g += sumG[j], b += sumB[j];
        BYTE* out = target->GetBuffer(0, i);
        for (int j = 0; j < width; ++j, out += 4) {
            if (j >= 1) {
                r += sumR[j + n - 1] - sumR[j - 1];
                g += sumG[j + n - 1] - sumG[j - 1];
                b += sumB[j + n - 1] - sumB[j - 1];
            }
            out[0] = static_cast<BYTE>(b / area);
            out[1] = static_cast<BYTE>(g / area);
            out[2] = static_cast<BYTE>(r / area);
            out[3] = 0;
        }
        Progress(30 + 70 * i / height);
        if (TestCancel())
            return E_FAIL;
    }
    Progress(100);
    return 0;
}
