#include "FaceOverMask.h"
#include "IconColours.h"

#include "imagecore/QLImage.h"

#include <cstring>

bool SaveFaceOverMask(const QImage& ink, const std::string& path)
{
    const int w = ink.width(), h = ink.height();
    const QImage straight = ink.convertToFormat(QImage::Format_ARGB32);
    QImage face(w, 2 * h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb c = straight.pixel(x, y);
            const int a = qAlpha(c);
            face.setPixel(x, y, a > 24 ? qRgb(qRed(c), qGreen(c), qBlue(c)) : iconcolours::kInk.rgb());
            face.setPixel(x, h + y, qRgb(a, a, a));
        }
    CQLImage out;
    if (out.Create(static_cast<UINT>(w), static_cast<UINT>(2 * h)) != 0)
        return false;
    for (int y = 0; y < face.height(); ++y)
        std::memcpy(out.GetBuffer(0, y), face.constScanLine(y), static_cast<size_t>(w) * 4);
    return out.SaveToFile(path.c_str()) == 0;
}

bool SaveDrawnFace(int size, const std::function<void(QPainter&)>& draw, const std::string& path)
{
    QImage ink(size, size, QImage::Format_ARGB32_Premultiplied);
    ink.fill(Qt::transparent);
    {
        QPainter p(&ink);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
    }
    return SaveFaceOverMask(ink, path);
}
