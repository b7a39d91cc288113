// "Correct Barrel Distort": a 400-pixel preview recomputed on the algorithm
// thread whenever the slider is let go, the full-size run on OK, and an
// optional crop of the black border the correction leaves.
#pragma once

#include "algorithms/BarrelDistortionAlgorithm.h"
#include "editor/ui/ImgSliderCtrl.h"
#include "editor/ui/SkinDialog.h"
#include "imagecore/QLImage.h"

class CMainFrame;

inline constexpr UINT IDD_BARREL_DISTORT = 298;
inline constexpr UINT IDC_BARREL_PICTURE = 1029;
inline constexpr UINT IDC_BARREL_PROGRESS = 1035;
inline constexpr UINT IDC_BARREL_AMOUNT = 1196;
inline constexpr UINT IDC_BARREL_AUTO_CROP = 1373;

namespace barrel {

inline constexpr int kPreviewSide = 400;

// The rectangle left when the black border along the middle row and column
// is cut away, one more pixel inwards; the whole image when fewer than 10
// pixels would remain either way. Black: (6G + 3R + B) / 10 is 0.
RECT BlackBorderCrop(const CQLImage& image);
// That rectangle of the image as a new image; FALSE when it cannot be made.
BOOL CropBlackBorder(const CQLImage& image, CQLImage* target);

}  // namespace barrel

class CBarrelDistortDlg : public CSkinDialog {
public:
    explicit CBarrelDistortDlg(CWnd* parent);
    ~CBarrelDistortDlg() override;

    int m_amount = 0;  // -50 .. 50
    int m_autoCrop = 0;

    const CQLImage& Preview() const { return m_preview; }
    BOOL IsRunning() const { return m_runningTag >= 0; }

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnPaint();
    afx_msg void OnAmountReleased(NMHDR* header, LRESULT* result);
    afx_msg LRESULT OnAlgorithmNotify(WPARAM kind, LPARAM value);
    DECLARE_MESSAGE_MAP()

private:
    BOOL Start(CQLImage* source, CQLImage* target, int tag);
    void StopAndWait();
    void Finish();

    BarrelDistortionAlgorithm m_algorithm;
    INT m_param = 50;
    CQLImage m_previewSource;
    CQLImage m_preview;     // what is painted
    CQLImage m_previewJob;  // what the preview job writes
    CQLImage m_result;      // the full-size run
    CImgSliderCtrl m_slider;
    int m_runningTag = -1;
    BOOL m_previewAgain = FALSE;
};

// Runs the dialog on the open photo; IDOK when it was corrected.
int RunBarrelDistortDlg(CMainFrame* frame);
