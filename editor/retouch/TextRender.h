// The text object of the text overlay: lines drawn white on black at four
// times the final size, reduced by 4 x 4 means, optionally turned upright,
// then coloured; or set in a speech balloon of four shapes and four tails.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/win/WinTypes.h"

#include <string>
#include <vector>

struct TextStyle {
    std::string face = "Arial";
    BYTE charSet = 0;
    int size = 32;  // final pixel height, 1..200
    bool bold = false, italic = false, underline = false;
    bool vertical = false;
    int alignment = 0;                       // 0 left, 1 centre, 2 right
    BYTE colour[4] = {255, 255, 255, 255};  // B, G, R, A
    int balloonShape = -1;                   // -1 none, 0 rectangle, 1 rounded, 2 ellipse, 3 thought
    int balloonTail = 2;                     // 0 up-left, 1 up-right, 2 down-left, 3 down-right
    COLORREF balloonColour = 0x0080FFFF;
};

// Lines of text cut at CR and LF; CR LF is one break, every further break
// an empty line; a break at the very end adds none.
std::vector<std::string> SplitTextLines(const std::string& text);

struct TextBlockLayout {
    int width = 1, height = 1;
    std::vector<POINT> origins;  // top-left of each line
};

// extents: each line's size (an empty line measured as one space, width
// 0); emptyRow: how far an empty line moves the row down.
TextBlockLayout LayoutTextBlock(const std::vector<SIZE>& extents, const std::vector<bool>& empty, int alignment,
                                int emptyRow);

// Each output pixel the mean of a 4 x 4 square of a grey drawing (white on
// black: every byte of a pixel alike, green read for all four); a partial
// square at the right or bottom counts its missing pixels as 0.
BOOL ReduceBy4(const CQLImage& source, CQLImage* target);

// Every pixel takes the colour's blue, green and red; alpha = the grey of
// its rendered value x the colour's alpha / 255.
void ColourText(CQLImage* image, const BYTE colour[4]);

struct BalloonGeometry {
    int width = 0, height = 0;  // W x H of the body
    int imageHeight = 0;        // D = H + H / 3
    RECT body{};
    POINT textOrigin{};
    POINT tail[3]{};            // tip first
    RECT tailEllipse{};         // shape 3 only
    int corner = 0;             // shape 1's corner size
};

// For a text block of w x h (at the drawing scale).
BalloonGeometry ComputeBalloon(int w, int h, int shape, int tail);

// The object for text: TRUE with the image and the object kind (1 plain,
// 0 in a balloon); FALSE leaves both as they were.
BOOL RenderTextObject(const TextStyle& style, const std::string& text, CQLImage* object, int* objectKind);
