#include "PrintPictures.h"
#include "IconColours.h"
#include "PictureFiles.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <functional>

namespace {

using namespace iconcolours;

QPen Ink(double width = 1.4) { return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

// The viewer's arrow shape turned to point up or down.
void VerticalArrow(QPainter& p, bool up)
{
    p.translate(16, 16);
    p.rotate(up ? -90 : 90);
    QPainterPath path;
    path.moveTo(10, 0);
    path.lineTo(-1, -10);
    path.lineTo(-1, -4.5);
    path.lineTo(-11, -4.5);
    path.lineTo(-11, 4.5);
    path.lineTo(-1, 4.5);
    path.lineTo(-1, 10);
    path.closeSubpath();
    p.setPen(Ink());
    p.setBrush(kBlue);
    p.drawPath(path);
}

// A small photo: sky, sun and a hill.
void Photo(QPainter& p, const QRectF& r, const QColor& sky = QColor(150, 200, 240))
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRect(r);
    p.setBrush(QColor(255, 210, 80));
    const double s = std::min(r.width(), r.height());
    p.drawEllipse(QPointF(r.left() + r.width() * 0.72, r.top() + r.height() * 0.3), s * 0.12, s * 0.12);
    QPainterPath hill;
    hill.moveTo(r.left(), r.bottom());
    hill.lineTo(r.left(), r.top() + r.height() * 0.7);
    hill.quadTo(r.left() + r.width() * 0.35, r.top() + r.height() * 0.35, r.left() + r.width() * 0.7,
                r.top() + r.height() * 0.65);
    hill.lineTo(r.right(), r.top() + r.height() * 0.6);
    hill.lineTo(r.right(), r.bottom());
    hill.closeSubpath();
    p.setBrush(kGreen);
    p.drawPath(hill);
    p.setPen(QPen(kInk, 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
    p.restore();
}

// A sheet of paper with a plus (add) or minus (remove) badge.
void Sheet(QPainter& p, bool add)
{
    Photo(p, QRectF(4.5, 6.5, 19, 15));
    p.setPen(QPen(Qt::white, 1.2));
    p.setBrush(add ? kGreen : kRed);
    p.drawEllipse(QPointF(23, 23), 7.5, 7.5);
    p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(19, 23), QPointF(27, 23));
    if (add)
        p.drawLine(QPointF(23, 19), QPointF(23, 27));
}

// A crop frame with arrows pointing in (reduce) or out (enlarge).
void CropFrame(QPainter& p, bool enlarge)
{
    p.setPen(QPen(kInk, 1.2, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    const double inset = enlarge ? 10 : 5;
    p.drawRect(QRectF(inset + 0.5, inset + 0.5, 31 - 2 * inset, 31 - 2 * inset));
    p.setPen(QPen(kBlue, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF corners[4] = {{4, 4}, {28, 4}, {28, 28}, {4, 28}};
    for (const QPointF& corner : corners) {
        const QPointF toCentre = (QPointF(16, 16) - corner) * 0.3;
        const QPointF a = enlarge ? corner + toCentre : corner, b = enlarge ? corner : corner + toCentre;
        p.drawLine(a, b);
        // The arrow head at b.
        const QPointF d = (b - a) * 0.6;
        p.drawLine(b, b - QPointF(d.x(), 0));
        p.drawLine(b, b - QPointF(0, d.y()));
    }
}

// The arrangement samples: a landscape sheet with the cells of a mode.
QImage Sample(int mode)
{
    QImage img(160, 120, QImage::Format_RGB32);
    img.fill(QColor(0xDC, 0xDC, 0xDC));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF page(14, 12, 128, 92);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x80, 0x80, 0x80));
    p.drawRect(page.translated(4, 4));
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(page);
    const double w = page.width() / 2, h = page.height() / 2;
    auto cell = [&](int col, int row, int cols, int rows) {
        return QRectF(page.left() + col * page.width() / cols, page.top() + row * page.height() / rows,
                      page.width() / cols, page.height() / rows)
            .adjusted(4, 4, -4, -4);
    };
    switch (mode) {
    case 0: // one photo's copies, and another's in what is left
        Photo(p, cell(0, 0, 2, 1));
        for (int col = 2; col < 4; ++col)
            for (int row = 0; row < 2; ++row)
                Photo(p, cell(col, row, 4, 2), QColor(250, 190, 140));
        break;
    case 1: // two copies of one photo
        Photo(p, cell(0, 0, 2, 1));
        Photo(p, cell(1, 0, 2, 1));
        break;
    default: // one copy, centred
        Photo(p, QRectF(page.left() + w / 2, page.top() + h / 2, w, h));
        break;
    }
    return img;
}

} // namespace

int WritePrintPictures(const std::string& res, const std::string& skin)
{
    int failed = 0;
    const std::pair<int, std::function<void(QPainter&)>> bitmaps[] = {
        {151, [](QPainter& p) { VerticalArrow(p, true); }},
        {152, [](QPainter& p) { VerticalArrow(p, false); }},
        {179, [](QPainter& p) { Sheet(p, true); }},
        {180, [](QPainter& p) { Sheet(p, false); }},
        {181, [](QPainter& p) { CropFrame(p, false); }},
        {182, [](QPainter& p) { CropFrame(p, true); }},
    };
    for (const auto& [id, draw] : bitmaps)
        failed += !SavePng(ButtonFaceBitmap(draw), res + "shelf/bitmap/" + std::to_string(id) + ".png");
    for (int mode = 0; mode < 3; ++mode)
        failed += !SaveOpaqueBmp(Sample(mode), skin + "paper" + std::to_string(mode) + ".bmp");
    return failed;
}
