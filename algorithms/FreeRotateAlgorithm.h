// Turns a photo by any angle about its centre into an image just large
// enough to hold it, with a background colour outside the picture, and
// optionally crops to the largest centred rectangle of the same proportions
// that holds no background.
#pragma once

#include "algorithms/EffectAlgorithm.h"

class FreeRotateAlgorithm : public EffectAlgorithm {
public:
    FreeRotateAlgorithm() = default;
    ~FreeRotateAlgorithm() override;

    // params: one double, the angle in radians; positive turns clockwise on
    // screen. The target is re-created at the turned size. 0, or E_FAIL for
    // missing images, an angle that is not a number, a turned size of zero,
    // a target or crop that cannot be made, or a cancel.
    HRESULT Apply(const void* params) override;

    // Non-zero crops after the turn.
    void SetAlgorithmInput(int value) { autoCrop = value; }

    double GetAngle() const { return angle; }

private:
    void TurnRow(const CQLImage& from, int y, const double* colX, const double* colY);
    bool Crop();

    int autoCrop = 0;
    double angle = 0.0;
    int sourceCentreX = 0;
    int sourceCentreY = 0;
    int targetCentreX = 0;
    int targetCentreY = 0;
    double sinAngle = 0.0;
    double cosAngle = 1.0;

public:
    // Red in the lowest byte, green next, blue in the third; the top byte is
    // not used. Set by the owner before a run.
    DWORD background = 0;
};
