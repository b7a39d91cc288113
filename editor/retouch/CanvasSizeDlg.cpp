#include "editor/retouch/CanvasSizeDlg.h"

#include "editor/shell/BackgroundWork.h"
#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MsgMap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

constexpr int kTextExtendCanvas = 143;
constexpr int kTextUnexpectedError = 137;
constexpr UINT kMarginEdits[4] = {IDC_CANVAS_LEFT, IDC_CANVAS_TOP, IDC_CANVAS_RIGHT, IDC_CANVAS_BOTTOM};

}  // namespace

namespace canvas {

int NewSide(int side, int before, int after)
{
    return static_cast<int>(std::clamp<long long>(static_cast<long long>(side) + before + after, 1, kMaxSide));
}

BOOL Extend(const CQLImage& source, Margins m, CPixel colour, CQLImage* target)
{
    UINT w = 0, h = 0;
    source.GetSize(&w, &h);
    const int width = static_cast<int>(w), height = static_cast<int>(h);
    const int nw = NewSide(width, m.left, m.right), nh = NewSide(height, m.top, m.bottom);
    CQLImage out;
    if (out.Create(static_cast<UINT>(nw), static_cast<UINT>(nh)) != 0)
        return FALSE;
    // The columns of the new image that the photo covers: x - left within the photo.
    const int from = std::clamp(m.left, 0, nw), to = std::clamp(m.left + width, 0, nw);
    for (int y = 0; y < nh; ++y) {
        CPixel* row = reinterpret_cast<CPixel*>(out.GetBuffer(0, static_cast<UINT>(y)));
        const int sy = y - m.top;
        if (sy < 0 || sy >= height || from >= to) {
            std::fill(row, row + nw, colour);
            continue;
        }
        std::fill(row, row + from, colour);
        std::memcpy(row + from, source.GetBuffer(static_cast<UINT>(from - m.left), static_cast<UINT>(sy)),
                    static_cast<size_t>(to - from) * 4);
        std::fill(row + to, row + nw, colour);
    }
    *target = std::move(out);
    return TRUE;
}

}  // namespace canvas

BEGIN_MESSAGE_MAP(CCanvasSizeDlg, CSkinDialog)
    ON_EN_CHANGE(IDC_CANVAS_LEFT, OnMarginChanged)
    ON_EN_CHANGE(IDC_CANVAS_TOP, OnMarginChanged)
    ON_BN_CLICKED(IDC_CANVAS_SYMMETRIC, OnSymmetric)
    ON_BN_CLICKED(IDC_CANVAS_COLOUR_BUTTON, OnSetBackground)
    ON_WM_DRAWITEM()
END_MESSAGE_MAP()

CCanvasSizeDlg::CCanvasSizeDlg(CWnd* parent) : CSkinDialog(IDD_CANVAS_SIZE, parent) {}

BOOL CCanvasSizeDlg::OnInitDialog()
{
    for (int i = 0; i < 4; ++i) {
        m_edits[i].SubclassDlgItem(kMarginEdits[i], this);
        m_edits[i].SetAllowedChars("0123456789");
    }
    CSkinDialog::OnInitDialog();
    Sync();
    return TRUE;
}

void CCanvasSizeDlg::DoDataExchange(CDataExchange* pDX)
{
    CSkinDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_CANVAS_TOP, m_margins.top);
    DDV_MinMaxInt(pDX, m_margins.top, -canvas::kMaxMargin, canvas::kMaxMargin);
    DDX_Text(pDX, IDC_CANVAS_LEFT, m_margins.left);
    DDV_MinMaxInt(pDX, m_margins.left, -canvas::kMaxMargin, canvas::kMaxMargin);
    DDX_Text(pDX, IDC_CANVAS_RIGHT, m_margins.right);
    DDV_MinMaxInt(pDX, m_margins.right, -canvas::kMaxMargin, canvas::kMaxMargin);
    DDX_Text(pDX, IDC_CANVAS_BOTTOM, m_margins.bottom);
    DDV_MinMaxInt(pDX, m_margins.bottom, -canvas::kMaxMargin, canvas::kMaxMargin);
    DDX_Check(pDX, IDC_CANVAS_SYMMETRIC, m_symmetric);
}

