#include "editor/shell/SaveWithSizeDlg.h"

#include "editor/shell/JpegSizeSearch.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/DataExchange.h"
#include "platform/codec/QLImageCodec.h"

namespace {

constexpr UINT WM_SIZE_SEARCH = WM_APP + 322;
enum : WPARAM { kNoticeProgress = 0, kNoticeDone = 1 };

}  // namespace

BEGIN_MESSAGE_MAP(CSaveWithSizeDlg, CSkinDialog)
    ON_MESSAGE(WM_SIZE_SEARCH, OnSearchNotice)
END_MESSAGE_MAP()

CSaveWithSizeDlg::CSaveWithSizeDlg(CWnd* parent, const CQLImage* image)
    : CSkinDialog(IDD_SAVE_WITH_SIZE, parent), m_image(image)
{
}

CSaveWithSizeDlg::~CSaveWithSizeDlg()
{
    JoinWorker();
}

void CSaveWithSizeDlg::JoinWorker()
{
    if (m_worker.joinable())
        m_worker.join();
}

BOOL CSaveWithSizeDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    SendDlgItemMessage(IDC_SIZE_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendDlgItemMessage(IDC_SIZE_PROGRESS, PBM_SETPOS, 0);
    return TRUE;
}

void CSaveWithSizeDlg::DoDataExchange(CDataExchange* pDX)
{
    CSkinDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_WANTED_SIZE, m_wantedKB);
}

void CSaveWithSizeDlg::OnOK()
{
    if (m_searching || !UpdateData(TRUE))
        return;
    const JpegSizeSearch search(m_wantedKB, m_exifSize);
    m_wantedKB = search.WantedKB();
    UpdateData(FALSE);
    for (UINT id : {static_cast<UINT>(IDOK), static_cast<UINT>(IDCANCEL)})
        if (CWnd* button = GetDlgItem(id))
            button->EnableWindow(FALSE);
    m_searching = TRUE;
    const HWND notify = m_hWnd;
    const CQLImage* image = m_image;
    const int colourOffset = m_highQuality ? 100 : 0;
    const unsigned int* table = m_adaptiveTable;
    m_worker = std::thread([=] {
        auto encode = [=](int quality, DWORD* bytes) {
            if (!image)
                return false;
            CQLImageCodec codec;
            if (table)
                codec.SetJpegAdaptiveQTable(table);
            BYTE* data = nullptr;
            DWORD length = 0;
            if (!codec.SaveToJpegMem(&data, &length, image, quality + colourOffset))
                return false;
            delete[] data;
            *bytes = length;
            return true;
        };
        auto progress = [notify](int value) { ::PostMessage(notify, WM_SIZE_SEARCH, kNoticeProgress, value); };
        const int result = search.Run(encode, progress);
        ::PostMessage(notify, WM_SIZE_SEARCH, kNoticeDone, result);
    });
}

// Nothing ends the dialog while the search runs.
void CSaveWithSizeDlg::OnCancel()
{
    if (!m_searching)
        CSkinDialog::OnCancel();
}

LRESULT CSaveWithSizeDlg::OnSearchNotice(WPARAM kind, LPARAM value)
{
    if (kind == kNoticeProgress) {
        SendDlgItemMessage(IDC_SIZE_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(value));
        return 0;
    }
    JoinWorker();
    m_searching = FALSE;
    const int result = static_cast<int>(value);
    if (result < 0) {
        EndDialog(IDCANCEL);
        return 0;
    }
    m_quality = result;
    EndDialog(IDOK);
    return 0;
}

int RunSaveWithSizeDlg(CWnd* parent, const CQLImage* image, int highQualityColor, int exifBytes,
                       const unsigned int* adaptiveTable, int* quality)
{
    CSaveWithSizeDlg dialog(parent, image);
    dialog.m_highQuality = highQualityColor;
    dialog.m_exifSize = exifBytes;
    dialog.m_adaptiveTable = adaptiveTable;
    const int answer = static_cast<int>(dialog.DoModal());
    if (answer == IDOK && quality)
        *quality = dialog.m_quality;
    return answer;
}
