#include "CollagePictures.h"

#include "IconColours.h"
#include "collage/CollageTemplate.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTransform>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

using collage::BoxPoint;
using collage::CollageTemplate;
using collage::FrameBox;

bool SavePng(const QImage& picture, const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    return picture.convertToFormat(QImage::Format_ARGB32).save(QString::fromStdString(path), "PNG");
}

QImage Canvas(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
}

// ---- icons and cursors ----

QImage ProgramIcon()
{
    QImage img = Canvas(32, 32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor photos[3] = {iconcolours::kOrange, iconcolours::kGreen, iconcolours::kBlue};
    const qreal angles[3] = {-14, 8, -3};
    const QPointF centres[3] = {{11, 12}, {21, 13}, {16, 21}};
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.translate(centres[i]);
        p.rotate(angles[i]);
        p.setPen(QPen(iconcolours::kInk, 1));
        p.setBrush(iconcolours::kPaper);
        p.drawRect(QRectF(-8, -7, 16, 14));
        p.setPen(Qt::NoPen);
        p.setBrush(photos[i]);
        p.drawRect(QRectF(-6, -5, 12, 9));
        p.restore();
    }
    return img;
}

QImage WithHotSpot(QImage img, int x, int y)
{
    img.setText(QStringLiteral("HotSpot"), QStringLiteral("%1,%2").arg(x).arg(y));
    return img;
}

void Arrow(QPainter& p, QPointF from, QPointF to)
{
    p.drawLine(from, to);
    const QPointF d = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF n(-d.y(), d.x());
    QPainterPath head;
    head.moveTo(to + d * 1.5);
    head.lineTo(to - d * 4 + n * 3.5);
    head.lineTo(to - d * 4 - n * 3.5);
    head.closeSubpath();
    p.fillPath(head, p.pen().color());
}

// Diagonal double arrow through a small square: drags one corner.
QImage CornerCursor()
{
    QImage img = Canvas(32, 32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (const auto& [colour, width] : {std::pair{QColor(Qt::white), 3.5}, std::pair{QColor(Qt::black), 1.5}}) {
        p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
        Arrow(p, QPointF(15.5, 15.5), QPointF(5, 5));
        Arrow(p, QPointF(15.5, 15.5), QPointF(26, 26));
    }
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(12.5, 12.5, 6, 6));
    return WithHotSpot(img, 15, 15);
}

// A round arrow about a centre dot: turns the box.
QImage RotateCursor()
{
    QImage img = Canvas(32, 32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF ring(6, 6, 19, 19);
    for (const auto& [colour, width] : {std::pair{QColor(Qt::white), 4.0}, std::pair{QColor(Qt::black), 2.0}}) {
        p.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(ring, 30 * 16, 280 * 16);
    }
    // The arrow head at the arc's end (30 degrees).
    const qreal a = 30 * M_PI / 180;
    const QPointF end(15.5 + 9.5 * std::cos(a), 15.5 - 9.5 * std::sin(a));
    QPainterPath head;
    head.moveTo(end + QPointF(-5, -3));
    head.lineTo(end + QPointF(4, -4));
    head.lineTo(end + QPointF(1, 5));
    head.closeSubpath();
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(Qt::black);
    p.drawPath(head);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(15.5, 15.5), 1.8, 1.8);
    return WithHotSpot(img, 15, 15);
}

// A 15-pixel disc the box number is written on (drawn 7 pixels up and left).
QImage CentreIcon()
{
    QImage img = Canvas(32, 32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(iconcolours::kInk, 1));
    p.setBrush(QColor(255, 236, 150));
    p.drawEllipse(QRectF(0.5, 0.5, 14, 14));
    return img;
}

// A 7-pixel square handle (drawn 3 pixels up and left of a corner).
QImage HandleIcon(const QColor& fill)
{
    QImage img = Canvas(32, 32);
    QPainter p(&img);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(fill);
    p.drawRect(0, 0, 6, 6);
    return img;
}

// ---- starter templates ----

// Paper with a faint grain and a soft vignette, drawn opaque.
void Paper(QImage& img, QColor base, int grain)
{
    for (int y = 0; y < img.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            unsigned h = static_cast<unsigned>(x) * 374761393u + static_cast<unsigned>(y) * 668265263u;
            h = (h ^ (h >> 13)) * 1274126177u;
            const int g = static_cast<int>((h >> 16) % (2 * grain + 1)) - grain;
            const double dx = (x - img.width() / 2.0) / img.width(), dy = (y - img.height() / 2.0) / img.height();
            const int v = static_cast<int>(-40 * (dx * dx + dy * dy)) + g;
            row[x] = qRgba(std::clamp(base.red() + v, 0, 255), std::clamp(base.green() + v, 0, 255),
                           std::clamp(base.blue() + v, 0, 255), 255);
        }
    }
}

