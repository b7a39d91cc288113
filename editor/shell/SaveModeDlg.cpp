#include "editor/shell/SaveModeDlg.h"

#include "editor/shell/JpegOptimizeDlg.h"
#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/SaveActions.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AppSettings.h"
#include "editor/ui/FontCache.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

struct SaveMode {
    UINT command;
    const char* picture;
    int title;
    int lines[2];  // UI texts; 0: none
    const char* handler;
    int compared;  // first characters of the handler name that are matched
};

const SaveMode kSaveModes[CSaveModeDlg::kModes] = {
    {ID_SAVE_BACK, "saveback.bmp", 7, {173, 174}, "OnSaveBack", 10},
    {ID_SAVE_WEB, "internet.bmp", 9, {176, 177}, "OnSaveWeb", 9},
    {ID_SAVE_PRINT, "saveforprint.bmp", 8, {175, 0}, "OnSavePrint", 10},
    {ID_SAVE_EDIT, "saveforedit.bmp", 10, {178, 0}, "OnSaveEdit", 10},
    {ID_SAVE_CUSTOM, "savecustom.bmp", 11, {179, 0}, "OnSaveCustom", 10},
};

constexpr UINT WM_LINK_CLICK = WM_USER + 518;
constexpr int kFace = 70;
constexpr COLORREF kLinkColour = RGB(0, 84, 166);
constexpr COLORREF kGreyTitle = RGB(128, 128, 128);
constexpr COLORREF kTextColour = RGB(64, 64, 64);
constexpr COLORREF kPanelTop = RGB(240, 240, 240);
constexpr COLORREF kPanelBottom = RGB(220, 220, 220);
constexpr int kTitleHeight = 18, kLineHeight = 14;

// The colour of the panel's gradient at y, for a panel from top to bottom.
COLORREF PanelColourAt(int y, int top, int bottom)
{
    if (bottom <= top)
        return kPanelTop;
    const double t = std::clamp(static_cast<double>(y - top) / (bottom - top), 0.0, 1.0);
    auto mix = [t](int a, int b) { return static_cast<int>(a + (b - a) * t + 0.5); };
    return RGB(mix(GetRValue(kPanelTop), GetRValue(kPanelBottom)), mix(GetGValue(kPanelTop), GetGValue(kPanelBottom)),
               mix(GetBValue(kPanelTop), GetBValue(kPanelBottom)));
}

}  // namespace

void CSaveModeButton::DrawItem(LPDRAWITEMSTRUCT dis)
{
    CImgButton::DrawItem(dis);
    if (!(dis->itemState & ODS_FOCUS))
        return;
    CRect r(dis->rcItem);
    r.DeflateRect(3, 3);
    CDC::FromHandle(dis->hDC)->DrawFocusRect(&r);
}

BEGIN_MESSAGE_MAP(CSaveModeText, CLinkListCtrl)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CSaveModeText::OnEraseBkgnd(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    PaintGradient(dc, client, POINT{0, 0}, POINT{0, client.bottom}, TRUE, m_top, m_bottom);
    return TRUE;
}

BEGIN_MESSAGE_MAP(CSaveModeDlg, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_COMMAND_RANGE(ID_SAVE_BACK, ID_SAVE_CUSTOM, OnModeCommand)
    ON_MESSAGE(WM_LINK_CLICK, OnLinkClick)
    ON_LBN_DBLCLK(IDC_SAVE_SCHEMES, OnSchemeDoubleClick)
END_MESSAGE_MAP()

CSaveModeDlg::CSaveModeDlg(CWnd* parent) : CDialog(IDD_SAVE_MODE, parent) {}

UINT CSaveModeDlg::HandlerCommand(WPARAM wParam, const char* handler)
{
    if (wParam < 0x20000 || wParam > 0x2FFFF || !handler)
        return 0;
    for (const SaveMode& m : kSaveModes)
        if (std::strncmp(handler, m.handler, static_cast<size_t>(m.compared)) == 0)
            return m.command;
    return 0;
}

BOOL CSaveModeDlg::ModeEnabled(UINT command) const
{
    return command != ID_SAVE_BACK || thePhotoDocument.m_path[0] != '\0';
}

BOOL CSaveModeDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    const std::string skin = std::string(theAppSettings.m_programFolder) + "skin/";
    const RECT none{0, 0, kFace, kFace};
    for (int i = 0; i < kModes; ++i) {
        const SaveMode& m = kSaveModes[i];
        const char* title = theUITextTable.GetText(m.title);
        m_buttons[i].Create("", none, this, m.command, (skin + m.picture).c_str(), title, 0);
        m_buttons[i].SetBkColorRGB(240, 240, 240);
        const BOOL enabled = ModeEnabled(m.command);
        if (m_buttons[i].GetSafeHwnd()) {
            // Tab reaches every mode; Space runs it.
            m_buttons[i].ModifyStyle(0, WS_TABSTOP);
            m_buttons[i].EnableWindow(enabled);
        }
        m_texts[i].Create(static_cast<int>(IDC_SAVE_MODE_TEXT_FIRST + i), none, this);
        m_texts[i].AddItem(title, "Arial", kTitleHeight, enabled ? kLinkColour : kGreyTitle,
                           enabled ? m.handler : nullptr);
        for (int line : m.lines)
            if (line)
                m_texts[i].AddItem(theUITextTable.GetText(line), "Arial", kLineHeight, kTextColour, nullptr);
    }
    LoadSchemes();
    RecalcLayout();
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    // The keyboard starts on the first mode that can be used.
    for (CSaveModeButton& button : m_buttons)
        if (button.GetSafeHwnd() && button.IsWindowEnabled()) {
            GotoDlgCtrl(&button);
            return FALSE;
        }
    return TRUE;
}

