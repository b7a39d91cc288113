// The zoom view demo: a frame with the editor's main menu (menu 128 with the
// icons of toolbars 128, 134 and 365) over a photo in a ZoomView.
#pragma once

#include "editor/ui/BitmapMenu.h"
#include "editor/ui/ZoomView.h"
#include "imagecore/QLImage.h"
#include "platform/afx/FrameWnd.h"

// The view is the frame's pane, laid out by the frame; the frame deletes
// itself when destroyed.
class CZoomViewDemoFrame : public CFrameWnd {
public:
    // The photo file when it loads, else a picture drawn in code.
    BOOL CreateDemo(const char* photoPath, const RECT& rect);

    CBitmapMenu m_menu;
    ZoomView m_view;
    CQLImage m_photo;
};

// A colourful stand-in photo: sky, hills and a sun, with fine detail.
void DrawDemoPicture(CQLImage* image, int width, int height);
