#include "album/tools/BatchRunner.h"

#include "algorithms/SeparableResizeAlgorithm.h"
#include "editor/retouch/FrameCategory.h"
#include "imagecore/ParallelFor.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/FileOps.h"
#include "platform/win/Timing.h"

#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <future>
#include <set>
#include <unistd.h>

namespace shelf {
namespace {

// The run whose chain executes on this thread: effects report through a
// plain function.
thread_local BatchRunner* t_runner = nullptr;

int RunnerCallback(int code, int value)
{
    if (code == 1 && t_runner)
        t_runner->ReportPhotoProgress(value);
    return 0;
}

std::string FileName(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool Exists(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::path(path), ec);
}

// "_k" before the extension of path.
std::string Numbered(const std::string& path, int k)
{
    const auto slash = path.rfind('/');
    const auto dot = path.rfind('.');
    const std::string suffix = "_" + std::to_string(k);
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path + suffix;
    return path.substr(0, dot) + suffix + path.substr(dot);
}

} // namespace

struct BatchRunner::Loaded {
    CQLImage image;
    bool ok = false;
    DWORD type = QL_FILE_UNKNOWN;
    std::unique_ptr<ExifInfo> exif; // null when none could be read
};

struct BatchRunner::Written {
    bool saved = true;
    bool exifWritten = true;
};

std::pair<int, int> ResizeTarget(const BatchAction& a, int w, int h)
{
    long long tw = w, th = h;
    switch (a.id) {
    case kResizeByPixels: {
        const double s = std::sqrt(static_cast<double>(a.Int("Pixel number")) / (static_cast<double>(w) * h));
        tw = static_cast<long long>(s * w);
        th = static_cast<long long>(s * h);
        break;
    }
    case kResizeByWidth:
        tw = a.Int("Width");
        th = static_cast<long long>(h) * tw / w;
        break;
    case kResizeByLongSide: {
        const long long side = a.Int("Long side");
        if (h < w) {
            tw = side;
            th = static_cast<long long>(h) * side / w;
        } else {
            tw = static_cast<long long>(w) * side / h;
            th = side;
        }
        break;
    }
    case kResizeBySize:
        tw = a.Int("Width");
        th = a.Int("Height");
        break;
    default:
        break;
    }
    // A thin photo must not shrink to nothing along its short side.
    return {static_cast<int>(std::max<long long>(1, tw)), static_cast<int>(std::max<long long>(1, th))};
}

std::pair<int, int> ActionRange(int position, int n)
{
    return {(100 * position + 100) / (n + 1), (100 * position + 200) / (n + 1)};
}

std::string FormatDateText(int year, int month, int day, int style, int order)
{
    if (year == 0)
        return {};
    const char sep = style == 0 ? '-' : style == 1 ? '/' : ' ';
    char text[64];
    switch (order) {
    case 0: std::snprintf(text, sizeof text, "%d%c%02d%c%02d", year, sep, month, sep, day); break;
    case 1: std::snprintf(text, sizeof text, "%02d%c%02d%c%d", month, sep, day, sep, year); break;
    case 2: std::snprintf(text, sizeof text, "%02d%c%02d%c%d", day, sep, month, sep, year); break;
    case 3: std::snprintf(text, sizeof text, "%d%c%02d", year, sep, month); break;
    default: std::snprintf(text, sizeof text, "%02d%c%d", month, sep, year); break;
    }
    return text;
}

void CompositeDateText(CQLImage& target, const CQLImage& text, int horizontal, int vertical, int colour)
{
    UINT tw = 0, th = 0, n = 0, m = 0;
    target.GetSize(&tw, &th);
    text.GetSize(&n, &m);
    const int W = static_cast<int>(tw), H = static_cast<int>(th);
    const int left = horizontal == 0 ? W / 50 : horizontal == 1 ? (W - static_cast<int>(n)) / 2 : W - W / 50 - static_cast<int>(n);
    const int top = vertical == 0 ? H / 50 : vertical == 1 ? (H - static_cast<int>(m)) / 2 : H - H / 50 - static_cast<int>(m);
    const int cols = static_cast<int>(n), rows = static_cast<int>(m);
    auto red = [&](int x, int y) { return static_cast<int>(text.GetPixel2(x, y).r); };
    imagecore::ParallelFor(0, rows, static_cast<std::size_t>(cols), [&](int from, int to) {
        for (int y = from; y < to; ++y) {
            const int ty = top + y;
            if (ty <= 0 || ty >= H)
                continue;
            for (int x = 0; x < cols; ++x) {
                const int tx = left + x;
                if (tx <= 0 || tx >= W)
                    continue;
                const int d = red(x, y);
                const bool inner = x > 0 && y > 0 && x < cols - 1 && y < rows - 1;
                const bool outline = inner && d >= 240 &&
                                     (red(x - 1, y) < 240 || red(x + 1, y) < 240 || red(x, y - 1) < 240 ||
                                      red(x, y + 1) < 240);
                CPixel p = target.GetPixel2(tx, ty);
                if (colour == 2) {
                    if (d == 255)
                        continue;
                    p.b = static_cast<BYTE>(p.b * d >> 8);
                    p.g = static_cast<BYTE>(p.g * d >> 8);
                    p.r = static_cast<BYTE>((p.r * d + 65025 - 255 * d) >> 8);
                } else if (outline) {
                    const BYTE v = colour == 0 ? 255 : 0;
                    p = CPixel{v, v, v, 255};
                } else if (d != 255) {
                    auto mix = [&](BYTE c) {
                        return static_cast<BYTE>(colour == 0 ? (c * d) >> 8 : (c * d + 65025 - 255 * d) >> 8);
                    };
                    p.b = mix(p.b);
                    p.g = mix(p.g);
                    p.r = mix(p.r);
                } else {
                    continue;
                }
                target.PutPixel(tx, ty, p);
            }
        }
    });
}

int GreyFunction(void*, FilterHost* host)
{
    CQLImage* source = host->GetSource();
    CQLImage* target = host->GetTarget();
    if (!source || !target || !target->DuplicateFrom(source))
        return E_FAIL;
    UINT w = 0, h = 0;
    target->GetSize(&w, &h);
    imagecore::ParallelFor(0, static_cast<int>(h), w, [&](int from, int to) {
        for (int y = from; y < to; ++y) {
            BYTE* p = target->GetBuffer(0, y);
            for (UINT x = 0; x < w; ++x, p += 4) {
                const BYTE grey = static_cast<BYTE>((6 * p[1] + 3 * p[2] + p[0]) / 10);
                p[0] = p[1] = p[2] = grey;
            }
        }
    });
    host->Progress(100);
    return 0;
}

BatchRunner::BatchRunner(ActionTable& table, BatchResources& resources) : m_table(table), m_resources(resources)
{
    // The one-step theme of "Blur & Diffuse": its glow bytes are set per run.
    std::snprintf(m_blurTheme.name, sizeof m_blurTheme.name, "blur");
    m_blurTheme.stepCount = 1;
    m_blurTheme.steps.resize(1);
    m_blurTheme.steps[0].type = ColorThemeStep::Glow;
}

BatchRunner::~BatchRunner() = default;

const BatchAction& BatchRunner::Save() const
{
    static const BatchAction none;
    const BatchAction* save = FindAction(m_table, kSave);
    return save ? *save : none;
}

bool BatchRunner::RenameOnly() const
{
    return Save().Index("Rename only") == 1;
}

bool BatchRunner::HasAction(int id) const
{
    for (int i : m_chain)
        if (i >= 0 && i < static_cast<int>(m_table.size()) && m_table[i].id == id)
            return true;
    return false;
}

std::string BatchRunner::MakeOutputName(int fileIndex, int filesDone) const
{
    const std::string& source = m_files[fileIndex];
    if (m_output.overwrite)
        return source;
    const std::string file = FileName(source);
    const auto dot = file.rfind('.');
    const std::string stem = dot == std::string::npos ? file : file.substr(0, dot);
    std::string ext;
    const int format = Save().Index("Format");
    if (RenameOnly())
        ext = dot == std::string::npos ? "" : file.substr(dot + 1);
    else
        ext = format == 0 ? "jpg" : format == 2 ? "bmp" : "tif";
    std::string name;
    if (m_output.asPrefix)
        name += m_output.text;
    if (m_output.originalName)
        name += stem;
    if (m_output.number) {
        char number[16];
        std::snprintf(number, sizeof number, "_%04d", filesDone + 1);
        name += number;
    }
    if (!m_output.asPrefix)
        name += m_output.text;
    std::string folder = m_output.folder;
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder + name + "." + ext;
}

std::string BatchRunner::WebPath(const std::string& output) const
{
    const BatchAction* web = FindAction(m_table, kSaveForWeb);
    const int preset = web ? web->Index("Jpeg scheme") : 0;
    const std::string name =
        preset >= 0 && preset < static_cast<int>(m_resources.presetNames.size()) ? m_resources.presetNames[preset] : "";
    return output.substr(0, output.size() >= 3 ? output.size() - 3 : 0) + name + ".jpg";
}

BatchCheck BatchRunner::Prepare()
{
    if (m_output.folder.size() <= 1 && !m_output.overwrite)
        return BatchCheck::NoFolder;
    if (m_chain.empty())
        return BatchCheck::NoAction;
    if (!HasAction(kSave) && !HasAction(kSaveForWeb))
        return BatchCheck::NoSave;
    if (!m_output.originalName && !m_output.number)
        m_output.originalName = true;
    if (m_files.empty())
        return BatchCheck::NoFiles;
    m_outputs.clear();
    std::set<std::string> taken;
    for (int i = 0; i < static_cast<int>(m_files.size()); ++i) {
        std::string path = MakeOutputName(i, i);
        if (!m_output.overwrite)
            for (int k = 2; taken.count(path); ++k)
                path = Numbered(MakeOutputName(i, i), k);
        taken.insert(path);
        m_outputs.push_back(path);
    }
    return BatchCheck::Ok;
}

bool BatchRunner::OutputsExist() const
{
    if (m_output.overwrite)
        return true;
    const bool web = HasAction(kSaveForWeb) && !RenameOnly();
    for (const std::string& out : m_outputs)
        if (Exists(web ? WebPath(out) : out))
            return true;
    return false;
}

BatchCheck BatchRunner::TestDestination() const
{
    if (m_output.overwrite)
        return BatchCheck::Ok;
    std::string folder = m_output.folder;
    if (folder.back() != '/')
        folder += '/';
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::string probe = folder + ".quillo-batch-probe-" + std::to_string(getpid());
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0)
        return BatchCheck::CannotCreateFolder;
    ::close(fd);
    ::unlink(probe.c_str());
    return BatchCheck::Ok;
}

