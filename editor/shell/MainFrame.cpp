#include "editor/shell/MainFrame.h"
#include "editor/shell/BackgroundWork.h"

#include "editor/shell/EditorApp.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/PhotoEditJob.h"
#include "editor/shell/PluginHost.h"
#include "editor/shell/SplashDlg.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AlgorithmThread.h"
#include "editor/ui/AppSettings.h"
#include "platform/codec/QLImageCodec.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>
#include <utility>

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
ON_WM_CREATE()
ON_WM_CLOSE()
ON_WM_SETFOCUS()
ON_WM_ERASEBKGND()
ON_WM_GETMINMAXINFO()
ON_COMMAND(32814, OnMaximizeWindow)
ON_COMMAND(57665, OnAppExit)
// Photos in and out.
ON_WM_DROPFILES()
ON_COMMAND(57601, OnFileOpen)
ON_COMMAND(57602, OnFileClose)
ON_COMMAND(32881, OnNextFile)
ON_COMMAND(32882, OnPrevFile)
ON_UPDATE_COMMAND_UI(32881, OnUpdateNextFile)
ON_UPDATE_COMMAND_UI(32882, OnUpdatePrevFile)
ON_COMMAND(32898, OnOpenRawWizard)
ON_COMMAND(32900, OnOpenRawDirect)
ON_COMMAND(32905, OnCapture)
ON_COMMAND(32906, OnCollageFrame)
ON_COMMAND(32857, OnCheckUpdates)
ON_UPDATE_COMMAND_UI_RANGE(32898, 32898, OnUpdateSibling)
ON_UPDATE_COMMAND_UI_RANGE(32905, 32906, OnUpdateSibling)
ON_UPDATE_COMMAND_UI_RANGE(32857, 32857, OnUpdateSibling)
ON_COMMAND(32902, OnCopyPhotoshopPlugin)
ON_UPDATE_COMMAND_UI(32902, OnUpdateCopyPhotoshopPlugin)
ON_COMMAND(32833, OnHelpTopics)
ON_COMMAND(57666, OnHelpTopics)
ON_COMMAND_RANGE(32785, 32788, OnEditCommand)
ON_COMMAND_RANGE(32775, 32775, OnEditCommand)
ON_COMMAND_RANGE(32831, 32831, OnEditCommand)
ON_COMMAND_RANGE(32843, 32844, OnEditCommand)
ON_COMMAND_RANGE(32846, 32846, OnEditCommand)
ON_COMMAND_RANGE(32870, 32870, OnEditCommand)
ON_COMMAND_RANGE(32879, 32879, OnEditCommand)
ON_UPDATE_COMMAND_UI_RANGE(32785, 32788, OnUpdateEditCommand)
ON_UPDATE_COMMAND_UI_RANGE(32775, 32775, OnUpdateEditCommand)
ON_UPDATE_COMMAND_UI_RANGE(32831, 32831, OnUpdateEditCommand)
ON_UPDATE_COMMAND_UI_RANGE(32843, 32844, OnUpdateEditCommand)
ON_UPDATE_COMMAND_UI_RANGE(32846, 32846, OnUpdateEditCommand)
ON_UPDATE_COMMAND_UI_RANGE(32870, 32870, OnUpdateEditCommand)
ON_UPDATE_COMMAND_UI_RANGE(32879, 32879, OnUpdateEditCommand)
ON_COMMAND(57637, OnPaste)
ON_UPDATE_COMMAND_UI(57637, OnUpdatePaste)
ON_COMMAND(57643, OnUndo)
ON_COMMAND(57644, OnRedo)
ON_UPDATE_COMMAND_UI(57643, OnUpdateUndo)
ON_UPDATE_COMMAND_UI(57644, OnUpdateRedo)
ON_MESSAGE(WM_ALGORITHM_NOTIFY, OnAlgorithmNotify)
END_MESSAGE_MAP()

namespace {

constexpr COLORREF kButtonFaceKey = RGB(192, 192, 192);
// Toolbar buttons that carry a label, and their texts' first UI text.
constexpr int kLabelledButtons[] = {0, 1, 2, 4, 6, 7, 9, 10, 12};
constexpr int kFirstLabelText = 248;

}  // namespace

