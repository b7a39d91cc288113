// Greys out pixels of a chosen hue near blown-out highlights: the purple
// fringes that lenses leave along bright edges.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "algorithms/SmoothAlgorithm.h"
#include "imagecore/QLImage.h"

struct AntiFringeParams {
    INT hue;   // 0..255 on the 8-bit hue circle of HueOf
    INT range; // pixels around highlights that are treated
};

class AntiPurpleFringeAlgorithm : public EffectAlgorithm {
public:
    AntiPurpleFringeAlgorithm() = default;
    ~AntiPurpleFringeAlgorithm() override;

    // params: AntiFringeParams. The source's alpha receives the highlight
    // marks (255 where the grey is at least 237, else 0); treated target
    // pixels carry the fringe mask in alpha. 0, or E_FAIL for missing images,
    // a failed copy or smoothing, or a cancel.
    HRESULT Apply(const void* params) override;

    // The dialog's default range for the source: 1/64 of its diagonal, 1..128.
    int GetDefaultRange() const;

    // Hue of a colour on a circle of 256 steps: red 0, green 85, blue 170.
    static int HueOf(int r, int g, int b);

private:
    HRESULT BuildMask(CQLImage& marked);
    void CorrectRow(const CQLImage& from, int y) const;

    AntiFringeParams param = {};
    SmoothAlgorithm smooth;
    CQLImage local;
};
