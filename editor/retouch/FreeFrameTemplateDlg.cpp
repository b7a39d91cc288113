#include "editor/retouch/FreeFrameTemplateDlg.h"

#include "editor/retouch/TemplateSettingsDlgs.h"
#include "editor/retouch/TemplatesEditDlg.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/MsgMap.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/Process.h"

#include <QUrl>

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace {

constexpr int kTextInvalid = 97;
constexpr int kTextExists = 98;
constexpr int kTextLandscapeShape = 99;
constexpr int kTextPortraitShape = 100;
constexpr int kTextNoKey = 101;
constexpr UINT kIconEditPicture = 319;
constexpr int kLeastKeyShare = 10;

constexpr char kImageFilter[] =
    "All Image Files|*.bmp;*.jpg;*.jpeg;*.gif;*.pcx;*.tif;*.tiff;*.tga;*.png|Windows Bitmap Files(*.bmp)|*.bmp|Jpeg "
    "Files(*.jpg;*.jpeg)|*.jpg;*.jpeg|Tagged Image File Format(*.tif;*.tiff)|*.tif;*.tiff|Compuserve "
    "GIF(*.gif)|*.gif|Portable Network Graphics(*.png)|*.png|Zsoft PaintBrush Fils(*.pcx)|*.pcx|Truevision "
    "Targa(*.tga)|*.tga||";

} // namespace

const CPixel CFreeFrameTemplateDlg::kKeyColours[kKeyCount] = {{255, 0, 0, 255}, {0, 0, 255, 255}, {0, 255, 0, 255}};

BEGIN_MESSAGE_MAP(CFreeFrameTemplateDlg, CSkinDialog)
    ON_BN_CLICKED(IDC_FREE_ADVANCE, OnAdvance)
    ON_BN_CLICKED(IDC_FREE_SIGNATURE, OnSignatureBox)
    ON_BN_CLICKED(IDC_FREE_SETUP, OnSetup)
    ON_BN_CLICKED(IDC_FREE_HELP, OnHelp)
    ON_BN_CLICKED(IDC_FREE_LANDSCAPE_BROWSE, OnBrowseLandscape)
    ON_BN_CLICKED(IDC_FREE_PORTRAIT_BROWSE, OnBrowsePortrait)
END_MESSAGE_MAP()

CFreeFrameTemplateDlg::CFreeFrameTemplateDlg(FrameCategory& category, CWnd* parent)
    : CSkinDialog(IDD_FREE_FRAME_TEMPLATE, parent), m_category(category)
{
    InstallFrameMessages();
}

BOOL CFreeFrameTemplateDlg::OnInitDialog()
{
    m_editMode = !m_landscapePath.IsEmpty() && !m_portraitPath.IsEmpty();
    // Subclassed before the skin meets them, so they stay icon buttons.
    m_landscapeButton.SubclassDlgItem(IDC_FREE_LANDSCAPE_BROWSE, this);
    m_portraitButton.SubclassDlgItem(IDC_FREE_PORTRAIT_BROWSE, this);
    CSkinDialog::OnInitDialog();
    for (const char* key : {"Blue(R=0, G=0, B=255)", "Red(R=255, G=0, B=0)", "Green(R=0, G=255, B=0)"})
        SendDlgItemMessage(IDC_FREE_KEY, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(key));
    for (int i = 0; i < kKeyCount; ++i)
        if (std::memcmp(&m_template.m_freeShape.keyColour, &kKeyColours[i], sizeof(CPixel)) == 0 && m_editMode)
            m_key = i;
    UpdateData(FALSE);
    GetDlgItem(IDC_FREE_SETUP)->EnableWindow(m_signature != 0);
    for (CButtonST* button : {&m_landscapeButton, &m_portraitButton}) {
        button->SetSkinBackground(&theAppSettings.m_skinBrush);
        if (m_editMode) {
            button->SetWindowText("");
            button->SetIcons(kIconEditPicture, 0, 32, 32);
        }
    }
    if (m_editMode) {
        GetDlgItem(IDC_FREE_LANDSCAPE)->EnableWindow(FALSE);
        GetDlgItem(IDC_FREE_PORTRAIT)->EnableWindow(FALSE);
    }
    return TRUE;
}

void CFreeFrameTemplateDlg::DoDataExchange(CDataExchange* pDX)
{
    CSkinDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_FREE_NAME, m_name);
    DDV_MaxChars(pDX, m_name, 31);
    DDX_Text(pDX, IDC_FREE_LANDSCAPE, m_landscapePath);
    DDX_Text(pDX, IDC_FREE_PORTRAIT, m_portraitPath);
    DDX_CBIndex(pDX, IDC_FREE_KEY, m_key);
    DDX_Check(pDX, IDC_FREE_SIGNATURE, m_signature);
}

void CFreeFrameTemplateDlg::OnAdvance()
{
    EditTemplateInfo(m_template.m_info, this);
}

