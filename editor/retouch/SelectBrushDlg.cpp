#include "editor/retouch/SelectBrushDlg.h"

#include "editor/ui/SkinDrawing.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MsgMap.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace brush {

int Distance(int shape, int dx, int dy)
{
    if (shape == 1)
        return std::max(std::abs(dx), std::abs(dy));
    return static_cast<int>(std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy));
}

int Level(int d, int r1, int r2, int pressure)
{
    const int v = d < r1 ? 255 : d < r1 + r2 ? (r1 + r2 - d) * 255 / r2 : 0;
    return v * pressure / 255;
}

void DrawSample(const BYTE brush[4], int w, int h, CQLImage* sample, bool* scaled)
{
    int r1 = brush[kSize] / 2, r2 = brush[kBlur] / 2;
    const int cx = w / 2, cy = h / 2;
    *scaled = cx < r1 + r2;
    if (*scaled) {
        const int total = r1 + r2;
        r1 = cx * r1 / total;
        r2 = cx * r2 / total;
    }
    if (sample->Create(static_cast<UINT>(std::max(w, 0)), static_cast<UINT>(std::max(h, 0))) != 0)
        return;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int v = Level(Distance(brush[kShape], x - cx, y - cy), r1, r2, brush[kPressure]);
            const BYTE g = static_cast<BYTE>(std::clamp(v, 0, 255));
            sample->PutPixel(x, y, CPixel{g, g, g, 255});
        }
}

int Spin(int value, int delta, int low, int high)
{
    return std::clamp(value - delta, low, high);
}

}  // namespace brush

BEGIN_MESSAGE_MAP(CSelectBrushDlg, CDialog)
    ON_WM_PAINT()
    ON_EN_CHANGE(IDC_BRUSH_SIZE_EDIT, OnFieldChanged)
    ON_EN_CHANGE(IDC_BRUSH_BLUR_EDIT, OnFieldChanged)
    ON_EN_CHANGE(IDC_BRUSH_PRESSURE_EDIT, OnFieldChanged)
    ON_CBN_SELCHANGE(IDC_BRUSH_SHAPE, OnFieldChanged)
    ON_NOTIFY_RANGE(UDN_DELTAPOS, IDC_BRUSH_BLUR_SPIN, IDC_BRUSH_PRESSURE_SPIN, OnSpin)
END_MESSAGE_MAP()

CSelectBrushDlg::CSelectBrushDlg(BYTE* brush, int maxSize, CWnd* parent)
    : CDialog(IDD_SELECT_BRUSH, parent), m_brush(brush), m_maxSize(maxSize)
{
    m_shape = brush[brush::kShape];
    m_size = brush[brush::kSize];
    m_blur = brush[brush::kBlur];
    m_pressure = brush[brush::kPressure];
}

BOOL CSelectBrushDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SendDlgItemMessage(IDC_BRUSH_SHAPE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Round"));
    SendDlgItemMessage(IDC_BRUSH_SHAPE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Rectangle"));
    UpdateData(FALSE);
    m_ready = true;
    return TRUE;
}

void CSelectBrushDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_CBIndex(pDX, IDC_BRUSH_SHAPE, m_shape);
    DDX_Text(pDX, IDC_BRUSH_SIZE_EDIT, m_size);
    DDV_MinMaxInt(pDX, m_size, 1, m_maxSize);
    DDX_Text(pDX, IDC_BRUSH_BLUR_EDIT, m_blur);
    DDV_MinMaxInt(pDX, m_blur, 0, m_maxSize);
    DDX_Text(pDX, IDC_BRUSH_PRESSURE_EDIT, m_pressure);
    DDV_MinMaxInt(pDX, m_pressure, 1, 255);
}

void CSelectBrushDlg::OnFieldChanged()
{
    if (!m_ready)
        return;
    // Half-typed numbers keep the last sample; no range message while typing.
    const int size = static_cast<int>(GetDlgItemInt(IDC_BRUSH_SIZE_EDIT, nullptr, FALSE));
    const int blur = static_cast<int>(GetDlgItemInt(IDC_BRUSH_BLUR_EDIT, nullptr, FALSE));
    const int pressure = static_cast<int>(GetDlgItemInt(IDC_BRUSH_PRESSURE_EDIT, nullptr, FALSE));
    if (size < 1 || size > m_maxSize || blur > m_maxSize || pressure < 1 || pressure > 255)
        return;
    m_size = size;
    m_blur = blur;
    m_pressure = pressure;
    m_shape = std::max(0, static_cast<int>(SendDlgItemMessage(IDC_BRUSH_SHAPE, CB_GETCURSEL)));
    Invalidate(FALSE);
}

void CSelectBrushDlg::OnSpin(UINT id, NMHDR* header, LRESULT* result)
{
    const int delta = reinterpret_cast<NMUPDOWN*>(header)->iDelta;
    if (id == IDC_BRUSH_SIZE_SPIN)
        m_size = brush::Spin(m_size, delta, 1, m_maxSize);
    else if (id == IDC_BRUSH_BLUR_SPIN)
        m_blur = brush::Spin(m_blur, delta, 0, m_maxSize);
    else if (id == IDC_BRUSH_PRESSURE_SPIN)
        m_pressure = brush::Spin(m_pressure, delta, 1, 255);
    m_ready = false;
    UpdateData(FALSE);
    m_ready = true;
    Invalidate(FALSE);
    if (result)
        *result = 1;  // the fields are set here, not by the control
}

void CSelectBrushDlg::OnPaint()
{
    CPaintDC dc(this);
    CWnd* box = GetDlgItem(IDC_BRUSH_SAMPLE);
    if (!box)
        return;
    CRect r;
    box->GetWindowRect(&r);
    ScreenToClient(&r);
    dc.FillSolidRect(&r, RGB(0, 0, 0));
    r.DeflateRect(1, 1);
    const BYTE bytes[4] = {static_cast<BYTE>(m_shape), static_cast<BYTE>(m_size), static_cast<BYTE>(m_blur),
                           static_cast<BYTE>(m_pressure)};
    CQLImage sample;
    bool scaled = false;
    brush::DrawSample(bytes, r.Width(), r.Height(), &sample, &scaled);
    if (sample.GetAreaByteSize() != 0) {
        const BITMAPINFO info = DibHeaderOf(sample, r.Height());
        ::SetDIBitsToDevice(dc.GetSafeHdc(), r.left, r.top, r.Width(), r.Height(), 0, 0, 0, r.Height(),
                            sample.GetBuffer(0, 0), &info, DIB_RGB_COLORS);
    }
    if (scaled) {
        char text[16];
        std::snprintf(text, sizeof text, "%d", m_size + m_blur);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(RGB(128, 128, 128));
        dc.TextOut(r.left, r.top, text);
    }
}

void CSelectBrushDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    m_brush[brush::kShape] = static_cast<BYTE>(m_shape);
    m_brush[brush::kSize] = static_cast<BYTE>(m_size);
    m_brush[brush::kBlur] = static_cast<BYTE>(m_blur);
    m_brush[brush::kPressure] = static_cast<BYTE>(m_pressure);
    EndDialog(IDOK);
}
