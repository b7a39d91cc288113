#include "collage/CollageDlg.h"

#include "collage/CollageTexts.h"
#include "collage/PasteRangeDlg.h"
#include "collage/SmallDialogs.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/QtBridge.h"
#include "platform/codec/QLImageCodec.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <future>

namespace collage {

const char kImageFilter[] =
    "All Image Files|*.bmp;*.jpg;*.jpeg;*.gif;*.pcx;*.tif;*.tiff;*.tga;*.png|Windows Bitmap Files(*.bmp)|*.bmp|Jpeg "
    "Files(*.jpg;*.jpeg)|*.jpg;*.jpeg|Tagged Image File Format(*.tif;*.tiff)|*.tif;*.tiff|Compuserve "
    "GIF(*.gif)|*.gif|Portable Network Graphics(*.png)|*.png|Zsoft PaintBrush Fils(*.pcx)|*.pcx|Truevision "
    "Targa(*.tga)|*.tga||";

namespace {

int WidthOf(const CQLImage& image)
{
    UINT w, h;
    image.GetSize(&w, &h);
    return static_cast<int>(w);
}

int HeightOf(const CQLImage& image)
{
    UINT w, h;
    image.GetSize(&w, &h);
    return static_cast<int>(h);
}

bool HasTransparency(const CQLImage& image)
{
    const int w = WidthOf(image), h = HeightOf(image);
    for (int y = 0; y < h; ++y) {
        const BYTE* p = image.GetBuffer(0, y);
        for (int x = 0; x < w; ++x)
            if (p[x * 4 + 3] != 255)
                return true;
    }
    return false;
}

// Runs work off the window thread while the window keeps painting; input to
// the dialog is held back until it is done.
template <class Work>
auto RunOffThread(CWnd* window, Work work)
{
    auto future = std::async(std::launch::async, work);
    window->EnableWindow(FALSE);
    while (future.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
        qlafx::ProcessPendingEvents();
    window->EnableWindow(TRUE);
    return future.get();
}

void CopyText(char* to, size_t size, const std::string& text) { std::snprintf(to, size, "%s", text.c_str()); }

} // namespace

BOOL CTemplateListPanel::Create(const RECT& rect, CWnd* parent)
{
    return CThumbListCtrl::Create(AfxRegisterWndClass(CS_DBLCLKS), "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect,
                                  parent, kListId);
}

BEGIN_MESSAGE_MAP(CCollageDlg, CDialog)
    ON_WM_SIZE()
    ON_WM_TIMER()
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_BN_CLICKED(IDC_SELECT, OnSelect)
    ON_BN_CLICKED(IDC_PHOTOS, OnPhotos)
    ON_BN_CLICKED(IDC_DELETE, OnDelete)
    ON_BN_CLICKED(IDC_SAVE, OnSave)
    ON_BN_CLICKED(IDC_LOAD_REFERENCE, OnLoadReference)
    ON_BN_CLICKED(IDC_DELETE_BOX, OnDeleteBox)
    ON_BN_CLICKED(IDC_PREVIOUS_BOX, OnPreviousBox)
    ON_BN_CLICKED(IDC_NEXT_BOX, OnNextBox)
    ON_COMMAND(ID_APPLY_TO_ALL, OnApplyToAll)
    ON_COMMAND_RANGE(kBoxCommand, kBoxCommand + kMaxBoxes - 1, OnBoxPhoto)
    ON_MESSAGE(WM_THUMBLIST_NOTIFY, OnListNotify)
    ON_MESSAGE(WM_COLLAGE_COMPOSED, OnComposed)
END_MESSAGE_MAP()

CCollageDlg::CCollageDlg(const CollageStart& start, CWnd* parent)
    : CDialog(kMainDialog, parent), m_start(start), m_editMode(start.editMode)
{
}

CCollageDlg::~CCollageDlg() { StopCompose(); }

int CCollageDlg::Message(const char* key, UINT type) { return AfxMessageBox(Texts().GetText(key), type); }

BOOL CCollageDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (CMenu* sys = GetSystemMenu(FALSE)) {
        CString about;
        about.LoadString(101);
        sys->AppendMenu(MF_SEPARATOR);
        sys->AppendMenu(MF_STRING, kAboutCommand, about);
    }
    if (HICON icon = AfxGetApp()->LoadIcon(128)) {
        SetIcon(icon, TRUE);
        SetIcon(icon, FALSE);
    }
    std::error_code ec;
    std::filesystem::remove(ResultPath(), ec);

