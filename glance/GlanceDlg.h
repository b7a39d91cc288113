// The viewer window: the photo view above a bar of seven picture buttons, on
// the viewer's own frame. Shows whatever the loading thread reports current.
#pragma once

#include "glance/GlanceFrameDlg.h"
#include "glance/GlanceView.h"

#include <string>

namespace glance {

class CLoadingThread;

inline constexpr UINT kGlanceDlgId = 102;
enum : UINT {
    kPrevId = 8193,
    kNextId,
    kZoomInId,
    kZoomOutId,
    kBestFitId,
    kActualSizeId,
    kEditId,
};

class GlanceDlg : public GlanceFrameDlg {
public:
    // openPath: what the loading thread opens first; profile: QuilloView.ini.
    GlanceDlg(CLoadingThread* loader, std::string openPath, CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Opens the shown photo in QuilloEditor through the shell.
    void EditInEditor();
    // Takes a key as the dialog does; true when it was one of its keys.
    bool HandleKey(UINT key);

    GlanceView m_view;
    GlanceButton m_buttons[7];
    CQLImage m_photo;

protected:
    void OnOK() override {}
    void OnCancel() override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnPaint();
    afx_msg void OnClose();
    afx_msg LRESULT OnNotify4102(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPhotoReady(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnHandOver(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void LayOut();
    void UpdateButtonsAndTitle();

    CLoadingThread* m_loader;
    std::string m_openPath;
    CQLImage m_bar;
    bool m_hasPhoto = false;
};

} // namespace glance
