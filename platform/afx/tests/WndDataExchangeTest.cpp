// The dialog helpers every window has (data exchange, check and radio
// buttons, message boxes), used by views and frames that are not dialogs.
#include "ControlTestSupport.h"

#include "platform/afx/DataExchange.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/WinApp.h"

#include <gtest/gtest.h>

#include <string>

namespace {

enum : UINT { kCount = 300, kFlag = 301, kSmall = 302, kMedium = 303, kLarge = 304 };

// A plain window with controls, as a form view is.
class CFormWnd : public CWnd {
public:
    int m_count = 4;
    int m_flag = 1;
    int m_size = 2;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, kCount, m_count);
        DDV_MinMaxInt(pDX, m_count, 1, 10);
        DDX_Check(pDX, kFlag, m_flag);
        DDX_Radio(pDX, kSmall, m_size);
    }
};

class WndDataExchange : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_form.CreateEx(0, AfxRegisterWndClass(0), "form", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200,
                                    nullptr, nullptr));
        m_edit = ctltest::MakeControl(m_form, "Edit", "", WS_BORDER | WS_TABSTOP, kCount, {10, 10, 100, 30});
        ctltest::MakeControl(m_form, "Button", "Flag", BS_AUTOCHECKBOX, kFlag, {10, 40, 100, 60});
        ctltest::MakeControl(m_form, "Button", "S", BS_AUTORADIOBUTTON | WS_GROUP, kSmall, {10, 70, 50, 90});
        ctltest::MakeControl(m_form, "Button", "M", BS_AUTORADIOBUTTON, kMedium, {60, 70, 100, 90});
        ctltest::MakeControl(m_form, "Button", "L", BS_AUTORADIOBUTTON, kLarge, {110, 70, 150, 90});
        ctltest::MakeControl(m_form, "Button", "End", BS_PUSHBUTTON | WS_GROUP, IDOK, {160, 70, 200, 90});
    }
    void TearDown() override
    {
        qlafx::SetModalHook({});
        m_form.DestroyWindow();
        qlafx::ProcessPendingEvents();
    }
    CFormWnd m_form;
    HWND m_edit = nullptr;
};

TEST_F(WndDataExchange, UpdateDataFillsAndReadsTheControls)
{
    ASSERT_TRUE(m_form.UpdateData(FALSE));
    EXPECT_EQ(m_form.GetDlgItemInt(kCount), 4u);
    EXPECT_EQ(m_form.IsDlgButtonChecked(kFlag), BST_CHECKED);
    EXPECT_EQ(m_form.GetCheckedRadioButton(kSmall, kLarge), static_cast<int>(kLarge));

    m_form.SetDlgItemInt(kCount, 9);
    m_form.CheckDlgButton(kFlag, BST_UNCHECKED);
    m_form.CheckRadioButton(kSmall, kLarge, kMedium);
    ASSERT_TRUE(m_form.UpdateData());
    EXPECT_EQ(m_form.m_count, 9);
    EXPECT_EQ(m_form.m_flag, 0);
    EXPECT_EQ(m_form.m_size, 1);
}

TEST_F(WndDataExchange, FailedCheckTellsTheUserAndReturnsFalse)
{
    std::string told;
    qlafx::SetModalHook([&](CWnd*, const char*, const char* text, UINT) {
        told = text ? text : "";
        return IDOK;
    });
    m_form.SetDlgItemInt(kCount, 11);
    EXPECT_FALSE(m_form.UpdateData(TRUE));
    EXPECT_EQ(told, "Please enter an integer between 1 and 10.");
    EXPECT_EQ(GetFocus(), m_edit);
}

TEST_F(WndDataExchange, RadioRangeWithNothingCheckedGivesZero)
{
    m_form.CheckRadioButton(kSmall, kLarge, 0);
    EXPECT_EQ(m_form.GetCheckedRadioButton(kSmall, kLarge), 0);
    m_form.CheckRadioButton(kSmall, kLarge, kSmall);
    EXPECT_EQ(m_form.GetCheckedRadioButton(kSmall, kLarge), static_cast<int>(kSmall));
    EXPECT_EQ(m_form.IsDlgButtonChecked(kMedium), BST_UNCHECKED);
}

TEST_F(WndDataExchange, MessageBoxCaptionIsTheAppNameUnlessGiven)
{
    CWinApp app("Quillo Form");
    std::vector<std::string> captions;
    qlafx::SetModalHook([&](CWnd*, const char* caption, const char*, UINT) {
        captions.push_back(caption ? caption : "");
        return IDYES;
    });
    EXPECT_EQ(m_form.MessageBox("Keep?", nullptr, MB_YESNO), IDYES);
    EXPECT_EQ(m_form.MessageBox("Keep?", "Own caption"), IDYES);
    EXPECT_EQ(captions, (std::vector<std::string>{"Quillo Form", "Own caption"}));
}

}  // namespace
