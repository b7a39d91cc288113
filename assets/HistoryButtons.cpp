#include "HistoryButtons.h"
#include "FaceOverMask.h"
#include "IconColours.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {

using iconcolours::kInk;
const QColor& kAccent = iconcolours::kBlue;
constexpr int kSize = 20;

// A curved arrow turning back to the left; mirrored it points forward.
QImage Arrow(bool forward)
{
    QImage ink(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    ink.fill(Qt::transparent);
    QPainter p(&ink);
    p.setRenderHint(QPainter::Antialiasing);
    if (forward) {
        p.translate(kSize, 0);
        p.scale(-1, 1);
    }
    QPainterPath arc;
    arc.moveTo(15.5, 16);
    arc.cubicTo(17.5, 9.5, 12.5, 5.5, 6.5, 7.5);
    p.setPen(QPen(kInk, 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(arc);
    p.setPen(QPen(kAccent, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(arc);
    QPainterPath head;
    head.moveTo(2, 8);
    head.lineTo(8.5, 2.5);
    head.lineTo(9, 13);
    head.closeSubpath();
    p.setPen(QPen(kInk, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kAccent);
    p.drawPath(head);
    return ink;
}

}  // namespace

int WriteHistoryButtonPictures(const std::string& skin)
{
    int failed = 0;
    failed += !SaveFaceOverMask(Arrow(false), skin + "undo.bmp");
    failed += !SaveFaceOverMask(Arrow(true), skin + "redo.bmp");
    return failed;
}