int GetFileSize(const char* path)
{
    FILE* f = std::fopen(path, "rb");
    if (!f)
        return 0;
    std::fseek(f, 0, SEEK_END);
    const long size = std::ftell(f);
    std::fclose(f);
    return size < 0 ? 0 : (size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(size));
}

BOOL CToolBarImages::LoadList(CImageList& list, UINT bitmapId)
{
    auto bitmap = static_cast<HBITMAP>(
        ::LoadImage(AfxGetResourceHandle(), MAKEINTRESOURCE(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap)
        return FALSE;
    DIBSECTION dib{};
    if (::GetObject(bitmap, sizeof dib, &dib) == sizeof dib && dib.dsBm.bmBits &&
        (dib.dsBm.bmBitsPixel == 24 || dib.dsBm.bmBitsPixel == 32)) {
        // The pictures' grey background becomes the user's button face.
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        const int step = dib.dsBm.bmBitsPixel / 8;
        for (int y = 0; y < dib.dsBm.bmHeight; ++y) {
            BYTE* p = static_cast<BYTE*>(dib.dsBm.bmBits) + static_cast<size_t>(y) * dib.dsBm.bmWidthBytes;
            for (int x = 0; x < dib.dsBm.bmWidth; ++x, p += step)
                if (RGB(p[2], p[1], p[0]) == kButtonFaceKey) {
                    p[0] = GetBValue(face);
                    p[1] = GetGValue(face);
                    p[2] = GetRValue(face);
                }
        }
    }
    CBitmap picture;
    picture.Attach(bitmap);
    const BOOL ok = list.Create(kSize, kSize, ILC_COLOR24 | ILC_MASK, 0, 1) && list.Add(&picture, RGB(0, 0, 0)) >= 0;
    return ok;
}

BOOL CToolBarImages::SetImageLists(UINT normal, UINT disabled, UINT hot, CToolBar* toolbar)
{
    if (!LoadList(m_normal, normal) || !LoadList(m_disabled, disabled) || !LoadList(m_hot, hot))
        return FALSE;
    toolbar->SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_normal.GetSafeHandle()));
    toolbar->SendMessage(TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(m_disabled.GetSafeHandle()));
    toolbar->SendMessage(TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(m_hot.GetSafeHandle()));
    return TRUE;
}

CMainFrame::CMainFrame() = default;

CMainFrame::~CMainFrame()
{
    WaitForEdit();
    if (g_hintWnd == &m_hint)
        g_hintWnd = nullptr;
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CFrameWnd::PreCreateWindow(cs))
        return FALSE;
    cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
    cs.lpszClass = AfxRegisterWndClass(0, nullptr, nullptr, nullptr);
    return TRUE;
}

BOOL CMainFrame::CreateToolBar()
{
    if (!m_toolBar.CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM | CBRS_TOOLTIPS,
                            CRect(0, 0, 0, 0), AFX_IDW_TOOLBAR) ||
        !m_toolBar.LoadToolBar(kToolbarId))
        return FALSE;
    return m_toolBarImages.SetImageLists(145, 144, 143, &m_toolBar);
}

void CMainFrame::SetToolTexts()
{
    if (!theAppSettings.m_toolText)
        return;
    int text = kFirstLabelText;
    for (int button : kLabelledButtons)
        m_toolBar.SetButtonText(button, theUITextTable.GetText(text++));
    CRect item;
    m_toolBar.GetItemRect(0, &item);
    m_toolBar.SendMessage(TB_SETBUTTONSIZE, 0, MAKELONG(item.Width(), item.Height()));
}

