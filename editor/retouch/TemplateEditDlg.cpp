#include "editor/retouch/TemplateEditDlg.h"

#include "editor/adjust/LogoSettingsDlg.h"
#include "editor/retouch/TemplateSettingsDlgs.h"
#include "editor/retouch/TemplatesEditDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/SelectColorDlg.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/WinApp.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

BEGIN_MESSAGE_MAP(CTemplateEditDlg, CFilterDlg)
    ON_WM_PAINT()
    ON_WM_TIMER()
    ON_WM_DRAWITEM()
    ON_BN_CLICKED(IDC_TEMPLATE_INFO, OnInfo)
    ON_BN_CLICKED(IDC_CANVAS_COLOUR, OnCanvasColour)
    ON_BN_CLICKED(IDC_CANVAS_SIZE, OnCanvasSize)
    ON_BN_CLICKED(IDC_BORDER_COLOUR, OnBorderColour)
    ON_BN_CLICKED(IDC_BORDER_SIZE, OnBorderSize)
    ON_BN_CLICKED(IDC_BORDER_ADVANCE, OnBorderAdvance)
    ON_BN_CLICKED(IDC_RECTANGLES_ADVANCE, OnRectangles)
    ON_BN_CLICKED(IDC_SIGNATURE_ADVANCE, OnSignature)
    ON_BN_CLICKED(IDC_LOGO_ADVANCE, OnLogo)
    ON_BN_CLICKED(IDC_BORDER_ENABLE, OnToggle)
    ON_BN_CLICKED(IDC_SIGNATURE_ENABLE, OnToggle)
    ON_BN_CLICKED(IDC_LOGO_ENABLE, OnToggle)
    ON_CBN_SELCHANGE(IDC_BORDER_TYPE, OnToggle)
    ON_EN_KILLFOCUS(IDC_TEMPLATE_NAME, OnNameChange)
END_MESSAGE_MAP()

CTemplateEditDlg::CTemplateEditDlg(CWnd* parent) : CFilterDlg(IDD_TEMPLATE_EDIT, parent)
{
    InstallFrameMessages();
}

CTemplateEditDlg::~CTemplateEditDlg()
{
    StopJobAndWait();
}

BOOL CTemplateEditDlg::OnInitDialog()
{
    dialogKey = "TemplateEdit";
    CFilterDlg::OnInitDialog();
    for (const char* type : {"Solid", "Shadow", "3D", "Scan Line"})
        SendDlgItemMessage(IDC_BORDER_TYPE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(type));
    m_borderEnabled = m_template.m_border.enabled ? 1 : 0;
    m_logoEnabled = m_template.m_logo.enabled ? 1 : 0;
    m_borderType = std::min<int>(m_template.m_border.type, 3);
    m_signatureEnabled = m_template.m_signature.enabled ? 1 : 0;
    m_name = m_template.m_info.name;
    UpdateData(FALSE);
    ShowSizeTexts();
    ApplyEnableRules();
    const CString user = AfxGetApp()->GetProfileString("General", "UserName", "");
    std::snprintf(userName, sizeof userName, "%s", static_cast<const char*>(user));
    renderer.SetUserText(userName);
    SetTimer(kSwatchTimer, 100, nullptr);
    ready = true;
    UpdatePreview();
    return TRUE;
}

void CTemplateEditDlg::DoDataExchange(CDataExchange* pDX)
{
    CFilterDlg::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_TEMPLATE_NAME, m_name);
    DDV_MaxChars(pDX, m_name, 31);
    DDX_Check(pDX, IDC_BORDER_ENABLE, m_borderEnabled);
    DDX_CBIndex(pDX, IDC_BORDER_TYPE, m_borderType);
    DDX_Check(pDX, IDC_SIGNATURE_ENABLE, m_signatureEnabled);
    DDX_Check(pDX, IDC_LOGO_ENABLE, m_logoEnabled);
}

void CTemplateEditDlg::ReadControls()
{
    UpdateData(TRUE);
    m_template.m_border.type = static_cast<BYTE>(std::max(0, m_borderType));
    SanitizeName(m_template.m_info.name, m_name);
    m_template.m_logo.enabled = m_logoEnabled;
    m_template.m_signature.enabled = m_signatureEnabled;
    m_template.m_border.enabled = m_borderEnabled;
}

