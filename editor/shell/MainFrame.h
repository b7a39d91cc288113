// The editor's only top-level window: menus, toolbar and the main view pane;
// the target of every menu and toolbar command. Opens photos given by path.
#pragma once

#include "editor/shell/BackdropWnd.h"
#include "editor/shell/MainView.h"
#include "editor/ui/BitmapMenu.h"
#include "editor/ui/HintWnd.h"
#include "platform/afx/Afx.h"
#include "platform/afx/ToolBar.h"

#include <memory>
#include <string>

class CPhotoEditJob;
struct EffectRecord;
class UndoHistory;

// The -i mode's library in the program folder.
inline constexpr char kKitLibrary[] = "QuilloKit.so";

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
    // Develops a camera RAW file into a photo without a path; says so when it cannot.
    BOOL OpenRawFileDirect(const char* path);
    void ProcessCommandLine();

    // Photos in and out.
    // 1 to go on (nothing to save, "No", or "Yes" and the save-mode dialog
    // saved), 0 to stay.
    int AskSaveChanges();
    // Saves a modified photo back first when saveFirst is set (stopping with
    // UI text 18 when that fails), then opens path. FALSE when it stopped.
    BOOL ChangePhoto(const char* path, int saveFirst);
    void AutoRotateByExif();
    BOOL LoadKit();
    void TrimMenusForKitMode();
    BOOL OpenFromKit(const char* path);
    // Close in kit mode; FALSE when nothing was written.
    BOOL SaveAndExitKitMode();
    // Starts program name of the program folder and waits with the frame
    // hidden; the child's exit code, -1 when it could not start.
    int RunSibling(const char* name, const char* arg1 = nullptr, const char* arg2 = nullptr,
                   const char* arg3 = nullptr, const char* arg4 = nullptr);
    static BOOL HasSibling(const char* name);
    // The frame's own editing commands: a work copy is made on the algorithm
    // thread; until its done notice, commands that change the photo are off.
    BOOL StartEdit(UINT command);
    BOOL IsEditing() const { return m_editJob != nullptr; }
    // Paste of a CF_DIB block into the empty editor; FALSE when refused.
    BOOL PasteDib(const void* block, size_t size);
    // Paste of a CF_DIB block over the open photo through the paste sheet.
    BOOL PasteDibOverPhoto(const void* block, size_t size);
    // The program folder the sibling programs, the kit and the help page are
    // looked for in.
    static std::string ProgramFolder();
    // "Quillo Editor <custom>", or with the photo's file name after it.
    void SetEmptyTitle();
    void SetPhotoTitle(const char* path);

    // The dialog commands' table: each dialog's owner sets its runner;
    // returns the runner it replaced.
    static FrameDialogRunner SetDialogRunner(UINT id, FrameDialogRunner run);
    static BOOL IsDialogCommand(UINT id);
    // Runs after every photo opened by path; returns the runner it replaced.
    static FrameDialogRunner SetAfterOpenRunner(FrameDialogRunner run);
    // Runs the command's dialog; IDCANCEL when it has none.
    int RunDialogCommand(UINT id);
    // The web page of a command ("" when it has none).
    static std::string WebAddressOf(UINT id);
    // Paste into an open photo runs this (the overlay sheet); none disables it.
    using PasteSheetRunner = int (*)(CWnd* parent, CQLImage&& picture);
    static void SetPasteSheetRunner(PasteSheetRunner run);

    // Effect plug-ins: 2000 runs the manager, k + 1 the effect of key k;
    // everything up to 2001 + the number of effects is the frame's own.
    static BOOL IsPluginCommand(UINT id);
    void RunPluginCommand(UINT id);
    // The plug-in's own window; 1 when its result replaced the photo.
    int RunOwnUIPlugin(EffectRecord& record);
    // The image menu's "Effects Plugins" pop-up, before "Color Theme".
    void InsertPluginMenu();

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
    afx_msg void OnFileOpen();
    afx_msg void OnFileClose();
    afx_msg void OnDropFiles(HDROP drop);
    afx_msg void OnNextFile();
    afx_msg void OnPrevFile();
    afx_msg void OnUpdateNextFile(CCmdUI* ui);
    afx_msg void OnUpdatePrevFile(CCmdUI* ui);
    afx_msg void OnOpenRawWizard();
    afx_msg void OnOpenRawDirect();
    afx_msg void OnCapture();
    afx_msg void OnCollageFrame();
    afx_msg void OnCheckUpdates();
    afx_msg void OnCopyPhotoshopPlugin();
    afx_msg void OnUpdateSibling(CCmdUI* ui);
    afx_msg void OnUpdateCopyPhotoshopPlugin(CCmdUI* ui);
    afx_msg void OnHelpTopics();
    afx_msg void OnEditCommand(UINT id);
    afx_msg void OnUpdateEditCommand(CCmdUI* ui);
    afx_msg void OnPaste();
    afx_msg void OnUpdatePaste(CCmdUI* ui);
    afx_msg void OnUndo();
    afx_msg void OnRedo();
    afx_msg void OnUpdateUndo(CCmdUI* ui);
    afx_msg void OnUpdateRedo(CCmdUI* ui);
    afx_msg LRESULT OnAlgorithmNotify(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    BOOL CreateToolBar();
    void SetToolTexts();
    void ClearPhoto();
    BOOL DialogEnabled(UINT id) const;
    void SetFrameTitle(const char* title);
    // Forgets the photo and empties the views, keeping the title.
    void FreePhoto();
    void ShowPhoto(const char* stepName);
    BOOL OpenRawResult(const char* path);
    // RAW files developed in the editor: 1 when the current image and EXIF
    // record hold the photo; on failure the photo is as it was.
    int OpenRawDirect(const char* path);
    void ShowRawStep(int textId);
    BOOL LoadSiblingResult(const char* path, int textId);
    BOOL SavePhotoBack(int quality);
    // Opens the next (step 1) or previous (-1) photo of the folder.
    void GoToFolderPhoto(int step);
    void ShowHistoryStep(int (UndoHistory::*step)(CQLImage*));
    void WaitForEdit();
    static BOOL ChangesPhoto(UINT id);

    std::unique_ptr<CPhotoEditJob> m_editJob;
    UINT m_editCommand = 0;
    // The job turns the photo by its EXIF orientation.
    BOOL m_rotatingByExif = FALSE;
    // The kit's result file was there before the editor ran.
    BOOL m_kitResultExisted = FALSE;
};

// Fills the frame's dialog table with every dialog the editor has.
void RegisterDialogRunners();

// The length of the file at path; 0 when it cannot be opened.
int GetFileSize(const char* path);

// Copies the rectangle of image (clamped to it) to the clipboard as a 32-bit
// bottom-up CF_DIB, alpha made 255 in the copy only; tells the user when
// the clipboard is busy. TRUE when the clipboard took it.
BOOL CopyImageToClipboard(CWnd* owner, const CQLImage& image, RECT rect);
// The CF_DIB block of that rectangle; NULL for an empty rectangle.
HGLOBAL MakeDibBlock(const CQLImage& image, RECT rect);
