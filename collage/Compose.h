// Photos warped into their boxes with the frame laid over them, and the
// matting that turns a key colour of a reference picture into transparency.
#pragma once

#include "collage/BoxGeometry.h"
#include "collage/CollageTemplate.h"
#include "imagecore/QLImage.h"

#include <atomic>

namespace collage {

struct BoxPhoto {
    char name[256] = {};
    char path[512] = {};
    CQLImage photo; // empty when none is chosen (or the box shares another's)
    RECT range{0, 0, 0, 0};

    bool HasPhoto() const;
    void Clear();
};

enum class MattingColour { Red, Blue, Green };

// Hue of B, G, R on the 0..255 circle (red 0, green 85, blue 170), grey 0.
int HlsHue(int b, int g, int r);

// Key colour to alpha, over the whole picture in place. Returns the number
// of pixels left below alpha 255.
size_t MattingKey(CQLImage* picture, MattingColour key);

// The colour of frame point (x, y) in photo through the box's maps.
CPixel SamplePhotoForBox(const CQLImage& photo, const RECT& range, const AffineMap maps[4], int x, int y);

// result = the frame with each box's photo (or checkerboard) behind it;
// photos[i] goes with box i. false (result unspecified) when the frame is
// empty or the box map names a box that does not exist, or when *cancel
// was set while it ran.
bool ComposeCollage(const CollageTemplate& tpl, const BoxPhoto photos[kMaxBoxes], CQLImage* result,
                    const std::atomic<bool>* cancel = nullptr);

// Which boxes show no photo (bit i for box i): neither their own nor one
// shared by path with an earlier box.
unsigned BoxesWithoutPhoto(const CollageTemplate& tpl, const BoxPhoto photos[kMaxBoxes]);

} // namespace collage
