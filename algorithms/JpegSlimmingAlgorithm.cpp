#include "algorithms/JpegSlimmingAlgorithm.h"

#include "algorithms/JpegSizeAlgorithm.h"
#include "algorithms/ResampleAlgorithm.h"
#include "algorithms/RowProgress.h"
#include "algorithms/SeparableResizeAlgorithm.h"
#include "algorithms/SmoothAlgorithm.h"
#include "imagecore/ParallelFor.h"
#include "platform/codec/ColorForms.h"
#include "platform/codec/CodecInternal.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

const int kJpegZigzagToNatural[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63,
};

const unsigned int kJpegLuminanceTable[64] = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99,
};

namespace {

constexpr int kConstBits = 13;
constexpr int kPass1Bits = 2;
constexpr int kFix0_298631336 = 2446;
constexpr int kFix0_390180644 = 3196;
constexpr int kFix0_541196100 = 4433;
constexpr int kFix0_765366865 = 6270;
constexpr int kFix0_899976223 = 7373;
constexpr int kFix1_175875602 = 9633;
constexpr int kFix1_501321110 = 12299;
constexpr int kFix1_847759065 = 15137;
constexpr int kFix1_961570560 = 16069;
constexpr int kFix2_053119869 = 16819;
constexpr int kFix2_562915447 = 20995;
constexpr int kFix3_072711026 = 25172;

inline int Descale(int x, int n)
{
    return (x + (1 << (n - 1))) >> n;
}

struct NaturalToZigzag {
    int index[64];
    NaturalToZigzag()
    {
        for (int k = 0; k < 64; ++k)
            index[kJpegZigzagToNatural[k]] = k;
    }
};
const NaturalToZigzag kToZigzag;

// One 8-point forward pass: in[i * inStep] into out[i * outStep]; even
// outputs 0 and 4 scaled by evenShift (left) or descaled by evenDescale,
// the rest descaled by oddDescale.
inline void ForwardPass(const int* in, int inStep, int* out, int outStep, int evenShift, int evenDescale, int oddDescale)
{
    const int tmp0 = in[0] + in[7 * inStep], tmp7 = in[0] - in[7 * inStep];
    const int tmp1 = in[inStep] + in[6 * inStep], tmp6 = in[inStep] - in[6 * inStep];
    const int tmp2 = in[2 * inStep] + in[5 * inStep], tmp5 = in[2 * inStep] - in[5 * inStep];
    const int tmp3 = in[3 * inStep] + in[4 * inStep], tmp4 = in[3 * inStep] - in[4 * inStep];
    const int tmp10 = tmp0 + tmp3, tmp13 = tmp0 - tmp3, tmp11 = tmp1 + tmp2, tmp12 = tmp1 - tmp2;
    if (evenDescale) {
        out[0] = Descale(tmp10 + tmp11, evenDescale);
        out[4 * outStep] = Descale(tmp10 - tmp11, evenDescale);
    } else {
        out[0] = (tmp10 + tmp11) * (1 << evenShift);
        out[4 * outStep] = (tmp10 - tmp11) * (1 << evenShift);
    }
    int z1 = (tmp12 + tmp13) * kFix0_541196100;
    out[2 * outStep] = Descale(z1 + tmp13 * kFix0_765366865, oddDescale);
    out[6 * outStep] = Descale(z1 + tmp12 * -kFix1_847759065, oddDescale);

    z1 = tmp4 + tmp7;
    int z2 = tmp5 + tmp6, z3 = tmp4 + tmp6, z4 = tmp5 + tmp7;
    const int z5 = (z3 + z4) * kFix1_175875602;
    const int t4 = tmp4 * kFix0_298631336, t5 = tmp5 * kFix2_053119869;
    const int t6 = tmp6 * kFix3_072711026, t7 = tmp7 * kFix1_501321110;
    z1 *= -kFix0_899976223;
    z2 *= -kFix2_562915447;
    z3 = z3 * -kFix1_961570560 + z5;
    z4 = z4 * -kFix0_390180644 + z5;
    out[7 * outStep] = Descale(t4 + z1 + z3, oddDescale);
    out[5 * outStep] = Descale(t5 + z2 + z4, oddDescale);
    out[3 * outStep] = Descale(t6 + z2 + z3, oddDescale);
    out[outStep] = Descale(t7 + z1 + z4, oddDescale);
}

// One 8-point inverse pass, descaling every output by shift.
inline void InversePass(const int* in, int inStep, int* out, int outStep, int shift)
{
    int z2 = in[2 * inStep], z3 = in[6 * inStep];
    int z1 = (z2 + z3) * kFix0_541196100;
    const int tmp2 = z1 + z3 * -kFix1_847759065;
    const int tmp3 = z1 + z2 * kFix0_765366865;
    z2 = in[0];
    z3 = in[4 * inStep];
    const int tmp0 = (z2 + z3) * (1 << kConstBits);
    const int tmp1 = (z2 - z3) * (1 << kConstBits);
    const int tmp10 = tmp0 + tmp3, tmp13 = tmp0 - tmp3, tmp11 = tmp1 + tmp2, tmp12 = tmp1 - tmp2;

    int o0 = in[7 * inStep], o1 = in[5 * inStep], o2 = in[3 * inStep], o3 = in[inStep];
    z1 = o0 + o3;
    z2 = o1 + o2;
    z3 = o0 + o2;
    int z4 = o1 + o3;
    const int z5 = (z3 + z4) * kFix1_175875602;
    o0 *= kFix0_298631336;
    o1 *= kFix2_053119869;
    o2 *= kFix3_072711026;
    o3 *= kFix1_501321110;
    z1 *= -kFix0_899976223;
    z2 *= -kFix2_562915447;
    z3 = z3 * -kFix1_961570560 + z5;
    z4 = z4 * -kFix0_390180644 + z5;
    o0 += z1 + z3;
    o1 += z2 + z4;
    o2 += z2 + z3;
    o3 += z1 + z4;
    out[0] = Descale(tmp10 + o3, shift);
    out[7 * outStep] = Descale(tmp10 - o3, shift);
    out[outStep] = Descale(tmp11 + o2, shift);
    out[6 * outStep] = Descale(tmp11 - o2, shift);
    out[2 * outStep] = Descale(tmp12 + o1, shift);
    out[5 * outStep] = Descale(tmp12 - o1, shift);
    out[3 * outStep] = Descale(tmp13 + o0, shift);
    out[4 * outStep] = Descale(tmp13 - o0, shift);
}

void SetOptionsFor(ResampleAlgorithm& resample, int method, double scale)
{
    const int sharpen = scale >= 0.5 ? static_cast<int>((1.0 - scale) * 50.0 + 5.0) : 30;
    resample.SetOptions(method, 90, sharpen);
}

} // namespace

