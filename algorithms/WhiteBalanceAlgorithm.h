// Removes a colour cast: three per-channel curves map a reference colour to
// grey. The reference is given, or detected from the photo after a levels
// stretch; an optional pass limits the change to a range of hues.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "algorithms/ToneBlendAlgorithm.h"
#include "imagecore/QLImage.h"

class WhiteBalanceAlgorithm : public EffectAlgorithm {
public:
    // Modes in the high byte of the parameter when its colour bits are 0.
    enum : BYTE { Detect = 0, DetectSoften = 1, NoCorrection = 2 };

    // params: a DWORD; bits 0-7 B, 8-15 G, 16-23 R of the reference colour,
    // or 0 there and the mode in bits 24-31 (modes above 2 correct nothing).
    // 0, or E_FAIL for missing images, a failed copy, a failed tone pass or
    // a cancel. source may not be the target when the tone pass is on.
    HRESULT Apply(const void* params) override;

    // Limits the change to hues start..last (ramps start..end and
    // first..last, full strength end..first) on the codec's 0..255 circle.
    void SetToneRange(int start, int end, int first, int last);
    void ClearToneRange() { tonePass = 0; }

    // The colour the last run mapped to grey, before the curve adjustments.
    CPixel GetReference() const { return reference; }

    // 256 entries: the curve that moves grey level a to level b, and the
    // curve inverted (entry j: first i whose value reaches j).
    static void ShiftCurve(int a, int b, BYTE curve[256]);
    static void InvertCurve(const BYTE curve[256], BYTE inverse[256]);

private:
    bool DetectReference();

    DWORD param = 0;
    CPixel reference = {0, 0, 0, 0};
    INT tonePass = 0;
    ToneBlendAlgorithm toneBlend;
    ToneBlendParams toneParams = {};
    CQLImage work;
};

// Runs a WhiteBalanceAlgorithm in one of its automatic modes.
class AutoWhiteBalanceAlgorithm : public EffectAlgorithm {
public:
    // params: pointer to an INT whose low byte is the mode (null: mode 0).
    // What the white balance returns, or E_FAIL for missing images or a cancel.
    HRESULT Apply(const void* params) override;
};
