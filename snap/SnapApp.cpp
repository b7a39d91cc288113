#include "snap/SnapApp.h"

#include "platform/afx/GdiObjects.h"
#include "platform/codec/QLImageCodec.h"
#include "snap/SnapDlg.h"
#include "snap/SnapSkinDialog.h"
#include "snap/SnapTexts.h"

namespace snap {

CSnapApp::CSnapApp() : CWinApp("QuilloSnap") {}

void CSnapApp::LoadSkinBrush()
{
    CQLImage probe;
    if (probe.LoadFromFile(SkinPath("3dface.bmp").c_str()) != 0)
        return;
    CBitmap pattern;
    if (!SkinBrush().m_hObject && pattern.LoadBitmap(137))
        SkinBrush().CreatePatternBrush(&pattern);
}

BOOL CSnapApp::InitInstance()
{
    CQLImageCodec::Start();
    CSnapDlg dlg;
    m_pMainWnd = &dlg;
    LoadSkinBrush();
    // Without its faces the window is not made and the program ends.
    m_exitCode = dlg.DoModal() == -1 ? 1 : 0;
    m_pMainWnd = nullptr;
    CQLImageCodec::Stop();
    return FALSE;
}

} // namespace snap