void JpegForwardDct(const int* samples, int step, short coefficients[64])
{
    int ws[64];
    for (int r = 0; r < 8; ++r)
        ForwardPass(samples + r * step, 1, ws + r * 8, 1, kPass1Bits, 0, kConstBits - kPass1Bits);
    int out[64];
    // The extra 3 bits divide by 8: DC becomes the sum of the samples / 8.
    for (int c = 0; c < 8; ++c)
        ForwardPass(ws + c, 8, out + c, 8, 0, kPass1Bits + 3, kConstBits + kPass1Bits + 3);
    for (int p = 0; p < 64; ++p)
        coefficients[kToZigzag.index[p]] = static_cast<short>(out[p]);
}

void JpegInverseDct(const short coefficients[64], int* samples, int step)
{
    int in[64], ws[64];
    for (int p = 0; p < 64; ++p)
        in[p] = coefficients[kToZigzag.index[p]];
    for (int c = 0; c < 8; ++c)
        InversePass(in + c, 8, ws + c, 8, kConstBits - kPass1Bits);
    for (int r = 0; r < 8; ++r)
        InversePass(ws + r * 8, 1, samples + r * step, 1, kConstBits + kPass1Bits + 3);
}

JpegSlimmingAlgorithm::JpegSlimmingAlgorithm() = default;
JpegSlimmingAlgorithm::~JpegSlimmingAlgorithm() = default;

