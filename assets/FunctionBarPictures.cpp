#include "FunctionBarPictures.h"
#include "IconColours.h"

#include "imagecore/QLImage.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

using namespace iconcolours;

// Every group picture is drawn on a 56-unit square and scaled to its size.
constexpr double kUnits = 56;
constexpr double kPi = 3.14159265358979;
const QColor kSky(170, 210, 250);
const QColor kWood(176, 112, 60);

QPen InkPen(double width)
{
    return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A small landscape: sky, a green hill and a sun.
void Landscape(QPainter& p, const QRectF& r)
{
    p.setPen(InkPen(2.4));
    p.setBrush(kSky);
    p.drawRect(r);
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawPolygon(QPolygonF{{r.left() + 1, r.bottom() - 1},
                            {r.left() + r.width() * 0.35, r.top() + r.height() * 0.45},
                            {r.left() + r.width() * 0.6, r.top() + r.height() * 0.7},
                            {r.left() + r.width() * 0.75, r.top() + r.height() * 0.55},
                            {r.right() - 1, r.bottom() - 1}});
    p.setBrush(kOrange);
    p.drawEllipse(QPointF(r.right() - r.width() * 0.22, r.top() + r.height() * 0.25), r.width() * 0.09,
                  r.width() * 0.09);
}

// A photo turned a little, with an arrow turning it.
void Transform(QPainter& p)
{
    p.save();
    p.translate(28, 30);
    p.rotate(-14);
    Landscape(p, QRectF(-19, -13, 38, 26));
    p.restore();
    QPainterPath arc;
    arc.arcMoveTo(QRectF(6, 4, 44, 46), 20);
    arc.arcTo(QRectF(6, 4, 44, 46), 20, 80);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kBlue, 3.6, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(arc);
    const QPointF tip = arc.pointAtPercent(1.0);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPolygon(QPolygonF{tip + QPointF(-6, -2), tip + QPointF(5, -6), tip + QPointF(3, 6)});
}

// A sun, half in shadow.
void Exposure(QPainter& p)
{
    const QPointF c(28, 28);
    p.setPen(QPen(kOrange, 3.4, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 12; ++i) {
        const double a = i * kPi / 6;
        p.drawLine(c + QPointF(17 * std::cos(a), 17 * std::sin(a)), c + QPointF(25 * std::cos(a), 25 * std::sin(a)));
    }
    const QRectF disc(c.x() - 13, c.y() - 13, 26, 26);
    p.setPen(InkPen(2.4));
    p.setBrush(kPaper);
    p.drawEllipse(disc);
    p.setPen(Qt::NoPen);
    p.setBrush(kOrange);
    p.drawPie(disc.adjusted(1.5, 1.5, -1.5, -1.5), 90 * 16, 180 * 16);
}

// Three overlapping discs of the primaries, mixing over a white backing so
// the whole picture is opaque.
void Color(QPainter& p)
{
    const QColor discs[3] = {QColor(230, 70, 70, 200), QColor(60, 180, 90, 200), QColor(60, 120, 230, 200)};
    const QPointF centres[3] = {{28, 19}, {19, 35}, {37, 35}};
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    for (const QPointF& c : centres)
        p.drawEllipse(c, 14, 14);
    p.setPen(InkPen(2.0));
    for (int i = 0; i < 3; ++i) {
        p.setBrush(discs[i]);
        p.drawEllipse(centres[i], 14, 14);
    }
}

QPolygonF Star(QPointF c, double outer, double inner)
{
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double a = i * kPi / 5, r = i % 2 ? inner : outer;
        star << c + QPointF(r * std::sin(a), -r * std::cos(a));
    }
    return star;
}

// A wand with sparkles.
void Enhance(QPainter& p)
{
    p.setPen(QPen(kInk, 6.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 48), QPointF(33, 25));
    p.setPen(QPen(kPaper, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(29, 29), QPointF(33, 25));
    p.setPen(InkPen(1.6));
    p.setBrush(kOrange);
    p.drawPolygon(Star(QPointF(39, 17), 13, 5.5));
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPolygon(Star(QPointF(16, 14), 6, 2.5));
    p.drawPolygon(Star(QPointF(47, 40), 5, 2));
}

// A picture in a wooden frame.
void Frame(QPainter& p)
{
    p.setPen(InkPen(2.4));
    p.setBrush(kWood);
    p.drawRect(QRectF(5, 8, 46, 40));
    p.setBrush(QColor(222, 170, 110));
    p.drawRect(QRectF(10, 13, 36, 30));
    Landscape(p, QRectF(14, 17, 28, 22));
}

// Two speech bubbles.
void Forum(QPainter& p)
{
    auto bubble = [&p](const QRectF& r, const QColor& fill, bool tailLeft) {
        QPainterPath path;
        path.addRoundedRect(r, 7, 7);
        const double x = tailLeft ? r.left() + 9 : r.right() - 9;
        QPolygonF tail{{x - 4, r.bottom() - 1}, {x + (tailLeft ? -6 : 6), r.bottom() + 8}, {x + 4, r.bottom() - 1}};
        path.addPolygon(tail);
        p.setPen(InkPen(2.2));
        p.setBrush(fill);
        p.drawPath(path.simplified());
    };
    bubble(QRectF(4, 6, 34, 24), kBlue, true);
    bubble(QRectF(20, 22, 32, 22), kGreen, false);
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(QPointF(28 + 8 * i, 33), 2.2, 2.2);
}

// A globe: the web's menu.
void Globe(QPainter& p)
{
    const QRectF r(6, 6, 44, 44);
    p.setPen(InkPen(2.6));
    p.setBrush(kSky);
    p.drawEllipse(r);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kBlue, 3.0));
    p.drawEllipse(QRectF(18, 7, 20, 42));
    p.drawLine(QPointF(28, 7), QPointF(28, 49));
    p.drawLine(QPointF(7, 28), QPointF(49, 28));
    p.drawLine(QPointF(11, 17), QPointF(45, 17));
    p.drawLine(QPointF(11, 39), QPointF(45, 39));
    p.setPen(InkPen(2.6));
    p.drawEllipse(r);
}

