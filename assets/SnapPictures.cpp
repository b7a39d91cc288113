#include "SnapPictures.h"

#include "FaceOverMask.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <filesystem>
#include <functional>

namespace {

bool SavePng(const QImage& picture, const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    return picture.convertToFormat(QImage::Format_ARGB32).save(QString::fromStdString(path), "PNG");
}

const QColor kInk(44, 56, 74);
const QColor kMask(192, 192, 192);

// A monitor: frame, screen with a dashed selection, stand. s is the side.
void Monitor(QPainter& p, double s)
{
    const double k = s / 24.0;
    p.setPen(QPen(kInk, 1.2 * k));
    QLinearGradient g(0, 3 * k, 0, 17 * k);
    g.setColorAt(0, QColor(120, 180, 240));
    g.setColorAt(1, QColor(40, 100, 190));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(2 * k, 3 * k, 20 * k, 14 * k), 1.5 * k, 1.5 * k);
    p.setBrush(kInk);
    p.drawRect(QRectF(10 * k, 17 * k, 4 * k, 3 * k));
    p.drawRoundedRect(QRectF(6 * k, 20 * k, 12 * k, 1.6 * k), 0.8 * k, 0.8 * k);
    QPen dash(QColor(255, 255, 255), 1.0 * k, Qt::DashLine);
    p.setPen(dash);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(6 * k, 6 * k, 9 * k, 7 * k));
}

// A web camera: ball with a lens on a foot.
void Camera(QPainter& p, double s)
{
    const double k = s / 24.0;
    p.setPen(QPen(kInk, 1.2 * k));
    QRadialGradient g(QPointF(10 * k, 8 * k), 10 * k);
    g.setColorAt(0, QColor(250, 250, 252));
    g.setColorAt(1, QColor(170, 176, 188));
    p.setBrush(g);
    p.drawEllipse(QRectF(4 * k, 2 * k, 16 * k, 16 * k));
    p.setBrush(QColor(30, 40, 60));
    p.drawEllipse(QRectF(8 * k, 6 * k, 8 * k, 8 * k));
    p.setBrush(QColor(90, 150, 230));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(10 * k, 8 * k, 4 * k, 4 * k));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(10.6 * k, 8.6 * k, 1.4 * k, 1.4 * k));
    p.setPen(QPen(kInk, 1.2 * k));
    p.setBrush(kInk);
    p.drawRect(QRectF(11 * k, 18 * k, 2 * k, 2 * k));
    p.drawRoundedRect(QRectF(6 * k, 20 * k, 12 * k, 1.8 * k), 0.9 * k, 0.9 * k);
}

void Window(QPainter& p, QRectF r, const QColor& title)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.fillRect(QRectF(r.x() + 0.5, r.y() + 0.5, r.width() - 0.5, 3.5), title);
}

// The five capture modes, 24 x 23 each.
void ModeIcon(QPainter& p, int mode)
{
    switch (mode) {
    case 0:  // the whole screen
        Monitor(p, 23);
        break;
    case 1:  // a window
        p.fillRect(QRectF(2, 3, 20, 16), QColor(120, 170, 230));
        Window(p, QRectF(6.5, 6.5, 12, 9), QColor(220, 60, 40));
        p.setPen(QPen(QColor(0, 200, 0), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(5, 5, 15, 12));
        break;
    case 2: {  // a rectangle with the cross cursor
        p.setPen(QPen(kInk, 1, Qt::DashLine));
        p.setBrush(QColor(120, 170, 230, 120));
        p.drawRect(QRectF(3.5, 4.5, 14, 11));
        p.setPen(QPen(kInk, 1.5));
        p.drawLine(QPointF(17.5, 12), QPointF(17.5, 21));
        p.drawLine(QPointF(13, 16.5), QPointF(22, 16.5));
        break;
    }
    case 3: {  // a clock
        p.setPen(QPen(kInk, 1.4));
        p.setBrush(QColor(255, 250, 220));
        p.drawEllipse(QRectF(3, 2.5, 18, 18));
        p.drawLine(QPointF(12, 11.5), QPointF(12, 5.5));
        p.drawLine(QPointF(12, 11.5), QPointF(16, 14));
        p.setPen(QPen(QColor(220, 60, 40), 1.4));
        p.drawArc(QRectF(5, 4.5, 14, 14), 90 * 16, -150 * 16);
        break;
    }
    default: {  // a key cap "F10" drawn as strokes: the generator has no fonts
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(QColor(240, 242, 246));
        p.drawRoundedRect(QRectF(2.5, 4.5, 19, 14), 2.5, 2.5);
        p.setPen(QPen(kInk, 1.3));
        p.drawLine(QPointF(6, 8), QPointF(6, 15));
        p.drawLine(QPointF(6, 8), QPointF(9, 8));
        p.drawLine(QPointF(6, 11.5), QPointF(8.5, 11.5));
        p.drawLine(QPointF(11.5, 8), QPointF(11.5, 15));
        p.drawEllipse(QRectF(14, 8, 4, 7));
        break;
    }
    }
}

QImage ToolbarStrip()
{
    constexpr int kW = 24, kH = 23;
    QImage strip(kW * 5, kH, QImage::Format_ARGB32);
    strip.fill(kMask);
    for (int i = 0; i < 5; ++i) {
        QImage tile(kW, kH, QImage::Format_ARGB32_Premultiplied);
        tile.fill(Qt::transparent);
        {
            QPainter p(&tile);
            p.setRenderHint(QPainter::Antialiasing);
            ModeIcon(p, i);
        }
        // Flattened onto the mask colour, edges kept off the mask itself.
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const QColor c = tile.pixelColor(x, y);
                if (c.alpha() < 96)
                    continue;
                QColor solid(c.red(), c.green(), c.blue());
                if (solid == kMask)
                    solid = QColor(193, 193, 193);
                strip.setPixelColor(kW * i + x, y, solid);
            }
    }
    return strip;
}

QImage ProgramIcon(int size)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    Monitor(p, size);
    return img;
}

// The skin's soft paper tile, 335 x 236.
QImage PatternTile()
{
    QImage img(335, 236, QImage::Format_ARGB32);
    QLinearGradient g(0, 0, 335, 236);
    g.setColorAt(0, QColor(236, 238, 242));
    g.setColorAt(1, QColor(220, 224, 232));
    QPainter p(&img);
    p.fillRect(img.rect(), g);
    p.setPen(QColor(255, 255, 255, 90));
    for (int y = 0; y < 236; y += 4)
        p.drawLine(0, y, 334, y);
    return img;
}

} // namespace

int WriteSnapPictures(const std::string& res, const std::string& skin)
{
    int failed = 0;
    const std::string tree = res + "snap/";
    failed += !SaveDrawnFace(112, [](QPainter& p) { Monitor(p, 112); }, skin + "screen.bmp");
    failed += !SaveDrawnFace(112, [](QPainter& p) { Camera(p, 112); }, skin + "camera.bmp");
    failed += !SavePng(ProgramIcon(32), tree + "icon/128.png");
    failed += !SavePng(ToolbarStrip(), tree + "bitmap/133.png");
    failed += !SavePng(PatternTile(), tree + "bitmap/137.png");
    return failed;
}
