// "EXIF Statistics": a folder tree's photos counted by camera, aperture,
// shutter speed, ISO, focal length, focus distance, month and software,
// drawn as bar charts. The scan runs on a worker thread.
#pragma once

#include "album/shell/SkinDialog.h"
#include "album/tools/ExifStats.h"
#include "platform/afx/GdiObjects.h"

#include <atomic>
#include <string>
#include <thread>

namespace shelf {

class CExifStatsDlg : public CSkinDialog {
public:
    static constexpr UINT kTemplate = 222;
    static constexpr UINT WM_STATS_SCAN = WM_APP + 222; // wParam 0 status, 1 counts, 2 done
    static constexpr COLORREF kBarColours[8] = {0xFF4646, 0xFFFF46, 0xFF46FF, 0x46FF46,
                                               0x4646FF, 0xFF8080, 0x80FF80, 0x8080FF};

    CExifStatsDlg(const char* folder, CWnd* parent = nullptr);
    ~CExifStatsDlg() override;

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    // Draws the chart of the current kind into rect.
    void DrawChart(CDC* dc, const CRect& rect);

    ExifStatsTable m_table;
    ExifScanCounts m_counts;
    CString m_folder;
    CString m_camera;
    int m_kind = 0;
    int m_expanded = 0;
    CRect m_fullRect;
    CRect m_collapsedRect;
    CFont m_font;

protected:
    afx_msg void OnBrowseFolder();
    afx_msg void OnChooseCamera();
    afx_msg void OnKindChange();
    afx_msg void OnPaint();
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* info);
    afx_msg LRESULT OnScan(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void DrawBars(CDC* dc, const CRect& rect);
    void DrawMonths(CDC* dc, const CRect& rect);
    void ScanDone();
    void StopScan();
    std::thread m_worker;
    std::atomic<bool> m_cancel{false};
    std::mutex m_statusMutex;
    std::string m_status;
};

} // namespace shelf