void CSaveModeDlg::LoadSchemes()
{
    m_schemes = LoadSaveSchemes();
    CWnd* list = GetDlgItem(IDC_SAVE_SCHEMES);
    if (!list)
        return;
    list->SendMessage(LB_RESETCONTENT);
    for (size_t i = 0; i < m_schemes.size(); ++i) {
        const LRESULT line =
            list->SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m_schemes[i].name.c_str()));
        if (line >= 0)
            list->SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(line), static_cast<LPARAM>(i));
    }
}

BOOL CSaveModeDlg::FastCopy(int line)
{
    CWnd* list = GetDlgItem(IDC_SAVE_SCHEMES);
    if (!list || line < 0)
        return FALSE;
    const LRESULT index = list->SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(line));
    if (index < 0 || static_cast<size_t>(index) >= m_schemes.size())
        return FALSE;
    const SaveScheme& scheme = m_schemes[static_cast<size_t>(index)];
    return CSaveActions(this).FastCopy(scheme.settings, scheme.name.c_str());
}

void CSaveModeDlg::RecalcLayout()
{
    CRect client;
    GetClientRect(&client);
    const int W = client.Width(), H = client.Height();
    if (CWnd* label = GetDlgItem(IDC_SAVE_SCHEMES_LABEL))
        label->MoveWindow(10, H - 128, W - 20, 16);
    if (CWnd* list = GetDlgItem(IDC_SAVE_SCHEMES))
        list->MoveWindow(10, H - 110, W - 20, 70);
    if (CWnd* cancel = GetDlgItem(IDCANCEL)) {
        CRect r;
        cancel->GetWindowRect(&r);
        cancel->MoveWindow(W - 10 - r.Width(), H - 35 + (30 - r.Height()) / 2, r.Width(), r.Height());
    }
    const int r = (H - 150) / 5;
    for (int i = 0; i < kModes; ++i) {
        const int top = 5 + i * r;
        CRect square(5, top, 5 + r, top + r);
        const int shrink = (r - kFace) / 2;
        CRect face = square;
        face.DeflateRect(shrink, shrink);
        if (m_buttons[i].GetSafeHwnd())
            m_buttons[i].MoveWindow(&face);
        m_texts[i].m_top = PanelColourAt(top + 10, 5, H - 135);
        m_texts[i].m_bottom = PanelColourAt(top + r, 5, H - 135);
        if (m_texts[i].GetSafeHwnd())
            m_texts[i].MoveWindow(square.right + 10, top + 10, W - 15 - (square.right + 10), r - 10);
    }
}

void CSaveModeDlg::PaintBackground(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    if (theAppSettings.m_skinBrush.GetSafeHandle())
        dc->FillRect(&client, &theAppSettings.m_skinBrush);
    else
        dc->FillSolidRect(&client, ::GetSysColor(COLOR_BTNFACE));
    CRect panel(5, 5, client.right - 5, client.bottom - 135);
    if (panel.IsRectEmpty())
        return;
    PaintGradient(dc, panel, POINT{panel.left, panel.top}, POINT{panel.left, panel.bottom}, TRUE, kPanelTop,
                  kPanelBottom);
    dc->Draw3dRect(&panel, RGB(128, 128, 128), RGB(255, 255, 255));
}

BOOL CSaveModeDlg::OnEraseBkgnd(CDC* dc)
{
    PaintBackground(dc);
    return TRUE;
}

void CSaveModeDlg::OnSize(UINT type, int cx, int cy)
{
    CDialog::OnSize(type, cx, cy);
    RecalcLayout();
    Invalidate();
}

BOOL CSaveModeDlg::RunMode(UINT command)
{
    if (!ModeEnabled(command))
        return FALSE;
    CSaveActions actions(this);
    switch (command) {
    case ID_SAVE_BACK: return actions.SaveBack();
    case ID_SAVE_WEB: return RunJpegOptimizeDlg(dynamic_cast<CMainFrame*>(m_pParentWnd)) == IDOK;
    case ID_SAVE_PRINT: return actions.SaveForPrint();
    case ID_SAVE_EDIT: return actions.SaveForEdit();
    case ID_SAVE_CUSTOM: return actions.SaveCustom();
    default: return FALSE;
    }
}

void CSaveModeDlg::OnModeCommand(UINT id)
{
    if (RunMode(id))
        EndDialog(IDOK);
}

LRESULT CSaveModeDlg::OnLinkClick(WPARAM wParam, LPARAM lParam)
{
    const UINT command = HandlerCommand(wParam, reinterpret_cast<const char*>(lParam));
    if (command)
        OnModeCommand(command);
    return 0;
}

void CSaveModeDlg::OnSchemeDoubleClick()
{
    if (CWnd* list = GetDlgItem(IDC_SAVE_SCHEMES))
        FastCopy(static_cast<int>(list->SendMessage(LB_GETCURSEL)));
}

int RunSaveModeDlg(CWnd* frame)
{
    CSaveModeDlg dialog(frame);
    return static_cast<int>(dialog.DoModal());
}
