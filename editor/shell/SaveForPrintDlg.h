// "Save for print": a print size and a resolution; the photo is resampled so
// that its longer side fills the size's longer side at that resolution.
#pragma once

#include "editor/ui/SkinDialog.h"

inline constexpr UINT IDD_SAVE_FOR_PRINT = 156;
inline constexpr UINT IDC_PRINT_SIZE = 1033;
inline constexpr UINT IDC_PRINT_DPI = 1038;

class CSaveForPrintDlg : public CSkinDialog {
public:
    static constexpr int kSizeCount = 9;
    static constexpr int kMinDpi = 1, kMaxDpi = 2400;
    static const char* const kSizeNames[kSizeCount];

    explicit CSaveForPrintDlg(CWnd* parent);

    // The pixel size of a width x height photo printed at size index at dpi;
    // index 0 (or one out of range) keeps the size.
    static void PrintSize(int index, int dpi, int width, int height, int* outWidth, int* outHeight);
    // "_A3" ... "_5x3.5"; "" for index 0.
    static const char* Suffix(int index);

    int m_sizeIndex = 0;
    int m_dpi = 300;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void UpdateEnabling();

    afx_msg void OnSizeChanged();
    DECLARE_MESSAGE_MAP()
};
