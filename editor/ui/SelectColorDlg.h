// The "Select Color" dialog: red, green, blue and opacity as numbers with
// spin buttons, the system colour chooser for red, green and blue, and a
// checkerboard swatch that makes the opacity visible.
#pragma once

#include "platform/afx/Dialog.h"

class CDC;

inline constexpr UINT IDD_SELECT_COLOR = 186;
inline constexpr int IDC_SELCOLOR_RED = 1095;
inline constexpr int IDC_SELCOLOR_BLUE = 1096;
inline constexpr int IDC_SELCOLOR_GREEN = 1097;
inline constexpr int IDC_SELCOLOR_OPACITY = 1098;
inline constexpr int IDC_SELCOLOR_SPIN_RED = 1099;
inline constexpr int IDC_SELCOLOR_SPIN_GREEN = 1100;
inline constexpr int IDC_SELCOLOR_SPIN_BLUE = 1101;
inline constexpr int IDC_SELCOLOR_SPIN_OPACITY = 1102;
inline constexpr int IDC_SELCOLOR_PICK = 1103;
inline constexpr int IDC_SELCOLOR_SWATCH = 1104;

class CSelectColorDlg : public CDialog {
public:
    explicit CSelectColorDlg(CWnd* parent = nullptr);

    BOOL m_repaintPending = 0;
    const char* m_caption = nullptr;  // NULL keeps "Select Color"
    UINT m_blue = 0;
    UINT m_green = 0;
    UINT m_opacity = 128;
    UINT m_red = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    afx_msg void OnSpin(UINT id, NMHDR* hdr, LRESULT* result);
    afx_msg void OnEditChange(UINT id);
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg void OnPickColor();
    afx_msg void OnDrawItem(int id, LPDRAWITEMSTRUCT dis);
    DECLARE_MESSAGE_MAP()

private:
    void WriteEdits();
    void RepaintSwatch();

    bool m_writingEdits = false;
};

// Colour (r, g, b) at opacity a (0..255) over a grey 128 and white
// checkerboard of 5 x 5 squares, the top-left square grey.
void DrawAlphaSwatch(CDC* dc, RECT rect, int r, int g, int b, int a);

// Runs the dialog seeded with colour's bytes B, G, R, A; on OK writes the
// chosen bytes back and returns TRUE. A NULL caption keeps the dialog's own.
BOOL SelectColor(unsigned char colour[4], const char* caption);