void CTemplateEditDlg::ApplyEnableRules()
{
    const BOOL border = m_borderEnabled != 0;
    const std::pair<UINT, BOOL> rules[] = {{IDC_BORDER_SIZE, border},
                                           {IDC_BORDER_COLOUR, border},
                                           {IDC_BORDER_TYPE, border},
                                           {IDC_BORDER_SIZE_TEXT, border},
                                           {IDC_BORDER_ADVANCE, border && m_borderType != 0},
                                           {IDC_SIGNATURE_ADVANCE, m_signatureEnabled != 0},
                                           {IDC_LOGO_ADVANCE, m_logoEnabled != 0}};
    for (const auto& [id, on] : rules)
        if (CWnd* control = GetDlgItem(id))
            control->EnableWindow(on);
}

void CTemplateEditDlg::ShowSizeTexts()
{
    const CanvasSettings& c = m_template.m_canvas;
    const BorderSettings& b = m_template.m_border;
    SetDlgItemText(IDC_CANVAS_SIZE_TEXT, SizeText(c.left, c.top, c.right, c.bottom).c_str());
    SetDlgItemText(IDC_BORDER_SIZE_TEXT, SizeText(b.left, b.top, b.right, b.bottom).c_str());
}

void CTemplateEditDlg::RunAlgorithm()
{
    jobTemplate.CopyFrom(m_template);
    renderer.SetImages(CurrentImage(), GetWorkImage());
    renderer.SetExif(&thePhotoDocument.m_exif.GetFields());
    RunJob(&renderer, &jobTemplate, 0, 0, 100);
}

POINT CTemplateEditDlg::GetResultOffset()
{
    return renderer.GetResultOffset();
}

void CTemplateEditDlg::OnAlgorithmDone(int tag, int result)
{
    CFilterDlg::OnAlgorithmDone(tag, result);
    if (this->result.GetAreaByteSize() != 0) {
        resultView.SetSmoothScaling(TRUE);
        resultView.ZoomToFit(TRUE);
    }
}

void CTemplateEditDlg::Changed()
{
    ReadControls();
    ShowSizeTexts();
    m_swatchesDirty = TRUE;
    UpdatePreview();
}

void CTemplateEditDlg::OnPaint()
{
    Default();
    m_swatchesDirty = TRUE;
}

