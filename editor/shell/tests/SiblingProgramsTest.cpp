// The sibling programs, with a stand-in built by the tests under each name;
// the help page; the copy of the filter file.
#include "PhotosTestSupport.h"

#include "editor/shell/FolderBrowser.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "platform/win/Folders.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using photostest::PhotosTest;
namespace fs = std::filesystem;

class SiblingPrograms : public PhotosTest {
protected:
    void SetUp() override
    {
        PhotosTest::SetUp();
        m_program = UseProgramFolder();
        char temp[MAX_PATH] = {};
        GetTempPath(sizeof temp, temp);
        m_temp = temp;
        m_log = m_folder.Path() + "sibling.log";
        setenv("QUILLO_FAKE_LOG", m_log.c_str(), 1);
    }
    void TearDown() override
    {
        for (const char* name : {"QUILLO_FAKE_LOG", "QUILLO_FAKE_SOURCE", "QUILLO_FAKE_TARGET"})
            unsetenv(name);
        PhotosTest::TearDown();
    }
    void Install(const char* name) { fs::copy_file(QUILLO_FAKE_SIBLING, m_program + name); }
    // The stand-in writes source to target (to the "-o" path when target is empty).
    void WillWrite(const std::string& source, const std::string& target = "")
    {
        setenv("QUILLO_FAKE_SOURCE", source.c_str(), 1);
        if (!target.empty())
            setenv("QUILLO_FAKE_TARGET", target.c_str(), 1);
    }
    std::string Log() const
    {
        std::ifstream in(m_log);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string StepName() const { return thePhotoDocument.m_history.GetGroups().back().steps.back().name; }

    std::string m_program, m_temp, m_log;
};

TEST_F(SiblingPrograms, CommandsNeedTheirProgram)
{
    MakeFrame();
    const std::pair<UINT, const char*> commands[] = {
        {32898, "QuilloDevelop"}, {32905, "QuilloSnap"}, {32906, "QuilloCollage"}, {32857, "QuilloBeacon"}};
    for (const auto& [id, name] : commands) {
        EXPECT_FALSE(Enabled(id)) << name;
        Install(name);
        EXPECT_TRUE(Enabled(id)) << name;
    }
}

// The capture opens as a new photo named "Capture"; its file is gone after.
TEST_F(SiblingPrograms, CaptureResultOpens)
{
    Install("QuilloSnap");
    const std::string shot = m_folder.Path() + "shot.bmp";
    WritePhoto(shot, 20, 10);
    WillWrite(shot, m_temp + "qlcap.bmp");
    MakeFrame();
    Command(32905);
    UINT w = 0, h = 0;
    thePhotoDocument.m_image.GetSize(&w, &h);
    EXPECT_EQ(w, 20u);
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
    EXPECT_EQ(StepName(), theUITextTable.GetText(236));
    EXPECT_STREQ(thePhotoDocument.m_path, "");
    EXPECT_FALSE(fs::exists(m_temp + "qlcap.bmp"));
    EXPECT_EQ(Log(), "QuilloSnap\nstale=0\n");
}

// A result left by an earlier run is never taken for this run's.
TEST_F(SiblingPrograms, StaleResultNeverOpens)
{
    Install("QuilloSnap");
    Install("QuilloCollage");
    MakeFrame();
    for (const char* result : {"qlcap.bmp", "qlmframe.bmp"}) {
        SCOPED_TRACE(result);
        WritePhoto(m_temp + result, 20, 10);
        setenv("QUILLO_FAKE_TARGET", (m_temp + result).c_str(), 1);
        Command(std::string(result) == "qlcap.bmp" ? 32905 : 32906);
        EXPECT_FALSE(thePhotoDocument.IsLoaded());
        EXPECT_NE(Log().find("stale=0"), std::string::npos);
    }
}

// The collage gets the photo's path and its result becomes an undo step.
TEST_F(SiblingPrograms, CollageResultIsAStep)
{
    Install("QuilloCollage");
    const std::string photo = m_folder.Path() + "photo.jpg";
    const std::string frame = m_folder.Path() + "frame.bmp";
    WritePhoto(photo);
    WritePhoto(frame, 50, 40);
    WillWrite(frame, m_temp + "qlmframe.bmp");
    MakeFrame();
    ASSERT_TRUE(m_frame->OpenImageFile(photo.c_str(), 1));
    Command(32906);
    EXPECT_EQ(Log(), "QuilloCollage\n" + photo + "\nstale=0\n");
    UINT w = 0, h = 0;
    thePhotoDocument.m_image.GetSize(&w, &h);
    EXPECT_EQ(w, 50u);
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 2);
    EXPECT_EQ(StepName(), theUITextTable.GetText(237));
    EXPECT_FALSE(fs::exists(m_temp + "qlmframe.bmp"));
}

