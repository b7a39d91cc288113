// Step 3 of Digital Beauty: the radius rule, the three blends, the chain's
// pictures against the algorithms run directly, choosing, Finish, Cancel
// during the chain, and a grab.
#include "../../adjust/tests/AdjustTestSupport.h"

#include "editor/retouch/SkinEffectDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AlgorithmThread.h"
#include "platform/afx/QtBridge.h"

#include <QWidget>

#include <string>

namespace {

using adjusttest::PumpUntil;
using adjusttest::SamePixels;

TEST(SkinEffectRules, RadiusFollowsTheLongerSide)
{
    struct Case {
        int w, h, radius;
    };
    for (const Case& c : {Case{100, 100, 4}, Case{600, 400, 10}, Case{240, 1200, 20}, Case{6000, 4000, 32},
                          Case{1920, 10, 32}, Case{300, 200, 5}})
        EXPECT_EQ(skineffect::Radius(c.w, c.h), c.radius) << c.w << "x" << c.h;
}

TEST(SkinEffectRules, BlendsTable)
{
    struct Case {
        FilterHost::Function blend;
        BYTE s, alpha, y, o;
    };
    const Case cases[] = {
        {&skineffect::CleanedSkin, 100, 0, 255, 100},  // alpha 0 and 1: unchanged
        {&skineffect::CleanedSkin, 100, 1, 255, 100},
        {&skineffect::CleanedSkin, 100, 2, 255, 100},  // f = 1: (25400 + 255) / 255
        {&skineffect::CleanedSkin, 100, 255, 255, 177}, // f = 127
        {&skineffect::CleanedSkin, 100, 255, 0, 50},
        {&skineffect::CleanedMore, 100, 1, 255, 100},  // f = 0
        {&skineffect::CleanedMore, 100, 2, 0, 99},     // f = 1
        {&skineffect::CleanedMore, 100, 255, 255, 216}, // f = 191
        {&skineffect::CleanedMore, 255, 255, 255, 255},
        {&skineffect::SoftLight, 100, 0, 255, 162},    // (300 + 510) / 5, alpha ignored
        {&skineffect::SoftLight, 7, 255, 3, 5},
    };
    for (const Case& c : cases) {
        CQLImage source, blurred, out;
        source.Create(3, 2);
        blurred.Create(3, 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) {
                source.PutPixel(x, y, CPixel{c.s, c.s, c.s, c.alpha});
                blurred.PutPixel(x, y, CPixel{c.y, c.y, c.y, 9});
            }
        FilterHost host;
        host.SetImages(&source, &out);
        host.AddImage(&blurred);
        ASSERT_EQ(host.Apply(reinterpret_cast<void*>(c.blend)), 0);
        const CPixel p = out.GetPixel2(2, 1);
        EXPECT_EQ(p.r, c.o) << int(c.s) << " a" << int(c.alpha) << " y" << int(c.y);
        EXPECT_EQ(p.b, c.o);
        EXPECT_EQ(p.a, c.alpha);  // the source's alpha stays
    }
    // No blur, or one of another size: E_FAIL.
    CQLImage source, small, out;
    source.Create(3, 2);
    small.Create(2, 2);
    FilterHost host;
    host.SetImages(&source, &out);
    EXPECT_EQ(host.Apply(reinterpret_cast<void*>(&skineffect::SoftLight)), E_FAIL);
    host.AddImage(&small);
    EXPECT_EQ(host.Apply(reinterpret_cast<void*>(&skineffect::SoftLight)), E_FAIL);
}

class SkinEffectDlgTest : public adjusttest::AdjustDialogTest {
protected:
    int Run(std::function<int(CSkinEffectDlg*)> work)
    {
        m_work = [work](CWnd* dialog) {
            auto* dlg = dynamic_cast<CSkinEffectDlg*>(dialog);
            return dlg ? work(dlg) : IDCANCEL;
        };
        return RunSkinEffectDlg(m_frame);
    }
    // A photo whose alpha (the skin weight of earlier steps) varies.
    void OpenWeightedPhoto(int w, int h)
    {
        OpenPhoto(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                CPixel p = thePhotoDocument.m_image.GetPixel2(x, y);
                p.a = static_cast<BYTE>((x * 7 + y * 3) % 256);
                thePhotoDocument.m_image.PutPixel(x, y, p);
            }
    }
    static void Blend(CQLImage* source, CQLImage* blurred, FilterHost::Function fn, CQLImage* out)
    {
        FilterHost host;
        host.SetImages(source, out);
        host.AddImage(blurred);
        ASSERT_EQ(host.Apply(reinterpret_cast<void*>(fn)), 0);
    }
};

TEST_F(SkinEffectDlgTest, ChainMakesEachVariantFromItsBlurAndFinishAppliesTheChosenOne)
{
    OpenWeightedPhoto(300, 200);
    CQLImage original;
    original.DuplicateFrom(&thePhotoDocument.m_image);
    // What the chain should make: radius 5 for the first blur, 10 multi-scale for the second.
    CQLImage blur1, blur2, cleaned, more, soft;
    MaskedGaussianBlurAlgorithm masked;
    masked.SetImages(&original, &blur1);
    MaskedBlurParams mp{5};
    ASSERT_EQ(masked.Apply(&mp), 0);
    Blend(&original, &blur1, &skineffect::CleanedSkin, &cleaned);
    Blend(&original, &blur1, &skineffect::CleanedMore, &more);
    SmoothAlgorithm smooth;
    smooth.SetMultiScaleMode(1);
    smooth.SetImages(&original, &blur2);
    SmoothParams sp{10};
    ASSERT_EQ(smooth.Apply(&sp), 0);
    Blend(&original, &blur2, &skineffect::SoftLight, &soft);

    const int result = Run([&](CSkinEffectDlg* dlg) {
        EXPECT_FALSE(dlg->GetDlgItem(IDC_SKIN_ADVANCED)->IsWindowEnabled());
        dlg->SendMessage(WM_COMMAND, IDC_SKIN_VIEW_FIRST + 2, 0);  // not made yet: refused
        EXPECT_EQ(dlg->m_selected, 0);
        EXPECT_TRUE(PumpUntil([&] { return !dlg->IsRunning(); }));
        EXPECT_TRUE(dlg->VariantReady(1) && dlg->VariantReady(2) && dlg->VariantReady(3));
        EXPECT_TRUE(dlg->GetDlgItem(IDC_SKIN_ADVANCED)->IsWindowEnabled());
        EXPECT_EQ(dlg->m_radius, 10);
        EXPECT_TRUE(SamePixels(dlg->m_variants[0], soft));
        EXPECT_TRUE(SamePixels(dlg->m_variants[1], cleaned));
        EXPECT_TRUE(SamePixels(dlg->m_variants[2], more));
        dlg->SendMessage(WM_COMMAND, IDC_SKIN_VIEW_FIRST + 2, 0);
        EXPECT_EQ(dlg->m_selected, 2);
        EXPECT_TRUE(dlg->m_views[2].m_selected);
        EXPECT_FALSE(dlg->m_views[0].m_selected);
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(SamePixels(thePhotoDocument.m_image, cleaned));
}

TEST_F(SkinEffectDlgTest, FinishOnOriginalKeepsThePhoto)
{
    OpenWeightedPhoto(120, 100);
    CQLImage before;
    before.DuplicateFrom(&thePhotoDocument.m_image);
    const int result = Run([](CSkinEffectDlg* dlg) {
        EXPECT_EQ(dlg->m_radius, 4);
        dlg->SendMessage(WM_COMMAND, IDOK, 0);  // waits for the running job
        return qlafx::kModalRun;
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(SamePixels(thePhotoDocument.m_image, before));
    EXPECT_FALSE(theAlgorithmThread.IsBusy());
}

TEST_F(SkinEffectDlgTest, CancelDuringTheChainKeepsThePhoto)
{
    OpenWeightedPhoto(900, 700);
    CQLImage before;
    before.DuplicateFrom(&thePhotoDocument.m_image);
    const int result = Run([](CSkinEffectDlg* dlg) {
        EXPECT_TRUE(dlg->IsRunning());
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(SamePixels(thePhotoDocument.m_image, before));
    EXPECT_FALSE(theAlgorithmThread.IsBusy());
}

TEST_F(SkinEffectDlgTest, Grab)
{
    if (!OpenCorpusPhoto("exif-samples/jpg/hdr/canon_hdr_NO.jpg"))
        GTEST_SKIP() << "corpus photo absent";
    m_frame->MoveWindow(0, 0, 1100, 760);
    std::string grab;
    Run([&](CSkinEffectDlg* dlg) {
        EXPECT_TRUE(PumpUntil([&] { return !dlg->IsRunning(); }));
        dlg->SendMessage(WM_COMMAND, IDC_SKIN_VIEW_FIRST + 2, 0);
        dlg->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        qlafx::ProcessPendingEvents();
        grab = shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), "skin-effects");
        return IDCANCEL;
    });
    EXPECT_FALSE(grab.empty());
}

}  // namespace
