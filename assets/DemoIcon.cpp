#include "DemoIcon.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <filesystem>

namespace {

// 48 x 48, drawn on a 48-unit grid: a rounded blue sky, a green hill, a
// warm sun and a light frame, readable down to the 16-pixel title bar size.
QImage DemoIcon()
{
    constexpr int kSize = 48;
    QImage img(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF frame(2.5, 6.5, 43, 35);
    p.setPen(QPen(QColor(40, 52, 70), 2));
    p.setBrush(QColor(250, 250, 247));
    p.drawRoundedRect(frame, 5, 5);

    const QRectF photo = frame.adjusted(4, 4, -4, -4);
    QPainterPath clip;
    clip.addRoundedRect(photo, 2, 2);
    p.setClipPath(clip);
    p.fillRect(photo, QColor(92, 156, 222));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 196, 64));
    p.drawEllipse(QPointF(photo.right() - 9, photo.top() + 8), 4.5, 4.5);
    QPainterPath hill;
    hill.moveTo(photo.left(), photo.bottom());
    hill.lineTo(photo.left(), photo.bottom() - 8);
    hill.cubicTo(photo.left() + 10, photo.bottom() - 20, photo.left() + 18, photo.bottom() - 16,
                 photo.left() + 24, photo.bottom() - 10);
    hill.cubicTo(photo.left() + 28, photo.bottom() - 14, photo.right() - 4, photo.bottom() - 12, photo.right(),
                 photo.bottom() - 6);
    hill.lineTo(photo.right(), photo.bottom());
    hill.closeSubpath();
    p.setBrush(QColor(62, 142, 72));
    p.drawPath(hill);
    p.end();
    return img;
}

} // namespace

int WriteDemoIcon(const std::string& res)
{
    const std::string dir = res + "demo/icon";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    const std::string path = dir + "/128.png";
    if (DemoIcon().save(QString::fromStdString(path), "PNG"))
        return 0;
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return 1;
}
