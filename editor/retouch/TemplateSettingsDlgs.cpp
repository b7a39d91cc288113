#include "editor/retouch/TemplateSettingsDlgs.h"

#include "editor/ui/SelectColorDlg.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/Menu.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/PaintDC.h"
#include "platform/afx/Resources.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kPhotoInset = 30;
constexpr int kAnchorBar = 20;

void Spin(CDialog* dialog, int& value, NMHDR* hdr, int low, int high, LRESULT* result)
{
    dialog->UpdateData(TRUE);
    value = std::clamp(value - reinterpret_cast<NMUPDOWN*>(hdr)->iDelta, low, high);
    dialog->UpdateData(FALSE);
    *result = 0;
}

struct Macro {
    UINT command;
    const char* code;
};
// Menu 197's items, in its order.
constexpr Macro kMacros[] = {{40001, "%A"}, {40002, "%C"}, {40003, "%I"}, {40004, "%S"},
                             {40005, "%U"}, {40006, "%T"}, {40007, "%t"}};

} // namespace

std::string SizeText(const FrameLength& left, const FrameLength& top, const FrameLength& right,
                     const FrameLength& bottom)
{
    const auto unit = [](const FrameLength& l) { return l.inPixels ? "" : "%"; };
    char text[96];
    std::snprintf(text, sizeof text, "%d%s,%d%s,%d%s,%d%s", left.value, unit(left), top.value, unit(top), right.value,
                  unit(right), bottom.value, unit(bottom));
    return text;
}

bool SelectPixelColour(CPixel& colour, const char* caption)
{
    unsigned char bytes[4] = {colour.b, colour.g, colour.r, colour.a};
    if (!SelectColor(bytes, caption))
        return false;
    colour = CPixel{bytes[0], bytes[1], bytes[2], bytes[3]};
    return true;
}

const char* MacroCode(UINT command)
{
    for (const Macro& m : kMacros)
        if (m.command == command)
            return m.code;
    return nullptr;
}

// ---- Template Informations -------------------------------------------------

void CTemplateInfoDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_INFO_AUTHOR, m_author);
    DDV_MaxChars(pDX, m_author, 63);
    DDX_Text(pDX, IDC_INFO_COMMENT, m_comment);
    DDV_MaxChars(pDX, m_comment, 127);
}

bool EditTemplateInfo(TemplateInfo& info, CWnd* parent)
{
    CTemplateInfoDlg dialog(parent);
    dialog.m_author = info.author;
    dialog.m_comment = info.comment;
    if (dialog.DoModal() != IDOK)
        return false;
    std::snprintf(info.author, sizeof info.author, "%s", static_cast<const char*>(dialog.m_author));
    std::snprintf(info.comment, sizeof info.comment, "%s", static_cast<const char*>(dialog.m_comment));
    return true;
}

// ---- Size ------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CFrameSizeDlg, CDialog)
    ON_NOTIFY_RANGE(UDN_DELTAPOS, IDC_SIZE_SPIN_LEFT, IDC_SIZE_SPIN_LEFT + 3, OnSpin)
END_MESSAGE_MAP()

void CFrameSizeDlg::Load(const FrameLength& left, const FrameLength& top, const FrameLength& right,
                         const FrameLength& bottom)
{
    m_values[0] = left.value;
    m_values[1] = top.value;
    m_values[2] = right.value;
    m_values[3] = bottom.value;
    m_unit = left.inPixels ? 1 : 0;
}

void CFrameSizeDlg::Store(FrameLength& left, FrameLength& top, FrameLength& right, FrameLength& bottom) const
{
    FrameLength* lengths[] = {&left, &top, &right, &bottom};
    for (int i = 0; i < 4; ++i)
        *lengths[i] = FrameLength{m_unit, m_values[i]};
}

BOOL CFrameSizeDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    for (const char* unit : {"Percent", "Pixel"})
        SendDlgItemMessage(IDC_SIZE_UNIT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(unit));
    UpdateData(FALSE);
    return TRUE;
}

void CFrameSizeDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    for (int i = 0; i < 4; ++i) {
        DDX_Text(pDX, static_cast<int>(IDC_SIZE_LEFT) + i, m_values[i]);
        DDV_MinMaxInt(pDX, m_values[i], kMin, kMax);
    }
    DDX_CBIndex(pDX, IDC_SIZE_UNIT, m_unit);
}

void CFrameSizeDlg::OnSpin(UINT id, NMHDR* hdr, LRESULT* result)
{
    Spin(this, m_values[id - IDC_SIZE_SPIN_LEFT], hdr, kMin, kMax, result);
}

