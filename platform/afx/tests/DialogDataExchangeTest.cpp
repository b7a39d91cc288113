#include "ControlTestSupport.h"

#include "platform/afx/DataExchange.h"
#include "platform/afx/Dialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr UINT kDlg = 9200;
enum : UINT { kName = 200, kCount = 201, kRatio = 202, kFlag = 203, kSmall = 204, kLarge = 205, kBuf = 206, kBig = 207 };

const qlafx::DialogTemplate kDialogs[] = {
    {kDlg, WS_POPUP | WS_CAPTION | DS_SETFONT, 0, 0, 0, 200, 120, "Exchange", "MS Shell Dlg", 8,
     {
         {"Edit", "", kName, 10, 10, 80, 14, WS_VISIBLE | WS_BORDER | WS_TABSTOP},
         {"Edit", "", kCount, 10, 28, 80, 14, WS_VISIBLE | WS_BORDER | WS_TABSTOP},
         {"Edit", "", kRatio, 10, 46, 80, 14, WS_VISIBLE | WS_BORDER | WS_TABSTOP},
         {"Button", "Flag", kFlag, 10, 64, 80, 10, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX},
         {"Button", "Small", kSmall, 10, 78, 40, 10, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON},
         {"Button", "Large", kLarge, 60, 78, 40, 10, WS_VISIBLE | BS_AUTORADIOBUTTON},
         {"Edit", "", kBuf, 100, 10, 80, 14, WS_VISIBLE | WS_BORDER | WS_TABSTOP | WS_GROUP},
         {"Edit", "", kBig, 100, 28, 80, 14, WS_VISIBLE | WS_BORDER | WS_TABSTOP},
         {"Button", "OK", IDOK, 90, 100, 50, 14, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 145, 100, 50, 14, WS_VISIBLE | WS_TABSTOP},
     }},
};
const qlafx::ResourceTable kTable{.dialogs = kDialogs};
qlafx::ResourceRegistrar kRegister(kTable);

class CExchangeDlg : public CDialog {
public:
    CExchangeDlg() : CDialog(kDlg) {}
    CString m_name = "Ann";
    int m_count = 5;
    double m_ratio = 0.25;
    int m_flag = 1;
    int m_size = 1;
    char m_buf[8] = "abc";
    UINT m_big = 7;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, kName, m_name);
        DDV_MaxChars(pDX, m_name, 6);
        DDX_Text(pDX, kCount, m_count);
        DDV_MinMaxInt(pDX, m_count, 1, 10);
        DDX_Text(pDX, kRatio, m_ratio);
        DDV_MinMaxDouble(pDX, m_ratio, 0.0, 1.0);
        DDX_Check(pDX, kFlag, m_flag);
        DDX_Radio(pDX, kSmall, m_size);
        DDX_Text(pDX, kBuf, m_buf, sizeof m_buf);
        DDX_Text(pDX, kBig, m_big);
    }
};

std::string Text(CWnd* dlg, UINT id)
{
    CString s;
    dlg->GetDlgItemText(static_cast<int>(id), s);
    return s.str();
}

struct Answered {
    std::string caption, text;
    UINT type;
};

class HookGuard {
public:
    explicit HookGuard(qlafx::ModalHook hook) { qlafx::SetModalHook(std::move(hook)); }
    ~HookGuard() { qlafx::SetModalHook({}); }
};

