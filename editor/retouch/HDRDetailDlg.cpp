#include "editor/retouch/HDRDetailDlg.h"

#include "editor/retouch/MultiWork.h"
#include "editor/ui/SkinDrawing.h"
#include "platform/afx/DC.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr UINT kSliderIds[4] = {IDC_HDR_HIGHLIGHT, IDC_HDR_MIDTONE, IDC_HDR_SHADOW, IDC_HDR_ENHANCE};

ULONGLONG LuminanceSum(const CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    ULONGLONG sum = 0;
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x) {
            const CPixel p = image.GetPixel2(x, y);
            sum += MergeLuminance(p.b, p.g, p.r);
        }
    return sum;
}

// Shares a and b of rest in their previous ratio.
void Split(int rest, int& a, int& b)
{
    const int total = a + b;
    if (total == 0)
        return;
    a = rest * a / total;
    b = rest * b / total;
}

}  // namespace

BEGIN_MESSAGE_MAP(CHDRDetailDlg, CSkinDialog)
    ON_WM_DRAWITEM()
    ON_NOTIFY_RANGE(NM_RELEASEDCAPTURE, IDC_HDR_HIGHLIGHT, IDC_HDR_MIDTONE, OnSliderReleased)
    ON_NOTIFY(NM_RELEASEDCAPTURE, IDC_HDR_ENHANCE, OnEnhanceReleased)
END_MESSAGE_MAP()

CHDRDetailDlg::CHDRDetailDlg(CMultiWork* work, CWnd* parent) : CSkinDialog(IDD_HDR_DETAIL, parent), m_work(work)
{
}

void CHDRDetailDlg::BuildTables(int shadow, int highlight, int enhance, BYTE bright[256], BYTE dark[256])
{
    for (int k = 0; k < 256; ++k) {
        const int a = (k - 128) * enhance / 200;
        bright[k] = static_cast<BYTE>(std::clamp(shadow - a, 0, 100));
        dark[k] = static_cast<BYTE>(std::clamp(highlight + a, 0, 100));
    }
}

HDRShares CHDRDetailDlg::Rebalance(HDRShares s, UINT moved)
{
    if (moved == IDC_HDR_HIGHLIGHT)
        Split(100 - s.highlight, s.shadow, s.midtone);
    else if (moved == IDC_HDR_MIDTONE)
        Split(100 - s.midtone, s.highlight, s.shadow);
    else if (moved == IDC_HDR_SHADOW)
        Split(100 - s.shadow, s.highlight, s.midtone);
    s.midtone = std::max(1, s.midtone);
    return s;
}

HDRShares CHDRDetailDlg::Shares() const
{
    return {m_sliders[0].GetPos(), m_sliders[1].GetPos(), m_sliders[2].GetPos()};
}

int CHDRDetailDlg::Enhance() const
{
    return m_sliders[3].GetPos();
}

void CHDRDetailDlg::ReadTables()
{
    const HDRShares s = Shares();
    BuildTables(s.shadow, s.highlight, Enhance(), brightTable, darkTable);
}

BOOL CHDRDetailDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    for (int i = 0; i < 4; ++i) {
        m_sliders[i].SubclassDlgItem(kSliderIds[i], this);
        m_sliders[i].SetRange(0, 100);
    }
    CQLImageCodec codec;
    int w = 0, h = 0;
    referencePhoto = m_work->photos[m_work->referenceIndex];
    bool ok = codec.CreateThumbnail(referencePhoto->path, &reference, 512, &w, &h, 1) && result.DuplicateFrom(&reference);
    const ULONGLONG referenceSum = LuminanceSum(referencePhoto->thumb);
    for (int i = 0; ok && i < m_work->PhotoCount(); ++i) {
        if (i == m_work->referenceIndex)
            continue;
        MergePhoto* photo = m_work->photos[i];
        const bool isBrighter = LuminanceSum(photo->thumb) > referenceSum;
        (isBrighter ? brighterPhoto : darkerPhoto) = photo;
        ok = codec.CreateThumbnail(photo->path, isBrighter ? &brighter : &darker, 512, &w, &h, 1) != 0;
    }
    if (!ok) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    HDRShares s{33, 33, 33};
    if (brighterPhoto && !darkerPhoto)
        s = {0, 50, 50};
    else if (!brighterPhoto)
        s = {50, 50, 0};
    m_sliders[0].SetPos(s.highlight);
    m_sliders[1].SetPos(s.midtone);
    m_sliders[2].SetPos(s.shadow);
    m_sliders[3].SetPos(50);
    ComputePreview();
    return TRUE;
}