BatchCheck BatchRunner::Start(const std::function<bool()>& ask)
{
    const BatchCheck check = Prepare();
    if (check != BatchCheck::Ok)
        return check;
    if (OutputsExist() && !(ask && ask()))
        return BatchCheck::Declined;
    return TestDestination();
}

void BatchRunner::ReportPhotoProgress(int percent)
{
    Progress(percent);
}

void BatchRunner::Progress(int photoPercent)
{
    if (!m_progress)
        return;
    const int n = std::max<int>(1, static_cast<int>(m_files.size()));
    m_progress(photoPercent, (photoPercent + 100 * m_filesDone) / n);
}

BatchRunner::Loaded BatchRunner::Load(int index) const
{
    Loaded photo;
    const char* path = m_files[index].c_str();
    CQLImageCodec codec;
    photo.ok = codec.LoadFile(path, &photo.image) != 0;
    if (!photo.ok)
        return photo;
    photo.type = CQLImageCodec::GetFileType(path);
    auto exif = std::make_unique<ExifInfo>();
    if (exif->ReadFromFile(path))
        photo.exif = std::move(exif);
    return photo;
}

HRESULT BatchRunner::StampDate(const BatchAction& a, const Loaded& photo, int index)
{
    CQLImage& source = m_work[m_current];
    CQLImage& target = m_work[1 - m_current];
    SYSTEMTIME date{};
    if (photo.exif && photo.exif->GetFields().dateTime[0]) {
        date = ParseExifDateTime(photo.exif->GetFields().dateTime);
    } else if (a.Index("If No Exif") == 1) {
        WIN32_FILE_ATTRIBUTE_DATA info{};
        if (GetFileAttributesEx(m_files[index].c_str(), GetFileExInfoStandard, &info))
            FileTimeToSystemTime(&info.ftCreationTime, &date);
    }
    if (!target.DuplicateFrom(&source))
        return E_FAIL;
    const std::string text = FormatDateText(date.wYear, date.wMonth, date.wDay, a.Index("Style"), a.Index("Order"));
    if (!text.empty()) {
        UINT w = 0, h = 0;
        target.GetSize(&w, &h);
        const int height =
            static_cast<int>(std::sqrt(static_cast<double>(w) * w + static_cast<double>(h) * h) * a.Int("Size") * 0.01) * 3;
        CQLImage big, small;
        UINT bw = 0, bh = 0;
        if (FrameRenderer::RenderTextToImage("Arial", height, text.c_str(), &big)) {
            big.GetSize(&bw, &bh);
            CQLImageCodec codec;
            if (bw >= 3 && bh >= 3 && codec.Resample(&big, &small, bw / 3, bh / 3, 1))
                CompositeDateText(target, small, a.Index("Horizontal"), a.Index("Vertical"), a.Index("Color"));
        }
    }
    return 0;
}

