#include "editor/retouch/InsTextPage.h"

#include "editor/retouch/OverlaySheet.h"
#include "editor/retouch/SelectMonthDlg.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AppSettings.h"
#include "editor/ui/SelectColorDlg.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/PaintDC.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kTextCannotOpen = 5;
constexpr int kTextCannotSave = 18;
constexpr char kSettingsFilter[] = "Text settings and effects|*.tset||";
constexpr UINT kHandCursorId = 131;
const char* const kAlignments[] = {"Left", "Center", "Right"};

int AddFont(const LOGFONT* font, const TEXTMETRIC*, DWORD, LPARAM lParam)
{
    auto* combo = reinterpret_cast<CWnd*>(lParam);
    const LRESULT at = combo->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(font->lfFaceName));
    if (at >= 0)
        combo->SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(at), font->lfCharSet);
    return 1;
}

}  // namespace

IMPLEMENT_DYNAMIC(CInsTextPage, CSkinPropertyPage)

BEGIN_MESSAGE_MAP(CInsTextPage, CSkinPropertyPage)
    ON_WM_TIMER()
    ON_WM_DRAWITEM()
    ON_WM_SETCURSOR()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CInsTextPage::CInsTextPage() : CSkinPropertyPage(IDD_TEXT_PAGE)
{
    char path[600];
    std::snprintf(path, sizeof path, "%sdefault.tset", theAppSettings.m_programFolder);
    defaultPath = path;
}

BOOL CInsTextPage::OnInitDialog()
{
    CSkinPropertyPage::OnInitDialog();
    FillFontList();
    for (const char* a : kAlignments)
        SendDlgItemMessage(IDC_TEXT_ALIGN, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(a));
    SendDlgItemMessage(IDC_TEXT_EDIT, EM_LIMITTEXT, kMaxText);
    SendDlgItemMessage(IDC_TEXT_SIZE, EM_LIMITTEXT, 3);
    // Our own icons on the balloon buttons and the place button.
    for (int i = 0; i < 10; ++i) {
        const UINT id = i < 9 ? IDC_BALLOON_NONE + static_cast<UINT>(i) : static_cast<UINT>(IDC_TEXT_PLACE);
        if (m_iconButtons[i].SubclassDlgItem(id, this)) {
            m_iconButtons[i].SetSkinBackground(&theAppSettings.m_skinBrush);
            m_iconButtons[i].SetHoverCursor(static_cast<int>(kHandCursorId));
            m_iconButtons[i].SetIcons(id, 0, 16, 16);
        }
    }
    TextSettings saved = CurrentSettings();
    if (LoadTextSettings(defaultPath.c_str(), &saved))
        ApplySettings(saved);
    else
        SelectFace(faceName.c_str());
    ShowValues();
    SetTimer(kTimer, kTimerMs, nullptr);
    RenderAndPlace(FALSE);
    return TRUE;
}

void CInsTextPage::OnDestroy()
{
    KillTimer(kTimer);
    CSkinPropertyPage::OnDestroy();
}

void CInsTextPage::FillFontList()
{
    CWnd* combo = GetDlgItem(IDC_TEXT_FONT);
    if (!combo)
        return;
    LOGFONT filter{};
    filter.lfCharSet = DEFAULT_CHARSET;
    CClientDC dc(this);
    EnumFontFamiliesEx(dc.GetSafeHdc(), &filter, AddFont, reinterpret_cast<LPARAM>(combo), 0);
}

BOOL CInsTextPage::SelectFace(const char* face)
{
    const LRESULT at = SendDlgItemMessage(IDC_TEXT_FONT, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                          reinterpret_cast<LPARAM>(face));
    if (at < 0)
        return FALSE;
    SendDlgItemMessage(IDC_TEXT_FONT, CB_SETCURSEL, static_cast<WPARAM>(at));
    faceName = face;
    return TRUE;
}

