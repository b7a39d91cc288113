// The text overlay's "Effects" page: groups follow their check boxes, spins
// clamp at both ends, typing forwards only numbers in range, a chosen
// colour is written back; each change notifies the sheet.
#include "EffectDialogTestEnv.h"
#include "SkinTestSupport.h"

#include "editor/ui/EffecPage.h"
#include "editor/ui/SelectColorDlg.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/MessageBox.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

class EffecPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(parent.CreateParent(0, 0, 420, 400));
        ASSERT_TRUE(page.Create(IDD_EFFECTS_PAGE, &parent));
        page.ShowWindow(SW_SHOW);
        page.onChanged = [this] { ++notified; };
        qlafx::ProcessPendingEvents();
    }
    void TearDown() override
    {
        qlafx::SetModalHook({});
        page.DestroyWindow();
        parent.DestroyWindow();
        qlafx::ProcessPendingEvents();
    }
    std::string Text(UINT id)
    {
        char text[64] = {};
        page.GetDlgItemText(static_cast<int>(id), text, sizeof text);
        return text;
    }
    bool Enabled(UINT id) { return page.GetDlgItem(static_cast<int>(id))->IsWindowEnabled() != FALSE; }
    void Spin(UINT id, int delta)
    {
        NMUPDOWN n{};
        n.hdr.hwndFrom = page.GetDlgItem(static_cast<int>(id))->m_hWnd;
        n.hdr.idFrom = id;
        n.hdr.code = UDN_DELTAPOS;
        n.iDelta = delta;
        page.SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&n));
    }

    skintest::CParentWnd parent;
    CEffecPage page;
    int notified = 0;
};

const UINT kShadowIds[] = {1229, 1230, 1250, 1231, 1233, 1234, 1235};
const UINT kEmbossIds[] = {1237, 1238, 1098, 1240, 1241, 1248, 1249};
const UINT kEmissionIds[] = {1239, 1243, 1246, 1245, 1247};

TEST_F(EffecPageTest, InitialValuesAndClassName)
{
    EXPECT_STREQ(page.GetRuntimeClass()->m_lpszClassName, "CEffecPage");
    const std::pair<UINT, const char*> shown[] = {{1248, "0"},   {1237, "1"}, {1245, "3"}, {1239, "1"},
                                                  {1250, "5"},   {1229, "5"}, {1233, "0"}, {1098, "128"}};
    for (const auto& [id, text] : shown)
        EXPECT_EQ(Text(id), text) << id;
    EXPECT_EQ(page.SendDlgItemMessage(IDC_EMBOSS_DIRECTION, CB_GETCURSEL), 1);
    EXPECT_EQ(page.SendDlgItemMessage(IDC_EMBOSS_DIRECTION, CB_GETCOUNT), 8);
    const unsigned char shadow[4] = {0, 0, 0, 64}, emission[4] = {255, 255, 255, 255};
    EXPECT_EQ(std::memcmp(page.shadowColour, shadow, 4), 0);
    EXPECT_EQ(std::memcmp(page.emissionColour, emission, 4), 0);
}

TEST_F(EffecPageTest, GroupsFollowTheirCheckBoxes)
{
    for (UINT id : kShadowIds)
        EXPECT_FALSE(Enabled(id)) << id;
    page.GetDlgItem(IDC_SHADOW_ON)->SendMessage(BM_CLICK);
    EXPECT_EQ(page.shadowOn, 1);
    EXPECT_EQ(notified, 1);
    for (UINT id : kShadowIds)
        EXPECT_TRUE(Enabled(id)) << id;
    for (UINT id : kEmbossIds)
        EXPECT_FALSE(Enabled(id)) << id;
    page.GetDlgItem(IDC_EMISSION_ON)->SendMessage(BM_CLICK);
    for (UINT id : kEmissionIds)
        EXPECT_TRUE(Enabled(id)) << id;
    page.GetDlgItem(IDC_SHADOW_ON)->SendMessage(BM_CLICK);
    for (UINT id : kShadowIds)
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_EQ(notified, 3);
}

// The spun member becomes member - delta, clamped to its range.
TEST_F(EffecPageTest, SpinsClampAtBothEnds)
{
    const struct {
        UINT spin, edit;
        int delta;
        const char* expected;
    } cases[] = {
        {IDC_SHADOW_X_SPIN, IDC_SHADOW_X, -1, "6"},        {IDC_SHADOW_X_SPIN, IDC_SHADOW_X, -100, "64"},
        {IDC_SHADOW_X_SPIN, IDC_SHADOW_X, 500, "-64"},     {IDC_SHADOW_Y_SPIN, IDC_SHADOW_Y, 69, "-64"},
        {IDC_SHADOW_BLUR_SPIN, IDC_SHADOW_BLUR, 1, "0"},   {IDC_SHADOW_BLUR_SPIN, IDC_SHADOW_BLUR, -40, "32"},
        {IDC_EMBOSS_DEPTH_SPIN, IDC_EMBOSS_DEPTH, 5, "1"}, {IDC_EMBOSS_DEPTH_SPIN, IDC_EMBOSS_DEPTH, -99, "32"},
        {IDC_EMBOSS_OPACITY_SPIN, IDC_EFFECTS_OPACITY, -300, "255"},
        {IDC_EMBOSS_OPACITY_SPIN, IDC_EFFECTS_OPACITY, 300, "0"},
        {IDC_EMBOSS_BLUR_SPIN, IDC_EMBOSS_BLUR, -2, "2"},  {IDC_EMISSION_DEPTH_SPIN, IDC_EMISSION_DEPTH, 1, "1"},
        {IDC_EMISSION_BLUR_SPIN, IDC_EMISSION_BLUR, -1, "4"}, {IDC_EMISSION_BLUR_SPIN, IDC_EMISSION_BLUR, 9, "0"},
    };
    int expectedNotices = 0;
    for (const auto& c : cases) {
        Spin(c.spin, c.delta);
        ++expectedNotices;
        EXPECT_EQ(Text(c.edit), c.expected) << c.spin << " by " << c.delta;
    }
    EXPECT_EQ(page.shadowX, -64);
    EXPECT_EQ(page.embossOpacity, 0u);
    EXPECT_EQ(notified, expectedNotices);
}

