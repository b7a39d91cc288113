// The album window: a click in the folder tree to the painted photo list of
// a folder whose 1,000 entries are cached (bar: 150 ms end to end), and the
// tree of a project of 2,000 folders (bar: 200 ms), and a click on a folder
// never visited, of 300 camera-sized JPEGs, back to the message loop while
// the thumbnails are still to come (bar: 100 ms). No peer program does
// this work; the bars are the measure.
#include "BenchSupport.h"

#include "album/shell/AlbumGlobals.h"
#include "album/shell/LayoutWnd.h"
#include "album/shell/PhotoEntry.h"
#include "editor/ui/AppSettings.h"
#include "imagecore/QLImage.h"
#include "platform/afx/Afx.h"
#include "platform/codec/QLImageCodec.h"

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// A folder of count photo names whose property file records every one as done.
std::string CachedFolder(const std::string& name, int count)
{
    const std::string folder = BenchFolder() + "/window/" + name + "/";
    if (fs::exists(folder + shelf::kPropertyFileName))
        return folder;
    fs::create_directories(folder);
    for (int i = 0; i < count; ++i)
        std::ofstream(folder + "IMG_" + std::to_string(10000 + i) + ".JPG") << 'x';
    shelf::FolderNode node;
    node.m_name = folder;
    shelf::FolderEntries entries;
    entries.m_pCurrent = &node;
    std::vector<shelf::AnalyseJob> jobs;
    entries.ScanFolder(jobs);
    for (const auto& entry : entries.m_entries) {
        entry->m_thumb.Create(100, 75);
        entry->m_info.nThumbState = shelf::kThumbDone;
    }
    entries.SavePropertyFile(&node);
    return folder;
}

// Fresh folders of 300 links to one 4000 x 3000 JPEG, none visited yet.
std::vector<std::string> UnvisitedFolders(int folders)
{
    const std::string root = BenchFolder() + "/window/fresh/";
    const std::string photo = root + "photo.jpg";
    fs::create_directories(root);
    if (!fs::exists(photo)) {
        CQLImage image;
        MakeSyntheticPhoto(image, 4000, 3000);
        CQLImageCodec codec;
        codec.SaveJpegFile(photo.c_str(), &image, 90, 72);
    }
    static int made = 0;
    std::vector<std::string> result;
    for (int f = 0; f < folders; ++f) {
        const std::string folder = BenchFolder() + "/window/visit" + std::to_string(made++) + "/";
        fs::create_directories(folder);
        for (int i = 0; i < 300; ++i)
            fs::create_hard_link(photo, folder + "IMG_" + std::to_string(10000 + i) + ".JPG");
        result.push_back(folder);
    }
    return result;
}

// 2,000 folders: 40 of 50 subfolders each.
std::string ProjectOf2000()
{
    const std::string root = BenchFolder() + "/window/project/";
    if (fs::exists(root + "f39/g49"))
        return root;
    for (int i = 0; i < 40; ++i)
        for (int j = 0; j < 50; ++j)
            fs::create_directories(root + "f" + std::to_string(i) + "/g" + std::to_string(j));
    return root;
}

struct Window {
    std::unique_ptr<shelf::AlbumGlobals> globals;
    CWnd main;
    shelf::CLayoutWnd layout;
    bool ok = false;
};

Window& TheWindow()
{
    static int argc = 1;
    static char name[] = "bench_shelfwindow";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QApplication(argc, argv);
    }();
    (void)app;
    static CWinApp winApp("QuilloShelf");
    static Window w;
    if (w.ok)
        return w;
    w.globals = std::make_unique<shelf::AlbumGlobals>();
    shelf::theAlbum = w.globals.get();
    if (w.globals->InitPaths(QUILLO_PROGRAM_DIR "/") != 0)
        return w;
    g_skinButtonImage = &w.globals->m_skin;
    static const std::string profile = BenchFolder() + "/window/Quillo.ini";
    fs::create_directories(BenchFolder() + "/window");
    winApp.m_pszProfileName = profile.c_str();
    w.globals->m_folderSet = BenchFolder() + "/window/FolderSet/";
    fs::create_directories(w.globals->m_folderSet);
    w.globals->m_scanner.m_programFolder = BenchFolder() + "/window/";
    shelf::CFolderPane::s_driveSource = [] {
        return std::vector<qlwin::FixedDrive>{{BenchFolder() + "/window/", "Bench"}};
    };
    w.main.CreateEx(0, AfxRegisterWndClass(0), "bench", WS_POPUP | WS_VISIBLE, 0, 0, 1600, 1000, nullptr, nullptr);
    w.ok = w.layout.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 1600, 1000), &w.main,
                           shelf::CLayoutWnd::kId) != FALSE;
    return w;
}

