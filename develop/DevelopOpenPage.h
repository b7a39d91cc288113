// Step 1: choose a RAW file, see its embedded preview, choose the white
// balance; Next loads the sensor data.
#pragma once

#include "develop/DevelopControls.h"
#include "develop/DevelopPage.h"
#include "develop/DevelopPreviewView.h"

namespace develop {

class DevelopInterpolatePage;

class DevelopOpenPage : public DevelopPage {
public:
    enum : UINT {
        kFileName = 8448,
        kPreviewCaption = 8449,
        kOpenButton = 8450,
        kStepCaption = 8451,
        kAutoOption = 8452,
        kCameraOption = 8453,
        kView = 8454,
        kBar = 8455,
        kBatchButton = 8457,
        kBalanceCaption = 1000,
    };

    BOOL Create(CWnd* parent) override;
    void Layout(int cx, int cy) override;
    void Refresh(bool toScreen) override;
    void OnEnter() override;
    void OnNext() override;
    int OnJobMessage(WPARAM type, LPARAM value) override;

    // The open-file dialog; TRUE when a file was taken.
    BOOL ChooseFile();
    BOOL OpenFile(const char* path);

    // Set by the wizard: the step after a mosaic load and after a full-colour one.
    DevelopInterpolatePage* m_interpolatePage = nullptr;
    DevelopPage* m_adjustPage = nullptr;

    CImgButton m_open;
    CLinkListCtrl m_step;
    CLinkListCtrl m_fileName;
    CLinkListCtrl m_balanceCaption;
    DevelopCheckBox m_camera;
    DevelopCheckBox m_auto;
    CLinkListCtrl m_previewCaption;
    DevelopPreviewView m_view;
    DevelopPercentBar m_bar;
    CImgButton m_batch;

    CQLImage m_thumbnail;
    CQLImage m_balanced;
    int m_autoBalance = 0;
    CPixel m_reference{0, 0, 0, 0};
};

} // namespace develop