TEST_F(EffecPageTest, TypingNotifiesOnlyForNumbersInRange)
{
    const struct {
        UINT edit;
        const char* text;
        bool notifies;
    } cases[] = {
        {IDC_SHADOW_X, "-", false}, {IDC_SHADOW_X, "-12", true}, {IDC_SHADOW_X, "65", false},
        {IDC_EFFECTS_OPACITY, "200", false},  // another box still holds no valid number
        {IDC_SHADOW_X, "-12", true}, {IDC_EFFECTS_OPACITY, "", false}, {IDC_EFFECTS_OPACITY, "200", true}, {IDC_EMBOSS_DEPTH, "0", false},
        {IDC_EMBOSS_DEPTH, "1", true},
    };
    for (const auto& c : cases) {
        const int before = notified;
        page.SetDlgItemText(static_cast<int>(c.edit), c.text);  // the edit box reports the change
        EXPECT_EQ(notified > before, c.notifies) << c.edit << " '" << c.text << "'";
    }
    // Texts out of range leave the last good values.
    EXPECT_EQ(page.embossOpacity, 200u);
    EXPECT_EQ(page.shadowX, -12);
    EXPECT_EQ(page.embossDepth, 1u);
}

TEST_F(EffecPageTest, ChosenColourIsWrittenBackAndTheSheetNotified)
{
    page.GetDlgItem(IDC_SHADOW_ON)->SendMessage(BM_CLICK);
    const int before = notified;
    qlafx::SetModalHook([](CWnd* dlg, const char*, const char*, UINT) -> int {
        if (!dlg)
            return IDOK;
        dlg->SetDlgItemText(IDC_SELCOLOR_RED, "200");
        dlg->SetDlgItemText(IDC_SELCOLOR_GREEN, "20");
        dlg->SetDlgItemText(IDC_SELCOLOR_BLUE, "10");
        dlg->SetDlgItemText(IDC_SELCOLOR_OPACITY, "180");
        dlg->GetDlgItem(IDOK)->SendMessage(BM_CLICK);
        return qlafx::kModalRun;
    });
    page.GetDlgItem(IDC_SHADOW_COLOR)->SendMessage(BM_CLICK);
    const unsigned char expected[4] = {10, 20, 200, 180};
    EXPECT_EQ(std::memcmp(page.shadowColour, expected, 4), 0);
    EXPECT_EQ(notified, before + 1);
    // Cancelled: nothing changes, nobody is told.
    qlafx::SetModalHook([](CWnd* dlg, const char*, const char*, UINT) { return dlg ? IDCANCEL : IDOK; });
    page.GetDlgItem(IDC_SHADOW_COLOR)->SendMessage(BM_CLICK);
    EXPECT_EQ(std::memcmp(page.shadowColour, expected, 4), 0);
    EXPECT_EQ(notified, before + 1);
    // The swatch shows the colour: its top-left square is over grey 128.
    page.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const QImage surface = skintest::SurfaceOf(page.m_hWnd);
    RECT swatch;
    page.GetDlgItem(IDC_SHADOW_SWATCH)->GetWindowRect(&swatch);
    page.ScreenToClient(&swatch);
    const skintest::Bgr seen = skintest::BgrAt(surface, swatch.left + 1, swatch.top + 1);
    EXPECT_EQ(seen.r, (200 * 180 + 128 * 75) / 255);
}

TEST_F(EffecPageTest, GrabWithShadowOn)
{
    page.GetDlgItem(IDC_SHADOW_ON)->SendMessage(BM_CLICK);
    for (UINT id : kEmbossIds)
        EXPECT_FALSE(Enabled(id));
    for (UINT id : kEmissionIds)
        EXPECT_FALSE(Enabled(id));
    page.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    qlafx::ProcessPendingEvents();
    const QImage grab = page.GetWidget()->grab().toImage();
    ASSERT_FALSE(grab.isNull());
    std::filesystem::create_directories(QUILLO_GRAB_DIR);
    const std::string path = std::string(QUILLO_GRAB_DIR) + "/effect_page.png";
    ASSERT_TRUE(grab.save(QString::fromStdString(path)));
    std::printf("grab: %s\n", path.c_str());
}

}  // namespace
