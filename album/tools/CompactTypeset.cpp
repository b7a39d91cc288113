#include "album/tools/CompactTypeset.h"

#include "algorithms/ResampleAlgorithm.h"
#include "algorithms/RotateFlipAlgorithm.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace shelf {
namespace {

std::vector<TypesetBox> Grid(std::initializer_list<int> xs, std::initializer_list<int> ys, int w, int h,
                             bool portrait)
{
    std::vector<TypesetBox> boxes;
    for (int y : ys)
        for (int x : xs)
            boxes.push_back({x, y, w, h, portrait});
    return boxes;
}

std::vector<TypesetBox> Layout1()
{
    std::vector<TypesetBox> boxes;
    for (int x0 : {10, 760}) {
        boxes.push_back({x0, 10, 295, 413, true});
        boxes.push_back({x0 + 420, 320, 295, 413, true});
        boxes.push_back({x0 + 300, 10, 413, 295, false});
        boxes.push_back({x0, 440, 413, 295, false});
    }
    for (int x : {40, 540, 1040})
        boxes.push_back({x, 745, 413, 295, false});
    return boxes;
}

std::vector<TypesetLayout> MakeLayouts()
{
    std::vector<TypesetLayout> layouts(kTypesetLayouts);
    layouts[0] = {1500, 1050, Grid({45, 545, 1045}, {25, 375, 725}, 413, 295, false)};
    layouts[1] = {1500, 1050, Layout1()};
    layouts[2] = {1800, 1200, Grid({20, 470, 920, 1370}, {3, 303, 603, 903}, 413, 295, false)};
    layouts[3] = {1800, 1200, Grid({20, 470, 920, 1370}, {0, 600}, 413, 600, true)};
    auto four = Grid({0, 260, 520, 780}, {0, 390}, 259, 389, true);
    for (int y : {0, 261, 522, 783})
        four.push_back({1050, y, 389, 259, false});
    for (int x : {50, 550})
        four.push_back({x, 785, 389, 259, false});
    layouts[4] = {1500, 1050, four};
    auto five = Grid({5, 275, 545, 815, 1085}, {5, 405, 805}, 259, 389, true);
    for (int y : {20, 320, 620, 920})
        five.push_back({1360, y, 389, 259, false});
    layouts[5] = {1800, 1200, five};
    return layouts;
}

} // namespace

const TypesetLayout& TypesetLayoutOf(int index)
{
    static const std::vector<TypesetLayout> layouts = MakeLayouts();
    return layouts[static_cast<size_t>(std::clamp(index, 0, kTypesetLayouts - 1))];
}

const TypesetMode& TypesetModeOf(int mode)
{
    // Mode 3's cells are those of its layout, so that its rows meet without
    // overlapping.
    static const TypesetMode modes[kTypesetModes] = {
        {"9x1 inch photos on 5'/3R paper", 413, 295, "3R"},
        {"11x1 inch photos on 5'/3R paper", 413, 295, "3R"},
        {"16x1 inch photos on 6'/4R paper", 413, 295, "4R"},
        {"8x2 inch photos on 6'/4R paper", 600, 413, "4R"},
    };
    return modes[std::clamp(mode, 0, kTypesetModes - 1)];
}

RECT TypesetPreviewSheet(int index, int controlWidth, int controlHeight)
{
    const TypesetLayout& layout = TypesetLayoutOf(index);
    const int left = 10, top = 10;
    const int w = std::max(0, controlWidth - 10 - 12), h = std::max(0, controlHeight - 10 - 12);
    int sw = w, sh = w * layout.height / layout.width;
    if (sh > h) {
        sh = h;
        sw = h * layout.width / layout.height;
    }
    const int x = left + (w - sw) / 2, y = top + (h - sh) / 2;
    return {x, y, x + sw, y + sh};
}

std::vector<RECT> TypesetPreviewBoxes(int index, const RECT& r)
{
    const TypesetLayout& layout = TypesetLayoutOf(index);
    const int pw = r.right - r.left, ph = r.bottom - r.top;
    auto mx = [&](int u) { return pw * u / layout.width; };
    auto my = [&](int v) { return ph * v / layout.height; };
    std::vector<RECT> boxes;
    for (const TypesetBox& b : layout.boxes) {
        const int x = r.left + mx(b.x), y = r.top + my(b.y);
        const int w = b.portrait ? my(b.width) : mx(b.width);
        const int h = b.portrait ? mx(b.height) : my(b.height);
        boxes.push_back({x + 1, y + 1, x + w - 1, y + h - 1});
    }
    return boxes;
}

