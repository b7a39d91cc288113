// "Color Theme": the saved colour themes, each previewed on a thumbnail of
// the photo, applied to the photo with an amount.
#pragma once

#include "algorithms/ColorThemeAlgorithm.h"
#include "algorithms/ColorThemeFolder.h"
#include "editor/ui/FilterDlg.h"
#include "editor/ui/ImgSliderCtrl.h"
#include "editor/ui/ThumbListCtrl.h"

#include <memory>
#include <vector>

inline constexpr UINT IDD_COLOR_THEME = 255;
inline constexpr UINT IDC_THEME_LIST = 1000;
inline constexpr UINT IDC_THEME_AMOUNT = 1196;
inline constexpr UINT IDC_THEME_AMOUNT_GROUP = 1377;

class CColorThemeDlg : public CFilterDlg {
public:
    explicit CColorThemeDlg(CWnd* parent);
    ~CColorThemeDlg() override;

    BOOL OnInitDialog() override;
    void RunAlgorithm() override;
    void RecalcLayout() override;

    // Lists the current node: "..", its folders, then every theme whose
    // preview renders.
    void FillList();
    // The theme of the selected item, or none for a folder item.
    const ColorTheme* SelectedTheme() const;

    CQLImage thumbnail;
    ColorThemeFolder root;
    ColorThemeFolder* current = &root;
    int folderItems = 0;
    std::vector<std::unique_ptr<CQLImage>> previews;
    CThumbListCtrl list;
    CImgSliderCtrl amountSlider;
    int amount = 100;
    ColorThemeAlgorithm algorithm;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg LRESULT OnListNotify(WPARAM wParam, LPARAM lParam);
    afx_msg void OnAmountReleased(NMHDR* nm, LRESULT* result);
    DECLARE_MESSAGE_MAP()

private:
    void FreePreviews();
};

// Runs the dialog on the open photo; IDOK once a theme was applied.
int RunColorThemeDlg(CWnd* parent);
