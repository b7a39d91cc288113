// QuilloDevelop's only window: a borderless dialog with its own caption and
// size grip that shows one step at a time, takes every notification of its
// controls and every message of the worker, and moves between the steps.
#pragma once

#include "develop/DevelopAdjustPage.h"
#include "develop/DevelopBatchPage.h"
#include "develop/DevelopControls.h"
#include "develop/DevelopInterpolatePage.h"
#include "develop/DevelopOpenPage.h"
#include "develop/DevelopSavePage.h"
#include "platform/afx/Dialog.h"

namespace develop {

enum : UINT {
    kMinimiseButton = 8193,
    kMaximiseButton = 8194,
    kCloseButton = 8197,
};

// kind and id of a notification; false for codes outside 0x10000..0x4FFFF.
bool DecodeNotification(WPARAM code, UINT& kind, UINT& id);

// The window rectangle while dragging: mode 1 moves by the cursor's travel,
// mode 2 resizes from the bottom right, at least 600 x 450.
CRect DragRect(int mode, const CRect& atPress, CPoint press, CPoint cursor);

class DevelopWizardDlg : public CDialog {
public:
    DevelopWizardDlg();
    ~DevelopWizardDlg() override;

    BOOL OnInitDialog() override;
    virtual void OnNotify(WPARAM code, LPARAM lParam);
    void RunCommand(UINT id);
    void RunOption(UINT id);
    void Cancel();
    DevelopPage* CurrentPage() const { return m_current; }
    void GoToNextPage();
    // Dropped files: one opens on Step 1, several go to the batch list.
    void DropFiles(const std::vector<std::string>& paths);

    CRect m_captionRect;
    CRect m_gripRect;
    BYTE m_dragMode = 0;
    CPoint m_pressPoint;
    CRect m_pressRect;
    CImgButton m_buttons[5]; // minimise, maximise, close, Next, Cancel
    DevelopOpenPage m_openPage;
    DevelopInterpolatePage m_interpolatePage;
    DevelopAdjustPage m_adjustPage;
    DevelopSavePage m_savePage;
    DevelopBatchPage m_batchPage;
    bool m_created = false;
    bool m_closing = false;

protected:
    void OnOK() override;
    void OnCancel() override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnDropFiles(HDROP hDropInfo);
    afx_msg void OnDestroy();
    afx_msg LRESULT OnNotify4102(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnJob(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void ShowSystemMenu(CPoint client);
    void EndWhenIdle();
    void GoToBatchPage();
    void CancelBatch();

    DevelopPage* m_current = &m_openPage;
};

} // namespace develop
