#include "PictureFiles.h"

#include "imagecore/QLImage.h"

#include <QColor>
#include <QPainter>
#include <QString>

#include <filesystem>

bool SavePng(const QImage& picture, const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    return picture.convertToFormat(QImage::Format_ARGB32).save(QString::fromStdString(path), "PNG");
}

bool SaveOpaqueBmp(const QImage& picture, const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const QImage src = picture.convertToFormat(QImage::Format_RGB32);
    CQLImage out;
    if (out.Create(static_cast<UINT>(src.width()), static_cast<UINT>(src.height())) != 0)
        return false;
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            const QRgb c = src.pixel(x, y);
            out.PutPixel(x, y, CPixel{static_cast<BYTE>(qBlue(c)), static_cast<BYTE>(qGreen(c)),
                                      static_cast<BYTE>(qRed(c)), 255});
        }
    return out.SaveToFile(path.c_str()) == 0;
}

QImage ButtonFaceBitmap(const std::function<void(QPainter&)>& draw)
{
    QImage img(32, 32, QImage::Format_ARGB32_Premultiplied);
    img.fill(QColor(240, 240, 240));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return img;
}
