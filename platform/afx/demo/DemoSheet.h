// The demo's property sheet: a "Photo" page with a name and a grid
// switch, and a "Colour" page whose button opens the colour dialog.
#pragma once

#include "platform/afx/PropertySheet.h"

inline constexpr unsigned IDD_DEMO_PHOTO_PAGE = 410;
inline constexpr unsigned IDD_DEMO_COLOUR_PAGE = 411;
inline constexpr unsigned IDC_DEMO_TITLE = 1410;
inline constexpr unsigned IDC_DEMO_GRID = 1411;
inline constexpr unsigned IDC_DEMO_CHOOSE = 1412;
inline constexpr unsigned IDC_DEMO_SWATCH = 1413;

class CDemoPhotoPage : public CPropertyPage {
public:
    CDemoPhotoPage() : CPropertyPage(IDD_DEMO_PHOTO_PAGE) {}
    CString m_title = "Untitled";
    int m_grid = 1;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

class CDemoColourPage : public CPropertyPage {
public:
    CDemoColourPage() : CPropertyPage(IDD_DEMO_COLOUR_PAGE) {}
    COLORREF m_colour = RGB(40, 120, 200);

protected:
    BOOL OnInitDialog() override;
    void OnChoose();
    DECLARE_MESSAGE_MAP()

private:
    void ShowColour();
};

class CDemoSheet : public CPropertySheet {
public:
    explicit CDemoSheet(CWnd* pParentWnd = nullptr);

    CDemoPhotoPage m_photo;
    CDemoColourPage m_colour;
};
