// The batch page: a list of RAW files converted in one go into one output
// folder as JPEG or TIFF, with the white balance and sharpening chosen here.
// The conversion runs on the worker; its reports come back as messages.
#pragma once

#include "develop/BatchConverter.h"
#include "develop/DevelopControls.h"
#include "develop/DevelopFileList.h"
#include "develop/DevelopPage.h"

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace develop {

// wParam of WM_DEVELOP_JOB: the batch job has reports waiting.
inline constexpr WPARAM kBatchReports = 4;

// The output folder as its caption shows it: whole when it has fewer than
// 32 characters or every prefix from 32 characters on is narrower than
// width, else the first prefix that is not, followed by "...".
std::string FolderCaption(const std::string& folder, int width, const std::function<int(const std::string&)>& measure);

class DevelopBatchPage : public DevelopPage {
public:
    enum : UINT {
        kTitle = 9473,
        kAddButton = 9474,
        kRemoveButton = 9475,
        kHint = 9476,
        kList = 9477,
        kFileBar = 9479,
        kBatchBar = 9480,
        kBalanceCaption = 9481,
        kCameraOption = 9488,
        kAutoOption = 9489,
        kSharpen = 9490,
        kNotice = 9491,
        kFolderCaption = 9492,
        kBrowseButton = 9493,
        kJpegOption = 9494,
        kTiffOption = 9495,
    };

    DevelopBatchPage();
    ~DevelopBatchPage() override;

    BOOL Create(CWnd* parent) override;
    int OnJobMessage(WPARAM type, LPARAM value) override;
    void OnNext() override;
    void OnEnter() override;
    void Layout(int cx, int cy) override;
    void Refresh(bool toScreen) override;

    void AddFiles();
    // Same full path (exact): nothing. The first file sets the output folder.
    void AddFile(const char* path);
    void RefreshList();
    void RemoveSelected();
    void SetOutputFolder(const char* path);
    void BrowseOutputFolder();
    bool Running() const { return m_converter != nullptr; }

    std::vector<BatchEntry> m_entries;
    int m_autoBalance = 0;
    int m_jpeg = 1;
    std::string m_folder; // ends in '/' once set
    std::atomic<int> m_cancel{0};

    CLinkListCtrl m_title, m_hint, m_balanceCaption, m_notice, m_folderCaption;
    DevelopCheckBox m_camera, m_auto, m_jpegBox, m_tiffBox;
    DevelopSlider m_sharpen;
    CImgButton m_browse, m_add, m_remove;
    DevelopFileList m_list;
    DevelopPercentBar m_fileBar, m_batchBar;

private:
    struct Report {
        enum Kind { kSelect, kBatch, kFile, kStatus } kind;
        int value;
        std::string text;
    };
    class PostedReport;
    friend class PostedReport;

    static UINT ConvertFiles(LPVOID page);
    void Push(Report report);
    void TakeReports();
    void EnableButtons(bool enable);
    void SetNextCaption(const char* key);

    std::unique_ptr<PostedReport> m_report;
    std::unique_ptr<BatchConverter> m_converter;
    std::mutex m_lock;
    std::deque<Report> m_reports;
};

} // namespace develop
