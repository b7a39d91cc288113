// Command routing of the main frame: the view pane first, then the dialog
// table, the web pages, then the frame's own handlers.
#include "editor/shell/EditorApp.h"
#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/PluginHost.h"
#include "editor/shell/UITextTable.h"
#include "platform/win/Process.h"
#include "platform/win/Registry.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>

#ifndef QUILLO_WEB_BASE
#define QUILLO_WEB_BASE "https://quillo.example.org/"
#endif
#ifndef QUILLO_VERSION_TEXT
#define QUILLO_VERSION_TEXT "1.0"
#endif

namespace {

struct DialogCommand {
    UINT id;
    FrameDialogRunner run;
};

// Every command that runs a dialog; the dialog's owner fills in its runner.
DialogCommand g_dialogCommands[] = {
    {57603, nullptr}, {32838, nullptr}, {32784, nullptr}, {32851, nullptr}, {32816, nullptr}, {32810, nullptr},
    {32811, nullptr}, {32837, nullptr}, {32858, nullptr}, {32863, nullptr}, {32877, nullptr}, {32876, nullptr},
    {32798, nullptr}, {32812, nullptr}, {32817, nullptr}, {32884, nullptr}, {32904, nullptr}, {32807, nullptr},
    {32808, nullptr}, {32809, nullptr}, {32840, nullptr}, {32852, nullptr}, {32899, nullptr}, {32901, nullptr},
    {32806, nullptr}, {32805, nullptr}, {32799, nullptr}, {32800, nullptr}, {32869, nullptr}, {32801, nullptr},
    {32802, nullptr}, {32845, nullptr}, {32847, nullptr}, {32829, nullptr}, {32836, nullptr}, {32839, nullptr},
    {32841, nullptr}, {32849, nullptr}, {32854, nullptr}, {32856, nullptr}, {32864, nullptr}, {32865, nullptr},
    {32883, nullptr}, {32903, nullptr}, {32875, nullptr}, {32873, nullptr}, {32872, nullptr}, {32874, nullptr},
    {32828, nullptr}, {32827, nullptr}, {32909, nullptr},
    // File > Print
    {57608, nullptr},
    // Edit > Copy: its dialog chooses the rectangle.
    {57634, nullptr},
};

// Commands enabled only while the photo has pixels.
constexpr UINT kNeedPixels[] = {57603, 32784, 57634, 32816, 32839, 32841, 32828, 32827,
                                 // File > Print
                                 57608};
constexpr UINT kMultiShootTools = 32875;

struct WebPage {
    UINT id;
    const char* page;
};
const WebPage kWebPages[] = {
    {32895, "eng/QL/Effects/index.htm"},  {32868, "bug-report/"},
    {32880, ""},          {32860, "community/"},   {32861, "community/"},
    // What's New: the version, the language and the publisher channel.
    {32871, "qlnew.aspx"},
};
constexpr UINT kWhatsNewPage = 32871;
constexpr char kWhatsNewQuery[] = "?Ver=%s&Lang=%d&Pub=%s";
constexpr UINT kAskFirstPage = 32860;

DialogCommand* FindDialogCommand(UINT id)
{
    for (DialogCommand& c : g_dialogCommands)
        if (c.id == id)
            return &c;
    return nullptr;
}

const WebPage* FindWebPage(UINT id)
{
    for (const WebPage& p : kWebPages)
        if (p.id == id)
            return &p;
    return nullptr;
}

// The channel the installer recorded, "Unknown" when there is none.
std::string PublisherChannel()
{
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\Orvanta\\Quillo", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "Unknown";
    char value[65] = {};
    DWORD size = 64, type = 0;
    const LONG read = RegQueryValueEx(key, "Channel", nullptr, &type, reinterpret_cast<LPBYTE>(value), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || type != REG_SZ)
        return "Unknown";
    return value;
}

// Text as it may stand in a query: what is not a letter, a digit or one of
// "-._~" as %XX.
std::string QueryEscaped(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            out += static_cast<char>(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            out += hex;
        }
    }
    return out;
}

std::string WhatsNewAddress(const char* page)
{
    char query[512];
    std::snprintf(query, sizeof query, kWhatsNewQuery, QUILLO_VERSION_TEXT, 0, QueryEscaped(PublisherChannel()).c_str());
    return std::string(QUILLO_WEB_BASE) + page + query;
}

}  // namespace

