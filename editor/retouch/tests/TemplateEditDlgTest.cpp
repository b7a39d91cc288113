// "Template Editing" and its settings dialogs: size texts, the "Size" unit
// rule and positive canvas margins, enable rules, the empty name, the
// signature placement and macros, the rectangle list, and grabs.
#include "FrameWindowsTestSupport.h"

#include "editor/adjust/LogoSettingsDlg.h"
#include "editor/retouch/TemplateEditDlg.h"
#include "editor/retouch/TemplateSettingsDlgs.h"

namespace {

using framedialogtest::FrameWindowsTest;
using framedialogtest::PumpUntil;

class TemplateEditDlgTest : public FrameWindowsTest {
protected:
    // Runs the editor on frame; work gets it once its first preview is done.
    void Run(const FrameTemplate& frame, const std::function<int(CTemplateEditDlg*)>& work)
    {
        onDialog = [&](CWnd* dialog) -> int {
            if (auto* edit = dynamic_cast<CTemplateEditDlg*>(dialog)) {
                EXPECT_TRUE(PumpUntil([&] { return !edit->JobPending(); }));
                return work(edit);
            }
            return settings ? settings(dialog) : IDCANCEL;
        };
        CTemplateEditDlg dialog(m_frame);
        dialog.m_template.CopyFrom(frame);
        dialog.DoModal();
        edited.CopyFrom(dialog.m_template);
    }
    static FrameTemplate Defaults()
    {
        FrameTemplate frame;
        frame.ResetToDefaults();
        return frame;
    }

    std::function<int(CWnd*)> settings;
    FrameTemplate edited;
};

} // namespace

