// The album window's client: the folder pane top left, the EXIF bar below
// it, the command bar on the right, and the two separators between them.
#pragma once

#include "album/shell/CommandBar.h"
#include "album/shell/ExifBar.h"
#include "album/shell/FolderPane.h"
#include "platform/afx/Wnd.h"

namespace shelf {

class CLayoutWnd : public CWnd {
public:
    static constexpr UINT kId = 59648, kFolderPaneId = 4097, kExifBarId = 4098, kCommandBarId = 4099;
    static constexpr int kDefaultSize = 250, kMinLeft = 250, kMinRight = 250, kMinExif = 250, kMinFolderPane = 100;
    static constexpr int kGrip = 3;
    enum DragMode { kNoDrag = 0, kDragVertical = 1, kDragHorizontal = 2 };

    struct Panes {
        bool folder = true;
        bool exif = true;
    };
    struct Placement {
        CRect folder, exif, bar; // empty for a hidden pane
    };
    // Where the panes go in a client area of w x h.
    static Placement Arrange(int w, int h, int leftWidth, int exifHeight, Panes shown);
    // kDragVertical, kDragHorizontal or kNoDrag for a client point.
    static int HitTest(int x, int y, int h, int leftWidth, int exifHeight, Panes shown);
    // The separators' positions for a drag to x (or y).
    static int DraggedLeftWidth(int x, int w);
    static int DraggedExifHeight(int y, int h);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    void Layout();
    // Rescans the open folder; when that ran, the list is reloaded with its
    // selection.
    void Refresh();
    void ToggleFolderPane();
    // View > Image Property.
    void ToggleExifBar();
    Panes ShownPanes() const;

    int m_created = 0;
    CFolderPane m_folderPane;
    CCommandBar m_commandBar;
    CExifBar m_exifBar;
    int m_exifBarVisible = 1;
    int m_exifHeight = kDefaultSize;
    int m_leftWidth = kDefaultSize;
    int m_dragMode = kNoDrag;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()

private:
    CPoint ClientPoint(const MSG& msg) const;
    void WriteSeparators();
};

} // namespace shelf
