// The parameter dialog of effect plug-ins with a plug-in made in code: built
// from the description, run with the value text, applied on OK as one undo
// step, and nothing applied when the plug-in fails.
#include "EffectDialogTestEnv.h"
#include "SkinTestSupport.h"

#include "algorithms/GaussianBlur.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AlgorithmThread.h"
#include "editor/ui/EffectDlg.h"
#include "platform/afx/MessageBox.h"
#include "platform/codec/QLImageCodec.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

namespace {

using effecttest::PumpUntil;

constexpr char kExample[] =
    "int 'Radius'{1,128,64};int 'Amount'{0,100,50};enum 'process color'{0,'true','false'};";

// The plug-in's side: what it was handed, and a blur by the radius it reads.
std::mutex g_lock;
std::vector<std::string> g_values;
std::atomic<bool> g_codecSet{false};
std::atomic<bool> g_fail{false};

int ApplyBlur(const char* values, FilterHost* host)
{
    {
        std::lock_guard guard(g_lock);
        g_values.emplace_back(values);
    }
    g_codecSet = false;
    if (g_fail)
        return E_FAIL;
    int radius = 1;
    if (const char* r = std::strstr(values, "'Radius'='"))
        radius = std::atoi(r + 10);
    if (!host->CopySourceToTarget())
        return E_FAIL;
    UINT w = 0, h = 0;
    host->GetSource()->GetSize(&w, &h);
    host->Progress(50);
    const bool ok = GaussianBlurPlane(host->GetSource()->GetBuffer(0, 0), host->GetTarget()->GetBuffer(0, 0),
                                      static_cast<int>(w), static_cast<int>(h), 4,
                                      MakeGaussianKernel(radius / 16.0 + 0.5), false, nullptr);
    return ok ? 0 : E_FAIL;
}

std::vector<std::string> Values()
{
    std::lock_guard guard(g_lock);
    return g_values;
}

class EffectDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        {
            std::lock_guard guard(g_lock);
            g_values.clear();
        }
        g_fail = false;
        std::memset(&record, 0xCD, sizeof record);  // the editor does not zero it
        std::snprintf(record.name, sizeof record.name, "Soft blur");
        std::snprintf(record.description, sizeof record.description, "Blurs the photo by the radius.");
        std::snprintf(record.paramSpec, sizeof record.paramSpec, "%s", kExample);
        record.apply = &ApplyBlur;
        record.codec = nullptr;
        const std::string photo = std::string(QUILLO_CORPUS_DIR) + "/exif-samples/jpg/Canon_40D.jpg";
        CQLImageCodec codec;
        if (!std::filesystem::exists(photo) || !codec.LoadFile(photo.c_str(), &thePhotoDocument.m_image))
            skintest::Fill(&thePhotoDocument.m_image, 160, 120, CPixel{40, 120, 220, 255});
        for (int x = 0; x < 20; ++x)  // a sharp edge the blur must soften
            for (int y = 0; y < 20; ++y)
                thePhotoDocument.m_image.PutPixel(x, y, CPixel{255, 255, 255, 255});
        original.DuplicateFrom(&thePhotoDocument.m_image);
        thePhotoDocument.m_history.Reset();
        ASSERT_EQ(thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open"), 1);
        ::SetCursorPos(3000, 3000);
    }
    void TearDown() override
    {
        qlafx::SetModalHook({});
        qlafx::ProcessPendingEvents();
    }
    // Runs the dialog; work is called inside it once the first run is done.
    int Run(const std::function<int(CEffectDlg&)>& work)
    {
        CEffectDlg dlg(nullptr);
        dlg.record = &record;
        int hookCalls = 0;
        qlafx::SetModalHook([&](CWnd* dialog, const char*, const char* text, UINT) -> int {
            if (!dialog)
                return boxes.push_back(text ? text : ""), IDOK;
            ++hookCalls;
            auto& d = static_cast<CEffectDlg&>(*dialog);
            EXPECT_TRUE(PumpUntil([&] { return !d.JobPending(); }));
            qlafx::ProcessPendingEvents();
            return work(d);
        });
        const int answer = dlg.DoModal();
        qlafx::SetModalHook({});
        dialogsShown = hookCalls;
        return answer;
    }
    bool PhotoUnchanged() const
    {
        return SameBytes(thePhotoDocument.m_image, original);
    }
    static bool SameBytes(const CQLImage& a, const CQLImage& b)
    {
        return a.GetAreaByteSize() == b.GetAreaByteSize()
            && std::memcmp(a.GetBuffer(0, 0), b.GetBuffer(0, 0), a.GetAreaByteSize()) == 0;
    }

    EffectRecord record;
    CQLImage original;
    std::vector<std::string> boxes;
    int dialogsShown = 0;
};

TEST_F(EffectDlgTest, BadDescriptionMakesNoDialog)
{
    std::snprintf(record.paramSpec, sizeof record.paramSpec, "Int 'x'{0,10};");
    EXPECT_EQ(Run([](CEffectDlg&) { return IDOK; }), -1);
    EXPECT_EQ(dialogsShown, 0);
    EXPECT_TRUE(Values().empty());
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
}

