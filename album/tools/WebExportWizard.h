// "Export all the photos in this folder to HTML format": the four pages of
// the HTML export wizard over one settings block, and the sheet that runs
// them.
#pragma once

#include "album/shell/SkinPropertyPage.h"
#include "album/tools/WebExportSettings.h"
#include "platform/afx/CommCtrl.h"

#include <string>
#include <thread>

namespace shelf {

inline constexpr const char* kWebExportCaption = "Export all the photos in this folder to HTML format";

class CWebExportPage1 : public CSkinPropertyPage {
public:
    static constexpr UINT kTemplate = 205;
    explicit CWebExportPage1(WebExportSettings& settings);
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;

    CString m_destination, m_title, m_description, m_copyright, m_email;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnBrowse();
    DECLARE_MESSAGE_MAP()

private:
    WebExportSettings& m_settings;
};

class CWebExportPage2 : public CSkinPropertyPage {
public:
    static constexpr UINT kTemplate = 206;
    CWebExportPage2(WebExportSettings& settings, std::string folder);
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;

    CTreeCtrl m_tree;
    WebExportFolder* m_selected = nullptr;

protected:
    afx_msg void OnSelChanged(NMHDR* header, LRESULT* result);
    afx_msg void OnFlagClicked();
    DECLARE_MESSAGE_MAP()

private:
    void Insert(WebExportFolder& node, HTREEITEM parent);
    void StoreSelected();
    void ShowSelected();
    void SetButtonStates();
    WebExportSettings& m_settings;
    std::string m_folder;
};

class CWebExportPage3 : public CSkinPropertyPage {
public:
    static constexpr UINT kTemplate = 207;
    explicit CWebExportPage3(WebExportSettings& settings);
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;

    UINT m_thumbSize = 128, m_perLine = 4;
    int m_visitor = 0, m_dateFilter = 0, m_onlyPages = 0;
    CString m_date, m_indexTemplate, m_pageTemplate;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnDateFilter();
    afx_msg void OnBrowseIndex();
    afx_msg void OnBrowsePage();
    afx_msg void OnCustomize();
    DECLARE_MESSAGE_MAP()

private:
    void BrowseTemplate(UINT id);
    WebExportSettings& m_settings;
};

// "month/day/year" with ":", "/", "-" or a blank between the numbers: false
// unless month 1..12, day 1..31 and year 1901..2200.
bool ParseWebExportDate(const char* text, WebExportDate& date);

class CWebExportPage4 : public CSkinPropertyPage {
public:
    static constexpr UINT kTemplate = 208;
    static constexpr UINT WM_WEB_EXPORT = WM_USER + 304;
    explicit CWebExportPage4(WebExportSettings& settings);
    ~CWebExportPage4() override;
    BOOL OnSetActive() override;
    BOOL OnQueryCancel() override;
    BOOL OnWizardFinish() override;
    // Opens "Web/index.htm" of the destination with the shell.
    afx_msg void OnViewResult();

protected:
    afx_msg LRESULT OnProgress(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void StopWorker();
    WebExportSettings& m_settings;
    std::thread m_worker;
};

class CWebExportWizard : public CQLSheet {
public:
    // The wizard over folder (its album path) with the starting values.
    CWebExportWizard(const std::string& folder, const std::string& displayName, CWnd* parent);

    WebExportSettings m_settings;
    CWebExportPage1 m_page1;
    CWebExportPage2 m_page2;
    CWebExportPage3 m_page3;
    CWebExportPage4 m_page4;
};

} // namespace shelf
