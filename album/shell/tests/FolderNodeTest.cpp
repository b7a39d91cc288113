#include "album/shell/FolderNode.h"

#include "album/shell/PhotoEntry.h"
#include "ShelfTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace shelf;
using shelftest::MakeFolder;
using shelftest::ReadBytes;
using shelftest::ScratchFolder;
using shelftest::WriteBytes;
namespace fs = std::filesystem;

namespace {

std::string labels(const FolderNode& node)
{
    std::string all;
    for (const auto& child : node.m_children) {
        all += child->m_label;
        if (!child->m_children.empty())
            all += "(" + labels(*child) + ")";
        all += " ";
    }
    return all;
}

// root/ with b/, A/ (with x/ and y/, x/ holding deep/), c/, and a file.
void makeTree(const std::string& root)
{
    MakeFolder(root + "b");
    MakeFolder(root + "A/y");
    MakeFolder(root + "A/x/deep");
    MakeFolder(root + "c");
    WriteBytes(root + "photo.jpg", "x");
}

} // namespace

TEST(FolderNode, ScanSubfoldersGoesDepthLevelsAndSkipsFiles)
{
    ScratchFolder folder;
    makeTree(folder.Path());
    FolderNode one;
    ASSERT_EQ(one.ScanSubfolders(folder.Path(), 1), 1);
    EXPECT_EQ(one.m_name, folder.Path());
    EXPECT_EQ(labels(one), "A b c ");

    FolderNode two;
    ASSERT_EQ(two.ScanSubfolders(folder.Path(), 2), 1);
    EXPECT_EQ(labels(two), "A(x y ) b c ");
    FolderNode* x = two.FindChild("a")->FindChild("X");
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->GetPath(), folder.Path() + "A/x/");
    EXPECT_EQ(two.FindChild("none"), nullptr);

    FolderNode missing;
    EXPECT_EQ(missing.ScanSubfolders(folder.Path() + "none/", 2), 1);
    EXPECT_TRUE(missing.m_children.empty());
}

TEST(FolderNode, RefreshChildrenRescansTwoLevelsSortedByLabel)
{
    ScratchFolder folder;
    makeTree(folder.Path());
    FolderNode root;
    root.ScanSubfolders(folder.Path(), 1);
    MakeFolder(folder.Path() + "B2");
    fs::remove(folder.Path() + "c");
    ASSERT_EQ(root.RefreshChildren(), 1);
    EXPECT_EQ(labels(root), "A(x y ) b B2 ");
    for (const auto& child : root.m_children)
        EXPECT_EQ(child->m_pParent, &root);
}

TEST(FolderNode, CreateSubfolderAppendsAChild)
{
    ScratchFolder folder;
    FolderNode root;
    root.ScanSubfolders(folder.Path(), 1);
    FolderNode* made = root.CreateSubfolder("New Folder");
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(fs::is_directory(folder.Path() + "New Folder"));
    EXPECT_EQ(made->m_label, "New Folder");
    EXPECT_EQ(root.CreateSubfolder("New Folder"), nullptr);
    EXPECT_EQ(root.CreateSubfolder("a/b"), nullptr);
    EXPECT_EQ(root.m_children.size(), 1u);
}

TEST(FolderNode, DeleteFolderRemovesTheTreeButNotWhatLinksPointAt)
{
    ScratchFolder folder;
    const std::string outside = folder.Path() + "outside/";
    MakeFolder(outside);
    WriteBytes(outside + "keep.jpg", "k");
    const std::string doomed = folder.Path() + "doomed/";
    makeTree(doomed);
    WriteBytes(doomed + "A/x/a.jpg", "a");
    WriteBytes(doomed + std::string(kPropertyFileName), "p");
    fs::create_directory_symlink(outside, doomed + "A/linked");
    fs::create_symlink(outside + "keep.jpg", doomed + "file-link.jpg");

    FolderNode root;
    root.ScanSubfolders(folder.Path(), 1);
    FolderNode* node = root.FindChild("doomed");
    ASSERT_NE(node, nullptr);
    node->RefreshChildren();
    ASSERT_EQ(node->DeleteFolder(), 1);
    EXPECT_FALSE(fs::exists(doomed));
    EXPECT_EQ(ReadBytes(outside + "keep.jpg"), "k");
    EXPECT_TRUE(node->m_children.empty());

    // A folder that is gone cannot be deleted.
    EXPECT_EQ(node->DeleteFolder(), 0);
}