int CMainFrame::OnCreate(LPCREATESTRUCT cs)
{
    if (CFrameWnd::OnCreate(cs) == -1)
        return -1;
    if (!m_hint.Create("", this))
        return -1;
    g_hintWnd = &m_hint;
    LoadAllPlugins(theSplashDlg.GetSafeHwnd());
    if (theAppSettings.m_buttonImage.GetAreaByteSize() == 0)
        return -1;
    if (!CreateToolBar())
        return -1;
    SetToolTexts();
    m_view.m_funcBar.m_frame = this;
    m_view.m_funcBar.m_kitMode = &m_kitMode;
    m_view.m_imageView.m_kitMode = &m_kitMode;
    if (!m_view.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), this,
                       AFX_IDW_PANE_FIRST))
        return -1;
    if (!theAlgorithmThread.m_hThread && !theAlgorithmThread.CreateThread())
        return -1;
    m_toolBar.EnableDocking(CBRS_ALIGN_ANY);
    EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&m_toolBar);

    if (!m_menuEmpty.LoadMenu(234) || !m_menuImage.LoadMenu(128))
        return -1;
    InsertPluginMenu();
    for (UINT toolbar : {128u, 134u, 365u}) {
        m_menuEmpty.LoadToolbarImages(toolbar);
        m_menuImage.LoadToolbarImages(toolbar);
    }
    CBitmapMenu::s_flatStyleSameColours = 1;
    CBitmapMenu::s_flatStyleOtherColours = 1;
    SetMenu(&m_menuEmpty);

    SetEmptyTitle();
    if (HICON icon = AfxGetApp() ? AfxGetApp()->LoadIcon(128) : nullptr)
        SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ShowWindow(SW_RESTORE);
    ShowWindow(SW_MAXIMIZE);
    thePhotoDocument.m_history.Reset();
    ProcessCommandLine();
    // Dialogs still work without it, only over the bare window.
    m_backdrop.Create(this);
    return 0;
}

void CMainFrame::OnSetFocus(CWnd*)
{
    if (m_view.GetSafeHwnd())
        m_view.SetFocus();
}

BOOL CMainFrame::OnEraseBkgnd(CDC* dc)
{
    const BOOL result = CFrameWnd::OnEraseBkgnd(dc);
    dc->FillSolidRect(0, 0, 8, 50, GetSysColor(COLOR_BTNFACE));
    return result;
}

void CMainFrame::OnGetMinMaxInfo(MINMAXINFO* info)
{
    info->ptMinTrackSize.x = kMinWidth;
    info->ptMinTrackSize.y = kMinHeight;
    CFrameWnd::OnGetMinMaxInfo(info);
}

void CMainFrame::OnMaximizeWindow()
{
    ShowWindow(SW_MAXIMIZE);
}

void CMainFrame::OnAppExit()
{
    PostMessage(WM_CLOSE);
}

void CMainFrame::SwitchMenu()
{
    SetMenu(thePhotoDocument.IsLoaded() ? &m_menuImage : &m_menuEmpty);
    DrawMenuBar();
}

void CMainFrame::SetFrameTitle(const char* title)
{
    m_strTitle = title;
    SetWindowText(title);
}

void CMainFrame::SetEmptyTitle()
{
    char title[256];
    std::snprintf(title, sizeof title, theUITextTable.GetText(221), theAppSettings.m_customTitle);
    SetFrameTitle(title);
}

void CMainFrame::SetPhotoTitle(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    std::string name = slash ? slash + 1 : path;
    const size_t dot = name.rfind('.');
    const std::string ext = dot == std::string::npos ? "" : name.substr(dot);
    if (dot != std::string::npos)
        name.resize(dot);
    char title[1024];
    std::snprintf(title, sizeof title, theUITextTable.GetText(220), theAppSettings.m_customTitle, name.c_str(),
                  ext.c_str());
    SetFrameTitle(title);
}

void CMainFrame::ClearPhoto()
{
    FreePhoto();
    SetEmptyTitle();
}

namespace {
FrameDialogRunner g_afterOpenRunner = nullptr;
}  // namespace

FrameDialogRunner CMainFrame::SetAfterOpenRunner(FrameDialogRunner run)
{
    return std::exchange(g_afterOpenRunner, run);
}

