// "Select an Area" and "Smart Erase" on a photo: polygons, modes from the
// strip and the keys, colour ranges, repair, "Undo All" and "End", grabs.
#include "AdjustTestSupport.h"

#include "editor/adjust/SmartEraseDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AlgorithmThread.h"
#include "platform/afx/QtBridge.h"

#include <QWidget>

#include <cstring>
#include <string>

namespace {

using adjusttest::PumpUntil;

// A point of the image rectangle at fractions of its size.
POINT At(const CSelectionDlg* dlg, double fx, double fy)
{
    const RECT& r = dlg->imageRect;
    return POINT{r.left + static_cast<LONG>((r.right - r.left) * fx), r.top + static_cast<LONG>((r.bottom - r.top) * fy)};
}

void Polygon(CSelectionDlg* dlg, std::initializer_list<std::pair<double, double>> corners)
{
    POINT first{};
    bool start = true;
    for (auto [fx, fy] : corners) {
        const POINT p = At(dlg, fx, fy);
        if (start)
            first = p;
        start = false;
        dlg->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    }
    dlg->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(first.x + 1, first.y + 1));  // within 2 pixels closes
}

int Selected(const CQLChannel& mask, int x, int y)
{
    return mask.GetAreaByteSize() ? mask.Get(x, y) : -1;
}

void Paint(CWnd* dlg)
{
    dlg->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    qlafx::ProcessPendingEvents();
}

class SelectionDlgTest : public adjusttest::AdjustDialogTest {
protected:
    void SetUp() override
    {
        AdjustDialogTest::SetUp();
        eraseMask.Free();
    }
    void TearDown() override
    {
        eraseMask.Free();
        AdjustDialogTest::TearDown();
    }
    template <class Dlg>
    int Run(std::function<int(Dlg*)> work)
    {
        m_work = [work](CWnd* dialog) {
            auto* dlg = dynamic_cast<Dlg*>(dialog);
            return dlg ? work(dlg) : IDCANCEL;
        };
        if constexpr (std::is_same_v<Dlg, CSmartEraseDlg>)
            return RunSmartEraseDlg(m_frame);
        const CQLChannel* mask = nullptr;
        const int code = RunSelectAreaDlg(m_frame, &mask);
        m_mask = mask;
        return code;
    }
    const CQLChannel* m_mask = nullptr;
};

TEST_F(SelectionDlgTest, PolygonsReplaceAddAndSubtract)
{
    OpenPhoto(400, 300);
    const int code = Run<CSelectionDlg>([](CSelectionDlg* dlg) {
        dlg->SetFeather(0);
        Polygon(dlg, {{0.1, 0.1}, {0.4, 0.1}, {0.4, 0.4}, {0.1, 0.4}});
        EXPECT_EQ(Selected(eraseMask, 100, 75), 255);
        EXPECT_EQ(Selected(eraseMask, 300, 225), 0);
        dlg->ClickTool(2);  // add
        EXPECT_EQ(dlg->mode, selection::kAddSelection);
        EXPECT_EQ(dlg->tools[1].state, 1);
        Polygon(dlg, {{0.6, 0.6}, {0.9, 0.6}, {0.9, 0.9}, {0.6, 0.9}});
        EXPECT_EQ(Selected(eraseMask, 100, 75), 255);
        EXPECT_EQ(Selected(eraseMask, 300, 225), 255);
        dlg->ClickTool(3);  // subtract the first square and more
        Polygon(dlg, {{0.05, 0.05}, {0.5, 0.05}, {0.5, 0.5}, {0.05, 0.5}});
        EXPECT_EQ(Selected(eraseMask, 100, 75), 0);
        EXPECT_EQ(Selected(eraseMask, 300, 225), 255);
        // Subtracting all that is left frees the selection.
        Polygon(dlg, {{0.0, 0.0}, {0.99, 0.0}, {0.99, 0.99}, {0.0, 0.99}});
        EXPECT_EQ(eraseMask.GetAreaByteSize(), 0u);
        EXPECT_EQ(dlg->rawMask.GetAreaByteSize(), 0u);
        // Two points and a double click select nothing.
        dlg->ClickTool(3);
        EXPECT_EQ(dlg->mode, selection::kNewSelection);
        const POINT a = At(dlg, 0.2, 0.2), b = At(dlg, 0.5, 0.5);
        dlg->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(a.x, a.y));
        dlg->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(b.x, b.y));
        dlg->SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(b.x, b.y));
        dlg->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(b.x, b.y));  // the double click's own
        EXPECT_TRUE(dlg->points.empty());
        EXPECT_EQ(eraseMask.GetAreaByteSize(), 0u);
        Polygon(dlg, {{0.1, 0.1}, {0.4, 0.1}, {0.4, 0.4}});
        return IDOK;
    });
    EXPECT_EQ(code, IDOK);
    ASSERT_EQ(m_mask, &eraseMask);
    EXPECT_GT(eraseMask.GetAreaByteSize(), 0u);
}

