// "Save with Size ...": finds the highest JPEG quality whose file, with the
// photo's EXIF block, is not larger than the wanted size. The search runs on
// a worker thread while the progress bar moves.
#pragma once

#include "editor/ui/SkinDialog.h"
#include "imagecore/QLImage.h"

#include <atomic>
#include <thread>

inline constexpr UINT IDD_SAVE_WITH_SIZE = 322;
inline constexpr UINT IDC_WANTED_SIZE = 1071;
inline constexpr UINT IDC_SIZE_PROGRESS = 1256;

class CSaveWithSizeDlg : public CSkinDialog {
public:
    // image: the picture to test, which must stay unchanged while the
    // dialog runs.
    CSaveWithSizeDlg(CWnd* parent, const CQLImage* image);
    ~CSaveWithSizeDlg() override;

    int m_wantedKB = 200;
    int m_quality = 100;    // the result: 0 when no quality met the size
    int m_highQuality = 1;  // full colour resolution (quality + 100)
    int m_exifSize = 0;
    const unsigned int* m_adaptiveTable = nullptr;  // 64 entries, zigzag order; not owned
    const CQLImage* m_image;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg LRESULT OnSearchNotice(WPARAM kind, LPARAM value);
    DECLARE_MESSAGE_MAP()

private:
    void JoinWorker();

    std::thread m_worker;
    BOOL m_searching = FALSE;
};

// "Save with Size ..." on image for "Jpeg Slimming": IDOK with *quality set.
int RunSaveWithSizeDlg(CWnd* parent, const CQLImage* image, int highQualityColor, int exifBytes,
                       const unsigned int* adaptiveTable, int* quality);