void CFreeFrameTemplateDlg::OnSignatureBox()
{
    m_signature = IsDlgButtonChecked(IDC_FREE_SIGNATURE) ? 1 : 0;
    GetDlgItem(IDC_FREE_SETUP)->EnableWindow(m_signature != 0);
}

void CFreeFrameTemplateDlg::OnSetup()
{
    CSignatureSettingsDlg dialog(this);
    dialog.Load(m_template.m_signature);
    if (dialog.DoModal() != IDOK)
        return;
    dialog.Store(m_template.m_signature);
    m_template.m_signature.enabled = 1;
}

void CFreeFrameTemplateDlg::OnHelp()
{
    // The help page's own section on these templates.
    QUrl help = QUrl::fromLocalFile(QString::fromUtf8(theAppSettings.m_programFolder) + "QuilloEditor.html");
    help.setFragment("free-shape-templates");
    ShellExecute(m_hWnd, "open", help.toString(QUrl::FullyEncoded).toUtf8().constData(), nullptr, nullptr, SW_SHOW);
}

void CFreeFrameTemplateDlg::Browse(CString& path, UINT field)
{
    UpdateData(TRUE);
    if (m_editMode) {
        // The user repaints the picture in a second editor and saves it
        // before OK; nothing waits for it.
        const std::string editor = std::string(theAppSettings.m_programFolder) + "QuilloEditor";
        ShellExecute(m_hWnd, "open", editor.c_str(), static_cast<const char*>(path), nullptr, SW_SHOW);
        return;
    }
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kImageFilter, this);
    if (dialog.DoModal() != IDOK)
        return;
    path = dialog.GetPathName();
    SetDlgItemText(field, path);
}

void CFreeFrameTemplateDlg::OnBrowseLandscape()
{
    Browse(m_landscapePath, IDC_FREE_LANDSCAPE);
}

void CFreeFrameTemplateDlg::OnBrowsePortrait()
{
    Browse(m_portraitPath, IDC_FREE_PORTRAIT);
}

int CFreeFrameTemplateDlg::KeyShare(const CQLImage& picture, CPixel key)
{
    UINT w = 0, h = 0;
    picture.GetSize(&w, &h);
    const std::uint64_t pixels = std::uint64_t{w} * h;
    if (pixels == 0)
        return 0;
    std::uint64_t count = 0;
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x) {
            const CPixel p = picture.GetPixel2(static_cast<int>(x), static_cast<int>(y));
            count += p.b == key.b && p.g == key.g && p.r == key.r;
        }
    return static_cast<int>(count * 100 / pixels);
}

bool CFreeFrameTemplateDlg::CheckPicture(const char* path, bool portrait, CQLImage* picture)
{
    CQLImageCodec codec;
    if (!path[0] || !codec.LoadFile(path, picture)) {
        AfxMessageBox(theUITextTable.GetText(kTextInvalid));
        return false;
    }
    UINT w = 0, h = 0;
    picture->GetSize(&w, &h);
    if (portrait ? h < w : w < h) {
        const char* question = theUITextTable.GetText(portrait ? kTextPortraitShape : kTextLandscapeShape);
        if (MessageBox(question, "Warning", MB_YESNO | MB_ICONWARNING) != IDYES)
            return false;
    }
    if (KeyShare(*picture, kKeyColours[m_key]) < kLeastKeyShare)
        AfxMessageBox(theUITextTable.GetText(kTextNoKey));
    FramePicture& stored = portrait ? m_template.m_freeShape.portrait : m_template.m_freeShape.landscape;
    stored.width = static_cast<std::int32_t>(w);
    stored.height = static_cast<std::int32_t>(h);
    return true;
}

std::string CFreeFrameTemplateDlg::TemplatePath() const
{
    return m_category.Folder() + m_template.m_info.name + ".frm";
}

void CFreeFrameTemplateDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    if (m_name.IsEmpty()) {
        AfxMessageBox(theUITextTable.GetText(kTextInvalid));
        return;
    }
    m_key = std::clamp(m_key, 0, kKeyCount - 1);
    SanitizeName(m_template.m_info.name, m_name);
    const std::string path = TemplatePath();
    if (std::filesystem::exists(path) &&
        AfxMessageBox(theUITextTable.GetText(kTextExists), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    // Both pictures pass before anything is written, so a refused check
    // never touches a template already there.
    CQLImage landscape, portrait;
    if (!CheckPicture(m_landscapePath, false, &landscape) || !CheckPicture(m_portraitPath, true, &portrait))
        return;
    m_template.m_freeShape.keyColour = kKeyColours[m_key];
    if (!m_signature)
        m_template.m_signature.enabled = 0;
    // Written whole under a temporary name and renamed over the target;
    // a failure has been reported and the dialog stays open.
    if (!m_template.WriteImageBased(path.c_str(), landscape, portrait))
        return;
    CSkinDialog::OnOK();
}
