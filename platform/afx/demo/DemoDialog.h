// The demo's main window: a dialog from a template with the built-in
// controls, an owner-drawn colour button and a ticking label.
#pragma once

#include "platform/afx/Dialog.h"

class CDemoDialog : public CDialog {
public:
    CDemoDialog();

    // The colours the owner-drawn button cycles through.
    static constexpr COLORREF kColors[] = {RGB(40, 120, 200), RGB(200, 60, 40), RGB(40, 160, 80)};
    COLORREF CurrentColor() const { return kColors[m_colorIndex]; }
    int Ticks() const { return m_ticks; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void DoDataExchange(CDataExchange* pDX) override;

    void OnTimer(UINT_PTR nIDEvent);
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    void OnColorClicked();
    void OnDestroy();

    DECLARE_MESSAGE_MAP()

private:
    int m_ticks = 0;
    int m_colorIndex = 0;
    int m_grid = 1;
    int m_size = 0;
    CString m_name = "Quillo";
};
