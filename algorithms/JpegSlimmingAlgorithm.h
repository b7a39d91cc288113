// JPEG slimming: optional resize, a light smoothing blend, an 8x8 DCT block
// analysis that builds an adaptive quantisation table (optionally shrinking
// small coefficients), the JPEG size with the standard and the adaptive
// table, a target size met by scaling or by a quality search, a PSNR, and
// the JPEG file.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "algorithms/JpegSlimSettings.h"

#include <memory>

// The accurate integer 8x8 DCT of the JPEG reference method (13-bit
// constants, rounding before every shift), scaled so that the DC output is
// the sum of the samples divided by 8. Coefficients are in zigzag order.
void JpegForwardDct(const int* samples, int step, short coefficients[64]);
void JpegInverseDct(const short coefficients[64], int* samples, int step);
// Natural (row-major) position of zigzag index k.
extern const int kJpegZigzagToNatural[64];
// Luminance quantisation table of T.81 Annex K, row-major.
extern const unsigned int kJpegLuminanceTable[64];

class JpegSlimmingAlgorithm : public EffectAlgorithm {
public:
    JpegSlimmingAlgorithm();
    ~JpegSlimmingAlgorithm() override;

    // params: JpegSlimSettings. 0 or E_FAIL (also for a cancel, or a target
    // that is the source).
    HRESULT Apply(const void* params) override;

    // round(min(10, sqrt(max(0, (psnr - 13) x 4)))).
    int GetQualityScore() const;
    // 1 when more than 100 neighbouring pixel pairs differ by more than 64 in
    // either chroma byte, else 0 (also when the copy fails).
    static int HasStrongEdges(const CQLImage* image);

    // A nested fit round also stops on its parent's cancel.
    int TestCancel() override;

    // Read by the dialog after a run.
    const unsigned int* GetAdaptiveTable() const { return adaptiveTable; }
    const JpegSlimSettings& GetSettings() const { return settings; }
    double psnr = 0.0;
    double energyRatio = 0.0;
    DWORD jpegSize = 0;
    INT chosenQuality = 0;
    BOOL usedStandardTable = 0;

    // The fit gives up when a side would fall below this.
    static constexpr int kMinFitSide = 8;

private:
    int CodecQuality(int q) const { return (settings.chromaOption && q != 0) ? q + 100 : q; }
    HRESULT Resize(const CQLImage*& input);
    HRESULT SmoothBlend();
    HRESULT AnalyseBlocks();
    HRESULT Measure(const CQLImage* input);
    // With bytes, the JPEG is kept there for the save.
    HRESULT Encode(const CQLImage* image, CQLImage* into, int quality, const unsigned int* table, int lo, int hi,
                   DWORD* size, std::unique_ptr<BYTE[]>* bytes = nullptr);
    // The run writes a file: the measured JPEG is kept for it.
    bool WritesFile() const;
    void ComputePsnr(const CQLImage* input);
    HRESULT ScaleFit(const CQLImage* input);
    HRESULT QualitySearch(const CQLImage* input);
    HRESULT Save();

    CQLImage work; // the resized source
    JpegSlimSettings settings;
    unsigned int adaptiveTable[64] = {};
    CQLImage kept; // the processed photo, before JPEG, for saving
    std::unique_ptr<BYTE[]> encoded; // the JPEG measured last, as the file gets it
    BYTE givenChroma = 0; // chromaOption before the colour test decided it
    JpegSlimmingAlgorithm* parent = nullptr; // the round of the fit that started this one
};
