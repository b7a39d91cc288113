#include "ShellDialogPictures.h"
#include "IconColours.h"

#include "imagecore/QLImage.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstring>
#include <filesystem>

namespace {

using namespace iconcolours;
constexpr int kFace = 100;

QImage Canvas(int size)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

// A landscape photo card filling rect: sky, sun and hills.
void PhotoCard(QPainter& p, const QRectF& r)
{
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, QColor(120, 180, 245));
    sky.setColorAt(1, QColor(40, 100, 200));
    p.setPen(QPen(kInk, 3));
    p.setBrush(sky);
    p.drawRoundedRect(r, 8, 8);
    p.save();
    QPainterPath clip;
    clip.addRoundedRect(r.adjusted(1.5, 1.5, -1.5, -1.5), 7, 7);
    p.setClipPath(clip);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 205, 90));
    p.drawEllipse(QPointF(r.right() - r.width() * 0.25, r.top() + r.height() * 0.28), r.width() * 0.1,
                  r.width() * 0.1);
    p.setBrush(kGreen);
    p.drawPolygon(QPolygonF{{r.left(), r.bottom()},
                            {r.left() + r.width() * 0.35, r.top() + r.height() * 0.5},
                            {r.left() + r.width() * 0.55, r.top() + r.height() * 0.7},
                            {r.left() + r.width() * 0.75, r.top() + r.height() * 0.55},
                            {r.right(), r.bottom()}});
    p.restore();
}

// Left half grainy, right half clean, split by a wand's stroke.
QImage NoiseReduction()
{
    QImage img = Canvas(kFace);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF card(8, 14, 84, 72);
    PhotoCard(p, card);
    p.save();
    p.setClipRect(QRectF(card.left() + 3, card.top() + 3, card.width() / 2 - 3, card.height() - 6));
    p.setPen(Qt::NoPen);
    unsigned h = 12345;
    for (int i = 0; i < 260; ++i) {
        h = h * 1103515245u + 12345u;
        const qreal x = card.left() + (h >> 8) % 44;
        h = h * 1103515245u + 12345u;
        const qreal y = card.top() + (h >> 8) % 72;
        p.setBrush((h >> 20) & 1 ? QColor(255, 255, 255, 200) : QColor(20, 20, 30, 170));
        p.drawEllipse(QPointF(x, y), 1.3, 1.3);
    }
    p.restore();
    p.setPen(QPen(kInk, 7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(50, 4), QPointF(50, 96));
    p.setPen(QPen(kPaper, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(50, 4), QPointF(50, 96));
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(QColor(255, 215, 80));
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const qreal a = i * M_PI / 5 - M_PI / 2, rad = i % 2 ? 5 : 11;
        const QPointF pt(50 + rad * std::cos(a), 10 + rad * std::sin(a));
        i ? star.lineTo(pt) : star.moveTo(pt);
    }
    star.closeSubpath();
    p.drawPath(star);
    return img;
}

// A head and shoulders with a soft glow and two sparkles.
QImage Portrait()
{
    QImage img = Canvas(kFace);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(QPointF(50, 50), 48);
    glow.setColorAt(0, QColor(255, 228, 236));
    glow.setColorAt(1, QColor(236, 150, 180));
    p.setPen(QPen(kInk, 3));
    p.setBrush(glow);
    p.drawEllipse(QRectF(4, 4, 92, 92));
    p.setBrush(QColor(246, 206, 176));
    p.drawEllipse(QRectF(33, 20, 34, 40));
    QPainterPath shoulders;
    shoulders.moveTo(16, 88);
    shoulders.cubicTo(20, 66, 34, 62, 50, 62);
    shoulders.cubicTo(66, 62, 80, 66, 84, 88);
    shoulders.closeSubpath();
    p.setBrush(kBlue);
    p.drawPath(shoulders);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 60, 40));
    QPainterPath hair;
    hair.moveTo(33, 38);
    hair.cubicTo(30, 14, 70, 14, 67, 38);
    hair.cubicTo(60, 26, 42, 26, 33, 38);
    p.drawPath(hair);
    p.setBrush(Qt::white);
    for (const QPointF& c : {QPointF(78, 24), QPointF(22, 30)}) {
        QPainterPath s;
        s.moveTo(c + QPointF(0, -8));
        s.quadTo(c, c + QPointF(8, 0));
        s.quadTo(c, c + QPointF(0, 8));
        s.quadTo(c, c + QPointF(-8, 0));
        s.quadTo(c, c + QPointF(0, -8));
        p.drawPath(s);
    }
    return img;
}

// A photo with a dashed selection round an object and an eraser over it.
QImage SmartErase()
{
    QImage img = Canvas(kFace);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    PhotoCard(p, QRectF(6, 12, 80, 68));
    p.setPen(QPen(kInk, 2));
    p.setBrush(kRed);
    p.drawEllipse(QRectF(22, 40, 16, 16));
    p.setPen(QPen(Qt::white, 2, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(16, 34, 28, 28));
    p.translate(66, 70);
    p.rotate(-35);
    p.setPen(QPen(kInk, 2.5));
    p.setBrush(QColor(245, 130, 150));
    p.drawRoundedRect(QRectF(-14, -11, 20, 22), 4, 4);
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(6, -11, 22, 22), 4, 4);
    return img;
}

// A photo card with an information badge.
QImage PropertyIcon()
{
    QImage img = Canvas(64);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    PhotoCard(p, QRectF(3, 6, 48, 40));
    p.setPen(QPen(kInk, 2));
    p.setBrush(kPaper);
    p.drawEllipse(QRectF(30, 26, 32, 32));
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawEllipse(QRectF(43.5, 31, 5, 5));
    p.drawRoundedRect(QRectF(43.5, 39, 5, 14), 2, 2);
    return img;
}

// The picture in the top half, its coverage as grey in the bottom half.
bool SaveFace(const QImage& ink, const std::string& path)
{
    const QImage straight = ink.convertToFormat(QImage::Format_ARGB32);
    const int w = straight.width(), h = straight.height();
    CQLImage out;
    if (out.Create(static_cast<UINT>(w), static_cast<UINT>(2 * h)) != 0)
        return false;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb c = straight.pixel(x, y);
            const int a = qAlpha(c);
            // Soft edges keep their colour, unmixed with the transparent black.
            const auto un = [a](int v) { return static_cast<BYTE>(a ? std::min(255, v * 255 / a) : 0); };
            out.PutPixel(x, y, CPixel{un(qBlue(c)), un(qGreen(c)), un(qRed(c)), 255});
            out.PutPixel(x, h + y, CPixel{static_cast<BYTE>(a), static_cast<BYTE>(a), static_cast<BYTE>(a), 255});
        }
    return out.SaveToFile(path.c_str()) == 0;
}

}  // namespace

QImage FunctionFace(const std::string& file)
{
    if (file == "noisereduction.bmp")
        return NoiseReduction();
    if (file == "portrait_sel.bmp")
        return Portrait();
    if (file == "smarterase.bmp")
        return SmartErase();
    return QImage();
}

int WriteShellDialogPictures(const std::string& res, const std::string& skin)
{
    std::error_code ec;
    std::filesystem::create_directories(res + "icon", ec);
    int failed = 0;
    for (const char* file : {"noisereduction.bmp", "portrait_sel.bmp", "smarterase.bmp"})
        failed += !SaveFace(FunctionFace(file), skin + file);
    failed += !PropertyIcon().convertToFormat(QImage::Format_ARGB32).save(
        QString::fromStdString(res + "icon/147.png"), "PNG");
    return failed;
}
