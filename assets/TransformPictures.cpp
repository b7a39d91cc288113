#include "TransformPictures.h"
#include "IconColours.h"

#include "imagecore/QLImage.h"

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

int WritePerspectiveSample(const std::string& skin)
{
    QImage img(320, 240, QImage::Format_RGB32);
    img.fill(QColor(232, 232, 226));
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        // A poster seen from the side: the far edge shorter than the near one.
        const QPointF tl(70, 50), tr(255, 78), bl(55, 205), br(268, 168);
        QPolygonF poster;
        poster << tl << tr << br << bl;
        p.setPen(QPen(kInk, 2));
        p.setBrush(kPaper);
        p.drawPolygon(poster);
        QPolygonF sky;
        sky << tl << tr << (tr + br) / 2 << (tl + bl) / 2;
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue.lighter(150));
        p.drawPolygon(sky);
        QPolygonF hill;
        hill << bl << (tl + bl) / 2 + QPointF(8, 10) << (tr + br) / 2 + QPointF(-30, -4) << br;
        p.setBrush(kGreen);
        p.drawPolygon(hill);
        p.setPen(QPen(kInk, 2));
        p.setBrush(Qt::NoBrush);
        p.drawPolygon(poster);
        for (const QPointF& c : {tl, tr, bl, br}) {
            p.setPen(QPen(Qt::white, 1));
            p.drawRect(QRectF(c.x() - 3.5, c.y() - 3.5, 7, 7));
            p.setPen(QPen(Qt::black, 1));
            p.drawRect(QRectF(c.x() - 2.5, c.y() - 2.5, 5, 5));
        }
    }
    CQLImage bmp;
    if (bmp.Create(static_cast<UINT>(img.width()), static_cast<UINT>(img.height())) != 0)
        return 1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            bmp.PutPixel(x, y, CPixel{static_cast<BYTE>(qBlue(c)), static_cast<BYTE>(qGreen(c)),
                                      static_cast<BYTE>(qRed(c)), 255});
        }
    std::filesystem::create_directories(skin);
    return bmp.SaveToFile((skin + "perspectsample.bmp").c_str()) == 0 ? 0 : 1;
}
