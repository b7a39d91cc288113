#include "ZoomViewPictures.h"
#include "IconColours.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <filesystem>

namespace {

using iconcolours::kInk;
const QColor& kAccent = iconcolours::kBlue;

QImage Blank(int size)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

bool Save(QImage img, const std::string& path, const char* hotSpot = nullptr)
{
    img = img.convertToFormat(QImage::Format_ARGB32);
    if (hotSpot)
        img.setText("HotSpot", hotSpot);
    return img.save(QString::fromStdString(path), "PNG");
}

// An open hand, palm toward the viewer: four fingers and a thumb.
QImage MoveCursor()
{
    QImage img = Blank(32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath hand;
    hand.setFillRule(Qt::WindingFill);
    hand.addRoundedRect(QRectF(8, 6, 4, 14), 2, 2);
    hand.addRoundedRect(QRectF(12, 4, 4, 16), 2, 2);
    hand.addRoundedRect(QRectF(16, 5, 4, 15), 2, 2);
    hand.addRoundedRect(QRectF(20, 8, 4, 12), 2, 2);
    QPainterPath thumb;
    thumb.moveTo(8.5, 18);
    thumb.lineTo(4, 13.5);
    thumb.cubicTo(2.8, 12, 4.6, 10.4, 6.2, 11.6);
    thumb.lineTo(9.5, 15);
    thumb.closeSubpath();
    hand.addPath(thumb);
    hand.addRoundedRect(QRectF(8, 14, 16, 13), 4.5, 4.5);
    p.setPen(QPen(Qt::black, 1.0));
    p.setBrush(Qt::white);
    p.drawPath(hand.simplified());
    return img;
}

QImage ZoomCursor(int sign)
{
    QImage img = Blank(32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 4.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(15.5, 15.5), QPointF(25, 25));
    p.setPen(QPen(Qt::black, 1.0));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(1.5, 1.5, 16, 16));
    p.setPen(QPen(kAccent, 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5.5, 9.5), QPointF(13.5, 9.5));
    if (sign > 0)
        p.drawLine(QPointF(9.5, 5.5), QPointF(9.5, 13.5));
    return img;
}

// Three diagonal grip lines in the bottom-right corner.
QImage GripIcon()
{
    QImage img = Blank(16);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 3; ++i) {
        const double o = 4.0 * i;
        p.setPen(QPen(Qt::white, 1.6));
        p.drawLine(QPointF(14.5 - o, 15), QPointF(15, 14.5 - o));
        p.setPen(QPen(kInk, 1.0));
        p.drawLine(QPointF(13.5 - o, 15), QPointF(15, 13.5 - o));
    }
    return img;
}

// A round badge with a white figure drawn by draw.
template <typename Draw>
QImage Badge(const QColor& fill, Draw draw)
{
    QImage img = Blank(16);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 1.0));
    p.setBrush(fill);
    p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    draw(p);
    return img;
}

// The preview button's "selected" mark: drawn 4 px left of and 8 px above its
// 20 x 20 mark square, so the badge sits on (4, 8)-(24, 28).
QImage SelectedMarkIcon()
{
    QImage img = Blank(32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(kAccent);
    p.drawEllipse(QRectF(4.5, 8.5, 19, 19));
    QPainterPath tick;
    tick.moveTo(9, 18.5);
    tick.lineTo(12.5, 22);
    tick.lineTo(19, 14);
    p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
    return img;
}

}  // namespace

int WriteZoomViewPictures(const std::string& res)
{
    std::error_code ec;
    std::filesystem::create_directories(res + "icon", ec);
    std::filesystem::create_directories(res + "cursor", ec);
    int failed = 0;
    failed += !Save(MoveCursor(), res + "cursor/136.png", "16,16");
    failed += !Save(ZoomCursor(1), res + "cursor/137.png", "9,9");
    failed += !Save(ZoomCursor(-1), res + "cursor/138.png", "9,9");
    failed += !Save(GripIcon(), res + "icon/164.png");
    failed += !Save(Badge(kInk,
                          [](QPainter& p) {
                              p.drawRoundedRect(QRectF(5, 7.5, 6, 4.5), 1, 1);
                              p.drawArc(QRectF(6, 3.5, 4, 6), 0, 180 * 16);
                          }),
                    res + "icon/165.png");
    failed += !Save(Badge(kAccent,
                          [](QPainter& p) {
                              QPainterPath tick;
                              tick.moveTo(4.5, 8.2);
                              tick.lineTo(7, 10.8);
                              tick.lineTo(11.5, 5.2);
                              p.drawPath(tick);
                          }),
                    res + "icon/166.png");
    failed += !Save(Badge(kInk,
                          [](QPainter& p) {
                              p.drawLine(QPointF(5, 4.5), QPointF(11, 4.5));
                              p.drawLine(QPointF(8, 4.5), QPointF(8, 11.5));
                          }),
                    res + "icon/170.png");
    failed += !Save(SelectedMarkIcon(), res + "icon/175.png");
    return failed;
}
