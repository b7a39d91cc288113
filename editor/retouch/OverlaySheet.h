// The overlay sheet: places one object (a picture, a pasted picture or a
// rendered text) over the photo in a zoomable preview and merges it with the
// overlay blend on the algorithm thread. Its fixed pages set the layer mode,
// the effects and show a navigator; OK puts the merged photo into the
// document as one undo step.
#pragma once

#include "algorithms/OverlayBlendAlgorithm.h"
#include "editor/retouch/LayerPage.h"
#include "editor/retouch/NavigationPage.h"
#include "editor/retouch/TextRender.h"
#include "editor/retouch/TextSettings.h"
#include "editor/ui/EffecPage.h"
#include "editor/ui/SkinTabCtrl.h"
#include "editor/ui/ZoomView.h"
#include "imagecore/QLImage.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/PropertySheet.h"

#include <string>
#include <vector>

inline constexpr UINT IDC_OVERLAY_PROGRESS = 4099;
inline constexpr UINT IDC_OVERLAY_PREVIEW = 1052;

// The sheet's preview: tells its owner (notice 98) when the object's
// rectangle was moved or sized by mouse or keys.
class COverlayPreview : public COverlayView {
    DECLARE_DYNAMIC(COverlayPreview)
protected:
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnKeyUp(UINT key, UINT repeat, UINT flags);
    DECLARE_MESSAGE_MAP()

private:
    void NotifyIfMoved();
    RECT m_lastSelection{};
};

class COverlaySheet : public CPropertySheet {
    DECLARE_DYNAMIC(COverlaySheet)
public:
    // caption: the UI text number of the sheet's caption.
    COverlaySheet(int captionTextId, CWnd* parent, UINT selectPage = 0);
    ~COverlaySheet() override;

    // The layer, effect and navigation pages, after the caller's first page.
    void AddFixedPages();
    // IDOK with an object: the document takes the merged photo and an undo
    // step named by undoTextId, and the main window repaints.
    int DoModal() override;
    // Puts the object's rectangle on the preview: rect (kept, shifted into
    // the photo) or, without one, the object's own size fitted at the
    // top-left corner. With showNavigator the navigation page comes forward.
    void PlaceObject(BOOL showNavigator, const RECT* rect);
    // Renders the merged photo, or marks one re-run when a render is under way.
    void StartRender();
    // Draws a text object on the algorithm thread and places it as the
    // object: an object already placed keeps its top-left corner and scales
    // with the new size. Requests during a drawing collapse into one more
    // with the last values; a failed drawing keeps the placed object.
    void RenderText(const TextStyle& style, const std::string& text, BOOL showNavigator);
    // The job for the current pages and selection.
    OverlayBlendParams CurrentJob() const;
    OverlayEffects CurrentEffects() const;
    // The effect page takes these values (its direction stays).
    void SetEffects(const OverlayEffects& effects);
    // A merge or a text drawing under way.
    BOOL IsRendering() const { return m_rendering || m_textRendering; }
    int RendersStarted() const { return m_rendersStarted; }
    OverlayBlendParams LastJob() const { return m_job; }

    CQLImage resultImage;  // the merged photo shown in the preview
    CQLImage objectImage;  // the object to place, 32-bit with alpha
    int objectKind = 0;    // 1: a plain text whose alpha is its coverage
    int undoTextId = 0;

    CLayerPage layerPage;
    CEffecPage effectPage;
    CNavigationPage navigationPage;
    COverlayPreview preview;
    CProgressCtrl progress;
    CSkinTabCtrl tabControl;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    afx_msg LRESULT OnAlgorithmNotify(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPreviewNotify(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void Layout();
    // OK and Cancel as the skin's picture buttons with the hand cursor.
    void SkinPushButtons();
    void EnableCloseButtons(BOOL enable);
    // Stops a render under way and waits until the algorithm thread is idle.
    void StopAndWait();
    void StartTextJob();
    // What comes after a job: a wanted text drawing, a re-run, or nothing.
    void ContinueAfterJob();
    void PlaceText(CQLImage&& object, int kind, BOOL showNavigator);
    static int RenderTextJob(void* param, FilterHost* host);

    // The text drawing the thread works on; the sheet reads it when done.
    struct TextJob {
        TextStyle style;
        std::string text;
        CQLImage object;
        int kind = 0;
    };
    TextJob m_textJob;
    FilterHost m_textHost;
    TextStyle m_wantedStyle;
    std::string m_wantedText;
    BOOL m_textWanted = FALSE;
    BOOL m_textShowNavigator = FALSE;
    BOOL m_textRendering = FALSE;

    OverlayBlendAlgorithm m_blend;
    OverlayBlendParams m_job{};
    CQLImage m_work;       // the thread's target; swapped into resultImage when done
    CQLImage m_jobObject;  // the object as the running job reads it
    RECT m_pageRect{};
    BOOL m_initialised = FALSE;
    BOOL m_rendering = FALSE;
    BOOL m_rerun = FALSE;
    BOOL m_closing = FALSE;
    int m_rendersStarted = 0;
    int m_objectVersion = 0;
    int m_renderedVersion = -1;
    std::vector<CWnd*> m_skinnedButtons;
};
