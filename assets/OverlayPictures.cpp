#include "OverlayPictures.h"
#include "IconColours.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <filesystem>
#include <functional>

namespace {

using namespace iconcolours;

bool Save(const QImage& img, const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    return img.save(QString::fromStdString(path), "PNG");
}

QImage Icon(const std::function<void(QPainter&)>& draw)
{
    QImage img(16, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    draw(p);
    return img;
}

// The balloon bodies: 0 rectangle, 1 rounded, 2 ellipse, 3 thought.
void Body(QPainter& p, int shape, const QRectF& r)
{
    switch (shape) {
    case 0: p.drawRect(r); break;
    case 1: p.drawRoundedRect(r, 3, 3); break;
    default: p.drawEllipse(r); break;
    }
}

QImage ShapeIcon(int shape)
{
    return Icon([shape](QPainter& p) {
        if (shape == 3) {
            p.drawEllipse(QRectF(2.5, 12.5, 2.5, 2.5));
            p.drawEllipse(QRectF(4.5, 9.5, 3, 3));
        } else {
            const QPointF tail[] = {{5, 9}, {2.5, 14.5}, {9, 9}};
            p.drawPolygon(tail, 3);
        }
        Body(p, shape, QRectF(1.5, 1.5, 13, 9));
        p.setPen(QPen(kBlue, 1));
        p.drawLine(QPointF(4.5, 5), QPointF(11.5, 5));
        p.drawLine(QPointF(4.5, 7), QPointF(9.5, 7));
    });
}

// A tail toward one corner: 0 up-left, 1 up-right, 2 down-left, 3 down-right.
QImage TailIcon(int tail)
{
    return Icon([tail](QPainter& p) {
        const bool up = tail < 2, left = tail % 2 == 0;
        p.translate(left ? 0 : 16, up ? 16 : 0);
        p.scale(left ? 1 : -1, up ? -1 : 1);
        const QPointF t[] = {{5, 8}, {1.5, 14.5}, {9, 8}};
        p.drawPolygon(t, 3);
        p.drawEllipse(QRectF(2.5, 1.5, 12, 8));
        p.setPen(QPen(kOrange, 1.4));
        p.drawLine(QPointF(4.5, 10.5), QPointF(2, 14));
    });
}

QImage NoBalloonIcon()
{
    return Icon([](QPainter& p) {
        p.drawEllipse(QRectF(1.5, 2.5, 13, 9));
        p.setPen(QPen(kRed, 1.6));
        p.drawLine(QPointF(2.5, 13.5), QPointF(13.5, 1.5));
    });
}

// A "T" with a green arrow: render the text and show where it is.
QImage PlaceIcon()
{
    return Icon([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawRect(QRectF(1, 1.5, 9, 2));
        p.drawRect(QRectF(4.5, 1.5, 2, 11));
        p.setBrush(kGreen);
        QPainterPath arrow;
        arrow.moveTo(9, 15);
        arrow.lineTo(15, 9.5);
        arrow.lineTo(15, 15);
        arrow.closeSubpath();
        p.drawPath(arrow);
        p.setPen(QPen(kGreen, 1.6));
        p.drawLine(QPointF(8.5, 8.5), QPointF(13, 13));
    });
}

}  // namespace

int WriteOverlayPictures(const std::string& res)
{
    int failed = 0;
    const auto save = [&](const QImage& img, int id) {
        failed += Save(img, res + "/icon/" + std::to_string(id) + ".png") ? 0 : 1;
    };
    save(NoBalloonIcon(), 1537);
    for (int shape = 0; shape < 4; ++shape)
        save(ShapeIcon(shape), 1538 + shape);
    for (int tail = 0; tail < 4; ++tail)
        save(TailIcon(tail), 1542 + tail);
    save(PlaceIcon(), 1263);
    return failed;
}
