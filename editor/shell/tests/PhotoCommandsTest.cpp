// Opening, closing and browsing photos, the save question and the command line.
#include "PhotosTestSupport.h"

#include "../../../platform/afx/tests/WndTestSupport.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AppSettings.h"
#include "platform/codec/QLImageCodec.h"

#include <QUrl>

#include <filesystem>

namespace {

using photostest::PhotosTest;

class PhotoCommands : public PhotosTest {
protected:
    // Three photos a, b, c in a folder of their own; a is opened.
    void OpenFolderOfThree(const char* ext = ".jpg")
    {
        m_photoDir = m_folder.Path() + "photos/";
        std::filesystem::create_directories(m_photoDir);
        for (const char* name : {"a", "b", "c"})
            WritePhoto(m_photoDir + name + ext);
        MakeFrame();
        ASSERT_TRUE(m_frame->OpenImageFile((m_photoDir + "a" + ext).c_str(), 1));
    }
    void Modify() { thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Blur"); }

    std::string m_photoDir;
};

// The save question: its answers, and the save that follows "Yes".
TEST_F(PhotoCommands, SaveQuestionGoesOnOnlyWhenNothingIsLost)
{
    struct Case {
        const char* what;
        bool modified;
        int answer;
        int saveResult; // what the save-mode dialog returns; 0: not run
        int expected;
    };
    const Case cases[] = {
        {"unchanged", false, 0, 0, 1},
        {"no", true, IDNO, 0, 1},
        {"cancel", true, IDCANCEL, 0, 0},
        {"yes and saved", true, IDYES, IDOK, 1},
        {"yes and save cancelled", true, IDYES, IDCANCEL, 0},
        {"yes and save failed", true, IDYES, IDABORT, 0},
    };
    OpenFolderOfThree();
    static int saveResult = 0;
    static int saves = 0;
    SetRunner(57603, [](CMainFrame*) {
        ++saves;
        return saveResult;
    });
    for (const Case& c : cases) {
        thePhotoDocument.m_history.SetModified(c.modified);
        m_messages.clear();
        m_answers = {c.answer};
        saveResult = c.saveResult;
        saves = 0;
        EXPECT_EQ(m_frame->AskSaveChanges(), c.expected) << c.what;
        EXPECT_EQ(m_messages.size(), c.modified ? 1u : 0u) << c.what;
        if (c.modified)
            EXPECT_EQ(m_messages[0], theUITextTable.GetText(60)) << c.what;
        EXPECT_EQ(saves, c.saveResult ? 1 : 0) << c.what;
    }
}

TEST_F(PhotoCommands, CloseStaysWhenTheQuestionIsCancelled)
{
    OpenFolderOfThree();
    Modify();
    m_answers = {IDCANCEL};
    Command(57602);
    EXPECT_TRUE(thePhotoDocument.IsLoaded());
    m_answers = {IDNO};
    Command(57602);
    EXPECT_FALSE(thePhotoDocument.IsLoaded());
    EXPECT_STREQ(thePhotoDocument.m_path, "");
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 0);
}

// Next on the last photo and Previous on the first do nothing; the overwrite
// question comes first, even for an unchanged photo.
TEST_F(PhotoCommands, NextAndPreviousWalkTheFolder)
{
    OpenFolderOfThree();
    EXPECT_FALSE(Enabled(32882));
    EXPECT_TRUE(Enabled(32881));
    Command(32882);
    EXPECT_EQ(std::string(thePhotoDocument.m_path), m_photoDir + "a.jpg");

    m_dialogs.clear();
    Command(32881);
    EXPECT_EQ(m_dialogs.size(), 1u) << "the overwrite question";
    EXPECT_EQ(std::string(thePhotoDocument.m_path), m_photoDir + "b.jpg");
    Command(32881);
    EXPECT_EQ(std::string(thePhotoDocument.m_path), m_photoDir + "c.jpg");
    EXPECT_FALSE(Enabled(32881));
    Command(32881);
    EXPECT_EQ(std::string(thePhotoDocument.m_path), m_photoDir + "c.jpg");
    Command(32882);
    EXPECT_EQ(std::string(thePhotoDocument.m_path), m_photoDir + "b.jpg");

    // Cancelling the question stays.
    m_dialogAnswer = IDCANCEL;
    Command(32882);
    EXPECT_EQ(std::string(thePhotoDocument.m_path), m_photoDir + "b.jpg");
}

// A changed photo is saved back by its type before the next one opens.
TEST_F(PhotoCommands, ChangePhotoSavesBackByType)
{
    for (const char* ext : {".jpg", ".tif", ".bmp", ".png"}) {
        SCOPED_TRACE(ext);
        OpenFolderOfThree(ext);
        const std::string a = m_photoDir + "a" + ext;
        thePhotoDocument.m_image.PutPixel(0, 0, CPixel{0, 0, 255, 255});
        Modify();
        ASSERT_TRUE(m_frame->ChangePhoto((m_photoDir + "b" + ext).c_str(), 1));
        EXPECT_EQ(std::string(thePhotoDocument.m_path), m_photoDir + "b" + ext);
        EXPECT_FALSE(thePhotoDocument.m_history.IsModified());
        CQLImage saved;
        CQLImageCodec codec;
        ASSERT_TRUE(codec.LoadFile(a.c_str(), &saved));
        EXPECT_GT(saved.GetPixel2(0, 0).r, 200) << "the change reached the file";
        if (std::string(ext) == ".jpg") {
            ExifInfo exif;
            exif.ReadFromFile(a.c_str());
            EXPECT_NE(std::string(exif.GetProcessingText()).find("Blur"), std::string::npos);
        }
        m_frame->DestroyWindow();
        m_frame = nullptr;
        std::filesystem::remove_all(m_photoDir);
    }
}

// A failed save stops with UI text 18 and keeps the photo, changes included.
TEST_F(PhotoCommands, FailedSaveKeepsThePhoto)
{
    OpenFolderOfThree();
    Modify();
    const std::string next = m_photoDir + "b.jpg";
    std::filesystem::rename(m_photoDir, m_folder.Path() + "moved");
    EXPECT_FALSE(m_frame->ChangePhoto(next.c_str(), 1));
    ASSERT_FALSE(m_messages.empty());
    EXPECT_EQ(m_messages.back(), theUITextTable.GetText(18));
    EXPECT_EQ(std::string(thePhotoDocument.m_path), m_photoDir + "a.jpg");
    EXPECT_TRUE(thePhotoDocument.IsLoaded());
    EXPECT_TRUE(thePhotoDocument.m_history.IsModified());
}

// A drop opens the first file, after the save question; an unknown type is
// refused with UI text 19.
TEST_F(PhotoCommands, DroppedFiles)
{
    OpenFolderOfThree();
    m_frame->DragAcceptFiles(TRUE);
    const std::string notes = m_folder.Path() + "notes.txt";
    std::FILE* f = std::fopen(notes.c_str(), "w");
    std::fputs("text", f);
    std::fclose(f);
    SendFileDrop(m_frame->GetWidget(), {QUrl::fromLocalFile(QString::fromStdString(notes))}, QPoint(50, 50));
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], theUITextTable.GetText(19));

    Modify();
    m_messages.clear();
    m_answers = {IDCANCEL};
    const QList<QUrl> both{QUrl::fromLocalFile(QString::fromStdString(m_photoDir + "c.jpg")),
                           QUrl::fromLocalFile(QString::fromStdString(m_photoDir + "b.jpg"))};
    SendFileDrop(m_frame->GetWidget(), both, QPoint(50, 50));
    EXPECT_EQ(m_messages.size(), 1u) << "the save question";
    EXPECT_EQ(std::string(thePhotoDocument.m_path), m_photoDir + "a.jpg");
    m_answers = {IDNO};
    SendFileDrop(m_frame->GetWidget(), both, QPoint(50, 50));
    EXPECT_EQ(std::string(thePhotoDocument.m_path), m_photoDir + "c.jpg");
}

