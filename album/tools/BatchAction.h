// The table of batch actions: one record per action, its typed parameters,
// and the frame templates, colour themes and save presets its lists name.
#pragma once

#include "album/tools/BatchParam.h"
#include "algorithms/ColorTheme.h"
#include "algorithms/JpegSlimSettings.h"

#include <memory>
#include <string>
#include <vector>

class FrameCategory;

namespace shelf {

enum BatchActionId {
    kRotateLeft = 0, kRotateRight = 1, kFlipHorizontally = 2, kFlipVertically = 3,
    kResizeByPixels = 4, kResizeByWidth = 5, kResizeByLongSide = 6, kResizeBySize = 7,
    kAutoLevel = 8, kAutoContrast = 9, kDefog = 10, kSaturation = 11, kGrayscale = 12,
    kNoiseReduction = 13, kDigitalBeauty = 14, kSharpen = 15, kAddFrame = 16, kColorTheme = 17,
    kAddDate = 18, kSave = 19, kBlurDiffuse = 20, kSaveForWeb = 21,
};

struct BatchAction {
    int id = 0;
    std::string name;
    int selected = 0;
    std::vector<std::unique_ptr<EffectParam>> params;

    // By name without regard to case; nullptr when none.
    EffectParam* Find(const char* paramName) const;
    int Int(const char* paramName) const;
    int Index(const char* paramName) const;
};

// What the lists of the table were built from, kept for the run.
struct BatchResources {
    BatchResources();
    ~BatchResources();
    std::unique_ptr<FrameCategory> frames; // the templates of the library's root
    std::vector<ColorTheme> themes;
    std::vector<JpegSlimSettings> presets;
    std::vector<std::string> presetNames;  // file names without ".tsp"
};

using ActionTable = std::vector<BatchAction>;

// Fills table (emptied first) in display order, reading the frame library,
// the themes and the presets under programFolder (ending in '/'). Returns 1.
int BuildActionTable(const std::string& programFolder, ActionTable& table, BatchResources& resources);

BatchAction* FindAction(ActionTable& table, int id);
const BatchAction* FindAction(const ActionTable& table, int id);

} // namespace shelf