    const CRect start(10, 10, 100, 100);
    m_canvas.Create(start, this);
    m_listPanel.Create(start, this);
    m_preview.Create(start, this);
    m_preview.SetTemplate(&m_template);
    SendDlgItemMessage(IDC_NAME, EM_LIMITTEXT, 31, 0);

    if (!m_editMode) {
        LoadCommandLinePhoto();
        BuildTemplateList();
    }
    ShowModeControls();
    SetTimer(kTimerId, 100, nullptr);
    m_layoutReady = true;
    Layout();
    UpdateControls();
    return TRUE;
}

void CCollageDlg::LoadCommandLinePhoto()
{
    const std::string& path = m_start.photoPath;
    if (path.empty())
        return;
    BoxPhoto& box = m_photos[0];
    if (!CQLImageCodec().LoadFile(path.c_str(), &box.photo)) {
        box.Clear();
        Message("cannotopen");
        return;
    }
    CopyText(box.path, sizeof box.path, path);
    CopyText(box.name, sizeof box.name, std::filesystem::path(path).filename().string());
    box.range = RECT{0, 0, WidthOf(box.photo), HeightOf(box.photo)};
}

void CCollageDlg::BuildTemplateList()
{
    m_listPanel.DeleteAllItems();
    m_list = ScanTemplateFolder(TemplateFolder());
    for (size_t i = 0; i < m_list.size(); ++i) {
        const int item = m_listPanel.AddItem(m_list[i].name, &m_list[i].thumbnail);
        m_listPanel.SetItemData(item, static_cast<DWORD>(i));
    }
    m_listPanel.Invalidate();
}

void CCollageDlg::ShowModeControls()
{
    const int edit = m_editMode ? SW_SHOW : SW_HIDE;
    const int normal = m_editMode ? SW_HIDE : SW_SHOW;
    for (UINT id : {IDC_NAME_LABEL, IDC_NAME, IDC_SAVE, IDC_LOAD_REFERENCE, IDC_DELETE_BOX, IDC_PREVIOUS_BOX, IDC_NEXT_BOX})
        if (CWnd* item = GetDlgItem(id))
            item->ShowWindow(edit);
    for (UINT id : {IDC_SELECT, IDC_PHOTOS, IDC_DELETE})
        if (CWnd* item = GetDlgItem(id))
            item->ShowWindow(normal);
    m_canvas.ShowWindow(edit);
    m_listPanel.ShowWindow(normal);
    m_preview.ShowWindow(SW_HIDE);
    m_listShown = false;
}

void CCollageDlg::Layout()
{
    if (!m_layoutReady)
        return;
    CRect client;
    GetClientRect(&client);
    const int cw = client.Width(), ch = client.Height();
    auto place = [&](UINT id, int x, int y, int w, int h) {
        if (CWnd* item = GetDlgItem(id))
            item->MoveWindow(x, y, w, h, TRUE);
    };
    const CRect area(10, 10, cw - 10, ch - 90);
    m_canvas.MoveWindow(&area);
    m_listPanel.MoveWindow(&area);
    m_preview.MoveWindow(&area);
    const int row = ch - 80;
    place(IDC_NAME_LABEL, 2, row, 78, 24);
    place(IDC_NAME, 80, row, 100, 24);
    place(IDC_SAVE, 180, row, 40, 24);
    place(IDC_LOAD_REFERENCE, cw - 320, row, 120, 24);
    place(IDC_DELETE_BOX, cw - 200, row, 120, 24);
    place(IDC_PREVIOUS_BOX, cw - 75, row, 32, 24);
    place(IDC_NEXT_BOX, cw - 40, row, 32, 24);
    place(IDC_SELECT, 10, row, 150, 24);
    place(IDC_PHOTOS, 165, row, 150, 24);
    place(IDC_DELETE, cw - 150, row, 140, 24);
    place(IDC_ETCHED, 5, ch - 50, cw - 10, 2);
    place(IDOK, cw - 200, ch - 40, 90, 25);
    place(IDCANCEL, cw - 100, ch - 40, 90, 25);
}

void CCollageDlg::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    Layout();
}

