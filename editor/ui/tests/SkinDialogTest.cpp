#include "SkinTestSupport.h"

#include "editor/ui/AppSettings.h"
#include "editor/ui/ButtonST.h"
#include "editor/ui/SkinDialog.h"
#include "editor/ui/SkinPropertyPage.h"
#include "editor/ui/TwoStatusCheck.h"

#include <algorithm>

using skintest::Bgr;
using skintest::BgrOf;

namespace {

enum : UINT {
    IDD_SKIN_TEST = 9100,
    IDC_PUSH = 9101,
    IDC_CHECK = 9102,
    IDC_AUTOCHECK = 9103,
    IDC_RADIO = 9104,
    IDC_AUTORADIO = 9105,
    IDC_LEFTTEXT = 9106,
    IDC_GROUP = 9107,
    IDC_STATIC_TEXT = 9108,
    IDC_OWN_BUTTON = 9109,
    IDC_RADIO2 = 9110,
    IDD_SKIN_PAGE = 9120,
};

const qlafx::DialogTemplate kTemplates[] = {
    {IDD_SKIN_TEST, WS_POPUP | WS_VISIBLE | DS_SETFONT, 0, 0, 0, 200, 150, "Skin test", "MS Shell Dlg", 8,
     {
         {"Button", "Push", IDC_PUSH, 5, 5, 50, 14, WS_VISIBLE | BS_PUSHBUTTON},
         {"Button", "OK", IDOK, 60, 5, 50, 14, WS_VISIBLE | BS_DEFPUSHBUTTON},
         {"Button", "Check", IDC_CHECK, 5, 25, 60, 10, WS_VISIBLE | BS_CHECKBOX},
         {"Button", "&Auto", IDC_AUTOCHECK, 5, 40, 60, 10, WS_VISIBLE | BS_AUTOCHECKBOX},
         {"Button", "Radio", IDC_RADIO, 5, 55, 60, 10, WS_VISIBLE | WS_GROUP | BS_RADIOBUTTON},
         {"Button", "Auto radio", IDC_AUTORADIO, 5, 70, 60, 10, WS_VISIBLE | BS_AUTORADIOBUTTON},
         {"Button", "Left text", IDC_LEFTTEXT, 5, 85, 60, 10, WS_VISIBLE | BS_AUTOCHECKBOX | BS_LEFTTEXT},
         {"Button", "Group", IDC_GROUP, 100, 25, 90, 60, WS_VISIBLE | BS_GROUPBOX},
         {"Static", "Label", IDC_STATIC_TEXT, 100, 90, 60, 10, WS_VISIBLE | SS_LEFT},
         {"Button", "Mine", IDC_OWN_BUTTON, 100, 105, 50, 14, WS_VISIBLE | BS_PUSHBUTTON},
         {"Button", "Radio 2", IDC_RADIO2, 5, 100, 60, 10, WS_VISIBLE | BS_RADIOBUTTON},
     }},
    {IDD_SKIN_PAGE, WS_CHILD | DS_SETFONT, 0, 0, 0, 150, 80, "Page", "MS Shell Dlg", 8,
     {
         {"Button", "Push", IDC_PUSH, 5, 5, 50, 14, WS_VISIBLE | BS_PUSHBUTTON},
         {"Button", "Check", IDC_CHECK, 5, 25, 60, 10, WS_VISIBLE | BS_AUTOCHECKBOX},
         {"Button", "Radio", IDC_RADIO, 5, 40, 60, 10, WS_VISIBLE | BS_AUTORADIOBUTTON},
     }},
};
const qlafx::ResourceTable kTable{.dialogs = kTemplates};
qlafx::ResourceRegistrar kRegister(kTable);

class CTestSkinDialog : public CSkinDialog {
public:
    CTestSkinDialog() : CSkinDialog(IDD_SKIN_TEST, nullptr) {}
    BOOL OnInitDialog() override
    {
        CSkinDialog::OnInitDialog();
        m_own.SubclassDlgItem(IDC_OWN_BUTTON, this);
        return TRUE;
    }
    std::vector<UINT> m_commands;
    CButtonST m_own;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        m_commands.push_back(LOWORD(static_cast<DWORD>(wParam)));
        return CSkinDialog::OnCommand(wParam, lParam);
    }
};

