#include "RepairPictures.h"
#include "IconColours.h"

#include "imagecore/QLImage.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {

using namespace iconcolours;
constexpr int kShapeSide = 128;

bool SavePng(const QImage& img, const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    return img.save(QString::fromStdString(path), "PNG");
}

// A 24-bit BMP through our own writer, as the dialogs read it back.
bool SaveBmp(const QImage& img, const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    CQLImage bmp;
    if (bmp.Create(static_cast<UINT>(img.width()), static_cast<UINT>(img.height())) != 0)
        return false;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            bmp.PutPixel(x, y, CPixel{static_cast<BYTE>(qBlue(c)), static_cast<BYTE>(qGreen(c)),
                                      static_cast<BYTE>(qRed(c)), 255});
        }
    return bmp.SaveToFile(path.c_str()) == 0;
}

// The band's marker, 16 x 8: a small arrow pointing up at the band.
QImage BandMarker()
{
    QImage img(16, 8, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1));
    p.setBrush(kOrange);
    const QPointF arrow[] = {{8, 0.5}, {14.5, 7.5}, {1.5, 7.5}};
    p.drawPolygon(arrow, 3);
    return img;
}

// A regular polygon of n corners (0 for a circle) filling the channel.
QImage ShapeLayer(int corners)
{
    QImage img(kShapeSide, kShapeSide, QImage::Format_Grayscale8);
    img.fill(0);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255));
    const QPointF c(kShapeSide / 2.0, kShapeSide / 2.0);
    const double r = kShapeSide / 2.0 - 1;
    if (corners == 0) {
        p.drawEllipse(c, r, r);
    } else {
        QPolygonF poly;
        for (int i = 0; i < corners; ++i) {
            const double a = M_PI / 2 + i * 2 * M_PI / corners;
            poly << c + QPointF(r * std::cos(a), -r * std::sin(a));
        }
        p.drawPolygon(poly);
    }
    return img;
}

// A star of n beams: thin bright rays that fade outward around a soft core.
QImage StarLayer(int beams)
{
    QImage img(kShapeSide, kShapeSide, QImage::Format_Grayscale8);
    img.fill(0);
    const double c = (kShapeSide - 1) / 2.0, reach = kShapeSide / 2.0;
    for (int y = 0; y < kShapeSide; ++y)
        for (int x = 0; x < kShapeSide; ++x) {
            const double dx = x - c, dy = y - c, d = std::hypot(dx, dy);
            const double core = std::max(0.0, 1 - d / (reach * 0.16));
            double ray = 0;
            const double a = std::atan2(dy, dx);
            for (int k = 0; k < beams; ++k) {
                const double beam = k * 2 * M_PI / beams;
                // Distance from the ray's line, on its own side of the centre.
                const double along = std::cos(a - beam) * d, across = std::fabs(std::sin(a - beam) * d);
                if (along <= 0)
                    continue;
                const double width = 1.2 + 2.0 * (1 - along / reach);
                ray = std::max(ray, std::max(0.0, 1 - across / width) * std::max(0.0, 1 - along / reach));
            }
            const double v = std::min(1.0, core * core + ray);
            img.scanLine(y)[x] = static_cast<uchar>(std::lround(255 * v));
        }
    return img;
}

QImage Merge(const QImage& red, const QImage& green, const QImage& blue)
{
    QImage img(kShapeSide, kShapeSide, QImage::Format_RGB32);
    for (int y = 0; y < kShapeSide; ++y)
        for (int x = 0; x < kShapeSide; ++x)
            img.setPixel(x, y, qRgb(red.constScanLine(y)[x], green.constScanLine(y)[x], blue.constScanLine(y)[x]));
    return img;
}

// A landscape whose corners fall off into dark, inset on white as the
// dialog shows a photo, with the marker circle drawn around it.
QImage DarkCornerDemo()
{
    const int w = 380, h = 300, margin = 50;
    QImage photo(w, h, QImage::Format_RGB32);
    {
        QPainter p(&photo);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient sky(0, 0, 0, h * 0.6);
        sky.setColorAt(0, QColor(110, 170, 235));
        sky.setColorAt(1, QColor(190, 220, 250));
        p.fillRect(photo.rect(), sky);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 214, 110));
        p.drawEllipse(QPointF(w * 0.72, h * 0.25), 24, 24);
        QPainterPath hills;
        hills.moveTo(0, h * 0.62);
        hills.cubicTo(w * 0.25, h * 0.48, w * 0.45, h * 0.7, w * 0.7, h * 0.56);
        hills.cubicTo(w * 0.85, h * 0.5, w * 0.95, h * 0.58, w, h * 0.55);
        hills.lineTo(w, h);
        hills.lineTo(0, h);
        hills.closeSubpath();
        p.setBrush(kGreen);
        p.drawPath(hills);
    }
    // The lens fall-off: darker with the distance from the centre.
    const double half = std::hypot(w, h) / 2;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double d = std::hypot(x - w / 2.0, y - h / 2.0) / half;
            const double k = d < 0.55 ? 1.0 : std::max(0.15, 1 - 6.4 * (d - 0.55) * (d - 0.55));
            const QRgb c = photo.pixel(x, y);
            photo.setPixel(x, y, qRgb(static_cast<int>(qRed(c) * k), static_cast<int>(qGreen(c) * k),
                                      static_cast<int>(qBlue(c) * k)));
        }
    QImage img(w + 2 * margin, h + 2 * margin, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.drawImage(margin, margin, photo);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(Qt::NoBrush);
    const QPointF c(img.width() / 2.0, img.height() / 2.0);
    const double r = half * 0.95;
    p.drawEllipse(c, r, r);
    p.setPen(QPen(Qt::white, 1.5));
    p.drawLine(c - QPointF(4, 0), c + QPointF(5, 0));
    p.drawLine(c - QPointF(0, 4), c + QPointF(0, 5));
    p.setPen(QPen(kInk, 1.5));
    p.drawRect(QRectF(c.x() + r - 3.5, c.y() - 3.5, 8, 8));
    return img;
}

} // namespace

int WriteRepairPictures(const std::string& res, const std::string& skin)
{
    int failed = 0;
    failed += SavePng(BandMarker(), res + "icon/293.png") ? 0 : 1;
    failed += SaveBmp(Merge(ShapeLayer(0), ShapeLayer(6), ShapeLayer(8)), skin + "lenblur.bmp") ? 0 : 1;
    failed += SaveBmp(Merge(StarLayer(4), StarLayer(6), StarLayer(8)), skin + "star.bmp") ? 0 : 1;
    std::filesystem::create_directories(skin);
    failed += DarkCornerDemo().save(QString::fromStdString(skin + "darkcornersample.jpg"), "JPG", 90) ? 0 : 1;
    return failed;
}
