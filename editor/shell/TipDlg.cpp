#include "editor/shell/TipDlg.h"

#include "editor/shell/EditorApp.h"
#include "platform/afx/DC.h"
#include "platform/afx/WinApp.h"

#include <sys/stat.h>

#include <cstring>
#include <ctime>

BEGIN_MESSAGE_MAP(CTipDlg, CSkinDialog)
ON_BN_CLICKED(IDC_TIP_NEXT, OnNextTip)
ON_WM_CTLCOLOR()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

namespace {

constexpr char kSection[] = "Tip";
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kTipText = RGB(0, 0, 0);
constexpr COLORREF kPanelEdge = RGB(140, 140, 140);
constexpr int kPanelMargin = 12;

// The file's modification time as ctime writes it, without the line end.
std::string ModificationText(FILE* file)
{
    struct stat st {};
    char text[64] = {};
    if (fstat(fileno(file), &st) != 0 || !ctime_r(&st.st_mtime, text))
        return {};
    std::string s = text;
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ' || s.back() == '\t'))
        s.pop_back();
    return s;
}

long FileLength(FILE* file)
{
    struct stat st {};
    return fstat(fileno(file), &st) == 0 ? static_cast<long>(st.st_size) : 0;
}

// Lines that are not tips begin with a tab, a line end, a blank or ';'.
bool IsSkippedLineStart(char c)
{
    return c == '\t' || c == '\n' || c == '\r' || c == ' ' || c == ';';
}

size_t Utf8Length(unsigned char lead)
{
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 1;
}

}  // namespace

CTipDlg::CTipDlg(CWnd* parent) : CSkinDialog(kTemplate, parent)
{
    m_showAtStartup = AfxGetApp()->GetProfileInt(kSection, "StartUp", 0) == 0;
    m_white.CreateSolidBrush(kWhite);
    OpenTipsFile();
}

CTipDlg::~CTipDlg()
{
    if (m_file) {
        AfxGetApp()->WriteProfileInt(kSection, "FilePos", static_cast<int>(std::ftell(m_file)));
        std::fclose(m_file);
    }
}

void CTipDlg::OpenTipsFile()
{
    char path[sizeof g_programFolder + 16];
    std::snprintf(path, sizeof path, "%sTips/Tips.txt", g_programFolder);
    m_file = std::fopen(path, "r");
    if (!m_file) {
        m_tip.LoadString(IDS_TIP_FILE_ABSENT);
        return;
    }
    CWinApp* app = AfxGetApp();
    const std::string stamp = ModificationText(m_file);
    long start = 0;
    if (app->GetProfileString(kSection, "TimeStamp", "") != stamp.c_str()) {
        app->WriteProfileString(kSection, "TimeStamp", stamp.c_str());
    } else {
        // A position past the end belongs to a longer file of the same time.
        start = static_cast<long>(static_cast<int>(app->GetProfileInt(kSection, "FilePos", 0)));
        if (start < 0 || start > FileLength(m_file))
            start = 0;
    }
    if (std::fseek(m_file, start, SEEK_SET) != 0) {
        m_tip.LoadString(IDS_TIP_FILE_TROUBLE);
        return;
    }
    ReadNextTip();
}

// A piece cut inside a UTF-8 character ends before it; the file is moved
// back so that the next piece starts with the whole character.
void CTipDlg::GiveBackCutCharacter(std::string& piece)
{
    size_t lead = piece.size() - 1;
    while (lead > 0 && (static_cast<unsigned char>(piece[lead]) & 0xC0) == 0x80)
        --lead;
    const size_t have = piece.size() - lead;
    if (lead == 0 || Utf8Length(static_cast<unsigned char>(piece[lead])) <= have)
        return;
    if (std::fseek(m_file, -static_cast<long>(have), SEEK_CUR) == 0)
        piece.resize(lead);
}

// The rest of the current line up to kMaxTip bytes, with its line end;
// false at the end of the file.
bool CTipDlg::ReadPiece(std::string& piece)
{
    piece.clear();
    int c = 0;
    while (piece.size() < kMaxTip && (c = std::getc(m_file)) != EOF) {
        piece.push_back(static_cast<char>(c));
        if (c == '\n')
            return true;
    }
    if (piece.size() == kMaxTip)
        GiveBackCutCharacter(piece);
    return !piece.empty();
}

void CTipDlg::ReadNextTip()
{
    if (!m_file)
        return;
    // One pass from here to the end and one from the start: a file
    // without a tip must not keep the dialog reading for ever.
    bool wrapped = false;
    std::string piece;
    for (;;) {
        if (!ReadPiece(piece)) {
            if (wrapped || std::fseek(m_file, 0, SEEK_SET) != 0) {
                m_tip.LoadString(IDS_TIP_FILE_TROUBLE);
                return;
            }
            wrapped = true;
            m_midLine = false;
            continue;
        }
        if (!m_midLine)
            m_skipLine = IsSkippedLineStart(piece[0]);
        m_midLine = piece.back() != '\n';
        while (!piece.empty() && (piece.back() == '\n' || piece.back() == '\r'))
            piece.pop_back();
        if (m_skipLine || piece.empty())
            continue;
        m_tip = piece.c_str();
        return;
    }
}

BOOL CTipDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    SetDlgItemText(IDC_TIP_TEXT, m_tip);
    CheckDlgButton(IDC_TIP_STARTUP, m_showAtStartup ? BST_CHECKED : BST_UNCHECKED);
    if (!m_file)
        GetDlgItem(IDC_TIP_NEXT)->EnableWindow(FALSE);
    return TRUE;
}

void CTipDlg::OnOK()
{
    AfxGetApp()->WriteProfileInt(kSection, "StartUp", IsDlgButtonChecked(IDC_TIP_STARTUP) ? 0 : 1);
    CSkinDialog::OnOK();
}

void CTipDlg::OnNextTip()
{
    ReadNextTip();
    SetDlgItemText(IDC_TIP_TEXT, m_tip);
}

HBRUSH CTipDlg::OnCtlColor(CDC* dc, CWnd* wnd, UINT kind)
{
    if (kind == CTLCOLOR_STATIC && wnd && wnd->GetDlgCtrlID() == static_cast<int>(IDC_TIP_TEXT)) {
        dc->SetTextColor(kTipText);
        dc->SetBkColor(kWhite);
        return m_white;
    }
    return CSkinDialog::OnCtlColor(dc, wnd, kind);
}

// The tip sits on a white panel a little larger than its text.
BOOL CTipDlg::OnEraseBkgnd(CDC* dc)
{
    CSkinDialog::OnEraseBkgnd(dc);
    CWnd* text = GetDlgItem(IDC_TIP_TEXT);
    if (!text)
        return TRUE;
    CRect panel;
    text->GetWindowRect(&panel);
    ScreenToClient(&panel);
    panel.InflateRect(kPanelMargin, kPanelMargin);
    dc->FillSolidRect(&panel, kWhite);
    dc->Draw3dRect(&panel, kPanelEdge, kPanelEdge);
    return TRUE;
}
