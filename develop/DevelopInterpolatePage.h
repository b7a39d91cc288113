// Step 2: the interpolation method; Next interpolates on the worker.
#pragma once

#include "develop/DevelopControls.h"
#include "develop/DevelopPage.h"
#include "develop/DevelopPreviewView.h"

#include <memory>

namespace develop {

class DevelopInterpolatePage : public DevelopPage {
public:
    enum : UINT { kCaption = 9216, kBasic = 9217, kNormal = 9218, kBest = 9219, kBar = 9221, kView = 9222 };

    BOOL Create(CWnd* parent) override;
    void Layout(int cx, int cy) override;
    void Refresh(bool toScreen) override;
    void OnEnter() override;
    void OnNext() override;
    int OnJobMessage(WPARAM type, LPARAM value) override;
    void SetMethod(int method);

    int m_method = 3;
    BOOL m_threeColour = TRUE;

    CLinkListCtrl m_caption;
    DevelopCheckBox m_options[3];
    DevelopPercentBar m_bar;
    DevelopPreviewView m_view;

private:
    std::unique_ptr<PostedBarSink> m_sink;
    InterpolateRequest m_request;
};

} // namespace develop
