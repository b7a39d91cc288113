#include "editor/shell/FolderBrowser.h"

#include "platform/afx/CommDlg.h"

namespace {

int BrowseCallback(HWND hwnd, UINT message, LPARAM lParam, LPARAM data)
{
    if (message == BFFM_INITIALIZED && data)
        ::SendMessage(hwnd, BFFM_SETSELECTION, TRUE, data);
    if (message == BFFM_SELCHANGED) {
        char path[MAX_PATH] = {};
        if (SHGetPathFromIDList(reinterpret_cast<LPCITEMIDLIST>(lParam), path))
            ::SendMessage(hwnd, BFFM_SETSTATUSTEXT, 0, reinterpret_cast<LPARAM>(path));
    }
    return 0;
}

}  // namespace

BOOL BrowseForFolder(char* out, const char* title, CWnd* owner, const char* root, const char* preselect)
{
    out[0] = '\0';
    LPITEMIDLIST rootItem = root && root[0] ? ILCreateFromPath(root) : nullptr;
    char name[MAX_PATH] = {};
    BROWSEINFO info{};
    info.hwndOwner = owner ? owner->GetSafeHwnd() : nullptr;
    info.pidlRoot = rootItem;
    info.pszDisplayName = name;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(preselect && preselect[0] ? preselect : nullptr);
    LPITEMIDLIST chosen = SHBrowseForFolder(&info);
    if (rootItem)
        ILFree(rootItem);
    if (!chosen)
        return FALSE;
    const BOOL ok = SHGetPathFromIDList(chosen, out);
    CoTaskMemFree(chosen);
    if (!ok)
        out[0] = '\0';
    return ok;
}
