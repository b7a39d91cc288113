// The zoomable, scrollable image view under the main view and every preview:
// five tool buttons, a selection rectangle with handles, and WM_USER+53
// notices to the owner. The view never owns the image it shows.
#pragma once

#include "editor/ui/ImgButton.h"
#include "imagecore/QLImage.h"
#include "platform/afx/Afx.h"

class ZoomView;
class CComplexImageUtils;

// What goes with every notice: lParam is the address of this record.
struct ZoomViewNotice {
    ZoomView* view = nullptr;
    void* data = nullptr;
};

// Data of notice 8 (cursor over the image of a click-to-edit preview).
struct ZoomViewCursorNotice {
    POINT screenPoint{};
    RECT imageAreaScreen{};
    double zoom = 1.0;
};

inline constexpr UINT WM_ZOOMVIEW_NOTIFY = WM_USER + 53;

enum ZoomViewNoticeCode : WPARAM {
    kZoomNoticeConfirm = 1,
    kZoomNoticeSetCursor = 2,
    kZoomNoticeButtonDown = 3,
    kZoomNoticeButtonUp = 4,
    kZoomNoticeMouseMove = 5,
    kZoomNoticeRightDown = 6,
    kZoomNoticeKeyDown = 7,
    kZoomNoticeCursorOverImage = 8,
    kZoomNoticeOverlayChanged = 98,
    kZoomNoticeChanged = 99,
};

enum ZoomToolMode {
    kToolMove = 0,
    kToolZoomIn = 1,
    kToolZoomOut = 2,
    kToolNotify = 5,
    kToolClickEdit = 10,
};

// Selection parts under the mouse.
enum ZoomSelectionHit {
    kHitNone = 0,
    kHitConfirmIcon = 1,
    kHitLockIcon = 2,
    kHitCorner = 3,
    kHitLeft = 4,
    kHitRight = 5,
    kHitTop = 6,
    kHitBottom = 7,
    kHitInside = 8,
};

class ZoomView : public CWnd {
    DECLARE_DYNAMIC(ZoomView)
public:
    static constexpr int kLadderSteps = 20;
    static const double kZoomLadder[kLadderSteps];
    static constexpr int kStripHeight = 30;
    static constexpr UINT_PTR kHintTimer = 123;

    ZoomView();
    ~ZoomView() override;

    BOOL Create(const char* name, const RECT& rect, CWnd* parent, UINT id);

    void SetImage(CQLImage* image, BOOL redraw);
    CQLImage* GetImage() const { return m_image; }
    void ShowToolButtons(BOOL show);
    void SetSmoothScaling(BOOL on);
    BOOL GetSmoothScaling() const { return m_smooth; }

    void ZoomToFit(BOOL redraw);
    void ZoomInAt(int x, int y);
    void ZoomOutAt(int x, int y);
    void ZoomAtCenter(BOOL in);

    void SaveZoomState();
    void RestoreZoomState();
    void GetScrollZoom(int pos[2], double* zoom) const;
    void SetScrollZoom(int x, int y, double zoom);

    void ClearSelection();
    void SetSelection(int left, int top, int right, int bottom, BOOL active);
    void GetSelection(RECT* rect) const;
    void SetAspectLock(BOOL lock, float ratio);
    void SetNotifyMode(BOOL on);
    void SetHoverHint(BOOL on) { m_hoverHint = on; }
    // Opens the aspect-lock dialog on the selection; on OK takes its lock
    // and ratio and refits the selection from its width.
    void EditAspectLock();

    void RepaintNow();
    // Device pixels per logical unit of the view's screen.
    double DevicePixelRatio() const;
    // Logical units per photo pixel at the current zoom.
    double ViewScale() const;

    // Overridable steps, in the order the view's callers know them.
    virtual void DrawSelectionDecorations(CDC* dc, int left, int top, int right, int bottom);
    virtual void RecalcLayout();
    virtual void PaintImage(CDC* dc);
    virtual void CopyViewFrom(ZoomView* other);
    // RGB of the image pixel under a client point (7 x 7 mean with average),
    // -1 outside the image.
    virtual int GetPixelAt(POINT point, BOOL average);
    virtual void Paint(CDC* dc, BOOL invalidateOnly, int reserved);
    virtual BOOL ImageToClient(POINT* point);
    virtual BOOL ClientToImage(POINT* point);
    virtual BYTE* GetBits();
    virtual int GetImageHeight();
    virtual int GetImageWidth();
    virtual void OnZoomChanged();
    virtual void SetToolMode(int mode);

    // Message handlers behind small forwarding entries, so subclasses can
    // replace them.
    virtual void ZoomInCommand();
    virtual void ZoomOutCommand();
    virtual BOOL EraseBackground(CDC* dc);
    virtual void DoubleClick(UINT flags, CPoint point);
    virtual void RightButtonDown(UINT flags, CPoint point);
    virtual void LeftButtonDown(UINT flags, CPoint point);
    virtual BOOL SetViewCursor(CWnd* wnd, UINT hitTest, UINT message);

