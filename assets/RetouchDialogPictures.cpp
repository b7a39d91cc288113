#include "RetouchDialogPictures.h"
#include "IconColours.h"

#include "imagecore/QLImage.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <utility>

namespace {

using namespace iconcolours;
constexpr int kSide = 32;

// A 3 x 3 grid whose inner lines bow by bend pixels: outwards when positive.
QImage BowedGrid(double bend)
{
    QImage img(kSide, kSide, QImage::Format_RGB32);
    img.fill(kPaper);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kBlue, 1.2));
    const double lo = 4, hi = kSide - 4, mid = kSide / 2.0;
    for (int i = 0; i < 4; ++i) {
        const double t = lo + (hi - lo) * i / 3.0;
        const double push = bend * (t - mid) / (mid - lo);  // the outer lines bow most
        QPainterPath across, down;
        across.moveTo(lo, t);
        across.quadTo(mid, t + push, hi, t);
        down.moveTo(t, lo);
        down.quadTo(t + push, mid, t, hi);
        p.drawPath(across);
        p.drawPath(down);
    }
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, kSide - 1, kSide - 1));
    return img;
}

// A ring of three quarters with an arrow head; the hot spot in its middle.
QImage RotateCursor()
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (const auto& [colour, width] : {std::pair{QColor(Qt::white), 4.0}, std::pair{QColor(Qt::black), 1.8}}) {
        p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawArc(QRectF(6, 6, 20, 20), 90 * 16, 270 * 16);
        const QPointF head[] = {{16, 2}, {21, 6}, {16, 10}};
        p.drawPolyline(head, 3);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(16, 16), 1.5, 1.5);
    return img;
}

// The horizontal guide's grip, 8 x 16: an arrow pointing right at the line.
QImage HorizontalGuideGrip()
{
    QImage img(8, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1));
    p.setBrush(kOrange);
    const QPointF arrow[] = {{7.5, 4.5}, {0.5, 1.5}, {0.5, 7.5}};
    p.drawPolygon(arrow, 3);
    return img;
}

// The click-edit dialog's "Undo": an arrow curling back to the left.
QImage UndoIcon()
{
    QImage img(kSide, kSide, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath curl;
    curl.moveTo(9, 13);
    curl.cubicTo(20, 6, 29, 12, 27, 20);
    curl.cubicTo(26, 25, 21, 27, 16, 27);
    p.setPen(QPen(kInk, 4.5, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(curl);
    p.setPen(QPen(kBlue, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(curl);
    p.setPen(QPen(kInk, 1));
    p.setBrush(kBlue);
    const QPointF head[] = {{3, 13}, {12, 6}, {12, 20}};
    p.drawPolygon(head, 3);
    return img;
}

// The click-edit window's icon: a soft brush spot under a cross-hair.
QImage ClickEditIcon()
{
    QImage img(kSide, kSide, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient soft(QPointF(16, 16), 13);
    soft.setColorAt(0, kOrange);
    soft.setColorAt(0.55, kOrange);
    soft.setColorAt(1, QColor(kOrange.red(), kOrange.green(), kOrange.blue(), 0));
    p.setPen(Qt::NoPen);
    p.setBrush(soft);
    p.drawEllipse(QPointF(16, 16), 13, 13);
    p.setPen(QPen(kInk, 1.5));
    p.drawLine(QPointF(16, 1), QPointF(16, 10));
    p.drawLine(QPointF(16, 22), QPointF(16, 31));
    p.drawLine(QPointF(1, 16), QPointF(10, 16));
    p.drawLine(QPointF(22, 16), QPointF(31, 16));
    return img;
}

bool Save(QImage img, const std::string& path, const char* hotSpot = nullptr)
{
    if (hotSpot)
        img.setText("HotSpot", hotSpot);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    return img.save(QString::fromStdString(path), "PNG");
}

// A soft face-like tone field printed through a 45-degree dot screen, then
// sampled on the pixel grid: the dots beat against the grid into moire.
bool SavePatternDemo(const std::string& path)
{
    constexpr int kW = 200, kH = 150;
    constexpr double kCell = 3.3;
    CQLImage bmp;
    if (bmp.Create(kW, kH) != 0)
        return false;
    const double c = std::cos(M_PI / 4), s = std::sin(M_PI / 4);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const double dx = (x - kW * 0.45) / kW, dy = (y - kH * 0.5) / kH;
            const double tone = std::clamp(0.85 - 1.6 * (dx * dx + dy * dy) + 0.25 * std::sin(x * 0.05), 0.05, 0.95);
            // Position inside the rotated screen cell, -0.5 .. 0.5 each way.
            const double u = (x * c + y * s) / kCell, v = (-x * s + y * c) / kCell;
            const double fu = u - std::floor(u) - 0.5, fv = v - std::floor(v) - 0.5;
            const double dot = std::sqrt((1 - tone) / M_PI);  // ink area 1 - tone
            const bool ink = fu * fu + fv * fv < dot * dot;
            const BYTE b = ink ? 40 : 235, g = ink ? 50 : 230, r = ink ? 70 : 225;
            bmp.PutPixel(x, y, CPixel{b, g, r, 255});
        }
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    return bmp.SaveToFile(path.c_str()) == 0;
}

}  // namespace

int WriteRetouchDialogPictures(const std::string& res, const std::string& skin)
{
    int failed = 0;
    failed += !SavePatternDemo(skin + "patterndemo.bmp");
    failed += !Save(BowedGrid(4), res + "bitmap/299.png");
    failed += !Save(RotateCursor(), res + "cursor/252.png", "16,16");
    failed += !Save(HorizontalGuideGrip(), res + "icon/294.png");
    failed += !Save(BowedGrid(-4), res + "bitmap/302.png");
    failed += !Save(UndoIcon(), res + "icon/213.png");
    failed += !Save(ClickEditIcon(), res + "icon/229.png");
    return failed;
}
