// Frame templates on a 12-megapixel photo: a drawn template with every
// feature on, and an image-based one with a 2000 x 1500 picture, each against
// ImageMagick doing the same kind of work on the same photo; every starter
// template on a 200-pixel copy (the preview grid's work), and the grid's
// whole pass from a 24-megapixel photo; a scan of 500 templates in 20 folders.
#include "bench/BenchSupport.h"

#include "editor/retouch/FrameCategory.h"
#include "editor/retouch/FrameLoadThread.h"
#include "editor/retouch/FrameRenderer.h"
#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr int kWidth = 4000, kHeight = 3000;

void EnsureGui()
{
    static int argc = 1;
    static char name[] = "bench_frame";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
}

const CQLImage& Photo()
{
    static CQLImage photo;
    if (photo.GetAreaByteSize() == 0)
        MakeSyntheticPhoto(photo, kWidth, kHeight);
    return photo;
}

const std::string& PhotoPpm()
{
    static const std::string path = WritePpm(Photo(), "frame-photo.ppm");
    return path;
}

const std::string& LogoFile()
{
    static const std::string path = [] {
        CQLImage logo;
        MakeSyntheticPhoto(logo, 400, 200);
        const std::string file = BenchFolder() + "/logo.bmp";
        CQLImageCodec().SaveFile(file.c_str(), &logo);
        return file;
    }();
    return path;
}

FrameTemplate DrawnWithEverything()
{
    FrameTemplate t;
    t.m_canvas.left = t.m_canvas.right = t.m_canvas.top = {0, 6};
    t.m_canvas.bottom = {0, 12};
    t.m_canvas.colour = {238, 238, 238, 255};
    t.m_border.enabled = 1;
    t.m_border.type = 1;
    t.m_border.left = t.m_border.right = t.m_border.top = t.m_border.bottom = {0, 1};
    t.m_border.shadowX = t.m_border.shadowY = {0, 1};
    t.m_border.shadowBlur = {0, 1};
    FrameRectangle r;
    r.left = r.right = r.top = r.bottom = {0, 3};
    r.lineWidth = 3;
    t.m_rectangles = {r, r};
    t.m_rectangles[1].left = t.m_rectangles[1].right = {0, 4};
    t.m_signature.enabled = 1;
    std::snprintf(t.m_signature.text, sizeof t.m_signature.text, "Quillo frame benchmark 2026/12/11");
    t.m_signature.x = {0, 50};
    t.m_signature.y = {0, 104};
    t.m_signature.align = 2;
    t.m_signature.colour = {40, 40, 40, 255};
    t.m_logo.enabled = 1;
    t.m_logo.mode = 1;
    std::snprintf(t.m_logo.path, sizeof t.m_logo.path, "%s", LogoFile().c_str());
    t.m_logo.x = {0, 85};
    t.m_logo.width = {0, 8};
    return t;
}

const FrameTemplate& ImageBasedTemplate()
{
    static FrameTemplate t = [] {
        FrameTemplate made;
        CQLImage landscape, portrait;
        for (CQLImage* p : {&landscape, &portrait}) {
            const int w = p == &landscape ? 2000 : 1500, h = p == &landscape ? 1500 : 2000;
            p->Create(w, h);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const bool window = x >= w / 10 && x < w - w / 10 && y >= h / 10 && y < h - h / 10;
                    p->PutPixel(x, y, window ? CPixel{255, 0, 0, 255}
                                             : CPixel{static_cast<BYTE>(180 + x % 40), 200, 215, 255});
                }
        }
        made.m_freeShape.keyColour = {255, 0, 0, 255};
        made.WriteImageBased((BenchFolder() + "/shape.frm").c_str(), landscape, portrait);
        return made;
    }();
    return t;
}

void Render(benchmark::State& state, const FrameTemplate& t, const CQLImage& photo)
{
    EnsureGui();
    CQLImage source, target;
    source.DuplicateFrom(&photo);
    for (auto _ : state) {
        FrameRenderer renderer;
        renderer.SetImages(&source, &target);
        if (renderer.Apply(&t) != 0) {
            state.SkipWithError("the frame failed");
            return;
        }
    }
}

void DrawnOurs(benchmark::State& state)
{
    Render(state, DrawnWithEverything(), Photo());
}
BENCHMARK(DrawnOurs)->Name("FrameDrawn/ours")->Unit(benchmark::kMillisecond)->UseRealTime();

// A border, a shadow merged under it and an enlarged canvas.
void DrawnPeer(benchmark::State& state)
{
    RunPeer(state, "convert " + PhotoPpm() +
                       " -bordercolor '#101010' -border 40 \\( +clone -background black -shadow 43x40+40+40 \\) +swap"
                       " -background '#eeeeee' -layers merge +repage -gravity south -splice 0x360 null:");
}
BENCHMARK(DrawnPeer)->Name("FrameDrawn/peer")->Unit(benchmark::kMillisecond)->UseRealTime();

void ImageBasedOurs(benchmark::State& state)
{
    Render(state, ImageBasedTemplate(), Photo());
}
BENCHMARK(ImageBasedOurs)->Name("FrameImage/ours")->Unit(benchmark::kMillisecond)->UseRealTime();

