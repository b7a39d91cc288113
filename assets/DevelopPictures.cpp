#include "DevelopPictures.h"
#include "PictureFiles.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <functional>

namespace {

const QColor kBack(0x40, 0x40, 0x40);
const QColor kLight(0xDC, 0xDC, 0xDC);
const QColor kAccent(0xE0, 0x9A, 0x3A); // amber, the program's one colour

QImage Drawn(int w, int h, const std::function<void(QPainter&)>& draw, bool transparent = true)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(transparent ? QColor(Qt::transparent) : kBack);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return img;
}

// Three faces of 100 x 20, stacked: disabled, hot, normal.
QImage ButtonFaces()
{
    QImage img(100, 60, QImage::Format_RGB32);
    QPainter p(&img);
    const QColor tops[3] = {QColor(0x70, 0x70, 0x70), QColor(0xF4, 0xD8, 0xA8), QColor(0xD8, 0xD8, 0xD8)};
    const QColor bottoms[3] = {QColor(0x58, 0x58, 0x58), QColor(0xD8, 0x98, 0x40), QColor(0x98, 0x98, 0x98)};
    for (int i = 0; i < 3; ++i) {
        QLinearGradient g(0, 20 * i, 0, 20 * i + 20);
        g.setColorAt(0, tops[i]);
        g.setColorAt(1, bottoms[i]);
        p.fillRect(0, 20 * i, 100, 20, g);
        p.setPen(QColor(255, 255, 255, i == 0 ? 30 : 110));
        p.drawLine(1, 20 * i + 1, 98, 20 * i + 1);
    }
    return img;
}

// Eight rows of 16 x 16: disabled then enabled; each half check box
// checked, unchecked, option checked, unchecked.
QImage CheckRows()
{
    QImage img(16, 128, QImage::Format_RGB32);
    img.fill(kBack);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (int row = 0; row < 8; ++row) {
        const bool enabled = row >= 4;
        const bool option = (row & 2) != 0;
        const bool checked = (row & 1) == 0;
        const double y = 16.0 * row;
        const QColor edge = enabled ? QColor(0xC0, 0xC0, 0xC0) : QColor(0x70, 0x70, 0x70);
        const QColor mark = enabled ? kAccent : QColor(0x80, 0x80, 0x80);
        QLinearGradient g(0, y + 2, 0, y + 14);
        g.setColorAt(0, enabled ? QColor(0x30, 0x30, 0x30) : QColor(0x48, 0x48, 0x48));
        g.setColorAt(1, enabled ? QColor(0x5A, 0x5A, 0x5A) : QColor(0x50, 0x50, 0x50));
        p.setPen(QPen(edge, 1));
        p.setBrush(g);
        if (option) {
            p.drawEllipse(QRectF(2.5, y + 2.5, 11, 11));
            if (checked) {
                p.setPen(Qt::NoPen);
                p.setBrush(mark);
                p.drawEllipse(QRectF(5, y + 5, 6, 6));
            }
        } else {
            p.drawRoundedRect(QRectF(2.5, y + 2.5, 11, 11), 2, 2);
            if (checked) {
                p.setPen(QPen(mark, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                p.setBrush(Qt::NoBrush);
                p.drawPolyline(QPolygonF{{4.5, y + 8}, {7, y + 10.8}, {11.5, y + 5}});
            }
        }
    }
    return img;
}

// An aperture of six blades.
void Aperture(QPainter& p, QPointF c, double r, const QColor& blade)
{
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), r * 0.06));
    p.setBrush(QColor(0x28, 0x28, 0x28));
    p.drawEllipse(c, r, r);
    for (int i = 0; i < 6; ++i) {
        const double a = i * M_PI / 3;
        QPainterPath path;
        path.moveTo(c + QPointF(std::cos(a), std::sin(a)) * r * 0.95);
        path.lineTo(c + QPointF(std::cos(a + 1.2), std::sin(a + 1.2)) * r * 0.95);
        path.lineTo(c + QPointF(std::cos(a + 0.9), std::sin(a + 0.9)) * r * 0.35);
        path.closeSubpath();
        p.setBrush(i % 2 ? blade : blade.darker(125));
        p.drawPath(path);
    }
}

QImage Logo()
{
    return Drawn(
        240, 180,
        [](QPainter& p) {
            QRadialGradient glow(120, 90, 110);
            glow.setColorAt(0, QColor(0x60, 0x60, 0x60));
            glow.setColorAt(1, kBack);
            p.fillRect(0, 0, 240, 180, glow);
            Aperture(p, QPointF(120, 80), 52, kAccent);
            // A film strip under it.
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x20, 0x20, 0x20));
            p.drawRect(QRectF(40, 145, 160, 22));
            p.setBrush(kLight);
            for (int i = 0; i < 10; ++i) {
                p.drawRect(QRectF(44 + 16 * i, 147, 8, 4));
                p.drawRect(QRectF(44 + 16 * i, 161, 8, 4));
            }
        },
        false);
}

