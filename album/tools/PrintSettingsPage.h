// The print wizard's page that sets, photo by photo, the copies of every
// print size and the part of the photo each size prints.
#pragma once

#include "album/shell/SkinDialog.h"
#include "album/shell/SkinPropertyPage.h"
#include "album/shell/ThumbListCtrl.h"
#include "album/tools/PrintSizes.h"
#include "editor/shell/ImagePrinter.h"
#include "platform/afx/CommCtrl.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace shelf {

struct PrintItem {
    char path[512] = {};
    CQLImage thumbnail; // long side 200
    int copies[kPrintSizeRows] = {};
    RECT crops[kPrintSizeRows] = {}; // thumbnail pixels; left = right: not set
    float customWidth = 5.0f;        // inches, row 0
    float customHeight = 3.5f;

    int TotalCopies() const;
};

// "Analyse photos ...": the progress of loading the photos of the page.
class CPrintProgressDlg : public CSkinDialog {
public:
    static constexpr UINT kTemplate = 183;
    CPrintProgressDlg() : CSkinDialog(kTemplate, nullptr) { m_wantBackdrop = 0; }
};

class CPrintSettingsPage : public CSkinPropertyPage {
public:
    static constexpr UINT kTemplate = 178;
    static constexpr UINT kTrackTimer = 123;
    static constexpr UINT kListId = 1079;
    // From the loading worker: wParam the percent; 101 ends the loading.
    static constexpr UINT WM_PRINT_LOADED = WM_APP + 178;

    CPrintSettingsPage();
    ~CPrintSettingsPage() override;

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;
    LRESULT OnWizardBack() override;
    BOOL OnQueryCancel() override;

    // Loads the paths waiting in m_paths on a worker under the progress dialog.
    void LoadPaths();
    bool IsLoading() const { return m_loader.joinable(); }
    // The print size of a row in inches (row 0 from the photo's custom size).
    static void RowInches(const PrintItem& item, int row, float* width, float* height);
    // Thumbnail crop to print with: letterboxed to the size's aspect when not set.
    static RECT DefaultCrop(const PrintItem& item, float printWidth, float printHeight);
    // The crop buttons on the selected photo and row; false when refused.
    bool MoveCrop(UINT button);
    bool ReduceCrop();
    bool EnlargeCrop();
    // The job list from the photos, crops in thousandths.
    void FillJobs();

    std::vector<std::string> m_paths;
    std::vector<std::unique_ptr<PrintItem>> m_items;
    CImagePrinter* m_printer = nullptr;
    float m_customWidth = 5.0f;
    float m_customHeight = 3.5f;
    int m_photo = -1;
    int m_row = -1;
    CThumbListCtrl m_list;
    CListCtrl m_sizeList;
    CPrintProgressDlg m_progress;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnDestroy();
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg void OnPaint();
    afx_msg void OnAdd();
    afx_msg void OnRemove();
    afx_msg void OnMoveTop() { OnCropButton(1071); }
    afx_msg void OnMoveBottom() { OnCropButton(1072); }
    afx_msg void OnMoveLeft() { OnCropButton(1069); }
    afx_msg void OnMoveRight() { OnCropButton(1070); }
    afx_msg void OnEnlarge() { OnCropButton(139); }
    afx_msg void OnReduce() { OnCropButton(140); }
    void OnCropButton(UINT id);
    afx_msg void OnCustomChanged();
    afx_msg void OnCopiesSpin(NMHDR* header, LRESULT* result);
    afx_msg LRESULT OnListNotify(WPARAM code, LPARAM);
    afx_msg LRESULT OnLoaded(WPARAM percent, LPARAM);
    DECLARE_MESSAGE_MAP()

public:
    void OnSelectionChanged();
    void TrackRow();

private:
    PrintItem* Selected() const;
    void StoreCustomSize();
    void LoadCustomSize();
    void FillSizeRows();
    void RefillList();
    void UpdateCaption(int photo);
    void DrawCrop(CDC* dc);
    // The selected row's crop, letterboxed when not set; null without one.
    RECT* CurrentCrop();

    CBitmap m_bitmaps[8];
    CFont m_font;
    std::thread m_loader;
    // Photos the worker has read, taken over by the window thread.
    std::mutex m_loadedLock;
    std::vector<std::unique_ptr<PrintItem>> m_loaded;
    std::atomic<bool> m_stop{false};
    BOOL m_settingEdits = FALSE;
};

} // namespace shelf
