// Editing the EXIF record: the shutter text, refusals that keep the dialog
// open and the record unchanged, and the defaults from the user name.
#include "ShellWindowsTestSupport.h"

#include "editor/shell/EditExifDlg.h"
#include "platform/afx/MessageBox.h"

#include <QWidget>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct ShutterCase {
    const char* text;
    double seconds;  // 0: refused
};
void PrintTo(const ShutterCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class ShutterParse : public testing::TestWithParam<ShutterCase> {};

TEST_P(ShutterParse, FractionOrDecimalAboveZero)
{
    EXPECT_DOUBLE_EQ(ParseShutterText(GetParam().text), GetParam().seconds);
}

INSTANTIATE_TEST_SUITE_P(Table, ShutterParse,
                         testing::Values(ShutterCase{"1/250", 0.004}, ShutterCase{"0.5", 0.5},
                                         ShutterCase{" 2 ", 2}, ShutterCase{"2/4", 0.5},
                                         ShutterCase{"0.004000", 0.004}, ShutterCase{"1/0", 0},
                                         ShutterCase{"0/5", 0}, ShutterCase{"-1/250", 0}, ShutterCase{"abc", 0},
                                         ShutterCase{"1/2x", 0}, ShutterCase{"5s", 0}, ShutterCase{"0", 0},
                                         ShutterCase{"-0.5", 0}, ShutterCase{"", 0}, ShutterCase{"1e999", 0},
                                         ShutterCase{"1/2/3", 0}));

class EditExif : public shelltest::ShellWindowsTest {
protected:
    void SetUp() override
    {
        ShellWindowsTest::SetUp();
        m_exif.Clear();
        m_path = m_folder.Path() + "photo.jpg";
        std::ofstream(m_path) << "x";
        qlafx::SetModalHook([this](CWnd* w, const char*, const char* text, UINT) {
            if (!w) {
                m_messages.push_back(text ? text : "");
                return IDOK;
            }
            auto* dlg = dynamic_cast<CEditExifDlg*>(w);
            if (!dlg)
                return IDCANCEL;
            for (const auto& [id, value] : m_typed)
                dlg->SetDlgItemText(static_cast<int>(id), value.c_str());
            if (m_onShown)
                m_onShown(dlg);
            dlg->SendDlgItemMessage(IDOK, BM_CLICK);
            m_stayedOpen = ::IsWindowVisible(dlg->m_hWnd);
            return IDCANCEL;  // ends a dialog that refused OK
        });
    }
    void TearDown() override
    {
        qlafx::SetModalHook({});
        ShellWindowsTest::TearDown();
    }
    int Run()
    {
        CEditExifDlg dlg(m_exif, m_path.c_str(), nullptr);
        return dlg.DoModal();
    }
    static std::string Text(CWnd* dlg, UINT id)
    {
        CString s;
        dlg->GetDlgItemText(static_cast<int>(id), s);
        return s.GetString();
    }

    ExifInfo m_exif;
    std::string m_path;
    std::vector<std::pair<UINT, std::string>> m_typed;
    std::function<void(CEditExifDlg*)> m_onShown;
    std::vector<std::string> m_messages;
    bool m_stayedOpen = false;
};

TEST_F(EditExif, DefaultsComeFromTheUserNameAndTheFileTime)
{
    m_typed = {{IDC_EXIF_SHUTTER, "0.5"}};
    std::string author, copyright, date;
    m_onShown = [&](CEditExifDlg* dlg) {
        author = Text(dlg, IDC_EXIF_AUTHOR);
        copyright = Text(dlg, IDC_EXIF_COPYRIGHT);
        date = Text(dlg, IDC_EXIF_DATE);
    };
    EXPECT_EQ(Run(), IDOK);
    EXPECT_EQ(author, "Tester");
    EXPECT_EQ(copyright, "Copyright Tester, All right reserved.");
    EXPECT_EQ(date, FileTimeText(m_path.c_str()));
    EXPECT_NE(ParseExifDateTime(date.c_str()).wYear, 0);
    // Accepted as they stand.
    EXPECT_STREQ(m_exif.GetFields().artist, "Tester");
    EXPECT_STREQ(m_exif.GetFields().copyright, "Copyright Tester, All right reserved.");
}

TEST_F(EditExif, RecordTextsWinOverTheDefaults)
{
    std::strcpy(m_exif.GetFields().artist, "Ann");
    std::strcpy(m_exif.GetFields().copyright, "(c) Ann");
    std::strcpy(m_exif.GetFields().dateTime, "2008:07:31 10:38:11");
    m_exif.GetFields().exposureTime = 0.004;
    std::string author, copyright, date, shutter;
    m_onShown = [&](CEditExifDlg* dlg) {
        author = Text(dlg, IDC_EXIF_AUTHOR);
        copyright = Text(dlg, IDC_EXIF_COPYRIGHT);
        date = Text(dlg, IDC_EXIF_DATE);
        shutter = Text(dlg, IDC_EXIF_SHUTTER);
    };
    Run();
    EXPECT_EQ(author, "Ann");
    EXPECT_EQ(copyright, "(c) Ann");
    EXPECT_EQ(date, "2008:07:31 10:38:11");
    EXPECT_EQ(shutter, "0.004000");  // the exposure time while the shutter speed is 0
}

TEST_F(EditExif, OkStoresEveryField)
{
    m_typed = {{IDC_EXIF_SHUTTER, "1/250"}, {IDC_EXIF_FNUMBER, "8"},       {IDC_EXIF_BIAS, "-1.5"},
               {IDC_EXIF_FOCAL, "50"},      {IDC_EXIF_ISO, "400"},         {IDC_EXIF_FLASH, "1"},
               {IDC_EXIF_MODEL, "Box"},     {IDC_EXIF_DATE, "2020:01:02 03:04:05"}};
    ASSERT_EQ(Run(), IDOK);
    const ExifFields& f = m_exif.GetFields();
    EXPECT_DOUBLE_EQ(f.shutterSpeed, 0.004);
    EXPECT_DOUBLE_EQ(f.exposureTime, 0.004);
    EXPECT_DOUBLE_EQ(f.fNumber, 8);
    EXPECT_DOUBLE_EQ(f.aperture, 8);
    EXPECT_DOUBLE_EQ(f.exposureBias, -1.5);
    EXPECT_DOUBLE_EQ(f.focalLength, 50);
    EXPECT_EQ(f.isoSpeed, 400);
    EXPECT_EQ(f.flash, 1);
    EXPECT_STREQ(f.model, "Box");
    EXPECT_STREQ(f.dateTime, "2020:01:02 03:04:05");
    EXPECT_EQ(f.hasExif, 1u);
    EXPECT_TRUE(m_messages.empty());
}

struct RefusalCase {
    const char* name;
    UINT id;
    const char* text;
    const char* message;  // NULL: the range message of the data exchange
};
void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class EditExifRefusal : public EditExif, public testing::WithParamInterface<RefusalCase> {};

TEST_P(EditExifRefusal, KeepsTheDialogOpenAndTheRecordUnchanged)
{
    const RefusalCase& c = GetParam();
    m_typed = {{IDC_EXIF_SHUTTER, "0.5"}, {c.id, c.text}};
    ExifFields before{};
    std::memcpy(&before, &m_exif.GetFields(), sizeof before);
    EXPECT_EQ(Run(), IDCANCEL);
    EXPECT_TRUE(m_stayedOpen);
    ASSERT_EQ(m_messages.size(), 1u);
    if (c.message) {
        EXPECT_EQ(m_messages[0], c.message);
    }
    EXPECT_EQ(std::memcmp(&before, &m_exif.GetFields(), sizeof before), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EditExifRefusal,
    testing::Values(RefusalCase{"ZeroDivisor", IDC_EXIF_SHUTTER, "1/0", "Shutter speed: Input wrong format!"},
                    RefusalCase{"Letters", IDC_EXIF_SHUTTER, "fast", "Shutter speed: Input wrong format!"},
                    RefusalCase{"Negative", IDC_EXIF_SHUTTER, "-2", "Shutter speed: Input wrong format!"},
                    RefusalCase{"BadDate", IDC_EXIF_DATE, "yesterday", "Bad time format"},
                    RefusalCase{"FNumberAbove128", IDC_EXIF_FNUMBER, "129", nullptr},
                    RefusalCase{"BiasBelowMinus10", IDC_EXIF_BIAS, "-11", nullptr},
                    RefusalCase{"IsoBeyondTheTag", IDC_EXIF_ISO, "70000", nullptr},
                    RefusalCase{"FlashBelowMinus1", IDC_EXIF_FLASH, "-2", nullptr}),
    [](const testing::TestParamInfo<RefusalCase>& i) { return std::string(i.param.name); });

TEST_F(EditExif, GrabOfTheCanon)
{
    const std::string canon = std::string(QUILLO_CORPUS_DIR) + "/exif-samples/jpg/Canon_40D.jpg";
    if (m_exif.ReadFromFile(canon.c_str()) != 1)
        GTEST_SKIP() << "corpus photo absent";
    m_path = canon;
    std::string model;
    m_onShown = [&](CEditExifDlg* dlg) {
        model = Text(dlg, IDC_EXIF_MODEL);
        EXPECT_FALSE(shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), "edit_exif").empty());
    };
    Run();
    EXPECT_EQ(model, "Canon EOS 40D");
}

}  // namespace