int JpegSlimmingAlgorithm::TestCancel()
{
    int cancelled = EffectAlgorithm::TestCancel();
    if (parent && parent->TestCancel())
        cancelled = 1;
    return cancelled;
}

int JpegSlimmingAlgorithm::GetQualityScore() const
{
    const double v = std::min(10.0, std::sqrt(std::max(0.0, (psnr - 13.0) * 4.0)));
    return static_cast<int>(v + 0.5);
}

int JpegSlimmingAlgorithm::HasStrongEdges(const CQLImage* image)
{
    if (!image || image->GetAreaByteSize() == 0)
        return 0;
    UINT w = 0, h = 0;
    image->GetSize(&w, &h);
    const std::size_t rowBytes = std::size_t{w} * 4;
    std::vector<BYTE> above, row;
    try {
        above.resize(rowBytes);
        row.resize(rowBytes);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    // Row by row in YUV form; the count only decides past 100.
    auto differ = [](const BYTE* a, const BYTE* b) { return std::abs(a[0] - b[0]) > 64 || std::abs(a[1] - b[1]) > 64; };
    int count = 0;
    for (UINT y = 0; y < h; ++y) {
        std::memcpy(row.data(), image->GetBuffer(0, static_cast<int>(y)), rowBytes);
        qlcodec::RgbToYuv(row.data(), w);
        for (UINT x = 1; x < w; ++x)
            count += differ(&row[(x - 1) * 4], &row[x * 4]);
        if (y > 0)
            for (UINT x = 0; x < w; ++x)
                count += differ(&above[x * 4], &row[x * 4]);
        if (count > 100)
            return 1;
        row.swap(above);
    }
    return 0;
}

HRESULT JpegSlimmingAlgorithm::Apply(const void* params)
{
    // The source stays the reference of the PSNR: it cannot be the target.
    if (EffectAlgorithm::Apply(params) != 0 || !params || target == source)
        return E_FAIL;
    settings = *static_cast<const JpegSlimSettings*>(params);
    chosenQuality = 0;
    encoded.reset();
    if (!settings.PathTerminated())
        return E_FAIL;

    const CQLImage* input = source;
    if (Resize(input) != 0)
        return E_FAIL;
    givenChroma = settings.chromaOption;
    if (settings.chromaOption == 2)
        settings.chromaOption = static_cast<BYTE>(HasStrongEdges(target));
    Progress(10);
    if (SmoothBlend() != 0)
        return E_FAIL;
    Progress(20);
    if (TestCancel())
        return E_FAIL;

    if (AnalyseBlocks() != 0)
        return E_FAIL;
    Progress(60);
    if (TestCancel())
        return E_FAIL;
    if (!(settings.flags & JpegSlimSettings::kMeasure)) {
        Progress(100);
        return 0;
    }

    if (!kept.DuplicateFrom(target))
        return E_FAIL;
    if (Measure(input) != 0)
        return E_FAIL;
    HRESULT hr = 0;
    if (settings.sizeMode == 0 || static_cast<long long>(settings.targetKB) * 1024 >= jpegSize)
        hr = Save();
    else if (settings.sizeMode == 1)
        hr = ScaleFit(input);
    else if (settings.sizeMode == 2)
        hr = QualitySearch(input) != 0 ? E_FAIL : Save();
    else
        hr = Save();
    kept.Free();
    encoded.reset();
    if (hr != 0)
        return E_FAIL;
    Progress(100);
    return 0;
}

HRESULT JpegSlimmingAlgorithm::Resize(const CQLImage*& input)
{
    UINT uw = 0, uh = 0;
    source->GetSize(&uw, &uh);
    const long long w = uw, h = uh, length = settings.resizeLength;
    long long nw = w, nh = h;
    int mode = settings.resizeMode;
    if (mode == 3)
        mode = h < w ? 1 : 2;
    if (mode == 1 && length < w)
        nw = length, nh = h * length / w;
    else if (mode == 2 && length < h)
        nw = w * length / h, nh = length;
    if (nw == w && nh == h)
        return CopySourceToTarget() ? 0 : E_FAIL;

    if (nw < 1 || nh < 1 || nw > 0x7FFFFFFF || nh > 0x7FFFFFFF)
        return E_FAIL;
    ResampleAlgorithm resample;
    SetOptionsFor(resample, 0, static_cast<double>(nw) / static_cast<double>(w));
    resample.SetImages(source, &work);
    resample.SetCallback(callback);
    resample.SetRange(RangeAt(0), RangeAt(10));
    const ResizeParams size{static_cast<INT>(nw), static_cast<INT>(nh)};
    if (resample.Apply(&size) != 0 || !target->DuplicateFrom(&work))
        return E_FAIL;
    input = &work;
    return 0;
}

HRESULT JpegSlimmingAlgorithm::SmoothBlend()
{
    // A zero weight blends to the photo itself.
    const int p = std::clamp(static_cast<int>(settings.smoothPercent), 0, 100);
    if (p == 0)
        return 0;
    CQLImage smoothed;
    SmoothAlgorithm smooth;
    smooth.SetImages(target, &smoothed);
    smooth.SetCallback(callback);
    smooth.SetRange(RangeAt(10), RangeAt(20));
    const SmoothParams radius{1};
    if (smooth.Apply(&radius) != 0)
        return E_FAIL;
    UINT w = 0, h = 0;
    target->GetSize(&w, &h);
    const int width = static_cast<int>(w), height = static_cast<int>(h);
    if (width < 3 || height < 3)
        return 0;
    imagecore::ParallelFor(1, height - 1, w, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            BYTE* t = target->GetBuffer(1, y);
            const BYTE* s = smoothed.GetBuffer(1, y);
            for (int i = 0; i < (width - 2) * 4; i += 4)
                for (int c = 0; c < 3; ++c)
                    t[i + c] = static_cast<BYTE>((p * s[i + c] + (100 - p) * t[i + c]) / 100);
        }
    });
    return 0;
}

