// The shell's small dialogs worked through the modal test hook: the
// overwrite warning, the notice, the tip of the day with its tips reader,
// the settings, and the what's-new address.
#include "ShellWindowsTestSupport.h"

#include "editor/shell/EditorApp.h"
#include "editor/shell/MainFrame.h"
#include "editor/shell/NoticeDlg.h"
#include "editor/shell/OverwriteDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/SettingsDlg.h"
#include "editor/shell/TipDlg.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/QtBridge.h"
#include "platform/win/Profile.h"
#include "platform/win/Registry.h"

#include <QPainter>
#include <QWidget>

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int kAbsent = -7;

std::string ItemText(CWnd* dlg, int id)
{
    CString s;
    dlg->GetDlgItemText(id, s);
    return std::string(static_cast<const char*>(s));
}

void Click(CWnd* dlg, int id)
{
    dlg->GetDlgItem(id)->SendMessage(BM_CLICK);
}

void SetCheck(CWnd* dlg, int id, bool on)
{
    dlg->CheckDlgButton(id, on ? BST_CHECKED : BST_UNCHECKED);
}

class ShellDialogs : public shelltest::ShellWindowsTest {
protected:
    void SetUp() override
    {
        ShellWindowsTest::SetUp();
        std::snprintf(g_programFolder, sizeof g_programFolder, "%s", m_folder.Path().c_str());
    }
    void TearDown() override
    {
        qlafx::SetModalHook({});
        ShellWindowsTest::TearDown();
    }
    // Works each dialog that opens; message boxes are recorded and answered
    // OK. A dialog the work leaves open is cancelled.
    void OnDialog(std::function<void(CWnd*)> work)
    {
        m_shown = 0;
        qlafx::SetModalHook([this, work](CWnd* dlg, const char* caption, const char* text, UINT) {
            if (!dlg) {
                m_boxes.emplace_back(text ? text : "");
                return IDOK;
            }
            ++m_shown;
            m_caption = caption ? caption : "";
            work(dlg);
            return IDCANCEL;
        });
    }
    int ProfileInt(const char* section, const char* key) const
    {
        return static_cast<int>(GetPrivateProfileInt(section, key, kAbsent, m_profile.c_str()));
    }
    std::string ProfileString(const char* section, const char* key) const
    {
        char text[512] = {};
        GetPrivateProfileString(section, key, "<absent>", text, sizeof text, m_profile.c_str());
        return text;
    }

    int m_shown = 0;
    std::string m_caption;
    std::vector<std::string> m_boxes;
};

// ---- overwrite warning ----

enum class Answer { None, Ok, Ignore, Cancel, Escape };

struct OverwriteCase {
    const char* name;
    const char* profile;  // added under [Interface]
    bool check;
    Answer press;
    int result;
    bool shown;
    int keyAfter;
};

const OverwriteCase kOverwriteCases[] = {
    {"KeySetAnswersAtOnce", "OverwriteWarDisable=1\n", false, Answer::None, 1, false, 1},
    {"OkGoesOn", "", false, Answer::Ok, 1, true, kAbsent},
    {"OkWithTheCheckStopsAsking", "", true, Answer::Ok, 1, true, 1},
    {"IgnoreGoesOnWithoutSavingAndKeepsAsking", "", true, Answer::Ignore, 2, true, kAbsent},
    {"CancelStays", "", true, Answer::Cancel, 0, true, kAbsent},
    {"EscapeStays", "OverwriteWarDisable=0\n", false, Answer::Escape, 0, true, 0},
};

void PrintTo(const OverwriteCase& c, std::ostream* os) { *os << c.name; }

