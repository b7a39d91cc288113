// "Jpeg Slimming": saves the photo as a JPEG that meets a size budget. It
// shrinks the photo by a size rule, previews JPEG slimming with the chosen
// options, and keeps named settings as save schemes.
#pragma once

#include "algorithms/JpegSlimmingAlgorithm.h"
#include "editor/shell/SaveSchemes.h"
#include "editor/ui/FilterDlg.h"
#include "editor/ui/ImgSliderCtrl.h"

#include <string>
#include <vector>

class CMainFrame;

inline constexpr UINT IDD_JPEG_OPTIMIZE = 372;
inline constexpr UINT IDC_JPEG_INFO = 1000;
inline constexpr UINT IDC_JPEG_BLUR = 1024;
inline constexpr UINT IDC_JPEG_SCHEME_SAVE = 1282;
inline constexpr UINT IDC_JPEG_SCHEME = 1497;
inline constexpr UINT IDC_JPEG_QUALITY = 1498;
inline constexpr UINT IDC_JPEG_ADJUST_BY_SIZE = 1499;
inline constexpr UINT IDC_JPEG_HQ_COLOR = 1500;
inline constexpr UINT IDC_JPEG_INCLUDE_EXIF = 1501;
inline constexpr UINT IDC_JPEG_HQ_COLOR_HELP = 1502;
inline constexpr UINT IDC_JPEG_AUTO_SET = 1503;
inline constexpr UINT IDC_JPEG_ADAPTIVE = 1504;
inline constexpr UINT IDC_JPEG_OPTIMIZE_MORE = 1505;
inline constexpr UINT IDC_JPEG_ADAPTIVE_HELP = 1507;
inline constexpr UINT IDC_JPEG_OPTIMIZE_MORE_HELP = 1508;
inline constexpr UINT IDC_JPEG_SIZE_MODE = 1509;
inline constexpr UINT IDC_JPEG_PIXELS = 1510;
inline constexpr UINT IDC_JPEG_LIMIT = 1511;
inline constexpr UINT IDC_JPEG_TRADE_OFF = 1512;
inline constexpr UINT IDC_JPEG_SAVE_COPY = 1515;
inline constexpr UINT IDC_JPEG_SCHEME_DELETE = 1520;

// "Save with Size ..." as the save-mode dialog's module provides it: asks
// for a file size and finds the highest JPEG quality of image that fits it;
// IDOK with *quality set. Until one is set, "Adjust quality by file size
// ..." stays disabled.
using SaveWithSizeRunner = int (*)(CWnd* parent, const CQLImage* image, int highQualityColor, int exifBytes,
                                   const unsigned int* adaptiveTable, int* quality);
void SetSaveWithSizeRunner(SaveWithSizeRunner run);

// The new size of a w x h photo under a size rule (0 keep, 1 width, 2
// height, 3 longer side, each limited to pixels); sides at least 1.
SIZE SlimmedSize(int w, int h, int sizeMode, int pixels);
// The resampling's sharpening for a scale: 30 below 0.5, else
// (1 - scale) x 50 + 5.
int ResizeSharpenAmount(double scale);
// "<title>[.<w>x<h>].<kb>K.jpg"; the title is "untittle" when empty, the
// size only when the size mode is not 0.
std::string ProposedJpegName(const char* title, int sizeMode, int width, int height, double outputKB);

class CJpegOptimizeDlg : public CFilterDlg {
public:
    explicit CJpegOptimizeDlg(CWnd* parent, CMainFrame* frame = nullptr);
    ~CJpegOptimizeDlg() override;

    BOOL OnInitDialog() override;
    void RunAlgorithm() override;
    void OnAlgorithmDone(int tag, int result) override;
    void RecalcLayout() override;

    static constexpr int kTagPreview = 1;
    static constexpr int kTagPrepare = 2;
    static constexpr int kTagSaveCopy = 100;
    static constexpr int kTagSave = 101;

