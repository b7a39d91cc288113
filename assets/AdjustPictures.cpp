#include "AdjustPictures.h"
#include "IconColours.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <filesystem>

namespace {

using namespace iconcolours;

QImage Blank(int size)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
}

bool Save(QImage img, const std::string& path, const char* hotSpot = nullptr)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    if (hotSpot)
        img.setText("HotSpot", hotSpot);
    return img.save(QString::fromStdString(path), "PNG");
}

// A tone curve over axes: three straight segments or one smooth S.
QImage CurveIcon(bool smooth)
{
    QImage img = Blank(16);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1));
    p.drawLine(QPointF(1.5, 1), QPointF(1.5, 14.5));
    p.drawLine(QPointF(1.5, 14.5), QPointF(15, 14.5));
    p.setPen(QPen(kBlue, 1.6));
    if (smooth) {
        QPainterPath s(QPointF(2.5, 13.5));
        s.cubicTo(QPointF(9, 14), QPointF(7, 2), QPointF(14.5, 2));
        p.drawPath(s);
    } else {
        const QPointF line[] = {{2.5, 13.5}, {6, 11}, {10, 4}, {14.5, 2}};
        p.drawPolyline(line, 4);
    }
    return img;
}

// An eyedropper, tip at the lower left.
QImage Dropper(int size)
{
    QImage img = Blank(size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    QPolygonF tube;
    tube << QPointF(1, 15) << QPointF(2, 12) << QPointF(9, 5) << QPointF(11, 7) << QPointF(4, 14);
    p.drawPolygon(tube);
    p.setBrush(kInk);
    p.drawRoundedRect(QRectF(9, 1.5, 5, 5).translated(0, 0), 1.5, 1.5);
    p.drawLine(QPointF(8, 4), QPointF(12, 8));
    return img;
}

// A small upward triangle under the histogram.
QImage Marker()
{
    QImage img = Blank(16);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1));
    p.setBrush(kOrange);
    const QPointF tri[] = {{4.5, 0.5}, {8.5, 7.5}, {0.5, 7.5}};
    p.drawPolygon(tri, 3);
    return img;
}

// "Save as color theme": a tone curve on a sheet with a save arrow.
QImage SaveThemeIcon()
{
    QImage img = Blank(32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(3.5, 3.5, 22, 25), 2, 2);
    QLinearGradient band(5, 0, 24, 0);
    band.setColorAt(0, kRed);
    band.setColorAt(0.5, kGreen);
    band.setColorAt(1, kBlue);
    p.fillRect(QRectF(6, 22, 17, 3), band);
    p.setPen(QPen(kBlue, 1.8));
    QPainterPath s(QPointF(6, 19));
    s.cubicTo(QPointF(13, 19), QPointF(12, 7), QPointF(23, 7));
    p.drawPath(s);
    p.setPen(QPen(kGreen, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(26, 15), QPointF(26, 28));
    p.drawLine(QPointF(22, 24), QPointF(26, 28));
    p.drawLine(QPointF(30, 24), QPointF(26, 28));
    return img;
}

} // namespace

int WriteAdjustPictures(const std::string& res)
{
    int failed = 0;
    failed += !Save(CurveIcon(false), res + "icon/201.png");
    failed += !Save(CurveIcon(true), res + "icon/202.png");
    failed += !Save(Dropper(16), res + "icon/203.png");
    failed += !Save(Dropper(32), res + "cursor/204.png", "1,30");
    failed += !Save(Marker(), res + "icon/205.png");
    failed += !Save(SaveThemeIcon(), res + "icon/257.png");
    return failed;
}