class OverwriteTest : public ShellDialogs, public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(OverwriteTest, Answers)
{
    const OverwriteCase& c = GetParam();
    WriteProfile(std::string("[Interface]\n") + c.profile);
    std::string warning;
    OnDialog([&](CWnd* dlg) {
        warning = ItemText(dlg, IDC_OVERWRITE_DONT_SHOW);
        SetCheck(dlg, IDC_OVERWRITE_DONT_SHOW, c.check);
        switch (c.press) {
        case Answer::Ok: Click(dlg, IDOK); break;
        case Answer::Ignore: Click(dlg, IDC_OVERWRITE_IGNORE); break;
        case Answer::Cancel: Click(dlg, IDCANCEL); break;
        case Answer::Escape: dlg->SendMessage(WM_COMMAND, IDCANCEL, 0); break;
        case Answer::None: break;
        }
    });
    EXPECT_EQ(AskOverwrite(), c.result);
    EXPECT_EQ(m_shown, c.shown ? 1 : 0);
    EXPECT_EQ(ProfileInt("Interface", "OverwriteWarDisable"), c.keyAfter);
    if (c.shown) {
        EXPECT_EQ(m_caption, "Warning");
        EXPECT_EQ(warning, "Don't show this warning next time");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, OverwriteTest, ::testing::ValuesIn(kOverwriteCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- notice ----

struct NoticeCase {
    const char* name;
    const char* profile;  // under [TipOnce]
    const char* second;
    Answer press;
    bool check;
    bool shown;
    int keyAfter;
};

const NoticeCase kNoticeCases[] = {
    {"TurnedOffIsNotShown", "PaintMode=0\n", "Painting", Answer::None, false, false, 0},
    {"OkKeepsShowingIt", "", "Painting", Answer::Ok, false, true, 1},
    {"OkWithTheCheckTurnsItOff", "PaintMode=1\n", "Painting", Answer::Ok, true, true, 0},
    {"NoSecondTextCountsAsEmpty", "", nullptr, Answer::Ok, false, true, 1},
    {"EscapeWritesNothing", "", "Painting", Answer::Escape, true, true, kAbsent},
};

void PrintTo(const NoticeCase& c, std::ostream* os) { *os << c.name; }

class NoticeTest : public ShellDialogs, public ::testing::WithParamInterface<NoticeCase> {};

TEST_P(NoticeTest, ShowsAndRemembers)
{
    const NoticeCase& c = GetParam();
    WriteProfile(std::string("[TipOnce]\n") + c.profile);
    std::string message, second;
    OnDialog([&](CWnd* dlg) {
        message = ItemText(dlg, IDC_NOTICE_MESSAGE);
        second = ItemText(dlg, IDC_NOTICE_SECOND);
        SetCheck(dlg, IDC_NOTICE_DONT_SHOW, c.check);
        if (c.press == Answer::Ok)
            Click(dlg, IDOK);
        else
            dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
    });
    ShowImportantNotice(theUITextTable.GetText(247), c.second, "PaintMode");
    EXPECT_EQ(m_shown, c.shown ? 1 : 0);
    EXPECT_EQ(ProfileInt("TipOnce", "PaintMode"), c.keyAfter);
    if (c.shown) {
        EXPECT_EQ(m_caption, "Important:");
        EXPECT_EQ(message, "Click \"menu-view-paint mode\" to return previous status");
        EXPECT_EQ(second, c.second ? c.second : "");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, NoticeTest, ::testing::ValuesIn(kNoticeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ShellDialogs, NoticeWithoutEntryShowsAndLeavesTheSectionAlone)
{
    WriteProfile("[TipOnce]\nPaintMode=1\n");
    OnDialog([](CWnd* dlg) {
        SetCheck(dlg, IDC_NOTICE_DONT_SHOW, true);
        Click(dlg, IDOK);
    });
    ShowImportantNotice("Text", nullptr, nullptr);
    EXPECT_EQ(m_shown, 1);
    EXPECT_EQ(ProfileInt("TipOnce", "PaintMode"), 1);
}

// ---- tips reader ----

class TipsTest : public ShellDialogs {
protected:
    std::string TipsPath() const { return m_folder.Path() + "Tips/Tips.txt"; }
    void WriteTips(const std::string& content)
    {
        std::filesystem::create_directories(m_folder.Path() + "Tips");
        std::ofstream(TipsPath(), std::ios::binary) << content;
    }
    // The modification time as the dialog keeps it.
    std::string Stamp() const
    {
        struct stat st {};
        char text[64] = {};
        if (stat(TipsPath().c_str(), &st) != 0 || !ctime_r(&st.st_mtime, text))
            return {};
        std::string s = text;
        while (!s.empty() && (s.back() == '\n' || s.back() == ' '))
            s.pop_back();
        return s;
    }
    // The first tip and then `count` more.
    std::vector<std::string> Tips(int count)
    {
        CTipDlg dlg;
        std::vector<std::string> tips{static_cast<const char*>(dlg.GetTip())};
        for (int i = 0; i < count; ++i) {
            dlg.ReadNextTip();
            tips.emplace_back(static_cast<const char*>(dlg.GetTip()));
        }
        return tips;
    }
};

const std::string kTrouble = "Trouble reading the tips file";
const std::string kRules = "; comment\n\tindented\n blank\n\nFirst\nSecond\n";
const long kSecondAt = static_cast<long>(kRules.find("Second"));

struct TipCase {
    const char* name;
    std::string content;
    std::optional<long> storedPos;  // with the file's own stamp; none: no stamp stored
    std::vector<std::string> tips;
};

const TipCase kTipCases[] = {
    {"SkipRulesAndWrapToTheStart", kRules, std::nullopt, {"First", "Second", "First", "Second"}},
    {"SameStampGoesOnFromThePosition", kRules, kSecondAt, {"Second", "First"}},
    {"PositionPastTheEndStartsAgain", kRules, 99999, {"First", "Second"}},
    {"NegativePositionStartsAgain", kRules, -5, {"First"}},
    {"LongLineInPiecesOf2000", std::string(4500, 'a') + "\nNext\n", std::nullopt,
     {std::string(2000, 'a'), std::string(2000, 'a'), std::string(500, 'a'), "Next"}},
    {"LineOfExactly2000", std::string(2000, 'b') + "\nNext\n", std::nullopt, {std::string(2000, 'b'), "Next"}},
    {"CharacterCutByAPieceMovesToTheNext", std::string(1999, 'c') + "\xC3\xA9\n", std::nullopt,
     {std::string(1999, 'c'), "\xC3\xA9", std::string(1999, 'c')}},
    {"LongCommentSkippedWhole", ";" + std::string(4100, 'x') + "\nTip\n", std::nullopt, {"Tip", "Tip"}},
    {"WindowsLineEnds", "One\r\n\r\nTwo\r\n", std::nullopt, {"One", "Two", "One"}},
    {"LastLineWithoutEnd", "One\nTwo", std::nullopt, {"One", "Two", "One"}},
    {"NoTipAtAll", "; only comments\n\n  \n", std::nullopt, {kTrouble, kTrouble}},
    {"EmptyFile", "", std::nullopt, {kTrouble}},
};

void PrintTo(const TipCase& c, std::ostream* os) { *os << c.name; }

class TipsReaderTest : public TipsTest, public ::testing::WithParamInterface<TipCase> {};

TEST_P(TipsReaderTest, ReadsTheTips)
{
    const TipCase& c = GetParam();
    WriteTips(c.content);
    if (c.storedPos)
        WriteProfile("[Tip]\nTimeStamp=" + Stamp() + "\nFilePos=" + std::to_string(*c.storedPos) + "\n");
    EXPECT_EQ(Tips(static_cast<int>(c.tips.size()) - 1), c.tips);
}

INSTANTIATE_TEST_SUITE_P(Cases, TipsReaderTest, ::testing::ValuesIn(kTipCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TipsTest, PositionIsKeptAndANewStampStartsAgain)
{
    WriteTips(kRules);
    EXPECT_EQ(Tips(0), std::vector<std::string>{"First"});
    EXPECT_EQ(ProfileString("Tip", "TimeStamp"), Stamp());
    EXPECT_EQ(ProfileInt("Tip", "FilePos"), kSecondAt);
    EXPECT_EQ(Tips(0), std::vector<std::string>{"Second"});
    // The same position with another stamp: the file changed, start again.
    WriteProfile("[Tip]\nTimeStamp=Mon Jan  1 00:00:00 2001\nFilePos=" + std::to_string(kSecondAt) + "\n");
    EXPECT_EQ(Tips(0), std::vector<std::string>{"First"});
    EXPECT_EQ(ProfileString("Tip", "TimeStamp"), Stamp());
}

TEST_F(TipsTest, MissingFileSaysSoAndDisablesNextTip)
{
    bool nextEnabled = true;
    std::string shown;
    OnDialog([&](CWnd* dlg) {
        shown = ItemText(dlg, IDC_TIP_TEXT);
        nextEnabled = dlg->GetDlgItem(IDC_TIP_NEXT)->IsWindowEnabled();
        Click(dlg, IDOK);
    });
    CTipDlg dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(m_caption, "Tip of the Day");
    EXPECT_EQ(shown, "Tips file does not exist in the prescribed directory");
    EXPECT_FALSE(nextEnabled);
    EXPECT_EQ(ProfileInt("Tip", "FilePos"), kAbsent);
}

// The tips the program ships: every line is read once before the first
// comes round again, and each fits the dialog's panel.
TEST_F(TipsTest, ShippedTipsReadRoundOnce)
{
    std::snprintf(g_programFolder, sizeof g_programFolder, "%s/", QUILLO_PROGRAM_DIR);
    CTipDlg dlg;
    const std::string first = static_cast<const char*>(dlg.GetTip());
    std::set<std::string> seen{first};
    for (dlg.ReadNextTip(); first != static_cast<const char*>(dlg.GetTip()); dlg.ReadNextTip()) {
        const std::string tip = static_cast<const char*>(dlg.GetTip());
        ASSERT_TRUE(seen.insert(tip).second) << tip;
        ASSERT_LE(seen.size(), 200u);
    }
    EXPECT_GE(seen.size(), 20u);
    for (const std::string& tip : seen)
        EXPECT_LE(tip.size(), 250u) << tip;
}

struct StartUpCase {
    const char* profile;
    bool checkedAtStart;
    bool check;   // the user's choice
    Answer press;
    int keyAfter;
};

TEST_F(TipsTest, NextTipAndTheStartUpChoice)
{
    WriteTips(kRules);
    const StartUpCase cases[] = {
        {"", true, true, Answer::Ok, 0},
        {"StartUp=0\n", true, false, Answer::Ok, 1},
        {"StartUp=1\n", false, true, Answer::Ok, 0},
        {"StartUp=1\n", false, true, Answer::Escape, 1},  // only Close keeps the choice
    };
    for (const StartUpCase& c : cases) {
        WriteProfile(std::string("[Tip]\n") + c.profile);
        bool checked = false;
        std::vector<std::string> shown;
        OnDialog([&](CWnd* dlg) {
            checked = dlg->IsDlgButtonChecked(IDC_TIP_STARTUP) == BST_CHECKED;
            shown.push_back(ItemText(dlg, IDC_TIP_TEXT));
            Click(dlg, IDC_TIP_NEXT);
            shown.push_back(ItemText(dlg, IDC_TIP_TEXT));
            SetCheck(dlg, IDC_TIP_STARTUP, c.check);
            if (c.press == Answer::Ok)
                Click(dlg, IDOK);
            else
                dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        });
        {
            CTipDlg dlg;
            EXPECT_EQ(dlg.m_showAtStartup, c.checkedAtStart) << c.profile;
            dlg.DoModal();
        }
        EXPECT_EQ(checked, c.checkedAtStart) << c.profile;
        EXPECT_EQ(shown, (std::vector<std::string>{"First", "Second"})) << c.profile;
        EXPECT_EQ(ProfileInt("Tip", "StartUp"), c.keyAfter) << c.profile;
        EXPECT_EQ(ProfileInt("Tip", "FilePos"), static_cast<int>(kRules.size())) << c.profile;
    }
}

// The application shows the tip at start-up only when wanted, and on
// Help > Tip of the Day always.
TEST_F(TipsTest, StartUpAndHelpCommand)
{
    WriteTips(kRules);
    struct Case {
        const char* profile;
        const char* commandLine;
        int shown;
    };
    const Case cases[] = {
        {"", nullptr, 1},
        {"[Tip]\nStartUp=1\n", nullptr, 0},
        {"", "/photos/a.jpg", 0},
    };
    OnDialog([](CWnd* dlg) { Click(dlg, IDOK); });
    for (const Case& c : cases) {
        WriteProfile(c.profile);
        m_shown = 0;
        CEditorApp app;
        app.m_pszProfileName = strdup(m_profile.c_str());
        app.m_lpCmdLine = c.commandLine ? strdup(c.commandLine) : nullptr;
        app.ShowStartupTip();
        EXPECT_EQ(m_shown, c.shown) << c.profile << (c.commandLine ? c.commandLine : "");
        m_shown = 0;
        EXPECT_TRUE(app.OnCmdMsg(104, CN_COMMAND, nullptr, nullptr));
        EXPECT_EQ(m_shown, 1);
    }
}

// ---- settings ----

TEST_F(ShellDialogs, SettingsShowTheRunningValuesAndOkWritesTheirKeys)
{
    WriteProfile("[General]\nUserName=Tester\nFitView=1\n");
    theAppSettings.LoadProfileAndSkin();
    theAppSettings.m_userOldStyle = 0;
    theAppSettings.m_fitView = 1;
    theAppSettings.m_popBlur = 1;
    theAppSettings.m_toolText = 0;
    thePhotoDocument.m_exif.SetWriteSoftware(TRUE);
    struct Seen {
        std::string name;
        UINT limit = 0;
        std::vector<bool> checks;
    } seen;
    const UINT ids[] = {IDC_SETTINGS_OLD_OPEN, IDC_SETTINGS_BEST_FIT, IDC_SETTINGS_EXIF_SOFTWARE,
                        IDC_SETTINGS_POP_BLUR, IDC_SETTINGS_TOOL_TEXT};
    OnDialog([&](CWnd* dlg) {
        seen.name = ItemText(dlg, IDC_SETTINGS_USER_NAME);
        seen.limit = static_cast<UINT>(dlg->SendDlgItemMessage(IDC_SETTINGS_USER_NAME, EM_GETLIMITTEXT));
        for (UINT id : ids) {
            seen.checks.push_back(dlg->IsDlgButtonChecked(id) == BST_CHECKED);
            SetCheck(dlg, id, dlg->IsDlgButtonChecked(id) != BST_CHECKED);
        }
        dlg->SetDlgItemText(IDC_SETTINGS_USER_NAME, "Ann Example");
        Click(dlg, IDOK);
    });
    EXPECT_EQ(RunSettingsDlg(nullptr), IDOK);
    EXPECT_EQ(m_caption, "Quillo Settings");
    EXPECT_EQ(seen.name, "Tester");
    EXPECT_EQ(seen.limit, 127u);
    EXPECT_EQ(seen.checks, (std::vector<bool>{false, true, true, true, false}));

    EXPECT_STREQ(theAppSettings.m_userName, "Ann Example");
    EXPECT_EQ(theAppSettings.m_userOldStyle, 1);
    EXPECT_EQ(theAppSettings.m_fitView, 0);
    EXPECT_EQ(theAppSettings.m_popBlur, 0);
    EXPECT_EQ(theAppSettings.m_toolText, 1);
    EXPECT_FALSE(thePhotoDocument.m_exif.GetWriteSoftware());
    EXPECT_EQ(ProfileString("General", "UserName"), "Ann Example");
    EXPECT_EQ(ProfileInt("Open", "UserOldStyle"), 1);
    EXPECT_EQ(ProfileInt("General", "PopBlur"), 0);
    EXPECT_EQ(ProfileInt("General", "ToolText"), 1);
    // Best Fit and the EXIF option live for this run only.
    EXPECT_EQ(ProfileInt("General", "FitView"), 1);
    thePhotoDocument.m_exif.SetWriteSoftware(TRUE);
}

TEST_F(ShellDialogs, SettingsCancelChangesNothing)
{
    const std::string before = ReadProfile();
    OnDialog([](CWnd* dlg) {
        dlg->SetDlgItemText(IDC_SETTINGS_USER_NAME, "Someone Else");
        SetCheck(dlg, IDC_SETTINGS_TOOL_TEXT, true);
        Click(dlg, IDCANCEL);
    });
    EXPECT_EQ(RunSettingsDlg(nullptr), IDCANCEL);
    EXPECT_STREQ(theAppSettings.m_userName, "Tester");
    EXPECT_EQ(theAppSettings.m_toolText, 0);
    EXPECT_EQ(ReadProfile(), before);
}

// 127 characters of two bytes each do not fit the name's 128 bytes: the
// name is cut between characters.
TEST_F(ShellDialogs, SettingsLongNameIsCutBetweenCharacters)
{
    std::string name;
    for (int i = 0; i < 127; ++i)
        name += "\xC3\xA9";
    OnDialog([&](CWnd* dlg) {
        dlg->SetDlgItemText(IDC_SETTINGS_USER_NAME, name.c_str());
        Click(dlg, IDOK);
    });
    EXPECT_EQ(RunSettingsDlg(nullptr), IDOK);
    EXPECT_EQ(std::string(theAppSettings.m_userName), name.substr(0, 126));
}

TEST_F(ShellDialogs, SettingsRunFromTheViewMenu)
{
    RegisterDialogRunners();
    EXPECT_EQ(CMainFrame::SetDialogRunner(32838, nullptr), &RunSettingsDlg);
}

// ---- what's new ----

struct ChannelCase {
    const char* name;
    std::optional<std::string> channel;  // none: no key
    DWORD type;
    const char* pub;
};

const ChannelCase kChannelCases[] = {
    {"NoKeyIsUnknown", std::nullopt, REG_SZ, "Unknown"},
    {"ChannelFromTheRegistry", std::string("Retail"), REG_SZ, "Retail"},
    {"ChannelEscapedForTheQuery", std::string("a b&c=d"), REG_SZ, "a%20b%26c%3Dd"},
    {"NotTextIsUnknown", std::string("1234"), REG_DWORD, "Unknown"},
    {"LongerThan64BytesIsUnknown", std::string(80, 'z'), REG_SZ, "Unknown"},
};

void PrintTo(const ChannelCase& c, std::ostream* os) { *os << c.name; }

class WhatsNewTest : public ShellDialogs, public ::testing::WithParamInterface<ChannelCase> {};

TEST_P(WhatsNewTest, Address)
{
    const ChannelCase& c = GetParam();
    if (c.channel) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Software\\Orvanta\\Quillo", 0, nullptr, 0, KEY_WRITE, nullptr,
                                 &key, nullptr),
                  ERROR_SUCCESS);
        const DWORD size = c.type == REG_SZ ? static_cast<DWORD>(c.channel->size() + 1) : 4;
        ASSERT_EQ(RegSetValueEx(key, "Channel", 0, c.type, reinterpret_cast<const BYTE*>(c.channel->c_str()), size),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    EXPECT_EQ(CMainFrame::WebAddressOf(32871), std::string(QUILLO_WEB_BASE_FOR_TEST) + "qlnew.aspx?Ver=" +
                                                   QUILLO_VERSION_FOR_TEST + "&Lang=0&Pub=" + c.pub);
}

INSTANTIATE_TEST_SUITE_P(Cases, WhatsNewTest, ::testing::ValuesIn(kChannelCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- grabs: each dialog over the frame with a camera photo open ----

class DialogGrabs : public ShellDialogs {
protected:
    void SetUp() override
    {
        ShellDialogs::SetUp();
        std::snprintf(g_programFolder, sizeof g_programFolder, "%s/", QUILLO_PROGRAM_DIR);
    }
    void TearDown() override
    {
        if (m_frame && ::IsWindow(m_frame->m_hWnd))
            m_frame->DestroyWindow();  // deletes itself
        m_app.m_pMainWnd = nullptr;
        ShellDialogs::TearDown();
    }
    // False when the corpus is absent.
    bool MakeFrame()
    {
        const std::string photo = std::string(QUILLO_CORPUS_DIR) + "/exif-samples/jpg/Canon_40D.jpg";
        if (!std::filesystem::exists(photo))
            return false;
        m_app.m_lpCmdLine = strdup(photo.c_str());
        m_frame = new CMainFrame;
        m_app.m_pMainWnd = m_frame;
        EXPECT_TRUE(m_frame->LoadFrame(128, 0xCF8000));
        EXPECT_TRUE(thePhotoDocument.IsLoaded());
        m_frame->ShowWindow(SW_RESTORE);
        m_frame->MoveWindow(0, 0, 1000, 700);
        m_frame->RecalcLayout();
        return true;
    }
    // Saves the dialog drawn over the frame where it stands, moved below
    // the middle so that the photo shows.
    void GrabOnDialog(const char* name)
    {
        OnDialog([this, name](CWnd* dlg) {
            CRect frame, box;
            m_frame->GetWindowRect(&frame);
            dlg->GetWindowRect(&box);
            dlg->SetWindowPos(nullptr, frame.left + (frame.Width() - box.Width()) / 2, frame.top + 470, 0, 0,
                              SWP_NOSIZE | SWP_NOZORDER);
            dlg->ShowWindow(SW_SHOW);
            dlg->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            qlafx::ProcessPendingEvents();
            dlg->GetWindowRect(&box);
            QImage picture = m_frame->GetWidget()->grab().toImage();
            const QImage dialog = dlg->GetWidget()->grab().toImage();
            EXPECT_FALSE(dialog.isNull());
            QPainter painter(&picture);
            const QPoint at(box.left - frame.left, box.top - frame.top);
            painter.drawImage(at, dialog);
            painter.setPen(QColor(60, 60, 60));
            painter.drawRect(QRect(at, dialog.size()).adjusted(-1, -1, 0, 0));
            painter.end();
            const std::string path = shelltest::SaveGrab(picture, name);
            EXPECT_FALSE(path.empty());
            std::printf("grab: %s\n", path.c_str());
            Click(dlg, IDOK);
        });
    }

    CMainFrame* m_frame = nullptr;
};

TEST_F(DialogGrabs, TipOfTheDay)
{
    if (!MakeFrame())
        GTEST_SKIP() << "corpus absent";
    GrabOnDialog("tip_of_day");
    CTipDlg dlg(m_frame);
    dlg.DoModal();
    EXPECT_EQ(m_shown, 1);
    EXPECT_NE(dlg.GetTip(), "Tips file does not exist in the prescribed directory");
}

TEST_F(DialogGrabs, Settings)
{
    if (!MakeFrame())
        GTEST_SKIP() << "corpus absent";
    GrabOnDialog("settings");
    EXPECT_EQ(RunSettingsDlg(m_frame), IDOK);
    EXPECT_EQ(m_shown, 1);
}

TEST_F(DialogGrabs, Overwrite)
{
    if (!MakeFrame())
        GTEST_SKIP() << "corpus absent";
    GrabOnDialog("overwrite");
    EXPECT_EQ(AskOverwrite(), 1);
    EXPECT_EQ(m_shown, 1);
}

TEST_F(DialogGrabs, Notice)
{
    if (!MakeFrame())
        GTEST_SKIP() << "corpus absent";
    GrabOnDialog("notice");
    ShowImportantNotice(theUITextTable.GetText(247), theUITextTable.GetText(94), "PaintMode");
    EXPECT_EQ(m_shown, 1);
}

}  // namespace