// A description that fills its field to the last byte is read no further.
TEST_F(EffectDlgTest, UnterminatedDescriptionIsReadWithinItsField)
{
    std::memset(record.paramSpec, ' ', sizeof record.paramSpec);
    std::memcpy(record.paramSpec, "int 'x'{0,9,3};", 15);
    std::memset(record.name, 'N', sizeof record.name);
    const int answer = Run([](CEffectDlg& d) {
        CString title;
        d.GetWindowText(title);
        EXPECT_EQ(std::strlen(title.GetString()), sizeof(EffectRecord::name));
        return IDCANCEL;
    });
    EXPECT_EQ(answer, -1);  // the trailing blanks are a statement without a quote
}

TEST_F(EffectDlgTest, ExampleBuildsThreeRowsRunsWithTheValueTextAndSavesItsGrab)
{
    const int answer = Run([&](CEffectDlg& d) {
        EXPECT_EQ(d.params.size(), 3u);
        EXPECT_EQ(Values().front(), "'Radius'='64';'Amount'='50';'process color'='0';");
        EXPECT_EQ(record.codec, &d.codec);
        CString title, help;
        d.GetWindowText(title);
        d.GetDlgItemText(IDC_EFFECT_HELP, help);
        EXPECT_STREQ(title.GetString(), "Soft blur");
        EXPECT_STREQ(help.GetString(), "Blurs the photo by the radius.");
        // The grid sits in the placeholder, one pixel inside.
        RECT place, grid;
        d.GetDlgItem(IDC_EFFECT_GRID_PLACE)->GetWindowRect(&place);
        d.grid.GetWindowRect(&grid);
        EXPECT_EQ(grid.left, place.left + 1);
        EXPECT_EQ(grid.bottom, place.bottom - 1);
        EXPECT_FALSE(SameBytes(d.result, thePhotoDocument.m_image));  // the preview is done
        d.modeBar.SetViewMode(2);
        qlafx::ProcessPendingEvents();
        d.SetWindowPos(nullptr, 0, 0, 760, 460, SWP_NOMOVE | SWP_NOZORDER);
        d.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        qlafx::ProcessPendingEvents();
        const QImage grab = d.GetWidget()->grab().toImage();
        EXPECT_FALSE(grab.isNull());
        std::filesystem::create_directories(QUILLO_GRAB_DIR);
        const std::string path = std::string(QUILLO_GRAB_DIR) + "/effect_dlg.png";
        EXPECT_TRUE(grab.save(QString::fromStdString(path)));
        std::printf("grab: %s\n", path.c_str());
        return IDCANCEL;
    });
    EXPECT_EQ(answer, IDCANCEL);
    EXPECT_TRUE(PhotoUnchanged());
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
}

TEST_F(EffectDlgTest, GridChangeRunsAgainWithTheNewValue)
{
    Run([&](CEffectDlg& d) {
        auto* radius = dynamic_cast<IntParam*>(d.params[0]);
        radius->number = 8;
        auto* colour = dynamic_cast<EnumParam*>(d.params[2]);
        colour->index = 1;
        d.SendMessage(WM_PARAMGRID_CHANGED, 0, 0);
        EXPECT_TRUE(PumpUntil([&] { return Values().size() == 2 && !d.JobPending(); }));
        qlafx::ProcessPendingEvents();
        EXPECT_EQ(Values().back(), "'Radius'='8';'Amount'='50';'process color'='1';");
        return IDCANCEL;
    });
}

TEST_F(EffectDlgTest, OkAppliesTheResultAsOneUndoStepNamedByThePlugin)
{
    CQLImage preview;
    const int answer = Run([&](CEffectDlg& d) {
        preview.DuplicateFrom(&d.result);
        d.SendMessage(WM_COMMAND, IDOK, 0);
        return IDCANCEL;  // unused once OK ended the dialog
    });
    EXPECT_EQ(answer, IDOK);
    EXPECT_TRUE(SameBytes(thePhotoDocument.m_image, preview));
    EXPECT_FALSE(PhotoUnchanged());
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 2);
    char names[256];
    EXPECT_STREQ(thePhotoDocument.m_history.GetActionText(sizeof names, names), "Open,Soft blur,");
    EXPECT_EQ(effecttest::ProfileInt("FilterInitMax", "EffectDlg"), 0);
}

TEST_F(EffectDlgTest, FailingPluginLeavesPhotoAndHistoryUnchanged)
{
    g_fail = true;
    const int answer = Run([&](CEffectDlg& d) {
        EXPECT_TRUE(SameBytes(d.result, thePhotoDocument.m_image));  // the unchanged preview
        d.SendMessage(WM_COMMAND, IDOK, 0);
        return IDCANCEL;
    });
    EXPECT_EQ(answer, IDCANCEL);
    EXPECT_EQ(boxes, std::vector<std::string>{"Unexpected error"});
    EXPECT_TRUE(PhotoUnchanged());
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
    EXPECT_EQ(Values().size(), 2u);  // the preview and one more try at OK
}

TEST_F(EffectDlgTest, MissingApplyFunctionShowsTheUnchangedPreview)
{
    record.apply = nullptr;
    const int answer = Run([&](CEffectDlg& d) {
                EXPECT_TRUE(SameBytes(d.result, thePhotoDocument.m_image));
        d.SendMessage(WM_COMMAND, IDOK, 0);
        return IDCANCEL;
    });
    EXPECT_EQ(answer, IDCANCEL);
    EXPECT_TRUE(PhotoUnchanged());
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
}

}  // namespace
