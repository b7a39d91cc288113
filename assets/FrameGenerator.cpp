// Writes the starter library of frame templates into <program folder>/Frame:
// drawn templates in "Classic" and "Caption", image-based ones (pictures
// painted here) in "Shapes".
//   quillo_framegen <program folder>
#include "editor/retouch/FrameTemplate.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

const CPixel kBlueKey{255, 0, 0, 255};
const CPixel kRedKey{0, 0, 255, 255};

FrameLength Percent(int v)
{
    return {0, v};
}

void Named(FrameTemplate& t, const char* name, const char* comment)
{
    SanitizeName(t.m_info.name, name);
    std::snprintf(t.m_info.comment, sizeof t.m_info.comment, "%s", comment);
    std::snprintf(t.m_info.author, sizeof t.m_info.author, "Quillo");
}

void Margins(FrameTemplate& t, int sides, int top, int bottom, CPixel colour)
{
    t.m_canvas.left = t.m_canvas.right = Percent(sides);
    t.m_canvas.top = Percent(top);
    t.m_canvas.bottom = Percent(bottom);
    t.m_canvas.colour = colour;
}

void Border(FrameTemplate& t, BYTE type, int width, CPixel colour)
{
    t.m_border.enabled = 1;
    t.m_border.type = type;
    t.m_border.left = t.m_border.right = t.m_border.top = t.m_border.bottom = Percent(width);
    t.m_border.colour = colour;
}

double Hash(int x, int y)
{
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return ((h ^ (h >> 16)) & 0xFFFF) / 65535.0;
}

double Smooth1(double x)
{
    const double f = std::floor(x), t = x - f;
    const double s = t * t * (3 - 2 * t);
    return Hash(static_cast<int>(f), 7) * (1 - s) + Hash(static_cast<int>(f) + 1, 7) * s;
}

using Painter = CPixel (*)(int x, int y, int w, int h);

CQLImage Paint(int w, int h, Painter paint)
{
    CQLImage image;
    image.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.PutPixel(x, y, paint(x, y, w, h));
    return image;
}

// A cream mat with a bevelled, rounded window.
CPixel RoundedMat(int x, int y, int w, int h)
{
    const int inset = std::min(w, h) / 9, radius = std::min(w, h) / 14;
    const double cx = std::clamp<double>(x, inset + radius, w - inset - radius);
    const double cy = std::clamp<double>(y, inset + radius, h - inset - radius);
    const double d = std::hypot(x - cx, y - cy); // distance into the rounded corner
    if (d <= radius && x >= inset && x < w - inset && y >= inset && y < h - inset)
        return kBlueKey;
    const double bevel = std::abs(d - radius);
    if (bevel < 6)
        return {236, 244, 250, 255}; // the cut edge catches the light
    const double grain = Hash(x, y) * 8;
    return {static_cast<BYTE>(196 + grain), static_cast<BYTE>(214 + grain), static_cast<BYTE>(226 + grain), 255};
}

// A strip of film with sprocket holes along the long sides.
CPixel FilmStrip(int x, int y, int w, int h)
{
    const bool wide = w >= h;
    const int along = wide ? x : y, across = wide ? y : x, length = wide ? w : h, depth = wide ? h : w;
    const int band = depth / 8;
    if (across >= band && across < depth - band && along >= band / 2 && along < length - band / 2)
        return kRedKey;
    const int pitch = band * 3 / 4;
    const int hole = (along % pitch) - pitch / 4;
    const int edge = across < band ? across : depth - 1 - across;
    if (hole >= 0 && hole < pitch / 2 && edge > band / 4 && edge < band * 3 / 4)
        return {226, 232, 236, 255};
    return {22, 20, 18, 255};
}

// White paper with a torn, deckled inner edge and a faint shadow.
CPixel Deckled(int x, int y, int w, int h)
{
    const int inset = std::min(w, h) / 10;
    const double ragged = 10 * Smooth1((x + y) / 9.0) + 6 * Smooth1((x - y) / 3.0);
    const double dx = std::min(x - inset, w - 1 - inset - x), dy = std::min(y - inset, h - 1 - inset - y);
    const double inside = std::min(dx, dy) - ragged;
    if (inside > 0)
        return kBlueKey;
    const double shade = std::clamp(1 + inside / 14, 0.0, 1.0) * 26; // darker toward the tear
    const double fibre = Hash(x / 2, y / 2) * 10;
    return {static_cast<BYTE>(228 - shade + fibre), static_cast<BYTE>(240 - shade + fibre),
            static_cast<BYTE>(245 - shade + fibre), 255};
}

