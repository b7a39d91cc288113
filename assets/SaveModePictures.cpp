#include "SaveModePictures.h"
#include "FaceOverMask.h"
#include "IconColours.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace {

using namespace iconcolours;
constexpr int kSize = 64;

QPen Ink(qreal width)
{
    return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A disk: body, shutter and label.
void Disk(QPainter& p, const QRectF& r, const QColor& body)
{
    QPainterPath outline;
    const qreal cut = r.width() * 0.18;
    outline.moveTo(r.left() + 3, r.top());
    outline.lineTo(r.right() - cut, r.top());
    outline.lineTo(r.right(), r.top() + cut);
    outline.lineTo(r.right(), r.bottom() - 3);
    outline.quadTo(r.right(), r.bottom(), r.right() - 3, r.bottom());
    outline.lineTo(r.left() + 3, r.bottom());
    outline.quadTo(r.left(), r.bottom(), r.left(), r.bottom() - 3);
    outline.lineTo(r.left(), r.top() + 3);
    outline.quadTo(r.left(), r.top(), r.left() + 3, r.top());
    p.setPen(Ink(2.5));
    p.setBrush(body);
    p.drawPath(outline);
    const qreal w = r.width(), h = r.height();
    p.setPen(Ink(1.5));
    p.setBrush(QColor(205, 212, 222));
    p.drawRect(QRectF(r.left() + w * 0.25, r.top(), w * 0.45, h * 0.3));
    p.setBrush(kInk);
    p.drawRect(QRectF(r.left() + w * 0.52, r.top() + h * 0.05, w * 0.1, h * 0.18));
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(r.left() + w * 0.16, r.top() + h * 0.5, w * 0.68, h * 0.42), 2, 2);
}

void SaveBack(QPainter& p)
{
    Disk(p, QRectF(4, 4, 46, 46), kBlue);
    // Back into the same file: a turning arrow.
    QPainterPath arc;
    arc.moveTo(58, 36);
    arc.cubicTo(60, 54, 44, 62, 32, 56);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kInk, 7, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(arc);
    p.setPen(QPen(kGreen, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(arc);
    p.setPen(Ink(1.5));
    p.setBrush(kGreen);
    p.drawPolygon(QPolygonF{{24, 53}, {35, 46}, {34, 61}});
}

void Internet(QPainter& p)
{
    const QRectF globe(6, 6, 52, 52);
    p.setPen(Ink(2.5));
    p.setBrush(kBlue);
    p.drawEllipse(globe);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kPaper, 2));
    p.drawEllipse(QRectF(20, 7, 24, 50));
    p.drawLine(QPointF(32, 7), QPointF(32, 57));
    p.drawLine(QPointF(7, 32), QPointF(57, 32));
    QPainterPath lat;
    lat.moveTo(11, 19);
    lat.quadTo(32, 25, 53, 19);
    lat.moveTo(11, 45);
    lat.quadTo(32, 39, 53, 45);
    p.drawPath(lat);
    p.setPen(Ink(2.5));
    p.drawEllipse(globe);
    // Sent out: a small envelope.
    p.setBrush(kPaper);
    p.setPen(Ink(2));
    p.drawRect(QRectF(34, 40, 26, 18));
    p.drawPolyline(QPolygonF{{34, 40}, {47, 51}, {60, 40}});
}

void ForPrint(QPainter& p)
{
    p.setPen(Ink(2.5));
    p.setBrush(kPaper);
    p.drawRect(QRectF(18, 4, 28, 22));  // paper going in
    p.setBrush(QColor(200, 206, 216));
    p.drawRoundedRect(QRectF(5, 22, 54, 26), 4, 4);
    p.setBrush(kInk);
    p.drawRect(QRectF(14, 40, 36, 4));
    p.setBrush(kGreen);
    p.setPen(Ink(1.5));
    p.drawEllipse(QRectF(48, 27, 6, 6));
    // The print coming out, with a picture on it.
    p.setPen(Ink(2.5));
    p.setBrush(kPaper);
    p.drawRect(QRectF(16, 42, 32, 19));
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRect(QRectF(20, 46, 24, 11));
    p.setBrush(kGreen);
    p.drawPolygon(QPolygonF{{20, 57}, {29, 49}, {36, 57}});
    p.setBrush(kOrange);
    p.drawEllipse(QRectF(37, 47, 4, 4));
}

void ForEdit(QPainter& p)
{
    // Stacked pages: lossless layers to work on.
    p.setPen(Ink(2.5));
    for (int i = 2; i >= 0; --i) {
        p.setBrush(i == 0 ? kPaper : QColor(215, 221, 230));
        p.drawRect(QRectF(6 + i * 6, 16 - i * 6, 34, 42));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRect(QRectF(11, 21, 24, 16));
    p.setBrush(kGreen);
    p.drawPolygon(QPolygonF{{11, 37}, {21, 27}, {30, 37}});
    // A pencil.
    p.save();
    p.translate(46, 40);
    p.rotate(45);
    p.setPen(Ink(2));
    p.setBrush(kOrange);
    p.drawRect(QRectF(-5, -22, 10, 30));
    p.setBrush(kPaper);
    p.drawPolygon(QPolygonF{{-5, 8}, {5, 8}, {0, 18}});
    p.setBrush(kRed);
    p.drawRect(QRectF(-5, -26, 10, 5));
    p.restore();
}

void Custom(QPainter& p)
{
    Disk(p, QRectF(4, 4, 44, 44), kBlue);
    // A choice of settings: three sliders on a card.
    p.setPen(Ink(2.5));
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(28, 30, 32, 30), 3, 3);
    for (int i = 0; i < 3; ++i) {
        const qreal y = 38 + i * 8;
        p.setPen(Ink(2));
        p.drawLine(QPointF(33, y), QPointF(55, y));
        p.setBrush(i == 1 ? kOrange : kGreen);
        p.setPen(Ink(1.5));
        const qreal x = 36 + ((i * 7) % 15);
        p.drawEllipse(QRectF(x, y - 3, 6, 6));
    }
}

// Drawn on a transparent square, then written over its mask.
}  // namespace

int WriteSaveModePictures(const std::string& skin)
{
    int failed = 0;
    failed += !SaveDrawnFace(kSize, SaveBack, skin + "saveback.bmp");
    failed += !SaveDrawnFace(kSize, Internet, skin + "internet.bmp");
    failed += !SaveDrawnFace(kSize, ForPrint, skin + "saveforprint.bmp");
    failed += !SaveDrawnFace(kSize, ForEdit, skin + "saveforedit.bmp");
    failed += !SaveDrawnFace(kSize, Custom, skin + "savecustom.bmp");
    return failed;
}