void CInsTextPage::ShowValues()
{
    if (!m_hWnd)
        return;
    m_writing = true;
    SetDlgItemInt(IDC_TEXT_SIZE, static_cast<UINT>(size), FALSE);
    SetDlgItemText(IDC_TEXT_EDIT, text.c_str());
    CheckDlgButton(IDC_TEXT_BOLD, bold ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_TEXT_ITALIC, italic ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_TEXT_UNDERLINE, underline ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_TEXT_VERTICAL, vertical ? BST_CHECKED : BST_UNCHECKED);
    SendDlgItemMessage(IDC_TEXT_ALIGN, CB_SETCURSEL, static_cast<WPARAM>(alignment));
    SelectFace(faceName.c_str());
    m_writing = false;
    RepaintSwatches();
}

void CInsTextPage::ReadControls()
{
    char buffer[kMaxText * 4 + 8] = {};
    GetDlgItemText(IDC_TEXT_EDIT, buffer, sizeof buffer);
    text = buffer;
    char number[16] = {};
    GetDlgItemText(IDC_TEXT_SIZE, number, sizeof number);
    char* end = nullptr;
    const long v = std::strtol(number, &end, 10);
    if (end != number && *end == '\0' && v >= 1 && v <= 200)
        size = static_cast<int>(v);
    bold = IsDlgButtonChecked(IDC_TEXT_BOLD) == BST_CHECKED;
    italic = IsDlgButtonChecked(IDC_TEXT_ITALIC) == BST_CHECKED;
    underline = IsDlgButtonChecked(IDC_TEXT_UNDERLINE) == BST_CHECKED;
    vertical = IsDlgButtonChecked(IDC_TEXT_VERTICAL) == BST_CHECKED;
    const int align = static_cast<int>(SendDlgItemMessage(IDC_TEXT_ALIGN, CB_GETCURSEL));
    if (align >= 0)
        alignment = align;
    const int font = static_cast<int>(SendDlgItemMessage(IDC_TEXT_FONT, CB_GETCURSEL));
    if (font >= 0) {
        char face[256] = {};
        if (SendDlgItemMessage(IDC_TEXT_FONT, CB_GETLBTEXTLEN, static_cast<WPARAM>(font)) < 255) {
            SendDlgItemMessage(IDC_TEXT_FONT, CB_GETLBTEXT, static_cast<WPARAM>(font), reinterpret_cast<LPARAM>(face));
            faceName = face;
        }
    }
}

TextStyle CInsTextPage::CurrentStyle() const
{
    TextStyle style;
    style.face = faceName;
    const LRESULT at = m_hWnd ? SendDlgItemMessage(IDC_TEXT_FONT, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                   reinterpret_cast<LPARAM>(faceName.c_str()))
                              : -1;
    style.charSet = at >= 0 ? static_cast<BYTE>(SendDlgItemMessage(IDC_TEXT_FONT, CB_GETITEMDATA,
                                                                   static_cast<WPARAM>(at)))
                            : 0;
    style.size = size;
    style.bold = bold != 0;
    style.italic = italic != 0;
    style.underline = underline != 0;
    style.vertical = vertical != 0;
    style.alignment = alignment;
    std::memcpy(style.colour, textColour, 4);
    style.balloonShape = balloonShape;
    style.balloonTail = balloonTail;
    style.balloonColour = balloonColour;
    return style;
}

void CInsTextPage::RenderAndPlace(BOOL showNavigator)
{
    auto* sheet = dynamic_cast<COverlaySheet*>(GetSheet());
    if (!sheet)
        return;
    ReadControls();
    sheet->RenderText(CurrentStyle(), text, showNavigator);
}

void CInsTextPage::SetText(const std::string& value)
{
    text = value.substr(0, kMaxText);
    m_writing = true;
    SetDlgItemText(IDC_TEXT_EDIT, text.c_str());
    m_writing = false;
    textChanged = false;
    RenderAndPlace(FALSE);
}

TextSettings CInsTextPage::CurrentSettings() const
{
    TextSettings s;
    if (auto* sheet = dynamic_cast<COverlaySheet*>(GetSheet())) {
        s.layerMode = sheet->layerPage.mode;
        s.layerOpacity = sheet->layerPage.opacity;
        s.effects = sheet->CurrentEffects();
    }
    std::snprintf(s.faceName, sizeof s.faceName, "%s", faceName.c_str());
    s.italic = italic;
    s.underline = underline;
    s.bold = bold;
    std::memcpy(s.textColour, textColour, 4);
    s.vertical = vertical;
    s.alignment = alignment;
    s.size = size;
    return s;
}