bool WriteDrawn(const std::string& folder, FrameTemplate& t)
{
    return t.Write((folder + t.m_info.name + ".frm").c_str()) == 1;
}

bool WriteShape(const std::string& folder, const char* name, const char* comment, Painter paint, CPixel key)
{
    FrameTemplate t;
    Named(t, name, comment);
    t.m_freeShape.keyColour = key;
    return t.WriteImageBased((folder + t.m_info.name + ".frm").c_str(), Paint(1200, 900, paint),
                             Paint(900, 1200, paint)) == 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <program folder>\n", argv[0]);
        return 2;
    }
    const std::string root = std::string(argv[1]) + "/Frame/";
    const std::string classic = root + "Classic/", caption = root + "Caption/", shapes = root + "Shapes/";
    for (const std::string& f : {classic, caption, shapes})
        std::filesystem::create_directories(f);
    bool ok = true;

    FrameTemplate mat;
    Named(mat, "White Mat", "A white mat with a thin grey line round the photo.");
    Margins(mat, 7, 7, 7, {255, 255, 255, 255});
    FrameRectangle line;
    line.top = line.bottom = Percent(2);
    line.left = line.right = Percent(2);
    line.lineWidth = 1;
    line.colour = {150, 150, 150, 255};
    mat.m_rectangles = {line};
    ok &= WriteDrawn(classic, mat);

    FrameTemplate shadow;
    Named(shadow, "Black Shadow", "A black border with a soft shadow on light grey.");
    Margins(shadow, 8, 8, 8, {236, 236, 236, 255});
    Border(shadow, 1, 2, {16, 16, 16, 255});
    shadow.m_border.shadowX = Percent(1);
    shadow.m_border.shadowY = Percent(1);
    shadow.m_border.shadowBlur = Percent(1);
    shadow.m_border.shadowColour = {0, 0, 0, 110};
    ok &= WriteDrawn(classic, shadow);

    FrameTemplate bevel;
    Named(bevel, "Bevel", "A raised two-colour frame.");
    Margins(bevel, 4, 4, 4, {120, 120, 120, 255});
    Border(bevel, 2, 4, {214, 214, 210, 255});
    bevel.m_border.rightBottomColour = {96, 98, 100, 255};
    ok &= WriteDrawn(classic, bevel);

    FrameTemplate lines;
    Named(lines, "Scan Lines", "A dark frame of fine horizontal lines.");
    Margins(lines, 5, 5, 5, {0, 0, 0, 255});
    Border(lines, 3, 5, {70, 66, 60, 255});
    lines.m_border.secondColour = {20, 18, 16, 255};
    ok &= WriteDrawn(classic, lines);

    FrameTemplate dots;
    Named(dots, "Dots", "A frame of small dots.");
    Margins(dots, 4, 4, 4, {255, 255, 255, 255});
    Border(dots, 3, 4, {255, 255, 255, 255});
    dots.m_border.pattern = 2;
    dots.m_border.secondColour = {60, 110, 140, 255};
    ok &= WriteDrawn(classic, dots);

    FrameTemplate band;
    Named(band, "Caption Band", "A white band under the photo with the camera settings.");
    Margins(band, 3, 3, 10, {250, 250, 250, 255});
    band.m_signature.enabled = 1;
    std::snprintf(band.m_signature.text, sizeof band.m_signature.text, "%s", "%C  %S  %A  %I  %t");
    band.m_signature.x = Percent(50);
    band.m_signature.y = Percent(103);
    band.m_signature.height = Percent(4);
    band.m_signature.align = 2;
    band.m_signature.colour = {60, 60, 60, 255};
    ok &= WriteDrawn(caption, band);

    ok &= WriteShape(shapes, "Rounded Mat", "A cream mat with a rounded window.", RoundedMat, kBlueKey);
    ok &= WriteShape(shapes, "Film Strip", "The photo on a strip of film.", FilmStrip, kRedKey);
    ok &= WriteShape(shapes, "Deckled Edge", "Torn white paper round the photo.", Deckled, kBlueKey);

    if (!ok) {
        std::fprintf(stderr, "cannot write the frame templates into %s\n", root.c_str());
        return 1;
    }
    return 0;
}
