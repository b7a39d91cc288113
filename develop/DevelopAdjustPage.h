// Step 3: six sliders develop the full image again on the worker at every
// change; a change during a run stops it and runs once more afterwards.
#pragma once

#include "develop/DevelopAdjustJob.h"
#include "develop/DevelopControls.h"
#include "develop/DevelopPage.h"
#include "develop/DevelopPreviewView.h"

namespace develop {

class DevelopAdjustPage : public DevelopPage {
public:
    enum : UINT {
        kCaption = 8705,
        kExposure = 8706,
        kDynamic,
        kTemperature,
        kSaturate,
        kSharpen,
        kGrain,
        kView = 8712,
        kPreviewCheck = 8713,
        kBar = 8720,
        kZoomIn = 8721,
        kZoomOut,
        kActualSize,
        kFit,
    };

    BOOL Create(CWnd* parent) override;
    void Layout(int cx, int cy) override;
    void Refresh(bool toScreen) override;
    void OnEnter() override;
    void OnNext() override;
    int OnJobMessage(WPARAM type, LPARAM value) override;

    void StartPreviewJob();
    void ShowPreviewImage();
    void OnCommand(UINT id);
    void TogglePreview();

    // The job may be swapped for a slower one by tests.
    DevelopJob* m_job = &m_adjustJob;
    C16BitBitmap m_adjusted;
    AdjustParams m_params;
    bool m_restart = false;
    bool m_running = false;
    bool m_nextPending = false;
    int m_showAdjusted = 1;
    int m_runs = 0; // runs started, for tests

    CLinkListCtrl m_caption;
    DevelopPreviewView m_view;
    DevelopSlider m_sliders[6];
    DevelopCheckBox m_preview;
    DevelopPercentBar m_bar;
    CImgButton m_zoom[4];

private:
    void GoOn();

    DevelopAdjustJob m_adjustJob;
};

} // namespace develop
