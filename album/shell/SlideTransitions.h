// The slideshow's pictures: the fitted rectangle, the two screen-sized
// frame buffers and the nine transition steps. Headless, rows on all cores.
#pragma once

#include "imagecore/QLImage.h"

namespace shelf {

class SlideTransitions {
public:
    enum Effect : int {
        kNone = 0, kRandom = 1, kBlend = 2, kFade = 3, kScanDown = 4, kScanUp = 5,
        kCenterOut = 6, kCenterIn = 7, kBlocks = 8, kSlideHorizontal = 9, kSlideVertical = 10,
        kEffectCount = 11
    };
    static constexpr int kLastStep = 10;
    static const char* const kEffectNames[kEffectCount];

    // Where an image W x H is shown on a screen SW x SH, aspect kept, centred.
    static RECT FittedRect(int imageWidth, int imageHeight, int screenWidth, int screenHeight);
    // The image sampled (nearest pixel) into its fitted rectangle of the
    // buffer, black around it. The buffer keeps its size.
    static void Compose(const CQLImage& image, CQLImage* buffer);
    // One step (1..10) of an effect on the display buffer D towards the
    // target T (both the screen's size).
    static void Step(int effect, int step, CQLImage* display, const CQLImage& target);

    // The control bar's top-left for a state (1 sliding in, else) and step.
    static POINT BarOrigin(int screenWidth, int state, int step);
};

} // namespace shelf