// ---- Border Shadow ---------------------------------------------------------

BEGIN_MESSAGE_MAP(CBorderShadowDlg, CDialog)
    ON_NOTIFY_RANGE(UDN_DELTAPOS, IDC_SHADOW_SPIN_X, IDC_SHADOW_SPIN_X + 2, OnSpin)
    ON_BN_CLICKED(IDC_SHADOW_COLOUR, OnColour)
END_MESSAGE_MAP()

void CBorderShadowDlg::Load(const BorderSettings& border)
{
    m_x = border.shadowX.value;
    m_y = border.shadowY.value;
    m_blur = border.shadowBlur.value;
    m_colour = border.shadowColour;
}

void CBorderShadowDlg::Store(BorderSettings& border) const
{
    border.shadowX = FrameLength{0, m_x};
    border.shadowY = FrameLength{0, m_y};
    border.shadowBlur = FrameLength{0, m_blur};
    border.shadowColour = m_colour;
}

void CBorderShadowDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_SHADOW_X, m_x);
    DDV_MinMaxInt(pDX, m_x, -10, 10);
    DDX_Text(pDX, IDC_SHADOW_X + 1, m_y);
    DDV_MinMaxInt(pDX, m_y, -10, 10);
    DDX_Text(pDX, IDC_SHADOW_X + 2, m_blur);
    DDV_MinMaxInt(pDX, m_blur, 0, 5);
}

void CBorderShadowDlg::OnSpin(UINT id, NMHDR* hdr, LRESULT* result)
{
    if (id == IDC_SHADOW_SPIN_X + 2)
        Spin(this, m_blur, hdr, 0, 5, result);
    else
        Spin(this, id == IDC_SHADOW_SPIN_X ? m_x : m_y, hdr, -10, 10, result);
}

void CBorderShadowDlg::OnColour()
{
    SelectPixelColour(m_colour, "Set Shadow Color");
}

// ---- Scan line -------------------------------------------------------------

BEGIN_MESSAGE_MAP(CScanLineDlg, CDialog)
    ON_BN_CLICKED(IDC_SCANLINE_COLOUR, OnColour)
END_MESSAGE_MAP()

BOOL CScanLineDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    for (const char* type : {"Horizontal Scanline", "Vertical Scanline", "Dot", "Dense dot"})
        SendDlgItemMessage(IDC_SCANLINE_TYPE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(type));
    UpdateData(FALSE);
    return TRUE;
}

void CScanLineDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_CBIndex(pDX, IDC_SCANLINE_TYPE, m_pattern);
}

void CScanLineDlg::OnColour()
{
    SelectPixelColour(m_colour, nullptr);
}

// ---- Signature -------------------------------------------------------------

BEGIN_MESSAGE_MAP(CSignatureSettingsDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_SETCURSOR()
    ON_NOTIFY(UDN_DELTAPOS, IDC_SIGN_SIZE_SPIN, OnSpinSize)
    ON_NOTIFY_RANGE(UDN_DELTAPOS, IDC_SIGN_X_SPIN, IDC_SIGN_Y_SPIN, OnSpin)
    ON_EN_CHANGE(IDC_SIGN_X, OnPlacementChange)
    ON_EN_CHANGE(IDC_SIGN_Y, OnPlacementChange)
    ON_CBN_SELCHANGE(IDC_SIGN_ALIGN, OnPlacementChange)
    ON_BN_CLICKED(IDC_SIGN_MACROS, OnMacros)
    ON_BN_CLICKED(IDC_SIGN_FONT, OnFont)
    ON_BN_CLICKED(IDC_SIGN_COLOUR, OnColour)
END_MESSAGE_MAP()

CSignatureSettingsDlg::CSignatureSettingsDlg(CWnd* parent) : CDialog(IDD_SIGNATURE_SETTINGS, parent) {}

void CSignatureSettingsDlg::Load(const SignatureSettings& s)
{
    m_text = s.text;
    m_face = s.face;
    m_size = s.height.value;
    m_x = s.x.value;
    m_y = s.y.value;
    m_align = s.align;
    m_colour = s.colour;
}

void CSignatureSettingsDlg::Store(SignatureSettings& s) const
{
    std::snprintf(s.text, sizeof s.text, "%s", static_cast<const char*>(m_text));
    std::snprintf(s.face, sizeof s.face, "%s", static_cast<const char*>(m_face));
    s.height.value = m_size;
    s.x.value = m_x;
    s.y.value = m_y;
    s.align = static_cast<BYTE>(m_align);
    s.colour = m_colour;
}

BOOL CSignatureSettingsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    for (const char* align : {"Left", "Right", "Center"})
        SendDlgItemMessage(IDC_SIGN_ALIGN, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(align));
    WriteFields();
    m_ready = true;
    return TRUE;
}

void CSignatureSettingsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_SIGN_TEXT, m_text);
    DDV_MaxChars(pDX, m_text, 255);
    DDX_Text(pDX, IDC_SIGN_SIZE, m_size);
    DDV_MinMaxInt(pDX, m_size, 1, 10);
    DDX_Text(pDX, IDC_SIGN_X, m_x);
    DDV_MinMaxInt(pDX, m_x, -100, 200);
    DDX_Text(pDX, IDC_SIGN_Y, m_y);
    DDV_MinMaxInt(pDX, m_y, -100, 200);
    DDX_CBIndex(pDX, IDC_SIGN_ALIGN, m_align);
}

RECT CSignatureSettingsDlg::PhotoRect(const RECT& area)
{
    return RECT{area.left + kPhotoInset, area.top + kPhotoInset, area.right - kPhotoInset, area.bottom - kPhotoInset};
}

POINT CSignatureSettingsDlg::Anchor(const RECT& photo, int x, int y)
{
    return POINT{photo.left + (photo.right - photo.left) * x / 100, photo.top + (photo.bottom - photo.top) * y / 100};
}

POINT CSignatureSettingsDlg::ClickToXY(const RECT& photo, POINT point)
{
    const int w = std::max(1, static_cast<int>(photo.right - photo.left));
    const int h = std::max(1, static_cast<int>(photo.bottom - photo.top));
    return POINT{(point.x - photo.left) * 100 / w, (point.y - photo.top) * 100 / h};
}

RECT CSignatureSettingsDlg::PreviewArea() const
{
    RECT r{};
    if (CWnd* area = GetDlgItem(IDC_SIGN_PREVIEW)) {
        area->GetWindowRect(&r);
        ScreenToClient(&r);
    }
    return r;
}

