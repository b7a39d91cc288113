// The album window's EXIF bar: the selected photo's facts and EXIF values,
// one line each with an icon ("Properties"), or a large preview of it, or of
// a folder's thumbnails, made by the search thread ("Preview"); below both
// the photo's tone histogram.
#pragma once

#include "album/shell/PhotoEntry.h"
#include "album/shell/TabStrip.h"
#include "album/tools/PhotoSearch.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/Wnd.h"

#include <atomic>
#include <string>
#include <utility>
#include <vector>

namespace shelf {

class CSearchThread;

class CExifBar : public CWnd {
public:
    static constexpr int kList = 4101, kTabs = 4102, kIcons = 145;
    static constexpr int kHistogramHeight = 72;

    struct Line {
        std::string text;
        int icon;
    };
    // The lines for an entry, in order, the missing values skipped.
    static std::vector<Line> Lines(const PhotoFileInfo& info, const std::string& tags);
    // "1/60 s", "0.8 s": 1/n only when it is within 5 % of the time.
    static std::string ExposureText(float seconds);
    struct Column {
        int x;
        int height;
    };
    // The histogram's columns in the plot rectangle, left to right.
    static std::vector<Column> HistogramColumns(const BYTE histogram[256], const RECT& plot);

    explicit CExifBar(CSearchThread* thread = nullptr);
    ~CExifBar() override;

    // The list's selection changed; entry may be null. What is shown of it is
    // copied, so that the folder's entries may be freed at any time after.
    void ShowPhoto(const PhotoEntry* entry);
    // The folder the list shows, ending in a separator (set by the list's owner).
    std::string m_folder;

    int m_mode = 0; // 0 Properties, 1 Preview
    CListCtrl m_list;
    CTabStrip m_tabs;
    CImageList m_images;
    CWnd m_tabPages[2];
    const PhotoEntry* m_pEntry = nullptr; // identifies the entry shown; never read through
    PhotoFileInfo m_info;
    CQLImage m_thumb;
    bool m_isFolder = false;
    std::string m_tags;
    CQLImage m_preview;           // filled by the search thread under its preview lock
    bool m_previewReady = false;
    std::atomic<LPARAM> m_current{0}; // the request id the thread checks

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnDestroy();
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnPaint();
    afx_msg LRESULT OnTabChanged(WPARAM wParam, LPARAM);
    afx_msg LRESULT OnPreviewDone(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    std::string EntryPath() const;
    void FillList();
    void RequestPreview();
    void FreePreview();
    CRect ListRect() const;
    void PaintPreview(CDC* dc);
    void PaintHistogram(CDC* dc);

    CSearchThread* m_pThread;
};

} // namespace shelf