void CInsTextPage::ApplySettings(const TextSettings& s)
{
    if (auto* sheet = dynamic_cast<COverlaySheet*>(GetSheet())) {
        sheet->layerPage.mode = s.layerMode;
        sheet->layerPage.opacity = s.layerOpacity;
        sheet->layerPage.ShowValues();
        sheet->SetEffects(s.effects);
    }
    faceName = s.faceName;
    italic = s.italic;
    underline = s.underline;
    bold = s.bold;
    std::memcpy(textColour, s.textColour, 4);
    vertical = s.vertical;
    alignment = s.alignment;
    size = s.size;
    ShowValues();
}

BOOL CInsTextPage::SaveSettings(const char* path)
{
    ReadControls();
    if (SaveTextSettings(path, CurrentSettings()))
        return TRUE;
    MessageBox(theUITextTable.GetText(kTextCannotSave), nullptr, MB_OK | MB_ICONERROR);
    return FALSE;
}

BOOL CInsTextPage::LoadSettings(const char* path)
{
    ReadControls();
    TextSettings s = CurrentSettings();
    if (!LoadTextSettings(path, &s)) {
        MessageBox(theUITextTable.GetText(kTextCannotOpen), nullptr, MB_OK | MB_ICONERROR);
        return FALSE;
    }
    ApplySettings(s);
    RenderAndPlace(FALSE);
    return TRUE;
}

void CInsTextPage::OnOK()
{
    ReadControls();
    // Only a convenience for the next time: a folder that cannot be
    // written keeps the defaults then.
    SaveTextSettings(defaultPath.c_str(), CurrentSettings());
    CSkinPropertyPage::OnOK();
}

BOOL CInsTextPage::PreTranslateMessage(MSG* msg)
{
    // Enter in the text makes a new line instead of pressing OK.
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
        CWnd* edit = GetDlgItem(IDC_TEXT_EDIT);
        if (edit && msg->hwnd == edit->m_hWnd) {
            edit->SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("\r\n"));
            return TRUE;
        }
    }
    return CSkinPropertyPage::PreTranslateMessage(msg);
}

BOOL CInsTextPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(static_cast<DWORD>(wParam));
    const UINT code = HIWORD(static_cast<DWORD>(wParam));
    if (m_writing)
        return CSkinPropertyPage::OnCommand(wParam, lParam);
    if (code == EN_CHANGE && id == IDC_TEXT_EDIT) {
        textChanged = true;
        return TRUE;
    }
    if ((code == EN_CHANGE && id == IDC_TEXT_SIZE) ||
        (code == CBN_SELCHANGE && (id == IDC_TEXT_ALIGN || id == IDC_TEXT_FONT))) {
        RenderAndPlace(FALSE);
        return TRUE;
    }
    if (code != BN_CLICKED)
        return CSkinPropertyPage::OnCommand(wParam, lParam);
    switch (id) {
    case IDC_TEXT_BOLD:
    case IDC_TEXT_ITALIC:
    case IDC_TEXT_UNDERLINE:
    case IDC_TEXT_VERTICAL: RenderAndPlace(FALSE); return TRUE;
    case IDC_TEXT_COLOR: OnTextColour(); return TRUE;
    case IDC_BALLOON_SWATCH: OnBalloonColour(); return TRUE;
    case IDC_TEXT_PLACE: RenderAndPlace(TRUE); return TRUE;
    case IDC_TEXT_CALENDAR: OnCalendar(); return TRUE;
    case IDC_TEXT_SAVE: OnSave(); return TRUE;
    case IDC_TEXT_LOAD: OnLoad(); return TRUE;
    default: break;
    }
    if (id >= IDC_BALLOON_NONE && id < IDC_BALLOON_TAIL0) {
        balloonShape = static_cast<int>(id - IDC_BALLOON_NONE) - 1;
        RenderAndPlace(FALSE);
        return TRUE;
    }
    if (id >= IDC_BALLOON_TAIL0 && id <= IDC_BALLOON_TAIL0 + 3) {
        balloonTail = static_cast<int>(id - IDC_BALLOON_TAIL0);
        if (balloonShape >= 0)
            RenderAndPlace(FALSE);
        return TRUE;
    }
    return CSkinPropertyPage::OnCommand(wParam, lParam);
}

