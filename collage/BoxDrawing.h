// Drawing shared by the edit canvas, the preview and the paste-range view:
// a picture fitted into a window, and a box's outline, icons and number.
#pragma once

#include "collage/CollageTemplate.h"
#include "imagecore/QLImage.h"
#include "platform/afx/Afx.h"

namespace collage {

// Resource ids of the pictures.
inline constexpr UINT kProgramIcon = 128;
inline constexpr UINT kCornerCursor = 129;
inline constexpr UINT kRotateCursor = 130;
inline constexpr UINT kCentreIcon = 131;
inline constexpr UINT kHandleIcon = 132;
inline constexpr UINT kFirstCornerIcon = 133;

// The picture's place in client less 10 pixels a side, aspect kept,
// centred (the odd pixel of the slack to the right or bottom).
RECT FitPicture(const RECT& client, int width, int height);

// Between window and picture coordinates through the fitted place; window
// points are clamped into the picture.
BoxPoint WindowToPicture(POINT p, const RECT& fit, int width, int height);
POINT PictureToWindow(BoxPoint p, const RECT& fit, int width, int height);

// Margins RGB(64, 64, 64), the picture stretched in half-tone mode, black
// frames around it and the client; grey RGB(128, 128, 128) framed in
// RGB(64, 64, 64) without a picture. The fitted place goes to *fit.
void PaintFitted(CDC& dc, const RECT& client, const CQLImage* picture, RECT* fit);

// The outline in XOR with a white pen, the centre icon and the number
// (index + 1); with handles, an icon on each corner.
void DrawBoxMarks(CDC& dc, const FrameBox& box, int index, const RECT& fit, int width, int height, bool handles);

} // namespace collage