class SkinDialog : public skintest::SkinTest {
protected:
    void SetUp() override
    {
        theAppSettings.m_skinBrush.DeleteObject();
        theAppSettings.m_skinBrush.CreateSolidBrush(RGB(230, 232, 236));
        m_dlg = std::make_unique<CTestSkinDialog>();
        ASSERT_TRUE(m_dlg->Create(IDD_SKIN_TEST));
        qlafx::ProcessPendingEvents();
        // Every control has been painted, so asked its parent for colours.
        for (CWnd* child = m_dlg->GetTopWindow(); child; child = child->GetNextWindow())
            skintest::SurfaceOf(child->m_hWnd);
    }
    void TearDown() override
    {
        m_dlg.reset();
        skintest::SkinTest::TearDown();
    }
    CWnd* Permanent(UINT id) { return CWnd::FromHandlePermanent(m_dlg->GetDlgItem(id)->m_hWnd); }

    std::unique_ptr<CTestSkinDialog> m_dlg;
};

TEST_F(SkinDialog, ButtonsAreSkinnedByTheirExactType)
{
    const struct {
        UINT id;
        const CRuntimeClass* cls;  // NULL: stays native
        bool radio;
    } cases[] = {
        {IDC_PUSH, RUNTIME_CLASS(CButtonST), false},
        {IDOK, RUNTIME_CLASS(CButtonST), false},
        {IDC_CHECK, RUNTIME_CLASS(CTwoStatusCheck), false},
        {IDC_AUTOCHECK, RUNTIME_CLASS(CTwoStatusCheck), false},
        {IDC_RADIO, RUNTIME_CLASS(CTwoStatusCheck), true},
        {IDC_AUTORADIO, RUNTIME_CLASS(CTwoStatusCheck), true},
        {IDC_LEFTTEXT, nullptr, false},  // style byte 0x23
        {IDC_GROUP, nullptr, false},
        {IDC_STATIC_TEXT, nullptr, false},
    };
    for (const auto& c : cases) {
        CWnd* object = Permanent(c.id);
        if (!c.cls) {
            EXPECT_EQ(object, nullptr) << c.id;
            continue;
        }
        ASSERT_NE(object, nullptr) << c.id;
        EXPECT_TRUE(object->IsKindOf(c.cls)) << c.id;
        EXPECT_EQ(object->GetStyle() & BS_TYPEMASK, BS_OWNERDRAW) << c.id;
        if (c.cls == RUNTIME_CLASS(CTwoStatusCheck)) {
            EXPECT_EQ(static_cast<CTwoStatusCheck*>(object)->m_isRadio, c.radio ? 1 : 0) << c.id;
        }
    }
    // The dialog's own button object is kept, not replaced or owned twice.
    EXPECT_EQ(Permanent(IDC_OWN_BUTTON), &m_dlg->m_own);
    EXPECT_TRUE(std::none_of(m_dlg->m_ownedControls.begin(), m_dlg->m_ownedControls.end(),
                             [&](CWnd* w) { return w == &m_dlg->m_own; }));
    EXPECT_EQ(m_dlg->m_ownedControls.size(), 7u);
    // Painting again makes nothing new.
    m_dlg->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    qlafx::ProcessPendingEvents();
    EXPECT_EQ(m_dlg->m_ownedControls.size(), 7u);
}

TEST_F(SkinDialog, StaticTextIsBlueGreyOnTheSkinBrush)
{
    CClientDC dc(m_dlg->GetDlgItem(IDC_STATIC_TEXT));
    const LRESULT brush = m_dlg->SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.GetSafeHdc()),
                                             reinterpret_cast<LPARAM>(m_dlg->GetDlgItem(IDC_STATIC_TEXT)->m_hWnd));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), static_cast<HBRUSH>(theAppSettings.m_skinBrush));
    EXPECT_EQ(dc.GetTextColor(), RGB(100, 100, 128));
    EXPECT_EQ(dc.GetBkMode(), TRANSPARENT);
}

