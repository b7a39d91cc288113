#include "develop/DevelopSteps.h"

#include "develop/DevelopState.h"
#include "develop/DevelopTexts.h"
#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/raw/RawParser.h"

namespace develop {

LoadOutcome LoadRawStep(int autoBalance, ProgressSink& bar, DevelopState& state)
{
    LoadOutcome outcome;
    // No Close at the end: a mosaic stays in the library for Step 2.
    CRawParser parser;
    parser.SetAutoBalance(autoBalance);
    bar.SetText(Texts().GetText("loadccd"));
    bar.SetPercent(5);
    outcome.loaded = parser.LoadCCDDataOnly(state.rawPath.c_str(), &state.sensor);
    if (outcome.loaded == 0)
        return outcome;
    if (outcome.loaded == 2) {
        bar.SetPercent(40);
        bar.SetText(Texts().GetText("convertrgb"));
        parser.FinalConvert();
        bar.SetPercent(80);
        // A failed development must not leave an earlier photo to be saved.
        if (!parser.ImageToBitmap(&state.developed))
            state.developed.Free();
        outcome.skipInterpolation = TRUE;
    } else {
        outcome.threeColour = parser.m_nThreeColor != 0 ? TRUE : FALSE;
    }
    bar.SetPercent(95);
    return outcome;
}

UINT InterpolateJob(LPVOID argument)
{
    const InterpolateRequest& request = *static_cast<const InterpolateRequest*>(argument);
    ProgressSink* bar = request.bar;
    if (bar)
        bar->SetText(Texts().GetText("interpolate"));
    CRawParser parser;
    parser.SetCallback(request.callback);
    if (bar)
        bar->SetPercent(request.method);
    const bool interpolated = parser.Interpolate(request.method) != 0;
    parser.SetCallback(nullptr);
    if (bar) {
        bar->SetText(Texts().GetText("convertrgb"));
        bar->SetPercent(5);
    }
    parser.FinalConvert();
    if (bar)
        bar->SetPercent(65);
    if (request.developed) {
        // A failed development must not leave an earlier photo to be saved.
        if (interpolated && parser.ImageToBitmap(request.developed))
            parser.UniformImage(request.developed);
        else
            request.developed->Free();
    }
    parser.Close();
    return 0;
}

OutputResult WriteCommandLineOutput(const C16BitBitmap& developed, const char* path, CQLImage& image)
{
    // A failed conversion leaves whatever image held before: never written.
    const bool converted = ConvertTo8Bit(developed, &image, 0);
    if (!path || CQLImageCodec::GetFileType(path) != QL_FILE_JPEG)
        return OutputResult::kNotJpeg;
    CQLImageCodec codec;
    if (!converted || !codec.SaveJpegFile(path, &image, 199, 72))
        return OutputResult::kSaveFailed;
    CRawParser parser;
    parser.AddExifToJpeg(path);
    return OutputResult::kWritten;
}

} // namespace develop