void CSignatureSettingsDlg::DrawPreview(CDC* dc)
{
    const RECT area = PreviewArea();
    dc->FillSolidRect(&area, RGB(255, 255, 255));
    const RECT photo = PhotoRect(area);
    dc->FillSolidRect(&photo, RGB(192, 192, 192));
    CBrush black(RGB(0, 0, 0));
    dc->FrameRect(&photo, &black);
    CFont font;
    font.CreateFont(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
    CFont* old = dc->SelectObject(&font);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(RGB(0, 0, 0));
    dc->TextOut(photo.left + 8, photo.top + 8, "Photo", 5);
    dc->SelectObject(old);
    const POINT a = Anchor(photo, m_x, m_y);
    const int barLeft = m_align == 0 ? a.x : m_align == 1 ? a.x - kAnchorBar : a.x - kAnchorBar / 2;
    dc->FillSolidRect(barLeft, a.y - 1, kAnchorBar, 3, RGB(0, 0, 0));
    CPen red(PS_SOLID, 1, RGB(255, 0, 0));
    CPen* oldPen = dc->SelectObject(&red);
    dc->MoveTo(a.x - 3, a.y);
    dc->LineTo(a.x + 4, a.y);
    dc->MoveTo(a.x, a.y - 3);
    dc->LineTo(a.x, a.y + 4);
    dc->SelectObject(oldPen);
}

void CSignatureSettingsDlg::OnPaint()
{
    CPaintDC dc(this);
    if (m_ready)
        DrawPreview(&dc);
}

void CSignatureSettingsDlg::OnLButtonDown(UINT flags, CPoint point)
{
    const RECT area = PreviewArea();
    if (!::PtInRect(&area, point)) {
        CDialog::OnLButtonDown(flags, point);
        return;
    }
    UpdateData(TRUE);
    const POINT xy = ClickToXY(PhotoRect(area), point);
    m_x = std::clamp(static_cast<int>(xy.x), -100, 200);
    m_y = std::clamp(static_cast<int>(xy.y), -100, 200);
    WriteFields();
    InvalidateRect(&area, FALSE);
}

BOOL CSignatureSettingsDlg::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
{
    POINT p;
    ::GetCursorPos(&p);
    ScreenToClient(&p);
    const RECT area = PreviewArea();
    if (::PtInRect(&area, p)) {
        ::SetCursor(::LoadCursor(nullptr, IDC_CROSS));
        return TRUE;
    }
    return CDialog::OnSetCursor(wnd, hitTest, message);
}

void CSignatureSettingsDlg::WriteFields()
{
    m_writing = true;
    UpdateData(FALSE);
    m_writing = false;
}

void CSignatureSettingsDlg::OnSpin(UINT id, NMHDR* hdr, LRESULT* result)
{
    m_writing = true;
    Spin(this, id == IDC_SIGN_X_SPIN ? m_x : m_y, hdr, -100, 200, result);
    m_writing = false;
    const RECT area = PreviewArea();
    InvalidateRect(&area, FALSE);
}

void CSignatureSettingsDlg::OnSpinSize(NMHDR* hdr, LRESULT* result)
{
    Spin(this, m_size, hdr, 1, 10, result);
}

void CSignatureSettingsDlg::OnPlacementChange()
{
    if (!m_ready || m_writing)
        return;
    // A half-typed number keeps the last placement.
    BOOL ok = FALSE;
    const int x = static_cast<int>(GetDlgItemInt(IDC_SIGN_X, &ok, TRUE));
    if (ok)
        m_x = std::clamp(x, -100, 200);
    const int y = static_cast<int>(GetDlgItemInt(IDC_SIGN_Y, &ok, TRUE));
    if (ok)
        m_y = std::clamp(y, -100, 200);
    m_align = std::max(0, static_cast<int>(SendDlgItemMessage(IDC_SIGN_ALIGN, CB_GETCURSEL)));
    const RECT area = PreviewArea();
    InvalidateRect(&area, FALSE);
}

void CSignatureSettingsDlg::AppendMacro(UINT command)
{
    const char* code = MacroCode(command);
    if (!code)
        return;
    UpdateData(TRUE);
    if (m_text.GetLength() + 2 <= 255)
        m_text += code;
    SetDlgItemText(IDC_SIGN_TEXT, m_text);
}

void CSignatureSettingsDlg::OnMacros()
{
    CMenu menu;
    if (!menu.LoadMenu(IDR_SIGNATURE_MACROS))
        return;
    CMenu* popup = menu.GetSubMenu(0);
    RECT r{};
    GetDlgItem(IDC_SIGN_MACROS)->GetWindowRect(&r);
    if (popup)
        popup->TrackPopupMenu(TPM_LEFTALIGN, r.right, r.top, this);
}

BOOL CSignatureSettingsDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (lParam == 0 && MacroCode(LOWORD(wParam))) {
        AppendMacro(LOWORD(wParam));
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CSignatureSettingsDlg::OnFont()
{
    LOGFONT lf{};
    std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", static_cast<const char*>(m_face));
    CFontDialog dialog(&lf, CF_SCREENFONTS, nullptr, this);
    if (dialog.DoModal() == IDOK)
        m_face = dialog.GetFaceName();
}

void CSignatureSettingsDlg::OnColour()
{
    SelectPixelColour(m_colour, nullptr);
}

// ---- Rectangles ------------------------------------------------------------

BEGIN_MESSAGE_MAP(CRectangleSettingsDlg, CDialog)
    ON_NOTIFY(UDN_DELTAPOS, IDC_RECT_WIDTH_SPIN, OnSpin)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_RECT_LIST, OnItemChanged)
    ON_NOTIFY(LVN_KEYDOWN, IDC_RECT_LIST, OnListKey)
    ON_BN_CLICKED(IDC_RECT_ADD, Add)
    ON_BN_CLICKED(IDC_RECT_MODIFY, Modify)
    ON_BN_CLICKED(IDC_RECT_DELETE, DeleteSelected)
    ON_BN_CLICKED(IDC_RECT_SIZE, OnSize)
    ON_BN_CLICKED(IDC_RECT_COLOUR, OnColour)
    ON_WM_DRAWITEM()
END_MESSAGE_MAP()

CRectangleSettingsDlg::CRectangleSettingsDlg(CWnd* parent) : CDialog(IDD_RECTANGLE_SETTINGS, parent)
{
    m_width = m_edit.lineWidth;
}

BOOL CRectangleSettingsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_list.SubclassDlgItem(IDC_RECT_LIST, this);
    m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    m_list.InsertColumn(0, "", LVCFMT_LEFT, 100);
    m_list.InsertColumn(1, "Size", LVCFMT_LEFT, 50);
    m_list.InsertColumn(2, "Color", LVCFMT_LEFT, 150);
    RebuildList();
    ShowEdited();
    UpdateData(FALSE);
    return TRUE;
}

void CRectangleSettingsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_RECT_WIDTH, m_width);
    DDV_MinMaxInt(pDX, m_width, 0, 5);
}

