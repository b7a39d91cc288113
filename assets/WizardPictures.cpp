#include "WizardPictures.h"
#include "FaceOverMask.h"
#include "IconColours.h"

#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <functional>
#include <random>

namespace {

using namespace iconcolours;
constexpr int kWidth = 128, kHeight = 96;
const QRectF kPhoto(8, 8, 112, 80);

QPen Ink(qreal width)
{
    return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QColor Scaled(const QColor& c, qreal k)
{
    return QColor::fromRgbF(std::clamp(c.redF() * k, 0.0, 1.0), std::clamp(c.greenF() * k, 0.0, 1.0),
                            std::clamp(c.blueF() * k, 0.0, 1.0));
}

// A landscape: sky, sun, hills; colours pass through tint.
void Landscape(QPainter& p, const QRectF& r, const std::function<QColor(QColor)>& tint)
{
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, tint(QColor(110, 170, 240)));
    sky.setColorAt(1, tint(QColor(205, 228, 250)));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRect(r);
    p.setBrush(tint(QColor(250, 200, 60)));
    p.drawEllipse(QPointF(r.left() + r.width() * 0.75, r.top() + r.height() * 0.28), r.height() * 0.12,
                  r.height() * 0.12);
    QPainterPath hills;
    hills.moveTo(r.left(), r.bottom());
    hills.lineTo(r.left(), r.top() + r.height() * 0.7);
    hills.quadTo(r.left() + r.width() * 0.3, r.top() + r.height() * 0.38, r.left() + r.width() * 0.55,
                 r.top() + r.height() * 0.68);
    hills.quadTo(r.left() + r.width() * 0.8, r.top() + r.height() * 0.5, r.right(), r.top() + r.height() * 0.62);
    hills.lineTo(r.right(), r.bottom());
    hills.closeSubpath();
    p.setBrush(tint(kGreen));
    p.drawPath(hills);
}

void Frame(QPainter& p, const QRectF& r)
{
    p.setPen(Ink(3));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r, 4, 4);
}

// The photo with its content clipped inside the frame.
void Photo(QPainter& p, const std::function<void(QPainter&, const QRectF&)>& content)
{
    p.save();
    QPainterPath clip;
    clip.addRoundedRect(kPhoto, 4, 4);
    p.setClipPath(clip);
    content(p, kPhoto);
    p.restore();
    Frame(p, kPhoto);
}

// A face: skin, hair and eyes.
void Face(QPainter& p, const QPointF& c, qreal s, const QColor& skin, const QColor& eye)
{
    p.setPen(Ink(2));
    p.setBrush(QColor(90, 60, 40));
    p.drawEllipse(c + QPointF(0, -s * 0.12), s * 0.62, s * 0.66);
    p.setBrush(skin);
    p.drawEllipse(c, s * 0.5, s * 0.58);
    for (qreal dx : {-0.2, 0.2}) {
        p.setPen(Ink(1.5));
        p.setBrush(Qt::white);
        p.drawEllipse(c + QPointF(dx * s, -s * 0.08), s * 0.11, s * 0.08);
        p.setPen(Qt::NoPen);
        p.setBrush(eye);
        p.drawEllipse(c + QPointF(dx * s, -s * 0.08), s * 0.06, s * 0.06);
    }
    p.setPen(Ink(2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - s * 0.18, c.y() + s * 0.08, s * 0.36, s * 0.22), 200 * 16, 140 * 16);
}

void DarkPhoto(QPainter& p)
{
    Photo(p, [](QPainter& q, const QRectF& r) { Landscape(q, r, [](QColor c) { return Scaled(c, 0.3); }); });
}

void ColourCast(QPainter& p)
{
    Photo(p, [](QPainter& q, const QRectF& r) {
        Landscape(q, r, [](QColor c) {
            return QColor::fromRgbF(std::min(1.0, c.redF() * 0.5 + 0.05), std::min(1.0, c.greenF() * 0.6 + 0.1),
                                    std::min(1.0, c.blueF() * 0.4 + 0.6));
        });
    });
}

