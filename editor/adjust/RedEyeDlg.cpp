#include "editor/adjust/RedEyeDlg.h"

#include "editor/retouch/PictureSize.h"
#include "editor/retouch/SelectBrushDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "platform/afx/CommCtrl.h"
#include "platform/codec/ColorForms.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace {

constexpr int kTextCaption = 80;  // "Erase Redeye"
constexpr int kTextHint = 81;
constexpr BYTE kBrushSize = 16, kFeather = 16, kMinFeather = 4;
constexpr int kMaxBrush = 64, kTickFrequency = 3;

int HueScore(int hue)
{
    if (hue < 16 || hue > 245)
        return 255;
    if (hue > 230)
        return (hue - 230) * 16;
    if (hue < 32)
        return (32 - hue) * 16;
    return 0;
}

int SaturationScore(int saturation)
{
    if (saturation > 128)
        return 128;
    if (saturation >= 64)
        return 2 * saturation - 128;
    return 0;
}

}  // namespace

namespace redeye {

int MeanHue(long long sumCos, long long sumSin)
{
    if (sumCos == 0 && sumSin == 0)
        return 0;
    const double x = static_cast<double>(sumCos), y = static_cast<double>(sumSin);
    double angle = std::acos(x / std::sqrt(x * x + y * y));
    if (sumSin < 0)
        angle = 2 * std::numbers::pi - angle;
    return std::clamp(static_cast<int>(angle * 256 / (2 * std::numbers::pi)), 0, 255);
}

void RecolourPatch(CQLImage* patch)
{
    const SIZE s = PictureSize(*patch);
    const int w = static_cast<int>(s.cx), h = static_cast<int>(s.cy);
    if (w <= 0 || h <= 0)
        return;
    const size_t count = static_cast<size_t>(w) * h;
    // Brightness, saturation, hue and the weight, per pixel.
    BYTE* hsb = patch->GetBuffer(0, 0);
    qlcodec::RgbToHsb(hsb, count);
    // The scores: redness and iris weight per pixel.
    std::vector<int> redness(count), weight(count);
    int histogram[256] = {};
    for (size_t i = 0; i < count; ++i) {
        const BYTE* p = hsb + i * 4;
        redness[i] = p[3] >= 240 ? HueScore(p[2]) * SaturationScore(p[1]) / 128 : 0;
        if (p[3] > 240)
            ++histogram[p[0]];
    }
    // The dark threshold: where the darkest twentieth of the patch ends.
    int threshold = 64;
    long long sum = 0;
    for (int level = 0; level < 64; ++level) {
        sum += histogram[level];
        if (sum * 20 > static_cast<long long>(count)) {
            threshold = level;
            break;
        }
    }
    for (size_t i = 0; i < count; ++i) {
        BYTE* p = hsb + i * 4;
        const int b = p[0];
        weight[i] = p[3] <= 200 || b > 147 ? 0 : (redness[i] <= 15 ? 255 - redness[i] : 0);
        if (b > 224) {
            redness[i] = 0;
            // Catch-lights turn grey, but only where the brush reaches.
            if (p[3] > 0)
                p[1] = 0;
        } else if (b < threshold) {
            redness[i] = 0;
        } else if (b < 128) {
            redness[i] = redness[i] * (b - threshold) / (128 - threshold);
        }
    }
    // The iris colour: weighted means, the hue on the circle.
    long long sw = 0, sb = 0, ss = 0, sx = 0, sy = 0;
    for (size_t i = 0; i < count; ++i) {
        const int wt = weight[i];
        if (wt == 0)
            continue;
        const BYTE* p = hsb + i * 4;
        sw += wt;
        sb += static_cast<long long>(wt) * p[0];
        ss += static_cast<long long>(wt) * p[1];
        const double angle = p[2] * 2 * std::numbers::pi / 256;
        sx += static_cast<long long>(wt * std::cos(angle));
        sy += static_cast<long long>(wt * std::sin(angle));
    }
    IrisColour iris;
    if (sw > 0) {
        iris.brightness = static_cast<int>(sb / sw);
        iris.saturation = static_cast<int>(ss / sw);
        iris.hue = MeanHue(sx, sy);
    }
    for (size_t i = 0; i < count; ++i) {
        BYTE* p = hsb + i * 4;
        const int v = redness[i] * p[3] / 256;
        if (v <= 0)
            continue;
        p[1] = static_cast<BYTE>(iris.saturation);
        p[2] = static_cast<BYTE>(iris.hue);
        if (p[0] <= 235)
            p[0] = static_cast<BYTE>((iris.brightness / 2 * v + (255 - v) * p[0]) / 256);
    }
    qlcodec::HsbToRgb(hsb, count);
}

BOOL EraseRedEye(CQLImage* work, const BYTE brush[4], RECT area, POINT centre)
{
    CQLImage patch;
    if (!clickedit::MakeBrushPatch(*work, brush, area, centre, &patch))
        return FALSE;
    RecolourPatch(&patch);
    // Only what the brush reaches is written: the colour round trip may
    // move the untouched corners of the square by a level.
    const int w = area.right - area.left, h = area.bottom - area.top;
    for (int y = 0; y < h; ++y) {
        const BYTE* from = patch.GetBuffer(0, y);
        BYTE* to = work->GetBuffer(area.left, area.top + y);
        for (int x = 0; x < w; ++x, from += 4, to += 4)
            if (from[3] > 0)
                std::memcpy(to, from, 3);
    }
    return TRUE;
}

}  // namespace redeye

CRedEyeDlg::CRedEyeDlg(CWnd* parent) : CClickEditDlg(parent)
{
    m_brush[brush::kSize] = kBrushSize;
    m_brush[brush::kBlur] = kFeather;
    m_maxSize = kMaxBrush;
    SetTexts(theUITextTable.GetText(kTextCaption), theUITextTable.GetText(kTextHint));
}

BOOL CRedEyeDlg::OnInitDialog()
{
    if (!CClickEditDlg::OnInitDialog())
        return FALSE;
    SendDlgItemMessage(IDC_CLICK_SIZE, TBM_SETTICFREQ, kTickFrequency, 0);
    return TRUE;
}

void CRedEyeDlg::OnImageClick(int x, int y)
{
    const SIZE s = PictureSize(m_work);
    if (x < 0 || y < 0 || x >= s.cx || y >= s.cy)
        return;
    m_brush[brush::kBlur] = std::max(m_brush[brush::kBlur], kMinFeather);
    // The click reaches a feather further than the brush shows.
    const BYTE size = m_brush[brush::kSize];
    m_brush[brush::kSize] = static_cast<BYTE>(std::min(255, size + m_brush[brush::kBlur]));
    const RECT area = PushPatch(x, y);
    if (area.right > area.left && area.bottom > area.top &&
        redeye::EraseRedEye(&m_work, m_brush, area, POINT{x, y}) && m_view.m_hWnd)
        m_view.RepaintNow();
    m_brush[brush::kSize] = size;
}

void CRedEyeDlg::OnOK()
{
    m_view.SetImage(nullptr, FALSE);
    if (thePhotoDocument.m_image.DuplicateFrom(&m_work) && !m_wizard) {
        thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, theUITextTable.GetText(kTextCaption));
        if (CWnd* main = AfxGetMainWnd())
            main->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    CClickEditDlg::OnOK();
}

int RunRedEyeDlg(CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CRedEyeDlg dialog(parent);
    return static_cast<int>(dialog.DoModal());
}
