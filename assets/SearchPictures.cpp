#include "SearchPictures.h"
#include "IconColours.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <filesystem>

namespace {

using namespace iconcolours;

const QColor kGreenMask(0, 255, 0);

bool Save(const QImage& picture, const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    return picture.save(QString::fromStdString(path), "PNG");
}

// A magnifying glass of radius r at (x, y), handle to the lower right.
void Magnifier(QPainter& p, qreal x, qreal y, qreal r, qreal pen)
{
    p.setPen(QPen(kInk, pen, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(QColor(220, 235, 255, 200));
    p.drawEllipse(QPointF(x, y), r, r);
    p.setPen(QPen(kOrange.darker(130), pen * 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(x + r * 0.75, y + r * 0.75), QPointF(x + r * 1.8, y + r * 1.8));
}

// One 16 x 16 icon of the bar's lines, in their order.
void DrawLineIcon(QPainter& p, int index)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::NoBrush);
    switch (index) {
    case 0: // size: a frame with corner arrows
        p.drawRect(QRectF(2.5, 3.5, 11, 9));
        p.drawLine(QPointF(4.5, 5.5), QPointF(11.5, 10.5));
        break;
    case 1: // date and time: a clock
        p.setBrush(kPaper);
        p.drawEllipse(QPointF(8, 8), 6, 6);
        p.drawLine(QPointF(8, 8), QPointF(8, 4));
        p.drawLine(QPointF(8, 8), QPointF(11, 9));
        break;
    case 2: // camera model: a camera
        p.setBrush(QColor(120, 130, 145));
        p.drawRoundedRect(QRectF(1.5, 5.5, 13, 8), 1.5, 1.5);
        p.drawRect(QRectF(5.5, 3.5, 4, 2));
        p.setBrush(kPaper);
        p.drawEllipse(QPointF(8, 9.5), 2.5, 2.5);
        break;
    case 3: // exposure time: a stopwatch
        p.setBrush(kPaper);
        p.drawEllipse(QPointF(8, 9), 5.5, 5.5);
        p.drawLine(QPointF(8, 2), QPointF(8, 3.5));
        p.drawLine(QPointF(8, 9), QPointF(10.5, 6.5));
        break;
    case 4: { // F-number: an aperture
        p.setBrush(QColor(200, 210, 225));
        p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
        p.setBrush(kInk);
        p.drawEllipse(QPointF(8, 8), 2.5, 2.5);
        break;
    }
    case 5: // focus distance: a double arrow
        p.drawLine(QPointF(2, 8), QPointF(14, 8));
        p.drawLine(QPointF(2, 8), QPointF(5, 5));
        p.drawLine(QPointF(2, 8), QPointF(5, 11));
        p.drawLine(QPointF(14, 8), QPointF(11, 5));
        p.drawLine(QPointF(14, 8), QPointF(11, 11));
        break;
    case 6: // focal length: a lens barrel
        p.setBrush(QColor(150, 160, 175));
        p.drawRect(QRectF(2.5, 5.5, 8, 6));
        p.drawRect(QRectF(10.5, 4.5, 3, 8));
        break;
    case 7: { // flash: a bolt
        QPainterPath bolt;
        bolt.moveTo(9.5, 1.5);
        bolt.lineTo(4, 9);
        bolt.lineTo(8, 9);
        bolt.lineTo(6.5, 14.5);
        bolt.lineTo(12, 7);
        bolt.lineTo(8, 7);
        bolt.closeSubpath();
        p.setBrush(QColor(250, 200, 40));
        p.drawPath(bolt);
        break;
    }
    case 8: // exposure bias: plus and minus
        p.setPen(QPen(kInk, 1.5));
        p.drawLine(QPointF(2, 5), QPointF(8, 5));
        p.drawLine(QPointF(5, 2), QPointF(5, 8));
        p.drawLine(QPointF(9, 12), QPointF(14, 12));
        p.setPen(QPen(kInk, 1));
        p.drawLine(QPointF(13, 2), QPointF(3, 14));
        break;
    case 9: // ISO: a film frame
        p.setBrush(QColor(90, 90, 100));
        p.drawRect(QRectF(3.5, 1.5, 9, 13));
        p.setBrush(kPaper);
        p.drawRect(QRectF(5.5, 4.5, 5, 7));
        break;
    case 10: { // file size: a sheet
        p.setBrush(kPaper);
        const QPointF sheet[] = {{3.5, 1.5}, {10.5, 1.5}, {13.5, 4.5}, {13.5, 14.5}, {3.5, 14.5}};
        p.drawPolygon(sheet, 5);
        p.drawLine(QPointF(5.5, 7.5), QPointF(11.5, 7.5));
        p.drawLine(QPointF(5.5, 10.5), QPointF(11.5, 10.5));
        break;
    }
    case 11: // tags: a label
        p.setBrush(QColor(250, 220, 120));
        {
            const QPointF tag[] = {{1.5, 8}, {6, 3.5}, {14.5, 3.5}, {14.5, 12.5}, {6, 12.5}};
            p.drawPolygon(tag, 5);
        }
        p.drawEllipse(QPointF(6, 8), 1.2, 1.2);
        break;
    default: break;
    }
}

// The order of the bar's icon indexes: size 0, date 1, model 2, exposure 3,
// F-number 4, distance 5, focal length 6, flash 7, bias 8, ISO 9, tags 10,
// file size 11.
constexpr int kIconFace[12] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 10};

QImage LineIcons()
{
    QImage strip(16 * 12, 16, QImage::Format_RGB32);
    strip.fill(kGreenMask);
    QPainter p(&strip);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < 12; ++i) {
        p.save();
        p.translate(16 * i, 0);
        DrawLineIcon(p, kIconFace[i]);
        p.restore();
    }
    return strip;
}

QImage SearchIcon()
{
    QImage img(32, 32, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawRect(QRectF(2.5, 4.5, 20, 16));
    p.setBrush(QColor(120, 180, 120));
    const QPointF hills[] = {{3, 20}, {9, 12}, {14, 17}, {17, 14}, {22, 20}};
    p.drawPolygon(hills, 5);
    Magnifier(p, 18, 17, 7, 2);
    return img;
}

QImage GoToPicture()
{
    QImage img(32, 32, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(245, 205, 100));
    QPainterPath folder;
    folder.moveTo(3.5, 9.5);
    folder.lineTo(11.5, 9.5);
    folder.lineTo(14.5, 12.5);
    folder.lineTo(28.5, 12.5);
    folder.lineTo(28.5, 27.5);
    folder.lineTo(3.5, 27.5);
    folder.closeSubpath();
    p.drawPath(folder);
    QPainterPath arrow;
    arrow.moveTo(8, 2);
    arrow.lineTo(18, 2);
    arrow.lineTo(18, 0.5);
    arrow.lineTo(23, 6);
    arrow.lineTo(18, 11.5);
    arrow.lineTo(18, 10);
    arrow.lineTo(8, 10);
    arrow.closeSubpath();
    p.setPen(QPen(kBlue.darker(150), 1));
    p.setBrush(kBlue);
    p.translate(4, 10);
    p.drawPath(arrow);
    return img;
}

} // namespace

int WriteSearchPictures(const std::string& res)
{
    const std::string dir = res + "shelf/";
    int failed = 0;
    failed += !Save(LineIcons(), dir + "bitmap/145.png");
    failed += !Save(SearchIcon(), dir + "icon/199.png");
    failed += !Save(GoToPicture(), dir + "icon/203.png");
    return failed;
}