// File > Open with either dialog asks the save question first; nothing in
// kit mode.
TEST_F(PhotoCommands, FileOpenWithEitherDialog)
{
    OpenFolderOfThree();
    for (int oldStyle : {0, 1}) {
        SCOPED_TRACE(oldStyle);
        theAppSettings.m_userOldStyle = oldStyle;
        Modify();
        m_chosenFile = m_photoDir + "b.jpg";
        m_messages.clear();
        m_dialogs.clear();
        m_answers = {IDCANCEL};
        Command(57601);
        EXPECT_EQ(m_messages.size(), 1u) << "the save question";
        EXPECT_TRUE(m_dialogs.empty());
        m_answers = {IDNO};
        Command(57601);
        EXPECT_EQ(m_dialogs.size(), 1u);
        EXPECT_EQ(std::string(thePhotoDocument.m_path), m_chosenFile);
        ASSERT_TRUE(m_frame->OpenImageFile((m_photoDir + "a.jpg").c_str(), 1));
    }
    theAppSettings.m_userOldStyle = 0;
    m_frame->m_kitMode = 1;
    m_dialogs.clear();
    Command(57601);
    EXPECT_TRUE(m_dialogs.empty());
    m_frame->m_kitMode = 0;
}

TEST_F(PhotoCommands, UndoIsOffRightAfterOpening)
{
    OpenFolderOfThree();
    EXPECT_FALSE(Enabled(57643));
    EXPECT_FALSE(Enabled(57644));
    EXPECT_TRUE(Enabled(32785));
}

}  // namespace
