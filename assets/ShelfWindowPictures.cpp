#include "ShelfWindowPictures.h"
#include "FaceOverMask.h"
#include "IconColours.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <filesystem>

namespace {

using namespace iconcolours;

// The command bar is dark: its faces draw in light strokes.
const QColor kLight(236, 238, 242);

QPen LightPen(double width = 1.8) { return QPen(kLight, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

void Folder(QPainter& p, double x, double y, double w, double h, const QColor& fill)
{
    QPainterPath path;
    path.moveTo(x, y + h * 0.15);
    path.lineTo(x + w * 0.35, y + h * 0.15);
    path.lineTo(x + w * 0.45, y + h * 0.3);
    path.lineTo(x + w, y + h * 0.3);
    path.lineTo(x + w, y + h);
    path.lineTo(x, y + h);
    path.closeSubpath();
    p.setBrush(fill);
    p.drawPath(path);
}

void UpFolder(QPainter& p)
{
    p.setPen(LightPen(1.4));
    Folder(p, 4.5, 8.5, 21, 16, QColor(240, 200, 90));
    p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(15, 22), QPointF(15, 14));
    p.drawPolyline(QPolygonF({{11.5, 17.5}, {15, 13.5}, {18.5, 17.5}}));
}

void Eye(QPainter& p)
{
    p.setPen(LightPen());
    QPainterPath lid;
    lid.moveTo(4, 15);
    lid.quadTo(15, 4, 26, 15);
    lid.quadTo(15, 26, 4, 15);
    p.setBrush(Qt::NoBrush);
    p.drawPath(lid);
    p.setBrush(kBlue);
    p.drawEllipse(QPointF(15, 15), 4.2, 4.2);
}

void Pencil(QPainter& p)
{
    p.setPen(LightPen(1.4));
    p.setBrush(kOrange);
    const QPointF body[] = {{20, 5}, {25, 10}, {11, 24}, {6, 19}};
    p.drawPolygon(body, 4);
    p.setBrush(kLight);
    const QPointF tip[] = {{6, 19}, {11, 24}, {4.5, 25.5}};
    p.drawPolygon(tip, 3);
}

void Batch(QPainter& p)
{
    p.setPen(LightPen(1.3));
    for (int i = 2; i >= 0; --i) {
        p.setBrush(i == 0 ? QColor(200, 224, 250) : QColor(150, 160, 175));
        p.drawRect(QRectF(5.5 + i * 3, 9.5 - i * 3, 15, 12));
    }
    p.setPen(QPen(kGreen, 2));
    p.drawLine(QPointF(8, 18), QPointF(12, 14));
    p.drawLine(QPointF(12, 14), QPointF(15, 17));
}

void Printer(QPainter& p)
{
    p.setPen(LightPen(1.4));
    p.setBrush(kPaper);
    p.drawRect(QRectF(9.5, 4.5, 11, 8));
    p.setBrush(QColor(150, 160, 175));
    p.drawRoundedRect(QRectF(4.5, 11.5, 21, 10), 2, 2);
    p.setBrush(kPaper);
    p.drawRect(QRectF(9.5, 18.5, 11, 7));
}

void Bin(QPainter& p)
{
    p.setPen(LightPen(1.5));
    p.setBrush(kRed);
    const QPointF can[] = {{8, 9}, {22, 9}, {20.5, 25}, {9.5, 25}};
    p.drawPolygon(can, 4);
    p.drawLine(QPointF(6, 8), QPointF(24, 8));
    p.drawLine(QPointF(12.5, 8), QPointF(13, 5.5));
    p.drawLine(QPointF(13, 5.5), QPointF(17, 5.5));
    p.drawLine(QPointF(17, 5.5), QPointF(17.5, 8));
}

void Slides(QPainter& p)
{
    p.setPen(LightPen(1.4));
    p.setBrush(QColor(200, 224, 250));
    p.drawRect(QRectF(4.5, 6.5, 21, 15));
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    const QPointF play[] = {{12, 10}, {20, 14}, {12, 18}};
    p.drawPolygon(play, 3);
    p.setPen(LightPen(1.4));
    p.drawLine(QPointF(15, 21.5), QPointF(15, 26));
    p.drawLine(QPointF(10, 26), QPointF(20, 26));
}

void RawFilm(QPainter& p)
{
    p.setPen(LightPen(1.3));
    p.setBrush(QColor(70, 70, 80));
    p.drawRect(QRectF(4.5, 7.5, 21, 15));
    p.setBrush(kLight);
    for (int i = 0; i < 5; ++i) {
        p.drawRect(QRectF(6 + i * 4, 8.5, 2, 2));
        p.drawRect(QRectF(6 + i * 4, 19.5, 2, 2));
    }
    // A small aperture: the sensor's own picture.
    p.setPen(QPen(kOrange, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(15, 15), 3.5, 3.5);
    p.drawLine(QPointF(12, 13.5), QPointF(17, 12));
    p.drawLine(QPointF(18, 14), QPointF(16, 18.5));
}

void SortLines(QPainter& p)
{
    p.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(5, 7 + i * 5), QPointF(9 + i * 3, 7 + i * 5));
    p.drawLine(QPointF(21, 6), QPointF(21, 23));
    p.drawPolyline(QPolygonF({{17.5, 19.5}, {21, 23}, {24.5, 19.5}}));
}

void Grid(QPainter& p)
{
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kBlue);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            p.drawRect(QRectF(5.5 + x * 10, 5.5 + y * 10, 8, 8));
}

void Lens(QPainter& p)
{
    p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(QColor(200, 224, 250));
    p.drawEllipse(QPointF(12.5, 12.5), 6.5, 6.5);
    p.drawLine(QPointF(17.5, 17.5), QPointF(24, 24));
}

void Arrow(QPainter& p, bool back)
{
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kGreen);
    QPainterPath a;
    a.moveTo(4, 12);
    a.lineTo(12, 4);
    a.lineTo(12, 8.5);
    a.lineTo(20, 8.5);
    a.lineTo(20, 15.5);
    a.lineTo(12, 15.5);
    a.lineTo(12, 20);
    a.closeSubpath();
    if (!back) {
        p.translate(24, 0);
        p.scale(-1, 1);
    }
    p.drawPath(a);
}

