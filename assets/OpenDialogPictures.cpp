#include "OpenDialogPictures.h"
#include "IconColours.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <filesystem>

namespace {

using namespace iconcolours;

const QColor kFolder(240, 190, 80);
const QColor kFolderDark(214, 158, 52);

QImage Blank()
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
}

bool Save(const QImage& img, const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    return img.save(QString::fromStdString(path), "PNG");
}

QPen Ink(qreal width)
{
    return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A closed folder filling most of the 32-pixel box.
void BigFolder(QPainter& p, const QRectF& r)
{
    p.setPen(Ink(1.2));
    p.setBrush(kFolderDark);
    QPainterPath back;
    back.moveTo(r.left(), r.top());
    back.lineTo(r.left() + r.width() * 0.38, r.top());
    back.lineTo(r.left() + r.width() * 0.48, r.top() + 3);
    back.lineTo(r.right(), r.top() + 3);
    back.lineTo(r.right(), r.bottom());
    back.lineTo(r.left(), r.bottom());
    back.closeSubpath();
    p.drawPath(back);
    QLinearGradient face(r.topLeft(), r.bottomLeft());
    face.setColorAt(0, kFolder.lighter(112));
    face.setColorAt(1, kFolder);
    p.setBrush(face);
    p.drawRect(QRectF(r.left(), r.top() + 6, r.width(), r.height() - 6));
}

// A thick arrow from its tail to its head.
void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour)
{
    p.setPen(QPen(colour.darker(130), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(colour);
    const QLineF line(from, to);
    const qreal length = line.length();
    p.save();
    p.translate(from);
    p.rotate(-line.angle());
    QPainterPath shape;
    shape.moveTo(0, -2.5);
    shape.lineTo(length - 8, -2.5);
    shape.lineTo(length - 8, -7);
    shape.lineTo(length, 0);
    shape.lineTo(length - 8, 7);
    shape.lineTo(length - 8, 2.5);
    shape.lineTo(0, 2.5);
    shape.closeSubpath();
    p.drawPath(shape);
    p.restore();
}

// Up: a folder with an arrow rising out of it.
QImage UpIcon()
{
    QImage img = Blank();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    BigFolder(p, QRectF(2.5, 12.5, 27, 17));
    Arrow(p, QPointF(16, 25), QPointF(16, 2), kGreen);
    return img;
}

// Back: an arrow pointing left.
QImage BackIcon()
{
    QImage img = Blank();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    Arrow(p, QPointF(28, 16), QPointF(4, 16), kBlue);
    return img;
}

// The view button: a grid of four small photos.
QImage ViewIcon()
{
    QImage img = Blank();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 2; ++col) {
            const QRectF cell(3.5 + col * 14, 4.5 + row * 13, 11, 10);
            p.setPen(Ink(1));
            QLinearGradient sky(cell.topLeft(), cell.bottomLeft());
            sky.setColorAt(0, QColor(120, 180, 245));
            sky.setColorAt(1, QColor(210, 230, 250));
            p.setBrush(sky);
            p.drawRect(cell);
            p.setPen(Qt::NoPen);
            p.setBrush(kGreen);
            const QPointF hill[] = {cell.bottomLeft(), {cell.left() + 4, cell.top() + 5}, {cell.right(), cell.bottom()}};
            p.drawPolygon(hill, 3);
        }
    return img;
}

} // namespace

void DrawHomeCell(QPainter& p)
{
    p.setPen(Ink(1));
    p.setBrush(kOrange);
    const QPointF roof[] = {{0.5, 8}, {8, 1.5}, {15.5, 8}};
    p.drawPolygon(roof, 3);
    p.setBrush(kPaper);
    p.drawRect(QRectF(2.5, 8, 11, 6.5));
    p.setBrush(kBlue);
    p.drawRect(QRectF(6.5, 10, 3, 4.5));
}

int WriteOpenDialogPictures(const std::string& res)
{
    int failed = 0;
    failed += !Save(UpIcon(), res + "icon/287.png");
    failed += !Save(BackIcon(), res + "icon/290.png");
    failed += !Save(ViewIcon(), res + "icon/291.png");
    return failed;
}