void CCollageDlg::OnPaint()
{
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    if (HICON icon = AfxGetApp()->LoadIcon(128))
        dc.DrawIcon((client.Width() - 32 + 1) / 2, (client.Height() - 32 + 1) / 2, icon);
}

void CCollageDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    if (nID >= 16 && nID <= 31) {
        CCollageAboutDlg about(this);
        about.DoModal();
        return;
    }
    CDialog::OnSysCommand(nID, lParam);
}

void CCollageDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kTimerId)
        UpdateControls();
    else
        CDialog::OnTimer(nIDEvent);
}

void CCollageDlg::UpdateControls()
{
    auto enable = [&](UINT id, bool on) {
        if (CWnd* item = GetDlgItem(id))
            item->EnableWindow(on ? TRUE : FALSE);
    };
    if (m_editMode) {
        const int selected = m_canvas.Selected();
        const int count = static_cast<int>(m_canvas.Template().boxes.size());
        CString name;
        GetDlgItemText(IDC_NAME, name);
        enable(IDC_SAVE, m_canvas.HasFrame() && selected >= 0 && !name.IsEmpty());
        enable(IDC_DELETE_BOX, selected >= 0);
        enable(IDC_PREVIOUS_BOX, selected > 0);
        enable(IDC_NEXT_BOX, selected >= 0 && selected < count - 1);
        return;
    }
    if (m_selecting) {
        if (!m_listShown) {
            m_listPanel.ShowWindow(SW_SHOW);
            SetDlgItemText(IDC_SELECT, Texts().GetText("selframe"));
            m_listShown = true;
        }
        m_preview.ShowWindow(SW_HIDE);
        enable(IDC_PHOTOS, false);
        enable(IDOK, false);
        enable(IDC_DELETE, m_listPanel.GetCurSel() >= 0);
    } else {
        if (m_listShown) {
            m_listPanel.ShowWindow(SW_HIDE);
            SetDlgItemText(IDC_SELECT, Texts().GetText("selagain"));
            m_listShown = false;
        }
        m_preview.ShowWindow(SW_SHOW);
        enable(IDC_PHOTOS, true);
        enable(IDOK, true);
        enable(IDC_DELETE, false);
    }
}

// ---- normal mode ----

void CCollageDlg::OnSelect()
{
    if (m_editMode)
        return;
    if (!m_selecting) {
        m_selecting = true;
        UpdateControls();
        return;
    }
    const int item = m_listPanel.GetCurSel();
    if (item < 0)
        return;
    const DWORD index = m_listPanel.GetItemData(item);
    if (index >= m_list.size())
        return;
    StopCompose();
    if (!ReadTemplate(m_list[index].path, &m_template))
        return;
    m_switchWhenComposed = true;
    StartCompose();
}

LRESULT CCollageDlg::OnListNotify(WPARAM wParam, LPARAM)
{
    if (wParam == ThumbListActivate)
        OnSelect();
    return 0;
}

void CCollageDlg::OnPhotos()
{
    CMenu menu;
    if (!menu.LoadMenu(kBoxMenu))
        return;
    CMenu* popup = menu.GetSubMenu(0);
    if (!popup)
        return;
    for (size_t i = 0; i < m_template.boxes.size() && i < kMaxBoxes; ++i) {
        char text[400];
        std::snprintf(text, sizeof text, "%s %02d - %s", Texts().GetText("file"), static_cast<int>(i + 1),
                      m_photos[i].name);
        popup->AppendMenu(MF_STRING, kBoxCommand + static_cast<UINT>(i), text);
    }
    CRect button;
    GetDlgItem(IDC_PHOTOS)->GetWindowRect(&button);
    popup->TrackPopupMenu(TPM_LEFTALIGN, button.right, button.top, this);
}

