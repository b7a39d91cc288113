// Menu and toolbar icons in the skin's light style: slate line drawings with
// one accent colour each, on the toolbar mask colour.
#include "MenuIcons.h"
#include "IconColours.h"

#include <QPainter>
#include <QPainterPath>

#include <vector>

namespace {

using namespace iconcolours;

enum class Glyph {
    Folder, Disk, Close, Printer, Undo, Redo, Copy, Paste, Gear, Help,
    Info, Tag, Wand, Crop, RotateLeft, RotateRight, FlipH, FlipV, Resize, FreeRotate,
    Histogram, Levels, Sun, Balance, Palette,
    Noise, Face, Sharpen, Blur, Spot, RedEye, Theme, Frame, Eraser, Camera,
};

const std::vector<Glyph>& StripOf(int toolbarId)
{
    static const std::vector<Glyph> k128{Glyph::Folder, Glyph::Disk, Glyph::Close, Glyph::Printer, Glyph::Undo,
                                         Glyph::Redo, Glyph::Copy, Glyph::Paste, Glyph::Gear, Glyph::Help};
    static const std::vector<Glyph> k134{Glyph::Info, Glyph::Tag, Glyph::Wand, Glyph::Crop, Glyph::RotateLeft,
                                         Glyph::RotateRight, Glyph::FlipH, Glyph::FlipV, Glyph::Resize,
                                         Glyph::FreeRotate, Glyph::Histogram, Glyph::Levels, Glyph::Sun,
                                         Glyph::Balance, Glyph::Palette};
    static const std::vector<Glyph> k365{Glyph::Noise, Glyph::Face, Glyph::Sharpen, Glyph::Blur, Glyph::Spot,
                                         Glyph::RedEye, Glyph::Theme, Glyph::Frame, Glyph::Eraser, Glyph::Camera};
    static const std::vector<Glyph> none;
    return toolbarId == 128 ? k128 : toolbarId == 134 ? k134 : toolbarId == 365 ? k365 : none;
}

void Sheet(QPainter& p, QRectF r)
{
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawRect(r);
}

void Arrow(QPainter& p, bool left, QColor color)
{
    QPainterPath path;
    path.arcMoveTo(QRectF(5, 5, 14, 14), left ? 30 : 150);
    path.arcTo(QRectF(5, 5, 14, 14), left ? 30 : 150, left ? 240 : -240);
    p.setPen(QPen(color, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    const QPointF tip = path.pointAtPercent(1.0);
    p.setBrush(color);
    p.setPen(Qt::NoPen);
    p.drawEllipse(tip, 2.4, 2.4);
}

void Draw(QPainter& p, Glyph g)
{
    p.setRenderHint(QPainter::Antialiasing);
    switch (g) {
    case Glyph::Folder:
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(kOrange);
        p.drawRoundedRect(QRectF(3, 6, 18, 13), 1.5, 1.5);
        p.setBrush(kOrange.lighter(125));
        p.drawRect(QRectF(3, 4, 8, 3));
        break;
    case Glyph::Disk:
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(4, 3, 16, 17), 2, 2);
        p.setBrush(kPaper);
        p.drawRect(QRectF(7, 3, 10, 6));
        p.drawRect(QRectF(7, 13, 10, 7));
        break;
    case Glyph::Close:
        Sheet(p, QRectF(5, 3, 14, 17));
        p.setPen(QPen(kRed, 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(9, 8), QPointF(15, 15));
        p.drawLine(QPointF(15, 8), QPointF(9, 15));
        break;
    case Glyph::Printer:
        Sheet(p, QRectF(7, 2, 10, 8));
        p.setBrush(kInk.lighter(180));
        p.drawRoundedRect(QRectF(3, 9, 18, 8), 1.5, 1.5);
        Sheet(p, QRectF(7, 14, 10, 6));
        break;
    case Glyph::Undo: Arrow(p, true, kBlue); break;
    case Glyph::Redo: Arrow(p, false, kBlue); break;
    case Glyph::Copy:
        Sheet(p, QRectF(4, 3, 11, 13));
        Sheet(p, QRectF(9, 7, 11, 13));
        break;
    case Glyph::Paste:
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(kOrange);
        p.drawRoundedRect(QRectF(4, 4, 14, 16), 1.5, 1.5);
        Sheet(p, QRectF(10, 9, 10, 12));
        break;
    case Glyph::Gear:
        p.setPen(QPen(kInk, 3.0, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 4; ++i) {
            p.save();
            p.translate(12, 11.5);
            p.rotate(45.0 * i);
            p.drawLine(QPointF(-8, 0), QPointF(8, 0));
            p.restore();
        }
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(kPaper);
        p.drawEllipse(QPointF(12, 11.5), 5.5, 5.5);
        p.setBrush(kBlue);
        p.drawEllipse(QPointF(12, 11.5), 2, 2);
        break;
    case Glyph::Help:
    case Glyph::Info:
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(g == Glyph::Help ? kBlue : kGreen);
        p.drawEllipse(QPointF(12, 11.5), 9, 9);
        p.setPen(QPen(kPaper, 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 10), QPointF(12, 16));
        p.drawPoint(QPointF(12, 6.5));
        break;
    case Glyph::Tag:
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(kOrange);
        p.drawPolygon(QPolygonF{{3, 11}, {11, 3}, {20, 3}, {20, 12}, {12, 20}});
        p.setBrush(kPaper);
        p.drawEllipse(QPointF(16, 7), 1.8, 1.8);
        break;
    case Glyph::Wand:
        p.setPen(QPen(kInk, 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 19), QPointF(15, 8));
        p.setPen(QPen(kOrange, 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(18, 2), QPointF(18, 8));
        p.drawLine(QPointF(15, 5), QPointF(21, 5));
        break;
    case Glyph::Crop:
        p.setPen(QPen(kInk, 2.2));
        p.drawPolyline(QPolygonF{{7, 2}, {7, 16}, {21, 16}});
        p.drawPolyline(QPolygonF{{3, 7}, {17, 7}, {17, 21}});
        break;
    case Glyph::RotateLeft: Arrow(p, true, kGreen); break;
    case Glyph::RotateRight: Arrow(p, false, kGreen); break;
    case Glyph::FlipH:
    case Glyph::FlipV:
        p.save();
        if (g == Glyph::FlipV) {
            p.translate(12, 11.5);
            p.rotate(90);
            p.translate(-12, -11.5);
        }
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(kBlue);
        p.drawPolygon(QPolygonF{{10, 4}, {10, 19}, {3, 19}});
        p.setBrush(kPaper);
        p.drawPolygon(QPolygonF{{14, 4}, {14, 19}, {21, 19}});
        p.restore();
        break;
    case Glyph::Resize:
        Sheet(p, QRectF(3, 3, 18, 17));
        p.setPen(QPen(kBlue, 2.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(7, 16), QPointF(17, 7));
        p.drawPolyline(QPolygonF{{12, 7}, {17, 7}, {17, 12}});
        break;
    case Glyph::FreeRotate:
        p.save();
        p.translate(12, 11.5);
        p.rotate(-20);
        Sheet(p, QRectF(-7, -6, 14, 12));
        p.restore();
        break;
    case Glyph::Histogram:
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        for (int i = 0; i < 6; ++i) {
            const int h = (i * 7 + 5) % 13 + 4;
            p.drawRect(QRectF(3 + 3 * i, 20 - h, 2.4, h));
        }
        break;
    case Glyph::Levels: {
        QLinearGradient ramp(3, 0, 21, 0);
        ramp.setColorAt(0, kInk);
        ramp.setColorAt(1, kPaper);
        p.setPen(QPen(kInk, 1.0));
        p.setBrush(ramp);
        p.drawRect(QRectF(3, 6, 18, 8));
        p.setBrush(kBlue);
        p.drawPolygon(QPolygonF{{12, 15}, {9, 20}, {15, 20}});
        break;
    }
    case Glyph::Sun:
        p.setPen(QPen(kOrange, 2.0, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 8; ++i) {
            p.save();
            p.translate(12, 11.5);
            p.rotate(45.0 * i);
            p.drawLine(QPointF(7, 0), QPointF(10, 0));
            p.restore();
        }
        p.setBrush(kOrange);
        p.drawEllipse(QPointF(12, 11.5), 4.5, 4.5);
        break;
    case Glyph::Balance:
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(kBlue);
        p.drawPie(QRectF(3, 3, 18, 17), 90 * 16, 180 * 16);
        p.setBrush(kOrange);
        p.drawPie(QRectF(3, 3, 18, 17), 270 * 16, 180 * 16);
        break;
    case Glyph::Palette:
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(kPaper);
        p.drawEllipse(QRectF(2, 3, 20, 17));
        for (const auto& [pt, c] : {std::pair{QPointF(8, 8), kRed}, {QPointF(13, 7), kGreen}, {QPointF(17, 11), kBlue},
                                    {QPointF(7, 14), kOrange}}) {
            p.setBrush(c);
            p.drawEllipse(pt, 2.2, 2.2);
        }
        break;
    case Glyph::Noise:
        p.setPen(Qt::NoPen);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x) {
                p.setBrush(((x * 5 + y * 3) % 7) < 3 ? kInk : kPaper);
                p.drawRect(QRectF(3 + 3 * x, 3 + 3 * y, 3, 3));
            }
        break;
    case Glyph::Face:
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(QColor(246, 214, 180));
        p.drawEllipse(QPointF(12, 11.5), 9, 9);
        p.setBrush(kInk);
        p.drawEllipse(QPointF(9, 9.5), 1.2, 1.2);
        p.drawEllipse(QPointF(15, 9.5), 1.2, 1.2);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(8, 10, 8, 6), 200 * 16, 140 * 16);
        break;
    case Glyph::Sharpen:
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(kBlue);
        p.drawPolygon(QPolygonF{{12, 2}, {20, 20}, {4, 20}});
        break;
    case Glyph::Blur:
        for (int i = 3; i >= 1; --i) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(52, 120, 226, 60 * (4 - i)));
            p.drawEllipse(QPointF(12, 11.5), 3.0 * i, 3.0 * i);
        }
        break;
    case Glyph::Spot:
        Sheet(p, QRectF(3, 3, 18, 17));
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawEllipse(QPointF(9, 9), 2, 2);
        p.drawEllipse(QPointF(15, 14), 1.5, 1.5);
        break;
    case Glyph::RedEye:
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(kPaper);
        p.drawEllipse(QRectF(2, 6, 20, 11));
        p.setBrush(kRed);
        p.drawEllipse(QPointF(12, 11.5), 4, 4);
        break;
    case Glyph::Theme: {
        QLinearGradient g2(0, 3, 0, 20);
        g2.setColorAt(0, kBlue);
        g2.setColorAt(1, kOrange);
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(g2);
        p.drawRoundedRect(QRectF(3, 3, 18, 17), 2, 2);
        break;
    }
    case Glyph::Frame:
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(kOrange);
        p.drawRect(QRectF(2, 2, 20, 19));
        p.setBrush(kPaper);
        p.drawRect(QRectF(6, 6, 12, 11));
        break;
    case Glyph::Eraser:
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(QColor(240, 150, 170));
        p.drawPolygon(QPolygonF{{3, 15}, {13, 5}, {21, 12}, {12, 20}, {7, 20}});
        break;
    case Glyph::Camera:
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(kInk.lighter(200));
        p.drawRoundedRect(QRectF(2, 6, 20, 14), 2, 2);
        p.drawRect(QRectF(8, 3, 8, 3));
        p.setBrush(kBlue);
        p.drawEllipse(QPointF(12, 13), 4.5, 4.5);
        break;
    }
}

}  // namespace

QImage MenuIconStrip(int toolbarId)
{
    const std::vector<Glyph>& glyphs = StripOf(toolbarId);
    if (glyphs.empty())
        return {};
    constexpr int kW = 24, kH = 23;
    QImage strip(kW * static_cast<int>(glyphs.size()), kH, QImage::Format_ARGB32);
    strip.fill(kMask);
    for (size_t i = 0; i < glyphs.size(); ++i) {
        // Each icon is drawn over a clear tile and then flattened onto the
        // mask colour, keeping its edge pixels away from the mask itself.
        QImage tile(kW, kH, QImage::Format_ARGB32_Premultiplied);
        tile.fill(Qt::transparent);
        {
            QPainter p(&tile);
            Draw(p, glyphs[i]);
        }
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const QColor c = tile.pixelColor(x, y);
                if (c.alpha() < 96)
                    continue;
                QColor solid(c.red(), c.green(), c.blue());
                if (solid == kMask)
                    solid = QColor(193, 193, 193);
                strip.setPixelColor(kW * static_cast<int>(i) + x, y, solid);
            }
    }
    return strip;
}

int WriteMenuIcons(const std::string& res)
{
    int failed = 0;
    for (int id : {128, 134, 365}) {
        const std::string path = res + "bitmap/" + std::to_string(id) + ".png";
        if (!MenuIconStrip(id).save(QString::fromStdString(path), "PNG"))
            ++failed;
    }
    return failed;
}