void CRectangleSettingsDlg::RebuildList()
{
    if (!m_list.m_hWnd)
        return;
    m_rebuilding = true;
    m_list.DeleteAllItems();
    char text[96];
    for (size_t i = 0; i < m_rectangles.size(); ++i) {
        const FrameRectangle& r = m_rectangles[i];
        const int row = static_cast<int>(i);
        std::snprintf(text, sizeof text, "Rectangle %d", row);
        m_list.InsertItem(row, text);
        std::snprintf(text, sizeof text, "%d,%d,%d,%d", r.left.value, r.top.value, r.right.value, r.bottom.value);
        m_list.SetItemText(row, 1, text);
        std::snprintf(text, sizeof text, "R=%d,G=%d,B=%d,A=%d", r.colour.r, r.colour.g, r.colour.b, r.colour.a);
        m_list.SetItemText(row, 2, text);
        m_list.SetItemData(row, i);
    }
    m_rebuilding = false;
}

void CRectangleSettingsDlg::ShowEdited()
{
    if (!m_hWnd)
        return;
    const FrameRectangle& e = m_edit;
    SetDlgItemText(IDC_RECT_SIZE_TEXT, SizeText(e.left, e.top, e.right, e.bottom).c_str());
    if (CWnd* swatch = GetDlgItem(IDC_RECT_SWATCH))
        swatch->Invalidate();
}

int CRectangleSettingsDlg::SelectedIndex() const
{
    if (!m_list.m_hWnd)
        return -1;
    const int row = m_list.GetNextItem(-1, LVNI_SELECTED);
    return row >= 0 && row < static_cast<int>(m_rectangles.size()) ? row : -1;
}

void CRectangleSettingsDlg::Select(int index)
{
    if (index < 0 || index >= static_cast<int>(m_rectangles.size()))
        return;
    m_edit = m_rectangles[static_cast<size_t>(index)];
    m_width = m_edit.lineWidth;
    UpdateData(FALSE);
    ShowEdited();
}

void CRectangleSettingsDlg::Add()
{
    if (!UpdateData(TRUE) || m_rectangles.size() >= FrameTemplate::kMaxRectangles)
        return;
    m_edit.lineWidth = m_width;
    for (FrameLength* l : {&m_edit.left, &m_edit.top, &m_edit.right, &m_edit.bottom})
        l->inPixels = 0;
    m_rectangles.push_back(m_edit);
    RebuildList();
    ShowEdited();
}

void CRectangleSettingsDlg::Modify()
{
    const int selected = SelectedIndex();
    if (selected < 0 || !UpdateData(TRUE))
        return;
    m_edit.lineWidth = m_width;
    m_rectangles[static_cast<size_t>(selected)] = m_edit;
    RebuildList();
}

void CRectangleSettingsDlg::DeleteSelected()
{
    const int selected = SelectedIndex();
    if (selected < 0)
        return;
    m_rectangles.erase(m_rectangles.begin() + selected);
    RebuildList();
}

void CRectangleSettingsDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    Modify();
    EndDialog(IDOK);
}

void CRectangleSettingsDlg::OnSpin(NMHDR* hdr, LRESULT* result)
{
    Spin(this, m_width, hdr, 0, 5, result);
}

void CRectangleSettingsDlg::OnItemChanged(NMHDR* hdr, LRESULT* result)
{
    const auto* change = reinterpret_cast<NMLISTVIEW*>(hdr);
    if (!m_rebuilding && (change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED))
        Select(change->iItem);
    *result = 0;
}

void CRectangleSettingsDlg::OnListKey(NMHDR* hdr, LRESULT* result)
{
    if (reinterpret_cast<NMLVKEYDOWN*>(hdr)->wVKey == VK_DELETE)
        DeleteSelected();
    *result = 0;
}

void CRectangleSettingsDlg::OnSize()
{
    CFrameSizeDlg dialog(this);
    dialog.Load(m_edit.left, m_edit.top, m_edit.right, m_edit.bottom);
    if (dialog.DoModal() == IDOK)
        dialog.Store(m_edit.left, m_edit.top, m_edit.right, m_edit.bottom);
    ShowEdited();
}

void CRectangleSettingsDlg::OnColour()
{
    SelectPixelColour(m_edit.colour, "Set Shadow Color");
    ShowEdited();
}

void CRectangleSettingsDlg::OnDrawItem(int id, LPDRAWITEMSTRUCT dis)
{
    if (id != IDC_RECT_SWATCH) {
        CDialog::OnDrawItem(id, dis);
        return;
    }
    const CPixel c = m_edit.colour;
    CDC* dc = CDC::FromHandle(dis->hDC);
    DrawAlphaSwatch(dc, dis->rcItem, c.r, c.g, c.b, c.a);
    // Outlined, so a colour close to the face still shows where it is.
    CBrush edge(RGB(160, 168, 180));
    dc->FrameRect(&dis->rcItem, &edge);
}