HRESULT BatchRunner::RunEffect(const BatchAction& a, int position, const Loaded& photo, int index)
{
    CQLImage* source = &m_work[m_current];
    CQLImage* target = &m_work[1 - m_current];
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    EffectAlgorithm* alg = nullptr;
    const void* param = nullptr;
    DWORD mode = 0;
    INT linked = 0;
    ResizeParams size{};
    DefogParams defog{};
    HueSaturationParams hue{};
    AdaptiveDenoiseParams denoise{};
    AdvancedSkinCleanParams skin{};
    UnsharpMaskParams sharpen{};
    JpegSlimSettings web;
    switch (a.id) {
    case kRotateLeft: case kRotateRight: case kFlipHorizontally: case kFlipVertically: {
        static const DWORD modes[] = {2, 1, 3, 4};
        mode = modes[a.id];
        alg = &m_rotate;
        param = &mode;
        break;
    }
    case kResizeByPixels: case kResizeByWidth: case kResizeByLongSide: case kResizeBySize: {
        if (w == 0 || h == 0)
            return E_FAIL;
        const auto [tw, th] = ResizeTarget(a, static_cast<int>(w), static_cast<int>(h));
        size = {tw, th};
        m_resample.SetOptions(a.Index("Enlarge: Keep Edge") == 0 ? 1 : 0, a.Int("Scale down: Details"),
                              a.Int("Scale down: Sharpen"));
        alg = &m_resample;
        param = &size;
        break;
    }
    case kAutoLevel: case kAutoContrast:
        linked = a.id == kAutoLevel ? 0 : 1;
        alg = &m_levels;
        param = &linked;
        break;
    case kDefog:
        defog.strength = a.Int("Amount");
        alg = &m_defog;
        param = &defog;
        break;
    case kSaturation:
        hue = {0, a.Int("Saturation"), 0};
        alg = &m_hue;
        param = &hue;
        break;
    case kGrayscale:
        alg = &m_grey;
        param = reinterpret_cast<const void*>(&GreyFunction);
        break;
    case kNoiseReduction:
        denoise.reduceColorSpots = a.Index("Erase color noise");
        alg = &m_denoise;
        param = &denoise;
        break;
    case kDigitalBeauty:
        skin = {a.Int("Skin Level"), 50, a.Int("More Pink"), a.Int("Clean Radius"), 1, a.Index("Fake Texture"),
                a.Int("Clean Amount"), 0};
        alg = &m_skin;
        param = &skin;
        break;
    case kSharpen:
        sharpen = {a.Int("Radius"), a.Int("Amount"), 0};
        m_sharpen.ClearImages();
        alg = &m_sharpen;
        param = &sharpen;
        break;
    case kAddFrame: {
        const int t = a.Index("Frame templates");
        const auto& templates = m_resources.frames->m_templates;
        if (t < 0 || t >= static_cast<int>(templates.size()))
            return E_FAIL;
        m_frame.SetUserText(m_userName.c_str());
        m_frame.SetExif(&m_exif);
        alg = &m_frame;
        param = templates[t];
        break;
    }
    case kColorTheme: {
        const int t = a.Index("Color Theme");
        if (t < 0 || t >= static_cast<int>(m_resources.themes.size()))
            return E_FAIL;
        m_theme.SetAmount(a.Int("Amount"));
        alg = &m_theme;
        param = &m_resources.themes[t];
        break;
    }
    case kBlurDiffuse: {
        BYTE* glow = m_blurTheme.steps[0].payload;
        glow[0] = static_cast<BYTE>(a.Int("Radius"));
        glow[1] = static_cast<BYTE>(a.Int("Opacity"));
        glow[2] = 50;
        glow[3] = 20;
        m_theme.SetAmount(100);
        alg = &m_theme;
        param = &m_blurTheme;
        break;
    }
    case kSaveForWeb: {
        const int p = a.Index("Jpeg scheme");
        if (p < 0 || p >= static_cast<int>(m_resources.presets.size()))
            return E_FAIL;
        web = m_resources.presets[p];
        web.adaptive = 2;
        web.flags = 2;
        if (!web.SetPath(WebPath(m_outputs[index]).c_str()))
            return E_FAIL;
        alg = &m_web;
        param = &web;
        break;
    }
    case kAddDate:
        return StampDate(a, photo, index);
    default:
        // No work of its own: the target is left as it was made.
        return target->DuplicateFrom(source) ? 0 : E_FAIL;
    }
    const auto [lo, hi] = ActionRange(position, static_cast<int>(m_chain.size()));
    alg->SetImages(source, target);
    alg->SetRange(lo, hi);
    alg->SetCallback(&RunnerCallback);
    return alg->Apply(param);
}

