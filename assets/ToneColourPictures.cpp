#include "ToneColourPictures.h"
#include "IconColours.h"

#include "imagecore/QLImage.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
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

// A small photo: sky, sun and a hill, tinted by cast.
void Photo(QPainter& p, const QRectF& r, const QColor& cast = QColor(0, 0, 0, 0))
{
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, QColor(120, 180, 245));
    sky.setColorAt(1, QColor(40, 100, 200));
    p.setPen(QPen(kInk, 2));
    p.setBrush(sky);
    p.drawRoundedRect(r, 4, 4);
    p.save();
    p.setClipRect(r.adjusted(1, 1, -1, -1));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 205, 90));
    p.drawEllipse(QPointF(r.right() - r.width() * 0.25, r.top() + r.height() * 0.3), r.width() * 0.1, r.width() * 0.1);
    p.setBrush(kGreen);
    p.drawPolygon(QPolygonF{{r.left(), r.bottom()},
                            {r.left() + r.width() * 0.4, r.top() + r.height() * 0.5},
                            {r.right(), r.bottom()}});
    if (cast.alpha() > 0)
        p.fillRect(r, cast);
    p.restore();
}

void Arrow(QPainter& p, const QPointF& tip, double s)
{
    const QPointF pts[] = {tip,
                           tip + QPointF(0, 16 * s),
                           tip + QPointF(4 * s, 12 * s),
                           tip + QPointF(7 * s, 19 * s),
                           tip + QPointF(10 * s, 18 * s),
                           tip + QPointF(7 * s, 11 * s),
                           tip + QPointF(12 * s, 11 * s)};
    p.setPen(QPen(kInk, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kPaper);
    p.drawPolygon(pts, 7);
}

// "Select one": four variants, the best one ticked.
QImage SelectOne()
{
    QImage img = Canvas(kFace);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor casts[4] = {QColor(255, 0, 0, 50), QColor(0, 0, 0, 0), QColor(0, 200, 0, 50), QColor(0, 0, 255, 60)};
    for (int i = 0; i < 4; ++i)
        Photo(p, QRectF(8 + (i % 2) * 44, 12 + (i / 2) * 40, 40, 34), casts[i]);
    p.setPen(QPen(kOrange, 3));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(50, 10, 44, 38), 5, 5);
    p.setPen(QPen(kBlue, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF{{62, 30}, {69, 37}, {84, 20}});
    return img;
}

// "Correct it by click": a photo with a pointer on a grey spot.
QImage ClickOnce()
{
    QImage img = Canvas(kFace);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    Photo(p, QRectF(8, 14, 84, 66), QColor(255, 160, 0, 60));
    p.setPen(QPen(kPaper, 2));
    p.setBrush(QColor(200, 200, 200));
    p.drawEllipse(QPointF(40, 62), 8, 8);
    p.setPen(QPen(kOrange, 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(40, 62), 13, 13);
    Arrow(p, QPointF(41, 63), 1.6);
    return img;
}

// "Manually adjust": three sliders.
QImage ManualAdjust()
{
    QImage img = Canvas(kFace);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colours[3] = {kRed, kGreen, kBlue};
    const double knobs[3] = {36, 64, 48};
    for (int i = 0; i < 3; ++i) {
        const double y = 26 + i * 24;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 206, 216));
        p.drawRoundedRect(QRectF(12, y - 3, 76, 6), 3, 3);
        p.setBrush(colours[i]);
        p.drawRoundedRect(QRectF(12, y - 3, knobs[i] - 12, 6), 3, 3);
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(kPaper);
        p.drawRoundedRect(QRectF(knobs[i] - 5, y - 9, 10, 18), 3, 3);
    }
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
            const QRgb shown = a > 24 ? c : kInk.rgb();
            out.PutPixel(x, y, CPixel{static_cast<BYTE>(qBlue(shown)), static_cast<BYTE>(qGreen(shown)),
                                      static_cast<BYTE>(qRed(shown)), 255});
            out.PutPixel(x, h + y, CPixel{static_cast<BYTE>(a), static_cast<BYTE>(a), static_cast<BYTE>(a), 255});
        }
    return out.SaveToFile(path.c_str()) == 0;
}

bool SavePng(QImage img, const std::string& path, const char* hotSpot = nullptr)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    if (hotSpot)
        img.setText("HotSpot", hotSpot);
    return img.convertToFormat(QImage::Format_ARGB32).save(QString::fromStdString(path), "PNG");
}

// Cursor 179 over "Current Photo": the pointer with a tick, for "this one".
QImage AcceptCursor()
{
    QImage img = Canvas(32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    Arrow(p, QPointF(1, 1), 1.2);
    p.setPen(QPen(kGreen, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF{{17, 22}, {21, 27}, {29, 16}});
    return img;
}

// Cursor 232: cross hairs in a metering square.
QImage SpotCursor()
{
    QImage img = Canvas(32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (const auto& pen : {QPen(kPaper, 3), QPen(kInk, 1)}) {
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(8.5, 8.5, 15, 15));
        p.drawLine(QPointF(16, 1), QPointF(16, 12));
        p.drawLine(QPointF(16, 20), QPointF(16, 31));
        p.drawLine(QPointF(1, 16), QPointF(12, 16));
        p.drawLine(QPointF(20, 16), QPointF(31, 16));
    }
    return img;
}

// Icon 228: a sun half bright, half dark.
QImage ExposureIcon()
{
    QImage img = Canvas(32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kOrange, 2.2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(16, 16);
        p.rotate(45 * i);
        p.drawLine(QPointF(0, -11), QPointF(0, -14.5));
        p.restore();
    }
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(QColor(255, 205, 90));
    p.drawEllipse(QPointF(16, 16), 8, 8);
    QPainterPath half;
    half.moveTo(16, 8);
    half.arcTo(QRectF(8, 8, 16, 16), 90, 180);
    half.closeSubpath();
    p.setBrush(kInk);
    p.drawPath(half);
    return img;
}

}  // namespace

int WriteToneColourPictures(const std::string& res, const std::string& skin)
{
    int failed = 0;
    failed += !SaveFace(SelectOne(), skin + "selone.bmp");
    failed += !SaveFace(ClickOnce(), skin + "clickonce.bmp");
    failed += !SaveFace(ManualAdjust(), skin + "manualadj.bmp");
    failed += !SavePng(AcceptCursor(), res + "cursor/179.png", "1,1");
    failed += !SavePng(SpotCursor(), res + "cursor/232.png", "16,16");
    failed += !SavePng(ExposureIcon(), res + "icon/228.png");
    return failed;
}