bool CCollageDlg::ChoosePhoto(int index, bool askRange)
{
    if (index < 0 || index >= static_cast<int>(m_template.boxes.size()))
        return false;
    CFileDialog open(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kImageFilter, this);
    if (open.DoModal() != IDOK)
        return false;
    const std::string path = open.GetPathName().GetString();
    StopCompose();
    BoxPhoto& box = m_photos[index];
    // An earlier box with this file already holds it: share that photo.
    const BoxPhoto* owner = nullptr;
    for (int j = index - 1; j >= 0 && !owner; --j)
        if (m_photos[j].HasPhoto() && path == m_photos[j].path)
            owner = &m_photos[j];
    CQLImage loaded;
    if (!owner && !CQLImageCodec().LoadFile(path.c_str(), &loaded)) {
        Message("cannotopen");
        return false;
    }
    // Later boxes that showed this box's old photo: the first gets a copy,
    // the others share it from there.
    if (box.HasPhoto())
        for (int j = index + 1; j < kMaxBoxes; ++j)
            if (!m_photos[j].HasPhoto() && std::strcmp(m_photos[j].path, box.path) == 0) {
                m_photos[j].photo.DuplicateFrom(&box.photo);
                break;
            }
    CopyText(box.path, sizeof box.path, path);
    CopyText(box.name, sizeof box.name, std::filesystem::path(path).filename().string());
    if (owner) {
        box.photo.Free();
        box.range = RECT{0, 0, WidthOf(owner->photo), HeightOf(owner->photo)};
    } else {
        box.photo = std::move(loaded);
        box.range = RECT{0, 0, WidthOf(box.photo), HeightOf(box.photo)};
    }
    if (askRange) {
        CQLImage* shown = owner ? const_cast<CQLImage*>(&owner->photo) : &box.photo;
        CPasteRangeDlg range(shown, box.range, m_template.boxes[index], owner == nullptr, this);
        if (range.DoModal() != IDOK) {
            box.Clear();
            return false;
        }
        box.range = range.m_range;
    }
    return true;
}

void CCollageDlg::OnBoxPhoto(UINT nID)
{
    if (m_selecting)
        return;
    ChoosePhoto(static_cast<int>(nID - kBoxCommand), true);
    StartCompose();
}

void CCollageDlg::OnApplyToAll()
{
    if (!ChoosePhoto(0, true)) {
        StartCompose();
        return;
    }
    for (size_t i = 1; i < m_template.boxes.size() && i < kMaxBoxes; ++i) {
        BoxPhoto& box = m_photos[i];
        box.photo.Free();
        std::memcpy(box.name, m_photos[0].name, sizeof box.name);
        std::memcpy(box.path, m_photos[0].path, sizeof box.path);
        box.range = m_photos[0].range;
    }
    StartCompose();
}

