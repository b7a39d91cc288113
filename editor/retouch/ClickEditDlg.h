// "Edit Dialog": a maximised copy of the photo edited by clicks with a soft
// brush, stroke by stroke undoable. The base gives a click no meaning; the
// dialogs derived from it do.
#pragma once

#include "editor/retouch/NavigatorWnd.h"
#include "editor/ui/ImgSliderCtrl.h"
#include "editor/ui/SkinDialog.h"
#include "editor/ui/ZoomView.h"
#include "editor/ui/ButtonST.h"
#include "imagecore/QLImage.h"

#include <memory>
#include <vector>

inline constexpr UINT IDD_CLICK_EDIT = 210;
inline constexpr UINT IDC_CLICK_VIEW = 4097;
inline constexpr UINT IDC_CLICK_NAVIGATOR = 4098;
inline constexpr UINT IDC_CLICK_SET_BRUSH = 1175;
inline constexpr UINT IDC_CLICK_SAMPLE = 1176;
inline constexpr UINT IDC_CLICK_PREV = 1177;
inline constexpr UINT IDC_CLICK_NEXT = 1179;
inline constexpr UINT IDC_CLICK_FINISH = 1180;
inline constexpr UINT IDC_CLICK_NAVIGATOR_PLACE = 1181;
inline constexpr UINT IDC_CLICK_SIZE = 1188;
inline constexpr UINT IDC_CLICK_UNDO = 1189;
inline constexpr UINT IDC_CLICK_SEPARATOR = 1019;

namespace clickedit {

// The brush's reach from the clicked point: size / 2 + blur / 2.
int Reach(const BYTE brush[4]);
// The area a click at p edits, clamped to the image: right and bottom are
// one past the last column and row, and never beyond width - 1, height - 1.
RECT StrokeArea(SIZE image, POINT p, const BYTE brush[4]);
// The work image over area with alpha replaced by the brush's weight around
// centre; FALSE when the image cannot be made.
BOOL MakeBrushPatch(const CQLImage& work, const BYTE brush[4], RECT area, POINT centre, CQLImage* patch);

}  // namespace clickedit

class CClickEditDlg : public CSkinDialog {
public:
    struct Stroke {
        int left = 0, top = 0;
        std::unique_ptr<CQLImage> patch;
    };

    explicit CClickEditDlg(CWnd* parent, UINT templateId = IDD_CLICK_EDIT);
    ~CClickEditDlg() override;

    void SetTexts(const char* caption, const char* hint);
    void SetWizardButtons(BOOL wizard, BOOL prev, BOOL next, BOOL finish);

    virtual void OnImageClick(int x, int y);
    virtual void DrawBrushCursor(const ZoomViewCursorNotice* notice);

    // Stores the work image under the area a click at (x, y) edits as a new
    // stroke, dropping the redo tail; the area, empty when nothing was stored.
    RECT PushPatch(int x, int y);
    // Puts the last live stroke back; FALSE when there is none.
    BOOL Undo();

    BYTE m_brush[4] = {0, 1, 1, 255};
    int m_maxSize = 255;
    char m_caption[128] = "Edit";
    char m_hint[256] = "Click the image to edit";
    CQLImage m_work;
    std::vector<Stroke> m_strokes;
    size_t m_count = 0;
    BOOL m_wizard = FALSE;
    BOOL m_showPrev = FALSE, m_showNext = FALSE, m_showFinish = FALSE;
    BOOL m_nextPressed = FALSE;
    CClickEditView m_view;
    CNavigatorWnd m_navigator;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnDrawItem(int id, LPDRAWITEMSTRUCT dis);
    afx_msg void OnSetBrush();
    afx_msg void OnUndo();
    afx_msg void OnNext();
    afx_msg void OnSizeReleased(NMHDR* header, LRESULT* result);
    afx_msg LRESULT OnViewNotice(WPARAM code, LPARAM data);
    DECLARE_MESSAGE_MAP()

    // The rectangle of the photo and its header bar, in client pixels.
    RECT PictureArea() const;
    void RecalcLayout();
    void RedrawSample();
    void FreeStrokes();

private:
    CFont m_headerFont;
    CImgSliderCtrl m_sizeSlider;
    CButtonST m_undoButton;
    bool m_ready = false;
};

// "Erase Spot": a click covers the spot with the best-matching patch nearby.
class CEraseSpotsDlg : public CClickEditDlg {
public:
    explicit CEraseSpotsDlg(CWnd* parent);

    void OnImageClick(int x, int y) override;

protected:
    void OnOK() override;
};

namespace erasespots {

inline constexpr int kMaxCostPerPixel = 16;

struct Match {
    bool found = false;
    int x = 0, y = 0;   // the candidate's top-left
    long long cost = 0;
};

// The best candidate for the spot patch (alpha: the brush weight) lying over
// area: the lowest sum of luminance differences over the patch's soft and
// outer pixels, candidates from the area inflated by its larger side and
// never overlapping it with a corner.
Match FindPatch(const CQLImage& work, const CQLImage& patch, RECT area);
// Blends the candidate at (x, y) into the patch by its weights and writes
// blue, green and red into the work image over area; alpha stays.
void BlendPatch(CQLImage* work, CQLImage* patch, RECT area, int x, int y);
// The click's whole edit on the image; FALSE when it changed nothing.
BOOL EraseSpot(CQLImage* work, const BYTE brush[4], RECT area, POINT centre);

}  // namespace erasespots

// Runs "Erase Spot" on the open photo; IDOK when it was changed.
int RunEraseSpotsDlg(CWnd* parent);
