// The skin-tone step of Digital Beauty: the brightening and pinking
// routines against hand-computed pixels, the job chain, choosing and
// "&Next>", a failing job, the three-step command, and a grab.
#include "AdjustTestSupport.h"

#include "editor/adjust/DigitalBeautyDlg.h"
#include "editor/retouch/ClickEditDlg.h"
#include "editor/retouch/SkinEffectDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AlgorithmThread.h"
#include "platform/afx/QtBridge.h"

#include <QWidget>

#include <string>
#include <vector>

namespace {

using adjusttest::PumpUntil;
using adjusttest::SamePixels;

struct PixelCase {
    BYTE value, mask, expected;
};

CPixel RunRoutine(FilterHost::Function fn, BYTE value, BYTE mask, BYTE sourceAlpha, bool inPlace)
{
    CQLImage source, target;
    source.Create(3, 2);
    target.Create(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            source.PutPixel(x, y, CPixel{value, value, value, sourceAlpha});
            target.PutPixel(x, y, CPixel{value, value, value, mask});
        }
    FilterHost host;
    host.SetImages(inPlace ? &target : &source, &target);
    EXPECT_EQ(host.Apply(reinterpret_cast<void*>(fn)), 0);
    return target.GetPixel2(2, 1);
}

TEST(DigitalBeautyRoutines, BrightenMixesThePowerCurveByHalfTheMask)
{
    // G[100] = 138, G[50] = 88, G[200] = 217; h = mask / 2.
    const PixelCase cases[] = {
        {100, 255, 118}, {100, 2, 100}, {0, 255, 0}, {255, 255, 255}, {50, 128, 59},
        {200, 1, 200},   // mask 1: untouched
        {200, 0, 200},
    };
    for (const PixelCase& c : cases) {
        const CPixel p = RunRoutine(&digitalbeauty::Brighten, c.value, c.mask, 77, false);
        EXPECT_EQ(p.b, c.expected) << int(c.value) << " m" << int(c.mask);
        EXPECT_EQ(p.g, c.expected);
        EXPECT_EQ(p.r, c.expected);
        // The source's alpha where the mask worked, else the mask stays.
        EXPECT_EQ(p.a, c.mask > 1 ? 77 : c.mask);
    }
}

TEST(DigitalBeautyRoutines, PinkLowersRedAndGreenAndRaisesBlue)
{
    struct Case {
        BYTE value, mask, redGreen, blue;
    };
    const Case cases[] = {
        {100, 255, 91, 105}, {100, 0, 100, 100}, {100, 1, 99, 100}, {0, 255, 0, 0}, {255, 255, 255, 255},
        {30, 128, 23, 30},
    };
    for (const Case& c : cases) {
        const CPixel p = RunRoutine(&digitalbeauty::Pink, c.value, c.mask, 0, true);
        EXPECT_EQ(p.r, c.redGreen) << int(c.value) << " m" << int(c.mask);
        EXPECT_EQ(p.g, c.redGreen);
        EXPECT_EQ(p.b, c.blue);
        EXPECT_EQ(p.a, c.mask);
    }
}

TEST(DigitalBeautyRoutines, ImagesOfAnotherSizeFail)
{
    CQLImage source, target;
    source.Create(4, 4);
    target.Create(3, 4);
    FilterHost host;
    host.SetImages(&source, &target);
    EXPECT_EQ(host.Apply(reinterpret_cast<void*>(&digitalbeauty::Brighten)), E_FAIL);
}

// A job that always fails, standing in for the skin mask.
class FailingJob : public EffectAlgorithm {
public:
    HRESULT Apply(const void*) override { return E_FAIL; }
};

class DigitalBeautyDlgTest : public adjusttest::AdjustDialogTest {
protected:
    int Run(std::function<int(CDigitalBeautyDlg*)> work)
    {
        m_work = [work](CWnd* dialog) {
            auto* dlg = dynamic_cast<CDigitalBeautyDlg*>(dialog);
            return dlg ? work(dlg) : IDCANCEL;
        };
        return RunDigitalBeautyDlg(m_frame);
    }
    // Skin-coloured blocks on a blue background, so that the mask has both.
    void OpenSkinPhoto(int w, int h)
    {
        shelltest::MakeImage(&thePhotoDocument.m_image, w, h, [w](int x, int y) {
            const bool skin = x > w / 4 && x < w * 3 / 4;
            return skin ? CPixel{static_cast<BYTE>(120 + y % 7), 150, static_cast<BYTE>(210 - x % 5), 200}
                        : CPixel{200, 90, 40, 200};
        });
        thePhotoDocument.m_history.Reset();
        thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
    }
    static bool SameColours(const CQLImage& a, const CQLImage& b, int x, int y)
    {
        const CPixel p = a.GetPixel2(x, y), q = b.GetPixel2(x, y);
        return p.b == q.b && p.g == q.g && p.r == q.r;
    }
};

TEST_F(DigitalBeautyDlgTest, ChainRunsFiveJobsInOrderAndNextCopiesTheChosenColours)
{
    OpenSkinPhoto(160, 120);
    CQLImage before;
    before.DuplicateFrom(&thePhotoDocument.m_image);
    CQLImage chosen;
    const int result = Run([&](CDigitalBeautyDlg* dlg) {
        EXPECT_FALSE(dlg->GetDlgItem(IDOK)->IsWindowEnabled());
        EXPECT_FALSE(dlg->m_views[3].IsWindowEnabled());
        EXPECT_TRUE(PumpUntil([&] { return !dlg->IsRunning(); }));
        EXPECT_TRUE(dlg->GetDlgItem(IDOK)->IsWindowEnabled());
        const std::vector<std::vector<int>> expected = {
            {0, 0, 20}, {1, 20, 40}, {2, 40, 50}, {3, 50, 75}, {4, 75, 100}};
        EXPECT_EQ(dlg->m_jobs.size(), expected.size());
        for (size_t i = 0; i < dlg->m_jobs.size() && i < expected.size(); ++i)
            EXPECT_EQ((std::vector<int>{dlg->m_jobs[i].tag, dlg->m_jobs[i].low, dlg->m_jobs[i].high}), expected[i]);
        // Where the smoothed mask is 0 every variant is the photo.
        int outside = 0, changed = 0;
        const CQLImage& mask = dlg->m_variants[1];
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 160; ++x) {
                if (mask.GetPixel2(x, y).a == 0) {
                    ++outside;
                    for (const CQLImage& v : dlg->m_variants)
                        EXPECT_TRUE(SameColours(v, before, x, y)) << x << "," << y;
                } else if (!SameColours(dlg->m_variants[2], before, x, y)) {
                    ++changed;
                }
            }
        EXPECT_GT(outside, 0);
        EXPECT_GT(changed, 0);
        dlg->SendMessage(WM_COMMAND, IDC_BEAUTY_VIEW_FIRST + 3, 0);
        EXPECT_EQ(dlg->m_variantChoice, 3);
        chosen.DuplicateFrom(&dlg->m_variants[2]);
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(result, IDOK);
    for (int y = 0; y < 120; y += 7)
        for (int x = 0; x < 160; x += 5) {
            EXPECT_TRUE(SameColours(thePhotoDocument.m_image, chosen, x, y));
            EXPECT_EQ(thePhotoDocument.m_image.GetPixel2(x, y).a, 200);  // the photo's alpha stays
        }
}

TEST_F(DigitalBeautyDlgTest, OriginalThenNextLeavesThePhoto)
{
    OpenSkinPhoto(120, 90);
    CQLImage before;
    before.DuplicateFrom(&thePhotoDocument.m_image);
    const int result = Run([&](CDigitalBeautyDlg* dlg) {
        EXPECT_TRUE(PumpUntil([&] { return !dlg->IsRunning(); }));
        dlg->SendMessage(WM_COMMAND, IDC_BEAUTY_VIEW_FIRST + 1, 0);
        dlg->SendMessage(WM_COMMAND, IDC_BEAUTY_VIEW_FIRST, 0);
        EXPECT_EQ(dlg->m_variantChoice, 0);
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(SamePixels(thePhotoDocument.m_image, before));
}

TEST_F(DigitalBeautyDlgTest, FailingJobStopsTheChainWithItsMessage)
{
    OpenSkinPhoto(120, 90);
    CQLImage before;
    before.DuplicateFrom(&thePhotoDocument.m_image);
    FailingJob failing;
    m_work = [&](CWnd* dialog) {
        auto* dlg = dynamic_cast<CDigitalBeautyDlg*>(dialog);
        if (!dlg)
            return IDCANCEL;
        EXPECT_TRUE(PumpUntil([&] { return !dlg->IsRunning(); }));
        EXPECT_EQ(dlg->m_jobs.size(), 1u);
        EXPECT_FALSE(dlg->GetDlgItem(IDOK)->IsWindowEnabled());
        for (int i = 1; i <= 3; ++i) {
            EXPECT_FALSE(dlg->VariantReady(i));
            EXPECT_FALSE(dlg->m_views[i].IsWindowEnabled());
            dlg->SendMessage(WM_COMMAND, IDC_BEAUTY_VIEW_FIRST + i, 0);
        }
        EXPECT_EQ(dlg->m_variantChoice, 0);
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    };
    CDigitalBeautyDlg dialog(m_frame);
    dialog.SetMaskAlgorithm(&failing);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, "Unexpected error");
    EXPECT_TRUE(SamePixels(thePhotoDocument.m_image, before));
}

TEST_F(DigitalBeautyDlgTest, CancelDuringTheChainWaitsAndKeepsThePhoto)
{
    OpenSkinPhoto(900, 700);
    CQLImage before;
    before.DuplicateFrom(&thePhotoDocument.m_image);
    const int result = Run([](CDigitalBeautyDlg* dlg) {
        EXPECT_TRUE(dlg->IsRunning());
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_FALSE(theAlgorithmThread.IsBusy());
    EXPECT_TRUE(SamePixels(thePhotoDocument.m_image, before));
}

// The three steps: how each ends, and what the photo and its history hold.
TEST_F(DigitalBeautyDlgTest, CommandPushesOneStepOrPutsThePhotoBack)
{
    struct Case {
        const char* name;
        int cancelAtStep;  // 0: none
    };
    for (const Case& c : {Case{"all steps", 0}, Case{"cancel in step 1", 1}, Case{"cancel in step 2", 2},
                          Case{"cancel in step 3", 3}}) {
        SCOPED_TRACE(c.name);
        OpenSkinPhoto(160, 120);
        CQLImage before;
        before.DuplicateFrom(&thePhotoDocument.m_image);
        std::vector<int> steps;
        m_work = [&](CWnd* dialog) {
            if (auto* spots = dynamic_cast<CEraseSpotsDlg*>(dialog)) {
                steps.push_back(1);
                EXPECT_TRUE(spots->m_wizard);
                char caption[64] = {};
                spots->GetWindowText(caption, sizeof caption);
                EXPECT_STREQ(caption, "Digital Beauty");
                EXPECT_FALSE(spots->GetDlgItem(IDOK)->IsWindowVisible());
                spots->OnImageClick(80, 60);
                spots->SendMessage(WM_COMMAND, c.cancelAtStep == 1 ? IDCANCEL : IDC_CLICK_NEXT, 0);
            } else if (auto* tone = dynamic_cast<CDigitalBeautyDlg*>(dialog)) {
                steps.push_back(2);
                EXPECT_TRUE(PumpUntil([&] { return !tone->IsRunning(); }));
                tone->SendMessage(WM_COMMAND, IDC_BEAUTY_VIEW_FIRST + 1, 0);
                tone->SendMessage(WM_COMMAND, c.cancelAtStep == 2 ? IDCANCEL : IDOK, 0);
            } else if (auto* effects = dynamic_cast<CSkinEffectDlg*>(dialog)) {
                steps.push_back(3);
                effects->SendMessage(WM_COMMAND, c.cancelAtStep == 3 ? IDCANCEL : IDOK, 0);
            }
            return qlafx::kModalRun;
        };
        const int result = RunDigitalBeauty(m_frame);
        const int last = c.cancelAtStep ? c.cancelAtStep : 3;
        std::vector<int> expected;
        for (int s = 1; s <= last; ++s)
            expected.push_back(s);
        EXPECT_EQ(steps, expected);
        if (c.cancelAtStep) {
            EXPECT_EQ(result, IDCANCEL);
            EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
            EXPECT_TRUE(SamePixels(thePhotoDocument.m_image, before));
        } else {
            EXPECT_EQ(result, IDOK);
            ASSERT_EQ(thePhotoDocument.m_history.GetCount(), 2);
            char text[256] = {};
            EXPECT_STREQ(thePhotoDocument.m_history.GetActionText(sizeof text, text), "Open,Digital Beauty,");
            EXPECT_FALSE(SamePixels(thePhotoDocument.m_image, before));
        }
    }
}

TEST_F(DigitalBeautyDlgTest, Grab)
{
    if (!OpenCorpusPhoto("exif-samples/jpg/exif-org/canon-ixus.jpg"))
        GTEST_SKIP() << "corpus photo absent";
    m_frame->MoveWindow(0, 0, 1100, 760);
    std::string grab;
    Run([&](CDigitalBeautyDlg* dlg) {
        EXPECT_TRUE(PumpUntil([&] { return !dlg->IsRunning(); }));
        EXPECT_TRUE(dlg->GetDlgItem(IDOK)->IsWindowEnabled());
        dlg->SendMessage(WM_COMMAND, IDC_BEAUTY_VIEW_FIRST + 3, 0);
        dlg->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        qlafx::ProcessPendingEvents();
        grab = shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), "adjust-digitalbeauty");
        return IDCANCEL;
    });
    EXPECT_FALSE(grab.empty());
}

}  // namespace