TEST(FolderNode, IsAncestorOfWantsAStrictCaseSensitivePrefix)
{
    FolderNode root;
    root.m_name = "/photos/";
    auto child = std::make_unique<FolderNode>(&root, "Trip");
    FolderNode* trip = child.get();
    root.m_children.push_back(std::move(child));
    const struct {
        const char* path;
        int expected;
    } cases[] = {
        {"/photos/Trip/a.jpg", 1}, {"/photos/Trip//", 1}, {"/photos/Trip/", 0},
        {"/photos/trip/a.jpg", 0}, {"/photos/Trips/a.jpg", 0}, {"/other/a.jpg", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(trip->IsAncestorOf(c.path), c.expected) << c.path;
    EXPECT_EQ(root.IsAncestorOf("/photos/Trip/"), 1);
}

TEST(FolderNode, ForEachStopsAtTheFirstZeroAndDetachUnlinks)
{
    ScratchFolder folder;
    makeTree(folder.Path());
    FolderNode root;
    root.ScanSubfolders(folder.Path(), 2);
    std::vector<std::string> seen;
    auto visit = [](FolderNode* node, void* arg) {
        auto* list = static_cast<std::vector<std::string>*>(arg);
        list->push_back(node->m_label);
        return node->m_label == "y" ? 0 : 1;
    };
    EXPECT_EQ(root.ForEach(&seen, visit), 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"", "A", "x", "y"}));

    root.ClearTreeItems();
    std::unique_ptr<FolderNode> a = root.FindChild("A")->Detach();
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(a->m_children.empty());
    EXPECT_EQ(labels(root), "b c ");
}

TEST(Project, SaveAndLoadKeepRootAndA32CharacterName)
{
    ScratchFolder folder;
    makeTree(folder.Path());
    const std::string name32 = "abcdefghijklmnopqrstuvwxyz012345";
    Project project;
    project.Create(folder.Path(), name32);
    EXPECT_EQ(project.m_bLoaded, 0);
    EXPECT_EQ(labels(project.m_root), "A b c ");
    const std::string file = folder.Path() + "Project0.set";
    ASSERT_EQ(project.Save(file), 1);
    const std::string bytes = ReadBytes(file);
    ASSERT_EQ(bytes.size(), 640u);
    EXPECT_EQ(bytes.substr(0, folder.Path().size()), folder.Path());
    EXPECT_EQ(bytes[folder.Path().size()], '\0');

    Project loaded;
    ASSERT_EQ(loaded.Load(file), 1);
    EXPECT_EQ(loaded.m_bLoaded, 1);
    EXPECT_EQ(loaded.m_root.m_name, folder.Path());
    EXPECT_EQ(loaded.m_root.m_label, name32);
    EXPECT_EQ(labels(loaded.m_root), "A b c ");
}

TEST(Project, BadRootsAndShortFilesAreRefused)
{
    ScratchFolder folder;
    Project project;
    EXPECT_EQ(project.Save(folder.Path() + "empty.set"), 0);
    project.Create("/" + std::string(511, 'p') + "/", "long");
    EXPECT_EQ(project.Save(folder.Path() + "long.set"), 0);
    EXPECT_FALSE(fs::exists(folder.Path() + "long.set"));

    WriteBytes(folder.Path() + "short.set", std::string(543, 'x'));
    WriteBytes(folder.Path() + "noroot.set", std::string(640, '\0'));
    for (const char* file : {"short.set", "noroot.set", "missing.set"}) {
        Project other;
        other.m_root.m_name = "/kept/";
        EXPECT_EQ(other.Load(folder.Path() + file), 0) << file;
        EXPECT_EQ(other.m_root.m_name, "/kept/") << file;
        EXPECT_EQ(other.m_bLoaded, 0) << file;
    }
}

TEST(Project, ListReadsOnlyNumberFilesAndSavesTheLoadedOnes)
{
    ScratchFolder folder;
    const std::string set = folder.Path() + "FolderSet/";
    MakeFolder(set);
    for (int n = 0; n < 3; ++n) {
        const std::string root = folder.Path() + "album" + std::to_string(n) + "/";
        MakeFolder(root);
        Project p;
        p.Create(root, "Album " + std::to_string(n));
        ASSERT_EQ(p.Save(set + "Project" + std::to_string(n) + ".set"), 1);
    }
    fs::remove(set + "Project0.set");
    ProjectList projects;
    EXPECT_EQ(LoadProjectList(set, 2, projects), 1); // 0 missing, 2 beyond Number
    ASSERT_EQ(projects.size(), 1u);
    EXPECT_EQ(projects[0]->m_root.m_label, "Album 1");

    auto drive = std::make_unique<Project>();
    drive->Create(folder.Path(), "drive"); // not the user's: never saved
    projects.push_back(std::move(drive));
    EXPECT_EQ(SaveProjectList(set, projects), 1);
    Project first;
    ASSERT_EQ(first.Load(set + "Project0.set"), 1);
    EXPECT_EQ(first.m_root.m_label, "Album 1");
    // The old files 1 and 2 would come back when Number grew again.
    EXPECT_FALSE(fs::exists(set + "Project1.set"));
    EXPECT_FALSE(fs::exists(set + "Project2.set"));
}
