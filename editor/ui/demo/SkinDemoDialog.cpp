#include "editor/ui/demo/SkinDemoDialog.h"

#include "editor/ui/AppSettings.h"
#include "editor/ui/demo/res/SkinDemoResources.h"

#include <string>

BEGIN_MESSAGE_MAP(CSkinDemoDialog, CSkinDialog)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_DEMO_SMALL, IDC_DEMO_LARGE, OnBrushSize)
END_MESSAGE_MAP()

CSkinDemoDialog::CSkinDemoDialog() : CSkinDialog(IDD_SKIN_DEMO, nullptr) {}

CSkinDemoDialog::~CSkinDemoDialog()
{
    if (g_hintWnd == &m_hint)
        g_hintWnd = nullptr;
}

BOOL CSkinDemoDialog::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    if (m_hint.Create("", this))
        g_hintWnd = &m_hint;

    m_strength.SubclassDlgItem(IDC_DEMO_STRENGTH, this);
    m_strength.SetRange(0, 100);
    m_strength.SetPos(60);
    m_softness.SubclassDlgItem(IDC_DEMO_SOFTNESS, this);
    m_softness.SetRange(0, 40);
    m_softness.SetValueDisplay(TRUE, 0.5, 0.0);
    m_softness.SetPos(35);

    CheckDlgButton(IDC_DEMO_GRID, BST_CHECKED);
    CheckRadioButton(IDC_DEMO_SMALL, IDC_DEMO_LARGE, IDC_DEMO_MEDIUM);

    MakePictureButton(&m_zoomIn, IDC_DEMO_ZOOM_IN, "zoomin.bmp", "Zoom in", "Zoom in (Ctrl and +)",
                      RECT{7, 108, 82, 138});
    MakePictureButton(&m_bestFit, IDC_DEMO_BEST_FIT, "bestfit.bmp", "Best fit", "Fit the photo to the window",
                      RECT{88, 108, 163, 138});
    return TRUE;
}

void CSkinDemoDialog::MakePictureButton(CImgButton* button, UINT id, const char* file, const char* caption,
                                        const char* tip, RECT units)
{
    MapDialogRect(&units);
    const std::string path = std::string(theAppSettings.m_programFolder) + "skin/" + file;
    if (!button->Create(caption, units, this, id, path.c_str(), tip, 1))
        return;
    // The dialog face behind the picture, so the button sits flat on the dialog.
    button->LoadBackground((std::string(theAppSettings.m_programFolder) + "skin/3dface.bmp").c_str());
}

void CSkinDemoDialog::OnBrushSize(UINT id)
{
    CheckRadioButton(IDC_DEMO_SMALL, IDC_DEMO_LARGE, static_cast<int>(id));
}