HRESULT JpegSlimmingAlgorithm::AnalyseBlocks()
{
    UINT w = 0, h = 0;
    target->GetSize(&w, &h);
    const int cols = static_cast<int>(w / 8), rows = static_cast<int>(h / 8);
    // The photo goes to YUV and back one strip of block rows at a time (the
    // same per-pixel forms as the codec's whole-image conversions), so it is
    // read once and a cancel leaves no strip in YUV.
    auto toYuv = [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            qlcodec::RgbToYuv(target->GetBuffer(0, y), w);
    };
    auto toRgb = [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            qlcodec::YuvToRgb(target->GetBuffer(0, y), w);
    };
    imagecore::ParallelFor(rows * 8, static_cast<int>(h), w, [&](int y0, int y1) {
        toYuv(y0, y1);
        toRgb(y0, y1);
    });
    if (cols == 0)
        imagecore::ParallelFor(0, rows * 8, w, [&](int y0, int y1) {
            toYuv(y0, y1);
            toRgb(y0, y1);
        });
    long long average[64] = {};
    if (cols > 0 && rows > 0) {
        // Sums per block row, added up in order afterwards.
        std::vector<long long> sums;
        try {
            sums.assign(static_cast<std::size_t>(rows) * 64, 0);
        } catch (const std::bad_alloc&) {
            return E_FAIL;
        }
        double shrink[256]; // 4 c^3 by the block's mean level
        for (int m = 0; m < 256; ++m) {
            const double c = m > 128 ? (m - 128) / 128.0 : (128 - m) / 256.0;
            shrink[m] = 4.0 * c * c * c;
        }
        double root[64];
        for (int k = 0; k < 64; ++k)
            root[k] = std::sqrt(static_cast<double>(k));
        const bool denoise = settings.dctDenoise != 0;
        RowProgress progress(*this, rows, 20, 40);
        imagecore::ParallelFor(0, rows, static_cast<std::size_t>(w) * 8, [&](int r0, int r1) {
            int samples[64];
            short coef[64];
            for (int br = r0; br < r1; ++br) {
                toYuv(br * 8, br * 8 + 8);
                long long* sum = &sums[static_cast<std::size_t>(br) * 64];
                for (int bc = 0; bc < cols; ++bc) {
                    for (int y = 0; y < 8; ++y) {
                        const BYTE* p = target->GetBuffer(bc * 8, br * 8 + y) + 2;
                        for (int x = 0; x < 8; ++x)
                            samples[y * 8 + x] = p[x * 4];
                    }
                    JpegForwardDct(samples, 8, coef);
                    if (denoise) {
                        const int m = std::clamp(coef[0] / 8, 0, 255);
                        for (int k = 1; k < 64; ++k) {
                            const int v = coef[k];
                            const double reduced = std::trunc(std::abs(v) - shrink[m] * root[k]);
                            const int mag = reduced > 0 ? static_cast<int>(reduced) : 0;
                            coef[k] = static_cast<short>(v < 0 ? -mag : mag);
                        }
                        JpegInverseDct(coef, samples, 8);
                        for (int y = 0; y < 8; ++y) {
                            BYTE* p = target->GetBuffer(bc * 8, br * 8 + y) + 2;
                            for (int x = 0; x < 8; ++x)
                                p[x * 4] = qlcodec::ClampByte(samples[y * 8 + x]);
                        }
                    }
                    for (int k = 1; k < 64; ++k)
                        sum[k] += std::abs(coef[k]);
                }
                toRgb(br * 8, br * 8 + 8);
                if (!progress.Advance(1))
                    return;
            }
        });
        if (progress.Cancelled())
            return E_FAIL;
        const long long blocks = static_cast<long long>(cols) * rows;
        for (int k = 1; k < 64; ++k) {
            long long total = 0;
            for (int br = 0; br < rows; ++br)
                total += sums[static_cast<std::size_t>(br) * 64 + k];
            average[k] = total / blocks;
        }
    }
    Progress(40);

    // Without a whole block there is nothing to adapt to: the standard table.
    const bool adapt = settings.adaptive && cols > 0 && rows > 0;
    const long long largest = *std::max_element(average, average + 64);
    for (int i = 0; i < 64; ++i) {
        const unsigned int standard = kJpegLuminanceTable[i]; // row-major position i, as the table is read
        if (!adapt || i == 0) {
            adaptiveTable[i] = standard;
            continue;
        }
        unsigned int entry = 255;
        if (average[i] != 0) {
            const int pos = kJpegZigzagToNatural[i];
            const int row = pos / 8, col = pos % 8;
            const double value = static_cast<double>(largest) * standard
                                 / (std::sqrt(static_cast<double>(row * row + col * col)) * static_cast<double>(average[i]));
            entry = static_cast<unsigned int>(std::min(255.0, value) + 0.5);
        }
        adaptiveTable[i] = std::clamp(entry, 1u, 255u);
    }
    return 0;
}

