// "Frame and Signature": the template library as a grid of framed previews
// of the photo (made by the frame loader thread), the chosen template shown
// large, and OK applying it with one undo step.
#pragma once

#include "editor/retouch/FrameCategory.h"
#include "editor/retouch/FrameLoadThread.h"
#include "editor/retouch/FramePreviewRenderer.h"
#include "editor/ui/ButtonST.h"
#include "editor/ui/FilterDlg.h"
#include "editor/ui/ThumbListCtrl.h"

#include <vector>

class CMainFrame;

inline constexpr UINT IDD_ADD_FRAME = 181;
inline constexpr UINT IDC_FRAME_ADVANCE = 1071;
inline constexpr UINT IDC_FRAME_ICON = 1390;
inline constexpr UINT IDC_FRAME_COLLAGE = 1547;
inline constexpr UINT IDC_FRAME_GRID = 20481;
inline constexpr UINT ID_FRAME_COLLAGE_COMMAND = 32906;

// The grid: entries without a preview show the folder or template icon.
class CFrameGrid : public CThumbListCtrl {
public:
    const std::vector<FrameListEntry>* entries = nullptr;

protected:
    HICON GetItemIcon(int index) override;
};

class CAddFrameDlg : public CFilterDlg {
public:
    static constexpr int kPhotoCopySide = 200;

    explicit CAddFrameDlg(CWnd* parent);
    ~CAddFrameDlg() override;

    BOOL OnInitDialog() override;
    void RunAlgorithm() override;
    POINT GetResultOffset() override;
    void RecalcLayout() override;

    // Empties the grid and lists the shown category again, then posts a
    // pass to the loader.
    void FillGrid();
    // The entry of grid item index, or null.
    const FrameListEntry* EntryAt(int index) const;

    FrameCategory root;
    FrameCategory* shown = &root;
    CFrameGrid grid;
    CImageList images;
    CQLImage photoCopy;
    std::vector<FrameListEntry> entries;
    int chosen = -1;
    CButtonST iconButton;

protected:
    void OnOK() override;
    void OnCancel() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg LRESULT OnGridNotify(WPARAM code, LPARAM lParam);
    afx_msg LRESULT OnPreviewReady(WPARAM index, LPARAM generation);
    afx_msg void OnAdvance();
    afx_msg void OnCollage();
    afx_msg void OnIconButton();
    DECLARE_MESSAGE_MAP()

private:
    void OnSelection();
    void OnActivate();
    void StopLoader(int pollMs);
    void ReleaseLoader();

    FramePreviewRenderer renderer;
    FrameTemplate jobTemplate; // the running job's copy
    FrameLoadTarget loadTarget;
    CFrameLoadThread* loader = nullptr;
    unsigned passGeneration = 0;
    char userName[64] = {};
};

// Image > Frame > Add Frame; IDOK once a frame was added.
int RunAddFrameDlg(CMainFrame* frame);