void CTemplateEditDlg::OnTimer(UINT_PTR id)
{
    if (id != kSwatchTimer) {
        CFilterDlg::OnTimer(id);
        return;
    }
    if (!m_swatchesDirty)
        return;
    m_swatchesDirty = FALSE;
    for (UINT swatch : {IDC_CANVAS_SWATCH, IDC_BORDER_SWATCH})
        if (CWnd* w = GetDlgItem(swatch))
            w->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CTemplateEditDlg::OnDrawItem(int id, LPDRAWITEMSTRUCT dis)
{
    if (id != static_cast<int>(IDC_CANVAS_SWATCH) && id != static_cast<int>(IDC_BORDER_SWATCH)) {
        CFilterDlg::OnDrawItem(id, dis);
        return;
    }
    const CPixel c = id == static_cast<int>(IDC_CANVAS_SWATCH) ? m_template.m_canvas.colour : m_template.m_border.colour;
    CDC* dc = CDC::FromHandle(dis->hDC);
    DrawAlphaSwatch(dc, dis->rcItem, c.r, c.g, c.b, c.a);
    // Outlined, so a colour close to the face still shows where it is.
    CBrush edge(RGB(160, 168, 180));
    dc->FrameRect(&dis->rcItem, &edge);
}

void CTemplateEditDlg::OnInfo()
{
    ReadControls();
    if (EditTemplateInfo(m_template.m_info, this))
        Changed();
}

void CTemplateEditDlg::OnCanvasColour()
{
    ReadControls();
    SelectPixelColour(m_template.m_canvas.colour, nullptr);
    m_template.m_canvas.colour.a = 255;
    Changed();
}

void CTemplateEditDlg::OnCanvasSize()
{
    ReadControls();
    CanvasSettings& c = m_template.m_canvas;
    CFrameSizeDlg dialog(this);
    dialog.Load(c.left, c.top, c.right, c.bottom);
    if (dialog.DoModal() != IDOK)
        return;
    dialog.Store(c.left, c.top, c.right, c.bottom);
    // A canvas margin cannot be negative.
    for (FrameLength* l : {&c.left, &c.top, &c.right, &c.bottom})
        l->value = std::abs(l->value);
    Changed();
}

void CTemplateEditDlg::OnBorderColour()
{
    ReadControls();
    SelectPixelColour(m_template.m_border.colour, nullptr);
    Changed();
}

void CTemplateEditDlg::OnBorderSize()
{
    ReadControls();
    BorderSettings& b = m_template.m_border;
    CFrameSizeDlg dialog(this);
    dialog.Load(b.left, b.top, b.right, b.bottom);
    if (dialog.DoModal() != IDOK)
        return;
    dialog.Store(b.left, b.top, b.right, b.bottom);
    Changed();
}

void CTemplateEditDlg::OnBorderAdvance()
{
    ReadControls();
    BorderSettings& b = m_template.m_border;
    switch (m_borderType) {
    case 1: {
        CBorderShadowDlg dialog(this);
        dialog.Load(b);
        if (dialog.DoModal() != IDOK)
            return;
        dialog.Store(b);
        break;
    }
    case 2:
        if (!SelectPixelColour(b.rightBottomColour, "Set Right-Bottom Color"))
            return;
        break;
    case 3: {
        CScanLineDlg dialog(this);
        dialog.m_pattern = std::min<int>(b.pattern, 3);
        dialog.m_colour = b.secondColour;
        if (dialog.DoModal() != IDOK)
            return;
        b.pattern = static_cast<BYTE>(std::max(0, dialog.m_pattern));
        b.secondColour = dialog.m_colour;
        break;
    }
    default:
        return;
    }
    Changed();
}

void CTemplateEditDlg::OnRectangles()
{
    ReadControls();
    CRectangleSettingsDlg dialog(this);
    dialog.m_rectangles = m_template.m_rectangles;
    if (dialog.DoModal() != IDOK)
        return;
    m_template.m_rectangles = dialog.m_rectangles;
    Changed();
}

void CTemplateEditDlg::OnSignature()
{
    ReadControls();
    CSignatureSettingsDlg dialog(this);
    dialog.Load(m_template.m_signature);
    if (dialog.DoModal() != IDOK)
        return;
    dialog.Store(m_template.m_signature);
    Changed();
}

// The logo dialog edits the values of x, y and width; their units stay.
void CTemplateEditDlg::OnLogo()
{
    ReadControls();
    LogoSettings& logo = m_template.m_logo;
    CLogoSettingsDlg dialog(this);
    dialog.logoFile = logo.path;
    dialog.maskFile = logo.maskPath;
    dialog.overlayMode = logo.mode;
    dialog.logoX = logo.x.value;
    dialog.logoY = logo.y.value;
    dialog.logoSize = static_cast<UINT>(std::max(logo.width.value, 1));
    if (dialog.DoModal() != IDOK)
        return;
    std::snprintf(logo.path, sizeof logo.path, "%s", static_cast<const char*>(dialog.logoFile));
    std::snprintf(logo.maskPath, sizeof logo.maskPath, "%s", static_cast<const char*>(dialog.maskFile));
    logo.mode = static_cast<BYTE>(dialog.overlayMode);
    logo.x.value = dialog.logoX;
    logo.y.value = dialog.logoY;
    logo.width.value = static_cast<std::int32_t>(dialog.logoSize);
    Changed();
}

void CTemplateEditDlg::OnToggle()
{
    UpdateData(TRUE);
    ApplyEnableRules();
    Changed();
}

void CTemplateEditDlg::OnNameChange()
{
    ReadControls();
}

void CTemplateEditDlg::OnOK()
{
    ReadControls();
    if (m_template.m_info.name[0] == '\0') {
        AfxMessageBox("Name can not be null!");
        return;
    }
    KillTimer(kSwatchTimer);
    CFilterDlg::OnOK();
}

void CTemplateEditDlg::OnCancel()
{
    KillTimer(kSwatchTimer);
    CFilterDlg::OnCancel();
}
