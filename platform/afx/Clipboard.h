// The clipboard on QClipboard, with Win32's calls. Blocks are GlobalAlloc
// blocks: CF_DIB (a BITMAPINFOHEADER followed by the rows, 24 or 32 bits)
// travels as an image, CF_HDROP (a DROPFILES header and a list of paths) as
// a list of local files, so other programs exchange them too. A block given
// to SetClipboardData belongs to the clipboard from then on; one from
// GetClipboardData belongs to it as well and stays valid until the clipboard
// is emptied or changes, and is never to be freed by the caller.
#pragma once

#include "platform/afx/WinUser.h"
#include "platform/win/GlobalMemory.h"

class QImage;
class QUrl;
template <typename T> class QList;

inline constexpr UINT CF_TEXT = 1;
inline constexpr UINT CF_BITMAP = 2;
inline constexpr UINT CF_DIB = 8;
inline constexpr UINT CF_UNICODETEXT = 13;
inline constexpr UINT CF_HDROP = 15;

// The header of a CF_HDROP block: pFiles is the offset of the list of
// NUL-terminated paths that ends with an empty one; fWide marks UTF-16.
struct DROPFILES {
    DWORD pFiles;
    POINT pt;
    BOOL fNC;
    BOOL fWide;
};
static_assert(sizeof(DROPFILES) == 20);

// Fails while another window has the clipboard open, off the GUI thread,
// and without a QGuiApplication.
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
// Takes the clipboard for the window that opened it and clears it.
BOOL EmptyClipboard();
// NULL when the clipboard is not open or the block is not what the format
// says (a CF_DIB whose header or size does not hold up, a CF_HDROP whose
// list lies outside the block); the block then stays the caller's.
HGLOBAL SetClipboardData(UINT format, HGLOBAL data);
// NULL when the clipboard is not open or holds nothing of the format.
HGLOBAL GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);

namespace qlafx {
// The local files of a CF_HDROP block; false when its list is out of bounds.
bool UrlsFromDropBlock(const void* block, std::size_t size, QList<QUrl>& urls);
// A CF_DIB block as a top-down image; false, leaving image alone, when the
// header or the size is wrong (planes, bit count other than 24 or 32,
// compression, sizes, rows beyond the end of the block).
bool ImageFromDib(const void* block, std::size_t size, QImage& image);
// A new 32-bit bottom-up CF_DIB block of the image; NULL when it cannot be made.
HGLOBAL DibFromImage(const QImage& image);
} // namespace qlafx
