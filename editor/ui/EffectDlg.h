// The parameter dialog of effect plug-ins: built from the plug-in's
// parameter description, it edits the values in a grid and runs the
// plug-in's apply function with their value text on every change.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "editor/ui/EffectDescription.h"
#include "editor/ui/FilterDlg.h"
#include "editor/ui/ParamGridCtrl.h"
#include "platform/codec/QLImageCodec.h"
#include "plugins/PluginInterface.h"

#include <string>
#include <vector>

inline constexpr UINT IDD_EFFECT = 310;
inline constexpr UINT IDC_EFFECT_GRID = 1000;
inline constexpr UINT IDC_EFFECT_HELP = 1380;
inline constexpr UINT IDC_EFFECT_GRID_PLACE = 1392;

// Runs a plug-in's apply function with the value text as the host's parameter.
class CPluginFilterHost : public FilterHost {
public:
    static int Run(void* values, FilterHost* host);
    EffectApplyFunction apply = nullptr;
};

class CEffectDlg : public CFilterDlg {
public:
    explicit CEffectDlg(CWnd* parent);
    ~CEffectDlg() override;

    BOOL OnInitDialog() override;
    void RunAlgorithm() override;

    EffectRecord* record = nullptr;  // set by the caller before DoModal

    CQLImageCodec codec;  // lent to the plug-in while it runs
    CParamGridCtrl grid;
    std::vector<EffectParam*> params;
    EffectOptionTable options;
    CPluginFilterHost host;
    std::string valueText;  // rebuilt for every run; read by the running job
    CString helpText;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg LRESULT OnGridChanged(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()
};
