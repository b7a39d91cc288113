// The common dialogs answered through the modal hook: file filters, the
// file dialog's choices and overwrite prompt, colour, font and the folder
// browser with its callback.
#include "platform/afx/Afx.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/tests/FileDialogTestSupport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

class TempFolder {
public:
    TempFolder()
    {
        char tmpl[] = "/tmp/qlafx-commdlg-XXXXXX";
        m_path = ::mkdtemp(tmpl) ? tmpl : "";
    }
    ~TempFolder() { std::system(("rm -rf '" + m_path + "'").c_str()); }
    const std::string& path() const { return m_path; }
    std::string File(const char* name) const
    {
        const std::string p = m_path + "/" + name;
        if (FILE* f = std::fopen(p.c_str(), "wb"))
            std::fclose(f);
        return p;
    }
    std::string Folder(const char* name) const
    {
        const std::string p = m_path + "/" + name;
        ::mkdir(p.c_str(), 0700);
        return p;
    }

private:
    std::string m_path;
};

// Installs a hook for the test's length.
class HookScope {
public:
    explicit HookScope(qlafx::ModalHook hook) { qlafx::SetModalHook(std::move(hook)); }
    ~HookScope() { qlafx::SetModalHook({}); }
};

// ---- filters ----

struct FilterCase {
    const char* mfc;
    std::vector<std::string> labels;
    std::vector<std::vector<std::string>> patterns;
};
// Test names keep letters and digits only.
std::string Plain(std::string s)
{
    for (char& ch : s)
        if (!std::isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return s;
}
void PrintTo(const FilterCase& c, std::ostream* os) { *os << Plain(c.mfc); }

class FileFilterParseTest : public testing::TestWithParam<FilterCase> {};

TEST_P(FileFilterParseTest, SplitsLabelsAndPatterns)
{
    const FilterCase& c = GetParam();
    const std::string nul = qlafx::FilterFromMfc(c.mfc);
    const std::vector<qlafx::FileFilter> filters = qlafx::ParseFileFilter(nul.data());
    ASSERT_EQ(filters.size(), c.labels.size());
    for (size_t i = 0; i < filters.size(); ++i) {
        EXPECT_EQ(filters[i].label, c.labels[i]);
        EXPECT_EQ(filters[i].patterns, c.patterns[i]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, FileFilterParseTest,
    testing::Values(
        FilterCase{"All Image Files|*.bmp;*.jpg;*.jpeg|Jpeg Files(*.jpg;*.jpeg)|*.jpg;*.jpeg||",
                   {"All Image Files", "Jpeg Files(*.jpg;*.jpeg)"},
                   {{"*.bmp", "*.jpg", "*.jpeg"}, {"*.jpg", "*.jpeg"}}},
        FilterCase{"EXIF data file (*.exif) |*.exif|All files(*.*)|*.*||",
                   {"EXIF data file (*.exif) ", "All files(*.*)"},
                   {{"*.exif"}, {"*.*"}}},
        FilterCase{"(*.qlbat)|*.qlbat||", {"(*.qlbat)"}, {{"*.qlbat"}}},
        FilterCase{"Text|*.txt", {"Text"}, {{"*.txt"}}},  // no closing "||"
        FilterCase{"Spaced|*.a; *.b ;*.c||", {"Spaced"}, {{"*.a", "*.b", "*.c"}}},
        FilterCase{"", {}, {}}));

struct MatchCase {
    const char* patterns;
    const char* name;
    bool matches;
};
void PrintTo(const MatchCase& c, std::ostream* os) { *os << Plain(std::string(c.patterns) + " " + c.name); }

class FileFilterMatchTest : public testing::TestWithParam<MatchCase> {};

TEST_P(FileFilterMatchTest, IgnoresCase)
{
    const MatchCase& c = GetParam();
    const std::string nul = qlafx::FilterFromMfc((std::string("F|") + c.patterns + "||").c_str());
    const std::vector<qlafx::FileFilter> filters = qlafx::ParseFileFilter(nul.data());
    ASSERT_EQ(filters.size(), 1u);
    EXPECT_EQ(qlafx::MatchesFilter(filters[0], c.name), c.matches) << c.patterns << " / " << c.name;
}

INSTANTIATE_TEST_SUITE_P(Table, FileFilterMatchTest,
                         testing::Values(MatchCase{"*.jpg;*.jpeg", "PHOTO.JPG", true},
                                         MatchCase{"*.jpg;*.jpeg", "a.Jpeg", true},
                                         MatchCase{"*.jpg;*.jpeg", "a.jpg.bak", false},
                                         MatchCase{"*.tif", "scan.tiff", false},
                                         MatchCase{"*.raw;*.nef;*.cr2", "IMG_0001.CR2", true},
                                         MatchCase{"*.*", "README", true},
                                         MatchCase{"*.htm", "index.HTM", true},
                                         MatchCase{"photo?.bmp", "PHOTO1.BMP", true},
                                         MatchCase{"photo?.bmp", "photo12.bmp", false}));

// ---- file dialog ----

TEST(FileDialog, MultipleSelectionReturnsEveryPath)
{
    TempFolder dir;
    dir.File("b.jpg");
    dir.File("a.PNG");
    dir.File("c.bmp");
    char buffer[10000] = "";
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_OVERWRITEPROMPT,
                    "All Image Files|*.bmp;*.jpg;*.png||");
    dlg.m_ofn.lpstrFile = buffer;
    dlg.m_ofn.nMaxFile = sizeof buffer;
    dlg.m_ofn.lpstrInitialDir = dir.path().c_str();
    int asked = 0;
    HookScope hook([&](CWnd* w, const char* caption, const char*, UINT) {
        ++asked;
        EXPECT_EQ(w, &dlg);
        EXPECT_STREQ(caption, "Open");
        qlafx::AnswerFileDialog(dlg, {"b.jpg", dir.path() + "/a.PNG", "c.bmp"}, 1);
        return IDOK;
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(asked, 1);
    std::vector<std::string> paths;
    for (POSITION pos = dlg.GetStartPosition(); pos;)
        paths.push_back(dlg.GetNextPathName(pos).GetString());
    const std::vector<std::string> expected{dir.path() + "/b.jpg", dir.path() + "/a.PNG", dir.path() + "/c.bmp"};
    EXPECT_EQ(paths, expected);
    // The buffer holds the folder, then each name, then an empty string.
    const std::string raw(buffer, dir.path().size() + 1 + 6 + 6 + 6 + 1);
    EXPECT_EQ(raw, dir.path() + std::string("\0b.jpg\0a.PNG\0c.bmp\0\0", 20));
    EXPECT_EQ(dlg.m_ofn.nFilterIndex, 1u);
}

TEST(FileDialog, SingleChoiceInMultipleModeIsOnePath)
{
    TempFolder dir;
    const std::string one = dir.File("one.tga");
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_ALLOWMULTISELECT, "Targa|*.tga||");
    HookScope hook([&](CWnd*, const char*, const char*, UINT) {
        qlafx::AnswerFileDialog(dlg, {one});
        return IDOK;
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    POSITION pos = dlg.GetStartPosition();
    EXPECT_EQ(dlg.GetNextPathName(pos), one.c_str());
    EXPECT_EQ(pos, nullptr);
    EXPECT_EQ(dlg.GetPathName(), one.c_str());
    EXPECT_EQ(dlg.GetFileName(), "one.tga");
    EXPECT_EQ(dlg.GetFileExt(), "tga");
    EXPECT_EQ(dlg.GetFileTitle(), "one");
}

TEST(FileDialog, TooSmallABufferFailsAndSaysWhy)
{
    TempFolder dir;
    char buffer[8] = "";
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_ALLOWMULTISELECT, "Any|*.*||");
    dlg.m_ofn.lpstrFile = buffer;
    dlg.m_ofn.nMaxFile = sizeof buffer;
    HookScope hook([&](CWnd*, const char*, const char*, UINT) {
        qlafx::AnswerFileDialog(dlg, {dir.File("long-name-1.jpg"), dir.File("long-name-2.jpg")});
        return IDOK;
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL);
}

TEST(FileDialog, InitialNameAndFolderAreSeenAndDefaultExtensionAdded)
{
    TempFolder dir;
    const std::string initial = dir.path() + "/untitled.jpg";
    CFileDialog dlg(FALSE, ".jpg", initial.c_str(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, "Jpeg|*.jpg||");
    std::string seen;
    HookScope hook([&](CWnd*, const char* caption, const char*, UINT) {
        EXPECT_STREQ(caption, "Save As");
        seen = dlg.m_ofn.lpstrFile;
        qlafx::AnswerFileDialog(dlg, {"holiday"});  // typed without an extension, in the initial folder
        return IDOK;
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(seen, initial);
    EXPECT_EQ(dlg.GetPathName(), (dir.path() + "/holiday.jpg").c_str());
}

TEST(FileDialog, CancelledIsCancel)
{
    CFileDialog dlg(TRUE);
    HookScope hook([](CWnd*, const char*, const char*, UINT) { return IDCANCEL; });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(CommDlgExtendedError(), 0u);
}

struct OverwriteCase {
    const char* name;
    BOOL open;
    DWORD flags;
    bool exists;
    int boxAnswer;       // the person's answer to the question
    int expected;        // DoModal's result
    int questions;       // how often the overwrite question came up
    int dialogRounds;    // how often the dialog was shown
};
void PrintTo(const OverwriteCase& c, std::ostream* os) { *os << c.name; }

class OverwritePromptTest : public testing::TestWithParam<OverwriteCase> {};

TEST_P(OverwritePromptTest, AsksBeforeReplacing)
{
    const OverwriteCase& c = GetParam();
    TempFolder dir;
    const std::string target = c.exists ? dir.File("old.png") : dir.path() + "/new.png";
    CFileDialog dlg(c.open, nullptr, nullptr, c.flags, "PNG|*.png||");
    int rounds = 0, questions = 0;
    std::string question;
    HookScope hook([&](CWnd* w, const char* caption, const char* text, UINT type) {
        if (!w) {  // the message box
            ++questions;
            question = text;
            EXPECT_STREQ(caption, "Save As");
            EXPECT_EQ(type & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
            return c.boxAnswer;
        }
        // Asked again after a "No": the person gives up.
        if (++rounds > 1)
            return IDCANCEL;
        qlafx::AnswerFileDialog(dlg, {target});
        return IDOK;
    });
    EXPECT_EQ(dlg.DoModal(), c.expected);
    EXPECT_EQ(questions, c.questions);
    EXPECT_EQ(rounds, c.dialogRounds);
    if (c.questions) {
        EXPECT_EQ(question, target + " already exists.\nDo you want to replace it?");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, OverwritePromptTest,
    testing::Values(OverwriteCase{"ExistingYes", FALSE, OFN_OVERWRITEPROMPT, true, IDYES, IDOK, 1, 1},
                    OverwriteCase{"ExistingNoAsksForAnotherName", FALSE, OFN_OVERWRITEPROMPT, true, IDNO, IDCANCEL,
                                  1, 2},
                    OverwriteCase{"NewFileNoQuestion", FALSE, OFN_OVERWRITEPROMPT, false, IDNO, IDOK, 0, 1},
                    OverwriteCase{"WithoutTheFlagNoQuestion", FALSE, 0, true, IDNO, IDOK, 0, 1},
                    OverwriteCase{"OpenNeverAsks", TRUE, OFN_OVERWRITEPROMPT, true, IDNO, IDOK, 0, 1}),
    [](const testing::TestParamInfo<OverwriteCase>& i) { return std::string(i.param.name); });

TEST(FileDialog, OpenOfAMissingFileIsRefusedWhenItMustExist)
{
    TempFolder dir;
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST, "Any|*.*||");
    int rounds = 0, boxes = 0;
    HookScope hook([&](CWnd* w, const char*, const char*, UINT) {
        if (!w) {
            ++boxes;
            return IDOK;
        }
        if (++rounds > 1)
            return IDCANCEL;
        qlafx::AnswerFileDialog(dlg, {dir.path() + "/missing.jpg"});
        return IDOK;
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(rounds, 2);
}

// ---- the file dialog's window ----

TEST(FileDialogWindow, APersonChoosesInTheHostedWidget)
{
    TempFolder dir;
    const std::string photo = dir.File("photo.jpg");
    dir.File("notes.txt");
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST, "Jpeg|*.jpg|Any|*.*||");
    dlg.m_ofn.lpstrInitialDir = dir.path().c_str();
    dlg.m_ofn.nFilterIndex = 2;
    std::string selectedWhileOpen;
    HookScope hook([&](CWnd* w, const char* caption, const char*, UINT) {
        EXPECT_EQ(w, &dlg);
        EXPECT_STREQ(caption, "Open");
        QFileDialog* widget = FileWidgetOf(w);
        EXPECT_NE(widget, nullptr);
        if (!widget)
            return IDCANCEL;
        EXPECT_TRUE(widget->isVisible());
        // Inside the layer window, not a window of its own.
        EXPECT_FALSE(widget->isWindow());
        widget->selectNameFilter(widget->nameFilters().front());
        EXPECT_TRUE(PickInList(widget, photo));
        selectedWhileOpen = dlg.GetPathName().GetString();
        static_cast<QDialog*>(widget)->accept();
        return qlafx::kModalRun;  // the widget's Open ended it
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.GetPathName(), photo.c_str());
    EXPECT_EQ(dlg.m_ofn.nFilterIndex, 1u);
    EXPECT_EQ(selectedWhileOpen, photo);
}

TEST(FileDialogWindow, TheWidgetsCancelCancels)
{
    CFileDialog dlg(TRUE);
    HookScope hook([&](CWnd* w, const char*, const char*, UINT) {
        if (QFileDialog* widget = FileWidgetOf(w))
            static_cast<QDialog*>(widget)->reject();
        return qlafx::kModalRun;
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

// A template of the caller's own: the widget at stc32, a control beside it.
constexpr UINT kSideId = 500;
const qlafx::DialogTemplate kWithSide[] = {
    {7001, WS_POPUP | WS_CAPTION, 0, 0, 0, 300, 200, "", "MS Shell Dlg", 8,
     {{"Static", "", static_cast<UINT>(stc32), 0, 0, 240, 200, 0},
      {"Static", "side", kSideId, 245, 10, 50, 50, WS_VISIBLE | SS_LEFT}}},
    {7002, WS_POPUP | WS_CAPTION, 0, 0, 0, 100, 20, "", "MS Shell Dlg", 8,
     {{"Static", "below", kSideId, 5, 5, 90, 10, WS_VISIBLE | SS_LEFT}}},
};
const qlafx::ResourceTable kSideTable{.dialogs = kWithSide};
qlafx::ResourceRegistrar kSideRegister(kSideTable);

// Counts the messages a subclass of the file dialog gets.
class CCountingFileDlg : public CFileDialog {
public:
    explicit CCountingFileDlg(UINT templateId) : CFileDialog(TRUE, nullptr, nullptr, OFN_ENABLETEMPLATE, "Any|*.*||")
    {
        m_ofn.lpTemplateName = MAKEINTRESOURCE(templateId);
    }
    int timers = 0, changes = 0;
    std::vector<std::string> selections;

protected:
    BOOL OnInitDialog() override
    {
        CFileDialog::OnInitDialog();
        SetTimer(1, 10, nullptr);
        return TRUE;
    }
    void OnFileNameChange() override
    {
        ++changes;
        selections.push_back(GetPathName().GetString());
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TIMER)
            ++timers;
        return CFileDialog::WindowProc(message, wParam, lParam);
    }
};

TEST(FileDialogWindow, ASubclassGetsTimersSelectionsAndItsControls)
{
    TempFolder dir;
    const std::string photo = dir.File("a.jpg");
    CCountingFileDlg dlg(7001);
    dlg.m_ofn.lpstrInitialDir = dir.path().c_str();
    HookScope hook([&](CWnd* w, const char*, const char*, UINT) {
        QFileDialog* widget = FileWidgetOf(w);
        CWnd* side = w->GetDlgItem(kSideId);
        EXPECT_NE(side, nullptr);
        if (!widget || !side)
            return IDCANCEL;
        CRect sideRect;
        side->GetWindowRect(&sideRect);
        w->ScreenToClient(&sideRect);
        EXPECT_GE(sideRect.left, widget->geometry().right());
        CRect client;
        w->GetClientRect(&client);
        EXPECT_LE(sideRect.right, client.right);
        EXPECT_TRUE(PickInList(widget, photo));
        EXPECT_TRUE(PumpUntil([&] { return dlg.timers >= 2 && dlg.changes >= 1; }, 5000)) << dlg.timers << " " << dlg.changes;
        return IDCANCEL;
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_FALSE(dlg.selections.empty());
    EXPECT_EQ(dlg.selections.back(), photo);
}

TEST(FileDialogWindow, WithoutAPlaceTheTemplateGoesBelow)
{
    CCountingFileDlg dlg(7002);
    HookScope hook([&](CWnd* w, const char*, const char*, UINT) {
        QFileDialog* widget = FileWidgetOf(w);
        CWnd* below = w->GetDlgItem(kSideId);
        EXPECT_TRUE(widget && below);
        if (widget && below) {
            CRect r;
            below->GetWindowRect(&r);
            w->ScreenToClient(&r);
            EXPECT_GE(r.top, widget->geometry().bottom());
        }
        return IDCANCEL;
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

// ---- colour and font ----

TEST(ColorDialog, HookChoosesTheColour)
{
    CColorDialog dlg(RGB(10, 20, 30), CC_FULLOPEN);
    DWORD flags = 0;
    HookScope hook([&](CWnd*, const char*, const char*, UINT) {
        flags = dlg.m_cc.Flags;
        EXPECT_EQ(dlg.m_cc.rgbResult, RGB(10, 20, 30));
        qlafx::AnswerColorDialog(dlg, RGB(200, 100, 50));
        return IDOK;
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(flags & (CC_FULLOPEN | CC_RGBINIT), CC_FULLOPEN | CC_RGBINIT);
    EXPECT_EQ(dlg.GetColor(), RGB(200, 100, 50));
}

TEST(FontDialog, HookChoosesTheFace)
{
    LOGFONT lf{};
    std::strcpy(lf.lfFaceName, "Arial");
    lf.lfHeight = -16;
    CFontDialog dlg(&lf);
    EXPECT_EQ(dlg.GetFaceName(), "Arial");
    LOGFONT chosen{};
    std::strcpy(chosen.lfFaceName, "Tahoma");
    chosen.lfWeight = FW_BOLD;
    HookScope hook([&](CWnd*, const char*, const char*, UINT) {
        qlafx::AnswerFontDialog(dlg, chosen, 14);
        return IDOK;
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.GetFaceName(), "Tahoma");
    EXPECT_TRUE(dlg.IsBold());
    EXPECT_EQ(dlg.GetSize(), 140);
}

// ---- folder browser ----

struct BrowseLog {
    std::string preselect;
    std::vector<std::string> events;
};

int CALLBACK_Browse(HWND hwnd, UINT msg, LPARAM lParam, LPARAM data)
{
    auto* log = reinterpret_cast<BrowseLog*>(data);
    if (msg == BFFM_INITIALIZED) {
        log->events.push_back("init");
        ::SendMessage(hwnd, BFFM_SETSELECTION, TRUE, reinterpret_cast<LPARAM>(log->preselect.c_str()));
    } else if (msg == BFFM_SELCHANGED) {
        char path[MAX_PATH];
        if (SHGetPathFromIDList(reinterpret_cast<LPCITEMIDLIST>(lParam), path)) {
            log->events.push_back(std::string("sel ") + path);
            ::SendMessage(hwnd, BFFM_SETSTATUSTEXT, 0, reinterpret_cast<LPARAM>(path));
        }
    }
    return 0;
}

TEST(FolderBrowser, CallbackPreselectsAndShowsTheSelectionAsStatus)
{
    TempFolder dir;
    const std::string first = dir.Folder("first");
    const std::string second = dir.Folder("second");
    BrowseLog log{first, {}};
    char name[MAX_PATH] = "";
    BROWSEINFO bi{};
    bi.pszDisplayName = name;
    bi.lpszTitle = "Select Folder";
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
    bi.lpfn = &CALLBACK_Browse;
    bi.lParam = reinterpret_cast<LPARAM>(&log);
    std::string statusSeen, titleSeen;
    HookScope hook([&](CWnd* w, const char*, const char*, UINT) {
        CString text;
        w->GetDlgItemText(IDC_BROWSE_STATUS, text);
        statusSeen = text.GetString();
        w->GetDlgItemText(IDC_BROWSE_TITLE, text);
        titleSeen = text.GetString();
        w->SendMessage(BFFM_SETSELECTION, TRUE, reinterpret_cast<LPARAM>(second.c_str()));
        return IDOK;
    });
    LPITEMIDLIST item = SHBrowseForFolder(&bi);
    ASSERT_NE(item, nullptr);
    char path[MAX_PATH];
    ASSERT_TRUE(SHGetPathFromIDList(item, path));
    CoTaskMemFree(item);
    EXPECT_EQ(std::string(path), second);
    EXPECT_STREQ(name, "second");
    EXPECT_EQ(statusSeen, first);
    EXPECT_EQ(titleSeen, "Select Folder");
    const std::vector<std::string> expected{"init", "sel " + first, "sel " + second};
    EXPECT_EQ(log.events, expected);
}

TEST(FolderBrowser, CancelOrAFileGivesNothing)
{
    TempFolder dir;
    const std::string file = dir.File("plain.txt");
    BROWSEINFO bi{};
    for (int answer : {IDCANCEL, IDOK}) {
        HookScope hook([&](CWnd* w, const char*, const char*, UINT) {
            // Without BIF_STATUSTEXT there is no status line.
            EXPECT_FALSE(w->GetDlgItem(IDC_BROWSE_STATUS)->GetStyle() & WS_VISIBLE);
            w->SendMessage(BFFM_SETSELECTION, TRUE, reinterpret_cast<LPARAM>(file.c_str()));
            return answer;
        });
        EXPECT_EQ(SHBrowseForFolder(&bi), nullptr) << answer;
    }
}

TEST(FolderBrowser, RootFromTheDesktopFolder)
{
    TempFolder dir;
    const std::string inside = dir.Folder("inside");
    IShellFolder* desktop = nullptr;
    ASSERT_EQ(SHGetDesktopFolder(&desktop), S_OK);
    const std::wstring wide(dir.path().begin(), dir.path().end());
    LPITEMIDLIST root = nullptr;
    ASSERT_EQ(desktop->ParseDisplayName(nullptr, nullptr, wide.c_str(), nullptr, &root, nullptr), S_OK);
    desktop->Release();
    BROWSEINFO bi{};
    bi.pidlRoot = root;
    // Only folders under the root can be chosen.
    for (const std::string& pick : {std::string("/"), inside}) {
        HookScope hook([&](CWnd* w, const char*, const char*, UINT) {
            w->SendMessage(BFFM_SETSELECTION, TRUE, reinterpret_cast<LPARAM>(pick.c_str()));
            return IDOK;
        });
        LPITEMIDLIST got = SHBrowseForFolder(&bi);
        EXPECT_EQ(got != nullptr, pick == inside) << pick;
        CoTaskMemFree(got);
    }
    CoTaskMemFree(root);
}

}  // namespace