    // The dialog's values (controls in brackets).
    int m_scheme = 0;        // combo 1497; line 0 is "Customize ..."
    int m_quality = 85;      // 1498
    int m_hqColor = 1;       // 1500
    int m_includeExif = 1;   // 1501
    int m_adaptive = 0;      // 1504
    int m_optimizeMore = 0;  // 1505
    int m_blur = 0;          // 1024
    int m_sizeMode = 3;      // 1509
    int m_pixels = 1280;     // 1510, 1..10000
    int m_limitKB = 200;     // 1511, 1..10000
    int m_tradeOff = 0;      // 1512
    int m_custom = 1;        // the values match no scheme

    int m_exifBytes = 0;     // the photo's EXIF block; 0 when it has none
    CQLImage m_untouched;    // the photo as it was when the dialog opened
    std::vector<SaveScheme> m_schemes;
    JpegSlimSettings m_settings; // what the last job was given
    JpegSlimmingAlgorithm m_slim;
    CImgSliderCtrl m_qualitySlider;
    CImgSliderCtrl m_blurSlider;
    std::string m_savePath;  // the file of the save job under way
    int m_saveTag = 0;       // 100 or 101 while a save job runs
    DWORD m_outputBytes = 0; // the last preview's JPEG
    SIZE m_outputSize{};     // and its picture size

    // The settings record from the dialog's values.
    JpegSlimSettings CollectSettings(BYTE jobMode, const char* path) const;
    // Makes the current photo the untouched one under the size rule; FALSE
    // when the resampling failed (the photo is then left as it was).
    BOOL ApplySizeRule();
    // The output size as the list and the proposed name give it.
    double OutputKB() const;
    void LoadSchemeList();
    // Shows the values without taking the controls' notices for changes.
    void ShowValues();
    void SelectScheme(int index);
    void UpdateEnabling();
    void FillInformation();
    void SaveJpeg(int tag);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnSchemeSelected();
    afx_msg void OnSaveScheme();
    afx_msg void OnDeleteScheme();
    afx_msg void OnOptionClicked();
    afx_msg void OnSizeModeChanged();
    afx_msg void OnTradeOffChanged();
    afx_msg void OnNumberChanged();
    afx_msg void OnSliderReleased(NMHDR* nm, LRESULT* result);
    afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg void OnAutoSet();
    afx_msg void OnAdjustBySize();
    afx_msg void OnSaveCopy();
    afx_msg void OnHelpHqColor();
    afx_msg void OnHelpAdaptive();
    afx_msg void OnHelpOptimizeMore();
    afx_msg void OnNumberLeft();
    afx_msg HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT type);
    afx_msg LRESULT OnWorkerNotify(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnStart(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    // A change of any value: custom, line 0 shown, new preview.
    void ValuesChanged(bool sizeChanged);
    // Runs alg on the algorithm thread after the preview job, the dialog
    // closed to input meanwhile; the hint says "Prepareing ..." when asked.
    int RunOnWorker(EffectAlgorithm* alg, void* argument, bool showHint);
    void StopPreview();
    void EnableSaveButtons(BOOL on);
    // The edit's number when it is in 1..10000, else fallback.
    int ReadNumber(UINT id, int fallback) const;
    void ApplyNumbers();
    int ExifBytesIncluded() const;
    void FinishSave(int tag, int jobResult);
    // After OK: the photo becomes the saved file, with an undo step.
    void BecomeSavedFile();

    CMainFrame* m_frame = nullptr;
    int m_started = 0;      // the first resize is done
    int m_preparing = 0;    // a worker job of the dialog's own runs
    int m_workerJob = 0;    // its end notice has not come yet
    int m_showing = 0;
    int m_changedWhileSaving = 0;
    BOOL m_layerWasEnabled = FALSE;
    int m_qualityScore = 0;
    int m_limitedQuality = 0;
    SIZE m_appliedSize{-1, -1}; // the size rule's result now in the photo
};

// Runs "Jpeg Slimming" on the open photo; IDOK once the photo was saved
// and became that file.
int RunJpegOptimizeDlg(CMainFrame* frame);
