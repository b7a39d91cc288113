// The capture program's picture button: the skinned picture button with a
// one-pixel edge around its face, raised under the cursor, sunk when pressed.
#pragma once

#include "editor/ui/ImgButton.h"

namespace snap {

class CSnapButton : public CImgButton {
public:
    void DrawFace(int greyPercent, CDC* dc, RECT rect, BOOL useHot, BOOL pressed) override;
};

// Lightens (step > 0) or darkens the face's outer rows and columns in image:
// top and left by step, bottom and right by -step. (x0, y0, w, h) is the
// face in the image's top-down coordinates.
void DrawFaceEdge(CQLImage& image, int x0, int y0, int w, int h, int step);

// The edge step for a background colour: 64, or 128 on a dark one.
int FaceEdgeStep(BYTE b, BYTE g, BYTE r);

} // namespace snap
