#include "editor/retouch/DescreenDlg.h"

#include "editor/ui/AppSettings.h"
#include "editor/ui/SkinDrawing.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MsgMap.h"
#include "platform/codec/QLImageCodec.h"

#include <cstdio>

namespace {

constexpr int kTextDescreening = 232;

}  // namespace

BEGIN_MESSAGE_MAP(CDescreenDlg, CRepairDlg)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_COMMAND_RANGE(IDC_DESCREEN_SMALL, IDC_DESCREEN_BIG, OnPatternSize)
    ON_BN_CLICKED(IDC_DESCREEN_FAST, OnOption)
    ON_BN_CLICKED(IDC_DESCREEN_TWICE, OnOption)
END_MESSAGE_MAP()

CDescreenDlg::CDescreenDlg(CWnd* parent) : CRepairDlg(IDD_DESCREEN, kTextDescreening, parent) {}

CDescreenDlg::~CDescreenDlg()
{
    StopJobAndWait();
}

int CDescreenDlg::OnCreate(LPCREATESTRUCT cs)
{
    if (CRepairDlg::OnCreate(cs) == -1)
        return -1;
    char path[1024];
    std::snprintf(path, sizeof path, "%sskin/%s", theAppSettings.m_programFolder, "patterndemo.bmp");
    CQLImageCodec codec;
    if (!codec.LoadFile(path, &demo)) {
        ::MessageBox(nullptr, "File not found!", nullptr, MB_OK);
        return -1;
    }
    return 0;
}

void CDescreenDlg::DoDataExchange(CDataExchange* pDX)
{
    CRepairDlg::DoDataExchange(pDX);
    DDX_Slider(pDX, IDC_DESCREEN_STRENGTH, params.strength);
    DDX_Check(pDX, IDC_DESCREEN_FAST, params.lumaOnly);
    DDX_Check(pDX, IDC_DESCREEN_TWICE, params.twice);
}

BOOL CDescreenDlg::OnInitDialog()
{
    dialogKey = "DescreenDlg";
    CRepairDlg::OnInitDialog();
    InitSlider(strengthSlider, IDC_DESCREEN_STRENGTH, 0, 100, params.strength);
    CheckRadioButton(IDC_DESCREEN_SMALL, IDC_DESCREEN_BIG, IDC_DESCREEN_SMALL + static_cast<UINT>(params.patternSize));
    UpdateData(FALSE);
    UpdatePreview();
    return TRUE;
}

void CDescreenDlg::OnPatternSize(UINT id)
{
    params.patternSize = static_cast<INT>(id - IDC_DESCREEN_SMALL);
    UpdatePreview();
}

void CDescreenDlg::OnOption()
{
    UpdatePreview();
}

void CDescreenDlg::RunAlgorithm()
{
    UpdateData(TRUE);
    algorithm.SetImages(CurrentImage(), GetWorkImage());
    RunJob(&algorithm, &params, 0, 0, 100);
}

// The demonstration at its own size, centred, in a black frame.
void CDescreenDlg::OnPaint()
{
    CPaintDC dc(this);
    const RECT box = ItemRect(this, IDC_DESCREEN_DEMO);
    UINT w = 0, h = 0;
    demo.GetSize(&w, &h);
    const int x = (box.left + box.right - static_cast<int>(w)) / 2, y = (box.top + box.bottom - static_cast<int>(h)) / 2;
    const int oldMode = dc.SetStretchBltMode(COLORONCOLOR);
    const BITMAPINFO info = DibHeaderOf(demo, static_cast<int>(h));
    ::StretchDIBits(dc.GetSafeHdc(), x, y, static_cast<int>(w), static_cast<int>(h), 0, 0, static_cast<int>(w),
                    static_cast<int>(h), demo.GetBuffer(0, 0), &info, DIB_RGB_COLORS, SRCCOPY);
    dc.SetStretchBltMode(oldMode);
    CBrush black(RGB(0, 0, 0));
    RECT frame{x - 1, y - 1, x + static_cast<int>(w) + 1, y + static_cast<int>(h) + 1};
    dc.FrameRect(&frame, &black);
}
