#include "BatchPictures.h"
#include "IconColours.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <filesystem>

namespace {

using namespace iconcolours;

QImage Blank()
{
    QImage img(32, 32, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

// A fat arrow pointing along angle (0 right, 90 down), in colour.
QImage Arrow(qreal angle, const QColor& colour)
{
    QImage img = Blank();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(16, 16);
    p.rotate(angle);
    QPainterPath path;
    path.moveTo(13, 0);
    path.lineTo(1, -11);
    path.lineTo(1, -5);
    path.lineTo(-12, -5);
    path.lineTo(-12, 5);
    path.lineTo(1, 5);
    path.lineTo(1, 11);
    path.closeSubpath();
    p.setPen(QPen(colour.darker(150), 1.2));
    p.setBrush(colour);
    p.drawPath(path);
    return img;
}

// A sheet with an arrow into it (load) or out of it (save).
QImage BatchFile(bool save)
{
    QImage img = Blank();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kPaper);
    const QPointF sheet[] = {{9.5, 3.5}, {21.5, 3.5}, {26.5, 8.5}, {26.5, 29.5}, {9.5, 29.5}};
    p.drawPolygon(sheet, 5);
    p.setPen(QPen(kInk, 1));
    for (int y = 12; y <= 24; y += 4)
        p.drawLine(QPointF(13, y), QPointF(23, y));
    p.end();
    QPainter over(&img);
    over.drawImage(QRectF(0, 12, 18, 18), Arrow(save ? 90 : 270, save ? kBlue : kGreen));
    return img;
}

bool Save(const QImage& picture, const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    return picture.save(QString::fromStdString(path), "PNG");
}

} // namespace

int WriteBatchPictures(const std::string& res)
{
    const std::string dir = res + "shelf/icon/";
    int failed = 0;
    failed += !Save(Arrow(270, kBlue), dir + "151.png");
    failed += !Save(Arrow(90, kBlue), dir + "152.png");
    failed += !Save(Arrow(180, kRed), dir + "153.png");
    failed += !Save(Arrow(0, kGreen), dir + "154.png");
    failed += !Save(BatchFile(false), dir + "220.png");
    failed += !Save(BatchFile(true), dir + "221.png");
    return failed;
}
