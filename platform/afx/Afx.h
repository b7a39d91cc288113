// What window code includes: the MFC-shaped classes and the Win32 functions.
#pragma once

#include "platform/win/Win32.h"
#include "platform/win/Threads.h"
#include "platform/afx/WinUser.h"
#include "platform/afx/AfxTypes.h"
#include "platform/afx/AfxString.h"
#include "platform/afx/CmdTarget.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/Wnd.h"
#include "platform/afx/WinThread.h"
#include "platform/afx/SyncObjects.h"
#include "platform/afx/WinApp.h"
#include "platform/afx/WinGdi.h"
#include "platform/afx/DC.h"
#include "platform/afx/GdiObjects.h"
#include "platform/afx/Resources.h"
#include "platform/afx/PaintDC.h"
#include "platform/afx/ResourceTables.h"
#include "platform/afx/Controls.h"
#include "platform/afx/Dialog.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MessageBox.h"

#define afx_msg
