#include "EffectDialogPictures.h"
#include "IconColours.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <filesystem>

namespace {

const QColor kKey(0, 255, 0);  // the strip's mask colour
using iconcolours::kInk;
const QColor kSky(96, 150, 220);
const QColor kHill(70, 150, 80);
const QColor kSun(240, 190, 60);
const QColor kGreySky(150, 150, 150);
const QColor kGreyHill(105, 105, 105);

bool Save(QImage img, const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    return img.convertToFormat(QImage::Format_ARGB32).save(QString::fromStdString(path), "PNG");
}

// A small framed landscape in r; grey for the photo before the effect.
void Landscape(QPainter& p, QRect r, bool colour)
{
    p.fillRect(r, colour ? kSky : kGreySky);
    const int h = r.height();
    QPolygon hill;
    hill << QPoint(r.left(), r.bottom()) << QPoint(r.left(), r.top() + h * 2 / 3)
         << QPoint(r.left() + r.width() / 3, r.top() + h / 2) << QPoint(r.right(), r.top() + h * 3 / 4)
         << QPoint(r.right(), r.bottom());
    p.setPen(Qt::NoPen);
    p.setBrush(colour ? kHill : kGreyHill);
    p.drawPolygon(hill);
    if (colour && r.width() >= 6) {
        p.setBrush(kSun);
        p.drawRect(r.right() - 3, r.top() + 1, 2, 2);
    }
    p.setPen(kInk);
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

void Bars(QPainter& p, int x, int y)
{
    const int heights[] = {2, 4, 3, 1};
    for (int i = 0; i < 4; ++i)
        p.fillRect(x + i * 2, y - heights[i], 1, heights[i], kInk);
}

// Five 20 x 20 cells without antialiasing, so no edge mixes with the key.
QImage ViewModeStrip()
{
    QImage img(100, 20, QImage::Format_RGB32);
    img.fill(kKey);
    QPainter p(&img);
    Landscape(p, QRect(3, 4, 14, 12), false);                                  // before
    Landscape(p, QRect(23, 4, 14, 12), true);                                  // after
    Landscape(p, QRect(41, 5, 9, 10), false);                                  // side by side
    Landscape(p, QRect(50, 5, 9, 10), true);
    Landscape(p, QRect(64, 1, 12, 9), false);                                  // one above the other
    Landscape(p, QRect(64, 10, 12, 9), true);
    Landscape(p, QRect(81, 2, 9, 9), false);                                   // with histograms
    Landscape(p, QRect(90, 2, 9, 9), true);
    Bars(p, 82, 18);
    Bars(p, 91, 18);
    return img;
}

// The effect dialogs' window icon: a photo with a sparkling wand across it.
QImage EffectIcon()
{
    QImage img(32, 32, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    Landscape(p, QRect(2, 6, 24, 20), true);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12, 28), QPointF(24, 12));
    p.setPen(QPen(Qt::white, 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(21.5, 15.5), QPointF(24, 12));
    p.setPen(Qt::NoPen);
    p.setBrush(kSun);
    QPainterPath star;
    const QPointF c(26, 8);
    for (int i = 0; i < 8; ++i) {
        const double radius = i % 2 ? 2.0 : 5.5;
        const double a = i * 3.14159265 / 4;
        const QPointF pt(c.x() + radius * std::sin(a), c.y() - radius * std::cos(a));
        i ? star.lineTo(pt) : star.moveTo(pt);
    }
    star.closeSubpath();
    p.drawPath(star);
    return img;
}

// A mask is set: a filled region inside a dashed selection frame.
QImage MaskIcon()
{
    QImage img(16, 16, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(52, 120, 226));
    p.drawEllipse(QRect(4, 4, 8, 8));
    for (int i = 0; i < 15; ++i) {
        const QColor c = (i / 2) % 2 ? Qt::white : Qt::black;
        img.setPixelColor(i, 0, c);
        img.setPixelColor(15, i, c);
        img.setPixelColor(15 - i, 15, c);
        img.setPixelColor(0, 15 - i, c);
    }
    return img;
}

}  // namespace

int WriteEffectDialogPictures(const std::string& res)
{
    int failed = 0;
    failed += !Save(ViewModeStrip(), res + "bitmap/350.png");
    failed += !Save(EffectIcon(), res + "icon/227.png");
    failed += !Save(MaskIcon(), res + "icon/343.png");
    return failed;
}
