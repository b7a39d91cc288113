#include "GlancePictures.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <filesystem>
#include <functional>

namespace {

bool SavePng(const QImage& picture, const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    return picture.convertToFormat(QImage::Format_ARGB32).save(QString::fromStdString(path), "PNG");
}

QImage Canvas(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
}

const QColor kGlyph(52, 60, 70);

// A face: the glyph drawn by paint on a transparent 25 x 25 (or wider) canvas.
QImage Face(int w, const std::function<void(QPainter&)>& paint)
{
    QImage img = Canvas(w, 25);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p);
    return img;
}

void Triangle(QPainter& p, bool left)
{
    QPainterPath path;
    if (left) {
        path.moveTo(16, 6);
        path.lineTo(7, 12.5);
        path.lineTo(16, 19);
    } else {
        path.moveTo(9, 6);
        path.lineTo(18, 12.5);
        path.lineTo(9, 19);
    }
    path.closeSubpath();
    p.fillPath(path, kGlyph);
}

void Lens(QPainter& p, bool plus)
{
    p.setPen(QPen(kGlyph, 2));
    p.drawEllipse(QRectF(4, 4, 12, 12));
    p.drawLine(QPointF(14.5, 14.5), QPointF(21, 21));
    p.drawLine(QPointF(7, 10), QPointF(13, 10));
    if (plus)
        p.drawLine(QPointF(10, 7), QPointF(10, 13));
}

QImage ViewerBar()
{
    // The buttons sit 22 pixels below the bar's top.
    // Opaque on the band's grey: the bar is drawn without blending.
    QImage img(360, 52, QImage::Format_ARGB32);
    img.fill(QColor(240, 240, 240));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 52);
    g.setColorAt(0, QColor(252, 252, 253));
    g.setColorAt(1, QColor(226, 229, 233));
    p.setPen(QColor(190, 194, 200));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.5, 0.5, 359, 51), 8, 8);
    // White wells under the buttons, whose faces blend over white.
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(8, 20, 56, 30), 4, 4);
    p.drawRoundedRect(QRectF(85, 20, 123, 30), 4, 4);
    p.drawRoundedRect(QRectF(277, 20, 66, 30), 4, 4);
    return img;
}

QImage TitleButton(int kind)
{
    QImage img = Canvas(16, 16);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 44, 50), 1.6));
    if (kind == 0) {
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
    } else if (kind == 1) {
        p.drawRect(QRectF(3.5, 3.5, 9, 9));
        p.drawLine(QPointF(3.5, 5), QPointF(12.5, 5));
    } else {
        p.drawRect(QRectF(5.5, 2.5, 8, 7));
        p.setBrush(QColor(220, 222, 226));
        p.drawRect(QRectF(2.5, 6.5, 8, 7));
    }
    return img;
}

// The program's icon: a photo frame with a lens, dark and calm.
QImage ProgramIcon(int size)
{
    QImage img = Canvas(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(QPen(QColor(30, 34, 40), 1));
    p.setBrush(QColor(70, 78, 90));
    p.drawRoundedRect(QRectF(2.5, 5.5, 27, 21), 3, 3);
    QLinearGradient sky(0, 8, 0, 24);
    sky.setColorAt(0, QColor(120, 170, 220));
    sky.setColorAt(1, QColor(200, 225, 245));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRect(QRectF(5, 8, 22, 16));
    QPainterPath hill;
    hill.moveTo(5, 24);
    hill.lineTo(12, 15);
    hill.lineTo(18, 21);
    hill.lineTo(22, 17);
    hill.lineTo(27, 24);
    hill.closeSubpath();
    p.fillPath(hill, QColor(70, 120, 80));
    p.setBrush(QColor(250, 220, 110));
    p.drawEllipse(QRectF(20, 10, 4, 4));
    return img;
}

QImage SizeGrip()
{
    QImage img = Canvas(32, 32);
    QPainter p(&img);
    p.setPen(QPen(QColor(150, 150, 150), 1));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(31 - 4 * (i + 1), 31), QPointF(31, 31 - 4 * (i + 1)));
    return img;
}

