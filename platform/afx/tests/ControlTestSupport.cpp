#include "ControlTestSupport.h"

namespace ctltest {

BEGIN_MESSAGE_MAP(CRecorder, CWnd)
    ON_WM_CTLCOLOR()
    ON_WM_DRAWITEM()
END_MESSAGE_MAP()

}  // namespace ctltest
