#include "WebExportPictures.h"

#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <filesystem>

namespace {

constexpr int kSide = 48;

// Through the codec, as the suite writes its GIFs: alpha below 128 becomes
// the transparent colour.
bool SaveGif(const QImage& picture, const std::string& path)
{
    const QImage src = picture.convertToFormat(QImage::Format_ARGB32);
    CQLImage out;
    if (out.Create(static_cast<UINT>(src.width()), static_cast<UINT>(src.height())) != 0)
        return false;
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            const QRgb c = src.pixel(x, y);
            out.PutPixel(x, y, CPixel{static_cast<BYTE>(qBlue(c)), static_cast<BYTE>(qGreen(c)),
                                      static_cast<BYTE>(qRed(c)), static_cast<BYTE>(qAlpha(c))});
        }
    CQLImageCodec codec;
    return codec.SaveFile(path.c_str(), &out) != 0;
}

QImage Canvas()
{
    QImage img(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

QImage Folder()
{
    QImage img = Canvas();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath back;
    back.moveTo(4, 12);
    back.lineTo(18, 12);
    back.lineTo(22, 16);
    back.lineTo(44, 16);
    back.lineTo(44, 40);
    back.lineTo(4, 40);
    back.closeSubpath();
    p.setPen(QPen(QColor(0x9A, 0x6B, 0x12), 1.5));
    p.setBrush(QColor(0xE8, 0xB0, 0x3A));
    p.drawPath(back);
    QLinearGradient front(0, 20, 0, 42);
    front.setColorAt(0, QColor(0xFF, 0xD8, 0x6A));
    front.setColorAt(1, QColor(0xF0, 0xB4, 0x34));
    p.setBrush(front);
    p.drawRoundedRect(QRectF(4, 20, 40, 21), 2, 2);
    return img;
}

// A round button with a white arrow; left points back.
QImage Arrow(bool left)
{
    QImage img = Canvas();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient face(0, 4, 0, 44);
    face.setColorAt(0, QColor(0x5A, 0x84, 0xB8));
    face.setColorAt(1, QColor(0x2C, 0x4A, 0x6E));
    p.setPen(QPen(QColor(0x1E, 0x34, 0x50), 1.5));
    p.setBrush(face);
    p.drawEllipse(QRectF(4, 4, 40, 40));
    QPainterPath arrow;
    const double tip = left ? 14 : 34, base = left ? 30 : 18;
    arrow.moveTo(tip, 24);
    arrow.lineTo(base, 13);
    arrow.lineTo(base, 35);
    arrow.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(arrow);
    return img;
}

} // namespace

int WriteWebExportPictures(const std::string& programFolder)
{
    const std::string folder = programFolder + "webexport/";
    std::filesystem::create_directories(folder);
    int failed = 0;
    failed += !SaveGif(Folder(), folder + "folder.gif");
    failed += !SaveGif(Arrow(true), folder + "prev.gif");
    failed += !SaveGif(Arrow(false), folder + "next.gif");
    return failed;
}
