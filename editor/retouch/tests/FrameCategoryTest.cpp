#include "FrameTestSupport.h"

#include "editor/retouch/FrameCategory.h"

#include <algorithm>
#include <cstring>

using namespace frametest;

namespace {

std::vector<std::string> g_messages;
void Collect(const char* text)
{
    g_messages.push_back(text);
}

class FrameLibrary : public ScratchFolder {
protected:
    void SetUp() override
    {
        ScratchFolder::SetUp();
        g_messages.clear();
        SetFrameMessageHandler(&Collect);
        m_program = m_dir.string() + "/";
        std::filesystem::create_directories(m_dir / "Frame");
    }
    void TearDown() override
    {
        SetFrameMessageHandler(nullptr);
        ScratchFolder::TearDown();
    }
    // A template file at Frame/<file> whose stored name is name.
    void Put(const std::string& file, const char* name)
    {
        FrameTemplate frame;
        SanitizeName(frame.m_info.name, name);
        ASSERT_EQ(frame.Write((m_program + "Frame/" + file).c_str()), 1);
    }
    static std::vector<std::string> Names(const FrameCategory& c)
    {
        std::vector<std::string> names;
        for (const FrameTemplate* t : c.m_templates)
            names.push_back(t->m_info.name);
        return names;
    }
    bool Exists(const std::string& file) const { return std::filesystem::exists(m_program + "Frame/" + file); }

    std::string m_program;
};

TEST_F(FrameLibrary, ScanListsFoldersAndSortedTemplates)
{
    std::filesystem::create_directories(m_dir / "Frame/Sub/Deeper");
    Put("apple.frm", "apple");
    Put("zed.FRM", "Zed");
    Put("Sub/inner.frm", "Inner");
    WriteBytes(m_program + "Frame/.frm", {});                    // only the extension
    WriteBytes(m_program + "Frame/bad.frm", Chunk(9, {}));       // unknown chunk
    WriteBytes(m_program + "Frame/notes.txt", {});
    std::filesystem::create_directory_symlink("..", m_dir / "Frame/Sub/loop");

    FrameCategory root(m_program);
    root.Scan();
    EXPECT_EQ(Names(root), (std::vector<std::string>{"Zed", "apple"}));
    ASSERT_EQ(root.m_children.size(), 1u) << "the root has no up entry";
    FrameCategory* sub = root.m_children[0];
    EXPECT_EQ(sub->m_relativePath, "/Sub");
    ASSERT_EQ(sub->m_children.size(), 2u) << "up entry and Deeper; the link is not followed";
    EXPECT_EQ(sub->m_children[0], &root);
    EXPECT_EQ(sub->m_children[1]->m_relativePath, "/Sub/Deeper");
    EXPECT_EQ(Names(*sub), std::vector<std::string>{"Inner"});

    EXPECT_EQ(root.FindChild("/sub"), sub);
    EXPECT_EQ(sub->FindChild("/.."), &root);
    EXPECT_EQ(root.HasChild("/Nothing"), 0);
    EXPECT_EQ(sub->HasChild("/.."), 1);
}

TEST_F(FrameLibrary, AnEditedTemplateIsSavedToItsOwnFile)
{
    Put("first.frm", "Shared");
    Put("second.frm", "Other");
    FrameCategory root(m_program);
    root.Scan();
    FrameTemplate* frame = root.m_templates[0]; // "Other"
    FrameTemplate edited;
    edited.CopyFrom(*frame);
    SanitizeName(edited.m_info.name, "Shared");
    edited.m_border.enabled = 1;
    ASSERT_EQ(ChangeTemplate(root, *frame, edited), 1);
    EXPECT_STREQ(frame->m_info.name, "Other") << "editing never renames";

    FrameTemplate first, second;
    ASSERT_EQ(first.Read((m_program + "Frame/first.frm").c_str()), 1);
    ASSERT_EQ(second.Read((m_program + "Frame/second.frm").c_str()), 1);
    EXPECT_EQ(first.m_border.enabled, 0) << "another template's file is untouched";
    EXPECT_EQ(second.m_border.enabled, 1);
    EXPECT_FALSE(Exists("Other.frm"));
}

TEST_F(FrameLibrary, AddDeleteAndMove)
{
    std::filesystem::create_directories(m_dir / "Frame/Sub");
    Put("Sub/Taken.frm", "Taken");
    FrameCategory root(m_program);
    root.Scan();

    auto* added = new FrameTemplate;
    SanitizeName(added->m_info.name, "Fresh");
    ASSERT_EQ(AddTemplate(root, added), 1);
    EXPECT_TRUE(Exists("Fresh.frm"));

    // A same-named file in the target stops the move; both files stay.
    auto* taken = new FrameTemplate;
    SanitizeName(taken->m_info.name, "Taken");
    ASSERT_EQ(AddTemplate(root, taken), 1);
    EXPECT_EQ(MoveTemplate(root, taken, *root.m_children[0]), 0);
    EXPECT_TRUE(Exists("Taken.frm"));
    EXPECT_TRUE(Exists("Sub/Taken.frm"));

    FrameTemplate* fresh = root.m_templates[0];
    ASSERT_STREQ(fresh->m_info.name, "Fresh");
    ASSERT_EQ(MoveTemplate(root, fresh, *root.m_children[0]), 1);
    EXPECT_TRUE(Exists("Sub/Fresh.frm"));
    EXPECT_EQ(Names(root), std::vector<std::string>{"Taken"});

    // A template whose file is gone stays listed.
    FrameTemplate* last = root.m_templates[0];
    std::filesystem::remove(last->m_path);
    EXPECT_EQ(DeleteTemplate(root, last), 0);
    EXPECT_EQ(root.m_templates.size(), 1u);
    Put("Taken.frm", "Taken");
    EXPECT_EQ(DeleteTemplate(root, last), 1);
    EXPECT_TRUE(root.m_templates.empty());
    EXPECT_FALSE(Exists("Taken.frm"));
}

TEST_F(FrameLibrary, SubFolders)
{
    FrameCategory root(m_program);
    root.Scan();
    ASSERT_EQ(NewSubFolder(root, "Weddings"), 1);
    ASSERT_EQ(root.m_children.size(), 1u);
    Put("Weddings/w.frm", "W");
    EXPECT_EQ(DeleteSubFolder(root, root.m_children[0]), 0);
    EXPECT_EQ(g_messages, std::vector<std::string>{"Can not delete folder, not empty."});
    EXPECT_TRUE(Exists("Weddings/w.frm"));

    std::filesystem::remove(m_program + "Frame/Weddings/w.frm");
    EXPECT_EQ(DeleteSubFolder(root, root.m_children[0]), 1);
    EXPECT_TRUE(root.m_children.empty());

    ASSERT_EQ(NewSubFolder(root, "A"), 1);
    root.m_children[0]->Scan();
    FrameCategory* a = root.m_children[0];
    EXPECT_EQ(DeleteSubFolder(*a, a->m_children[0]), 0) << "the up entry cannot be deleted";
}

}  // namespace
