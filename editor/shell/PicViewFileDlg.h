#pragma once
#include "platform/afx/CommDlg.h"
inline constexpr UINT IDD_PICVIEW_FILE = 3146;
inline constexpr UINT IDC_PICVIEW_PREVIEW = 3147;
inline constexpr UINT IDC_PICVIEW_SIZE = 3148;