bool JpegSlimmingAlgorithm::WritesFile() const
{
    return (settings.flags & JpegSlimSettings::kMeasure) && !(settings.flags & JpegSlimSettings::kNoWrite)
           && settings.path[0] != 0;
}

HRESULT JpegSlimmingAlgorithm::Encode(const CQLImage* image, CQLImage* into, int quality, const unsigned int* table,
                                      int lo, int hi, DWORD* size, std::unique_ptr<BYTE[]>* bytes)
{
    JpegSizeAlgorithm jpeg;
    jpeg.SetKeepBytes(bytes != nullptr);
    // Size only still needs a target for the input check; it is not touched.
    jpeg.SetImages(const_cast<CQLImage*>(image), into ? into : const_cast<CQLImage*>(image));
    jpeg.SetSizeOnly(into ? 0 : 1);
    if (lo >= 0) {
        jpeg.SetCallback(callback);
        jpeg.SetRange(RangeAt(lo), RangeAt(hi));
    }
    jpeg.qTable = table;
    const INT q = CodecQuality(quality);
    if (jpeg.Apply(&q) != 0)
        return E_FAIL;
    *size = jpeg.GetJpegSize();
    if (bytes)
        *bytes = jpeg.TakeBytes();
    return 0;
}

HRESULT JpegSlimmingAlgorithm::Measure(const CQLImage* input)
{
    // kept is the processed target; decodes go straight into the target.
    // The JPEG that is saved is the one measured here (or by the search).
    const bool keep = WritesFile();
    if (!settings.adaptive) {
        if (Encode(&kept, target, settings.quality, nullptr, 60, 80, &jpegSize, keep ? &encoded : nullptr) != 0)
            return E_FAIL;
        usedStandardTable = 1;
    } else {
        CQLImage standardDecode;
        DWORD a = 0, b = 0;
        std::unique_ptr<BYTE[]> standardBytes;
        if (Encode(&kept, &standardDecode, settings.quality, nullptr, 60, 70, &a, keep ? &standardBytes : nullptr) != 0
            || TestCancel()
            || Encode(&kept, target, settings.quality, adaptiveTable, 70, 80, &b, keep ? &encoded : nullptr) != 0)
            return E_FAIL;
        if (b < a) {
            usedStandardTable = 0;
            jpegSize = b;
        } else {
            *target = std::move(standardDecode);
            encoded = std::move(standardBytes);
            usedStandardTable = 1;
            jpegSize = a;
        }
    }
    ComputePsnr(input);
    return 0;
}