TEST_F(SkinDialog, ClicksCheckAndReportLikeTheNativeButtons)
{
    const struct {
        UINT id;
        int checkedBefore;
        int checkedAfter;
        bool command;
    } cases[] = {
        {IDC_CHECK, 0, 1, true},
        {IDC_CHECK, 1, 0, true},
        {IDC_RADIO, 0, 1, true},
        {IDC_RADIO, 1, 1, false},  // a checked radio button sends nothing
    };
    for (const auto& c : cases) {
        CWnd* control = m_dlg->GetDlgItem(c.id);
        control->SendMessage(BM_SETCHECK, c.checkedBefore);
        m_dlg->m_commands.clear();
        control->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        control->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        qlafx::ProcessPendingEvents();
        EXPECT_EQ(control->SendMessage(BM_GETCHECK), c.checkedAfter) << c.id << " from " << c.checkedBefore;
        EXPECT_EQ(std::count(m_dlg->m_commands.begin(), m_dlg->m_commands.end(), c.id), c.command ? 1 : 0)
            << c.id << " from " << c.checkedBefore;
    }
}

TEST_F(SkinDialog, TheStateBeforeSkinningIsKept)
{
    // Checked while still native, then skinned by the first paint.
    auto dlg = std::make_unique<CTestSkinDialog>();
    ASSERT_TRUE(dlg->Create(IDD_SKIN_TEST));
    ::SendMessage(::GetDlgItem(dlg->m_hWnd, IDC_AUTOCHECK), BM_SETCHECK, BST_CHECKED, 0);
    skintest::SurfaceOf(::GetDlgItem(dlg->m_hWnd, IDC_AUTOCHECK));
    EXPECT_EQ(dlg->IsDlgButtonChecked(IDC_AUTOCHECK), BST_CHECKED);
}

TEST(SkinPropertyPage, SkinsPushButtonsOnlyAndKeepsTheirObjects)
{
    CSkinPropertyPage page(IDD_SKIN_PAGE);
    CPropertySheet sheet("Sheet");
    sheet.AddPage(&page);
    HWND push = nullptr, check = nullptr, radio = nullptr;
    qlafx::SetModalHook([&](CWnd* dialog, const char*, const char* text, UINT) {
        if (!dialog || text)
            return qlafx::kModalRun;
        push = ::GetDlgItem(page.m_hWnd, IDC_PUSH);
        check = ::GetDlgItem(page.m_hWnd, IDC_CHECK);
        radio = ::GetDlgItem(page.m_hWnd, IDC_RADIO);
        for (HWND h : {push, check, radio})
            skintest::SurfaceOf(h);
        EXPECT_NE(CWnd::FromHandlePermanent(push), nullptr);
        if (CWnd* object = CWnd::FromHandlePermanent(push)) {
            EXPECT_TRUE(object->IsKindOf(RUNTIME_CLASS(CButtonST)));
        }
        EXPECT_EQ(CWnd::FromHandlePermanent(check), nullptr) << "check boxes stay native";
        EXPECT_EQ(CWnd::FromHandlePermanent(radio), nullptr) << "radio buttons stay native";
        EXPECT_EQ(page.m_ownedControls.size(), 1u);
        skintest::SurfaceOf(push);
        EXPECT_EQ(page.m_ownedControls.size(), 1u) << "once per window";
        return IDCANCEL;
    });
    sheet.DoModal();
    qlafx::SetModalHook({});
    EXPECT_NE(push, nullptr);
}

