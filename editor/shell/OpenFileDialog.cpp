#include "editor/shell/OpenFileDialog.h"

#include "editor/shell/EditorApp.h"
#include "editor/shell/ExifInfo.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/PicViewFileDlg.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/FileFind.h"
#include "platform/win/ShellFolders.h"
#include "platform/win/Timing.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <strings.h>

namespace {

constexpr UINT kIconUp = 287;
constexpr UINT kIconBack = 290;
constexpr UINT kIconView = 291;
constexpr UINT kBitmapLookIn = 292;
constexpr int kMinWidth = 600;
constexpr int kMinHeight = 400;
constexpr UINT kTextClassic = 107;
constexpr UINT kRawWizard = 32898;
constexpr UINT kRawDirect = 32900;
constexpr UINT kCapture = 32905;
constexpr int kIconRoot = 0, kIconOptical = 1, kIconVolume = 2, kIconFolder = 3, kIconOpenFolder = 4, kIconHome = 5;

// Asks the main window's update handler whether a command is enabled.
class EnableProbe : public CCmdUI {
public:
    void Enable(BOOL on) override { enabled = on; }
    BOOL enabled = TRUE;
};

void WaitWhileWorkerBusy()
{
    while (theAlgorithmThread.IsBusy())
        Sleep(100);
}

std::string WithSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

std::string FolderOf(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    return slash ? std::string(path, slash + 1) : std::string();
}

// The parent of a folder given with its trailing '/'; "/" stays.
std::string ParentOf(const std::string& folder)
{
    std::string parent = folder;
    while (parent.size() > 1 && parent.back() == '/')
        parent.pop_back();
    const size_t slash = parent.rfind('/');
    return slash == std::string::npos ? "/" : parent.substr(0, slash + 1);
}

std::string SpecialFolder(int csidl)
{
    char path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPath(nullptr, path, csidl, FALSE))
        return std::string();
    return WithSlash(path);
}

std::string Format(const char* format, auto... values)
{
    char line[512];
    std::snprintf(line, sizeof line, format, values...);
    return line;
}

