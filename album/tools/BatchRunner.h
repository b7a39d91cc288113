// Runs a chain of batch actions over a list of photos without any window:
// output names, the checks before a run, and the run itself. Decoding of the
// next photo runs ahead on a reader thread and encoding of the finished one
// behind on a writer thread, never more than one each way, so memory does
// not grow with the number of photos.
#pragma once

#include "album/tools/BatchAction.h"
#include "algorithms/AdaptiveDenoiseAlgorithm.h"
#include "algorithms/AdvancedSkinCleanAlgorithm.h"
#include "algorithms/AutoLevelsAlgorithm.h"
#include "algorithms/ColorThemeAlgorithm.h"
#include "algorithms/DefogAlgorithm.h"
#include "algorithms/EffectAlgorithm.h"
#include "algorithms/HueSaturationAlgorithm.h"
#include "algorithms/JpegSlimmingAlgorithm.h"
#include "algorithms/ResampleAlgorithm.h"
#include "algorithms/RotateFlipAlgorithm.h"
#include "algorithms/UnsharpMaskAlgorithm.h"
#include "editor/retouch/FrameRenderer.h"
#include "editor/shell/ExifInfo.h"
#include "imagecore/QLImage.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace shelf {

struct BatchOutput {
    bool overwrite = false; // the result replaces its source
    std::string folder;     // destination
    bool originalName = true;
    bool number = false;
    std::string text;       // the user's part of the name
    bool asPrefix = false;
};

enum class BatchCheck { Ok, NoFolder, NoAction, NoSave, NoFiles, CannotCreateFolder, Declined };

// What a run did besides the files it wrote.
struct BatchReport {
    int filesDone = 0;
    bool cancelled = false;
    bool algorithmFailed = false;
    std::string failedPhoto;
    std::string failedAction;
    std::vector<std::string> loadFailures;
    std::vector<std::string> saveFailures;
    std::vector<std::string> exifFailures;
    std::vector<std::string> moveFailures;

    bool Clean() const
    {
        return !algorithmFailed && loadFailures.empty() && saveFailures.empty() && exifFailures.empty() &&
               moveFailures.empty();
    }
};

// Pure helpers of the chain, public for their tests.
std::pair<int, int> ResizeTarget(const BatchAction& action, int width, int height);
// The progress range of list position of n actions.
std::pair<int, int> ActionRange(int position, int n);
// The stamped text; empty when year is 0.
std::string FormatDateText(int year, int month, int day, int style, int order);
// Lays the black-on-white text image onto target by the position and colour
// indexes of "Add date".
void CompositeDateText(CQLImage& target, const CQLImage& text, int horizontal, int vertical, int colour);
// The grey function of "Grayscale" for a FilterHost: 0, or E_FAIL.
int GreyFunction(void* param, FilterHost* host);

class BatchRunner {
public:
    using ProgressHook = std::function<void(int photoPercent, int totalPercent)>;

    BatchRunner(ActionTable& table, BatchResources& resources);
    ~BatchRunner();

    void SetFiles(std::vector<std::string> files) { m_files = std::move(files); }
    const std::vector<std::string>& Files() const { return m_files; }
    void SetOutput(const BatchOutput& output) { m_output = output; }
    const BatchOutput& Output() const { return m_output; }
    // Table indexes in the order of the "Selected processing" list.
    void SetChain(std::vector<int> tableIndexes) { m_chain = std::move(tableIndexes); }
    void SetUserName(std::string name) { m_userName = std::move(name); }
    void SetProgressHook(ProgressHook hook) { m_progress = std::move(hook); }

    // The output path of a file when filesDone photos came before it.
    std::string MakeOutputName(int fileIndex, int filesDone) const;

    // Checks the settings and computes every output path (a later photo
    // whose path is taken gets "_2", "_3"... before the extension).
    BatchCheck Prepare();
    const std::vector<std::string>& Outputs() const { return m_outputs; }
    // Whether a run would replace a file: always in overwrite mode.
    bool OutputsExist() const;
    // Creates the destination and checks it can be written with a private
    // probe file, removed at once.
    BatchCheck TestDestination() const;
    // Every check before a run in order; ask answers the overwrite question
    // (false: Declined, nothing touched).
    BatchCheck Start(const std::function<bool()>& ask);

    // The whole run on the calling thread (and its reader and writer).
    BatchReport Run();
    // Safe from any thread: the run stops after the photo in hand.
    void Cancel() { m_cancel.store(true); }
    // Photos finished so far; read from any thread.
    int FilesDone() const { return m_filesDone.load(); }
    // What the last Run returned; read after it ended.
    const BatchReport& LastReport() const { return m_lastReport; }

    // Where the chain of a photo stands; for the progress callback.
    void ReportPhotoProgress(int percent);

private:
    struct Loaded;
    struct Written;
    const BatchAction& Save() const;
    bool RenameOnly() const;
    bool HasAction(int id) const;
    std::string WebPath(const std::string& output) const;
    Loaded Load(int index) const;
    // 0 ok, else the failing action's list position + 1.
    int RunChain(int index, Loaded& photo, bool& save);
    HRESULT RunEffect(const BatchAction& action, int position, const Loaded& photo, int index);
    HRESULT StampDate(const BatchAction& action, const Loaded& photo, int index);
    Written Write(CQLImage image, int index, std::unique_ptr<ExifInfo> exif) const;
    void Progress(int photoPercent);

    ActionTable& m_table;
    BatchResources& m_resources;
    std::vector<std::string> m_files;
    std::vector<std::string> m_outputs;
    std::vector<int> m_chain;
    BatchOutput m_output;
    std::string m_userName;
    ProgressHook m_progress;
    std::atomic<bool> m_cancel{false};
    std::atomic<int> m_filesDone{0};
    BatchReport m_lastReport;

    CQLImage m_work[2];
    int m_current = 0;
    ExifFields m_exif{};

    RotateFlipAlgorithm m_rotate;
    ResampleAlgorithm m_resample;
    AutoLevelsAlgorithm m_levels;
    DefogAlgorithm m_defog;
    HueSaturationAlgorithm m_hue;
    FilterHost m_grey;
    AdaptiveDenoiseAlgorithm m_denoise;
    AdvancedSkinCleanAlgorithm m_skin;
    UnsharpMaskAlgorithm m_sharpen;
    FrameRenderer m_frame;
    ColorThemeAlgorithm m_theme;
    JpegSlimmingAlgorithm m_web;
    ColorTheme m_blurTheme;
};

} // namespace shelf
