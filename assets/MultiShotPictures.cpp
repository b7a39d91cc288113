#include "MultiShotPictures.h"
#include "FaceOverMask.h"
#include "IconColours.h"

#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <functional>

namespace {

using namespace iconcolours;
constexpr int kSize = 96;

QPen Ink(qreal width)
{
    return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A small landscape photo: sky, sun and hills, lit by brightness (0..1).
void Photo(QPainter& p, const QRectF& r, qreal brightness)
{
    auto lit = [brightness](const QColor& c) {
        return QColor::fromRgbF(std::min(1.0, c.redF() * brightness), std::min(1.0, c.greenF() * brightness),
                                std::min(1.0, c.blueF() * brightness));
    };
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, lit(QColor(120, 180, 245)));
    sky.setColorAt(1, lit(QColor(210, 230, 250)));
    p.setPen(Ink(2.5));
    p.setBrush(sky);
    p.drawRoundedRect(r, 3, 3);
    p.save();
    p.setClipRect(r.adjusted(1.5, 1.5, -1.5, -1.5));
    p.setPen(Qt::NoPen);
    p.setBrush(lit(QColor(250, 200, 60)));
    p.drawEllipse(QPointF(r.left() + r.width() * 0.72, r.top() + r.height() * 0.3), r.width() * 0.1, r.width() * 0.1);
    QPainterPath hills;
    hills.moveTo(r.left(), r.bottom());
    hills.lineTo(r.left(), r.top() + r.height() * 0.7);
    hills.quadTo(r.left() + r.width() * 0.3, r.top() + r.height() * 0.4, r.left() + r.width() * 0.55,
                 r.top() + r.height() * 0.68);
    hills.quadTo(r.left() + r.width() * 0.8, r.top() + r.height() * 0.5, r.right(), r.top() + r.height() * 0.65);
    hills.lineTo(r.right(), r.bottom());
    hills.closeSubpath();
    p.setBrush(lit(kGreen));
    p.drawPath(hills);
    p.restore();
}

// Noise reduction: four frames of one scene stacked.
void StackedFrames(QPainter& p)
{
    for (int i = 3; i >= 0; --i) {
        const qreal o = 6 + i * 8;
        if (i > 0) {
            p.setPen(Ink(2.5));
            p.setBrush(kPaper);
            p.drawRoundedRect(QRectF(o, 24 - i * 6 + 6, 56, 44), 3, 3);
        } else {
            Photo(p, QRectF(o, 30, 56, 44), 1.0);
        }
    }
    // The merged, clean result.
    p.setPen(QPen(kBlue, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(68, 82), QPointF(88, 82));
    p.drawLine(QPointF(82, 76), QPointF(88, 82));
    p.drawLine(QPointF(82, 88), QPointF(88, 82));
}

// Anti-shake: a camera held in a hand, shake lines stilled.
void SteadiedHand(QPainter& p)
{
    // Camera body, lens and shutter button.
    p.setPen(Ink(2.5));
    p.setBrush(QColor(80, 90, 106));
    p.drawRoundedRect(QRectF(18, 24, 60, 38), 6, 6);
    p.setBrush(QColor(200, 210, 224));
    p.drawRect(QRectF(28, 18, 16, 7));
    p.setBrush(kInk);
    p.drawEllipse(QPointF(48, 43), 14, 14);
    p.setBrush(kBlue);
    p.drawEllipse(QPointF(48, 43), 8, 8);
    p.setBrush(kOrange);
    p.drawRect(QRectF(64, 20, 8, 5));
    // The hand below.
    QPainterPath hand;
    hand.moveTo(20, 62);
    hand.cubicTo(14, 74, 22, 88, 40, 90);
    hand.lineTo(70, 90);
    hand.cubicTo(80, 88, 82, 76, 76, 62);
    hand.closeSubpath();
    p.setBrush(QColor(240, 196, 160));
    p.drawPath(hand);
    p.setPen(Ink(1.5));
    for (int x : {36, 48, 60})
        p.drawLine(QPointF(x, 64), QPointF(x, 76));
    // Shake marks, crossed out by a steady bar.
    p.setPen(QPen(kRed, 2.5, Qt::SolidLine, Qt::RoundCap));
    for (int y : {30, 44})
        p.drawArc(QRectF(4, y - 6, 10, 12), 90 * 16, 180 * 16), p.drawArc(QRectF(82, y - 6, 10, 12), -90 * 16, 180 * 16);
    p.setPen(QPen(kGreen, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 8), QPointF(86, 8));
}

// HDR: three bracketed exposures fanned out, dark to bright.
void BracketedExposures(QPainter& p)
{
    Photo(p, QRectF(4, 8, 48, 36), 0.45);
    Photo(p, QRectF(24, 30, 48, 36), 0.8);
    Photo(p, QRectF(44, 52, 48, 36), 1.25);
}

}  // namespace

int WriteMultiShotPictures(const std::string& skin)
{
    int failed = 0;
    failed += !SaveDrawnFace(kSize, StackedFrames, skin + "multinr.bmp");
    failed += !SaveDrawnFace(kSize, SteadiedHand, skin + "multias.bmp");
    failed += !SaveDrawnFace(kSize, BracketedExposures, skin + "multihdr.bmp");
    return failed;
}
