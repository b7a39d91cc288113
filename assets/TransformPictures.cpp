#include "TransformPictures.h"
#include "IconColours.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <filesystem>
#include <functional>

namespace {

using namespace iconcolours;

QImage Icon(const std::function<void(QPainter&)>& draw)
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return img;
}

// A small picture: paper with a blue sky band and a green hill.
void Picture(QPainter& p, QRectF r)
{
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(kPaper);
    p.drawRect(r);
    const QRectF inner = r.adjusted(2, 2, -2, -2);
    p.fillRect(QRectF(inner.left(), inner.top(), inner.width(), inner.height() / 2), kBlue.lighter(150));
    QPainterPath hill;
    hill.moveTo(inner.bottomLeft());
    hill.lineTo(inner.left() + inner.width() * 0.4, inner.top() + inner.height() * 0.45);
    hill.lineTo(inner.bottomRight());
    hill.closeSubpath();
    p.fillPath(hill, kGreen);
}

// A quarter-circle arrow above the picture, turning clockwise or not.
void TurnArrow(QPainter& p, bool clockwise)
{
    p.setPen(QPen(kOrange, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    const QRectF arc(6, 3, 20, 20);
    p.drawArc(arc, clockwise ? 160 * 16 : 20 * 16, clockwise ? -140 * 16 : 140 * 16);
    const QPointF tip = clockwise ? QPointF(25, 11) : QPointF(7, 11);
    const double d = clockwise ? -1 : 1;
    QPolygonF head;
    head << tip + QPointF(4 * d, -4) << tip + QPointF(0, 3) << tip + QPointF(-4 * d, -4);
    p.setPen(Qt::NoPen);
    p.setBrush(kOrange);
    p.drawPolygon(head);
}

void MirrorOrFlip(QPainter& p, bool vertical)
{
    p.setPen(Qt::NoPen);
    for (int side = 0; side < 2; ++side) {
        QPolygonF tri;
        if (!vertical)
            tri = side ? QPolygonF({QPointF(18, 6), QPointF(29, 26), QPointF(18, 26)})
                       : QPolygonF({QPointF(14, 6), QPointF(3, 26), QPointF(14, 26)});
        else
            tri = side ? QPolygonF({QPointF(6, 18), QPointF(26, 29), QPointF(26, 18)})
                       : QPolygonF({QPointF(6, 14), QPointF(26, 3), QPointF(26, 14)});
        p.setBrush(side ? kBlue.lighter(140) : kBlue);
        p.drawPolygon(tri);
    }
    p.setPen(QPen(kInk, 1.5, Qt::DashLine));
    if (vertical)
        p.drawLine(QPointF(2, 16), QPointF(30, 16));
    else
        p.drawLine(QPointF(16, 2), QPointF(16, 30));
}

void Crop(QPainter& p)
{
    Picture(p, QRectF(8, 8, 17, 17));
    p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::SquareCap));
    p.drawPolyline(QPolygonF({QPointF(8, 2), QPointF(8, 24), QPointF(30, 24)}));
    p.drawPolyline(QPolygonF({QPointF(2, 8), QPointF(24, 8), QPointF(24, 30)}));
}

void ImageSize(QPainter& p)
{
    Picture(p, QRectF(3, 11, 15, 15));
    p.setPen(QPen(kInk, 1.2, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(3, 3, 26, 26));
    p.setPen(QPen(kRed, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(17, 15), QPointF(27, 5));
    p.drawLine(QPointF(27, 5), QPointF(21, 5));
    p.drawLine(QPointF(27, 5), QPointF(27, 11));
}

void DialogIcon(QPainter& p)
{
    Picture(p, QRectF(4, 8, 20, 18));
    TurnArrow(p, true);
}

bool Save(const QImage& img, const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    return img.save(QString::fromStdString(path), "PNG");
}

}  // namespace

int WriteTransformPictures(const std::string& res)
{
    const struct {
        int id;
        std::function<void(QPainter&)> draw;
    } icons[] = {
        {159, [](QPainter& p) { Picture(p, QRectF(7, 14, 18, 15)); TurnArrow(p, true); }},
        {160, [](QPainter& p) { Picture(p, QRectF(7, 14, 18, 15)); TurnArrow(p, false); }},
        {161, [](QPainter& p) { MirrorOrFlip(p, false); }},
        {162, [](QPainter& p) { MirrorOrFlip(p, true); }},
        {163, Crop},
        {317, ImageSize},
        {167, DialogIcon},
    };
    int failed = 0;
    for (const auto& icon : icons)
        failed += !Save(Icon(icon.draw), res + "icon/" + std::to_string(icon.id) + ".png");
    return failed;
}
