#include "FrameDialogPictures.h"
#include "IconColours.h"
#include "OpenDialogPictures.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <filesystem>

namespace {

using namespace iconcolours;

const QColor kFolder(240, 190, 80);
const QColor kFolderDark(214, 158, 52);
const QColor kMaskGreen(0, 255, 0);

QImage Blank(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
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

// A folder in a 16-unit box; open shows its front flap tilted.
void Folder(QPainter& p, bool open)
{
    p.setPen(Ink(1));
    p.setBrush(kFolderDark);
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6, 3.5);
    back.lineTo(7.5, 5);
    back.lineTo(14.5, 5);
    back.lineTo(14.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(kFolder);
    if (open) {
        const QPointF flap[] = {{3.5, 7.5}, {15.5, 7.5}, {13.5, 13.5}, {1.5, 13.5}};
        p.drawPolygon(flap, 4);
    } else {
        p.drawRect(QRectF(1.5, 6.5, 13, 7));
    }
}

// A photo in a frame: the template picture.
void FramedPhoto(QPainter& p, const QRectF& r, qreal border)
{
    p.setPen(Ink(1.2));
    QLinearGradient wood(r.topLeft(), r.bottomRight());
    wood.setColorAt(0, QColor(196, 146, 92));
    wood.setColorAt(1, QColor(150, 100, 56));
    p.setBrush(wood);
    p.drawRect(r);
    const QRectF photo = r.adjusted(border, border, -border, -border);
    QLinearGradient sky(photo.topLeft(), photo.bottomLeft());
    sky.setColorAt(0, QColor(120, 180, 245));
    sky.setColorAt(1, QColor(210, 230, 250));
    p.setBrush(sky);
    p.drawRect(photo);
    p.save();
    p.setClipRect(photo);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 200, 60));
    p.drawEllipse(QPointF(photo.right() - photo.width() * 0.28, photo.top() + photo.height() * 0.3),
                  photo.width() * 0.11, photo.width() * 0.11);
    QPainterPath hills;
    hills.moveTo(photo.left(), photo.bottom());
    hills.lineTo(photo.left(), photo.top() + photo.height() * 0.7);
    hills.quadTo(photo.left() + photo.width() * 0.35, photo.top() + photo.height() * 0.35,
                 photo.left() + photo.width() * 0.6, photo.top() + photo.height() * 0.7);
    hills.quadTo(photo.left() + photo.width() * 0.8, photo.top() + photo.height() * 0.55, photo.right(),
                 photo.top() + photo.height() * 0.68);
    hills.lineTo(photo.right(), photo.bottom());
    hills.closeSubpath();
    p.setBrush(kGreen);
    p.drawPath(hills);
    p.restore();
}

QImage FolderIcon()
{
    QImage img = Blank(32, 32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(2, 2);
    Folder(p, false);
    return img;
}

QImage TemplateIcon()
{
    QImage img = Blank(32, 32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    FramedPhoto(p, QRectF(3.5, 5.5, 25, 21), 4);
    return img;
}

// The frame button: a framed photo with a signature stroke across its foot.
QImage FrameButtonIcon()
{
    QImage img = Blank(32, 32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    FramedPhoto(p, QRectF(2.5, 3.5, 27, 22), 4);
    p.setPen(QPen(kBlue, 1.6, Qt::SolidLine, Qt::RoundCap));
    QPainterPath sign(QPointF(8, 29));
    sign.cubicTo(QPointF(11, 25), QPointF(13, 31), QPointF(16, 28));
    sign.cubicTo(QPointF(19, 25), QPointF(21, 30), QPointF(26, 28));
    p.drawPath(sign);
    return img;
}

// Repaint the picture in the editor: a photo with a brush over it.
QImage EditPictureIcon()
{
    QImage img = Blank(32, 32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    FramedPhoto(p, QRectF(2.5, 6.5, 22, 19), 3);
    p.translate(26, 6);
    p.rotate(40);
    p.setPen(Ink(1));
    p.setBrush(kOrange);
    p.drawRoundedRect(QRectF(-2, 0, 4, 14), 1.5, 1.5);
    p.setBrush(QColor(160, 168, 180));
    p.drawRect(QRectF(-2.5, 13, 5, 3));
    p.setBrush(kBlue);
    QPainterPath tip(QPointF(-2.5, 16));
    tip.lineTo(2.5, 16);
    tip.quadTo(2, 21, 0, 23);
    tip.quadTo(-2, 21, -2.5, 16);
    p.drawPath(tip);
    return img;
}

void Drive(QPainter& p, const QColor& face, bool light)
{
    p.setPen(Ink(1));
    p.setBrush(face);
    p.drawRoundedRect(QRectF(1.5, 5.5, 13, 6), 1.5, 1.5);
    if (light) {
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        p.drawEllipse(QPointF(12, 8.5), 1, 1);
    }
}

void Disc(QPainter& p)
{
    p.setPen(Ink(1));
    QRadialGradient shine(QPointF(6, 6), 8);
    shine.setColorAt(0, QColor(250, 250, 255));
    shine.setColorAt(1, QColor(170, 190, 225));
    p.setBrush(shine);
    p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8, 8), 1.8, 1.8);
}

// Cells of 16 on the green mask: fixed drive, CD-ROM drive, other drive,
// folder, open folder, home.
QImage LookInStrip()
{
    constexpr int kCells = 6;
    QImage img(16 * kCells, 16, QImage::Format_RGB32);
    img.fill(kMaskGreen);
    QPainter p(&img);
    const auto cell = [&p](int i, auto draw) {
        p.save();
        p.translate(16 * i, 0);
        draw();
        p.restore();
    };
    cell(0, [&] { Drive(p, QColor(200, 206, 216), true); });
    cell(1, [&] { Disc(p); });
    cell(2, [&] { Drive(p, QColor(160, 190, 235), false); });
    cell(3, [&] { Folder(p, false); });
    cell(4, [&] { Folder(p, true); });
    cell(5, [&] { DrawHomeCell(p); });
    return img;
}

} // namespace

int WriteFrameDialogPictures(const std::string& res)
{
    int failed = 0;
    failed += !Save(FolderIcon(), res + "icon/288.png");
    failed += !Save(TemplateIcon(), res + "icon/289.png");
    failed += !Save(FrameButtonIcon(), res + "icon/315.png");
    failed += !Save(EditPictureIcon(), res + "icon/319.png");
    failed += !Save(LookInStrip(), res + "bitmap/292.png");
    return failed;
}