TEST_F(SelectionDlgTest, KeysSetModesOnlyFromTheNewSelection)
{
    OpenPhoto(320, 240);
    Run<CSelectionDlg>([](CSelectionDlg* dlg) {
        auto key = [dlg](UINT message, WPARAM vk) {
            MSG msg{dlg->m_hWnd, message, vk, 0, 0, {}};
            dlg->PreTranslateMessage(&msg);
        };
        key(WM_KEYDOWN, VK_SHIFT);
        EXPECT_EQ(dlg->mode, selection::kAddSelection);
        key(WM_KEYUP, VK_SHIFT);
        EXPECT_EQ(dlg->mode, selection::kNewSelection);
        key(WM_KEYDOWN, VK_CONTROL);
        EXPECT_EQ(dlg->mode, selection::kSubtractSelection);
        EXPECT_EQ(dlg->tools[2].state, 1);
        key(WM_KEYUP, VK_CONTROL);
        dlg->ClickTool(3);  // subtract from the strip
        key(WM_KEYDOWN, VK_SHIFT);
        EXPECT_EQ(dlg->mode, selection::kSubtractSelection);
        key(WM_KEYUP, VK_SHIFT);
        EXPECT_EQ(dlg->mode, selection::kSubtractSelection);
        return IDCANCEL;
    });
}

TEST_F(SelectionDlgTest, FeatherInvertClearAndCancelKeepsTheMask)
{
    OpenPhoto(400, 300);
    const int code = Run<CSelectionDlg>([](CSelectionDlg* dlg) {
        EXPECT_EQ(dlg->feather, 30);
        Polygon(dlg, {{0.2, 0.2}, {0.8, 0.2}, {0.8, 0.8}, {0.2, 0.8}});
        const int soft = Selected(eraseMask, 80, 150);  // on the left edge
        EXPECT_GT(soft, 0);
        EXPECT_LT(soft, 255);
        dlg->SetFeather(0);
        EXPECT_EQ(Selected(eraseMask, 200, 150), 255);
        EXPECT_EQ(Selected(eraseMask, 20, 20), 0);
        dlg->ClickTool(6);  // invert
        EXPECT_EQ(Selected(eraseMask, 20, 20), 255);
        dlg->ClickTool(5);  // show mask
        EXPECT_EQ(dlg->tools[6].state, 1);
        Paint(dlg);
        dlg->SendMessage(WM_COMMAND, IDC_SELECTION_CLEAR, 0);
        EXPECT_EQ(eraseMask.GetAreaByteSize(), 0u);
        Polygon(dlg, {{0.2, 0.2}, {0.8, 0.2}, {0.5, 0.8}});
        return IDCANCEL;
    });
    EXPECT_EQ(code, IDCANCEL);
    EXPECT_GT(eraseMask.GetAreaByteSize(), 0u) << "Cancel keeps the edits of the program-wide mask";
}

