// Each tile holds one water drop seen as a lens: alpha is its soft-edged
// coverage, and blue = 255 - u, red = 255 - v give the point (u, v) of the
// area around the drop that shows through it, 0..255 across that area.
// A convex drop shows the scene flipped through its centre and drawn in
// towards it; near the rim the view bends further out, which darkens and
// rings the edge as on real glass.
#include "DropletPictures.h"

#include <QDir>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr int kTile = 100;

struct Lens {
    double cx, cy; // centre in the tile
    double rx, ry; // half width and half height
};

// A tiny fixed generator so the picture is the same on every build.
struct Dice {
    uint32_t state;
    double Next() // 0..1
    {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / 16777216.0;
    }
};

// Draws lens into the tile at (left, top) where it covers more than what
// is there already.
void DrawLens(QImage& image, int left, int top, const Lens& lens)
{
    for (int y = 0; y < kTile; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(top + y)) + left;
        for (int x = 0; x < kTile; ++x) {
            const double dx = (x + 0.5 - lens.cx) / lens.rx;
            const double dy = (y + 0.5 - lens.cy) / lens.ry;
            const double dist = std::sqrt(dx * dx + dy * dy);
            if (dist >= 1.0)
                continue;
            // Soft edge over the outer fifth.
            const double edge = std::clamp((1.0 - dist) / 0.2, 0.0, 1.0);
            const int coverage = static_cast<int>(std::lround(255 * edge * edge * (3 - 2 * edge)));
            if (coverage <= qAlpha(row[x]))
                continue;
            const double bend = 0.45 + 0.9 * std::pow(std::max(dist - 0.55, 0.0), 1.5);
            const double u = std::clamp(0.5 - 0.5 * dx * bend, 0.0, 1.0);
            const double v = std::clamp(0.5 - 0.5 * dy * bend, 0.0, 1.0);
            const int blue = 255 - static_cast<int>(std::lround(u * 255));
            const int red = 255 - static_cast<int>(std::lround(v * 255));
            row[x] = qRgba(red, 0, blue, coverage);
        }
    }
}

} // namespace

int WriteDropletPictures(const std::string& programFolder)
{
    const QString folder = QString::fromStdString(programFolder) + "plugins/Creative";
    if (!QDir().mkpath(folder))
        return 1;
    QImage image(10 * kTile, 3 * kTile, QImage::Format_ARGB32);
    image.fill(0);
    Dice dice{0x5EED};
    for (int t = 0; t < 30; ++t) {
        const int left = t % 10 * kTile, top = t / 10 * kTile;
        const int kind = t / 10; // 0 round, 1 elongated, 2 elongated with a trail
        Lens drop;
        drop.rx = kind == 2 ? 18 + 10 * dice.Next() : 30 + 14 * dice.Next();
        drop.ry = kind == 0 ? drop.rx * (0.9 + 0.15 * dice.Next()) : std::min(drop.rx * (1.2 + 0.35 * dice.Next()), 46.0);
        drop.cx = 50 + (dice.Next() - 0.5) * (96 - 2 * drop.rx);
        drop.cy = kind == 2 ? 98 - drop.ry : 50 + (dice.Next() - 0.5) * (96 - 2 * drop.ry);
        DrawLens(image, left, top, drop);
        if (kind == 2) {
            // Droplets left behind above a sliding drop.
            double y = drop.cy - drop.ry;
            for (int i = 0; i < 3 && y > 8; ++i) {
                const double r = 3 + 3 * dice.Next();
                y -= r + 2 + 4 * dice.Next();
                if (y - r < 1)
                    break;
                DrawLens(image, left, top, Lens{drop.cx + (dice.Next() - 0.5) * 6, y, r, r * 1.2});
                y -= r;
            }
        }
    }
    return image.save(folder + "/rain.png") ? 0 : 1;
}
