// "Cavas Size": margins added around the photo in a chosen colour; negative
// margins crop.
#pragma once

#include "editor/ui/NumEdit.h"
#include "editor/ui/SkinDialog.h"
#include "imagecore/QLImage.h"

class CMainFrame;

inline constexpr UINT IDD_CANVAS_SIZE = 338;
inline constexpr UINT IDC_CANVAS_LEFT = 1107;
inline constexpr UINT IDC_CANVAS_RIGHT = 1109;
inline constexpr UINT IDC_CANVAS_BOTTOM = 1110;
inline constexpr UINT IDC_CANVAS_COLOUR_BUTTON = 1116;
inline constexpr UINT IDC_CANVAS_SYMMETRIC = 1454;
inline constexpr UINT IDC_CANVAS_TOP = 1455;
inline constexpr UINT IDC_CANVAS_COLOUR = 1456;

namespace canvas {

inline constexpr int kMaxSide = 20000;
inline constexpr int kMaxMargin = 10000;

struct Margins {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The new side: old + both margins, limited to 1 .. 20000.
int NewSide(int side, int before, int after);
// The photo at (left, top) of a new image of the colour, copied by position
// and clipped; FALSE when the new image cannot be made.
BOOL Extend(const CQLImage& source, Margins m, CPixel colour, CQLImage* target);

}  // namespace canvas

class CCanvasSizeDlg : public CSkinDialog {
public:
    explicit CCanvasSizeDlg(CWnd* parent);

    canvas::Margins m_margins;
    int m_symmetric = 1;
    CPixel m_colour{255, 255, 255, 255};

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    afx_msg void OnMarginChanged();
    afx_msg void OnSymmetric();
    afx_msg void OnSetBackground();
    afx_msg void OnDrawItem(int id, LPDRAWITEMSTRUCT dis);
    DECLARE_MESSAGE_MAP()

private:
    void Sync();
    // Left and top from their edits when they are numbers within the limits.
    BOOL ReadLeftTop();

    CNumEdit m_edits[4];
    int m_syncing = 0;
};

// Runs the dialog on the open photo; IDOK when the canvas was extended.
int RunCanvasSizeDlg(CMainFrame* frame);