// A colour-filter mosaic and the three ways of filling it in.
QImage InterpolateDemo()
{
    constexpr int kCell = 10, kN = 8;
    QImage img(300, 300, QImage::Format_RGB32);
    img.fill(kBack);
    QPainter p(&img);
    const auto scene = [](int x, int y) {
        return QColor(std::min(255, 60 + x * 24), std::min(255, 40 + y * 26), std::min(255, 200 - x * 10 - y * 8));
    };
    const auto drawGrid = [&](int ox, int oy, int method) {
        for (int y = 0; y < kN; ++y)
            for (int x = 0; x < kN; ++x) {
                QColor c = scene(x, y);
                if (method == 0) {  // the raw mosaic: one colour a cell
                    const bool red = y % 2 == 0 && x % 2 == 0, blue = y % 2 == 1 && x % 2 == 1;
                    c = red ? QColor(c.red(), 0, 0) : blue ? QColor(0, 0, c.blue()) : QColor(0, c.green(), 0);
                } else if (method == 1) {  // basic: blocky
                    c = scene(x & ~1, y & ~1);
                } else if (method == 2) {  // normal: softened
                    c = scene(x, y).darker(108);
                }
                p.fillRect(ox + x * kCell, oy + y * kCell, kCell - (method == 0 ? 1 : 0), kCell - (method == 0 ? 1 : 0),
                           c);
            }
        p.setPen(QColor(0x90, 0x90, 0x90));
        p.setBrush(Qt::NoBrush);
        p.drawRect(ox - 1, oy - 1, kN * kCell + 1, kN * kCell + 1);
    };
    drawGrid(20, 20, 0);
    drawGrid(200, 20, 1);
    drawGrid(200, 110, 2);
    drawGrid(200, 200, 3);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kAccent, 2));
    for (int i = 0; i < 3; ++i) {
        const QPointF from(104, 60), to(192, 60 + 90 * i);
        p.drawLine(from, to);
        p.drawLine(to, to + QPointF(-7, -3 + (i ? -2 : 0)));
        p.drawLine(to, to + QPointF(-5, 5));
    }
    // One, two and three marks: basic, normal, best.
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k <= i; ++k)
            p.drawEllipse(QPointF(290, 60 + 90 * i + 10 * k - 5 * i), 3, 3);
    return img;
}

QImage ProgramIcon()
{
    return Drawn(32, 32, [](QPainter& p) {
        p.setBrush(QColor(0x30, 0x30, 0x30));
        p.setPen(QPen(kLight, 1.2));
        p.drawRoundedRect(QRectF(2, 7, 28, 20), 3, 3);
        p.drawRect(QRectF(11, 4, 10, 4));
        Aperture(p, QPointF(16, 17), 7.5, kAccent);
    });
}

// The size grip's dotted corner.
QImage GripIcon()
{
    return Drawn(32, 32, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x90, 0x90, 0x90));
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j <= i; ++j)
                p.drawRect(QRectF(27 - 5 * j, 27 - 5 * (i - j), 2.5, 2.5));
    });
}

QImage Glyph(const std::function<void(QPainter&)>& draw)
{
    return Drawn(16, 16, [&](QPainter& p) {
        p.setPen(QPen(QColor(0x20, 0x20, 0x20), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        draw(p);
    });
}

QImage Arrow(bool right)
{
    return Drawn(16, 16, [right](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kLight);
        const double s = right ? 1 : -1;
        p.drawPolygon(QPolygonF{{8 - 3 * s, 3.5}, {8 + 3.5 * s, 8}, {8 - 3 * s, 12.5}});
    });
}

QImage Magnifier(int kind)
{
    return Glyph([kind](QPainter& p) {
        p.drawEllipse(QRectF(2, 2, 8.5, 8.5));
        p.drawLine(QPointF(9.5, 9.5), QPointF(14, 14));
        if (kind <= 1)
            p.drawLine(QPointF(4, 6.25), QPointF(8.5, 6.25));
        if (kind == 0)
            p.drawLine(QPointF(6.25, 4), QPointF(6.25, 8.5));
    });
}

QImage Cursor(bool hand)
{
    return Drawn(32, 32, [hand](QPainter& p) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        if (hand) {  // a pointing finger
            QPainterPath path;
            path.moveTo(6, 1);
            path.lineTo(9, 1);
            path.lineTo(9, 9);
            path.lineTo(15, 10);
            path.lineTo(16, 19);
            path.lineTo(7, 19);
            path.lineTo(3, 12);
            path.lineTo(6, 11);
            path.closeSubpath();
            p.drawPath(path);
        } else {  // four arrows for panning
            for (int i = 0; i < 4; ++i) {
                p.save();
                p.translate(10, 10);
                p.rotate(90 * i);
                p.drawPolygon(QPolygonF{{0, -9}, {4, -4}, {1.5, -4}, {1.5, 0}, {-1.5, 0}, {-1.5, -4}, {-4, -4}});
                p.restore();
            }
        }
    });
}

} // namespace