void CCollageDlg::OnDelete()
{
    const int item = m_listPanel.GetCurSel();
    if (item < 0 || m_listPanel.GetItemData(item) >= m_list.size())
        return;
    if (Message("deletewarning", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    std::error_code ec;
    std::filesystem::remove(m_list[m_listPanel.GetItemData(item)].path, ec);
    BuildTemplateList();
    Invalidate();
}

// ---- composition ----

void CCollageDlg::StartCompose()
{
    StopCompose();
    m_cancel = false;
    const UINT generation = ++m_generation;
    HWND hwnd = m_hWnd;
    m_composer = std::thread([this, generation, hwnd] {
        const bool ok = ComposeCollage(m_template, m_photos, &m_pending, &m_cancel);
        ::PostMessage(hwnd, WM_COLLAGE_COMPOSED, generation, ok ? 1 : 0);
    });
}

void CCollageDlg::StopCompose()
{
    if (!m_composer.joinable())
        return;
    m_cancel = true;
    m_composer.join();
    ++m_generation; // its message, still queued, is for nobody now
}

void CCollageDlg::FinishCompose()
{
    if (!m_composer.joinable())
        return;
    m_composer.join();
    ++m_generation;
    TakeComposition(!m_cancel && WidthOf(m_pending) > 0);
}

LRESULT CCollageDlg::OnComposed(WPARAM wParam, LPARAM lParam)
{
    if (wParam != m_generation || !m_composer.joinable())
        return 0;
    m_composer.join();
    TakeComposition(lParam != 0);
    return 0;
}

void CCollageDlg::TakeComposition(bool ok)
{
    const bool switching = m_switchWhenComposed;
    m_switchWhenComposed = false;
    if (!ok)
        return;
    m_preview.Result() = std::move(m_pending);
    m_preview.SetEmptyBoxes(BoxesWithoutPhoto(m_template, m_photos));
    if (switching) {
        m_selecting = false;
        UpdateControls();
    }
    m_preview.Refresh();
}

void CCollageDlg::OnOK()
{
    if (m_editMode) {
        CDialog::OnOK();
        return;
    }
    if (m_selecting)
        return;
    FinishCompose();
    const CQLImage& result = m_preview.Result();
    if (WidthOf(result) <= 0 || !CQLImageCodec().SaveFile(ResultPath().c_str(), &result)) {
        Message("cannotsave");
        return;
    }
    CDialog::OnOK();
}

void CCollageDlg::OnCancel()
{
    StopCompose();
    CDialog::OnCancel();
}

// ---- frame-edit mode ----

void CCollageDlg::OnLoadReference()
{
    CFileDialog open(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kImageFilter, this);
    if (open.DoModal() != IDOK)
        return;
    CQLImage picture;
    if (!CQLImageCodec().LoadFile(open.GetPathName().GetString(), &picture)) {
        Message("cannotopen");
        return;
    }
    if (!HasTransparency(picture)) {
        CMattingDlg matting(this);
        size_t transparent = 0;
        if (matting.DoModal() == IDOK) {
            const MattingColour colour = matting.m_colour;
            transparent = RunOffThread(this, [&] { return MattingKey(&picture, colour); });
        }
        if (transparent == 0)
            Message("noalpha");
    }
    m_canvas.Template().frame = std::move(picture);
    m_canvas.ResetFrame();
}

void CCollageDlg::OnSave()
{
    CString text;
    GetDlgItemText(IDC_NAME, text);
    const std::string name = SanitiseTemplateName(text.GetString());
    if (name.empty())
        return;
    CollageTemplate& tpl = m_canvas.Template();
    std::memset(tpl.name, 0, sizeof tpl.name);
    std::snprintf(tpl.name, sizeof tpl.name, "%s", text.GetString());
    // The question is asked here; the box map is built on all cores first.
    bool uncovered = false;
    const BoxMapResult map = BuildBoxMap(tpl, [&] {
        uncovered = true;
        return true;
    });
    if (map == BoxMapResult::Failed) {
        Message("unexcept");
        return;
    }
    if (uncovered && Message("notrans", MB_YESNO) != IDYES)
        return;
    const std::string path = TemplateFolder() + name + ".mfm";
    if (!RunOffThread(this, [&] { return WriteTemplateFile(tpl, path); })) {
        Message("cannotsave");
        return;
    }
    CDialog::OnOK();
}

void CCollageDlg::OnDeleteBox() { m_canvas.DeleteSelectedBox(); }

void CCollageDlg::OnPreviousBox()
{
    if (m_canvas.Selected() > 0)
        m_canvas.SelectBox(m_canvas.Selected() - 1);
}

void CCollageDlg::OnNextBox()
{
    const int count = static_cast<int>(m_canvas.Template().boxes.size());
    if (m_canvas.Selected() >= 0 && m_canvas.Selected() < count - 1)
        m_canvas.SelectBox(m_canvas.Selected() + 1);
}

} // namespace collage
