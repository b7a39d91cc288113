#include "collage/CollageApp.h"

#include "collage/CollageDlg.h"
#include "platform/codec/QLImageCodec.h"

namespace collage {

CollageApp::CollageApp(const CollageStart& start) : CWinApp("QuilloCollage"), m_start(start) {}

BOOL CollageApp::InitInstance()
{
    CQLImageCodec::Start();
    {
        CCollageDlg dlg(m_start);
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
    }
    CQLImageCodec::Stop();
    return FALSE;
}

} // namespace collage
