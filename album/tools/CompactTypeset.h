// The compact typeset sheet: the six layouts in sheet units, the small
// photo cut or fitted into its cell, the sheet of cells and its file name.
#pragma once

#include "imagecore/QLImage.h"

#include <ctime>
#include <span>
#include <string>
#include <vector>

namespace shelf {

struct TypesetBox {
    int x, y, width, height; // width and height as a landscape box
    bool portrait;
};

struct TypesetLayout {
    int width, height;
    std::vector<TypesetBox> boxes;
};

// Layouts 0 to 5; the dialog offers 0 to 3.
const TypesetLayout& TypesetLayoutOf(int index);
inline constexpr int kTypesetLayouts = 6;
inline constexpr int kTypesetModes = 4;

struct TypesetMode {
    const char* text;
    int cellWidth, cellHeight; // landscape form
    const char* suffix;
};
const TypesetMode& TypesetModeOf(int mode);

// The boxes of a layout mapped into a preview rectangle, each already
// inset by one pixel.
std::vector<RECT> TypesetPreviewBoxes(int index, const RECT& sheet);
// The sheet's rectangle inside a preview control of this size: inset, kept
// to the sheet's proportions and centred.
RECT TypesetPreviewSheet(int index, int controlWidth, int controlHeight);

// Scaled size of a photo for a cell: covering it (crop) or inside it.
void TypesetScaledSize(int photoWidth, int photoHeight, int cellWidth, int cellHeight, bool crop, int* scaledWidth,
                       int* scaledHeight);

// The cell of mode from photo (freed afterwards): the photo's orientation,
// resampled and centred, white where it does not reach; turned holds it a
// quarter turned. false on any failure.
bool MakeTypesetCell(CQLImage& photo, int mode, bool crop, CQLImage& cell, CQLImage& turned);
// The white sheet of mode with the cells pasted at the layout's places.
bool ComposeTypesetSheet(int mode, const CQLImage& cell, const CQLImage& turned, CQLImage& sheet);

// folder + "%d-%d-%d-%d-%d-Fix-%s.jpg" of the time; when that file exists
// a counter follows the minute.
std::string TypesetSheetName(const std::string& folder, const std::tm& time, int mode);

} // namespace shelf
