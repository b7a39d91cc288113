#include "editor/adjust/StarLightDlg.h"

#include "editor/adjust/RepairRules.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/WinApp.h"

#include <cstdio>

namespace {

constexpr int kTextStarlight = 106;
constexpr int kTextUnexpectedError = 137;

} // namespace

BEGIN_MESSAGE_MAP(CStarLightDlg, CRepairDlg)
    ON_WM_PAINT()
    ON_CBN_SELCHANGE(IDC_STAR_SHAPE, OnCombo)
    ON_CBN_SELCHANGE(IDC_STAR_COLOUR, OnCombo)
END_MESSAGE_MAP()

CStarLightDlg::CStarLightDlg(CWnd* parent) : CRepairDlg(IDD_STAR_LIGHT, kTextStarlight, parent) {}

CStarLightDlg::~CStarLightDlg()
{
    StopJobAndWait();
}

void CStarLightDlg::DoDataExchange(CDataExchange* pDX)
{
    CRepairDlg::DoDataExchange(pDX);
    DDX_CBIndex(pDX, IDC_STAR_SHAPE, shape);
    DDX_CBIndex(pDX, IDC_STAR_COLOUR, colour);
    DDX_Slider(pDX, IDC_STAR_SIZE, size);
    DDX_Slider(pDX, IDC_STAR_RANGE, range);
    DDX_Slider(pDX, IDC_STAR_ROTATE, rotate);
    DDX_Slider(pDX, IDC_STAR_AMOUNT, amount);
}

BOOL CStarLightDlg::OnInitDialog()
{
    dialogKey = "Starlight";
    const repair::NightTest night = repair::NightShotTest(*CurrentImage());
    if (night.nightShot)
        range = night.range;
    else
        ::MessageBox(m_hWnd, "This effect is better for nightshot photo!", "Warning", MB_OK);
    char path[1024];
    std::snprintf(path, sizeof path, "%sskin/%s", theAppSettings.m_programFolder, "star.bmp");
    if (picture.LoadFromFile(path) != 0 || picture.GetAreaByteSize() == 0) {
        ::MessageBox(m_hWnd, "File miss: star.bmp, please reinstall!", nullptr, MB_OK);
        EndDialog(IDCANCEL);
        return TRUE;
    }
    CRepairDlg::OnInitDialog();
    for (const char* name : {"4 beams", "6 beams", "8 beams"})
        SendDlgItemMessage(IDC_STAR_SHAPE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    for (const char* name : {"Normal", "Colorful"})
        SendDlgItemMessage(IDC_STAR_COLOUR, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    InitSlider(sizeSlider, IDC_STAR_SIZE, 4, 64, size);
    sizeSlider.SetPageSize(4);
    sizeSlider.SetTicFreq(4);
    InitSlider(rangeSlider, IDC_STAR_RANGE, 230, 255, range);
    rangeSlider.SetPageSize(2);
    rangeSlider.SetTicFreq(2);
    // The trackbars' own range, 0..100, holds.
    InitSlider(rotateSlider, IDC_STAR_ROTATE, 0, 100, rotate);
    InitSlider(amountSlider, IDC_STAR_AMOUNT, 0, 100, amount);
    UpdateData(FALSE);
    ready = true;
    UpdatePreview();
    return TRUE;
}

bool CStarLightDlg::RebuildStar()
{
    if (!repair::BuildStar(picture, size, rotate, shape, &star) || !shownStar.DuplicateFrom(&star))
        return false;
    if (colour)
        repair::ColourStar(&shownStar);
    return true;
}

void CStarLightDlg::OnCombo()
{
    UpdatePreview();
}

void CStarLightDlg::RunAlgorithm()
{
    if (!RebuildStar()) {
        MessageBox(theUITextTable.GetText(kTextUnexpectedError), nullptr, MB_OK | MB_ICONERROR);
        return;
    }
    Invalidate(FALSE);
    block.star = &star;
    block.threshold = range;
    block.intensity = amount;
    block.colour = colour;
    algorithm.SetImages(CurrentImage(), GetWorkImage());
    RunJob(&algorithm, &block, 0, 0, 100);
}

void CStarLightDlg::OnPaint()
{
    CPaintDC dc(this);
    if (!ready)
        return;
    const RECT panel = ItemRect(this, IDC_STAR_PREVIEW);
    dc.FillSolidRect(&panel, RGB(0, 0, 0));
    UINT w = 0, h = 0;
    shownStar.GetSize(&w, &h);
    const int pw = panel.right - panel.left, ph = panel.bottom - panel.top;
    if (static_cast<int>(w) <= pw && static_cast<int>(h) <= ph) {
        const int left = panel.left + (pw - static_cast<int>(w)) / 2, top = panel.top + (ph - static_cast<int>(h)) / 2;
        DrawRepairImage(&dc, shownStar, RECT{left, top, left + static_cast<int>(w), top + static_cast<int>(h)});
    } else {
        DrawRepairImage(&dc, shownStar, FitRect(static_cast<int>(w), static_cast<int>(h), panel));
    }
}
