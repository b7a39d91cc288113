#include "editor/ui/SkinTabCtrl.h"

IMPLEMENT_DYNAMIC(CSkinTabCtrl, CTabCtrl)