// Selecting one cached folder, then the other: opening, listing, filling the
// list and painting it.
void BM_TreeClickToPaintedList(benchmark::State& state)
{
    const std::string a = CachedFolder("cachedA", 1000), b = CachedFolder("cachedB", 1000);
    Window& w = TheWindow();
    if (!w.ok) {
        state.SkipWithError("the window could not be made");
        return;
    }
    shelf::CFolderPane& pane = w.layout.m_folderPane;
    pane.LoadProjects();
    pane.BuildTree();
    bool toA = true;
    for (auto _ : state) {
        pane.SelectFolder(toA ? a : b);
        w.layout.m_commandBar.m_list.UpdateWindow();
        QApplication::processEvents();
        toA = !toA;
    }
    if (w.layout.m_commandBar.m_list.GetItemCount() != 1000)
        state.SkipWithError("the list does not hold the folder");
}
BENCHMARK(BM_TreeClickToPaintedList)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BuildTree2000Folders(benchmark::State& state)
{
    const std::string root = ProjectOf2000();
    Window& w = TheWindow();
    if (!w.ok) {
        state.SkipWithError("the window could not be made");
        return;
    }
    auto project = std::make_unique<shelf::Project>();
    project->m_root.m_name = root;
    project->m_root.m_label = "Big";
    project->m_root.ScanSubfolders(root, 2);
    w.layout.m_folderPane.m_pCommandBar = nullptr; // the tree alone
    shelf::theAlbum->m_scanner.CloseFolder();
    w.layout.m_commandBar.ReloadListing(0);
    shelf::ProjectList saved = std::move(shelf::theAlbum->m_projects);
    shelf::theAlbum->m_projects.clear();
    shelf::theAlbum->m_projects.push_back(std::move(project));
    for (auto _ : state)
        w.layout.m_folderPane.BuildTree();
    state.counters["items"] = static_cast<double>(w.layout.m_folderPane.m_tree.GetCount());
    shelf::theAlbum->m_scanner.CloseFolder();
    shelf::theAlbum->m_projects = std::move(saved);
    w.layout.m_folderPane.m_pCommandBar = &w.layout.m_commandBar;
}
// The click's own time: opening a folder never seen, listing it and
// painting the list; its thumbnails stream in afterwards.
void BM_FirstVisitClickReturns(benchmark::State& state)
{
    Window& w = TheWindow();
    if (!w.ok) {
        state.SkipWithError("the window could not be made");
        return;
    }
    const std::vector<std::string> folders = UnvisitedFolders(static_cast<int>(state.max_iterations));
    shelf::CFolderPane& pane = w.layout.m_folderPane;
    pane.LoadProjects();
    pane.BuildTree();
    std::size_t next = 0;
    for (auto _ : state) {
        pane.SelectFolder(folders[next++]);
        w.layout.m_commandBar.m_list.UpdateWindow();
        QApplication::processEvents();
    }
    state.counters["listed"] = w.layout.m_commandBar.m_list.GetItemCount();
    if (w.layout.m_commandBar.m_list.GetItemCount() != 300)
        state.SkipWithError("the list does not hold the folder");
    shelf::theAlbum->m_scanner.CloseFolder();
}
BENCHMARK(BM_FirstVisitClickReturns)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(8);

BENCHMARK(BM_BuildTree2000Folders)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