void CCanvasSizeDlg::Sync()
{
    GetDlgItem(IDC_CANVAS_RIGHT)->EnableWindow(!m_symmetric);
    GetDlgItem(IDC_CANVAS_BOTTOM)->EnableWindow(!m_symmetric);
    if (m_symmetric) {
        m_margins.right = m_margins.left;
        m_margins.bottom = m_margins.top;
    }
    ++m_syncing;
    UpdateData(FALSE);
    --m_syncing;
    Invalidate(FALSE);
}

BOOL CCanvasSizeDlg::ReadLeftTop()
{
    // Checked quietly: a number half typed is no reason for a message.
    BOOL leftRead = FALSE, topRead = FALSE;
    const int left = static_cast<int>(GetDlgItemInt(IDC_CANVAS_LEFT, &leftRead, TRUE));
    const int top = static_cast<int>(GetDlgItemInt(IDC_CANVAS_TOP, &topRead, TRUE));
    if (!leftRead || !topRead || std::abs(left) > canvas::kMaxMargin || std::abs(top) > canvas::kMaxMargin)
        return FALSE;
    m_margins.left = left;
    m_margins.top = top;
    return TRUE;
}

void CCanvasSizeDlg::OnMarginChanged()
{
    if (!m_syncing && m_symmetric && ReadLeftTop())
        Sync();
}

void CCanvasSizeDlg::OnSymmetric()
{
    m_symmetric = IsDlgButtonChecked(IDC_CANVAS_SYMMETRIC) ? 1 : 0;
    // What was typed while the sides were free is kept.
    ReadLeftTop();
    BOOL read = FALSE;
    const int right = static_cast<int>(GetDlgItemInt(IDC_CANVAS_RIGHT, &read, TRUE));
    if (read && std::abs(right) <= canvas::kMaxMargin)
        m_margins.right = right;
    const int bottom = static_cast<int>(GetDlgItemInt(IDC_CANVAS_BOTTOM, &read, TRUE));
    if (read && std::abs(bottom) <= canvas::kMaxMargin)
        m_margins.bottom = bottom;
    Sync();
}

void CCanvasSizeDlg::OnSetBackground()
{
    CColorDialog dialog(RGB(m_colour.r, m_colour.g, m_colour.b), CC_RGBINIT | CC_FULLOPEN, this);
    if (dialog.DoModal() != IDOK)
        return;
    const COLORREF c = dialog.GetColor();
    m_colour = CPixel{GetBValue(c), GetGValue(c), GetRValue(c), 255};
    GetDlgItem(IDC_CANVAS_COLOUR)->Invalidate(FALSE);
}

void CCanvasSizeDlg::OnDrawItem(int id, LPDRAWITEMSTRUCT dis)
{
    if (id != static_cast<int>(IDC_CANVAS_COLOUR)) {
        CSkinDialog::OnDrawItem(id, dis);
        return;
    }
    CDC* dc = CDC::FromHandle(dis->hDC);
    dc->FillSolidRect(&dis->rcItem, RGB(m_colour.r, m_colour.g, m_colour.b));
    CBrush black(RGB(0, 0, 0));
    dc->FrameRect(&dis->rcItem, &black);
}

void CCanvasSizeDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    CQLImage extended;
    const canvas::Margins margins = m_margins;
    const CPixel colour = m_colour;
    const int made = RunInBackground(
        this, [&] { return canvas::Extend(thePhotoDocument.m_image, margins, colour, &extended) ? 1 : 0; });
    if (!made) {
        MessageBox(theUITextTable.GetText(kTextUnexpectedError), nullptr, MB_OK | MB_ICONERROR);
        return;
    }
    thePhotoDocument.m_image = std::move(extended);
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, theUITextTable.GetText(kTextExtendCanvas));
    thePhotoDocument.m_history.SetRefreshFlag();
    EndDialog(IDOK);
}

int RunCanvasSizeDlg(CMainFrame* frame)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CCanvasSizeDlg dialog(frame);
    return static_cast<int>(dialog.DoModal());
}
