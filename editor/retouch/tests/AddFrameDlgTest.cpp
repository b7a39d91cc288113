// "Frame and Signature" from Image > Frame > Add Frame: the grid fills with
// framed previews in the background, folders open by double click, OK adds
// the frame with the undo step "Add Frame", Cancel leaves the photo, and a
// grab of the starter library on a corpus photo.
#include "FrameWindowsTestSupport.h"

#include "editor/retouch/AddFrameDlg.h"
#include "editor/shell/UITextTable.h"

#include <cstring>

namespace {

using framedialogtest::FrameWindowsTest;
using framedialogtest::PumpUntil;

class AddFrameDlgTest : public FrameWindowsTest {
protected:
    int RunCommand(const std::function<int(CAddFrameDlg*)>& work)
    {
        int handed = 0;
        onDialog = [&](CWnd* dialog) -> int {
            if (auto* add = dynamic_cast<CAddFrameDlg*>(dialog)) {
                ++handed;
                return work(add);
            }
            return IDCANCEL;
        };
        const int before = thePhotoDocument.m_history.GetCount();
        m_frame->SendMessage(WM_COMMAND, 32805, 0);
        EXPECT_EQ(handed, 1);
        return thePhotoDocument.m_history.GetCount() - before;
    }
    // Every template entry of the grid has its preview.
    static bool AllPreviews(CAddFrameDlg* dlg)
    {
        for (int i = 0; i < dlg->grid.GetItemCount(); ++i) {
            const FrameListEntry* e = dlg->EntryAt(i);
            if (!e->IsFolder() && !dlg->grid.GetItem(i)->thumbnail)
                return false;
        }
        return true;
    }
    static int IndexOf(CAddFrameDlg* dlg, FrameItemKind kind)
    {
        for (int i = 0; i < dlg->grid.GetItemCount(); ++i)
            if (dlg->EntryAt(i)->item.kind == kind)
                return i;
        return -1;
    }
    static void Choose(CAddFrameDlg* dlg, int index)
    {
        dlg->grid.SelectItem(0, index);
        EXPECT_TRUE(PumpUntil([&] { return !dlg->JobPending(); }));
    }
    static void Activate(CAddFrameDlg* dlg, int index)
    {
        dlg->grid.SelectItem(0, index);
        dlg->SendMessage(WM_THUMBLIST_NOTIFY, ThumbListActivate, index);
    }
};

} // namespace

TEST_F(AddFrameDlgTest, TheGridFillsFoldersOpenAndOkAddsTheFrameAsOneStep)
{
    OpenPhoto(160, 100);
    const int added = RunCommand([&](CAddFrameDlg* dlg) {
        const int folder = IndexOf(dlg, FrameItemKind::Folder);
        EXPECT_GE(folder, 0) << "the starter library has folders";
        EXPECT_TRUE(PumpUntil([&] { return AllPreviews(dlg); }));
        UINT w = 0, h = 0;
        dlg->photoCopy.GetSize(&w, &h);
        EXPECT_EQ(w, 200u);
        EXPECT_EQ(h, 125u);
        Activate(dlg, folder);
        EXPECT_EQ(dlg->grid.GetItem(0)->text, std::string(".."));
        EXPECT_EQ(dlg->EntryAt(0)->item.kind, FrameItemKind::Up);
        const int inside = dlg->grid.GetItemCount();
        const int frame = IndexOf(dlg, FrameItemKind::Template);
        EXPECT_GE(frame, 0);
        // A double click on a template only chooses it.
        Activate(dlg, frame);
        EXPECT_EQ(dlg->grid.GetItemCount(), inside);
        EXPECT_EQ(dlg->chosen, frame);
        EXPECT_TRUE(PumpUntil([&] { return !dlg->JobPending(); }));
        Activate(dlg, 0);
        EXPECT_EQ(dlg->shown, &dlg->root);
        Activate(dlg, folder);
        EXPECT_TRUE(PumpUntil([&] { return AllPreviews(dlg); }));
        Choose(dlg, IndexOf(dlg, FrameItemKind::Template));
        dlg->GetDlgItem(IDOK)->SendMessage(BM_CLICK);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(added, 1);
    UINT w = 0, h = 0;
    thePhotoDocument.m_image.GetSize(&w, &h);
    EXPECT_TRUE(w != 160 || h != 100) << "the photo took its frame";
}

TEST_F(AddFrameDlgTest, CancelAndOkWithoutATemplateLeaveThePhoto)
{
    OpenPhoto(90, 120);
    CQLImage before;
    before.DuplicateFrom(&thePhotoDocument.m_image);
    for (UINT button : {IDCANCEL, IDOK}) {
        const int added = RunCommand([&](CAddFrameDlg* dlg) {
            // Closing while previews are being made waits for at most one.
            dlg->GetDlgItem(button)->SendMessage(BM_CLICK);
            return qlafx::kModalRun;
        });
        EXPECT_EQ(added, 0);
        EXPECT_EQ(thePhotoDocument.m_image.GetAreaByteSize(), before.GetAreaByteSize());
        EXPECT_EQ(std::memcmp(thePhotoDocument.m_image.GetBuffer(0, 0), before.GetBuffer(0, 0),
                              before.GetAreaByteSize()),
                  0);
    }
}

TEST_F(AddFrameDlgTest, GrabOfTheStarterLibraryOnACorpusPhoto)
{
    if (!OpenCorpusPhoto())
        GTEST_SKIP() << "corpus photo absent";
    std::string grab;
    RunCommand([&](CAddFrameDlg* dlg) {
        // The starter library's root holds only folders; its templates are below.
        Activate(dlg, 1);
        EXPECT_TRUE(PumpUntil([&] { return AllPreviews(dlg); }));
        Choose(dlg, IndexOf(dlg, FrameItemKind::Template) + 1);
        dlg->ShowWindow(SW_SHOW);
        grab = Grab(dlg, "add-frame");
        return IDCANCEL;
    });
    EXPECT_FALSE(grab.empty());
}
