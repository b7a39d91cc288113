// Picture resources: bitmaps, icons and cursors are our own PNG files
// compiled in with Qt's resource system, found by id or name:
//   :/res/bitmap/<id>.png   :/res/icon/<id>.png   :/res/cursor/<id>.png
// (<id> in decimal, or the resource's name). A cursor's hot spot is the PNG
// text entry "HotSpot" = "x,y" (0,0 without it). A plug-in's own pictures,
// asked for with its module handle, are under :/<module name>/res/... (see
// quillo_plugin_pictures).
#pragma once

#include "platform/afx/WinGdi.h"

#include <QImage>

namespace qlafx {

// The picture of an icon or cursor (ARGB32) and its hot spot; a null image
// for a system cursor or icon, which the window layer draws itself.
QImage IconImage(HICON icon, POINT* hotSpot);
// The IDC_* number of a system cursor (LoadCursor with a null instance),
// else 0. SystemIconId likewise for IDI_* icons.
int SystemCursorId(HCURSOR cursor);
int SystemIconId(HICON icon);

} // namespace qlafx

HBITMAP LoadBitmap(HINSTANCE instance, LPCSTR name);
HANDLE LoadImage(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags);
// Icons and cursors from LoadIcon and LoadCursor are shared: destroying one
// does nothing, as on Windows.
HICON LoadIcon(HINSTANCE instance, LPCSTR name);
HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name);
BOOL DestroyIcon(HICON icon);
BOOL DestroyCursor(HCURSOR cursor);
HANDLE CopyImage(HANDLE image, UINT type, int width, int height, UINT flags);