// The import button: a camera on the left, the rest left for the caption.
QImage ImportFace()
{
    QImage ink(125, 30, QImage::Format_ARGB32_Premultiplied);
    ink.fill(Qt::transparent);
    QPainter p(&ink);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 60, 120), 1));
    p.setBrush(QColor(52, 100, 180));
    p.drawRoundedRect(QRectF(0.5, 2.5, 124, 25), 6, 6);
    p.setPen(LightPen(1.3));
    p.setBrush(QColor(90, 100, 115));
    p.drawRoundedRect(QRectF(6.5, 9.5, 18, 12), 2, 2);
    p.drawRect(QRectF(11.5, 7.5, 6, 2));
    p.setBrush(kLight);
    p.drawEllipse(QPointF(15.5, 15.5), 3.5, 3.5);
    return ink;
}

void Camera(QPainter& p)
{
    p.scale(150.0 / 30, 150.0 / 30);
    p.setPen(QPen(kInk, 0.8));
    p.setBrush(QColor(90, 100, 115));
    p.drawRoundedRect(QRectF(3.5, 9.5, 23, 15), 2, 2);
    p.drawRect(QRectF(10.5, 6.5, 8, 3));
    p.setBrush(QColor(200, 224, 250));
    p.drawEllipse(QPointF(15, 17), 5, 5);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(15, 17), 2.2, 2.2);
    p.setBrush(kOrange);
    p.drawRect(QRectF(21.5, 11.5, 3, 2));
}

void Disk(QPainter& p)
{
    p.scale(150.0 / 30, 150.0 / 30);
    p.setPen(QPen(kInk, 0.8));
    Folder(p, 3.5, 5.5, 23, 19, QColor(240, 200, 90));
    p.setBrush(QColor(200, 224, 250));
    p.drawRect(QRectF(9.5, 12.5, 12, 9));
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    const QPointF hills[] = {{10, 21}, {14, 16}, {17, 19}, {21, 15}, {21, 21}};
    p.drawPolygon(hills, 5);
}