    // State, public as the owners and tests read it.
    ZoomViewNotice m_notice;
    CZoomToolButton m_moveButton, m_zoomInButton, m_zoomOutButton, m_actualButton, m_fitButton;
    CWnd* m_navigator = nullptr;  // refreshed after each paint
    BOOL m_smooth = TRUE;
    BOOL m_buttonsCreated = FALSE;
    double m_zoom = 1.0;
    int m_scrollX = 0, m_scrollY = 0;
    double m_savedZoom = 1.0;
    int m_savedScrollX = 0, m_savedScrollY = 0;
    CQLImage* m_image = nullptr;
    RECT m_imageArea{};
    RECT m_lastDest{}, m_lastSource{};
    RECT m_selectionClient{};
    BOOL m_showButtons = TRUE;
    int m_toolMode = kToolMove;
    POINT m_panStartPoint{};
    int m_panStartScrollX = 0, m_panStartScrollY = 0;
    BOOL m_panning = FALSE;
    COLORREF m_background = RGB(64, 64, 64);
    COLORREF m_stripColour = RGB(80, 80, 80);
    RECT m_selection{};
    RECT m_dragStartRect{};
    POINT m_dragStartPoint{};
    BOOL m_dragging = FALSE;
    BOOL m_selectionActive = FALSE;
    int m_hit = kHitNone;
    BOOL m_hoverHint = FALSE;
    char m_name[256] = {};
    BOOL m_aspectLock = FALSE;
    float m_aspectRatio = 1.0f;
    BOOL m_showIcons = FALSE;

protected:
    // WM_USER+53 to the parent with {this, data}.
    void Notify(WPARAM code, void* data);
    bool HasPixels();
    // The image pixel under a client point, or FALSE with the point unchanged
    // when it lies outside the image.
    BOOL ImagePointAt(CPoint client, POINT* image);
    // Scroll kept so the image covers the area where it is larger, centred
    // where it is smaller.
    void KeepScrollInRange();
    void DrawToolStrip(CDC* dc);
    int HitTest(CPoint point) const;
    void DragSelection(CPoint point);
    BOOL MoveSelectionByKey(UINT key, BOOL shift);
    // Fits the selection to the aspect lock, from its height or its width.
    void FitSelectionToAspect(BOOL fromHeight);
    void KeepSelectionInside();

    POINT m_noticePoint{};
    CFont m_stripFont;  // Arial 16 for the zoom and the name

    afx_msg void OnPaint();
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags);
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg UINT OnGetDlgCode();
    afx_msg void OnMoveCommand();
    afx_msg void OnActualSizeCommand();
    afx_msg void OnBestFitCommand();
    afx_msg void OnZoomInForward() { ZoomInCommand(); }
    afx_msg void OnZoomOutForward() { ZoomOutCommand(); }
    afx_msg BOOL OnEraseBkgndForward(CDC* dc) { return EraseBackground(dc); }
    afx_msg void OnLButtonDblClkForward(UINT flags, CPoint point) { DoubleClick(flags, point); }
    afx_msg void OnRButtonDownForward(UINT flags, CPoint point) { RightButtonDown(flags, point); }
    afx_msg void OnLButtonDownForward(UINT flags, CPoint point) { LeftButtonDown(flags, point); }
    afx_msg BOOL OnSetCursorForward(CWnd* wnd, UINT hitTest, UINT message)
    {
        return SetViewCursor(wnd, hitTest, message);
    }
    DECLARE_MESSAGE_MAP()
};

// The previews of the effect dialogs: optionally shows its own copy of the
// merged layered picture instead of the image.
class MergedZoomView : public ZoomView {
    DECLARE_DYNAMIC(MergedZoomView)
public:
    void SetImage(CQLImage* image, BOOL redraw);
    void EnableMergedDisplay(BOOL on);
    void PaintImage(CDC* dc) override;
    BYTE* GetBits() override;
    int GetImageHeight() override;
    int GetImageWidth() override;

    CQLImage m_merged;
    BOOL m_mergedDisplay = FALSE;
    // Where the -i mode's layered-image object is kept (it may be replaced
    // or deleted meanwhile); NULL: no merged picture to show.
    CComplexImageUtils* const* m_layeredSource = nullptr;

protected:
    // The copy comes from the layered-image object of the -i mode; without
    // one it stays as it is.
    void RebuildMergedCopy();
};

// The click-to-edit previews: always tool mode 10; presses and cursor
// moves over the image go to the owner in image and screen terms.
class CClickEditView : public MergedZoomView {
    DECLARE_DYNAMIC(CClickEditView)
public:
    CClickEditView();
    void SetToolMode(int mode) override;
    void RecalcLayout() override;
    void LeftButtonDown(UINT flags, CPoint point) override;
    BOOL SetViewCursor(CWnd* wnd, UINT hitTest, UINT message) override;

    ZoomViewCursorNotice m_cursorNotice;
};

// The preview of the overlay sheet: its own decorations and notice 98.
class COverlayView : public ZoomView {
    DECLARE_DYNAMIC(COverlayView)
public:
    COverlayView();
    void PlaceObjectRect(int width, int height);
    void OnZoomChanged() override;
    void DrawSelectionDecorations(CDC* dc, int left, int top, int right, int bottom) override;

    BOOL m_overlay = TRUE;
    BOOL m_objectIsText = FALSE;  // icon 170 instead of 165
};
