// "Check for new updates of Quillo" (dialog 102), the program's main window:
// the update list, its status line, the Check menu, the selected item's
// description and action.
#pragma once

#include "beacon/DownloadThread.h"
#include "beacon/Schedule.h"
#include "beacon/UpdateQuery.h"
#include "beacon/UpdateReply.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/Dialog.h"

#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace beacon {

class CUpdateListDlg : public CDialog {
public:
    explicit CUpdateListDlg(CWnd* parent = nullptr);
    ~CUpdateListDlg() override;

    bool m_automatic = false;
    std::string m_serial;
    std::string m_profile;        // Quillo.ini
    std::string m_programFolder;  // ends in '/'
    std::string m_tempFolder;     // ends in '/'
    ServerAddress m_server;
    std::function<std::time_t()> m_clock = [] { return std::time(nullptr); };
    std::time_t m_lastRun = 0;
    std::time_t m_sinceTime = 0;
    std::vector<UpdateItem> m_items;

    int QueryUpdates(std::time_t since);
    int CheckSchedule();
    void WriteLastSuccess();
    afx_msg void OnCheck();
    afx_msg void OnSpan(UINT id);
    afx_msg void OnItemChanged(NMHDR* hdr, LRESULT* result);
    afx_msg void OnDoubleClick(NMHDR* hdr, LRESULT* result);
    void DoItemAction();
    afx_msg void OnSettings();

    CListCtrl& List() { return m_list; }
    std::string StatusText();
    // The time a span command asks from.
    std::time_t SpanTime(UINT id) const;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override { OnCheck(); }
    void OnCancel() override;
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void SetStatus(const std::string& text);
    void ShowSelection();
    const UpdateItem* SelectedItem();

    std::unique_ptr<char[]> m_reply;
    CImageList m_images;
    CListCtrl m_list;
    CDownloadThread* m_downloadThread = nullptr;
    HICON m_icon = nullptr;
};

} // namespace beacon
