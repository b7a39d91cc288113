// The editor's only top-level window: menus, toolbar and the main view pane;
// the target of every menu and toolbar command. Opens photos given by path.
#pragma once

#include "editor/shell/BackdropWnd.h"
#include "editor/shell/MainView.h"
#include "editor/ui/BitmapMenu.h"
#include "editor/ui/HintWnd.h"
#include "platform/afx/Afx.h"
#include "platform/afx/ToolBar.h"

// The toolbar's normal, disabled and hot pictures.
class CToolBarImages {
public:
    static constexpr int kSize = 40;
    CImageList m_normal;
    CImageList m_disabled;
    CImageList m_hot;

    BOOL SetImageLists(UINT normal, UINT disabled, UINT hot, CToolBar* toolbar);

private:
    static BOOL LoadList(CImageList& list, UINT bitmapId);
};

class CMainFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CMainFrame)
public:
    static constexpr int kMinWidth = 600, kMinHeight = 460;
    static constexpr UINT kToolbarId = 140;

    CMainFrame();
    ~CMainFrame() override;

    CBitmapMenu m_menuEmpty;
    CBitmapMenu m_menuImage;
    CToolBarImages m_toolBarImages;
    int m_deleteOnClose = 1;
    CHintWnd m_hint;
    CBackdropWnd m_backdrop;
    CToolBar m_toolBar;
    CMainView m_view;
    int m_kitMode = 0;

    void SwitchMenu();
    // Loads path (a link file is followed) as the current photo; on failure
    // tells the user and leaves the editor empty. TRUE when loaded.
    BOOL OpenImageFile(const char* path, int setTitle);
    void ProcessCommandLine();
    // "Quillo Editor <custom>", or with the photo's file name after it.
    void SetEmptyTitle();
    void SetPhotoTitle(const char* path);

    // The dialog commands' table: each dialog's owner sets its runner;
    // returns the runner it replaced.
    static FrameDialogRunner SetDialogRunner(UINT id, FrameDialogRunner run);
    static BOOL IsDialogCommand(UINT id);
    // The web page of a command ("" when it has none).
    static std::string WebAddressOf(UINT id);

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void OnUpdateFrameTitle(BOOL) override {}

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnClose();
    afx_msg void OnSetFocus(CWnd* oldWnd);
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* info);
    afx_msg void OnMaximizeWindow();
    afx_msg void OnAppExit();
    DECLARE_MESSAGE_MAP()

private:
    BOOL CreateToolBar();
    void SetToolTexts();
    void ClearPhoto();
    BOOL DialogEnabled(UINT id) const;
    void SetFrameTitle(const char* title);
};

// Fills the frame's dialog table with every dialog the editor has.
void RegisterDialogRunners();

// The length of the file at path; 0 when it cannot be opened.
int GetFileSize(const char* path);
