#include "editor/shell/ImagePropertyDlg.h"

#include "editor/shell/EditExifDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "platform/afx/WinApp.h"

#include <cmath>
#include <cstdio>

namespace {

template <typename... Args>
std::string Format(const char* format, Args... args)
{
    char text[300];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

const char* ExposureProgramName(int program)
{
    static const char* const kNames[] = {"Manual",          "Normal Program", "Aperture Priority",
                                         "Shutter Priority", "Creative Program", "Action Program",
                                         "Protrait Program", "Landscape mode"};
    return program >= 1 && program <= 8 ? kNames[program - 1] : "Unknown";
}

const char* MeteringModeName(int mode)
{
    static const char* const kNames[] = {"Average", "Center Weight Average", "Spot", "MultiSpot", "Pattern",
                                         "Partial"};
    return mode >= 1 && mode <= 6 ? kNames[mode - 1] : "Unknown";
}

}  // namespace

BEGIN_MESSAGE_MAP(CImagePropertyDlg, CSkinDialog)
    ON_BN_CLICKED(IDC_EDIT_EXIF, OnEditExif)
END_MESSAGE_MAP()

CImagePropertyDlg::CImagePropertyDlg(CWnd* parent) : CSkinDialog(IDD_IMAGE_PROPERTY, parent) {}

CImagePropertyDlg::~CImagePropertyDlg()
{
    if (m_icon)
        DestroyIcon(m_icon);
}

std::string CImagePropertyDlg::FormatShutter(double seconds)
{
    if (seconds >= 0.4)
        return Format("%.1fs", seconds);
    return Format("1/%ds", static_cast<int>(std::floor(1 / seconds + 0.5)));
}

std::vector<PropertyRow> CImagePropertyDlg::BuildRows(const CQLImage& image, ExifInfo& exif)
{
    const ExifFields& f = exif.GetFields();
    std::vector<PropertyRow> rows;
    auto add = [&rows](const char* item, std::string value) {
        if (!value.empty())
            rows.push_back({item, std::move(value)});
    };
    auto blank = [&rows] { rows.push_back({" ", " "}); };
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    add("Image Size", Format("%d by %d", static_cast<int>(w), static_cast<int>(h)));
    if (static_cast<int>(f.xResolution) != 0)
        add("X Resolusion", Format("%d dpi", static_cast<int>(f.xResolution)));
    if (static_cast<int>(f.yResolution) != 0)
        add("Y Resolusion", Format("%d dpi", static_cast<int>(f.yResolution)));
    blank();
    add("Tittle   ", f.description);
    add("Date Time", f.dateTime);
    add("Author", f.artist);
    add("Copyright", f.copyright);
    add("Camera", f.model);
    add("Product Company", f.make);
    add("Software", f.software);
    blank();
    if (f.exposureTime != 0)
        add("Exposure Time", Format("%gs", f.exposureTime));
    if (f.shutterSpeed > 0)
        add("Shutter Speed", FormatShutter(f.shutterSpeed));
    if (f.fNumber != 0)
        add("FNumber", Format("F%g", f.fNumber));
    if (f.aperture != 0)
        add("Aperture Value", Format("F%g", f.aperture));
    // The record keeps the tag's unsigned 16 bits in a short.
    if (f.isoSpeed != 0)
        add("ISO Speed", Format("%d", static_cast<int>(static_cast<WORD>(f.isoSpeed))));
    if (f.subjectDistance != 0)
        add("Focus Distance", Format("%gm", f.subjectDistance));
    if (static_cast<int>(f.focalLength) != 0)
        add("Focal Length", Format("%dmm", static_cast<int>(f.focalLength)));
    if (f.flash != -1)
        add("Flash", f.flash ? "On" : "Off");
    if (f.exposureProgram != -1)
        add("Exposure Program", ExposureProgramName(f.exposureProgram));
    if (f.meteringMode != -1)
        add("Metering Mode", MeteringModeName(f.meteringMode));
    if (f.colorSpace != -1)
        add("Color Space", f.colorSpace == 1 ? std::string("sRGB") : Format("Unknown - %d", f.colorSpace));
    if (f.exposureBias != 0)
        add("Exposure Compensation", Format("%.2f Step", f.exposureBias));
    add("Processings Before", exif.GetProcessingText());
    return rows;
}

BOOL CImagePropertyDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    if (CWinApp* app = AfxGetApp(); app && (m_icon = app->LoadIcon(IDI_IMAGE_PROPERTY))) {
        SetIcon(m_icon, TRUE);
        SetIcon(m_icon, FALSE);
    }
    m_list.SubclassDlgItem(IDC_PROPERTY_LIST, this);
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    m_list.InsertColumn(0, "Item", LVCFMT_LEFT, 150);
    m_list.InsertColumn(1, "", LVCFMT_LEFT, 200);
    m_list.InitLinks();
    FillList();
    return TRUE;
}

void CImagePropertyDlg::FillList()
{
    m_list.DeleteAllItems();
    if (!thePhotoDocument.IsLoaded())
        return;
    int row = 0;
    for (const PropertyRow& r : BuildRows(thePhotoDocument.m_image, thePhotoDocument.m_exif)) {
        m_list.InsertLinkItem(row, r.item.c_str(), "");
        m_list.SetLinkItemText(row, 1, r.value.c_str(), "");
        ++row;
    }
}

void CImagePropertyDlg::OnEditExif()
{
    CEditExifDlg dlg(thePhotoDocument.m_exif, thePhotoDocument.m_path, this);
    dlg.DoModal();
    FillList();
}