TEST(SizeTextTest, EachValueCarriesItsOwnUnit)
{
    const struct {
        FrameLength l, t, r, b;
        const char* text;
    } cases[] = {
        {{0, 5}, {0, 5}, {0, 5}, {0, 10}, "5%,5%,5%,10%"},
        {{1, 20}, {0, -3}, {1, 0}, {0, 50}, "20,-3%,0,50%"},
        {{1, -20}, {1, -20}, {1, -20}, {1, -20}, "-20,-20,-20,-20"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SizeText(c.l, c.t, c.r, c.b), c.text);
}

TEST(MacroCodeTest, EveryMenuItemAppendsItsCode)
{
    const char* codes[] = {"%A", "%C", "%I", "%S", "%U", "%T", "%t"};
    for (UINT i = 0; i < 7; ++i)
        EXPECT_STREQ(MacroCode(40001 + i), codes[i]);
    EXPECT_EQ(MacroCode(40008), nullptr);
}

TEST_F(TemplateEditDlgTest, SizeDialogGivesTheGroupTheLeftUnitAndCanvasMarginsArePositive)
{
    OpenPhoto(120, 80);
    FrameTemplate frame = Defaults();
    frame.m_canvas.left = {0, 5};
    frame.m_border.left = {1, 3};
    int seenUnit = -1;
    settings = [&](CWnd* dialog) -> int {
        auto* size = dynamic_cast<CFrameSizeDlg*>(dialog);
        if (!size)
            return IDCANCEL;
        seenUnit = static_cast<int>(size->SendDlgItemMessage(IDC_SIZE_UNIT, CB_GETCURSEL));
        EXPECT_FALSE(size->GetDlgItem(IDC_SIZE_UNIT)->IsWindowVisible());
        for (int i = 0; i < 4; ++i)
            size->SetDlgItemText(IDC_SIZE_LEFT + i, i % 2 ? "-20" : "7");
        size->GetDlgItem(IDOK)->SendMessage(BM_CLICK);
        return qlafx::kModalRun;
    };
    Run(frame, [&](CTemplateEditDlg* dlg) {
        Click(dlg, IDC_CANVAS_SIZE);
        EXPECT_EQ(seenUnit, 0);
        char text[64];
        dlg->GetDlgItemText(IDC_CANVAS_SIZE_TEXT, text, sizeof text);
        EXPECT_STREQ(text, "7%,20%,7%,20%");
        dlg->CheckDlgButton(IDC_BORDER_ENABLE, BST_CHECKED);
        Click(dlg, IDC_BORDER_ENABLE);
        Click(dlg, IDC_BORDER_SIZE);
        EXPECT_EQ(seenUnit, 1);
        dlg->GetDlgItemText(IDC_BORDER_SIZE_TEXT, text, sizeof text);
        EXPECT_STREQ(text, "7,-20,7,-20") << "border widths keep their sign";
        EXPECT_TRUE(PumpUntil([&] { return !dlg->JobPending(); }));
        dlg->GetDlgItem(IDOK)->SendMessage(BM_CLICK);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(edited.m_canvas.top.value, 20);
    EXPECT_EQ(edited.m_border.top.value, -20);
    EXPECT_EQ(edited.m_border.bottom.inPixels, 1);
}

TEST_F(TemplateEditDlgTest, EnableRulesAndAnEmptyNameIsRefused)
{
    OpenPhoto(60, 40);
    FrameTemplate frame = Defaults();
    frame.m_border.enabled = 1;
    frame.m_border.type = 0;
    Run(frame, [&](CTemplateEditDlg* dlg) {
        const auto enabled = [dlg](UINT id) { return dlg->GetDlgItem(id)->IsWindowEnabled() != FALSE; };
        EXPECT_TRUE(enabled(IDC_BORDER_SIZE));
        EXPECT_FALSE(enabled(IDC_BORDER_ADVANCE)) << "nothing more to set for a solid border";
        EXPECT_FALSE(enabled(IDC_SIGNATURE_ADVANCE));
        EXPECT_FALSE(enabled(IDC_LOGO_ADVANCE));
        dlg->SendDlgItemMessage(IDC_BORDER_TYPE, CB_SETCURSEL, 1);
        dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BORDER_TYPE, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(dlg->GetDlgItem(IDC_BORDER_TYPE)->m_hWnd));
        EXPECT_TRUE(enabled(IDC_BORDER_ADVANCE));
        dlg->CheckDlgButton(IDC_BORDER_ENABLE, BST_UNCHECKED);
        Click(dlg, IDC_BORDER_ENABLE);
        EXPECT_FALSE(enabled(IDC_BORDER_SIZE));
        EXPECT_FALSE(enabled(IDC_BORDER_ADVANCE));
        dlg->SetDlgItemText(IDC_TEMPLATE_NAME, "");
        dlg->GetDlgItem(IDOK)->SendMessage(BM_CLICK);
        EXPECT_TRUE(::IsWindow(dlg->m_hWnd)) << "the dialog stays open";
        return IDCANCEL;
    });
    EXPECT_EQ(m_boxes, (std::vector<std::string>{"Name can not be null!"}));
}

// The logo button opens the logo settings on the template's values and
// writes them back on OK, units as they were.
TEST_F(TemplateEditDlgTest, LogoSettingsEditTheTemplatesLogo)
{
    OpenPhoto(60, 40);
    FrameTemplate frame = Defaults();
    frame.m_logo.enabled = 1;
    frame.m_logo.width = {1, 30};
    int seenX = -1;
    settings = [&](CWnd* dialog) -> int {
        auto* logo = dynamic_cast<CLogoSettingsDlg*>(dialog);
        if (!logo)
            return IDCANCEL;
        seenX = logo->logoX;
        logo->SetDlgItemText(1149, "/photos/logo.png");
        logo->SetDlgItemText(1142, "10");
        logo->SetDlgItemText(1144, "-5");
        logo->SetDlgItemText(1131, "12");
        logo->GetDlgItem(IDOK)->SendMessage(BM_CLICK);
        return qlafx::kModalRun;
    };
    Run(frame, [&](CTemplateEditDlg* dlg) {
        EXPECT_TRUE(dlg->GetDlgItem(IDC_LOGO_ADVANCE)->IsWindowEnabled());
        Click(dlg, IDC_LOGO_ADVANCE);
        EXPECT_TRUE(PumpUntil([&] { return !dlg->JobPending(); }));
        dlg->GetDlgItem(IDOK)->SendMessage(BM_CLICK);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(seenX, 98) << "the template's default x";
    EXPECT_STREQ(edited.m_logo.path, "/photos/logo.png");
    EXPECT_EQ(edited.m_logo.x.value, 10);
    EXPECT_EQ(edited.m_logo.y.value, -5);
    EXPECT_EQ(edited.m_logo.width.value, 12);
    EXPECT_EQ(edited.m_logo.width.inPixels, 1) << "units stay";
}

TEST_F(TemplateEditDlgTest, GrabWithAShadowBorderAndASignature)
{
    if (!OpenCorpusPhoto())
        GTEST_SKIP() << "corpus photo absent";
    FrameTemplate frame = Defaults();
    frame.m_canvas.left = frame.m_canvas.right = frame.m_canvas.top = {0, 4};
    frame.m_canvas.bottom = {0, 14};
    frame.m_canvas.colour = {245, 245, 245, 255};
    frame.m_border.enabled = 1;
    frame.m_border.type = 1;
    frame.m_border.left = frame.m_border.right = frame.m_border.top = frame.m_border.bottom = {0, 1};
    frame.m_border.shadowX = frame.m_border.shadowY = {0, 1};
    frame.m_border.shadowBlur = {0, 1};
    frame.m_border.colour = {40, 40, 40, 255};
    frame.m_border.shadowColour = {90, 90, 90, 255};
    frame.m_signature.enabled = 1;
    std::snprintf(frame.m_signature.text, sizeof frame.m_signature.text, "%%C %%S");
    frame.m_signature.colour = {30, 30, 30, 255};
    frame.m_signature.x = {0, 50};
    frame.m_signature.y = {0, 106};
    frame.m_signature.height = {0, 4};
    frame.m_signature.align = 2;
    std::string grab;
    Run(frame, [&](CTemplateEditDlg* dlg) {
        UINT w = 0, h = 0, pw = 0, ph = 0;
        dlg->result.GetSize(&w, &h);
        thePhotoDocument.m_image.GetSize(&pw, &ph);
        EXPECT_GT(h, ph) << "the preview shows the canvas";
        dlg->ShowWindow(SW_SHOW);
        grab = Grab(dlg, "template-editing");
        return IDCANCEL;
    });
    EXPECT_FALSE(grab.empty());
}

TEST_F(TemplateEditDlgTest, SignaturePlacementFollowsClicksAndMacrosAppend)
{
    CSignatureSettingsDlg* seen = nullptr;
    std::string grab;
    onDialog = [&](CWnd* dialog) -> int {
        auto* sign = dynamic_cast<CSignatureSettingsDlg*>(dialog);
        if (!sign)
            return IDCANCEL;
        seen = sign;
        const RECT photo = CSignatureSettingsDlg::PhotoRect(sign->PreviewArea());
        const POINT at{photo.left + (photo.right - photo.left) / 4, photo.top + (photo.bottom - photo.top) * 3 / 4};
        sign->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        char text[16];
        sign->GetDlgItemText(IDC_SIGN_X, text, sizeof text);
        EXPECT_STREQ(text, "25");
        sign->GetDlgItemText(IDC_SIGN_Y, text, sizeof text);
        EXPECT_STREQ(text, "75");
        sign->SetDlgItemText(IDC_SIGN_TEXT, "Taken");
        sign->AppendMacro(40002);
        sign->AppendMacro(40004);
        const POINT middle{(photo.left + photo.right) / 2, (photo.top + photo.bottom) / 2};
        sign->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(middle.x, middle.y));
        sign->SendDlgItemMessage(IDC_SIGN_ALIGN, CB_SETCURSEL, 2);
        sign->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SIGN_ALIGN, CBN_SELCHANGE),
                          reinterpret_cast<LPARAM>(sign->GetDlgItem(IDC_SIGN_ALIGN)->m_hWnd));
        sign->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        grab = Grab(sign, "signature-settings");
        sign->GetDlgItem(IDOK)->SendMessage(BM_CLICK);
        return qlafx::kModalRun;
    };
    FrameTemplate frame = Defaults();
    CSignatureSettingsDlg dialog(m_frame);
    dialog.Load(frame.m_signature);
    ASSERT_EQ(dialog.DoModal(), IDOK);
    dialog.Store(frame.m_signature);
    ASSERT_NE(seen, nullptr);
    EXPECT_STREQ(frame.m_signature.text, "Taken%C%S");
    EXPECT_EQ(frame.m_signature.x.value, 50);
    EXPECT_EQ(frame.m_signature.y.value, 50);
    EXPECT_EQ(frame.m_signature.align, 2);
    EXPECT_FALSE(grab.empty());
}

TEST(SignaturePlacementTest, ClicksMapToPercentagesOfThePhotoRectangle)
{
    const RECT photo = CSignatureSettingsDlg::PhotoRect(RECT{10, 20, 270, 220});
    EXPECT_EQ(photo.left, 40);
    EXPECT_EQ(photo.bottom, 190);
    const struct {
        POINT click, xy;
    } cases[] = {{{40, 50}, {0, 0}}, {{240, 190}, {100, 100}}, {{140, 120}, {50, 50}}, {{0, 0}, {-20, -35}}};
    for (const auto& c : cases) {
        const POINT xy = CSignatureSettingsDlg::ClickToXY(photo, c.click);
        EXPECT_EQ(xy.x, c.xy.x);
        EXPECT_EQ(xy.y, c.xy.y);
        const POINT back = CSignatureSettingsDlg::Anchor(photo, c.xy.x, c.xy.y);
        EXPECT_NEAR(back.x, c.click.x, 2);
    }
}

TEST_F(TemplateEditDlgTest, RectanglesAreAddedModifiedAndDeletedUpToTheCap)
{
    std::vector<FrameRectangle> result;
    std::string grab;
    onDialog = [&](CWnd* dialog) -> int {
        auto* rects = dynamic_cast<CRectangleSettingsDlg*>(dialog);
        if (!rects)
            return IDCANCEL;
        auto* list = static_cast<CListCtrl*>(rects->GetDlgItem(IDC_RECT_LIST));
        rects->m_edit.left = {1, 4};
        rects->SetDlgItemText(IDC_RECT_WIDTH, "3");
        rects->Add();
        EXPECT_EQ(rects->m_rectangles.back().left.inPixels, 0) << "added rectangles measure in percent";
        EXPECT_EQ(rects->m_rectangles.back().lineWidth, 3);
        rects->m_edit.colour = {0, 0, 255, 255};
        rects->Add();
        rects->Add();
        EXPECT_EQ(list->GetItemCount(), 3);
        EXPECT_STREQ(list->GetItemText(2, 0), "Rectangle 2");
        EXPECT_STREQ(list->GetItemText(0, 1), "4,0,0,0");
        EXPECT_STREQ(list->GetItemText(1, 2), "R=255,G=0,B=0,A=255");
        list->SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        EXPECT_EQ(rects->m_edit.colour.r, 255) << "a click loads the rectangle";
        EXPECT_EQ(rects->m_edit.colour.b, 255);
        grab = Grab(rects, "template-dialog-190");
        rects->m_edit.colour = {0, 255, 0, 255};
        rects->Modify();
        EXPECT_STREQ(list->GetItemText(0, 2), "R=0,G=255,B=0,A=255");
        list->SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        NMLVKEYDOWN key{};
        key.hdr = {list->m_hWnd, IDC_RECT_LIST, static_cast<UINT>(LVN_KEYDOWN)};
        key.wVKey = VK_DELETE;
        rects->SendMessage(WM_NOTIFY, IDC_RECT_LIST, reinterpret_cast<LPARAM>(&key));
        EXPECT_EQ(list->GetItemCount(), 2);
        rects->m_rectangles.resize(FrameTemplate::kMaxRectangles);
        rects->Add();
        EXPECT_EQ(rects->m_rectangles.size(), FrameTemplate::kMaxRectangles) << "no more fit a file";
        rects->m_rectangles.resize(2);
        result = rects->m_rectangles;
        return IDCANCEL;
    };
    CRectangleSettingsDlg dialog(m_frame);
    dialog.DoModal();
    ASSERT_EQ(result.size(), 2u);
    EXPECT_EQ(result[0].colour.g, 255);
    EXPECT_EQ(result[1].colour.r, 255);
    EXPECT_FALSE(grab.empty());
}

TEST_F(TemplateEditDlgTest, GrabsOfTheSmallSettingsDialogs)
{
    FrameTemplate frame = Defaults();
    frame.m_border.shadowX = {0, 3};
    const auto grabOf = [&](CDialog& dialog, const char* name) {
        std::string grab;
        onDialog = [&](CWnd* d) -> int {
            grab = Grab(d, name);
            return IDCANCEL;
        };
        dialog.DoModal();
        EXPECT_FALSE(grab.empty()) << name;
    };
    CTemplateInfoDlg info(m_frame);
    info.m_author = "A. Smith";
    info.m_comment = "Warm wood and a wide mat";
    grabOf(info, "template-dialog-185");
    CFrameSizeDlg size(m_frame);
    size.Load({0, 5}, {0, 5}, {0, 5}, {0, 12});
    grabOf(size, "template-dialog-187");
    CBorderShadowDlg shadow(m_frame);
    shadow.Load(frame.m_border);
    grabOf(shadow, "template-dialog-189");
    CScanLineDlg scan(m_frame);
    scan.m_pattern = 2;
    grabOf(scan, "template-dialog-191");
}