void TypesetScaledSize(int pw, int ph, int cw, int ch, bool crop, int* sw, int* sh)
{
    const long long a = static_cast<long long>(cw) * ph, b = static_cast<long long>(ch) * pw;
    const bool heightRules = crop ? a < b : b < a;
    if (heightRules) {
        *sh = ch;
        *sw = static_cast<int>(static_cast<long long>(ch) * pw / ph);
    } else {
        *sw = cw;
        *sh = static_cast<int>(static_cast<long long>(cw) * ph / pw);
    }
}

bool MakeTypesetCell(CQLImage& photo, int mode, bool crop, CQLImage& cell, CQLImage& turned)
{
    UINT pw = 0, ph = 0;
    photo.GetSize(&pw, &ph);
    if (pw == 0 || ph == 0)
        return false;
    int cw = TypesetModeOf(mode).cellWidth, ch = TypesetModeOf(mode).cellHeight;
    if (ph > pw)
        std::swap(cw, ch);
    if (cell.Create(static_cast<UINT>(cw), static_cast<UINT>(ch)) != 0)
        return false;
    int sw = 0, sh = 0;
    TypesetScaledSize(static_cast<int>(pw), static_cast<int>(ph), cw, ch, crop, &sw, &sh);
    CQLImage scaled;
    ResampleAlgorithm resample;
    resample.SetOptions(1, 90, 0);
    resample.SetImages(&photo, &scaled);
    const ResizeParams size{std::max(1, sw), std::max(1, sh)};
    if (resample.Apply(&size) != 0)
        return false;
    UINT rw = 0, rh = 0;
    scaled.GetSize(&rw, &rh);
    const int x0 = (static_cast<int>(rw) - cw) / 2, y0 = (static_cast<int>(rh) - ch) / 2;
    for (int y = 0; y < ch; ++y) {
        const int sy = y0 + y;
        for (int x = 0; x < cw; ++x) {
            const int sx = x0 + x;
            const DWORD pixel = sx >= 0 && sy >= 0 && sx < static_cast<int>(rw) && sy < static_cast<int>(rh)
                                    ? scaled.GetPixel(sx, sy)
                                    : 0xFFFFFFFFu;
            std::memcpy(cell.GetBuffer(x, y), &pixel, 4);
        }
    }
    scaled.Free();
    photo.Free();
    RotateFlipAlgorithm turn;
    turn.SetImages(&cell, &turned);
    const DWORD turnMode = RotateFlipAlgorithm::RotateLeft;
    return turn.Apply(&turnMode) == 0;
}

bool ComposeTypesetSheet(int mode, const CQLImage& cell, const CQLImage& turned, CQLImage& sheet)
{
    const TypesetLayout& layout = TypesetLayoutOf(mode);
    if (sheet.Create(static_cast<UINT>(layout.width), static_cast<UINT>(layout.height)) != 0)
        return false;
    std::memset(sheet.GetBuffer(0, 0), 0xFF, sheet.GetAreaByteSize());
    UINT cw = 0, ch = 0;
    cell.GetSize(&cw, &ch);
    const CQLImage& landscape = ch < cw ? cell : turned;
    const CQLImage& portrait = ch < cw ? turned : cell;
    for (const TypesetBox& box : layout.boxes) {
        const CQLImage& source = box.portrait ? portrait : landscape;
        UINT w = 0, h = 0;
        source.GetSize(&w, &h);
        const int width = std::min(static_cast<int>(w), layout.width - box.x);
        if (width <= 0)
            continue;
        for (int row = 0; row < static_cast<int>(h) && box.y + row < layout.height; ++row)
            std::memcpy(sheet.GetBuffer(box.x, box.y + row), source.GetBuffer(0, row), static_cast<size_t>(width) * 4);
    }
    return true;
}

std::string TypesetSheetName(const std::string& folderIn, const std::tm& t, int mode)
{
    const std::string folder = folderIn.empty() || folderIn.back() == '/' ? folderIn : folderIn + "/";
    const char* suffix = TypesetModeOf(mode).suffix;
    char name[128];
    std::snprintf(name, sizeof name, "%d-%d-%d-%d-%d-Fix-%s.jpg", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min, suffix);
    std::string path = folder + name;
    struct stat st {};
    // A sheet never replaces one made in the same minute.
    for (int n = 2; ::lstat(path.c_str(), &st) == 0; ++n) {
        std::snprintf(name, sizeof name, "%d-%d-%d-%d-%d-%d-Fix-%s.jpg", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                      t.tm_hour, t.tm_min, n, suffix);
        path = folder + name;
    }
    return path;
}

} // namespace shelf
