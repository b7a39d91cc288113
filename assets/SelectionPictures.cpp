#include "SelectionPictures.h"
#include "IconColours.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <filesystem>
#include <functional>

namespace {

using namespace iconcolours;

bool Save(const QImage& img, const std::string& path, const char* hotSpot = nullptr)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    QImage out = img;
    if (hotSpot)
        out.setText("HotSpot", hotSpot);
    return out.save(QString::fromStdString(path), "PNG");
}

QImage Draw(int size, const std::function<void(QPainter&)>& draw)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return img;
}

// The lasso outline every selection picture shares, in a 16 x 16 box.
QPolygonF Lasso(double s = 1.0, QPointF at = {0, 0})
{
    const QPointF pts[] = {{2, 4}, {9, 1.5}, {14, 6}, {11, 13}, {4, 11.5}};
    QPolygonF poly;
    for (const QPointF& p : pts)
        poly << at + p * s;
    return poly;
}

void DashedLasso(QPainter& p, double s = 1.0, QPointF at = {0, 0})
{
    p.setBrush(QColor(52, 120, 226, 50));
    QPen pen(kInk, 1);
    pen.setDashPattern({2, 1.5});
    p.setPen(pen);
    p.drawPolygon(Lasso(s, at));
}

void Sign(QPainter& p, QPointF c, bool plus, const QColor& colour)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(c, 3.6, 3.6);
    p.setPen(QPen(Qt::white, 1.4));
    p.drawLine(QPointF(c.x() - 2, c.y()), QPointF(c.x() + 2, c.y()));
    if (plus)
        p.drawLine(QPointF(c.x(), c.y() - 2), QPointF(c.x(), c.y() + 2));
}

// An arrow cursor's crosshair with a small badge to its lower right.
QImage Cursor(const std::function<void(QPainter&)>& badge)
{
    return Draw(32, [&](QPainter& p) {
        for (int pass = 0; pass < 2; ++pass) {
            p.setPen(QPen(pass == 0 ? Qt::white : Qt::black, pass == 0 ? 3 : 1));
            p.drawLine(QPointF(7.5, 0), QPointF(7.5, 5));
            p.drawLine(QPointF(7.5, 10), QPointF(7.5, 15));
            p.drawLine(QPointF(0, 7.5), QPointF(5, 7.5));
            p.drawLine(QPointF(10, 7.5), QPointF(15, 7.5));
        }
        p.translate(12, 12);
        badge(p);
    });
}

}  // namespace

int WriteSelectionPictures(const std::string& res, const std::string&)
{
    const std::function<void(QPainter&)> icons[] = {
        [](QPainter& p) { DashedLasso(p); },
        [](QPainter& p) {
            DashedLasso(p, 0.8);
            Sign(p, {12, 12}, true, kGreen);
        },
        [](QPainter& p) {
            DashedLasso(p, 0.8);
            Sign(p, {12, 12}, false, kRed);
        },
        [](QPainter& p) {  // clear: the lasso struck out
            DashedLasso(p);
            p.setPen(QPen(kRed, 1.8));
            p.drawLine(QPointF(3, 3), QPointF(13, 13));
            p.drawLine(QPointF(13, 3), QPointF(3, 13));
        },
        [](QPainter& p) {  // invert: half dark, half light
            p.setPen(QPen(kInk, 1));
            p.setBrush(kPaper);
            p.drawRect(QRectF(1.5, 1.5, 13, 13));
            p.setBrush(kInk);
            QPolygonF half;
            half << QPointF(1.5, 14.5) << QPointF(14.5, 1.5) << QPointF(14.5, 14.5);
            p.drawPolygon(half);
        },
        [](QPainter& p) {  // colour range: three colour drops and a menu arrow
            const QColor colours[] = {kRed, kGreen, kBlue};
            for (int i = 0; i < 3; ++i) {
                p.setPen(Qt::NoPen);
                p.setBrush(colours[i]);
                p.drawEllipse(QPointF(3.5 + i * 4.5, 6), 2.6, 2.6);
            }
            p.setBrush(kInk);
            QPolygonF arrow;
            arrow << QPointF(5, 11) << QPointF(11, 11) << QPointF(8, 14.5);
            p.drawPolygon(arrow);
        },
        [](QPainter& p) {  // show mask: a grey mask with a white area
            p.setPen(QPen(kInk, 1));
            p.setBrush(QColor(90, 90, 90));
            p.drawRect(QRectF(1.5, 1.5, 13, 13));
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawPolygon(Lasso(0.7, {2.5, 2.5}));
        },
    };
    int failed = 0;
    for (int i = 0; i < 7; ++i)
        failed += !Save(Draw(16, icons[i]), res + "icon/" + std::to_string(3410 + i) + ".png");
    const std::function<void(QPainter&)> badges[] = {
        [](QPainter& p) { DashedLasso(p, 1.2); },
        [](QPainter& p) {
            DashedLasso(p, 1.0);
            Sign(p, {14, 14}, true, kGreen);
        },
        [](QPainter& p) {
            DashedLasso(p, 1.0);
            Sign(p, {14, 14}, false, kRed);
        },
        [](QPainter& p) {  // close polygon: the lasso with a closing ring
            DashedLasso(p, 1.0);
            p.setPen(QPen(kOrange, 1.6));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(2, 4), 3, 3);
        },
    };
    for (int i = 0; i < 4; ++i)
        failed += !Save(Cursor(badges[i]), res + "cursor/" + std::to_string(3420 + i) + ".png", "7,7");
    return failed;
}
