#include "editor/shell/PicViewFileDlg.h"
