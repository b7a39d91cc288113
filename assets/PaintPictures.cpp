#include "PaintPictures.h"
#include "IconColours.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <filesystem>
#include <functional>

namespace {

using namespace iconcolours;

bool Save(const QImage& img, const std::string& path, const char* hotSpot = nullptr)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    QImage out = img;
    if (hotSpot)
        out.setText("HotSpot", hotSpot);
    return out.save(QString::fromStdString(path), "PNG");
}

QImage Draw(int size, const std::function<void(QPainter&)>& draw)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return img;
}

// A magnifier; active tools are drawn in colour, idle ones in ink.
void Magnifier(QPainter& p, bool active)
{
    p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(19, 19), QPointF(27, 27));
    p.setPen(QPen(kInk, 2));
    p.setBrush(active ? QColor(200, 225, 255) : kPaper);
    p.drawEllipse(QPointF(13, 13), 8, 8);
    p.setPen(QPen(active ? kBlue : kInk, 2));
    p.drawLine(QPointF(9, 13), QPointF(17, 13));
    p.drawLine(QPointF(13, 9), QPointF(13, 17));
}

// Four arrows from the centre.
void MoveArrows(QPainter& p, bool active)
{
    const QColor ink = active ? kBlue : kInk;
    p.setPen(QPen(ink, 2));
    p.drawLine(QPointF(16, 5), QPointF(16, 27));
    p.drawLine(QPointF(5, 16), QPointF(27, 16));
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    const QPointF heads[4][3] = {{{16, 2}, {12, 7}, {20, 7}},
                                 {{16, 30}, {12, 25}, {20, 25}},
                                 {{2, 16}, {7, 12}, {7, 20}},
                                 {{30, 16}, {25, 12}, {25, 20}}};
    for (const auto& head : heads)
        p.drawPolygon(head, 3);
}

// A dropper pointing down-left, its tip at (x, y).
void Dropper(QPainter& p, double x, double y, double scale)
{
    p.save();
    p.translate(x, y);
    p.scale(scale, scale);
    p.setPen(QPen(kInk, 1.2 / scale));
    p.setBrush(kPaper);
    QPainterPath body;
    body.moveTo(0, 0);
    body.lineTo(1, -3);
    body.lineTo(8, -10);
    body.lineTo(10, -8);
    body.lineTo(3, -1);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(kInk);
    p.drawRoundedRect(QRectF(8, -14, 6, 6), 1.5, 1.5);
    p.restore();
}

// The colour buttons are 20 pixels: their pictures sit in the middle of 32.
void SwapArrows(QPainter& p)
{
    p.setPen(QPen(kInk, 1.4));
    p.setBrush(Qt::NoBrush);
    QPainterPath arc;
    arc.moveTo(10, 13);
    arc.quadTo(19, 10, 20, 20);
    p.drawPath(arc);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    const QPointF left[] = {{8, 13}, {12, 10}, {12, 16}};
    const QPointF down[] = {{20, 23}, {17, 19}, {23, 19}};
    p.drawPolygon(left, 3);
    p.drawPolygon(down, 3);
}

void ResetSquares(QPainter& p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(14.5, 14.5, 8, 8));
    p.setBrush(Qt::black);
    p.drawRect(QRectF(9.5, 9.5, 8, 8));
}

// A ring readable on any colour: white inside a dark rim.
void Marker(QPainter& p)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 1.5));
    p.drawEllipse(QPointF(7.5, 7.5), 5, 5);
    p.setPen(QPen(Qt::white, 1.2));
    p.drawEllipse(QPointF(7.5, 7.5), 3.6, 3.6);
}

}  // namespace

int WritePaintPictures(const std::string& res)
{
    int failed = 0;
    failed += !Save(Draw(32, [](QPainter& p) { Magnifier(p, false); }), res + "icon/3430.png");
    failed += !Save(Draw(32, [](QPainter& p) { Magnifier(p, true); }), res + "icon/3431.png");
    failed += !Save(Draw(32, [](QPainter& p) { MoveArrows(p, false); }), res + "icon/3432.png");
    failed += !Save(Draw(32, [](QPainter& p) { MoveArrows(p, true); }), res + "icon/3433.png");
    failed += !Save(Draw(32, [](QPainter& p) { Dropper(p, 9, 23, 1.0); }), res + "icon/3434.png");
    failed += !Save(Draw(32, SwapArrows), res + "icon/3435.png");
    failed += !Save(Draw(32, ResetSquares), res + "icon/3436.png");
    failed += !Save(Draw(16, Marker), res + "icon/3437.png");
    failed += !Save(Draw(32, [](QPainter& p) { Dropper(p, 1, 30, 1.6); }), res + "cursor/3440.png", "1,30");
    return failed;
}