void JpegSlimmingAlgorithm::ComputePsnr(const CQLImage* input)
{
    UINT w = 0, h = 0;
    input->GetSize(&w, &h);
    const int width = static_cast<int>(w), height = static_cast<int>(h);
    std::vector<long long> d(static_cast<std::size_t>(height)), e(static_cast<std::size_t>(height));
    imagecore::ParallelFor(0, height, w, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const BYTE* s = input->GetBuffer(0, y);
            const BYTE* t = target->GetBuffer(0, y);
            long long dy = 0, ey = 0;
            // Flat over the bytes so it vectorises; alpha counts 0. Runs of
            // 8192 bytes keep 32-bit partial sums exact.
            const int bytes = width * 4;
            for (int from = 0; from < bytes; from += 8192) {
                const int to = std::min(bytes, from + 8192);
                std::uint32_t dr = 0, er = 0;
                for (int i = from; i < to; ++i) {
                    const std::uint32_t keep = (i & 3) != 3;
                    const int diff = s[i] - t[i];
                    dr += keep * static_cast<std::uint32_t>(diff * diff);
                    er += keep * static_cast<std::uint32_t>(s[i] * s[i]);
                }
                dy += dr, ey += er;
            }
            d[y] = dy, e[y] = ey;
        }
    });
    long long dsum = 0, esum = 0;
    for (int y = 0; y < height; ++y)
        dsum += d[y], esum += e[y];
    const double D = static_cast<double>(dsum), E = static_cast<double>(esum);
    energyRatio = E / D;
    psnr = 20.0 * std::log10(255.0 / std::sqrt(D / (static_cast<double>(w) * h)));
}

