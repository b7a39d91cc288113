#include "ControlTestSupport.h"

#include "platform/afx/Dialog.h"
#include "platform/afx/WinApp.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <string>

namespace {

class HookGuard {
public:
    explicit HookGuard(qlafx::ModalHook hook) { qlafx::SetModalHook(std::move(hook)); }
    ~HookGuard() { qlafx::SetModalHook({}); }
};

TEST(MessageBox, HookSeesCaptionTextTypeAndAnswers)
{
    std::string caption, text;
    UINT type = 0;
    CWnd* dialog = reinterpret_cast<CWnd*>(1);
    HookGuard hook([&](CWnd* d, const char* c, const char* t, UINT ty) {
        dialog = d;
        caption = c;
        text = t;
        type = ty;
        return IDNO;
    });
    EXPECT_EQ(MessageBox(nullptr, "Crop the image?", "Crop", MB_YESNO), IDNO);
    EXPECT_EQ(dialog, nullptr);
    EXPECT_EQ(caption, "Crop");
    EXPECT_EQ(text, "Crop the image?");
    EXPECT_EQ(type, MB_YESNO);
    MessageBox(nullptr, "x", nullptr, MB_OK);
    EXPECT_EQ(caption, "Error");
}

// The box the layer builds: find its buttons while it runs and press one.
struct BoxCase {
    const char* name;
    UINT type;
    int press;  // a button id, or 0 for Escape, -1 for Enter
    int expected;
    int buttons;
};

class MessageBoxDialog : public ::testing::TestWithParam<BoxCase> {};

TEST_P(MessageBoxDialog, ButtonsAndKeysGiveTheAnswer)
{
    const BoxCase& c = GetParam();
    int buttonCount = -1;
    QTimer::singleShot(0, [&] {
        auto* box = static_cast<CDialog*>(qlafx::ActiveModalDialog());
        ASSERT_NE(box, nullptr);
        buttonCount = 0;
        for (HWND w = ::GetWindow(*box, GW_CHILD); w; w = ::GetWindow(w, GW_HWNDNEXT))
            buttonCount += (SendMessage(w, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
        if (c.press > 0) {
            box->SendDlgItemMessage(c.press, BM_CLICK);
        } else {
            MSG msg{box->m_hWnd, WM_KEYDOWN, static_cast<WPARAM>(c.press == 0 ? VK_ESCAPE : VK_RETURN), 0, 0, {0, 0}};
            box->PreTranslateMessage(&msg);
            // Escape on a box without a way to cancel does nothing: close it by its default button.
            if (IsWindow(box->m_hWnd) && box->IsWindowVisible())
                box->SendDlgItemMessage(LOWORD(box->GetDefID()), BM_CLICK);
        }
    });
    EXPECT_EQ(MessageBox(nullptr, "Text of the box", "Caption", c.type), c.expected) << c.name;
    EXPECT_EQ(buttonCount, c.buttons) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Types, MessageBoxDialog,
    ::testing::Values(BoxCase{"ok_escape", MB_OK, 0, IDOK, 1},
                      BoxCase{"okcancel_escape", MB_OKCANCEL | MB_ICONQUESTION, 0, IDCANCEL, 2},
                      BoxCase{"yesno_no", MB_YESNO, IDNO, IDNO, 2},
                      BoxCase{"yesno_escape_ignored", MB_YESNO | MB_DEFBUTTON2, 0, IDNO, 2},
                      BoxCase{"yesnocancel_enter_default2", MB_YESNOCANCEL | MB_DEFBUTTON2, -1, IDNO, 3},
                      BoxCase{"retrycancel_retry", MB_RETRYCANCEL | MB_ICONEXCLAMATION, IDRETRY, IDRETRY, 2},
                      BoxCase{"abortretryignore", MB_ABORTRETRYIGNORE, IDIGNORE, IDIGNORE, 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MessageBox, AfxMessageBoxInsideAModalDialogIsOwnedByIt)
{
    static const qlafx::DialogTemplate tmpl{9300, WS_POPUP | WS_CAPTION, 0, 0, 0, 100, 50, "Outer", nullptr, 0, {}};
    CDialog outer;
    outer.InitModalIndirect(&tmpl);
    bool outerDisabledDuringBox = false;
    HookGuard hook([&](CWnd* d, const char*, const char*, UINT) {
        if (d) {
            QTimer::singleShot(0, [&] {
                CWnd* box = qlafx::ActiveModalDialog();
                outerDisabledDuringBox = box != &outer && !outer.IsWindowEnabled();
                box->SendMessage(WM_COMMAND, IDOK);
            });
            qlafx::SetModalHook({});
            AfxMessageBox("inner");
            return IDCANCEL;
        }
        return qlafx::kModalRun;
    });
    EXPECT_EQ(outer.DoModal(), IDCANCEL);
    EXPECT_TRUE(outerDisabledDuringBox);
}

}  // namespace