// Cells of the 32 x 32 check picture: unchecked box, checked box (half
// transparent), unchecked radio (transparent), checked radio. The face
// picture is 20 x 20 with pixel (x, y) = B 10x, G 10y, R 50, so glyph
// pixel (x, y) lies over face pixel ((10 + column + x) mod 20, (10 + y) mod 20).
class CheckGlyph : public skintest::SkinTest {
protected:
    void SetUp() override
    {
        CQLImage& cells = theAppSettings.m_checkImage;
        ASSERT_EQ(cells.Create(32, 32), 0);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                cells.PutPixel(x, y, y < 16 ? (x < 16 ? CPixel{40, 100, 200, 255} : CPixel{10, 20, 30, 128})
                                            : (x < 16 ? CPixel{1, 2, 3, 0} : CPixel{90, 90, 90, 255}));
        CQLImage& face = theAppSettings.m_faceImage;
        ASSERT_EQ(face.Create(20, 20), 0);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                face.PutPixel(x, y, CPixel{static_cast<BYTE>(10 * x), static_cast<BYTE>(10 * y), 50, 255});
        ASSERT_TRUE(m_parent.CreateParent());
        ASSERT_TRUE(m_check.Create("Glyph", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, RECT{0, 0, 80, 16}, &m_parent, 1));
    }
    void TearDown() override
    {
        m_check.DestroyWindow();
        m_parent.DestroyWindow();
        skintest::SkinTest::TearDown();
    }
    skintest::CParentWnd m_parent;
    CTwoStatusCheck m_check;
};

TEST_F(CheckGlyph, ComposesTheCellOverTheFaceByState)
{
    const struct {
        const char* name;
        int checked, radio, hot, enabled;
        int x, y;
        Bgr expected;
    } cases[] = {
        // Opaque glyph in colour while hot.
        {"hot box", 0, 0, 1, 1, 0, 0, {40, 100, 200}},
        // Not hot: L / 10 = (40 + 600 + 600) / 10 = 124; (c + 248) / 3.
        {"idle box", 0, 0, 0, 1, 0, 0, {96, 116, 149}},
        {"disabled box", 0, 0, 0, 0, 0, 0, {124, 124, 124}},
        {"disabled hot box", 0, 0, 1, 0, 0, 0, {124, 124, 124}},
        // Alpha 128 over face (26 mod 20, 10) = (60, 100, 50): (bg 127 + c 128) / 255.
        {"hot checked box", 1, 0, 1, 1, 0, 0, {34, 59, 39}},
        // Glyph (15, 15) reads face (41 mod 20, 25 mod 20) = (10, 50, 50).
        {"hot checked box, wrapped face", 1, 0, 1, 1, 15, 15, {10, 34, 39}},
        // Alpha 0 shows the face (15, 13) = (150, 130, 50).
        {"unchecked radio", 0, 1, 0, 1, 5, 3, {150, 130, 50}},
        {"hot checked radio", 1, 1, 1, 1, 7, 7, {90, 90, 90}},
    };
    for (const auto& c : cases) {
        m_check.m_checked = c.checked;
        m_check.m_isRadio = c.radio;
        m_check.m_hot = c.hot;
        m_check.EnableWindow(c.enabled);
        m_check.ComposeGlyph();
        EXPECT_EQ(BgrOf(m_check.m_face[c.y * 16 + c.x]), c.expected) << c.name;
    }
}

TEST_F(CheckGlyph, PaintsTheGlyphAtTheTopLeftAndFollowsTheCheck)
{
    m_check.m_hot = 1;
    m_check.SendMessage(BM_SETCHECK, 1);
    EXPECT_EQ(m_check.SendMessage(BM_GETCHECK), 1);
    const QImage surface = skintest::SurfaceOf(m_check.m_hWnd);
    EXPECT_EQ(skintest::BgrAt(surface, 15, 15), (Bgr{10, 34, 39}));
    // The mouse over the control makes it hot; leaving cools it.
    m_check.m_hot = 0;
    m_check.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
    EXPECT_EQ(m_check.m_hot, 1);
    EXPECT_EQ(CWnd::GetCapture(), &m_check);
    m_check.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(200, 4));
    EXPECT_EQ(m_check.m_hot, 0);
    EXPECT_NE(CWnd::GetCapture(), &m_check);
}

}  // namespace
