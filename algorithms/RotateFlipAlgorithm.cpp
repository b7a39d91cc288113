#include "algorithms/RotateFlipAlgorithm.h"

#include "algorithms/ResampleRows.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr HRESULT kNoTarget = 8;
// Quarter turns go through square tiles so that both images stay in cache.
constexpr int kTile = 32;

} // namespace

HRESULT RotateFlipAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0)
        return E_FAIL;
    const DWORD mode = params ? *static_cast<const DWORD*>(params) : 0;

    // The pixels are read from the source while the target is rewritten, so
    // a caller that hands the same image twice gets a private copy to read.
    CQLImage own;
    const CQLImage* src = source;
    if (source == target) {
        if (!own.DuplicateFrom(source))
            return kNoTarget;
        src = &own;
    }
    UINT uw = 0, uh = 0;
    src->GetSize(&uw, &uh);
    const int w = static_cast<int>(uw), h = static_cast<int>(uh);

    const bool turn = mode == RotateRight || mode == RotateLeft;
    if (mode < RotateRight || mode > FlipTopBottom) {
        if (!CopySourceToTarget())
            return kNoTarget;
        Progress(100);
        return 0;
    }
    if (target->Create(turn ? uh : uw, turn ? uw : uh) != 0)
        return kNoTarget;

    const auto* in = reinterpret_cast<const DWORD*>(src->GetBuffer(0, 0));
    auto* out = reinterpret_cast<DWORD*>(target->GetBuffer(0, 0));
    const int outRows = turn ? w : h;
    const int outWidth = turn ? h : w;
    bool finished = true;
    if (turn) {
        // Bands of kTile output rows; each band walks the source in tiles.
        const int bands = (outRows + kTile - 1) / kTile;
        finished = resample::ParallelRows(*this, bands, std::size_t{kTile} * outWidth, 1, 0, 100, [&](int band) {
            const int i0 = band * kTile, i1 = std::min(outRows, i0 + kTile);
            for (int j0 = 0; j0 < outWidth; j0 += kTile) {
                const int j1 = std::min(outWidth, j0 + kTile);
                for (int i = i0; i < i1; ++i) {
                    DWORD* row = out + static_cast<std::size_t>(i) * outWidth;
                    if (mode == RotateRight) {
                        // row i = source column i, bottom row first
                        for (int j = j0; j < j1; ++j)
                            row[j] = in[static_cast<std::size_t>(h - 1 - j) * w + i];
                    } else {
                        // row i = source column W - 1 - i, top row first
                        for (int j = j0; j < j1; ++j)
                            row[j] = in[static_cast<std::size_t>(j) * w + (w - 1 - i)];
                    }
                }
            }
        });
    } else {
        finished = resample::ParallelRows(*this, outRows, outWidth, 20, 0, 100, [&](int i) {
            DWORD* row = out + static_cast<std::size_t>(i) * outWidth;
            if (mode == MirrorLeftRight) {
                const DWORD* s = in + static_cast<std::size_t>(i) * w;
                std::reverse_copy(s, s + w, row);
            } else {
                std::memcpy(row, in + static_cast<std::size_t>(h - 1 - i) * w, std::size_t{4} * w);
            }
        });
    }
    if (!finished)
        return E_FAIL;
    Progress(100);
    return 0;
}