BOOL CInsTextPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
    if (!hdr || hdr->idFrom != IDC_TEXT_SIZE_SPIN || hdr->code != UDN_DELTAPOS)
        return CSkinPropertyPage::OnNotify(wParam, lParam, pResult);
    ReadControls();
    // Past either end the size starts again at 1.
    size -= reinterpret_cast<const NMUPDOWN*>(lParam)->iDelta;
    if (size > 200 || size <= 0)
        size = 1;
    m_writing = true;
    SetDlgItemInt(IDC_TEXT_SIZE, static_cast<UINT>(size), FALSE);
    m_writing = false;
    RenderAndPlace(FALSE);
    if (pResult)
        *pResult = 0;
    return TRUE;
}

void CInsTextPage::OnTimer(UINT_PTR id)
{
    if (id != kTimer) {
        CSkinPropertyPage::OnTimer(id);
        return;
    }
    if (!textChanged)
        return;
    textChanged = false;
    RenderAndPlace(FALSE);
}

void CInsTextPage::OnTextColour()
{
    if (!SelectColor(textColour, nullptr))
        return;
    RepaintSwatches();
    RenderAndPlace(FALSE);
}

void CInsTextPage::OnBalloonColour()
{
    CColorDialog dialog(balloonColour, CC_FULLOPEN | CC_RGBINIT, this);
    if (dialog.DoModal() != IDOK)
        return;
    balloonColour = dialog.GetColor();
    RepaintSwatches();
    if (balloonShape >= 0)
        RenderAndPlace(FALSE);
}

void CInsTextPage::OnCalendar()
{
    CSelectMonthDlg dialog(this);
    if (dialog.DoModal() != IDOK)
        return;
    SelectFace("Terminal");
    SetText(dialog.calendarText);
}

void CInsTextPage::OnSave()
{
    CFileDialog dialog(FALSE, "tset", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kSettingsFilter, this);
    if (dialog.DoModal() == IDOK)
        SaveSettings(dialog.GetPathName().GetString());
}

void CInsTextPage::OnLoad()
{
    CFileDialog dialog(TRUE, "tset", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kSettingsFilter, this);
    if (dialog.DoModal() == IDOK)
        LoadSettings(dialog.GetPathName().GetString());
}

void CInsTextPage::OnDrawItem(int id, LPDRAWITEMSTRUCT dis)
{
    CDC* dc = CDC::FromHandle(dis->hDC);
    if (id == static_cast<int>(IDC_TEXT_SWATCH))
        DrawAlphaSwatch(dc, dis->rcItem, textColour[2], textColour[1], textColour[0], textColour[3]);
    else if (id == static_cast<int>(IDC_BALLOON_SWATCH))
        DrawAlphaSwatch(dc, dis->rcItem, GetRValue(balloonColour), GetGValue(balloonColour), GetBValue(balloonColour),
                        255);
    else
        CSkinPropertyPage::OnDrawItem(id, dis);
}

void CInsTextPage::RepaintSwatches()
{
    for (UINT id : {static_cast<UINT>(IDC_TEXT_SWATCH), static_cast<UINT>(IDC_BALLOON_SWATCH)})
        if (CWnd* w = GetDlgItem(static_cast<int>(id)))
            w->Invalidate();
}

BOOL CInsTextPage::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
{
    CWnd* swatch = GetDlgItem(IDC_BALLOON_SWATCH);
    if (wnd && swatch && wnd->m_hWnd == swatch->m_hWnd) {
        ::SetCursor(::LoadCursor(nullptr, IDC_HAND));
        return TRUE;
    }
    return CSkinPropertyPage::OnSetCursor(wnd, hitTest, message);
}
