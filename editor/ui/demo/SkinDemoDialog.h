// The skin at work: a skinned dialog with check boxes, radio buttons,
// skinned sliders, picture buttons with tips and skinned push buttons.
#pragma once

#include "editor/ui/HintWnd.h"
#include "editor/ui/ImgButton.h"
#include "editor/ui/ImgSliderCtrl.h"
#include "editor/ui/SkinDialog.h"

class CSkinDemoDialog : public CSkinDialog {
public:
    CSkinDemoDialog();
    ~CSkinDemoDialog() override;

    BOOL OnInitDialog() override;

    CImgSliderCtrl m_strength;
    CImgSliderCtrl m_softness;
    CImgButton m_zoomIn;
    CImgButton m_bestFit;
    CHintWnd m_hint;

protected:
    afx_msg void OnBrushSize(UINT id);
    DECLARE_MESSAGE_MAP()

private:
    // A picture button from the skin folder, placed in dialog units.
    void MakePictureButton(CImgButton* button, UINT id, const char* file, const char* caption, const char* tip,
                           RECT units);
};
