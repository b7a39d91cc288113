#include "snap/CameraDlg.h"

#include "platform/afx/DC.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/MsgMap.h"
#include "snap/SnapFrames.h"
#include "snap/SnapTexts.h"

#include <vector>

namespace snap {

CCameraDlg*& FrameReceiver()
{
    static CCameraDlg* receiver = nullptr;
    return receiver;
}

BEGIN_MESSAGE_MAP(CCameraDlg, CDialog)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_BN_CLICKED(1006, OnSetup)
    ON_BN_CLICKED(1007, OnFormatSetup)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CPreviewFrame, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

void CPreviewFrame::OnPaint()
{
    CPaintDC dc(this);
    RECT rc;
    GetClientRect(&rc);
    CBrush black(RGB(0, 0, 0));
    dc.FrameRect(&rc, &black);
    if (m_owner)
        m_owner->DrawFrame(&dc, m_owner->m_shown, m_owner->PreviewOrigin());
}

CCameraDlg::CCameraDlg(CWnd* parent) : CDialog(130, parent) {}

CCameraDlg::~CCameraDlg()
{
    if (FrameReceiver() == this)
        FrameReceiver() = nullptr;
}

int CCameraDlg::OnCreate(LPCREATESTRUCT cs)
{
    if (CDialog::OnCreate(cs) == -1)
        return -1;
    m_capture = capCreateCaptureWindow("Capture", WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, m_hWnd, 17761);
    if (!m_capture || !capDriverConnect(m_capture, 0)) {
        AfxMessageBox(Texts().GetText("cannotfindcam"), MB_OK);
        return -1;
    }
    capPreviewRate(m_capture, 66);
    capPreview(m_capture, TRUE);
    return 0;
}

BOOL CCameraDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_preview.m_owner = this;
    m_preview.SubclassDlgItem(1002, this);
    FrameReceiver() = this;
    capSetCallbackOnFrame(m_capture, &CCameraDlg::OnFrame);
    return TRUE;
}

LRESULT CCameraDlg::OnFrame(HWND capture, LPVIDEOHDR header)
{
    CCameraDlg* dlg = FrameReceiver();
    if (!dlg || !header)
        return 0;
    const DWORD size = capGetVideoFormatSize(capture);
    if (size < sizeof(BITMAPINFOHEADER))
        return 0;
    std::vector<BYTE> format(size);
    capGetVideoFormat(capture, format.data(), size);
    BITMAPINFOHEADER h;
    std::memcpy(&h, format.data(), sizeof h);
    dlg->ShowFrame(&h, header->lpData, header->dwBytesUsed);
    return 1;
}

RECT CCameraDlg::PreviewTarget()
{
    RECT r{0, 0, 0, 0};
    if (CWnd* frame = GetDlgItem(1002)) {
        frame->GetWindowRect(&r);
        ScreenToClient(&r);
        InflateRect(&r, -2, -2);
    }
    return r;
}

void CCameraDlg::ShowFrame(const BITMAPINFOHEADER* format, const BYTE* bits, std::size_t size)
{
    CQLImage frame;
    // Only frames whose bytes are all there are drawn or taken.
    if (!format || !FrameToImage(*format, bits, size, &frame))
        return;
    DrawNow(frame);
    if (m_grab) {
        m_grab = 0;
        m_image = std::move(frame);
        StopCamera();
        EndDialog(IDOK);
        return;
    }
    m_shown = std::move(frame);
}

POINT CCameraDlg::PreviewOrigin()
{
    RECT r{0, 0, 0, 0};
    if (m_preview.m_hWnd) {
        m_preview.GetWindowRect(&r);
        ScreenToClient(&r);
    }
    return POINT{r.left, r.top};
}

void CCameraDlg::DrawNow(const CQLImage& frame)
{
    if (!m_preview.m_hWnd)
        return;
    CClientDC dc(&m_preview);
    DrawFrame(&dc, frame, PreviewOrigin());
}

void CCameraDlg::DrawFrame(CDC* dc, const CQLImage& frame, POINT origin)
{
    UINT sw = 0, sh = 0;
    frame.GetSize(&sw, &sh);
    if (!sw || !sh)
        return;
    RECT t = FitFrame(PreviewTarget(), static_cast<int>(sw), static_cast<int>(sh));
    OffsetRect(&t, -origin.x, -origin.y);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = static_cast<LONG>(sw);
    bi.bmiHeader.biHeight = -static_cast<LONG>(sh);  // the image's rows run top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    const int old = dc->SetStretchBltMode(HALFTONE);
    ::StretchDIBits(dc->GetSafeHdc(), t.left, t.top, t.right - t.left, t.bottom - t.top, 0, 0, static_cast<int>(sw),
                    static_cast<int>(sh), frame.GetBuffer(0, 0), &bi, DIB_RGB_COLORS, SRCCOPY);
    dc->SetStretchBltMode(old);
}

void CCameraDlg::StopCamera()
{
    if (!m_capture)
        return;
    capSetCallbackOnFrame(m_capture, nullptr);
    capPreview(m_capture, FALSE);
    capDriverDisconnect(m_capture);
}

void CCameraDlg::OnOK()
{
    m_grab = 1;
}

void CCameraDlg::OnCancel()
{
    m_grab = 0;
    StopCamera();
    EndDialog(IDCANCEL);
}

void CCameraDlg::OnSetup()
{
    capDlgVideoSource(m_capture);
}

void CCameraDlg::OnFormatSetup()
{
    CAPDRIVERCAPS caps{};
    if (capDriverGetCaps(m_capture, &caps, sizeof caps) && caps.fHasDlgVideoFormat) {
        capDlgVideoFormat(m_capture);
        Invalidate();
    }
}

void CCameraDlg::OnDestroy()
{
    StopCamera();
    if (FrameReceiver() == this)
        FrameReceiver() = nullptr;
    CDialog::OnDestroy();
}

} // namespace snap