int BatchRunner::RunChain(int index, Loaded& photo, bool& save)
{
    save = false;
    for (int pos = 0; pos < static_cast<int>(m_chain.size()); ++pos) {
        const BatchAction& a = m_table[m_chain[pos]];
        if (a.id == kSave) {
            save = true;
            return 0;
        }
        if (RunEffect(a, pos, photo, index) != 0)
            return pos + 1;
        m_current = 1 - m_current;
        if (a.id == kSaveForWeb)
            return 0;
    }
    return 0;
}

BatchRunner::Written BatchRunner::Write(CQLImage image, int index, std::unique_ptr<ExifInfo> exif) const
{
    Written result;
    const BatchAction& s = Save();
    const std::string& source = m_files[index];
    const std::string& out = m_outputs[index];
    CQLImageCodec codec;
    const bool jpeg = m_output.overwrite ? CQLImageCodec::GetFileType(source.c_str()) == QL_FILE_JPEG
                                         : s.Index("Format") == 0;
    if (jpeg) {
        const int quality = s.Int("Quality if JPEG") + (s.Index("High Quality Color(Large Size)") == 1 ? 100 : 0);
        result.saved = codec.SaveJpegFile(out.c_str(), &image, quality, 72) != 0;
        if (result.saved && exif && s.Index("Keep EXIF info") == 1)
            result.exifWritten = exif->WriteToFile(TRUE, out.c_str(), FALSE) != 0;
    } else {
        result.saved = codec.SaveFile(out.c_str(), &image) != 0;
    }
    return result;
}

