#include "editor/retouch/MultiPhotoSelectDlg.h"

#include "editor/retouch/MultiWork.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/MessageBox.h"

#include <cstdio>

namespace {

constexpr int kTextAddFailed = 131;

constexpr char kImageFilter[] =
    "All Image Files|*.bmp;*.jpg;*.jpeg;*.gif;*.pcx;*.tif;*.tiff;*.tga;*.png|Windows Bitmap Files(*.bmp)|*.bmp|"
    "Jpeg Files(*.jpg;*.jpeg)|*.jpg;*.jpeg|Tagged Image File Format(*.tif;*.tiff)|*.tif;*.tiff|"
    "Compuserve GIF(*.gif)|*.gif|Portable Network Graphics(*.png)|*.png|Zsoft PaintBrush Fils(*.pcx)|*.pcx|"
    "Truevision Targa(*.tga)|*.tga||";

}  // namespace

BEGIN_MESSAGE_MAP(CMultiPhotoSelectDlg, CSkinDialog)
    ON_BN_CLICKED(IDC_MULTI_ADD, OnAdd)
    ON_BN_CLICKED(IDC_MULTI_DEL, OnDel)
    ON_BN_CLICKED(IDC_MULTI_SAMPLE, OnSample)
    ON_MESSAGE(WM_THUMBLIST_NOTIFY, OnListNotify)
END_MESSAGE_MAP()

CMultiPhotoSelectDlg::CMultiPhotoSelectDlg(CMultiWork* work, CWnd* parent)
    : CSkinDialog(IDD_MULTI_PHOTO_SELECT, parent), m_work(work)
{
}

BOOL CMultiPhotoSelectDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    CMultiWork::calls.messageBox = ::MessageBox;
    SetDlgItemText(IDC_MULTI_DESCRIPTION, m_work->GetDescription());
    CRect place(0, 0, 100, 100);
    if (CWnd* holder = GetDlgItem(IDC_MULTI_LIST_PLACE)) {
        holder->GetWindowRect(&place);
        ScreenToClient(&place);
        holder->ShowWindow(SW_HIDE);
    }
    m_list.Create(AfxRegisterWndClass(CS_DBLCLKS), "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, place, this, IDC_MULTI_LIST);
    m_list.SetHalftone(TRUE);
    m_work->ClearImages();
    if (!m_work->AddPhoto(thePhotoDocument.m_path, m_hWnd)) {
        MessageBox(theUITextTable.GetText(kTextAddFailed), nullptr, MB_OK);
        EndDialog(IDCANCEL);
        return TRUE;
    }
    Refill();
    m_list.SetFocus();
    return FALSE;
}

void CMultiPhotoSelectDlg::Refill()
{
    m_list.DeleteAllItems();
    for (int i = 0; i < m_work->PhotoCount(); ++i) {
        MergePhoto* photo = m_work->photos[i];
        const int item = m_list.AddItem(photo->name, &photo->thumb);
        m_list.SetItemData(item, static_cast<DWORD>(i));
    }
    char text[128];
    std::snprintf(text, sizeof text, "Need %d-%d photos, Now have %d:", m_work->minPhotos, m_work->maxPhotos,
                  m_work->PhotoCount());
    SetDlgItemText(IDC_MULTI_COUNT, text);
    GetDlgItem(IDOK)->EnableWindow(m_work->PhotoCount() >= m_work->minPhotos);
    GetDlgItem(IDC_MULTI_ADD)->EnableWindow(m_work->PhotoCount() < m_work->maxPhotos);
    GetDlgItem(IDC_MULTI_DEL)->EnableWindow(FALSE);
    m_list.Invalidate();
}

void CMultiPhotoSelectDlg::AddFile(const char* path)
{
    m_work->AddPhoto(path, m_hWnd);
    Refill();
}

void CMultiPhotoSelectDlg::OnAdd()
{
    CFileDialog dialog(TRUE, "", "", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kImageFilter, this);
    if (dialog.DoModal() == IDOK)
        AddFile(dialog.GetPathName());
}

// The first photo is the open one and stays.
void CMultiPhotoSelectDlg::OnDel()
{
    const int item = m_list.GetCurSel();
    if (item <= 0)
        return;
    const int index = static_cast<int>(m_list.GetItemData(item));
    if (index <= 0 || index >= m_work->PhotoCount())
        return;
    delete m_work->photos[index];
    m_work->photos.erase(m_work->photos.begin() + index);
    Refill();
}

void CMultiPhotoSelectDlg::OnSample()
{
    m_work->ShowHelp();
}

LRESULT CMultiPhotoSelectDlg::OnListNotify(WPARAM code, LPARAM)
{
    if (code == ThumbListSelChange)
        GetDlgItem(IDC_MULTI_DEL)->EnableWindow(m_list.GetCurSel() > 0);
    return 0;
}
