#include "platform/afx/CommDlg.h"

#include "platform/afx/WinApp.h"
#include "platform/win/FileFind.h"

#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

DWORD g_lastError = 0;

bool IsDirectory(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::string Join(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string CurrentFolder()
{
    char buf[4096];
    return ::getcwd(buf, sizeof buf) ? std::string(buf) : std::string("/");
}

void CopyText(char* out, size_t size, const std::string& text)
{
    if (!out || size == 0)
        return;
    const size_t n = std::min(text.size(), size - 1);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

}  // namespace

// ---- filters ----

namespace qlafx {

std::vector<FileFilter> ParseFileFilter(const char* filter)
{
    std::vector<FileFilter> out;
    if (!filter)
        return out;
    const char* p = filter;
    while (*p) {
        FileFilter f;
        f.label = p;
        p += f.label.size() + 1;
        const std::string patterns = p;
        p += patterns.size() + (*p ? 1 : 0);
        size_t start = 0;
        while (start <= patterns.size()) {
            size_t end = patterns.find(';', start);
            if (end == std::string::npos)
                end = patterns.size();
            std::string one = patterns.substr(start, end - start);
            one.erase(0, one.find_first_not_of(' '));
            one.erase(one.find_last_not_of(' ') + 1);
            if (!one.empty())
                f.patterns.push_back(one);
            start = end + 1;
        }
        out.push_back(std::move(f));
        if (patterns.empty())
            break;
    }
    return out;
}

std::string FilterFromMfc(const char* mfcFilter)
{
    std::string s = mfcFilter ? mfcFilter : "";
    std::replace(s.begin(), s.end(), '|', '\0');
    // Always ends in two NULs, however the caller ended it.
    while (s.size() < 2 || s[s.size() - 1] != '\0' || s[s.size() - 2] != '\0')
        s.push_back('\0');
    return s;
}

bool MatchesFilter(const FileFilter& filter, const char* name)
{
    return std::any_of(filter.patterns.begin(), filter.patterns.end(),
                       [&](const std::string& p) { return qlwin::WildcardMatches(p.c_str(), name); });
}

void AnswerFileDialog(CFileDialog& dialog, const std::vector<std::string>& paths, int filterIndex)
{
    dialog.m_answer = paths;
    dialog.m_answerFilter = filterIndex;
}

void AnswerColorDialog(CColorDialog& dialog, COLORREF color) { dialog.m_cc.rgbResult = color; }

void AnswerFontDialog(CFontDialog& dialog, const LOGFONT& font, int pointSize)
{
    dialog.m_lf = font;
    dialog.m_cf.iPointSize = pointSize * 10;
}

}  // namespace qlafx

DWORD CommDlgExtendedError() { return g_lastError; }

// ---- CCommonDialog ----

IMPLEMENT_DYNAMIC(CCommonDialog, CDialog)

int CCommonDialog::AskHook(const char* title)
{
    g_lastError = 0;
    return qlafx::CallModalHook(this, title, nullptr, 0);
}

QWidget* CCommonDialog::OwnerWidget() const
{
    CWnd* owner = qlafx::ModalOwnerOf(m_pParentWnd);
    return owner ? qlafx::WidgetOf(owner->m_hWnd) : nullptr;
}

// ---- CFileDialog ----

namespace {

constexpr DWORD kFileDialogStyle =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME | DS_SETFONT | DS_CENTER;
// The file widget's place in dialog units when no template gives one.
constexpr short kPlaceWidth = 380, kPlaceHeight = 230;

const qlafx::DialogTemplate* CustomTemplate(const OPENFILENAME& ofn)
{
    if (!(ofn.Flags & OFN_ENABLETEMPLATE) || !ofn.lpTemplateName)
        return nullptr;
    const auto value = reinterpret_cast<std::uintptr_t>(ofn.lpTemplateName);
    return value <= 0xFFFF ? qlafx::FindDialog(static_cast<UINT>(value)) : nullptr;
}

}  // namespace

IMPLEMENT_DYNAMIC(CFileDialog, CCommonDialog)

BEGIN_MESSAGE_MAP(CFileDialog, CCommonDialog)
    ON_WM_SIZE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName, DWORD dwFlags,
                         LPCSTR lpszFilter, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd), m_bOpenFileDialog(bOpenFileDialog)
{
    m_ofn.lStructSize = sizeof(OPENFILENAME);
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = sizeof m_szFileName;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = sizeof m_szFileTitle;
    m_ofn.Flags = dwFlags | OFN_EXPLORER;
    if (lpszDefExt) {
        m_strDefExt = lpszDefExt;
        m_ofn.lpstrDefExt = m_strDefExt.c_str();
    }
    if (lpszFileName)
        CopyText(m_szFileName, sizeof m_szFileName, lpszFileName);
    if (lpszFilter) {
        m_strFilter = qlafx::FilterFromMfc(lpszFilter);
        m_ofn.lpstrFilter = m_strFilter.data();
    }
}

std::string CFileDialog::InitialFolder() const
{
    const std::string name = m_ofn.lpstrFile ? m_ofn.lpstrFile : "";
    const std::string folder = FolderOf(name);
    if (!folder.empty())
        return folder;
    if (m_ofn.lpstrInitialDir && *m_ofn.lpstrInitialDir)
        return m_ofn.lpstrInitialDir;
    return CurrentFolder();
}

// The window's template: the caller's own with its stc32 place, or a place
// alone; without stc32 the caller's controls go below the place.
void CFileDialog::BuildTemplate()
{
    const char* title = m_ofn.lpstrTitle ? m_ofn.lpstrTitle : (m_bOpenFileDialog ? "Open" : "Save As");
    m_tmpl = qlafx::DialogTemplate{0, kFileDialogStyle, 0, 0, 0, kPlaceWidth, kPlaceHeight, title, "MS Shell Dlg", 8,
                                   {}};
    const qlafx::DialogItem place{"Static", "", static_cast<UINT>(stc32), 0, 0, kPlaceWidth, kPlaceHeight, 0};
    const qlafx::DialogTemplate* custom = CustomTemplate(m_ofn);
    if (!custom) {
        m_tmpl.items.push_back(place);
        return;
    }
    m_tmpl.fontFace = custom->fontFace;
    m_tmpl.pointSize = custom->pointSize;
    const bool hasPlace = std::any_of(custom->items.begin(), custom->items.end(),
                                      [](const qlafx::DialogItem& i) { return i.id == static_cast<UINT>(stc32); });
    m_tmpl.items = custom->items;
    if (hasPlace) {
        m_tmpl.cx = custom->cx;
        m_tmpl.cy = custom->cy;
        return;
    }
    for (qlafx::DialogItem& item : m_tmpl.items)
        item.y = static_cast<short>(item.y + kPlaceHeight);
    m_tmpl.items.insert(m_tmpl.items.begin(), place);
    m_tmpl.cx = std::max(kPlaceWidth, custom->cx);
    m_tmpl.cy = static_cast<short>(kPlaceHeight + custom->cy);
}

BOOL CFileDialog::OnInitDialog()
{
    CCommonDialog::OnInitDialog();
    MakeFileWidget();
    return TRUE;
}

// The filters as the widget lists them (a wildcard initial name first),
// the caller's filter chosen, and the initial name selected.
void CFileDialog::SetUpNames(QFileDialog* widget)
{
    m_nameFilters.clear();
    const std::string initialName = NameOf(m_ofn.lpstrFile ? m_ofn.lpstrFile : "");
    m_wildName = initialName.find_first_of("*?") != std::string::npos;
    if (m_wildName)
        m_nameFilters.push_back(initialName);
    for (const qlafx::FileFilter& f : qlafx::ParseFileFilter(m_ofn.lpstrFilter)) {
        std::string patterns;
        for (const std::string& p : f.patterns)
            patterns += (patterns.empty() ? "" : " ") + p;
        m_nameFilters.push_back(f.label + " (" + patterns + ")");
    }
    if (!m_nameFilters.empty()) {
        QStringList filters;
        for (const std::string& f : m_nameFilters)
            filters << QString::fromStdString(f);
        widget->setNameFilters(filters);
        const int index = static_cast<int>(m_ofn.nFilterIndex) - 1 + (m_wildName ? 1 : 0);
        if (index >= 0 && index < filters.size())
            widget->selectNameFilter(filters[index]);
    }
    if (!m_wildName && !initialName.empty())
        widget->selectFile(QString::fromStdString(initialName));
}

void CFileDialog::MakeFileWidget()
{
    CWnd* place = GetDlgItem(stc32);
    if (!place)
        return;
    place->ShowWindow(SW_HIDE);
    place->GetWindowRect(&m_place);
    ScreenToClient(&m_place);
    RECT client{};
    GetClientRect(&client);
    m_client = SIZE{client.right, client.bottom};

    const bool multi = m_ofn.Flags & OFN_ALLOWMULTISELECT;
    auto* widget = new QFileDialog(GetWidget(), QString::fromUtf8(m_tmpl.caption),
                                   QString::fromStdString(InitialFolder()));
    widget->setWindowFlags(Qt::Widget);
    widget->setOption(QFileDialog::DontUseNativeDialog);
    widget->setOption(QFileDialog::DontConfirmOverwrite);
    widget->setSizeGripEnabled(false);
    widget->setAcceptMode(m_bOpenFileDialog ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    widget->setFileMode(m_bOpenFileDialog ? (multi ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile)
                                          : QFileDialog::AnyFile);
    SetUpNames(widget);
    // The widget may still signal while the window takes it down.
    QObject::connect(widget, &QFileDialog::currentChanged, widget, [this](const QString& path) {
        if (!m_fileWidget)
            return;
        const QFileInfo info(path);
        m_selection = info.isFile() ? info.absoluteFilePath().toStdString() : std::string();
        OnFileNameChange();
    });
    QObject::connect(widget, &QFileDialog::directoryEntered, widget, [this](const QString&) {
        if (!m_fileWidget)
            return;
        m_selection.clear();
        OnFolderChange();
    });
    QObject::connect(widget, &QDialog::finished, widget, [this](int result) {
        if (m_fileWidget)
            FileWidgetDone(result);
    });
    m_fileWidget = widget;

    // The widget needs its own minimum; the window grows to give it that.
    const QSize need = widget->minimumSizeHint().expandedTo(QSize(560, 340));
    const int growX = std::max(0, need.width() - static_cast<int>(m_place.right - m_place.left));
    const int growY = std::max(0, need.height() - static_cast<int>(m_place.bottom - m_place.top));
    PlaceFileWidget(m_client.cx, m_client.cy);
    if (growX || growY) {
        RECT window{};
        GetWindowRect(&window);
        SetWindowPos(nullptr, 0, 0, window.right - window.left + growX, window.bottom - window.top + growY,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    widget->show();
}

// The widget takes what the window gained; controls right of it or below
// it move along, as the system's dialog moves a template's controls.
void CFileDialog::PlaceFileWidget(int cx, int cy)
{
    if (!m_fileWidget)
        return;
    const int dx = cx - m_client.cx, dy = cy - m_client.cy;
    if (dx || dy)
        for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            if (::GetDlgCtrlID(child) == stc32)
                continue;
            RECT r{};
            ::GetWindowRect(child, &r);
            ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
            const int mx = r.left >= m_place.right ? dx : 0, my = r.top >= m_place.bottom ? dy : 0;
            if (mx || my)
                ::SetWindowPos(child, nullptr, r.left + mx, r.top + my, 0, 0,
                               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    m_place.right += dx;
    m_place.bottom += dy;
    m_client = SIZE{cx, cy};
    m_fileWidget->setGeometry(m_place.left, m_place.top, m_place.right - m_place.left, m_place.bottom - m_place.top);
}

void CFileDialog::OnSize(UINT nType, int cx, int cy)
{
    CCommonDialog::OnSize(nType, cx, cy);
    if (nType != SIZE_MINIMIZED && cx > 0 && cy > 0)
        PlaceFileWidget(cx, cy);
}

// Enter on a control of the caller's template presses the widget's Open.
void CFileDialog::OnOK()
{
    if (m_fileWidget)
        static_cast<QDialog*>(m_fileWidget)->accept();  // checks the typed name as its Open button does
    else
        CCommonDialog::OnOK();
}

void CFileDialog::OnDestroy()
{
    m_fileWidget = nullptr;
    CCommonDialog::OnDestroy();
}

void CFileDialog::FileWidgetDone(int result)
{
    if (result == QDialog::Accepted) {
        const QStringList files = m_fileWidget->selectedFiles();
        m_chosenNames.clear();
        for (const QString& f : files)
            m_chosenNames.push_back(QFileInfo(f).fileName().toStdString());
        m_chosenFolder = files.isEmpty() ? std::string() : QFileInfo(files.front()).absolutePath().toStdString();
        m_chosenInWidget = !files.isEmpty();
        const auto chosen = std::find(m_nameFilters.begin(), m_nameFilters.end(),
                                      m_fileWidget->selectedNameFilter().toStdString());
        const int index = static_cast<int>(chosen - m_nameFilters.begin()) - (m_wildName ? 1 : 0);
        if (chosen != m_nameFilters.end() && index >= 0)
            m_ofn.nFilterIndex = static_cast<DWORD>(index + 1);
    }
    EndDialog(result == QDialog::Accepted && m_chosenInWidget ? IDOK : IDCANCEL);
}

bool CFileDialog::TakeChoice(const std::string& folder, const std::vector<std::string>& names)
{
    std::string out;
    if (names.size() == 1) {
        out = Join(folder, names.front());
        out.push_back('\0');
    } else {
        out = folder;
        out.push_back('\0');
        for (const std::string& n : names) {
            out += n;
            out.push_back('\0');
        }
    }
    out.push_back('\0');
    // The single path needs its own NUL only; a list ends in two.
    const size_t need = names.size() == 1 ? out.size() - 1 : out.size();
    if (!m_ofn.lpstrFile || need > m_ofn.nMaxFile) {
        g_lastError = FNERR_BUFFERTOOSMALL;
        return false;
    }
    std::memcpy(m_ofn.lpstrFile, out.data(), need);
    const std::string first = names.size() == 1 ? Join(folder, names.front()) : folder;
    m_ofn.nFileOffset = static_cast<WORD>(names.size() == 1 ? first.size() - names.front().size() : folder.size() + 1);
    const size_t dot = names.front().rfind('.');
    m_ofn.nFileExtension = static_cast<WORD>(names.size() == 1 && dot != std::string::npos
                                                 ? m_ofn.nFileOffset + dot + 1
                                                 : names.size() == 1 ? first.size() : 0);
    CopyText(m_ofn.lpstrFileTitle, m_ofn.nMaxFileTitle, names.front());
    return true;
}

int CFileDialog::DoModal()
{
    const bool multi = m_ofn.Flags & OFN_ALLOWMULTISELECT;
    for (;;) {
        g_lastError = 0;
        m_answer.clear();
        m_answerFilter = 0;
        m_chosenInWidget = false;
        m_selection.clear();
        BuildTemplate();
        m_lpDialogTemplate = &m_tmpl;
        const int result = CCommonDialog::DoModal();
        const char* title = m_tmpl.caption;
        if (result != IDOK)
            return IDCANCEL;
        std::string folder;
        std::vector<std::string> names;
        if (m_chosenInWidget) {
            folder = m_chosenFolder;
            names = m_chosenNames;
        } else {
            if (m_answer.empty() || (!multi && m_answer.size() > 1))
                return IDCANCEL;
            const std::string base = InitialFolder();
            const std::string firstPath = m_answer.front().front() == '/' ? m_answer.front() : Join(base, m_answer.front());
            folder = FolderOf(firstPath);
            for (const std::string& a : m_answer) {
                const std::string path = a.front() == '/' ? a : Join(base, a);
                if (FolderOf(path) != folder)
                    return IDCANCEL;  // a person picks files of one folder
                names.push_back(NameOf(path));
            }
            if (m_answerFilter > 0)
                m_ofn.nFilterIndex = static_cast<DWORD>(m_answerFilter);
        }
        // A typed name without an extension gets the default one (given
        // with or without its dot).
        const char* defExt = m_ofn.lpstrDefExt;
        if (defExt && *defExt == '.')
            ++defExt;
        if (defExt && *defExt)
            for (std::string& n : names)
                if (n.find('.') == std::string::npos)
                    n += std::string(".") + defExt;

        bool again = false;
        for (const std::string& n : names) {
            const std::string path = Join(folder, n);
            if (m_bOpenFileDialog && (m_ofn.Flags & OFN_FILEMUSTEXIST) && !Exists(path)) {
                const std::string text = path + "\nFile not found.\nCheck the file name and try again.";
                ::MessageBox(nullptr, text.c_str(), title, MB_OK | MB_ICONEXCLAMATION);
                again = true;
                break;
            }
            if (!m_bOpenFileDialog && (m_ofn.Flags & OFN_OVERWRITEPROMPT) && Exists(path)) {
                const std::string text = path + " already exists.\nDo you want to replace it?";
                if (::MessageBox(nullptr, text.c_str(), title, MB_YESNO | MB_ICONEXCLAMATION) != IDYES) {
                    again = true;
                    break;
                }
            }
        }
        if (again)
            continue;
        return TakeChoice(folder, names) ? IDOK : IDCANCEL;
    }
}

CString CFileDialog::GetPathName() const
{
    if (m_fileWidget)
        return m_selection.c_str();
    return m_ofn.lpstrFile ? m_ofn.lpstrFile : "";
}

CString CFileDialog::GetFileName() const { return NameOf(m_ofn.lpstrFile ? m_ofn.lpstrFile : "").c_str(); }

CString CFileDialog::GetFileExt() const
{
    const std::string name = NameOf(m_ofn.lpstrFile ? m_ofn.lpstrFile : "");
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? "" : name.substr(dot + 1).c_str();
}

CString CFileDialog::GetFileTitle() const
{
    const std::string name = NameOf(m_ofn.lpstrFile ? m_ofn.lpstrFile : "");
    return name.substr(0, name.rfind('.')).c_str();
}

POSITION CFileDialog::GetStartPosition() const
{
    return m_ofn.lpstrFile && *m_ofn.lpstrFile ? reinterpret_cast<POSITION>(m_ofn.lpstrFile) : nullptr;
}

CString CFileDialog::GetNextPathName(POSITION& pos) const
{
    const char* p = reinterpret_cast<const char*>(pos);
    if (!p) {
        return "";
    }
    if (p == m_ofn.lpstrFile) {
        // First call: a single path stands alone; a list starts with its folder.
        const char* after = p + std::strlen(p) + 1;
        if (!(m_ofn.Flags & OFN_ALLOWMULTISELECT) || *after == '\0') {
            pos = nullptr;
            return m_ofn.lpstrFile;
        }
        p = after;
    }
    const std::string name = p;
    const char* next = p + name.size() + 1;
    pos = *next ? reinterpret_cast<POSITION>(const_cast<char*>(next)) : nullptr;
    return Join(m_ofn.lpstrFile, name).c_str();
}

// ---- CColorDialog ----

IMPLEMENT_DYNAMIC(CColorDialog, CCommonDialog)

COLORREF* CColorDialog::GetSavedCustomColors()
{
    static COLORREF colors[16] = {RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
                                  RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
                                  RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
                                  RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)};
    return colors;
}

CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd) : CCommonDialog(pParentWnd)
{
    m_cc.lStructSize = sizeof(CHOOSECOLOR);
    m_cc.Flags = dwFlags | (clrInit ? CC_RGBINIT : 0);
    m_cc.rgbResult = clrInit;
    m_cc.lpCustColors = GetSavedCustomColors();
}

int CColorDialog::DoModal()
{
    const int hook = AskHook("Color");
    if (hook != qlafx::kModalRun)
        return hook == IDOK ? IDOK : IDCANCEL;
    const COLORREF init = (m_cc.Flags & CC_RGBINIT) ? m_cc.rgbResult : RGB(0, 0, 0);
    QColorDialog dlg(QColor(GetRValue(init), GetGValue(init), GetBValue(init)), OwnerWidget());
    dlg.setOption(QColorDialog::DontUseNativeDialog);
    if (dlg.exec() != QDialog::Accepted)
        return IDCANCEL;
    const QColor c = dlg.selectedColor();
    m_cc.rgbResult = RGB(c.red(), c.green(), c.blue());
    return IDOK;
}

// ---- CFontDialog ----

IMPLEMENT_DYNAMIC(CFontDialog, CCommonDialog)

CFontDialog::CFontDialog(const LOGFONT* lplfInitial, DWORD dwFlags, CDC*, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd)
{
    m_cf.lStructSize = sizeof(CHOOSEFONT);
    m_cf.Flags = dwFlags;
    m_cf.lpLogFont = &m_lf;
    if (lplfInitial) {
        m_lf = *lplfInitial;
        m_cf.Flags |= CF_INITTOLOGFONTSTRUCT;
        m_cf.iPointSize = (std::abs(m_lf.lfHeight) * 72 + 48) / 96 * 10;
    }
}

int CFontDialog::DoModal()
{
    const int hook = AskHook("Font");
    if (hook != qlafx::kModalRun)
        return hook == IDOK ? IDOK : IDCANCEL;
    QFont initial(QString::fromUtf8(m_lf.lfFaceName), m_cf.iPointSize > 0 ? m_cf.iPointSize / 10 : 10,
                  m_lf.lfWeight >= FW_BOLD ? QFont::Bold : QFont::Normal, m_lf.lfItalic != 0);
    QFontDialog dlg(initial, OwnerWidget());
    dlg.setOption(QFontDialog::DontUseNativeDialog);
    if (dlg.exec() != QDialog::Accepted)
        return IDCANCEL;
    const QFont f = dlg.selectedFont();
    CopyText(m_lf.lfFaceName, sizeof m_lf.lfFaceName, f.family().toStdString());
    const int points = f.pointSize() > 0 ? f.pointSize() : 10;
    m_lf.lfHeight = -((points * 96 + 36) / 72);
    m_lf.lfWeight = f.bold() ? FW_BOLD : FW_NORMAL;
    m_lf.lfItalic = f.italic() ? 1 : 0;
    m_cf.iPointSize = points * 10;
    return IDOK;
}

// ---- the folder browser ----

struct ITEMIDLIST {
    unsigned magic;
    char path[1];
};

namespace {

constexpr unsigned kItemMagic = 0x51504944;  // "DIPQ"

class CFolderBrowserDlg : public CDialog {
public:
    explicit CFolderBrowserDlg(const BROWSEINFO& bi) : m_bi(bi)
    {
        m_pParentWnd = CWnd::FromHandle(bi.hwndOwner);
        if (bi.pidlRoot)
            m_root = bi.pidlRoot->path;
        m_tmpl = qlafx::DialogTemplate{
            0, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, 0, 0, 240, 96,
            "Browse for Folder", "MS Shell Dlg", 8,
            {{"Static", bi.lpszTitle ? bi.lpszTitle : "", static_cast<UINT>(IDC_BROWSE_TITLE), 7, 7, 226, 18,
              WS_VISIBLE | SS_LEFT},
             {"Edit", "", static_cast<UINT>(IDC_BROWSE_PATH), 7, 28, 170, 14,
              WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
             {"Button", "&Browse...", static_cast<UINT>(IDC_BROWSE_CHOOSE), 181, 28, 52, 14,
              WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
             {"Static", "", static_cast<UINT>(IDC_BROWSE_STATUS), 7, 48, 226, 20, WS_VISIBLE | SS_LEFT},
             {"Button", "OK", static_cast<UINT>(IDOK), 129, 75, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
             {"Button", "Cancel", static_cast<UINT>(IDCANCEL), 183, 75, 50, 14,
              WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON}}};
        m_lpDialogTemplate = &m_tmpl;
    }

    std::string Selection() const
    {
        CString text;
        if (m_hWnd)
            GetDlgItemText(IDC_BROWSE_PATH, text);
        return text.GetString();
    }
    std::string chosen;

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (!m_root.empty()) {
            SetDlgItemText(IDC_BROWSE_PATH, m_root.c_str());
            current = m_root;
        }
        if (!(m_bi.ulFlags & BIF_STATUSTEXT))
            GetDlgItem(IDC_BROWSE_STATUS)->ShowWindow(SW_HIDE);
        Notify(BFFM_INITIALIZED, 0);
        return TRUE;
    }

    void OnOK() override
    {
        const std::string path = Selection();
        if (!Acceptable(path)) {
            MessageBeep(0);
            return;
        }
        chosen = path;
        EndDialog(IDOK);
    }

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        const int id = LOWORD(static_cast<DWORD>(wParam));
        const UINT code = HIWORD(static_cast<DWORD>(wParam));
        if (id == IDC_BROWSE_PATH && code == EN_CHANGE) {
            SelectionChanged();
            return TRUE;
        }
        if (id == IDC_BROWSE_CHOOSE && code == BN_CLICKED) {
            const std::string start = Selection().empty() ? m_root : Selection();
            const QString dir = QFileDialog::getExistingDirectory(
                GetWidget(), QString::fromUtf8(m_bi.lpszTitle ? m_bi.lpszTitle : ""), QString::fromStdString(start),
                QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
            if (!dir.isEmpty())
                SetDlgItemText(IDC_BROWSE_PATH, dir.toUtf8().constData());
            return TRUE;
        }
        return CDialog::OnCommand(wParam, lParam);
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case BFFM_SETSTATUSTEXT:
            SetDlgItemText(IDC_BROWSE_STATUS, reinterpret_cast<LPCSTR>(lParam));
            return 0;
        case BFFM_ENABLEOK:
            if (CWnd* ok = GetDlgItem(IDOK))
                ok->EnableWindow(lParam != 0);
            return 0;
        case BFFM_SETOKTEXT:
            SetDlgItemText(IDOK, reinterpret_cast<LPCSTR>(lParam));
            return 0;
        case BFFM_SETSELECTION: {
            char path[MAX_PATH] = "";
            if (wParam)
                CopyText(path, sizeof path, reinterpret_cast<LPCSTR>(lParam) ? reinterpret_cast<LPCSTR>(lParam) : "");
            else if (!SHGetPathFromIDList(reinterpret_cast<LPCITEMIDLIST>(lParam), path))
                return 0;
            SetDlgItemText(IDC_BROWSE_PATH, path);
            SelectionChanged();
            return 0;
        }
        default:
            return CDialog::WindowProc(message, wParam, lParam);
        }
    }

public:
    // An existing folder inside the root.
    bool Acceptable(const std::string& path) const
    {
        if (!IsDirectory(path))
            return false;
        if (m_root.empty())
            return true;
        const std::string root = m_root.back() == '/' ? m_root : m_root + "/";
        return path == m_root || path.compare(0, root.size(), root) == 0;
    }

    // The selection when the browser closed.
    std::string current;

private:
    void SelectionChanged()
    {
        const std::string now = Selection();
        if (now == current)
            return;
        current = now;
        ITEMIDLIST* item = ILCreateFromPath(now.c_str());
        Notify(BFFM_SELCHANGED, reinterpret_cast<LPARAM>(item));
        ILFree(item);
    }

    void Notify(UINT msg, LPARAM lParam)
    {
        if (m_bi.lpfn)
            m_bi.lpfn(m_hWnd, msg, lParam, m_bi.lParam);
    }

    BROWSEINFO m_bi;
    std::string m_root;
    qlafx::DialogTemplate m_tmpl;
};

class DesktopFolder : public IShellFolder {};

}  // namespace

LPITEMIDLIST ILCreateFromPath(LPCSTR pszPath)
{
    if (!pszPath || !*pszPath)
        return nullptr;
    std::string path = pszPath;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (!Exists(path))
        return nullptr;
    auto* item = static_cast<ITEMIDLIST*>(std::malloc(offsetof(ITEMIDLIST, path) + path.size() + 1));
    if (!item)
        return nullptr;
    item->magic = kItemMagic;
    std::memcpy(item->path, path.c_str(), path.size() + 1);
    return item;
}

void ILFree(LPITEMIDLIST pidl) { std::free(pidl); }
void CoTaskMemFree(void* pv) { std::free(pv); }

BOOL SHGetPathFromIDList(LPCITEMIDLIST pidl, LPSTR pszPath)
{
    if (!pszPath)
        return FALSE;
    *pszPath = '\0';
    if (!pidl || pidl->magic != kItemMagic)
        return FALSE;
    CopyText(pszPath, MAX_PATH, pidl->path);
    return std::strlen(pidl->path) < MAX_PATH;
}

LPITEMIDLIST SHBrowseForFolder(LPBROWSEINFO lpbi)
{
    if (!lpbi)
        return nullptr;
    CFolderBrowserDlg dlg(*lpbi);
    if (dlg.DoModal() != IDOK)
        return nullptr;
    // A hook's answer has not been through OnOK: check it the same way.
    if (dlg.chosen.empty())
        dlg.chosen = dlg.current;
    if (!dlg.Acceptable(dlg.chosen))
        return nullptr;
    if (lpbi->pszDisplayName)
        CopyText(lpbi->pszDisplayName, MAX_PATH, NameOf(dlg.chosen).empty() ? dlg.chosen : NameOf(dlg.chosen));
    return ILCreateFromPath(dlg.chosen.c_str());
}

HRESULT IShellFolder::ParseDisplayName(HWND, void*, const wchar_t* pszDisplayName, ULONG* pchEaten,
                                       LPITEMIDLIST* ppidl, ULONG*)
{
    if (!ppidl || !pszDisplayName)
        return E_FAIL;
    *ppidl = nullptr;
    QString path = QString::fromWCharArray(pszDisplayName);
    if (pchEaten)
        *pchEaten = static_cast<ULONG>(path.size());
    *ppidl = ILCreateFromPath(path.toUtf8().constData());
    return *ppidl ? S_OK : E_FAIL;
}

ULONG IShellFolder::Release() { return 0; }

HRESULT SHGetDesktopFolder(IShellFolder** ppshf)
{
    static DesktopFolder desktop;
    if (!ppshf)
        return E_FAIL;
    *ppshf = &desktop;
    return S_OK;
}