BatchReport BatchRunner::Run()
{
    BatchReport report;
    m_filesDone = 0;
    const int n = static_cast<int>(m_files.size());
    if (m_outputs.size() != m_files.size()) {
        m_lastReport = report;
        return report;
    }

    if (RenameOnly()) {
        for (int i = 0; i < n && !m_cancel.load(); ++i) {
            if (m_outputs[i] != m_files[i] &&
                !MoveFileEx(m_files[i].c_str(), m_outputs[i].c_str(), MOVEFILE_REPLACE_EXISTING))
                report.moveFailures.push_back(m_files[i]);
            ++m_filesDone;
            Progress(0);
        }
        report.filesDone = m_filesDone;
        report.cancelled = m_cancel.load() && m_filesDone < n;
        m_lastReport = report;
        return report;
    }

    // Reading ahead is safe only while no photo's output is another's source.
    bool ahead = !m_output.overwrite;
    {
        const std::set<std::string> sources(m_files.begin(), m_files.end());
        for (int i = 0; i < n && ahead; ++i)
            if (sources.count(m_outputs[i]) || sources.count(WebPath(m_outputs[i])))
                ahead = false;
    }
    t_runner = this;
    auto load = [this](int i) { return std::async(std::launch::async, [this, i] { return Load(i); }); };
    std::future<Loaded> next = load(0);
    std::future<Written> writing;
    int writingIndex = -1;
    auto finishWrite = [&] {
        if (!writing.valid())
            return;
        const Written w = writing.get();
        if (!w.saved)
            report.saveFailures.push_back(m_files[writingIndex]);
        else if (!w.exifWritten)
            report.exifFailures.push_back(m_files[writingIndex]);
    };
    for (int i = 0; i < n; ++i) {
        Loaded photo = next.get();
        if (ahead && i + 1 < n)
            next = load(i + 1);
        Progress(0);
        bool save = false;
        int failed = 0;
        if (!photo.ok) {
            report.loadFailures.push_back(m_files[i]);
        } else {
            m_current = 0;
            m_work[0] = std::move(photo.image);
            if (photo.exif && (photo.type == QL_FILE_JPEG || photo.type == QL_FILE_TIFF))
                m_exif = photo.exif->GetFields();
            else
                m_exif = ExifFields{};
            failed = RunChain(i, photo, save);
        }
        if (failed) {
            report.algorithmFailed = true;
            report.failedPhoto = m_files[i];
            report.failedAction = m_table[m_chain[failed - 1]].name;
            break;
        }
        if (save) {
            finishWrite();
            std::unique_ptr<ExifInfo> exif = std::move(photo.exif);
            CQLImage result = std::move(m_work[m_current]);
            writingIndex = i;
            writing = std::async(std::launch::async, [this, i, image = std::move(result), e = std::move(exif)]() mutable {
                return Write(std::move(image), i, std::move(e));
            });
            if (!ahead)
                finishWrite();
        }
        ++m_filesDone;
        Progress(0);
        if (m_cancel.load()) {
            report.cancelled = i + 1 < n;
            break;
        }
        if (!ahead && i + 1 < n)
            next = load(i + 1);
    }
    finishWrite();
    if (next.valid())
        next.wait();
    t_runner = nullptr;
    report.filesDone = m_filesDone;
    m_lastReport = report;
    return report;
}

} // namespace shelf
