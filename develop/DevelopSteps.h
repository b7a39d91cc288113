// The development steps that call the RAW library: the Step 1 load, the
// Step 2 interpolation job and the command-line output of Step 4. They tell
// a progress sink what they do instead of touching the pages' controls.
#pragma once

#include "develop/DevelopJob.h"
#include "platform/win/WinTypes.h"

class C16BitBitmap;
class CQLImage;

namespace develop {

struct DevelopState;

// The current page's percent bar. Called from the worker thread too.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void SetText(const char* text) = 0;
    virtual void SetPercent(int percent) = 0;
};

struct LoadOutcome {
    int loaded = 0;                 // the library's result: 0 failed, 2 full colour, else a mosaic
    BOOL threeColour = FALSE;       // for the interpolation page, mosaic data only
    BOOL skipInterpolation = FALSE; // full colour: developed already, Step 2 is skipped
};

// Step 1: loads state.rawPath with the white-balance choice (1 automatic,
// 0 the camera's). Full-colour data are developed into state.developed at
// once; a mosaic stays in the library for InterpolateJob. On failure
// (loaded 0) the caller stays on Step 1.
LoadOutcome LoadRawStep(int autoBalance, ProgressSink& bar, DevelopState& state);

struct InterpolateRequest {
    int method = 3;                // 1 basic, 2 normal, 3 best
    ProgressSink* bar = nullptr;
    JobCallback callback = nullptr; // the library's progress, (1, percent)
    C16BitBitmap* developed = nullptr;
};

// Step 2, on the worker (a CProcessThread function job): interpolates what
// Step 1 left in the library into request->developed.
UINT InterpolateJob(LPVOID request);

enum class OutputResult { kWritten, kNotJpeg, kSaveFailed };

// Step 4 for -o: converts developed without sharpening (the adjust job has
// sharpened) into image and writes a JPEG at quality 199 and 72 dpi with the
// loaded file's shooting data. A path the codec does not type as JPEG gets
// nothing. Either way the wizard closes afterwards.
OutputResult WriteCommandLineOutput(const C16BitBitmap& developed, const char* path, CQLImage& image);

} // namespace develop