void CHDRDetailDlg::ComputePreview()
{
    ReadTables();
    UINT w = 0, h = 0;
    reference.GetSize(&w, &h);
    if (result.Create(w, h) != 0 || w == 0)
        return;
    const double s = static_cast<double>(m_work->width) / w;
    auto sampleOf = [&](const CQLImage& thumb, const MergePhoto* photo, int x, int y) {
        UINT tw = 0, th = 0;
        thumb.GetSize(&tw, &th);
        const double* t = photo->transform;
        const int u = static_cast<int>(t[0] * x + t[1] * y + t[2] / s + 0.5);
        const int v = static_cast<int>(t[3] * x + t[4] * y + t[5] / s + 0.5);
        return thumb.GetPixel2(std::clamp(u, 0, static_cast<int>(tw) - 1), std::clamp(v, 0, static_cast<int>(th) - 1));
    };
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x) {
            const CPixel r = reference.GetPixel2(x, y);
            const int l = MergeLuminance(r.b, r.g, r.r);
            const int b = brightTable[l], d = darkTable[l];
            const int m = std::max(1, 100 - b - d);
            int sum[3] = {r.b * m, r.g * m, r.r * m};
            int total = m;
            auto add = [&](const CPixel& p, int weight) {
                sum[0] += p.b * weight, sum[1] += p.g * weight, sum[2] += p.r * weight;
                total += weight;
            };
            if (brighterPhoto)
                add(sampleOf(brighter, brighterPhoto, x, y), b);
            if (darkerPhoto)
                add(sampleOf(darker, darkerPhoto, x, y), d);
            result.PutPixel(x, y, CPixel{static_cast<BYTE>(sum[0] / total), static_cast<BYTE>(sum[1] / total),
                                         static_cast<BYTE>(sum[2] / total), 255});
        }
    CMultiWork::AutoContrastStretch(result);
}

void CHDRDetailDlg::OnSliderReleased(UINT id, NMHDR*, LRESULT* answer)
{
    const HDRShares s = Rebalance(Shares(), id);
    m_sliders[0].SetPos(s.highlight);
    m_sliders[1].SetPos(s.midtone);
    m_sliders[2].SetPos(s.shadow);
    ComputePreview();
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    *answer = 0;
}

void CHDRDetailDlg::OnEnhanceReleased(NMHDR*, LRESULT* answer)
{
    ComputePreview();
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    *answer = 0;
}

// Each picture fitted into its place with its aspect ratio, centred, in a
// 3-D frame (the place's outer pixel).
void CHDRDetailDlg::OnDrawItem(int id, LPDRAWITEMSTRUCT item)
{
    const CQLImage* image = id == IDC_HDR_PREVIEW     ? &result
                            : id == IDC_HDR_BRIGHTER  ? &brighter
                            : id == IDC_HDR_REFERENCE ? &reference
                            : id == IDC_HDR_DARKER    ? &darker
                                                      : nullptr;
    if (!image) {
        CSkinDialog::OnDrawItem(id, item);
        return;
    }
    CDC* dc = CDC::FromHandle(item->hDC);
    CRect r(item->rcItem);
    dc->FillSolidRect(&r, ::GetSysColor(COLOR_BTNFACE));
    UINT iw = 0, ih = 0;
    image->GetSize(&iw, &ih);
    if (iw == 0 || ih == 0)
        return;
    dc->Draw3dRect(&r, RGB(128, 128, 128), RGB(255, 255, 255));
    r.DeflateRect(1, 1);
    const double scale = std::min(static_cast<double>(r.Width()) / iw, static_cast<double>(r.Height()) / ih);
    const int fw = std::max(1, static_cast<int>(iw * scale)), fh = std::max(1, static_cast<int>(ih * scale));
    const int left = r.left + (r.Width() - fw) / 2, top = r.top + (r.Height() - fh) / 2;
    const int oldMode = dc->SetStretchBltMode(HALFTONE);
    const BITMAPINFO info = DibHeaderOf(*image, static_cast<int>(ih));
    ::StretchDIBits(dc->GetSafeHdc(), left, top, fw, fh, 0, 0, static_cast<int>(iw), static_cast<int>(ih),
                    image->GetBuffer(0, 0), &info, DIB_RGB_COLORS, SRCCOPY);
    dc->SetStretchBltMode(oldMode);
}

void CHDRDetailDlg::OnOK()
{
    ReadTables();
    if (brighterPhoto)
        std::copy(std::begin(brightTable), std::end(brightTable), brighterPhoto->weights);
    if (darkerPhoto)
        std::copy(std::begin(darkTable), std::end(darkTable), darkerPhoto->weights);
    for (int k = 0; k < 256; ++k)
        referencePhoto->weights[k] = static_cast<BYTE>(std::max(1, 100 - brightTable[k] - darkTable[k]));
    CSkinDialog::OnOK();
}