std::string TimeLine(const char* format, const FILETIME& time)
{
    SYSTEMTIME t{};
    FileTimeToSystemTime(&time, &t);
    return Format(format, t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
}

// The mount table's octal escapes ("\040" for a blank) undone.
std::string Unescape(const std::string& field)
{
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && std::isdigit(static_cast<unsigned char>(field[i + 1]))) {
            out += static_cast<char>(std::strtol(field.substr(i + 1, 3).c_str(), nullptr, 8));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

BEGIN_MESSAGE_MAP(OpenFileDialog, CSkinDialog)
ON_WM_CREATE()
ON_WM_SIZE()
ON_WM_GETMINMAXINFO()
ON_BN_CLICKED(IDC_OPEN_BACK, OnBack)
ON_BN_CLICKED(IDC_OPEN_UP, OnUp)
ON_BN_CLICKED(IDC_OPEN_CLASSIC, OnClassic)
ON_BN_CLICKED(IDC_OPEN_DOCUMENTS, OnDocuments)
ON_BN_CLICKED(IDC_OPEN_PICTURES, OnPictures)
ON_BN_CLICKED(IDC_OPEN_DESKTOP, OnDesktop)
ON_BN_CLICKED(IDC_OPEN_CURRENT, OnCurrentPhoto)
ON_BN_CLICKED(IDC_OPEN_RAW, OnOpenRaw)
ON_BN_CLICKED(IDC_OPEN_CAPTURE, OnCapture)
ON_CBN_SELCHANGE(IDC_OPEN_LOOK_IN, OnLookInChange)
ON_CBN_SELCHANGE(IDC_OPEN_TYPE, OnTypeChange)
ON_MESSAGE(WM_THUMBLIST_NOTIFY, OnListNotify)
ON_MESSAGE(WM_ALGORITHM_NOTIFY, OnThumbnailNotice)
END_MESSAGE_MAP()

OpenFileDialog::OpenFileDialog(BOOL, LPCSTR defaultExt, LPCSTR, DWORD flags, LPCSTR filter, CWnd* parent)
    : CSkinDialog(IDD_OPEN_FILE, parent), m_flags(flags), m_defaultExt(defaultExt ? defaultExt : ""),
      m_filter(filter ? filter : "")
{
    m_entries = &m_lists.emplace_back();
    m_list.SetEntries(m_entries);
}

OpenFileDialog::~OpenFileDialog()
{
    theAlgorithmThread.CancelThumbnails();
    CSingleLock guard(&theAlgorithmThread.GetThumbnailLock(), TRUE);
    if (m_list.m_hWnd)
        m_list.DeleteAllItems();
    for (std::vector<ThumbJobEntry>& list : m_lists)
        for (ThumbJobEntry& entry : list)
            delete entry.thumbnail;
}

// ---- pure rules ----------------------------------------------------------

std::vector<std::string> OpenFileDialog::SplitPath(const char* folder)
{
    std::vector<std::string> parts;
    std::string part;
    for (const char* p = folder ? folder : ""; ; ++p) {
        if (*p == '/' || *p == '\\' || *p == '\0') {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
            if (*p == '\0')
                break;
        } else {
            part += *p;
        }
    }
    return parts;
}

std::vector<OpenFileType> OpenFileDialog::ParseFilter(const char* filter)
{
    std::vector<std::string> fields;
    std::stringstream in(filter ? filter : "");
    for (std::string field; std::getline(in, field, '|');)
        fields.push_back(field);
    std::vector<OpenFileType> types;
    for (size_t i = 0; i + 1 < fields.size(); i += 2) {
        OpenFileType type{fields[i], {}};
        std::stringstream patterns(fields[i + 1]);
        for (std::string pattern; std::getline(patterns, pattern, ';');) {
            const size_t dot = pattern.rfind('.');
            if (dot == std::string::npos || dot + 1 >= pattern.size())
                continue;
            const std::string extension = pattern.substr(dot + 1);
            if (extension.find_first_of("*?") == std::string::npos)
                type.extensions.push_back(extension);
        }
        if (!type.name.empty() && !type.extensions.empty())
            types.push_back(std::move(type));
    }
    return types;
}

bool OpenFileDialog::ListsBefore(const ThumbJobEntry* a, const ThumbJobEntry* b)
{
    const bool folderA = a->done == 1, folderB = b->done == 1;
    if (folderA != folderB)
        return folderA;
    return strcasecmp(a->name, b->name) < 0;
}

std::vector<std::string> OpenFileDialog::ExifLines(const ExifFields& f)
{
    std::vector<std::string> lines{"EXIF Data"};
    if (f.height > 0)
        lines.push_back(Format("Size: %d x %d", static_cast<int>(f.width), static_cast<int>(f.height)));
    lines.push_back(Format("Camera: %s", f.model));
    lines.push_back(Format("ShotTime:  %s", f.dateTime));
    if (f.aperture != 0)
        lines.push_back(Format("Aperture: F%.1f", f.aperture));
    if (f.exposureTime > 0.1)
        lines.push_back(Format("Shutter: %.1f(s)", f.exposureTime));
    else if (f.exposureTime > 0)
        lines.push_back(Format("Shutter: 1/%d(s)", static_cast<int>(std::lround(1.0 / f.exposureTime))));
    if (f.flash == 1)
        lines.push_back("Flush On");
    if (f.isoSpeed != 0)
        lines.push_back(Format("Sensitive: ISO%d", f.isoSpeed));
    return lines;
}

std::vector<std::string> OpenFileDialog::InformationLines(const char* folder, const char* name)
{
    const std::string path = std::string(folder) + name;
    WIN32_FIND_DATA data{};
    if (!qlwin::DescribeFile(path.c_str(), &data) || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return {};
    std::vector<std::string> lines{"File Info", Format("Name:    %s", name)};
    const unsigned long long size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    lines.push_back(Format("Length:    %llu(bytes)", size));
    lines.push_back(TimeLine("Created:  %d-%d-%d %d:%d:%d", data.ftCreationTime));
    lines.push_back(TimeLine("Midified:  %d-%d-%d %d:%d:%d", data.ftLastWriteTime));
    lines.push_back("");
    const DWORD type = CQLImageCodec::GetFileType(path.c_str());
    if (type != QL_FILE_JPEG && type != QL_FILE_TIFF)
        return lines;
    ExifInfo exif;
    if (!exif.ReadFromFile(path.c_str()) || !exif.GetFields().hasExif)
        return lines;
    for (std::string& line : ExifLines(exif.GetFields()))
        lines.push_back(std::move(line));
    lines.push_back("");
    lines.push_back("For detail, please use \"Image-");
    lines.push_back("Property\" after open this file.");
    return lines;
}

std::vector<LookInEntry> OpenFileDialog::VolumesOf(const std::string& mountTable)
{
    std::vector<LookInEntry> volumes;
    std::istringstream in(mountTable);
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string device, point, kind;
        if (!(fields >> device >> point >> kind))
            continue;
        point = Unescape(point);
        const bool under = StartsWith(point, "/media/") || StartsWith(point, "/mnt/") ||
                           StartsWith(point, "/run/media/");
        const std::string name = point.substr(point.rfind('/') + 1);
        if (!under || name.empty())
            continue;
        const bool optical = kind == "iso9660" || kind == "udf" || StartsWith(device, "/dev/sr");
        LookInEntry entry{};
        std::snprintf(entry.text, sizeof entry.text, "%s", name.c_str());
        std::snprintf(entry.path, sizeof entry.path, "%s/", point.c_str());
        entry.icon = optical ? kIconOptical : kIconVolume;
        volumes.push_back(entry);
    }
    return volumes;
}

// ---- creation and layout ---------------------------------------------------

int OpenFileDialog::OnCreate(LPCREATESTRUCT cs)
{
    if (CSkinDialog::OnCreate(cs) == -1)
        return -1;
    if (!m_list.Create(nullptr, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, RECT{0, 0, 100, 100}, this, IDC_OPEN_LIST))
        return -1;
    return 0;
}

BOOL OpenFileDialog::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    Layout();
    FillTypes();
    m_back.SubclassDlgItem(IDC_OPEN_BACK, this);
    m_back.SetIcons(kIconBack, 0, 32, 32);
    m_up.SubclassDlgItem(IDC_OPEN_UP, this);
    m_up.SetIcons(kIconUp, 0, 32, 32);
    m_view.SubclassDlgItem(IDC_OPEN_VIEW, this);
    m_view.SetIcons(kIconView, 0, 32, 32);
    m_raw.SubclassDlgItem(IDC_OPEN_RAW, this);
    m_capture.SubclassDlgItem(IDC_OPEN_CAPTURE, this);
    m_lookInImages.Create(kBitmapLookIn, 16, 0, RGB(0, 255, 0));
    m_lookInCombo.SubclassDlgItem(IDC_OPEN_LOOK_IN, this);
    m_lookInCombo.m_imageList = &m_lookInImages;
    m_lookInCombo.SetFolderEntries(&m_lookInIcons);
    m_list.SetMultiSelect(FALSE);
    m_initialised = 1;
    theAlgorithmThread.SetNotifyWnd(m_hWnd);
    theAlgorithmThread.BeginThumbnails();

    const CString last = AfxGetApp()->GetProfileString("Open", "LastFolder", "");
    std::string start = static_cast<const char*>(last);
    if (start.empty())
        start = thePhotoDocument.m_path[0] ? FolderOf(thePhotoDocument.m_path) : std::string(g_programFolder);
    std::snprintf(m_folder, sizeof m_folder, "%s", WithSlash(start).c_str());
    FillLookIn();
    UpdateButtons();
    if (!ListFolder()) {
        // The stored folder is gone: the program folder instead, the old one on the history.
        MoveTo(g_programFolder, TRUE);
    }
    return TRUE;
}

void OpenFileDialog::Layout()
{
    CRect client;
    GetClientRect(&client);
    const int w = client.Width(), h = client.Height();
    const auto place = [this](UINT id, int x, int y, int cx, int cy) {
        if (CWnd* item = GetDlgItem(id))
            item->MoveWindow(x, y, cx, cy, FALSE);
    };
    place(IDC_OPEN_NAME_LABEL, 10, h - 70, 100, 25);
    place(IDC_OPEN_TYPE_LABEL, 10, h - 35, 100, 25);
    place(IDC_OPEN_NAME, 120, h - 70, w - 280, 25);
    for (UINT i = 0; i < 4; ++i)
        place(IDC_OPEN_DOCUMENTS + i, 10, 45 + 23 * static_cast<int>(i), 180, 22);
    place(IDC_OPEN_TYPE, 120, h - 35, w - 490, 400);
    place(IDC_OPEN_RAW, w - 255, h - 35, 100, 25);
    place(IDC_OPEN_CAPTURE, w - 365, h - 35, 105, 25);
    if (m_list.m_hWnd)
        m_list.MoveWindow(195, 45, w - 205, h - 130, FALSE);
    place(IDC_OPEN_INFO, 10, 140, 180, h - 225);
    place(IDOK, w - 140, h - 70, 130, 25);
    place(IDCANCEL, w - 140, h - 35, 130, 25);
    RedrawWindow(nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void OpenFileDialog::OnSize(UINT type, int cx, int cy)
{
    CSkinDialog::OnSize(type, cx, cy);
    if (m_initialised)
        Layout();
}

void OpenFileDialog::OnGetMinMaxInfo(MINMAXINFO* info)
{
    info->ptMinTrackSize.x = kMinWidth;
    info->ptMinTrackSize.y = kMinHeight;
}

void OpenFileDialog::FillTypes()
{
    m_types = ParseFilter(m_filter.c_str());
    if (!GetDlgItem(IDC_OPEN_TYPE))
        return;
    SendDlgItemMessage(IDC_OPEN_TYPE, CB_RESETCONTENT);
    for (const OpenFileType& type : m_types)
        SendDlgItemMessage(IDC_OPEN_TYPE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(type.name.c_str()));
    SendDlgItemMessage(IDC_OPEN_TYPE, CB_SETCURSEL, m_types.empty() ? static_cast<WPARAM>(-1) : 0);
}

void OpenFileDialog::SetEntryText(LookInEntry* entry, const char* text, const char* path, int indent, int icon)
{
    *entry = LookInEntry{};
    std::snprintf(entry->text, sizeof entry->text, "%s", text);
    std::snprintf(entry->path, sizeof entry->path, "%s", path);
    entry->indent = indent;
    entry->icon = icon;
}

void OpenFileDialog::FillLookIn()
{
    std::vector<LookInEntry> roots(2);
    SetEntryText(&roots[0], "/", "/", 0, kIconRoot);
    const char* home = std::getenv("HOME");
    const std::string homeFolder = WithSlash(home && *home ? home : "/");
    SetEntryText(&roots[1], homeFolder.c_str(), homeFolder.c_str(), 0, kIconHome);
    std::ifstream mounts("/proc/self/mounts");
    std::stringstream table;
    table << mounts.rdbuf();
    for (const LookInEntry& volume : VolumesOf(table.str()))
        roots.push_back(volume);

    // The deepest root that holds the current folder gets its components.
    const std::string folder = m_folder;
    size_t holder = 0;
    for (size_t i = 1; i < roots.size(); ++i)
        if (StartsWith(folder, roots[i].path) && std::strlen(roots[i].path) > std::strlen(roots[holder].path))
            holder = i;
    m_lookIn.clear();
    int selected = 0;
    for (size_t i = 0; i < roots.size(); ++i) {
        m_lookIn.push_back(roots[i]);
        if (i != holder)
            continue;
        selected = static_cast<int>(m_lookIn.size()) - 1;
        const std::vector<std::string> parts = SplitPath(folder.c_str() + std::strlen(roots[i].path));
        std::string path = roots[i].path;
        for (size_t k = 0; k < parts.size(); ++k) {
            path += parts[k] + "/";
            LookInEntry entry{};
            SetEntryText(&entry, parts[k].c_str(), path.c_str(), static_cast<int>(k) + 1,
                         k + 1 == parts.size() ? kIconOpenFolder : kIconFolder);
            m_lookIn.push_back(entry);
            selected = static_cast<int>(m_lookIn.size()) - 1;
        }
    }
    m_lookInIcons.clear();
    for (const LookInEntry& entry : m_lookIn)
        m_lookInIcons.push_back(FolderEntry{entry.icon, entry.indent});
    if (!m_lookInCombo.m_hWnd)
        return;
    m_lookInCombo.ResetContent();
    for (LookInEntry& entry : m_lookIn)
        m_lookInCombo.SetItemDataPtr(m_lookInCombo.AddString(entry.text), entry.text);
    m_lookInCombo.SetCurSel(selected);
}

BOOL OpenFileDialog::IsEnabledInMainFrame(UINT command)
{
    CWnd* main = AfxGetMainWnd();
    if (!main || main == this)
        return FALSE;
    EnableProbe probe;
    probe.m_nID = command;
    main->OnCmdMsg(command, CN_UPDATE_COMMAND_UI, &probe, nullptr);
    return probe.enabled;
}

void OpenFileDialog::UpdateButtons()
{
    if (CWnd* up = GetDlgItem(IDC_OPEN_UP))
        up->EnableWindow(std::strcmp(m_folder, "/") != 0);
    if (CWnd* back = GetDlgItem(IDC_OPEN_BACK))
        back->EnableWindow(!m_history.empty());
    if (CWnd* current = GetDlgItem(IDC_OPEN_CURRENT))
        current->EnableWindow(thePhotoDocument.IsLoaded() && thePhotoDocument.m_path[0]);
    if (CWnd* capture = GetDlgItem(IDC_OPEN_CAPTURE))
        capture->EnableWindow(IsEnabledInMainFrame(kCapture));
}

// ---- listing ---------------------------------------------------------------

BOOL OpenFileDialog::ListFolder()
{
    std::vector<DWORD> wanted;
    const int typeIndex =
        GetDlgItem(IDC_OPEN_TYPE) ? static_cast<int>(SendDlgItemMessage(IDC_OPEN_TYPE, CB_GETCURSEL)) : 0;
    if (typeIndex >= 0 && typeIndex < static_cast<int>(m_types.size()))
        for (const std::string& extension : m_types[static_cast<size_t>(typeIndex)].extensions) {
            const DWORD type = CQLImageCodec::GetFileType(("*." + extension).c_str());
            if (type != QL_FILE_UNKNOWN)
                wanted.push_back(type);
        }

    WIN32_FIND_DATA data;
    HANDLE find = FindFirstFile((std::string(m_folder) + "*.*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return FALSE;
    std::vector<ThumbJob> jobs;
    {
        CSingleLock guard(&theAlgorithmThread.GetThumbnailLock(), TRUE);
        if (m_list.m_hWnd)
            m_list.DeleteAllItems();
        for (ThumbJobEntry& entry : *m_entries)
            delete entry.thumbnail;
        m_entries->clear();
        m_shown.clear();
        m_entries = &m_lists.emplace_back();
        m_list.SetEntries(m_entries);
        // Jobs of the old listing are of no use any more.
        theAlgorithmThread.BeginThumbnails();
        for (BOOL more = TRUE; more; more = FindNextFile(find, &data)) {
            ThumbJobEntry entry{};
            if (std::strlen(data.cFileName) >= sizeof entry.name)
                continue; // a name cut short would name another file
            std::snprintf(entry.name, sizeof entry.name, "%s", data.cFileName);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (data.cFileName[0] == '.')
                    continue;
                entry.done = 1;
            } else {
                // By the name only: the worker reads the content.
                const DWORD type = CQLImageCodec::GetFileType(data.cFileName);
                if (type == QL_FILE_UNKNOWN || std::find(wanted.begin(), wanted.end(), type) == wanted.end())
                    continue;
                entry.thumbnail = new CQLImage;
                ThumbJob job{};
                job.list = m_entries;
                job.index = static_cast<int>(m_entries->size());
                std::snprintf(job.path, sizeof job.path, "%s%s", m_folder, data.cFileName);
                std::snprintf(job.key, sizeof job.key, "%s", data.cFileName);
                jobs.push_back(job);
            }
            m_entries->push_back(entry);
        }
        FindClose(find);
        for (const ThumbJob& job : jobs)
            theAlgorithmThread.QueueThumbnail(job);
    }
    ShowList();
    return TRUE;
}

void OpenFileDialog::ShowList()
{
    m_shown.clear();
    for (ThumbJobEntry& entry : *m_entries)
        m_shown.push_back(&entry);
    std::sort(m_shown.begin(), m_shown.end(), ListsBefore);
    if (!m_list.m_hWnd)
        return;
    CSingleLock guard(&theAlgorithmThread.GetThumbnailLock(), TRUE);
    for (ThumbJobEntry* entry : m_shown) {
        // A file shows its icon until its thumbnail has pixels.
        CQLImage* image = entry->thumbnail && entry->thumbnail->GetAreaByteSize() ? entry->thumbnail : nullptr;
        const int item = m_list.AddItem(entry->name, image);
        m_list.SetItemData(item, static_cast<DWORD>(entry - m_entries->data()));
    }
    m_list.Invalidate();
}

int OpenFileDialog::FindShown(int entryIndex) const
{
    for (size_t i = 0; i < m_shown.size(); ++i)
        if (m_shown[i] - m_entries->data() == entryIndex)
            return static_cast<int>(i);
    return -1;
}

BOOL OpenFileDialog::MoveTo(const char* folder, BOOL pushHistory)
{
    if (!folder || !*folder)
        return FALSE;
    const std::string target = WithSlash(folder);
    if (target.size() >= sizeof m_folder)
        return FALSE;
    WIN32_FIND_DATA data;
    HANDLE probe = FindFirstFile((target + "*.*").c_str(), &data);
    if (probe == INVALID_HANDLE_VALUE)
        return FALSE;
    FindClose(probe);
    if (pushHistory) {
        LookInEntry old{};
        SetEntryText(&old, m_folder, m_folder, 0, kIconFolder);
        m_history.push_back(old);
    }
    std::snprintf(m_folder, sizeof m_folder, "%s", target.c_str());
    if (!ListFolder() && std::strcmp(m_folder, WithSlash(g_programFolder).c_str()) != 0) {
        // Removed meanwhile: the program folder instead.
        MoveTo(g_programFolder, TRUE);
        return TRUE;
    }
    FillLookIn();
    UpdateButtons();
    return TRUE;
}

LRESULT OpenFileDialog::OnThumbnailNotice(WPARAM code, LPARAM index)
{
    if (code != 100 && code != 101)
        return 0;
    const int shown = FindShown(static_cast<int>(index));
    if (shown < 0)
        return 0;
    {
        CSingleLock guard(&theAlgorithmThread.GetThumbnailLock(), TRUE);
        ThumbJobEntry& entry = (*m_entries)[static_cast<size_t>(index)];
        if (entry.thumbnail && entry.thumbnail->GetAreaByteSize())
            m_list.SetItemThumbnail(shown, entry.thumbnail);
    }
    // Counted by the items that show their thumbnail, not by the images:
    // the worker may be several pictures ahead of its notices.
    bool all = true;
    for (int i = 0; i < m_list.GetItemCount() && all; ++i)
        all = m_shown[static_cast<size_t>(i)]->done == 1 || m_list.GetItem(i)->thumbnail != nullptr;
    if (code == 100 && all)
        m_list.RedrawList();
    else
        m_list.RefreshItem(shown);
    return 0;
}

// ---- the list's notices ----------------------------------------------------

void OpenFileDialog::ShowInformation(int shown)
{
    if (!GetDlgItem(IDC_OPEN_INFO))
        return;
    SendDlgItemMessage(IDC_OPEN_INFO, LB_RESETCONTENT);
    if (shown < 0 || shown >= static_cast<int>(m_shown.size()) || m_shown[static_cast<size_t>(shown)]->done == 1)
        return;
    for (const std::string& line : InformationLines(m_folder, m_shown[static_cast<size_t>(shown)]->name))
        SendDlgItemMessage(IDC_OPEN_INFO, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

LRESULT OpenFileDialog::OnListNotify(WPARAM code, LPARAM lParam)
{
    if (code == ThumbListSelChange) {
        const int shown = m_list.GetCurSel();
        ShowInformation(shown);
        if (m_initialised && shown >= 0 && shown < static_cast<int>(m_shown.size()) &&
            m_shown[static_cast<size_t>(shown)]->done != 1)
            SetDlgItemText(IDC_OPEN_NAME, m_shown[static_cast<size_t>(shown)]->name);
    } else if (code == ThumbListActivate) {
        const int shown = static_cast<int>(lParam);
        if (shown < 0 || shown >= static_cast<int>(m_shown.size()))
            return 0;
        const std::string name = m_shown[static_cast<size_t>(shown)]->name;
        if (m_shown[static_cast<size_t>(shown)]->done == 1)
            OpenFolderItem(name.c_str());
        else
            ChooseFile(name.c_str());
    }
    return 0;
}

void OpenFileDialog::OpenFolderItem(const char* name)
{
    MoveTo((std::string(m_folder) + name).c_str(), TRUE);
}

void OpenFileDialog::ChooseFile(const char* name)
{
    theAlgorithmThread.CancelThumbnails();
    WaitWhileWorkerBusy();
    std::snprintf(m_chosen, sizeof m_chosen, "%s%s", m_folder, name);
    AfxGetApp()->WriteProfileString("Open", "LastFolder", m_folder);
    EndWith(IDOK);
}

void OpenFileDialog::EndWith(int result)
{
    theAlgorithmThread.CancelThumbnails();
    EndDialog(result);
}

// ---- OK, Cancel and the buttons ------------------------------------------

void OpenFileDialog::OnOK()
{
    char text[256] = {};
    GetDlgItemText(IDC_OPEN_NAME, text, sizeof text);
    if (text[0]) {
        for (const ThumbJobEntry* entry : m_shown)
            if (strcasecmp(entry->name, text) == 0) {
                const std::string name = entry->name;
                if (entry->done == 1)
                    OpenFolderItem(name.c_str());
                else
                    ChooseFile(name.c_str());
                return;
            }
        SetDlgItemText(IDC_OPEN_NAME, "");
    }
    const int shown = m_list.GetCurSel();
    if (shown < 0 || shown >= static_cast<int>(m_shown.size()))
        return;
    const std::string name = m_shown[static_cast<size_t>(shown)]->name;
    if (m_shown[static_cast<size_t>(shown)]->done == 1)
        OpenFolderItem(name.c_str());
    else
        ChooseFile(name.c_str());
}

void OpenFileDialog::OnCancel()
{
    EndWith(IDCANCEL);
}

void OpenFileDialog::OnBack()
{
    if (m_history.empty())
        return;
    const LookInEntry previous = m_history.back();
    // Dropped whether or not the move succeeds.
    m_history.pop_back();
    MoveTo(previous.path, FALSE);
    UpdateButtons();
}

void OpenFileDialog::OnUp()
{
    if (std::strcmp(m_folder, "/") == 0)
        return;
    MoveTo(ParentOf(m_folder).c_str(), TRUE);
}

void OpenFileDialog::OnLookInChange()
{
    const int index = m_lookInCombo.GetCurSel();
    if (index < 0 || index >= static_cast<int>(m_lookIn.size()))
        return;
    const std::string path = m_lookIn[static_cast<size_t>(index)].path;
    if (!MoveTo(path.c_str(), TRUE))
        FillLookIn(); // back to the current folder's line
}

void OpenFileDialog::OnTypeChange()
{
    ListFolder();
}

void OpenFileDialog::OnDocuments()
{
    const std::string pictures = SpecialFolder(CSIDL_MYPICTURES);
    if (!pictures.empty())
        MoveTo(ParentOf(pictures).c_str(), TRUE);
}

void OpenFileDialog::OnPictures()
{
    const std::string pictures = SpecialFolder(CSIDL_MYPICTURES);
    if (!pictures.empty())
        MoveTo(pictures.c_str(), TRUE);
}

void OpenFileDialog::OnDesktop()
{
    const std::string desktop = SpecialFolder(CSIDL_DESKTOPDIRECTORY);
    if (!desktop.empty())
        MoveTo(desktop.c_str(), TRUE);
}

void OpenFileDialog::OnCurrentPhoto()
{
    if (thePhotoDocument.m_path[0])
        MoveTo(FolderOf(thePhotoDocument.m_path).c_str(), TRUE);
}

void OpenFileDialog::OnClassic()
{
    if (MessageBox(theUITextTable.GetText(kTextClassic), "Tip", MB_YESNO) == IDYES) {
        theAppSettings.m_userOldStyle = 1;
        theAppSettings.SaveProfile();
    }
    theAlgorithmThread.CancelThumbnails();
    ShowWindow(SW_HIDE);
    CPicViewFileDlg dialog(TRUE, m_defaultExt.empty() ? nullptr : m_defaultExt.c_str(), nullptr, m_flags,
                           m_filter.c_str(), GetParent());
    if (dialog.DoModal() != IDOK) {
        EndWith(IDCANCEL);
        return;
    }
    WaitWhileWorkerBusy();
    std::snprintf(m_chosen, sizeof m_chosen, "%s", static_cast<const char*>(dialog.GetPathName()));
    EndWith(IDOK);
}

void OpenFileDialog::CloseAndPost(UINT command)
{
    EndWith(IDCANCEL);
    if (CWnd* main = AfxGetMainWnd(); main && main != this)
        main->PostMessage(WM_COMMAND, command, 0);
}

void OpenFileDialog::OnOpenRaw()
{
    CMenu menu;
    if (!menu.LoadMenu(IDR_OPEN_RAW_MENU))
        return;
    CMenu* popup = menu.GetSubMenu(0);
    if (!popup)
        return;
    popup->EnableMenuItem(kRawWizard, MF_BYCOMMAND | (IsEnabledInMainFrame(kRawWizard) ? MF_ENABLED : MF_GRAYED));
    CRect button;
    m_raw.GetWindowRect(&button);
    const UINT command = static_cast<UINT>(
        popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, button.left, button.bottom, this));
    if (command == kRawWizard || command == kRawDirect)
        CloseAndPost(command);
}

void OpenFileDialog::OnCapture()
{
    CloseAndPost(kCapture);
}
