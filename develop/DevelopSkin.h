// The wizard's skin: the program folder, the button and check-box pictures
// read from the "raw" folder beside the program, and the two-colour gradient
// that the wizard and its controls paint with.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/DC.h"
#include "platform/afx/WinUser.h"

#include <string>

namespace develop {

// Posted by the skinned controls to their parent: wParam kind << 16 | id.
inline constexpr UINT WM_DEVELOP_NOTIFY = WM_USER + 4102;
enum : UINT {
    kNotifyClick = 1,   // image button released over it
    kNotifyLink = 2,    // caption list line with a command; lParam the command
    kNotifyOption = 3,  // check box or option clicked
    kNotifySlider = 4,  // slider moved; lParam the position
};

inline constexpr COLORREF kDevelopBack = 0x404040;

class DevelopSkin {
public:
    // "<program folder>raw/<name>".
    std::string Path(const char* name) const;
    // FALSE when "button.bmp" or "check.bmp" cannot be read.
    BOOL Load();

    CQLImage button; // disabled, hot and normal faces stacked
    CQLImage check;  // eight 16 x 16 rows
};

DevelopSkin& Skin();

// The gradient into out (width x height): mode 1 linear from p1 (colour1)
// to p2 (colour2), mode 0 radial around p1; every pixel dithered by -2..1
// from a generator seeded alike on each call, so equal calls paint alike.
BOOL GradientImage(CQLImage& out, int width, int height, POINT p1, POINT p2, int mode, COLORREF colour1,
                   COLORREF colour2);
// The same painted into rect of dc; points are in dc's coordinates.
void FillGradientRect(CDC* dc, RECT rect, POINT p1, POINT p2, int mode, COLORREF colour1, COLORREF colour2);

// A whole image into dc at (x, y), 1:1.
void DrawImage(CDC* dc, const CQLImage& image, int x, int y);
// A part of image stretched into dest with halftone.
void StretchImage(CDC* dc, const CQLImage& image, RECT dest, RECT source);

} // namespace develop
