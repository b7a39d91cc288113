// The arithmetic of the overlay sheet and the navigator, kept free of
// windows: where an object is placed on the photo, the blend job filled from
// the pages, and the navigator's box, view rectangle and click scrolling.
#pragma once

#include "algorithms/OverlayBlendAlgorithm.h"
#include "editor/retouch/TextSettings.h"
#include "platform/win/WinTypes.h"

// An object of w x h at the photo's top-left corner, both sides halved
// together until they fit a photo of photoW x photoH.
RECT FitObjectRect(int w, int h, int photoW, int photoH);

// A kept rectangle shifted into the photo: a negative left or top becomes
// 0, a right or bottom at or beyond the photo's edge moves back so that it
// ends one pixel inside. FALSE (rect unchanged) when it is wider or taller
// than the photo: the caller fits the object afresh.
BOOL ShiftRectIntoPhoto(RECT* rect, int photoW, int photoH);

// The blend job for an object at rect: emboss fills the bevel fields,
// emission the outline fields; the 512-byte area stays zero.
OverlayBlendParams MakeOverlayJob(const RECT& rect, int mode, int opacity, int objectKind,
                                  const OverlayEffects& effects);

namespace navigator {

// The client area less 10 pixels on the left and 6 on the other sides,
// shrunk on one axis to the photo's aspect ratio and centred. Empty without
// a photo or room.
RECT Box(const RECT& client, int imageW, int imageH);

// The photo's visible part (image pixels from scroll, shownW x shownH) in
// box terms, clipped to the box's right and bottom. Empty for an empty box.
RECT ViewRect(const RECT& box, int imageW, int imageH, int scrollX, int scrollY, int shownW, int shownH);

// The view rectangle is drawn only when its top-left corner lies in the box.
bool ViewRectShown(const RECT& box, const RECT& view);

// The scroll that brings the view rectangle's centre to point:
// scroll + (point - centre) x image size / box size. Unchanged for an empty box.
POINT ScrollForPoint(const RECT& box, const RECT& view, POINT point, int imageW, int imageH, POINT scroll);

}  // namespace navigator
