#include "RetouchDialogPictures.h"
#include "IconColours.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <filesystem>

namespace {

using namespace iconcolours;
constexpr int kSide = 32;

// A 3 x 3 grid whose inner lines bow by bend pixels: outwards when positive.
QImage BowedGrid(double bend)
{
    QImage img(kSide, kSide, QImage::Format_RGB32);
    img.fill(kPaper);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kBlue, 1.2));
    const double lo = 4, hi = kSide - 4, mid = kSide / 2.0;
    for (int i = 0; i < 4; ++i) {
        const double t = lo + (hi - lo) * i / 3.0;
        const double push = bend * (t - mid) / (mid - lo);  // the outer lines bow most
        QPainterPath across, down;
        across.moveTo(lo, t);
        across.quadTo(mid, t + push, hi, t);
        down.moveTo(t, lo);
        down.quadTo(t + push, mid, t, hi);
        p.drawPath(across);
        p.drawPath(down);
    }
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, kSide - 1, kSide - 1));
    return img;
}

bool Save(const QImage& img, const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    return img.save(QString::fromStdString(path), "PNG");
}

}  // namespace

int WriteRetouchDialogPictures(const std::string& res)
{
    int failed = 0;
    failed += !Save(BowedGrid(4), res + "bitmap/299.png");
    failed += !Save(BowedGrid(-4), res + "bitmap/302.png");
    return failed;
}
