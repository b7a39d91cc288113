#include "EditorFramePictures.h"
#include "IconColours.h"

#include "imagecore/QLImage.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstring>
#include <filesystem>

namespace {

constexpr int kSize = 40;
constexpr int kCount = 9;
// Black is the strips' mask colour, so no picture may contain it.
using namespace iconcolours;

enum class Look { Normal, Hot, Disabled };

QColor Tint(QColor c, Look look)
{
    if (look == Look::Disabled) {
        const int g = 120 + qGray(c.rgb()) / 4;
        return QColor(g, g, g);
    }
    return look == Look::Hot ? c.lighter(118) : c;
}

void Folder(QPainter& p, Look l)
{
    p.setPen(QPen(Tint(kInk, l), 1.6));
    p.setBrush(Tint(kOrange, l));
    QPainterPath path;
    path.moveTo(5, 11);
    path.lineTo(15, 11);
    path.lineTo(18, 14);
    path.lineTo(35, 14);
    path.lineTo(35, 32);
    path.lineTo(5, 32);
    path.closeSubpath();
    p.drawPath(path);
    p.setBrush(Tint(QColor(250, 200, 110), l));
    p.drawPolygon(QPolygonF{{5, 32}, {10, 19}, {38, 19}, {35, 32}});
}

void Disk(QPainter& p, Look l)
{
    p.setPen(QPen(Tint(kInk, l), 1.6));
    p.setBrush(Tint(kBlue, l));
    p.drawRoundedRect(QRectF(7, 6, 26, 28), 3, 3);
    p.setBrush(Tint(kPaper, l));
    p.drawRect(QRectF(12, 6, 16, 10));
    p.drawRect(QRectF(11, 22, 18, 12));
}

void Info(QPainter& p, Look l)
{
    p.setPen(QPen(Tint(kInk, l), 1.6));
    p.setBrush(Tint(kPaper, l));
    p.drawEllipse(QRectF(6, 6, 28, 28));
    p.setPen(Qt::NoPen);
    p.setBrush(Tint(kBlue, l));
    p.drawEllipse(QRectF(18, 11, 4.5, 4.5));
    p.drawRoundedRect(QRectF(18, 18, 4.5, 11), 1.5, 1.5);
}

void Wand(QPainter& p, Look l)
{
    p.setPen(QPen(Tint(kInk, l), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9, 33), QPointF(25, 17));
    p.setPen(Qt::NoPen);
    p.setBrush(Tint(kOrange, l));
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double a = i * 3.14159265 / 5, r = i % 2 ? 3.5 : 8.5;
        star << QPointF(29 + r * std::sin(a), 11 - r * std::cos(a));
    }
    p.drawPolygon(star);
}

void Text(QPainter& p, Look l)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Tint(kInk, l));
    p.drawRect(QRectF(8, 7, 24, 5));
    p.drawRect(QRectF(17.5, 7, 5, 26));
    p.setBrush(Tint(kRed, l));
    p.drawRect(QRectF(12, 31, 16, 3));
}

void Picture(QPainter& p, Look l)
{
    p.setPen(QPen(Tint(kInk, l), 1.6));
    p.setBrush(Tint(QColor(170, 210, 250), l));
    p.drawRect(QRectF(5, 8, 30, 24));
    p.setPen(Qt::NoPen);
    p.setBrush(Tint(kGreen, l));
    p.drawPolygon(QPolygonF{{6, 31}, {16, 18}, {23, 26}, {27, 22}, {34, 31}});
    p.setBrush(Tint(kOrange, l));
    p.drawEllipse(QRectF(25, 11, 6, 6));
}

void Brush(QPainter& p, Look l)
{
    p.setPen(QPen(Tint(QColor(140, 90, 50), l), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(32, 7), QPointF(19, 22));
    p.setPen(Qt::NoPen);
    p.setBrush(Tint(kRed, l));
    QPainterPath tip;
    tip.moveTo(17, 20);
    tip.cubicTo(10, 22, 12, 30, 6, 34);
    tip.cubicTo(16, 34, 22, 30, 21, 24);
    tip.closeSubpath();
    p.drawPath(tip);
}

void Stack(QPainter& p, Look l)
{
    p.setPen(QPen(Tint(kInk, l), 1.4));
    const QColor fills[3] = {QColor(200, 220, 245), QColor(170, 200, 240), Tint(kBlue, Look::Normal)};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(Tint(fills[i], l));
        p.drawRect(QRectF(6 + i * 5, 6 + i * 5, 20, 16));
    }
}