// QuilloDevelop: the converted JPEG opens without a path and is deleted; a
// run that writes nothing keeps the editor as it was.
TEST_F(SiblingPrograms, DevelopResultHasNoPath)
{
    Install("QuilloDevelop");
    const std::string raw = m_folder.Path() + "IMG_1.cr2";
    std::ofstream(raw) << "raw";
    const std::string converted = m_folder.Path() + "converted.jpg";
    WritePhoto(converted, 30, 20);
    MakeFrame();
    m_chosenFile = raw;
    Command(32898);
    EXPECT_FALSE(thePhotoDocument.IsLoaded()) << "nothing written";

    WillWrite(converted);
    Command(32898);
    const std::string jpeg = m_temp + "IMG_1.jpg";
    EXPECT_EQ(Log(), "QuilloDevelop\n-i\n" + raw + "\n-o\n" + jpeg + "\nstale=0\n");
    ASSERT_TRUE(thePhotoDocument.IsLoaded());
    EXPECT_STREQ(thePhotoDocument.m_path, "");
    EXPECT_FALSE(fs::exists(jpeg));
    EXPECT_FALSE(Enabled(32881));
    EXPECT_FALSE(Enabled(32882));
}

TEST_F(SiblingPrograms, FilterFileCopy)
{
    MakeFrame();
    EXPECT_FALSE(Enabled(32902));
    std::ofstream(m_program + "Quillo.8bf") << "filter";
    EXPECT_TRUE(Enabled(32902));
    const std::string target = m_folder.Path() + "plugins/";
    fs::create_directories(target);
    std::ofstream(target + "Quillo.8bf") << "old";
    m_chosenFolder = target;
    Command(32902);
    std::ifstream in(target + "Quillo.8bf");
    std::string copied;
    in >> copied;
    EXPECT_EQ(copied, "filter");
    ASSERT_EQ(m_messages.size(), 2u);
    EXPECT_EQ(m_messages[0], theUITextTable.GetText(234));
    EXPECT_EQ(m_messages[1], theUITextTable.GetText(235));
}

// The folder browser opens on the preselected folder; a cancel empties the
// answer.
TEST_F(SiblingPrograms, FolderBrowserPreselects)
{
    const std::string folder = m_folder.Path() + "pick";
    fs::create_directories(folder);
    char out[MAX_PATH] = "junk";
    EXPECT_TRUE(BrowseForFolder(out, "Choose", nullptr, nullptr, folder.c_str()));
    EXPECT_EQ(std::string(out), folder);
    m_dialogAnswer = IDCANCEL;
    EXPECT_FALSE(BrowseForFolder(out, "Choose", nullptr, m_folder.Path().c_str(), folder.c_str()));
    EXPECT_STREQ(out, "");
}

// The build writes the help page from the editor's menus.
TEST(HelpPage, ListsTheMenus)
{
    std::ifstream in(std::string(QUILLO_PROGRAM_DIR) + "/QuilloEditor.html");
    ASSERT_TRUE(in.good());
    std::stringstream text;
    text << in.rdbuf();
    for (const char* item : {"Open File ...", "Rotate Right", "Next Photo", "Auto White Balance"})
        EXPECT_NE(text.str().find(item), std::string::npos) << item;
}

}  // namespace