// A print: a soft shadow, a white border and a see-through window, turned by
// angle degrees about its centre. Returns the window's box, one pixel wider
// than the window on every side so the window's soft edge is covered.
FrameBox Print(QPainter& p, QRectF window, qreal angle, qreal border)
{
    const QPointF centre = window.center();
    QTransform turn;
    turn.translate(centre.x(), centre.y());
    turn.rotate(angle);
    turn.translate(-centre.x(), -centre.y());
    p.save();
    p.setTransform(turn);
    const QRectF paper = window.adjusted(-border, -border, border, border * (border > 20 ? 2.2 : 1));
    for (int i = 6; i >= 1; --i) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 14));
        p.drawRoundedRect(paper.translated(3, 5).adjusted(-i * 2, -i * 2, i * 2, i * 2), 6 + i, 6 + i);
    }
    p.setBrush(QColor(252, 251, 247));
    p.setPen(QPen(QColor(215, 210, 200), 1));
    p.drawRect(paper);
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRect(window);
    p.restore();
    const QRectF box = window.adjusted(-1, -1, 1, 1);
    const QPointF corners[4] = {turn.map(box.topLeft()), turn.map(box.topRight()), turn.map(box.bottomRight()),
                                turn.map(box.bottomLeft())};
    FrameBox out;
    for (int i = 0; i < 4; ++i)
        out.p[i] = BoxPoint{static_cast<int32_t>(std::lround(corners[i].x())),
                            static_cast<int32_t>(std::lround(corners[i].y()))};
    return out;
}

bool WriteStarter(const std::string& folder, const char* name, const QImage& picture, const std::vector<FrameBox>& boxes)
{
    CollageTemplate tpl;
    const QImage img = picture.convertToFormat(QImage::Format_ARGB32);
    if (tpl.frame.Create(img.width(), img.height()) != 0)
        return false;
    for (int y = 0; y < img.height(); ++y)
        std::memcpy(tpl.frame.GetBuffer(0, y), img.constScanLine(y), static_cast<size_t>(img.width()) * 4);
    tpl.boxes = boxes;
    return collage::WriteTemplate(tpl, name, folder + name + ".mfm", [] { return true; }) ==
           collage::WriteResult::Written;
}

int WriteStarterTemplates(const std::string& folder)
{
    int failed = 0;
    {
        QImage img = Canvas(1600, 1000);
        Paper(img, QColor(236, 228, 214), 3);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        std::vector<FrameBox> boxes{Print(p, QRectF(80, 110, 680, 780), 0, 26),
                                    Print(p, QRectF(840, 110, 680, 780), 0, 26)};
        p.end();
        failed += !WriteStarter(folder, "Two side by side", img, boxes);
    }
    {
        QImage img = Canvas(1800, 900);
        Paper(img, QColor(54, 62, 74), 2);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        std::vector<FrameBox> boxes;
        for (int i = 0; i < 3; ++i)
            boxes.push_back(Print(p, QRectF(90 + i * 560, 150, 500, 560), 0, 18));
        p.end();
        failed += !WriteStarter(folder, "Three in a row", img, boxes);
    }
    {
        QImage img = Canvas(1400, 1400);
        Paper(img, QColor(246, 244, 240), 2);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        std::vector<FrameBox> boxes;
        for (int i = 0; i < 4; ++i)
            boxes.push_back(Print(p, QRectF(90 + (i % 2) * 640, 90 + (i / 2) * 640, 580, 580), 0, 12));
        p.end();
        failed += !WriteStarter(folder, "Four squares", img, boxes);
    }
    {
        QImage img = Canvas(1400, 1100);
        // Warm wood: vertical planks with grain lines.
        Paper(img, QColor(150, 104, 66), 6);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        for (int x = 0; x < 1400; x += 175) {
            p.setPen(QPen(QColor(95, 62, 36), 3));
            p.drawLine(x, 0, x, 1100);
        }
        std::vector<FrameBox> boxes{Print(p, QRectF(310, 200, 780, 600), -7, 40)};
        p.end();
        failed += !WriteStarter(folder, "Tilted snapshot", img, boxes);
    }
    {
        QImage img = Canvas(1600, 1100);
        Paper(img, QColor(214, 226, 232), 3);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        // The second print lies on the first: where they overlap it wins.
        std::vector<FrameBox> boxes{Print(p, QRectF(140, 130, 760, 560), -5, 30),
                                    Print(p, QRectF(700, 400, 760, 560), 6, 30)};
        p.end();
        failed += !WriteStarter(folder, "Overlapping prints", img, boxes);
    }
    return failed;
}

} // namespace

int WriteCollagePictures(const std::string& res, const std::string& programFolder)
{
    const std::string tree = res + "collage/";
    int failed = 0;
    failed += !SavePng(ProgramIcon(), tree + "icon/128.png");
    failed += !SavePng(CornerCursor(), tree + "cursor/129.png");
    failed += !SavePng(RotateCursor(), tree + "cursor/130.png");
    failed += !SavePng(CentreIcon(), tree + "icon/131.png");
    failed += !SavePng(HandleIcon(Qt::white), tree + "icon/132.png");
    failed += !SavePng(HandleIcon(iconcolours::kOrange), tree + "icon/133.png");
    failed += WriteStarterTemplates(programFolder + "Frame/");
    return failed;
}