void Grid(QPainter& p, Look l)
{
    p.setPen(QPen(Tint(kInk, l), 1.2));
    const QColor fills[4] = {kRed, kGreen, kBlue, kOrange};
    for (int i = 0; i < 4; ++i) {
        p.setBrush(Tint(fills[i], l));
        p.drawRoundedRect(QRectF(6 + (i % 2) * 15, 6 + (i / 2) * 15, 13, 13), 2, 2);
    }
}

using Painter = void (*)(QPainter&, Look);
// Open, Save, Image Properties, By problem, Add text, Add image, Paint
// Mode, Multi Shoot Tools, Effect Gallery.
const Painter kPictures[kCount] = {Folder, Disk, Info, Wand, Text, Picture, Brush, Stack, Grid};

QImage Strip(Look look)
{
    QImage img(kSize * kCount, kSize, QImage::Format_RGB32);
    img.fill(kMask);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < kCount; ++i) {
        p.save();
        p.translate(i * kSize, 0);
        p.setClipRect(0, 0, kSize, kSize);
        kPictures[i](p, look);
        p.restore();
    }
    p.end();
    // Antialiased edges stay clear of the mask colour.
    for (int y = 0; y < img.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if ((row[x] & 0xFFFFFF) == 0)
                row[x] = qRgb(1, 1, 1);
    }
    return img;
}

QImage Icon()
{
    QImage img(64, 64, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 4, 0, 60);
    sky.setColorAt(0, QColor(90, 160, 240));
    sky.setColorAt(1, QColor(30, 90, 190));
    p.setPen(QPen(kInk, 2));
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(4, 4, 56, 56), 12, 12);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 200, 80));
    p.drawEllipse(QRectF(38, 12, 12, 12));
    p.setBrush(QColor(60, 170, 100));
    p.drawPolygon(QPolygonF{{6, 56}, {24, 30}, {36, 44}, {44, 36}, {58, 56}});
    return img;
}

bool SaveBmp(const QImage& picture, const std::string& path)
{
    const QImage src = picture.convertToFormat(QImage::Format_ARGB32);
    CQLImage out;
    if (out.Create(static_cast<UINT>(src.width()), static_cast<UINT>(src.height())) != 0)
        return false;
    for (int y = 0; y < src.height(); ++y)
        std::memcpy(out.GetBuffer(0, y), src.constScanLine(y), static_cast<size_t>(src.width()) * 4);
    return out.SaveToFile(path.c_str()) == 0;
}

}  // namespace

QImage ToolbarStrip(int bitmapId)
{
    switch (bitmapId) {
    case 140:
    case 145: return Strip(Look::Normal);
    case 144: return Strip(Look::Disabled);
    case 143: return Strip(Look::Hot);
    default: return {};
    }
}

QImage SplashPicture()
{
    QImage img(420, 310, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient back(0, 0, 0, img.height());
    back.setColorAt(0, QColor(36, 82, 160));
    back.setColorAt(0.75, QColor(120, 170, 230));
    back.setColorAt(1, QColor(235, 240, 248));
    p.fillRect(img.rect(), back);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 205, 90));
    p.drawEllipse(QRectF(300, 40, 70, 70));
    p.setBrush(QColor(50, 130, 90));
    p.drawPolygon(QPolygonF{{0, 250}, {110, 160}, {190, 220}, {270, 150}, {420, 250}, {420, 270}, {0, 270}});
    p.drawImage(QRectF(24, 24, 64, 64), Icon());
    // A lettering-free title bar: the generator runs without fonts.
    p.setBrush(QColor(255, 255, 255, 210));
    p.drawRoundedRect(QRectF(100, 40, 170, 14), 7, 7);
    p.setBrush(QColor(255, 255, 255, 140));
    p.drawRoundedRect(QRectF(100, 64, 110, 10), 5, 5);
    // The band the status texts are written into.
    p.fillRect(QRect(20, 285, 300, 20), Qt::white);
    return img;
}

int WriteEditorFramePictures(const std::string& res, const std::string& skin)
{
    std::error_code ec;
    std::filesystem::create_directories(res + "bitmap", ec);
    std::filesystem::create_directories(res + "icon", ec);
    std::filesystem::create_directories(skin, ec);
    int failed = 0;
    for (int id : {140, 143, 144, 145})
        failed += !ToolbarStrip(id).save(QString::fromStdString(res + "bitmap/" + std::to_string(id) + ".png"), "PNG");
    failed += !Icon().convertToFormat(QImage::Format_ARGB32).save(QString::fromStdString(res + "icon/128.png"), "PNG");
    failed += !SaveBmp(SplashPicture(), skin + "start.lgb");
    return failed;
}
