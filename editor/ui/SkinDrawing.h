// Drawing routines the skinned windows share: a dithered gradient with an
// optional texture, aspect fitting, and a picture drawn fitted into a box.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/DC.h"

// Paints rect with a ramp from colourFrom (at from) to colourTo (at to),
// along the axis (linear) or around from (radial), each pixel dithered by
// -2..1; with a texture, textureWeight/256 of each pixel is the texel.
void FillGradientRect(CDC* dc, RECT rect, POINT from, POINT to, BOOL linear, COLORREF colourFrom, COLORREF colourTo,
                      CQLImage* texture, int textureWeight);

// The largest rectangle of width:height inside rect, centred (the odd
// surplus pixel goes right or down). rect itself when the shape is empty.
RECT FitRectToAspect(RECT rect, int width, int height);

// Draws image fitted into the box; fillMargins paints the margins first.
// The result of the stretch (0 when nothing was drawn).
int DrawImageFitted(CDC* dc, int left, int top, int right, int bottom, CQLImage* image, COLORREF margin,
                    BOOL fillMargins);

// A font of the given face and cell height in pixels, normal weight.
BOOL CreatePixelFont(CFont* font, const char* face, int height, BOOL underline);

// A top-down 32-bit DIB header of image's width and the given rows; point
// the bits at the first row wanted, so the DIB calls (whose source y counts
// from the bottom row) can take source y 0.
BITMAPINFO DibHeaderOf(const CQLImage& image, int rows);

// Copies w x h pixels of a top-down 32-bit DIB (rows counted from the top,
// imageRows in all) to (x, y) at 1:1, in bands small enough to be copied on
// this thread: starting helper threads costs more than such a copy.
void CopyDibRows(CDC* dc, int x, int y, int w, int h, int srcX, int srcY, const BYTE* bits, const BITMAPINFO& info,
                 int imageRows);