TEST_F(SelectionDlgTest, ColourRangeMenuSelectsAndAsksAboutTheFeather)
{
    shelltest::MakeImage(&thePhotoDocument.m_image, 200, 100, [](int x, int) {
        return x < 100 ? CPixel{0, 0, 230, 255} : CPixel{240, 240, 240, 255};  // red, then light grey
    });
    thePhotoDocument.m_history.Reset();
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
    m_answer = [](const adjusttest::Box&) { return IDNO; };
    Run<CSelectionDlg>([](CSelectionDlg* dlg) {
        UINT chosen = 32888;
        qlafx::SetPopupMenuHook([&](HMENU, QMenu*) { return chosen; });
        dlg->ClickTool(7);
        EXPECT_EQ(Selected(eraseMask, 20, 50), 254);
        EXPECT_EQ(Selected(eraseMask, 150, 50), 0);
        chosen = 32887;  // highlights
        dlg->ClickTool(7);
        EXPECT_EQ(Selected(eraseMask, 150, 50), 255);
        chosen = 32894;  // edges: no question
        dlg->ClickTool(7);
        EXPECT_EQ(Selected(eraseMask, 100, 50), 255);
        EXPECT_EQ(Selected(eraseMask, 20, 50), 0);
        qlafx::SetPopupMenuHook({});
        return IDCANCEL;
    });
    ASSERT_EQ(m_boxes.size(), 2u);
    EXPECT_EQ(m_boxes[0].text, "Feather by current settings？");
}

TEST_F(SelectionDlgTest, SmartEraseWithoutSelectionAsksForOne)
{
    OpenPhoto(200, 150);
    Run<CSmartEraseDlg>([](CSmartEraseDlg* dlg) {
        CString text;
        dlg->GetWindowText(text);
        EXPECT_STREQ(text.GetString(), "Repair or Inpaint Selection");
        dlg->GetDlgItemText(IDC_SELECTION_CLEAR, text);
        EXPECT_STREQ(text.GetString(), "Undo All");
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        EXPECT_FALSE(dlg->Running());
        return static_cast<int>(dlg->SendMessage(WM_COMMAND, IDCANCEL, 0)), IDCANCEL;
    });
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, "Select the area or the object you want to erase/inpaint.");
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
}

TEST_F(SelectionDlgTest, RepairUndoAllEndGivesOneStep)
{
    OpenPhoto(240, 180);
    CQLImage before;
    ASSERT_TRUE(before.DuplicateFrom(&thePhotoDocument.m_image));
    Run<CSmartEraseDlg>([&](CSmartEraseDlg* dlg) {
        dlg->SetFeather(0);
        Polygon(dlg, {{0.4, 0.4}, {0.55, 0.4}, {0.55, 0.55}, {0.4, 0.55}});
        EXPECT_GT(eraseMask.GetAreaByteSize(), 0u);
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(dlg->Running());
        EXPECT_FALSE(dlg->GetDlgItem(IDOK)->IsWindowEnabled());
        EXPECT_TRUE(PumpUntil([&] { return !dlg->Running(); }));
        EXPECT_EQ(dlg->repaired, 1);
        EXPECT_EQ(eraseMask.GetAreaByteSize(), 0u) << "the selection is gone";
        EXPECT_FALSE(adjusttest::SamePixels(before, thePhotoDocument.m_image));
        dlg->SendMessage(WM_COMMAND, IDC_SELECTION_CLEAR, 0);  // Undo All
        EXPECT_TRUE(adjusttest::SamePixels(before, thePhotoDocument.m_image));
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);  // End
        return IDCANCEL;
    });
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 2);  // "Smart Erase", kept as written
}

TEST_F(SelectionDlgTest, FailedRepairKeepsPhotoAndSelection)
{
    OpenPhoto(120, 90);
    CQLImage before;
    ASSERT_TRUE(before.DuplicateFrom(&thePhotoDocument.m_image));
    Run<CSmartEraseDlg>([&](CSmartEraseDlg* dlg) {
        dlg->SetFeather(0);
        // The whole photo: there is nothing to fill it from.
        Polygon(dlg, {{0.0, 0.0}, {0.999, 0.0}, {0.999, 0.999}, {0.0, 0.999}});
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(PumpUntil([&] { return !dlg->Running(); }));
        EXPECT_EQ(dlg->repaired, 0);
        EXPECT_GT(eraseMask.GetAreaByteSize(), 0u);
        EXPECT_TRUE(dlg->GetDlgItem(IDOK)->IsWindowEnabled());
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return IDCANCEL;
    });
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, "Error occurs, insufficient sample");
    EXPECT_TRUE(adjusttest::SamePixels(before, thePhotoDocument.m_image));
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
}

