#include "editor/adjust/LensBlurDlg.h"

#include "editor/ui/AppSettings.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/WinApp.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kTextLoseFocusBlur = 88;

} // namespace

BEGIN_MESSAGE_MAP(CLensBlurDlg, CRepairDlg)
    ON_WM_DRAWITEM()
    ON_COMMAND_RANGE(IDC_LENS_ROUND, IDC_LENS_POLYGON8, OnShape)
    ON_BN_CLICKED(IDC_LENS_HIGHLIGHT, OnEnhance)
END_MESSAGE_MAP()

CLensBlurDlg::CLensBlurDlg(CWnd* parent) : CRepairDlg(IDD_LENS_BLUR, kTextLoseFocusBlur, parent) {}

CLensBlurDlg::~CLensBlurDlg()
{
    StopJobAndWait();
}

void CLensBlurDlg::DoDataExchange(CDataExchange* pDX)
{
    CRepairDlg::DoDataExchange(pDX);
    DDX_Slider(pDX, IDC_LENS_RADIUS, radius);
    DDX_Check(pDX, IDC_LENS_HIGHLIGHT, enhance);
}

BOOL CLensBlurDlg::OnInitDialog()
{
    dialogKey = "LensBlur";
    char path[1024];
    std::snprintf(path, sizeof path, "%sskin/%s", theAppSettings.m_programFolder, "lenblur.bmp");
    if (shapes.LoadFromFile(path) != 0 || shapes.GetAreaByteSize() == 0) {
        // Without the shapes there is nothing to blur with: say so and close.
        ::MessageBox(m_hWnd, "File not found!", nullptr, MB_OK);
        EndDialog(IDCANCEL);
        return TRUE;
    }
    CRepairDlg::OnInitDialog();
    InitSlider(radiusSlider, IDC_LENS_RADIUS, 1, 128, radius);
    UpdateData(FALSE);
    ready = true;
    SetShape(shape);
    UpdatePreview();
    return TRUE;
}

void CLensBlurDlg::SetShape(int newShape)
{
    shape = std::clamp(newShape, 0, 2);
    CheckRadioButton(IDC_LENS_ROUND, IDC_LENS_POLYGON8, IDC_LENS_ROUND + static_cast<UINT>(shape));
    if (CWnd* picture = GetDlgItem(IDC_LENS_SHAPE))
        picture->Invalidate(FALSE);
}

void CLensBlurDlg::OnShape(UINT id)
{
    SetShape(static_cast<int>(id - IDC_LENS_ROUND));
    UpdatePreview();
}

void CLensBlurDlg::OnEnhance()
{
    UpdatePreview();
}

void CLensBlurDlg::RunAlgorithm()
{
    block.radius = radius;
    block.highlights = enhance;
    pipeline.SetShape(&shapes, shape);
    pipeline.SetImages(CurrentImage(), GetWorkImage());
    RunJob(&pipeline, &block, 0, 0, 100);
}

void CLensBlurDlg::OnDrawItem(int id, LPDRAWITEMSTRUCT dis)
{
    if (id != static_cast<int>(IDC_LENS_SHAPE)) {
        CRepairDlg::OnDrawItem(id, dis);
        return;
    }
    CDC* dc = CDC::FromHandle(dis->hDC);
    dc->FillSolidRect(&dis->rcItem, RGB(0, 0, 0));
    if (!ready)
        return;
    // The chosen shape as grey.
    UINT w = 0, h = 0;
    shapes.GetSize(&w, &h);
    CQLImage grey;
    if (grey.Create(w, h) != 0)
        return;
    const int channel = 2 - shape;  // red, green, blue in B, G, R order
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x) {
            const BYTE v = shapes.GetBuffer(static_cast<int>(x), static_cast<int>(y))[channel];
            grey.PutPixel(static_cast<int>(x), static_cast<int>(y), CPixel{v, v, v, 255});
        }
    DrawRepairImage(dc, grey, FitRect(static_cast<int>(w), static_cast<int>(h), dis->rcItem));
}