void BentGrid(QPainter& p)
{
    Photo(p, [](QPainter& q, const QRectF& r) {
        q.fillRect(r, kPaper);
        q.setPen(QPen(kBlue, 2));
        q.setBrush(Qt::NoBrush);
        const QPointF c = r.center();
        for (int i = -3; i <= 3; ++i) {
            const qreal bow = i * 3.0;
            QPainterPath v, h;
            const qreal x = c.x() + i * 15;
            v.moveTo(x, r.top());
            v.quadTo(x + bow, c.y(), x, r.bottom());
            const qreal y = c.y() + i * 11;
            h.moveTo(r.left(), y);
            h.quadTo(c.x(), y + bow, r.right(), y);
            q.drawPath(v);
            q.drawPath(h);
        }
    });
}

void Noise(QPainter& p)
{
    Photo(p, [](QPainter& q, const QRectF& r) {
        Landscape(q, r, [](QColor c) { return Scaled(c, 0.8); });
        std::mt19937 rng(7);
        std::uniform_real_distribution<qreal> x(r.left(), r.right()), y(r.top(), r.bottom());
        std::uniform_int_distribution<int> k(0, 2);
        const QColor dots[3] = {QColor(255, 60, 60), QColor(60, 255, 80), QColor(255, 255, 255)};
        q.setPen(Qt::NoPen);
        for (int i = 0; i < 260; ++i) {
            q.setBrush(dots[k(rng)]);
            q.drawRect(QRectF(x(rng), y(rng), 2, 2));
        }
    });
}

void Fog(QPainter& p)
{
    Photo(p, [](QPainter& q, const QRectF& r) {
        Landscape(q, r, [](QColor c) {
            return QColor::fromRgbF(c.redF() * 0.35 + 0.6, c.greenF() * 0.35 + 0.6, c.blueF() * 0.35 + 0.6);
        });
    });
}

void DullColour(QPainter& p)
{
    Photo(p, [](QPainter& q, const QRectF& r) {
        Landscape(q, r, [](QColor c) {
            const qreal g = 0.3 * c.redF() + 0.59 * c.greenF() + 0.11 * c.blueF();
            return QColor::fromRgbF(g * 0.8 + c.redF() * 0.2, g * 0.8 + c.greenF() * 0.2, g * 0.8 + c.blueF() * 0.2);
        });
    });
}

void Portrait(QPainter& p)
{
    Photo(p, [](QPainter& q, const QRectF& r) {
        q.fillRect(r, QColor(200, 220, 240));
        Face(q, QPointF(r.center().x(), r.center().y() + 6), 60, QColor(240, 196, 160), QColor(70, 50, 40));
        // Blemishes on the cheeks.
        q.setPen(Qt::NoPen);
        q.setBrush(QColor(170, 90, 70));
        for (QPointF s : {QPointF(-14, 12), QPointF(12, 16), QPointF(-8, 20), QPointF(16, 6)})
            q.drawEllipse(QPointF(r.center().x(), r.center().y() + 6) + s, 2, 2);
    });
}

void RedEye(QPainter& p)
{
    Photo(p, [](QPainter& q, const QRectF& r) {
        q.fillRect(r, QColor(40, 40, 56));
        const QPointF c = r.center();
        for (qreal dx : {-26.0, 26.0}) {
            q.setPen(Ink(2));
            q.setBrush(Qt::white);
            q.drawEllipse(c + QPointF(dx, 0), 22, 15);
            q.setPen(Qt::NoPen);
            q.setBrush(QColor(90, 70, 50));
            q.drawEllipse(c + QPointF(dx, 0), 12, 12);
            QRadialGradient red(c + QPointF(dx, 0), 8);
            red.setColorAt(0, QColor(255, 60, 40));
            red.setColorAt(1, QColor(190, 20, 20));
            q.setBrush(red);
            q.drawEllipse(c + QPointF(dx, 0), 8, 8);
            q.setBrush(Qt::white);
            q.drawEllipse(c + QPointF(dx + 3, -3), 2, 2);
        }
    });
}

