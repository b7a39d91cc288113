#include "editor/ui/EffecPage.h"

#include "editor/ui/SelectColorDlg.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/PaintDC.h"
#include "platform/afx/ResourceTables.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <iterator>
#include <type_traits>

namespace {

const qlafx::DialogTemplate kEffectsPageTemplate[] = {
    {IDD_EFFECTS_PAGE, WS_CHILD | WS_CAPTION | DS_SETFONT, 0, 0, 0, 200, 182, "Effects", "MS Shell Dlg", 8,
     {
         {"Button", "Enable Shadow", IDC_SHADOW_ON, 7, 5, 90, 10, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX},
         {"Static", "Distance X=", 0xFFFF, 14, 20, 42, 8, WS_VISIBLE | SS_LEFT},
         {"Edit", "", IDC_SHADOW_X, 58, 18, 28, 12, WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL},
         {"msctls_updown32", "", IDC_SHADOW_X_SPIN, 86, 18, 10, 12, WS_VISIBLE},
         {"Static", "Y=", 0xFFFF, 104, 20, 12, 8, WS_VISIBLE | SS_LEFT},
         {"Edit", "", IDC_SHADOW_Y, 118, 18, 28, 12, WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL},
         {"msctls_updown32", "", IDC_SHADOW_Y_SPIN, 146, 18, 10, 12, WS_VISIBLE},
         {"Static", "Blur:", 0xFFFF, 14, 36, 42, 8, WS_VISIBLE | SS_LEFT},
         {"Edit", "", IDC_SHADOW_BLUR, 58, 34, 28, 12, WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL},
         {"msctls_updown32", "", IDC_SHADOW_BLUR_SPIN, 86, 34, 10, 12, WS_VISIBLE},
         {"Button", "Color", IDC_SHADOW_COLOR, 104, 33, 42, 14, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
         {"Static", "", IDC_SHADOW_SWATCH, 150, 33, 30, 14, WS_VISIBLE | SS_LEFT},

         {"Button", "Enable Emboss", IDC_EMBOSS_ON, 7, 60, 90, 10, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX},
         {"Static", "Depth =", 0xFFFF, 14, 75, 42, 8, WS_VISIBLE | SS_LEFT},
         {"Edit", "", IDC_EMBOSS_DEPTH, 58, 73, 28, 12, WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL},
         {"msctls_updown32", "", IDC_EMBOSS_DEPTH_SPIN, 86, 73, 10, 12, WS_VISIBLE},
         {"Static", "Opacity:", 0xFFFF, 104, 75, 32, 8, WS_VISIBLE | SS_LEFT},
         {"Edit", "", IDC_EFFECTS_OPACITY, 138, 73, 28, 12, WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL},
         {"msctls_updown32", "", IDC_EMBOSS_OPACITY_SPIN, 166, 73, 10, 12, WS_VISIBLE},
         {"Static", "Direction degree:", 0xFFFF, 14, 91, 60, 8, WS_VISIBLE | SS_LEFT},
         {"ComboBox", "", IDC_EMBOSS_DIRECTION, 76, 89, 50, 14,
          WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST},
         {"Static", "Blur:", 0xFFFF, 14, 108, 42, 8, WS_VISIBLE | SS_LEFT},
         {"Edit", "", IDC_EMBOSS_BLUR, 58, 106, 28, 12, WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL},
         {"msctls_updown32", "", IDC_EMBOSS_BLUR_SPIN, 86, 106, 10, 12, WS_VISIBLE},

         {"Button", "Enable Emission", IDC_EMISSION_ON, 7, 128, 90, 10, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX},
         {"Static", "Depth =", 0xFFFF, 14, 143, 42, 8, WS_VISIBLE | SS_LEFT},
         {"Edit", "", IDC_EMISSION_DEPTH, 58, 141, 28, 12, WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL},
         {"msctls_updown32", "", IDC_EMISSION_DEPTH_SPIN, 86, 141, 10, 12, WS_VISIBLE},
         {"Static", "Blur:", 0xFFFF, 104, 143, 20, 8, WS_VISIBLE | SS_LEFT},
         {"Edit", "", IDC_EMISSION_BLUR, 126, 141, 28, 12, WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL},
         {"msctls_updown32", "", IDC_EMISSION_BLUR_SPIN, 154, 141, 10, 12, WS_VISIBLE},
         {"Button", "Color", IDC_EMISSION_COLOR, 14, 160, 42, 14, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
         {"Static", "", IDC_EMISSION_SWATCH, 60, 160, 30, 14, WS_VISIBLE | SS_LEFT},
     }},
};
const qlafx::ResourceTable kTable{.dialogs = kEffectsPageTemplate};
qlafx::ResourceRegistrar kRegister(kTable);

const char* const kDirections[] = {"0", "45", "90", "135", "180", "-135", "-90", "-45"};

const UINT kShadowGroup[] = {IDC_SHADOW_X, IDC_SHADOW_X_SPIN, IDC_SHADOW_Y, IDC_SHADOW_Y_SPIN,
                             IDC_SHADOW_BLUR, IDC_SHADOW_BLUR_SPIN, IDC_SHADOW_COLOR};
const UINT kEmbossGroup[] = {IDC_EMBOSS_DEPTH, IDC_EMBOSS_DEPTH_SPIN, IDC_EFFECTS_OPACITY, IDC_EMBOSS_OPACITY_SPIN,
                             IDC_EMBOSS_DIRECTION, IDC_EMBOSS_BLUR, IDC_EMBOSS_BLUR_SPIN};
const UINT kEmissionGroup[] = {IDC_EMISSION_DEPTH, IDC_EMISSION_DEPTH_SPIN, IDC_EMISSION_BLUR_SPIN,
                               IDC_EMISSION_BLUR, IDC_EMISSION_COLOR};

// An edit box, the member it holds and that member's range.
struct NumberField {
    UINT edit;
    UINT spin;
    int lo, hi;
};

const NumberField kFields[] = {
    {IDC_EMBOSS_BLUR, IDC_EMBOSS_BLUR_SPIN, 0, 32},       {IDC_EMBOSS_DEPTH, IDC_EMBOSS_DEPTH_SPIN, 1, 32},
    {IDC_EMISSION_BLUR, IDC_EMISSION_BLUR_SPIN, 0, 32},   {IDC_EMISSION_DEPTH, IDC_EMISSION_DEPTH_SPIN, 1, 32},
    {IDC_SHADOW_Y, IDC_SHADOW_Y_SPIN, -64, 64},           {IDC_SHADOW_X, IDC_SHADOW_X_SPIN, -64, 64},
    {IDC_SHADOW_BLUR, IDC_SHADOW_BLUR_SPIN, 0, 32},       {IDC_EFFECTS_OPACITY, IDC_EMBOSS_OPACITY_SPIN, 0, 255},
};

}  // namespace

IMPLEMENT_DYNCREATE(CEffecPage, CSkinPropertyPage)

BEGIN_MESSAGE_MAP(CEffecPage, CSkinPropertyPage)
    ON_BN_CLICKED(IDC_SHADOW_ON, OnGroupCheck)
    ON_BN_CLICKED(IDC_EMBOSS_ON, OnGroupCheck)
    ON_BN_CLICKED(IDC_EMISSION_ON, OnGroupCheck)
    ON_EN_CHANGE(IDC_EMBOSS_BLUR, OnEditChange)
    ON_EN_CHANGE(IDC_EMBOSS_DEPTH, OnEditChange)
    ON_EN_CHANGE(IDC_EMISSION_BLUR, OnEditChange)
    ON_EN_CHANGE(IDC_EMISSION_DEPTH, OnEditChange)
    ON_EN_CHANGE(IDC_EFFECTS_OPACITY, OnEditChange)
    ON_EN_CHANGE(IDC_SHADOW_Y, OnEditChange)
    ON_EN_CHANGE(IDC_SHADOW_X, OnEditChange)
    ON_EN_CHANGE(IDC_SHADOW_BLUR, OnEditChange)
    ON_BN_CLICKED(IDC_SHADOW_COLOR, OnShadowColor)
    ON_BN_CLICKED(IDC_EMISSION_COLOR, OnEmissionColor)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CEffecPage::CEffecPage() : CSkinPropertyPage(IDD_EFFECTS_PAGE) {}

BOOL CEffecPage::OnInitDialog()
{
    for (const char* d : kDirections)
        SendDlgItemMessage(IDC_EMBOSS_DIRECTION, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(d));
    CSkinPropertyPage::OnInitDialog();
    // The swatches are drawn by the page where these placeholders stand.
    for (UINT id : {IDC_SHADOW_SWATCH, IDC_EMISSION_SWATCH})
        if (CWnd* w = GetDlgItem(static_cast<int>(id)))
            w->ShowWindow(SW_HIDE);
    EnableGroups();
    return TRUE;
}

void CEffecPage::DoDataExchange(CDataExchange* pDX)
{
    CSkinPropertyPage::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_EMISSION_ON, emissionOn);
    DDX_Check(pDX, IDC_EMBOSS_ON, embossOn);
    DDX_Check(pDX, IDC_SHADOW_ON, shadowOn);
    DDX_CBIndex(pDX, IDC_EMBOSS_DIRECTION, embossDirection);
    DDX_Text(pDX, IDC_EMBOSS_BLUR, embossBlur);
    DDV_MinMaxUInt(pDX, embossBlur, 0, 32);
    DDX_Text(pDX, IDC_EMBOSS_DEPTH, embossDepth);
    DDV_MinMaxUInt(pDX, embossDepth, 1, 32);
    DDX_Text(pDX, IDC_EMISSION_BLUR, emissionBlur);
    DDV_MinMaxUInt(pDX, emissionBlur, 0, 32);
    DDX_Text(pDX, IDC_EMISSION_DEPTH, emissionDepth);
    DDV_MinMaxUInt(pDX, emissionDepth, 1, 32);
    DDX_Text(pDX, IDC_SHADOW_Y, shadowY);
    DDV_MinMaxInt(pDX, shadowY, -64, 64);
    DDX_Text(pDX, IDC_SHADOW_X, shadowX);
    DDV_MinMaxInt(pDX, shadowX, -64, 64);
    DDX_Text(pDX, IDC_SHADOW_BLUR, shadowBlur);
    DDV_MinMaxUInt(pDX, shadowBlur, 0, 32);
    DDX_Text(pDX, IDC_EFFECTS_OPACITY, embossOpacity);
    DDV_MinMaxUInt(pDX, embossOpacity, 0, 255);
}

BOOL CEffecPage::ReadControls()
{
    emissionOn = IsDlgButtonChecked(IDC_EMISSION_ON) == BST_CHECKED;
    embossOn = IsDlgButtonChecked(IDC_EMBOSS_ON) == BST_CHECKED;
    shadowOn = IsDlgButtonChecked(IDC_SHADOW_ON) == BST_CHECKED;
    const int direction = static_cast<int>(SendDlgItemMessage(IDC_EMBOSS_DIRECTION, CB_GETCURSEL));
    if (direction >= 0)
        embossDirection = direction;
    // Typing passes through texts that are no number yet ("-", ""): those
    // are read quietly, without the range message of the data exchange.
    BOOL allValid = TRUE;
    for (const NumberField& f : kFields) {
        char text[32] = {};
        GetDlgItemText(static_cast<int>(f.edit), text, sizeof text);
        char* end = nullptr;
        errno = 0;
        const long v = std::strtol(text, &end, 10);
        if (end == text || *end != '\0' || errno != 0 || v < f.lo || v > f.hi) {
            allValid = FALSE;
            continue;
        }
        switch (f.edit) {
        case IDC_EMBOSS_BLUR: embossBlur = static_cast<uint32_t>(v); break;
        case IDC_EMBOSS_DEPTH: embossDepth = static_cast<uint32_t>(v); break;
        case IDC_EMISSION_BLUR: emissionBlur = static_cast<uint32_t>(v); break;
        case IDC_EMISSION_DEPTH: emissionDepth = static_cast<uint32_t>(v); break;
        case IDC_SHADOW_Y: shadowY = static_cast<int32_t>(v); break;
        case IDC_SHADOW_X: shadowX = static_cast<int32_t>(v); break;
        case IDC_SHADOW_BLUR: shadowBlur = static_cast<uint32_t>(v); break;
        case IDC_EFFECTS_OPACITY: embossOpacity = static_cast<uint32_t>(v); break;
        }
    }
    return allValid;
}

void CEffecPage::EnableGroups()
{
    ReadControls();
    const struct {
        const UINT* ids;
        size_t count;
        int32_t on;
    } groups[] = {{kShadowGroup, std::size(kShadowGroup), shadowOn},
                  {kEmbossGroup, std::size(kEmbossGroup), embossOn},
                  {kEmissionGroup, std::size(kEmissionGroup), emissionOn}};
    for (const auto& g : groups)
        for (size_t i = 0; i < g.count; ++i)
            if (CWnd* w = GetDlgItem(static_cast<int>(g.ids[i])))
                w->EnableWindow(g.on ? TRUE : FALSE);
}

void CEffecPage::OnGroupCheck()
{
    EnableGroups();
    NotifySheet();
}

void CEffecPage::OnEditChange()
{
    if (writingControls)
        return;  // the page's own write-back: the sheet hears of it once
    if (ReadControls())
        NotifySheet();
}

BOOL CEffecPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
    if (!hdr || hdr->code != UDN_DELTAPOS)
        return CSkinPropertyPage::OnNotify(wParam, lParam, pResult);
    const NumberField* field = nullptr;
    for (const NumberField& f : kFields)
        if (f.spin == hdr->idFrom)
            field = &f;
    if (!field)
        return CSkinPropertyPage::OnNotify(wParam, lParam, pResult);
    ReadControls();
    const int delta = reinterpret_cast<const NMUPDOWN*>(lParam)->iDelta;
    auto spin = [&](auto& member) {
        const long long v = static_cast<long long>(member) - delta;
        member = static_cast<std::remove_reference_t<decltype(member)>>(std::clamp<long long>(v, field->lo, field->hi));
    };
    switch (field->edit) {
    case IDC_EMBOSS_BLUR: spin(embossBlur); break;
    case IDC_EMBOSS_DEPTH: spin(embossDepth); break;
    case IDC_EMISSION_BLUR: spin(emissionBlur); break;
    case IDC_EMISSION_DEPTH: spin(emissionDepth); break;
    case IDC_SHADOW_Y: spin(shadowY); break;
    case IDC_SHADOW_X: spin(shadowX); break;
    case IDC_SHADOW_BLUR: spin(shadowBlur); break;
    case IDC_EFFECTS_OPACITY: spin(embossOpacity); break;
    }
    writingControls = true;
    UpdateData(FALSE);
    writingControls = false;
    NotifySheet();
    if (pResult)
        *pResult = 0;
    return TRUE;
}

void CEffecPage::PickColour(unsigned char colour[4])
{
    if (!SelectColor(colour, nullptr))
        return;
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    NotifySheet();
}

void CEffecPage::OnShadowColor()
{
    PickColour(shadowColour);
}

void CEffecPage::OnEmissionColor()
{
    PickColour(emissionColour);
}

void CEffecPage::OnPaint()
{
    CPaintDC dc(this);
    const struct {
        UINT id;
        const unsigned char* colour;
    } swatches[] = {{IDC_SHADOW_SWATCH, shadowColour}, {IDC_EMISSION_SWATCH, emissionColour}};
    for (const auto& s : swatches) {
        CWnd* w = GetDlgItem(static_cast<int>(s.id));
        if (!w)
            continue;
        RECT r;
        w->GetWindowRect(&r);
        ScreenToClient(&r);
        DrawAlphaSwatch(&dc, r, s.colour[2], s.colour[1], s.colour[0], s.colour[3]);
    }
}

void CEffecPage::NotifySheet()
{
    ReadControls();
    if (onChanged)
        onChanged();
}