TEST(DataExchange, RoundTripFillsAndReadsTheControls)
{
    CExchangeDlg dlg;
    HookGuard hook([&](CWnd* d, const char*, const char*, UINT) {
        EXPECT_EQ(Text(d, kName), "Ann");
        EXPECT_EQ(Text(d, kCount), "5");
        EXPECT_EQ(Text(d, kRatio), "0.25");
        EXPECT_EQ(Text(d, kBuf), "abc");
        EXPECT_EQ(Text(d, kBig), "7");
        EXPECT_EQ(d->SendDlgItemMessage(kFlag, BM_GETCHECK), BST_CHECKED);
        EXPECT_EQ(d->SendDlgItemMessage(kSmall, BM_GETCHECK), BST_UNCHECKED);
        EXPECT_EQ(d->SendDlgItemMessage(kLarge, BM_GETCHECK), BST_CHECKED);
        EXPECT_EQ(d->SendDlgItemMessage(kName, EM_GETLIMITTEXT), 6);  // DDV_MaxChars limits the box
        EXPECT_EQ(d->SendDlgItemMessage(kBuf, EM_GETLIMITTEXT), 7);

        d->SetDlgItemText(kName, "Bob");
        d->SetDlgItemText(kCount, " 9 ");
        d->SetDlgItemText(kRatio, "0.5");
        d->SetDlgItemText(kBuf, "xyz");
        d->SetDlgItemText(kBig, "4000000000");
        d->SendDlgItemMessage(kFlag, BM_CLICK);
        d->SendDlgItemMessage(kSmall, BM_CLICK);
        d->SendDlgItemMessage(IDOK, BM_CLICK);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_name, "Bob");
    EXPECT_EQ(dlg.m_count, 9);
    EXPECT_DOUBLE_EQ(dlg.m_ratio, 0.5);
    EXPECT_EQ(dlg.m_flag, 0);
    EXPECT_EQ(dlg.m_size, 0);
    EXPECT_STREQ(dlg.m_buf, "xyz");
    EXPECT_EQ(dlg.m_big, 4000000000u);
}

struct FailCase {
    const char* name;
    UINT control;
    const char* input;
    const char* message;
};

class DataExchangeFailure : public ::testing::TestWithParam<FailCase> {};

TEST_P(DataExchangeFailure, ShowsTheMessageAndKeepsTheDialogOpen)
{
    const FailCase& c = GetParam();
    CExchangeDlg dlg;
    std::vector<Answered> boxes;
    bool stayedOpen = false;
    HookGuard hook([&](CWnd* d, const char* caption, const char* text, UINT type) {
        if (!d) {
            boxes.push_back({caption ? caption : "", text ? text : "", type});
            return IDOK;
        }
        d->SetDlgItemText(c.control, c.input);
        d->SendDlgItemMessage(IDOK, BM_CLICK);
        stayedOpen = IsWindow(d->m_hWnd) && d->IsWindowVisible();
        d->SetDlgItemText(c.control, "1");
        d->SendDlgItemMessage(IDOK, BM_CLICK);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(dlg.DoModal(), IDOK) << c.name;
    EXPECT_TRUE(stayedOpen) << c.name;
    ASSERT_EQ(boxes.size(), 1u) << c.name;
    EXPECT_EQ(boxes[0].text, c.message) << c.name;
    EXPECT_EQ(boxes[0].type & MB_ICONMASK, MB_ICONEXCLAMATION);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, DataExchangeFailure,
    ::testing::Values(FailCase{"range", kCount, "11", "Please enter an integer between 1 and 10."},
                      FailCase{"not_int", kCount, "12abc", "Please enter an integer."},
                      FailCase{"empty_int", kCount, "", "Please enter an integer."},
                      FailCase{"real_range", kRatio, "1.5", "Please enter a number between 0 and 1."},
                      FailCase{"not_real", kRatio, "half", "Please enter a number."},
                      FailCase{"max_chars", kName, "Bernadette", "Please enter no more than 6 characters."},
                      FailCase{"negative_uint", kBig, "-3", "Please enter a positive integer."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DataExchange, FailureSelectsTheEditText)
{
    CExchangeDlg dlg;
    DWORD selStart = 1, selEnd = 0;
    HookGuard hook([&](CWnd* d, const char*, const char*, UINT) {
        if (!d)
            return IDOK;
        d->SetDlgItemText(kCount, "99");
        EXPECT_FALSE(static_cast<CDialog*>(d)->UpdateData(TRUE));
        d->SendDlgItemMessage(kCount, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
        return IDCANCEL;
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(selStart, 0u);
    EXPECT_EQ(selEnd, 2u);
    // The exchange stores before the range check runs, as MFC's does.
    EXPECT_EQ(dlg.m_count, 99);
}

}  // namespace
