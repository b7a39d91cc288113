#include "PaintToolPictures.h"
#include "IconColours.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <filesystem>
#include <functional>

namespace {

using namespace iconcolours;

int Save(const std::string& res, const char* library, int id, const std::function<void(QPainter&)>& draw)
{
    QImage img(24, 24, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
    }
    const std::filesystem::path dir = std::filesystem::path(res) / "plugins" / library / "icon";
    std::filesystem::create_directories(dir);
    return img.save(QString::fromStdString((dir / (std::to_string(id) + ".png")).string()), "PNG") ? 0 : 1;
}

// A round brush leaning right, its tuft in the given colour.
void Brush(QPainter& p, const QColor& tuft)
{
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kPaper);
    QPainterPath handle;
    handle.moveTo(21, 2);
    handle.lineTo(23, 4);
    handle.lineTo(12, 15);
    handle.lineTo(9, 12);
    handle.closeSubpath();
    p.drawPath(handle);
    p.setBrush(tuft);
    QPainterPath hair;
    hair.moveTo(9, 12);
    hair.lineTo(12, 15);
    hair.cubicTo(10, 20, 6, 22, 2, 22);
    hair.cubicTo(2, 18, 4, 14, 9, 12);
    p.drawPath(hair);
}

// A wash of colour under the brush.
void Wash(QPainter& p, const QColor& left, const QColor& right)
{
    QLinearGradient g(2, 0, 22, 0);
    g.setColorAt(0, left);
    g.setColorAt(1, right);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(10, 17, 13, 5), 2, 2);
}

// A finger pulling a streak.
void Finger(QPainter& p, bool active)
{
    p.setPen(Qt::NoPen);
    QLinearGradient streak(2, 0, 14, 0);
    streak.setColorAt(0, QColor(kBlue.red(), kBlue.green(), kBlue.blue(), 0));
    streak.setColorAt(1, active ? kOrange : kBlue);
    p.setBrush(streak);
    p.drawRoundedRect(QRectF(2, 16, 14, 5), 2.5, 2.5);
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kPaper);
    QPainterPath finger;
    finger.moveTo(22, 3);
    finger.lineTo(16, 16);
    finger.cubicTo(15, 20, 11, 20, 12, 16);
    finger.lineTo(17, 1);
    finger.closeSubpath();
    p.drawPath(finger);
    p.drawArc(QRectF(12.5, 14, 4, 4), 200 * 16, 140 * 16);
}

// A pen drawing a line; the second state adds a ruler.
void Pen(QPainter& p, bool ruler)
{
    if (ruler) {
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(240, 220, 160));
        p.drawRect(QRectF(1.5, 18.5, 21, 4));
        for (int x = 4; x < 22; x += 3)
            p.drawLine(QPointF(x, 18.5), QPointF(x, 20.5));
    } else {
        p.setPen(QPen(kBlue, 2, Qt::SolidLine, Qt::RoundCap));
        QPainterPath line;
        line.moveTo(2, 21);
        line.cubicTo(6, 15, 8, 22, 12, 18);
        p.drawPath(line);
    }
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kPaper);
    QPainterPath body;
    body.moveTo(19, 2);
    body.lineTo(22, 5);
    body.lineTo(10, 17);
    body.lineTo(6, 18);
    body.lineTo(7, 14);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(7, 17), 1, 1);
}

} // namespace

int WritePaintToolPictures(const std::string& res)
{
    int failed = 0;
    failed += Save(res, "QuilloTint", 1001, [](QPainter& p) {
        Wash(p, kBlue, kRed);
        Brush(p, kOrange);
    });
    failed += Save(res, "QuilloTint", 1000, [](QPainter& p) {
        Wash(p, QColor(90, 90, 90), QColor(200, 200, 200));
        Brush(p, QColor(150, 150, 150));
    });
    failed += Save(res, "QuilloStamp", 101, [](QPainter& p) { Finger(p, false); });
    failed += Save(res, "QuilloStamp", 102, [](QPainter& p) { Finger(p, true); });
    failed += Save(res, "QuilloSketch", 101, [](QPainter& p) { Pen(p, false); });
    failed += Save(res, "QuilloSketch", 102, [](QPainter& p) { Pen(p, true); });
    return failed;
}
