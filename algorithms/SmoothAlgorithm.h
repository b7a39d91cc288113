// The shared low-pass filter: a Gaussian that shrinks the image first for
// large radii, a multi-scale smoothing in YUV with a highlight-expanding tone
// table, alpha-only variants of both, and a Gaussian of one plane.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "imagecore/QLChannel.h"
#include "imagecore/QLImage.h"

struct SmoothParams {
    INT radius; // pixels
};

class SmoothAlgorithm : public EffectAlgorithm {
public:
    SmoothAlgorithm() = default;
    ~SmoothAlgorithm() override;

    // params: SmoothParams. 0, or E_FAIL for missing images, a failed image
    // or scaler, or a cancel.
    HRESULT Apply(const void* params) override;

    // Non-zero also fills the tone tables.
    void SetMultiScaleMode(int on);
    // Only byte 3 of the target is smoothed; colours stay as in the source.
    void SetAlphaOnly(int on) { alphaOnly = on; }
    // Selects the centre-heavy alpha kernel of the multi-scale alpha pass.
    void SetCentreWeighted(int on) { centreWeighted = on; }
    void SetChannels(CQLChannel* src, CQLChannel* dst)
    {
        channelSource = src;
        channelTarget = dst;
    }
    // channelSource into channelTarget with the given standard deviation;
    // no image check, no progress. 0 or E_FAIL.
    HRESULT SmoothChannel(const double* sigmaIn);

    int GetRadius() const { return radius; }
    int GetShrink() const { return shrink; }
    double GetSigma() const { return sigma; }
    int GetLevels() const { return levels; }
    int GetMargin() const { return marginX; }
    const int* GetHighlightTable() const { return highlightTable; }
    const int* GetInverseTable() const { return inverseTable; }

private:
    HRESULT GaussianPath();
    HRESULT MultiScalePath();
    void FillWork(const CQLImage& from);
    bool MultiScalePass(int step, int lo, int hi);

    int radius = 0;
    int marginX = 0;
    int marginY = 0;
    int workWidth = 0;
    int workHeight = 0;
    int levels = 1;
    CQLImage work;
    int centreWeighted = 0;
    int shrink = 1;
    double sigma = 0.0;
    int highlightTable[256] = {};
    int inverseTable[1024] = {};
    int multiScale = 0;
    int alphaOnly = 0;
    CQLChannel* channelSource = nullptr;
    CQLChannel* channelTarget = nullptr;
};

// The plain "Blur" command: every inner pixel's colour bytes become
// (2 centre + left + right + above + below) / 6. 1, or 0 when the copy fails.
int BlurImage(CQLImage* source, CQLImage* target);
