#include "ShelfListPictures.h"
#include "IconColours.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <filesystem>

namespace {

using namespace iconcolours;

bool SavePng(const QImage& picture, const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    return picture.save(QString::fromStdString(path), "PNG");
}

QImage Blank(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

// A sheet with a folded corner.
QImage FileIcon()
{
    QImage img = Blank(32, 32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kPaper);
    const QPointF sheet[] = {{7.5, 3.5}, {20.5, 3.5}, {25.5, 8.5}, {25.5, 29.5}, {7.5, 29.5}};
    p.drawPolygon(sheet, 5);
    p.drawPolyline(QPolygonF({{20.5, 3.5}, {20.5, 8.5}, {25.5, 8.5}}));
    return img;
}

// A manila folder.
QImage FolderIcon(int size)
{
    QImage img = Blank(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(QPen(QColor(150, 110, 30), 1.2));
    p.setBrush(QColor(240, 200, 90));
    QPainterPath path;
    path.moveTo(2.5, 7.5);
    path.lineTo(12.5, 7.5);
    path.lineTo(15.5, 10.5);
    path.lineTo(29.5, 10.5);
    path.lineTo(29.5, 27.5);
    path.lineTo(2.5, 27.5);
    path.closeSubpath();
    p.drawPath(path);
    p.setBrush(QColor(250, 220, 120));
    p.drawRect(QRectF(2.5, 13.5, 27, 14));
    return img;
}

// A small landscape laid over the file icon: this file is a photo.
QImage PhotoOverlay()
{
    QImage img = Blank(32, 32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(200, 224, 250));
    const QRectF frame(5.5, 2.5, 22, 16);
    p.drawRect(frame);
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    const QPointF hills[] = {{6, 18}, {13, 10}, {18, 14}, {21, 11}, {27, 18}};
    p.drawPolygon(hills, 5);
    p.setBrush(kOrange);
    p.drawEllipse(QPointF(22, 7), 2, 2);
    return img;
}

// A narrow blue tab: the photo has shooting data.
QImage ExifSign()
{
    QImage img(6, 15, QImage::Format_ARGB32);
    img.fill(kBlue);
    QPainter p(&img);
    p.setPen(kPaper);
    p.drawLine(2, 3, 3, 3);
    p.drawLine(2, 6, 3, 6);
    p.drawLine(2, 9, 3, 9);
    p.drawLine(2, 12, 3, 12);
    return img;
}

// A curved arrow on white: a link to a photo elsewhere.
QImage LinkSign()
{
    QImage img = Blank(16, 16);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawRect(QRectF(0.5, 0.5, 15, 15));
    p.setPen(QPen(kBlue, 2));
    QPainterPath arc;
    arc.moveTo(4, 13);
    arc.cubicTo(4, 7, 7, 5, 11, 5);
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    const QPointF head[] = {{9, 1.5}, {14, 5}, {9, 8.5}};
    p.drawPolygon(head, 3);
    return img;
}

} // namespace

int WriteShelfListPictures(const std::string& res, const std::string&)
{
    const std::string tree = res + "shelf/icon/";
    int failed = 0;
    failed += !SavePng(FileIcon(), tree + "133.png");
    failed += !SavePng(FolderIcon(32), tree + "157.png");
    failed += !SavePng(PhotoOverlay(), tree + "188.png");
    failed += !SavePng(FolderIcon(20), tree + "195.png");
    failed += !SavePng(ExifSign(), tree + "197.png");
    failed += !SavePng(LinkSign(), tree + "225.png");
    return failed;
}