HRESULT JpegSlimmingAlgorithm::ScaleFit(const CQLImage* input)
{
    const double budget = std::trunc(static_cast<double>(settings.targetKB) * 1024 * 0.95);
    if (budget <= 0 || jpegSize == 0)
        return E_FAIL;
    const double e = std::sqrt(budget / jpegSize);
    const CQLImage* base = images.empty() ? input : images[0];
    if (!base || base->GetAreaByteSize() == 0)
        return E_FAIL;
    UINT bw = 0, bh = 0, iw = 0, ih = 0;
    base->GetSize(&bw, &bh);
    input->GetSize(&iw, &ih);
    const long long nw = static_cast<long long>(bw * e + 0.5), nh = static_cast<long long>(bh * e + 0.5);
    // Each round must shrink the photo, or the fit would never end.
    if (nw < kMinFitSide || nh < kMinFitSide || (nw >= iw && nh >= ih))
        return E_FAIL;

    CQLImage resized;
    {
        ResampleAlgorithm resample;
        SetOptionsFor(resample, 1, e);
        resample.SetImages(const_cast<CQLImage*>(base), &resized);
        const ResizeParams size{static_cast<INT>(nw), static_cast<INT>(nh)};
        if (resample.Apply(&size) != 0)
            return E_FAIL;
    }
    Progress(90);
    if (TestCancel())
        return E_FAIL;
    // Not needed by the next round; it keeps its own.
    kept.Free();
    work.Free();
    encoded.reset();

    auto next = std::make_unique<JpegSlimmingAlgorithm>();
    next->parent = this;
    next->SetImages(&resized, target);
    next->SetCallback(callback);
    next->SetRange(RangeAt(90), RangeAt(100));
    if (!images.empty())
        next->AddImage(images[0]);
    JpegSlimSettings block = settings; // as given: the next round tests its own colours
    block.chromaOption = givenChroma;
    if (next->Apply(&block) != 0)
        return E_FAIL;
    psnr = next->psnr;
    energyRatio = next->energyRatio;
    jpegSize = next->jpegSize;
    usedStandardTable = next->usedStandardTable;
    std::memcpy(adaptiveTable, next->adaptiveTable, sizeof adaptiveTable);
    return 0;
}

HRESULT JpegSlimmingAlgorithm::QualitySearch(const CQLImage* input)
{
    const unsigned int* table = settings.adaptive && !usedStandardTable ? adaptiveTable : nullptr;
    const long long limit = static_cast<long long>(settings.targetKB) * 1024;
    int lo = 0, hi = settings.quality, best = 1;
    int shown = 80;
    // Halving ends within 32 steps for any 32-bit range.
    for (int step = 0; step < 40; ++step) {
        const int mid = static_cast<int>((static_cast<long long>(lo) + hi) / 2);
        DWORD size = 0;
        if (Encode(&kept, nullptr, mid, table, -1, -1, &size) != 0)
            return E_FAIL;
        bool done;
        if (size > limit) {
            done = mid <= 0;
            if (!done)
                hi = mid;
        } else {
            best = std::max(best, mid);
            done = mid >= hi - 1;
            if (!done)
                lo = mid;
        }
        // The formula can step back when hi moves; progress never does.
        shown = std::max(shown, std::min(100, (mid - hi + 100) / 5 + 80));
        Progress(shown);
        if (TestCancel())
            return E_FAIL;
        if (done)
            break;
    }
    if (Encode(&kept, target, best, table, -1, -1, &jpegSize, WritesFile() ? &encoded : nullptr) != 0)
        return E_FAIL;
    ComputePsnr(input);
    chosenQuality = best;
    Progress(100);
    return 0;
}

HRESULT JpegSlimmingAlgorithm::Save()
{
    if (!WritesFile())
        return 0;
    // The bytes measured at the quality and with the table the save would use.
    const std::unique_ptr<BYTE[]> bytes = std::move(encoded);
    if (!bytes || jpegSize == 0)
        return E_FAIL;
    return qlcodec::WriteReplacing(settings.path, [&](int fd, const std::string&) {
               return qlcodec::WriteAll(fd, bytes.get(), jpegSize);
           })
               ? 0
               : E_FAIL;
}
