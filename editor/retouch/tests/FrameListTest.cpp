// What the frame dialogs list for a category: order, kinds and texts, the
// template list's buttons and the "Move to..." targets.
#include "editor/retouch/FrameList.h"

#include "FrameDialogTestSupport.h"
#include "FrameTestSupport.h"

#include <gtest/gtest.h>

namespace {

class FrameListTest : public frametest::ScratchFolder {
protected:
    void SetUp() override
    {
        ScratchFolder::SetUp();
        program = m_dir.string() + "/";
        framedialogtest::MakeLibrary(program);
        root = std::make_unique<FrameCategory>(program);
        root->Scan();
        ASSERT_EQ(root->m_children.size(), 1u);
        sub = root->m_children[0];
    }

    std::string program;
    std::unique_ptr<FrameCategory> root;
    FrameCategory* sub = nullptr;
};

struct Listed {
    FrameItemKind kind;
    const char* grid;
    const char* list;
};

void ExpectListing(const FrameCategory& category, const std::vector<Listed>& want)
{
    const std::vector<FrameListItem> items = ListCategory(category);
    ASSERT_EQ(items.size(), want.size());
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].kind, want[i].kind) << i;
        EXPECT_EQ(GridText(items[i]), want[i].grid) << i;
        EXPECT_EQ(ListText(items[i]), want[i].list) << i;
    }
}

} // namespace

TEST_F(FrameListTest, FoldersComeFirstAndTemplatesKeepTheirKindWhateverTheirName)
{
    ExpectListing(*root, {{FrameItemKind::Folder, "Sub", "[Sub]"},
                          {FrameItemKind::Template, ".x", ".x"},
                          {FrameItemKind::Template, "A.Smith", "A.Smith"},
                          {FrameItemKind::Template, "Sub", "Sub"}});
    ExpectListing(*sub, {{FrameItemKind::Up, "..", "[..]"}, {FrameItemKind::Template, "Inner", "Inner"}});
    const std::vector<FrameListItem> items = ListCategory(*root);
    EXPECT_EQ(items[0].category, sub);
    EXPECT_EQ(items[3].frame, root->m_templates[2]);
    EXPECT_EQ(ListCategory(*sub)[0].category, root.get()) << "the up entry leads to the parent";
}

TEST_F(FrameListTest, ButtonsFollowTheSelectedKind)
{
    const std::vector<FrameListItem> atRoot = ListCategory(*root);
    const std::vector<FrameListItem> inSub = ListCategory(*sub);
    FrameCategory empty(program + "none/");
    const FrameListItem loose{FrameItemKind::Template, nullptr, root->m_templates[0]};
    struct Case {
        const char* what;
        const FrameListItem* selected;
        const FrameCategory* category;
        TemplateListButtons want; // edit, rename, delete, move, delete folder
    } cases[] = {
        {"nothing", nullptr, root.get(), {false, false, false, false, false}},
        {"a folder", &atRoot[0], root.get(), {false, false, false, false, true}},
        {"a template named like the folder", &atRoot[3], root.get(), {true, true, true, true, false}},
        {"the up entry", &inSub[0], sub, {false, false, false, false, false}},
        {"a template below", &inSub[1], sub, {true, true, true, true, false}},
        {"a template where there is no folder", &loose, &empty, {true, true, true, false, false}},
    };
    for (const Case& c : cases) {
        const TemplateListButtons on = ButtonsFor(c.selected, *c.category);
        EXPECT_EQ(on.edit, c.want.edit) << c.what;
        EXPECT_EQ(on.rename, c.want.rename) << c.what;
        EXPECT_EQ(on.deleteTemplate, c.want.deleteTemplate) << c.what;
        EXPECT_EQ(on.moveTo, c.want.moveTo) << c.what;
        EXPECT_EQ(on.deleteFolder, c.want.deleteFolder) << c.what;
    }
}

TEST_F(FrameListTest, MoveTargetsAreTheChildEntriesInOrder)
{
    EXPECT_EQ(MoveTargets(*root), (std::vector<std::string>{"Sub"}));
    EXPECT_EQ(MoveTargets(*sub), (std::vector<std::string>{".."}));
    FrameCategory empty(program + "none/");
    EXPECT_TRUE(MoveTargets(empty).empty());
}