QImage PatternTile()
{
    QImage img(8, 8, QImage::Format_ARGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            img.setPixel(x, y, ((x + y) % 4 == 0) ? qRgb(72, 72, 74) : qRgb(66, 66, 68));
    return img;
}

} // namespace

int WriteGlancePictures(const std::string& res, const std::string& skin)
{
    const std::string tree = res + "glance/";
    int failed = 0;
    const auto save = [&](const QImage& img, const std::string& path) { failed += SavePng(img, path) ? 0 : 1; };
    save(ViewerBar(), skin + "viewerbar.png");
    save(Face(25, [](QPainter& p) { Triangle(p, true); }), skin + "qlv_prev.png");
    save(Face(25, [](QPainter& p) { Triangle(p, false); }), skin + "qlv_next.png");
    save(Face(25, [](QPainter& p) { Lens(p, true); }), skin + "qlv_zoomin.png");
    save(Face(25, [](QPainter& p) { Lens(p, false); }), skin + "qlv_zoomout.png");
    save(Face(25,
              [](QPainter& p) {
                  p.setPen(QPen(kGlyph, 1.8));
                  p.drawRect(QRectF(5, 6, 15, 13));
                  p.drawLine(QPointF(8, 9), QPointF(11, 9));
                  p.drawLine(QPointF(8, 9), QPointF(8, 12));
                  p.drawLine(QPointF(17, 16), QPointF(14, 16));
                  p.drawLine(QPointF(17, 16), QPointF(17, 13));
              }),
         skin + "qlv_zoom_fit.png");
    save(Face(25,
              [](QPainter& p) {
                  // "1:1" in strokes: the generator has no fonts.
                  p.setPen(QPen(kGlyph, 2));
                  p.drawLine(QPointF(7, 7), QPointF(7, 18));
                  p.drawLine(QPointF(18, 7), QPointF(18, 18));
                  p.drawLine(QPointF(5, 9), QPointF(7, 7));
                  p.drawLine(QPointF(16, 9), QPointF(18, 7));
                  p.setBrush(kGlyph);
                  p.drawEllipse(QRectF(11.5, 9, 2, 2));
                  p.drawEllipse(QRectF(11.5, 15, 2, 2));
              }),
         skin + "qlv_zoom_realsize.png");
    save(Face(60,
              [](QPainter& p) {
                  p.setPen(QPen(kGlyph, 1.2));
                  p.setBrush(QColor(236, 239, 243));
                  p.drawRoundedRect(QRectF(1.5, 2.5, 57, 20), 4, 4);
                  // A pencil over a photo: edit in the editor.
                  p.setBrush(Qt::NoBrush);
                  p.drawRect(QRectF(14.5, 7.5, 16, 11));
                  p.drawLine(QPointF(16, 17), QPointF(21, 12));
                  p.drawLine(QPointF(21, 12), QPointF(24, 15));
                  p.drawLine(QPointF(24, 15), QPointF(29, 10));
                  QPainterPath pencil;
                  pencil.moveTo(33, 19);
                  pencil.lineTo(34, 15);
                  pencil.lineTo(43, 6);
                  pencil.lineTo(46, 9);
                  pencil.lineTo(37, 18);
                  pencil.closeSubpath();
                  p.setBrush(QColor(230, 170, 60));
                  p.drawPath(pencil);
              }),
         skin + "qlv_edit.png");
    save(TitleButton(0), skin + "close.png");
    save(TitleButton(1), skin + "max.png");
    save(TitleButton(2), skin + "restore.png");
    save(ProgramIcon(48), skin + "quillo-glance.png");
    save(ProgramIcon(32), tree + "icon/128.png");
    save(ProgramIcon(16), tree + "icon/138.png");
    save(SizeGrip(), tree + "icon/137.png");
    save(PatternTile(), tree + "bitmap/136.png");
    // The suite's hand, written before as the editor's cursor 131.
    const QImage hand(QString::fromStdString(res + "cursor/131.png"));
    if (hand.isNull())
        failed += 2;
    else {
        save(hand, tree + "cursor/129.png");
        save(hand, tree + "cursor/130.png");
    }
    return failed;
}
