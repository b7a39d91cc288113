#include "HistoryButtons.h"
#include "IconColours.h"

#include "imagecore/QLImage.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstring>

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

// The picture in the top half, its coverage as grey in the bottom half.
bool SaveFace(const QImage& ink, const std::string& path)
{
    const QImage straight = ink.convertToFormat(QImage::Format_ARGB32);
    QImage face(kSize, 2 * kSize, QImage::Format_ARGB32);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const QRgb c = straight.pixel(x, y);
            const int a = qAlpha(c);
            // Hidden pixels take the ink's colour so soft edges blend toward it.
            face.setPixel(x, y, a > 24 ? qRgb(qRed(c), qGreen(c), qBlue(c)) : kInk.rgb());
            face.setPixel(x, kSize + y, qRgb(a, a, a));
        }
    CQLImage out;
    if (out.Create(kSize, 2 * kSize) != 0)
        return false;
    for (int y = 0; y < face.height(); ++y)
        std::memcpy(out.GetBuffer(0, y), face.constScanLine(y), static_cast<size_t>(kSize) * 4);
    return out.SaveToFile(path.c_str()) == 0;
}

}  // namespace

int WriteHistoryButtonPictures(const std::string& skin)
{
    int failed = 0;
    failed += !SaveFace(Arrow(false), skin + "undo.bmp");
    failed += !SaveFace(Arrow(true), skin + "redo.bmp");
    return failed;
}