TEST_F(SelectionDlgTest, EndWithoutRepairKeepsTheSelectionForNextTime)
{
    OpenPhoto(200, 150);
    Run<CSmartEraseDlg>([](CSmartEraseDlg* dlg) {
        Polygon(dlg, {{0.3, 0.3}, {0.6, 0.3}, {0.45, 0.6}});
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return IDCANCEL;
    });
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
    ASSERT_GT(eraseMask.GetAreaByteSize(), 0u);
    Run<CSmartEraseDlg>([](CSmartEraseDlg* dlg) {
        EXPECT_EQ(dlg->GetMask(), &eraseMask);
        EXPECT_GT(dlg->GetMask()->GetAreaByteSize(), 0u);
        return IDCANCEL;
    });
}

TEST_F(SelectionDlgTest, SmartEraseFromTheFrameCommand)
{
    RegisterDialogRunners();
    OpenPhoto(200, 150);
    bool opened = false;
    m_work = [&](CWnd* dialog) {
        opened = dynamic_cast<CSmartEraseDlg*>(dialog) != nullptr;
        return IDCANCEL;
    };
    m_frame->SendMessage(WM_COMMAND, 32883, 0);
    EXPECT_TRUE(opened);
}

// ---- grabs -----------------------------------------------------------------

class SelectionGrabTest : public SelectionDlgTest {
protected:
    template <class Dlg>
    std::string Grab(const char* name, std::function<void(Dlg*)> work)
    {
        std::string path;
        Run<Dlg>([&](Dlg* dlg) {
            dlg->ShowWindow(SW_RESTORE);
            dlg->MoveWindow(0, 0, 900, 680);
            Paint(dlg);
            work(dlg);
            Paint(dlg);
            path = shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), name);
            dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
            return IDCANCEL;
        });
        return path;
    }
};

TEST_F(SelectionGrabTest, SelectArea)
{
    if (!OpenCorpusPhoto("exif-samples/jpg/exif-org/olympus-c960.jpg"))
        GTEST_SKIP() << "corpus photo absent";
    EXPECT_FALSE(Grab<CSelectionDlg>("adjust-selectarea", [](CSelectionDlg* dlg) {
                     Polygon(dlg, {{0.15, 0.62}, {0.5, 0.18}, {0.85, 0.62}});
                 }).empty());
}

TEST_F(SelectionGrabTest, SelectRange)
{
    if (!OpenCorpusPhoto("exif-samples/jpg/exif-org/olympus-c960.jpg"))
        GTEST_SKIP() << "corpus photo absent";
    EXPECT_FALSE(Grab<CSelectionDlg>("adjust-selectrange", [](CSelectionDlg* dlg) {
                     dlg->RunRangeCommand(32888);
                     dlg->ClickTool(5);
                 }).empty());
}

TEST_F(SelectionGrabTest, SmartErase)
{
    if (!OpenCorpusPhoto("exif-samples/jpg/exif-org/nikon-e950.jpg"))
        GTEST_SKIP() << "corpus photo absent";
    CQLImage before;
    ASSERT_TRUE(before.DuplicateFrom(&thePhotoDocument.m_image));
    EXPECT_FALSE(Grab<CSmartEraseDlg>("adjust-smarterase", [](CSmartEraseDlg* dlg) {
                     Polygon(dlg, {{0.45, 0.8}, {0.55, 0.8}, {0.55, 0.88}, {0.45, 0.88}});
                     dlg->SendMessage(WM_COMMAND, IDOK, 0);
                     EXPECT_TRUE(PumpUntil([&] { return !dlg->Running(); }));
                     EXPECT_EQ(eraseMask.GetAreaByteSize(), 0u);
                 }).empty());
    EXPECT_FALSE(adjusttest::SamePixels(before, thePhotoDocument.m_image));
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 2);
}

}  // namespace
