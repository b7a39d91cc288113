// The picture of the main window, blurred and darkened, shown over it while a
// skinned dialog is up. The window is grabbed from its own widgets rather
// than from the screen, which Wayland forbids and X11 gives only in part.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/Afx.h"

class CBackdropWnd : public CDialog {
    DECLARE_DYNAMIC(CBackdropWnd)
public:
    static constexpr UINT kTemplate = 399;

    CBackdropWnd() = default;
    // Takes the skinned dialogs' hooks back when they are this window's.
    ~CBackdropWnd() override;

    // The modeless pop-up over main, hidden; the skinned dialogs show it
    // from then on.
    BOOL Create(CWnd* main);
    // 0 when already shown; else covers the main window with its blurred
    // picture and returns 1.
    int ShowOverMainWnd();
    void HideBackdrop();

    // Every pixel off the border from its 3 x 3 neighbours, per colour
    // channel (2 x (centre + the four direct ones) + the four diagonal ones)
    // / 16, which also darkens to 14/16; border pixels and alpha are kept.
    // dst takes src's size. On all cores.
    static void Blur(const CQLImage& src, CQLImage& dst);
    // The window with its children as they are drawn now; FALSE when the
    // image cannot be made.
    static BOOL GrabWindow(CWnd* wnd, CQLImage& image);

    CQLImage m_picture;

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    CWnd* m_main = nullptr;
};