FrameDialogRunner CMainFrame::SetDialogRunner(UINT id, FrameDialogRunner run)
{
    DialogCommand* c = FindDialogCommand(id);
    if (!c)
        return nullptr;
    return std::exchange(c->run, run);
}

BOOL CMainFrame::IsDialogCommand(UINT id)
{
    return FindDialogCommand(id) != nullptr;
}

int CMainFrame::RunDialogCommand(UINT id)
{
    const DialogCommand* c = FindDialogCommand(id);
    return c && c->run ? c->run(this) : IDCANCEL;
}

std::string CMainFrame::WebAddressOf(UINT id)
{
    const WebPage* p = FindWebPage(id);
    if (!p)
        return std::string();
    if (id == kWhatsNewPage)
        return WhatsNewAddress(p->page);
    return std::string(QUILLO_WEB_BASE) + p->page;
}

BOOL CMainFrame::DialogEnabled(UINT id) const
{
    const DialogCommand* c = FindDialogCommand(id);
    if (!c || !c->run)
        return FALSE;
    if (std::find(std::begin(kNeedPixels), std::end(kNeedPixels), id) != std::end(kNeedPixels))
        return thePhotoDocument.IsLoaded();
    if (id == kMultiShootTools)
        return thePhotoDocument.IsLoaded() && thePhotoDocument.m_path[0] != '\0' && !m_kitMode;
    return TRUE;
}

BOOL CMainFrame::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == CFunctionBar::kLogoCmd) {
        m_view.m_funcBar.OpenLogo();
        return TRUE;
    }
    if (IsPluginCommand(LOWORD(wParam))) {
        RunPluginCommand(LOWORD(wParam));
        return TRUE;
    }
    return CFrameWnd::OnCommand(wParam, lParam);
}

BOOL CMainFrame::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (m_view.GetSafeHwnd() && m_view.OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    // The logo item is run by OnCommand.
    if (nID == CFunctionBar::kLogoCmd && (nCode == CN_COMMAND || nCode == CN_UPDATE_COMMAND_UI)) {
        if (nCode == CN_UPDATE_COMMAND_UI && pExtra)
            static_cast<CCmdUI*>(pExtra)->Enable(TRUE);
        return TRUE;
    }
    // Plug-in commands are run by OnCommand, enabled even without a photo.
    if (IsPluginCommand(nID) && (nCode == CN_COMMAND || nCode == CN_UPDATE_COMMAND_UI)) {
        if (nCode == CN_UPDATE_COMMAND_UI && pExtra)
            static_cast<CCmdUI*>(pExtra)->Enable(nID == kManagePluginsCmd || !IsEditing());
        if (nCode == CN_COMMAND && pHandlerInfo)
            pHandlerInfo->pTarget = this;
        return TRUE;
    }
    // The photo is being edited on the algorithm thread: nothing may change it.
    if (IsEditing() && ChangesPhoto(nID)) {
        if (nCode == CN_UPDATE_COMMAND_UI && pExtra)
            static_cast<CCmdUI*>(pExtra)->Enable(FALSE);
        if (nCode == CN_COMMAND && pHandlerInfo)
            return FALSE;
        if (nCode == CN_UPDATE_COMMAND_UI || nCode == CN_COMMAND)
            return TRUE;
    }
    if (nCode == CN_UPDATE_COMMAND_UI && pExtra) {
        auto* ui = static_cast<CCmdUI*>(pExtra);
        if (IsDialogCommand(nID)) {
            ui->Enable(DialogEnabled(nID));
            return TRUE;
        }
        if (FindWebPage(nID)) {
            ui->Enable(TRUE);
            return TRUE;
        }
    }
    if (nCode == CN_COMMAND && IsDialogCommand(nID)) {
        if (pHandlerInfo) {
            pHandlerInfo->pTarget = this;
            return DialogEnabled(nID);
        }
        if (!DialogEnabled(nID))
            return TRUE;
        if (FindDialogCommand(nID)->run(this) == IDOK)
            RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
        return TRUE;
    }
    if (nCode == CN_COMMAND && FindWebPage(nID)) {
        if (pHandlerInfo) {
            pHandlerInfo->pTarget = this;
            return TRUE;
        }
        if (nID == kAskFirstPage &&
            MessageBox(theUITextTable.GetText(115), "提示", MB_YESNO | MB_ICONQUESTION) != IDYES)
            return TRUE;
        ShellExecute(m_hWnd, "open", WebAddressOf(nID).c_str(), nullptr, nullptr, SW_SHOW);
        return TRUE;
    }
    return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}