int WriteDevelopPictures(const std::string& res, const std::string& rawFolder)
{
    const std::string tree = res + "develop/";
    int failed = 0;
    failed += !SaveOpaqueBmp(ButtonFaces(), rawFolder + "button.bmp");
    failed += !SaveOpaqueBmp(CheckRows(), rawFolder + "check.bmp");
    failed += !SaveOpaqueBmp(Logo(), rawFolder + "logo.bmp");
    failed += !SaveOpaqueBmp(InterpolateDemo(), rawFolder + "interpolatedemo.bmp");
    failed += !SavePng(ProgramIcon(), tree + "icon/128.png");
    failed += !SavePng(GripIcon(), tree + "icon/129.png");
    failed += !SavePng(Glyph([](QPainter& p) { p.drawLine(QPointF(4, 12), QPointF(12, 12)); }), tree + "icon/131.png");
    failed += !SavePng(Glyph([](QPainter& p) { p.drawRect(QRectF(3.5, 3.5, 9, 9)); }), tree + "icon/132.png");
    failed += !SavePng(Glyph([](QPainter& p) {
                           p.drawLine(QPointF(4, 4), QPointF(12, 12));
                           p.drawLine(QPointF(12, 4), QPointF(4, 12));
                       }),
                       tree + "icon/133.png");
    failed += !SavePng(Glyph([](QPainter& p) {
                           p.drawRect(QRectF(3.5, 6.5, 7, 6));
                           p.drawPolyline(QPolygonF{{6, 6.5}, {6, 3.5}, {12.5, 3.5}, {12.5, 9.5}, {10.5, 9.5}});
                       }),
                       tree + "icon/134.png");
    failed += !SavePng(Glyph([](QPainter& p) {  // a folder
                           p.setBrush(kAccent);
                           p.drawPolygon(QPolygonF{{1.5, 4}, {6, 4}, {7.5, 5.5}, {14.5, 5.5}, {14.5, 13}, {1.5, 13}});
                       }),
                       tree + "icon/135.png");
    failed += !SavePng(Arrow(false), tree + "icon/138.png");
    failed += !SavePng(Arrow(true), tree + "icon/139.png");
    failed += !SavePng(Glyph([](QPainter& p) {  // a disk
                           p.setBrush(QColor(0x50, 0x70, 0xA0));
                           p.drawRect(QRectF(2.5, 2.5, 11, 11));
                           p.setBrush(kLight);
                           p.drawRect(QRectF(5, 2.5, 6, 4));
                       }),
                       tree + "icon/140.png");
    for (int i = 0; i < 3; ++i)
        failed += !SavePng(Magnifier(i), tree + "icon/" + std::to_string(141 + i) + ".png");
    failed += !SavePng(Glyph([](QPainter& p) {  // fit: four corners
                           p.drawPolyline(QPolygonF{{2, 6}, {2, 2}, {6, 2}});
                           p.drawPolyline(QPolygonF{{10, 2}, {14, 2}, {14, 6}});
                           p.drawPolyline(QPolygonF{{14, 10}, {14, 14}, {10, 14}});
                           p.drawPolyline(QPolygonF{{6, 14}, {2, 14}, {2, 10}});
                       }),
                       tree + "icon/144.png");
    failed += !SavePng(Glyph([](QPainter& p) {  // a stack of files
                           p.setBrush(kLight);
                           for (int i = 2; i >= 0; --i)
                               p.drawRect(QRectF(2.5 + 2 * i, 5.5 - 2 * i, 8, 9));
                       }),
                       tree + "icon/145.png");
    failed += !SavePng(Glyph([](QPainter& p) {  // add
                           p.drawLine(QPointF(8, 3), QPointF(8, 13));
                           p.drawLine(QPointF(3, 8), QPointF(13, 8));
                       }),
                       tree + "icon/146.png");
    failed += !SavePng(Glyph([](QPainter& p) { p.drawLine(QPointF(3, 8), QPointF(13, 8)); }), tree + "icon/147.png");
    // The list's scroll buttons sit on a light grey strip: dark arrows.
    failed += !SavePng(Glyph([](QPainter& p) {  // scroll up
                           p.setBrush(QColor(0x40, 0x40, 0x40));
                           p.drawPolygon(QPolygonF{{3.5, 11}, {8, 5}, {12.5, 11}});
                       }),
                       tree + "icon/148.png");
    failed += !SavePng(Glyph([](QPainter& p) {  // scroll down
                           p.setBrush(QColor(0x40, 0x40, 0x40));
                           p.drawPolygon(QPolygonF{{3.5, 5}, {8, 11}, {12.5, 5}});
                       }),
                       tree + "icon/149.png");
    failed += !SavePng(Cursor(true), tree + "cursor/130.png");
    failed += !SavePng(Cursor(false), tree + "cursor/137.png");
    return failed;
}
