// The dark frame of the pick and click dialogs with its title in white.
#pragma once

#include "platform/afx/DC.h"
#include "platform/afx/GdiObjects.h"

inline constexpr COLORREF kFrameColour = RGB(64, 64, 64);

inline void DrawFrameTitle(CDC& dc, const RECT& frame, CFont& font, POINT at, const char* title)
{
    dc.FillSolidRect(&frame, kFrameColour);
    CFont* old = dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(255, 255, 255));
    dc.TextOut(at.x, at.y, title);
    dc.SelectObject(old);
}
