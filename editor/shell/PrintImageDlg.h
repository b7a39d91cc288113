// "Print" (dialog 235): the printed size in inches and the place on the page
// of the current photo, with a live preview; OK resamples the photo to the
// printer's resolution on the worker thread and prints it on one page.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "algorithms/ResampleAlgorithm.h"
#include "editor/shell/ImagePrinter.h"
#include "editor/ui/SkinDialog.h"

inline constexpr UINT IDD_PRINT_IMAGE = 235;
inline constexpr UINT IDC_PRINT_WIDTH = 1131;
inline constexpr UINT IDC_PRINT_WIDTH_SPIN = 1132;
inline constexpr UINT IDC_PRINT_PREVIEW = 1148;
inline constexpr UINT IDC_PRINT_HEIGHT = 1204;
inline constexpr UINT IDC_PRINT_HEIGHT_SPIN = 1206;
inline constexpr UINT IDC_PRINT_ALIGN_H = 1217;
inline constexpr UINT IDC_PRINT_ALIGN_V = 1218;

class CPrintImageDlg : public CSkinDialog {
public:
    static constexpr double kMaxInches = 100;
    static constexpr double kSpinStep = 0.1;
    // More pixels per inch are left to the printer to stretch.
    static constexpr int kMaxSentDpi = 300;

    // Sizes in inches; the page and the photo give the aspect and the limits.
    struct Fit {
        double pageWidth, pageHeight;
        int imageWidth, imageHeight;
    };

    CPrintImageDlg(CImagePrinter* printer, const CQLImage* image, CWnd* parent);
    ~CPrintImageDlg() override;

    // Truncated to two decimals (a value typed as 0.29 stays 0.29).
    static double CutToHundredths(double value);
    // The largest size of the photo's aspect that fits the page.
    static void FitToPage(const Fit& fit, double* width, double* height);
    // A wanted width (height) limited to 0..100 and to the page at the
    // photo's aspect; the other side follows. Both cut to two decimals.
    static void ApplyWidth(const Fit& fit, double wanted, double* width, double* height);
    static void ApplyHeight(const Fit& fit, double wanted, double* width, double* height);
    // The printed size in device pixels placed on the sheet: alignments 0
    // left / top, 1 centre, 2 right / bottom, between margins of 1/50 of it.
    static RECT Placement(double width, double height, int dpiX, int dpiY, int sheetWidth, int sheetHeight,
                          int alignH, int alignV);
    // The size the photo is resampled to for a placement: at most 300
    // pixels per inch (by the horizontal resolution).
    static SIZE SentSize(const RECT& placement, int dpiX);

    double m_width = 0;
    double m_height = 0;
    int m_alignH = 1;
    int m_alignV = 1;
    RECT m_placement{};
    // The outcome of OK once printing ended: 0 printed, else E_FAIL.
    HRESULT m_printResult = S_OK;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnWidthChanged();
    afx_msg void OnHeightChanged();
    afx_msg void OnWidthSpin(NMHDR* header, LRESULT* result);
    afx_msg void OnHeightSpin(NMHDR* header, LRESULT* result);
    afx_msg void OnAlignChanged();
    afx_msg void OnDrawItem(int id, LPDRAWITEMSTRUCT item);
    afx_msg LRESULT OnAlgorithmNotify(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    Fit PageFit() const;
    // Shows the size in both edits (the one being typed in only when it changed).
    void ShowSize(UINT typing, double typed);
    void SetEditValue(UINT id, double value);
    bool ReadEdit(UINT id, double* value) const;
    void SizeChanged();
    void DrawPreview(CDC* dc, RECT frame);
    void EnableControls(BOOL enable);
    // The worker's job: resample, then the document on the printer.
    static int PrintJobFunction(void* param, FilterHost* host);
    HRESULT PrintOnWorker();
    // Tells a failure, then closes the dialog.
    void FinishPrinting(HRESULT result);

    CImagePrinter* m_printer;
    const CQLImage* m_image;
    int m_settingText = 0;
    int m_printing = 0;
    FilterHost m_job;
    ResampleAlgorithm m_resample;
    CQLImage m_sent;
    SIZE m_sentSize{};
};

// File > Print: the printer first, then the dialog for the current photo.
int PrintImage(CWnd* owner);