BOOL CMainFrame::OpenImageFile(const char* path, int setTitle)
{
    CWinApp* app = AfxGetApp();
    if (app)
        app->DoWaitCursor(1);
    std::string file = path ? path : "";
    if (CQLImageCodec::GetFileType(file.c_str()) == QL_FILE_LINK) {
        CQLLinkFile link;
        if (!link.Read(file.c_str())) {
            if (app)
                app->DoWaitCursor(-1);
            return FALSE;
        }
        file = link.GetOrgFile();
    }
    CQLImageCodec codec;
    BOOL loaded;
    if (CQLImageCodec::GetFileType(file.c_str()) == QL_FILE_RAW) {
        // A development takes seconds: the window keeps painting meanwhile.
        CQLImage developed;
        loaded = RunInBackground(this, [&] { return CQLImageCodec().LoadFile(file.c_str(), &developed); });
        if (loaded)
            thePhotoDocument.m_image = std::move(developed);
    } else {
        loaded = codec.LoadFile(file.c_str(), &thePhotoDocument.m_image);
    }
    if (!loaded) {
        if (app)
            app->DoWaitCursor(-1);
        AfxMessageBox(theUITextTable.GetText(245));
        // Nothing of the previous photo may be saved over later.
        ClearPhoto();
        return FALSE;
    }
    thePhotoDocument.m_folderList.SetCurrent(file.c_str());
    if (app)
        app->DoWaitCursor(-1);
    thePhotoDocument.m_exif.ReadFromFile(file.c_str());
    std::snprintf(thePhotoDocument.m_path, sizeof thePhotoDocument.m_path, "%s", file.c_str());
    thePhotoDocument.m_fileSize = GetFileSize(file.c_str());
    m_view.m_imageView.SetImage(&thePhotoDocument.m_image, TRUE);
    m_view.m_paintContainer.m_canvas.SetImage(&thePhotoDocument.m_image, TRUE);
    thePhotoDocument.m_history.Reset();
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, theUITextTable.GetText(21));
    m_view.RefreshFunctionBar();
    m_view.RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
    SwitchMenu();
    if (setTitle)
        SetPhotoTitle(file.c_str());
    if (g_afterOpenRunner)
        g_afterOpenRunner(this);
    return TRUE;
}

void CMainFrame::ProcessCommandLine()
{
    CWinApp* app = AfxGetApp();
    const char* line = app && app->m_lpCmdLine ? app->m_lpCmdLine : "";
    while (*line == ' ')
        ++line;
    if (strncasecmp(line, "-i", 2) == 0) {
        if (!LoadKit()) {
            AfxMessageBox((std::string("Can not find ") + kKitLibrary).c_str());
            std::exit(-1);
        }
        m_kitMode = 1;
        while (*line && *line != ' ')
            ++line;
        while (*line == ' ')
            ++line;
        TrimMenusForKitMode();
    }
    char text[261];
    std::snprintf(text, sizeof text, "%s", line);
    if (text[0] == '"') {
        char* close = std::strchr(text + 1, '"');
        if (close)
            *close = '\0';
        std::memmove(text, text + 1, std::strlen(text + 1) + 1);
    }
    if (m_kitMode)
        OpenFromKit(text);
    else if (CQLImageCodec::GetFileType(text) != QL_FILE_UNKNOWN)
        OpenImageFile(text, 1);
}

void CMainFrame::OnClose()
{
    WaitForEdit();
    if (m_kitMode) {
        // Only a result file the editor itself made is the unsaved result.
        if (m_deleteOnClose && !m_kitResultExisted && thePhotoDocument.m_path[0])
            std::remove(thePhotoDocument.m_path);
    } else if (!AskSaveChanges()) {
        return;
    }
    if (auto* app = dynamic_cast<CEditorApp*>(AfxGetApp()))
        app->SaveSettings();
    if (CWinApp* app = AfxGetApp()) {
        app->WriteProfileInt("Interface", "qleFUNC", m_view.m_funcBarShown);
        app->WriteProfileInt("Interface", "qleNAV", m_view.m_navShown);
        app->WriteProfileInt("Interface", "qleHIS", m_view.m_historyShown);
        app->WriteProfileInt("Interface", "qlePAINT", m_view.m_paintMode);
    }
    if (theAppSettings.m_startWithSystem == 0) {
        if (HWND companion = ::FindWindow(nullptr, "QL Kelvane Core")) {
            COPYDATASTRUCT data{1, 0, nullptr};
            ::SendMessage(companion, WM_COPYDATA, reinterpret_cast<WPARAM>(m_hWnd), reinterpret_cast<LPARAM>(&data));
        }
    }
    UnloadAllPlugins();
    CQLImageCodec::Stop();
    CFrameWnd::OnClose();
}