void PurpleFringe(QPainter& p)
{
    Photo(p, [](QPainter& q, const QRectF& r) {
        q.fillRect(r, QColor(235, 240, 250));
        // Dark branches against a bright sky, edged in purple.
        QPainterPath branch;
        branch.moveTo(r.left() + 10, r.bottom());
        branch.lineTo(r.left() + 50, r.top() + 30);
        branch.lineTo(r.right() - 10, r.top() + 12);
        branch.moveTo(r.left() + 50, r.top() + 30);
        branch.lineTo(r.left() + 70, r.bottom() - 8);
        q.setBrush(Qt::NoBrush);
        q.setPen(QPen(QColor(170, 60, 220), 12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        q.drawPath(branch);
        q.setPen(QPen(QColor(50, 40, 40), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        q.drawPath(branch);
    });
}

void UnwantedObject(QPainter& p)
{
    Photo(p, [](QPainter& q, const QRectF& r) {
        Landscape(q, r, [](QColor c) { return c; });
        // A pole across the view, crossed out.
        q.setPen(Qt::NoPen);
        q.setBrush(QColor(90, 90, 96));
        q.drawRect(QRectF(r.left() + 34, r.top() + 6, 8, r.height() - 6));
        q.drawRect(QRectF(r.left() + 22, r.top() + 10, 32, 4));
    });
    p.setPen(QPen(kRed, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(30, 20), QPointF(66, 76));
    p.drawLine(QPointF(66, 20), QPointF(30, 76));
}

void FaceShape(QPainter& p)
{
    Photo(p, [](QPainter& q, const QRectF& r) {
        q.fillRect(r, QColor(230, 220, 245));
        q.save();
        q.translate(r.center() + QPointF(0, 6));
        q.scale(1.3, 0.9);
        Face(q, QPointF(0, 0), 56, QColor(240, 196, 160), QColor(70, 50, 40));
        q.restore();
    });
    // Arrows pushing the cheeks in.
    p.setPen(QPen(kBlue, 4, Qt::SolidLine, Qt::RoundCap));
    for (int side : {-1, 1}) {
        const qreal x = 64 + side * 56;
        p.drawLine(QPointF(x, 52), QPointF(x - side * 12, 52));
        p.drawLine(QPointF(x - side * 12, 52), QPointF(x - side * 6, 46));
        p.drawLine(QPointF(x - side * 12, 52), QPointF(x - side * 6, 58));
    }
}

void SmallPhoto(QPainter& p)
{
    // A small photo with an arrow to its enlarged outline.
    const QRectF small(10, 50, 40, 30);
    p.save();
    p.setClipRect(small);
    Landscape(p, small, [](QColor c) { return c; });
    p.restore();
    Frame(p, small);
    p.setPen(QPen(kInk, 2, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(10, 8, 110, 80), 4, 4);
    p.setPen(QPen(kBlue, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(56, 44), QPointF(98, 20));
    p.drawLine(QPointF(98, 20), QPointF(84, 20));
    p.drawLine(QPointF(98, 20), QPointF(94, 33));
}

// The hover face: the picture lit and ringed in the highlight colour.
void Highlighted(QPainter& p, const std::function<void(QPainter&)>& draw)
{
    draw(p);
    p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    p.fillRect(QRectF(0, 0, kWidth, kHeight), QColor(255, 255, 255, 50));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    // The button blends through the idle face's mask: the ring stays on the frame.
    p.setPen(QPen(kOrange, 3));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(kPhoto, 4, 4);
}

bool SaveFace(const std::function<void(QPainter&)>& draw, const std::string& path)
{
    QImage ink(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    ink.fill(Qt::transparent);
    {
        QPainter p(&ink);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
    }
    return SaveFaceOverMask(ink, path);
}

}  // namespace

int WriteWizardPictures(const std::string& skin)
{
    struct Face {
        const char* name;
        void (*draw)(QPainter&);
    };
    const Face faces[] = {
        {"badexposure", DarkPhoto}, {"wrongcolor", ColourCast}, {"barrel", BentGrid},
        {"noise", Noise},           {"fog", Fog},               {"dullcolor", DullColour},
        {"portrait", Portrait},     {"redeye", RedEye},         {"purple", PurpleFringe},
        {"inpaint", UnwantedObject}, {"shape", FaceShape},      {"lowres", SmallPhoto},
    };
    int failed = 0;
    for (const Face& f : faces) {
        failed += !SaveFace(f.draw, skin + f.name + ".bmp");
        failed += !SaveFace([&](QPainter& p) { Highlighted(p, f.draw); }, skin + "p_" + f.name + ".bmp");
    }
    return failed;
}