// The frame picture scaled round the photo and the photo composed into it.
void ImageBasedPeer(benchmark::State& state)
{
    static const std::string frame = [] {
        CQLImage picture;
        ImageBasedTemplate().ReadPicture(false, &picture);
        return WritePpm(picture, "frame-picture.ppm");
    }();
    RunPeer(state, "convert " + frame + " -resize 5000x3750! " + PhotoPpm() + " -geometry +500+375 -composite null:");
}
BENCHMARK(ImageBasedPeer)->Name("FrameImage/peer")->Unit(benchmark::kMillisecond)->UseRealTime();

// The starter library of the build's program folder.
const FrameTemplate* StarterTemplate(std::size_t index)
{
    static FrameCategory* root = [] {
        const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe");
        auto* made = new FrameCategory((exe.parent_path().parent_path() / "bin").string() + "/");
        made->Scan();
        return made;
    }();
    std::vector<FrameTemplate*> all;
    for (FrameCategory* c : root->m_children)
        all.insert(all.end(), c->m_templates.begin(), c->m_templates.end());
    return index < all.size() ? all[index] : nullptr;
}

// Every template of the starter library on a 200-pixel copy.
void StarterPreviews(benchmark::State& state)
{
    EnsureGui();
    const FrameTemplate* t = StarterTemplate(static_cast<std::size_t>(state.range(0)));
    if (!t) {
        state.SkipWithError("no such starter template");
        return;
    }
    CQLImage preview;
    CQLImageCodec().Resample(&Photo(), &preview, 200, 150, 1);
    state.SetLabel(t->m_info.name);
    Render(state, *t, preview);
}
BENCHMARK(StarterPreviews)->DenseRange(0, 8)->Unit(benchmark::kMillisecond)->UseRealTime();

// What an image-based preview cannot avoid: inflating its frame picture.
void StarterInflate(benchmark::State& state)
{
    const FrameTemplate* t = StarterTemplate(static_cast<std::size_t>(state.range(0)));
    if (!t || !t->m_imageBased) {
        state.SkipWithError("not an image-based starter template");
        return;
    }
    state.SetLabel(t->m_info.name);
    CQLImage picture;
    for (auto _ : state)
        t->ReadPicture(false, &picture);
}
BENCHMARK(StarterInflate)->DenseRange(6, 8)->Unit(benchmark::kMillisecond)->UseRealTime();

// The Add Frame grid's pass: every starter template framed on the 200-pixel
// copy of a 24-megapixel photo (made once, as the dialog does) and fitted to
// 100 x 100, without the loader's pauses between previews.
class GridPass : public CFrameLoadThread {
public:
    using CFrameLoadThread::MakePreview;
};

const CQLImage& PhotoCopy24()
{
    static CQLImage copy = [] {
        CQLImage photo, made;
        MakeSyntheticPhoto(photo, 6000, 4000);
        CQLImageCodec().Resample(&photo, &made, 200, 133, 1);
        return made;
    }();
    return copy;
}

void StarterGridOurs(benchmark::State& state)
{
    EnsureGui();
    std::vector<FrameListEntry> entries;
    for (std::size_t i = 0; const FrameTemplate* t = StarterTemplate(i); ++i) {
        FrameListEntry& e = entries.emplace_back();
        e.item = {FrameItemKind::Template, nullptr, const_cast<FrameTemplate*>(t)};
    }
    const FrameLoadTarget target{&entries, &PhotoCopy24(), nullptr, nullptr};
    GridPass pass;
    for (auto _ : state)
        for (FrameListEntry& e : entries) {
            CQLImage preview;
            if (!pass.MakePreview(target, e, &preview)) {
                state.SkipWithError("a preview failed");
                return;
            }
        }
    state.SetLabel(std::to_string(entries.size()) + " previews");
}
BENCHMARK(StarterGridOurs)->Name("FrameGrid/ours")->Unit(benchmark::kMillisecond)->UseRealTime();

// The same number of framed 100-pixel thumbnails of the copy by ImageMagick.
void StarterGridPeer(benchmark::State& state)
{
    static const std::string copy = WritePpm(PhotoCopy24(), "frame-copy.ppm");
    std::string command = "convert";
    for (int i = 0; i < 9; ++i)
        command += " \\( " + copy + " -bordercolor '#202020' -border 8 -resize 100x100 \\)";
    RunPeer(state, command + " -append null:");
}
BENCHMARK(StarterGridPeer)->Name("FrameGrid/peer")->Unit(benchmark::kMillisecond)->UseRealTime();

// 500 drawn templates in 20 folders, scanned as a dialog opens.
void ScanLibrary(benchmark::State& state)
{
    const std::string program = BenchFolder() + "/scan/";
    static const bool made = [&] {
        for (int f = 0; f < 20; ++f) {
            const std::string folder = program + "Frame/Folder " + std::to_string(f) + "/";
            std::filesystem::create_directories(folder);
            for (int i = 0; i < 25; ++i) {
                FrameTemplate t;
                SanitizeName(t.m_info.name, ("Template " + std::to_string(i)).c_str());
                t.Write((folder + t.m_info.name + ".frm").c_str());
            }
        }
        return true;
    }();
    (void)made;
    for (auto _ : state) {
        FrameCategory root(program);
        root.Scan();
        benchmark::DoNotOptimize(root.m_children.size());
    }
}
BENCHMARK(ScanLibrary)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
