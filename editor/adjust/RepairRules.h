// The arithmetic of the repair and lens-effect dialogs, without windows: the
// parameter blocks from control values, marker limits, the second passes
// that run on the algorithm thread, the lens and star pictures, the
// night-shot test and the logo placement.
#pragma once

#include "algorithms/AdvancedSkinCleanAlgorithm.h"
#include "algorithms/EffectAlgorithm.h"
#include "algorithms/GradientFilterAlgorithm.h"
#include "algorithms/LoseFocusBlurAlgorithm.h"
#include "algorithms/UnsharpMaskAlgorithm.h"
#include "algorithms/VignetteCorrectionAlgorithm.h"
#include "imagecore/QLImage.h"
#include "platform/win/WinTypes.h"

namespace repair {

// --- Get Rid of Dark Corners -------------------------------------------------

inline constexpr int kThumbSide = 600;

// The photo looks cropped or resized: ask before the dialog opens.
bool DarkCornersNeedsQuestion(int width, int height);
// The thumbnail's size: the longer side becomes kThumbSide.
SIZE DarkCornersThumbSize(int width, int height);
// The marker centre held within 10 pixels of the picture rectangle's centre.
POINT ClampMarkerCentre(POINT p, const RECT& picture);
// The radius held to 0.8 .. 1.0 of the picture rectangle's half diagonal
// (the upper bound one pixel beyond).
int ClampMarkerRadius(int radius, const RECT& picture);
// The marker in the picture rectangle turned into image pixels.
VignetteParams DarkCornersParams(POINT centre, int radius, const RECT& picture, int width, int height, int range);

// --- Highlight Diffuse -------------------------------------------------------

// The grey level of the diffuse blend: (blue + 6 green + 3 red) / 10.
inline int DiffuseLevel(const BYTE* p)
{
    return (p[0] + 6 * p[1] + 3 * p[2]) / 10;
}
// FilterHost function: the host's source brightened by its extra image 0
// (the glow) into its target; param points at the opacity (int). With
// o = opacity x 255 / 100, each channel gains
// (255 - L(source)) x (o x L(glow) / 256) / 256, held at 255.
int HighlightDiffuseBlend(void* param, FilterHost* host);

// --- Quillo Sharpen and Advanced Skin Clean -----------------------------------

UnsharpMaskParams SharpenParams(bool autoMode, int radius, int amount, int threshold);
// The Radius slider's start: the diagonal times 0.0125, held to 2..32.
int SkinCleanStartRadius(int width, int height);
AdvancedSkinCleanParams SkinCleanParams(int skinLevel, int wholeImage, int morePink, int radius, int userNoiseReduction,
                                        int fakeTexture, int amount);

// --- Gradient Filter ---------------------------------------------------------

inline constexpr int kMarkerWidth = 16;
inline constexpr int kMarkerGap = 17;

GradientFilterParams GradientParams(int mode, int exposure, CPixel first, CPixel second, int start, int end, int amount,
                                    int rotate);
// A colour from the colour dialog with its brightness set to 128.
CPixel NormaliseSwatch(CPixel colour);
// The left edge of the start marker and the right edge of the end marker.
inline int BandX(int percent, int width)
{
    return width * percent / 100;
}
// A marker dragged to pixel x of a band of this width; the percent it keeps
// so that the two markers stay kMarkerGap pixels apart inside the band.
int DragStartMarker(int x, int endPercent, int width);
int DragEndMarker(int x, int startPercent, int width);
// The band's colour at column x.
CPixel BandColour(int x, int width, int start, int end, CPixel first, CPixel second);
// The lens preview of size w x h: checkerboard, ring and the filter inside.
void DrawLens(const GradientFilterAlgorithm& filter, int w, int h, CQLImage* lens);
// The checkerboard colour at (x, y).
CPixel Checker(int x, int y);

// --- Lose Focus Blur ---------------------------------------------------------

struct LensScale {
    double factor; // 1 at full size
    int radius;    // the radius the blur gets
    int width;     // of the image the blur works on
    int height;
};
LensScale LensScaleFor(int radius, int width, int height);
// The 2r x 2r aperture from channel (0 red, 1 green, 2 blue) of the shape
// picture, rows 128 bytes apart; false when r is out of 1..64.
bool BuildAperture(const CQLImage& shapes, int channel, int r, BYTE* aperture);

// The whole lens blur as one job: shrink, blur, enlarge. Apply takes a
// LoseFocusParams whose radius is the slider's; the aperture is rebuilt
// from the shape picture for the radius actually used.
class LensBlurPipeline : public EffectAlgorithm {
public:
    void SetShape(const CQLImage* shapes, int channel)
    {
        shapePicture = shapes;
        shapeChannel = channel;
    }
    HRESULT Apply(const void* params) override;

private:
    LoseFocusBlurAlgorithm blur;
    LoseFocusParams block{};
    CQLImage small;
    CQLImage blurred;
    const CQLImage* shapePicture = nullptr;
    int shapeChannel = 0;
};

// --- Digital Star Light Filter -----------------------------------------------

// The picture's channel for a shape index: red for 4 beams (0), green for 6
// (1), blue for 8 (2), as a byte index of B, G, R, A.
inline int StarChannel(int shape)
{
    return 2 - shape;
}
// The 2S x 2S star: the picture resized, turned by rotate x 0.0314 radians,
// its shape channel in the three colour bytes, 0 outside the disc of radius
// S. False when the picture is empty or memory runs out.
bool BuildStar(const CQLImage& picture, int size, int rotate, int shape, CQLImage* star);
// The star as the preview shows it with "Colorful": every lit pixel's hue by
// its distance from the centre.
void ColourStar(CQLImage* star);

struct NightTest {
    bool nightShot;
    int highest; // the highest grey level present
    int range;   // the "Range for enhancement" a passing photo gets
    long long bright; // pixels above 240
    long long dark;   // pixels below 100
};
NightTest NightShotTest(const CQLImage& image);

// --- Logo image settings -----------------------------------------------------

// The photo rectangle inside the preview panel.
RECT LogoPhotoRect(const RECT& panel);
// A click on the panel in percent of the photo rectangle.
POINT LogoClickPercent(POINT click, const RECT& photo);
RECT LogoBox(const RECT& photo, int x, int y, int size);
// value - delta held to lo..hi.
int SpinValue(int value, int delta, int lo, int hi);

} // namespace repair