// Four 16 x 16 pictures on the mask green: folder, open folder, two years.
QImage TreeImages()
{
    QImage img(64, 16, QImage::Format_ARGB32);
    img.fill(QColor(0, 255, 0));
    QPainter p(&img);
    p.setPen(QPen(QColor(150, 110, 30), 1));
    Folder(p, 1.5, 2.5, 13, 11, QColor(240, 200, 90));
    p.translate(16, 0);
    Folder(p, 1.5, 2.5, 13, 11, QColor(240, 200, 90));
    p.setBrush(QColor(250, 225, 140));
    const QPointF flap[] = {{3.5, 7.5}, {15.5, 7.5}, {13.5, 13.5}, {1.5, 13.5}};
    p.drawPolygon(flap, 4);
    const QColor years[2] = {QColor(52, 120, 226), QColor(46, 160, 90)};
    for (int i = 0; i < 2; ++i) {
        p.translate(16, 0);
        p.setPen(QPen(kInk, 1));
        p.setBrush(kPaper);
        p.drawRect(QRectF(1.5, 2.5, 12, 11));
        p.setBrush(years[i]);
        p.drawRect(QRectF(1.5, 2.5, 12, 3));
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 3; ++c)
                p.drawRect(QRectF(3 + c * 3.5, 7 + r * 3, 2, 2));
    }
    return img;
}

// The tips window's icon: a lit bulb.
QImage TipIcon()
{
    QImage img(32, 32, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(255, 226, 110));
    QPainterPath bulb;
    bulb.moveTo(12, 21.5);
    bulb.cubicTo(12, 17, 7, 15, 7, 10.5);
    bulb.cubicTo(7, 5.5, 11, 2.5, 16, 2.5);
    bulb.cubicTo(21, 2.5, 25, 5.5, 25, 10.5);
    bulb.cubicTo(25, 15, 20, 17, 20, 21.5);
    bulb.closeSubpath();
    p.drawPath(bulb);
    p.setBrush(QColor(170, 176, 186));
    p.drawRect(QRectF(12, 21.5, 8, 6));
    p.drawLine(QPointF(12, 24.5), QPointF(20, 24.5));
    p.setBrush(kInk);
    p.drawRect(QRectF(14, 27.5, 4, 2));
    p.setPen(QPen(kOrange, 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(14, 19), QPointF(14, 12));
    p.drawLine(QPointF(18, 19), QPointF(18, 12));
    p.drawLine(QPointF(14, 12), QPointF(18, 12));
    return img;
}

bool SavePng(const QImage& picture, const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    return picture.save(QString::fromStdString(path), "PNG");
}

} // namespace

int WriteShelfWindowPictures(const std::string& res, const std::string& skin)
{
    int failed = 0;
    const std::pair<const char*, void (*)(QPainter&)> faces[] = {
        {"upfolder.bmp", UpFolder}, {"view.bmp", Eye},     {"edit.bmp", Pencil},     {"bat.bmp", Batch},
        {"print.bmp", Printer},     {"delete.bmp", Bin},   {"slider.bmp", Slides},   {"importraw.bmp", RawFilm},
    };
    for (const auto& [file, draw] : faces)
        failed += !SaveDrawnFace(30, draw, skin + file);
    // The menu buttons and the pane's arrows sit on light faces.
    failed += !SaveDrawnFace(28, SortLines, skin + "sort.bmp");
    failed += !SaveDrawnFace(28, Grid, skin + "listmode.bmp");
    failed += !SaveDrawnFace(28, Lens, skin + "search.bmp");
    failed += !SaveDrawnFace(24, [](QPainter& p) { Arrow(p, true); }, skin + "folder_back.bmp");
    failed += !SaveDrawnFace(24, [](QPainter& p) { Arrow(p, false); }, skin + "folder_forward.bmp");
    failed += !SaveFaceOverMask(ImportFace(), skin + "import.bmp");
    failed += !SaveDrawnFace(150, Camera, skin + "fromcamera.bmp");
    failed += !SaveDrawnFace(150, Disk, skin + "fromdisk.bmp");
    failed += !SavePng(TreeImages(), res + "shelf/bitmap/132.png");
    failed += !SavePng(TipIcon(), res + "shelf/icon/174.png");
    return failed;
}