// Two chevrons pointing left (-1) or right (1), centred with a margin.
void Chevrons(QPainter& p, double w, double h, int direction)
{
    p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const double depth = h * 0.35;
    const double gap = std::min(w - 4 - depth, depth + 2);
    const double start = (w - depth - gap) / 2;
    for (double back : {start, start + gap}) {
        const double tip = back + depth;
        const double b = direction > 0 ? back : w - back, t = direction > 0 ? tip : w - tip;
        p.drawPolyline(QPolygonF{{b, 2}, {t, h / 2}, {b, h - 2}});
    }
}

// The menu strip beside a group picture: a slim rail with a pointer.
void MenuStrip(QPainter& p, double w, double h)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 206, 216));
    p.drawRoundedRect(QRectF(w / 2 - 1.5, 4, 3, h - 8), 1.5, 1.5);
    p.setBrush(kBlue);
    p.setPen(InkPen(1.0));
    p.drawPolygon(QPolygonF{{2, h / 2 - 6}, {w - 1.5, h / 2}, {2, h / 2 + 6}});
}

// The picture in the top half, its coverage as grey in the bottom half.
// Hidden pixels take the ink's colour, so soft edges blend toward it.
bool SaveFace(int w, int h, void (*draw)(QPainter&, double, double), const std::string& path)
{
    QImage ink(w, h, QImage::Format_ARGB32_Premultiplied);
    ink.fill(Qt::transparent);
    {
        QPainter p(&ink);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p, w, h);
    }
    const QImage straight = ink.convertToFormat(QImage::Format_ARGB32);
    CQLImage out;
    if (out.Create(static_cast<UINT>(w), static_cast<UINT>(2 * h)) != 0)
        return false;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb c = straight.pixel(x, y);
            const BYTE a = static_cast<BYTE>(qAlpha(c));
            const QRgb shown = a > 24 ? c : kInk.rgb();
            out.PutPixel(x, y, CPixel{static_cast<BYTE>(qBlue(shown)), static_cast<BYTE>(qGreen(shown)),
                                      static_cast<BYTE>(qRed(shown)), 255});
            out.PutPixel(x, h + y, CPixel{a, a, a, 255});
        }
    return out.SaveToFile(path.c_str()) == 0;
}

template <void (*Draw)(QPainter&)>
void Scaled(QPainter& p, double w, double)
{
    p.scale(w / kUnits, w / kUnits);
    Draw(p);
}

}  // namespace

int WriteFunctionBarPictures(const std::string& skin)
{
    struct Face {
        const char* name;
        int w, h;
        void (*draw)(QPainter&, double, double);
    };
    const Face faces[] = {
        {"transform.bmp", 56, 56, Scaled<Transform>},
        {"exposure.bmp", 56, 56, Scaled<Exposure>},
        {"color.bmp", 56, 56, Scaled<Color>},
        {"enhance.bmp", 56, 56, Scaled<Enhance>},
        {"frame.bmp", 56, 56, Scaled<Frame>},
        {"onlineforum.bmp", 56, 56, Scaled<Forum>},
        {"func_trans.bmp", 24, 24, Scaled<Transform>},
        {"func_expo.bmp", 24, 24, Scaled<Exposure>},
        {"func_color.bmp", 24, 24, Scaled<Color>},
        {"func_filter.bmp", 24, 24, Scaled<Enhance>},
        {"func_frame.bmp", 24, 24, Scaled<Frame>},
        {"func_net.bmp", 24, 24, Scaled<Globe>},
        {"menubut.bmp", 13, 80, MenuStrip},
        {"morebut.bmp", 14, 13, [](QPainter& p, double w, double h) { Chevrons(p, w, h, 1); }},
        {"left.bmp", 24, 14, [](QPainter& p, double w, double h) { Chevrons(p, w, h, -1); }},
        {"func_right.bmp", 20, 20, [](QPainter& p, double w, double h) { Chevrons(p, w, h, 1); }},
    };
    int failed = 0;
    for (const Face& f : faces)
        failed += !SaveFace(f.w, f.h, f.draw, skin + f.name);
    return failed;
}
