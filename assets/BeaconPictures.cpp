#include "BeaconPictures.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <filesystem>

namespace {

bool SavePng(const QImage& picture, const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    return picture.save(QString::fromStdString(path), "PNG");
}

const QColor kInk(44, 56, 74);

// Type 0: a plain note, nothing to do.
void Note(QPainter& p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(250, 246, 200));
    p.drawRect(QRectF(3.5, 2.5, 9, 11));
    p.drawLine(QPointF(5.5, 6.5), QPointF(10.5, 6.5));
    p.drawLine(QPointF(5.5, 9.5), QPointF(10.5, 9.5));
}

// Type 1: a globe for a web page.
void Globe(QPainter& p)
{
    p.setPen(QPen(QColor(20, 70, 150), 1));
    QRadialGradient g(QPointF(6, 6), 8);
    g.setColorAt(0, QColor(150, 210, 255));
    g.setColorAt(1, QColor(40, 120, 210));
    p.setBrush(g);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(5, 1.5, 6, 13));
    p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
}

// Type 2: a picture frame.
void Frame(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(170, 110, 40));
    p.drawRect(QRectF(1, 2, 14, 12));
    p.setBrush(QColor(120, 190, 250));
    p.drawRect(QRectF(3, 4, 10, 8));
    p.setBrush(QColor(60, 150, 60));
    QPainterPath hill;
    hill.moveTo(3, 12);
    hill.lineTo(7, 7);
    hill.lineTo(10, 10);
    hill.lineTo(13, 8);
    hill.lineTo(13, 12);
    p.drawPath(hill);
}

// Type 3: a puzzle piece for a plug-in.
void Puzzle(QPainter& p)
{
    QPainterPath piece;
    piece.addRect(QRectF(2.5, 4.5, 10, 9));
    piece.addEllipse(QRectF(5.5, 1.5, 4, 4));
    piece.addEllipse(QRectF(10.5, 7, 4, 4));
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(120, 200, 90));
    p.drawPath(piece.simplified());
}

// Type 4: a palette for a colour theme.
void Palette(QPainter& p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(235, 215, 170));
    p.drawEllipse(QRectF(1.5, 2.5, 13, 11));
    p.setPen(Qt::NoPen);
    const QColor dabs[] = {QColor(220, 40, 40), QColor(40, 90, 220), QColor(240, 200, 20), QColor(40, 170, 60)};
    const QPointF at[] = {QPointF(4.5, 5.5), QPointF(8, 4.5), QPointF(11.5, 6.5), QPointF(5, 9.5)};
    for (int i = 0; i < 4; ++i) {
        p.setBrush(dabs[i]);
        p.drawEllipse(at[i], 1.6, 1.6);
    }
}

// Type 5: a box for a program.
void Box(QPainter& p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(200, 160, 100));
    p.drawRect(QRectF(2.5, 5.5, 11, 8));
    p.setBrush(QColor(230, 195, 140));
    QPolygonF lid;
    lid << QPointF(2.5, 5.5) << QPointF(5.5, 2.5) << QPointF(13.5, 2.5) << QPointF(13.5, 5.5);
    p.drawPolygon(lid);
    p.setBrush(QColor(60, 110, 200));
    p.drawRect(QRectF(6.5, 8.5, 4, 3));
}

// Type 6: a download arrow.
void Arrow(QPainter& p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(90, 160, 230));
    QPolygonF a;
    a << QPointF(6, 1.5) << QPointF(10, 1.5) << QPointF(10, 7.5) << QPointF(13, 7.5) << QPointF(8, 12.5)
      << QPointF(3, 7.5) << QPointF(6, 7.5);
    p.drawPolygon(a);
    p.drawLine(QPointF(2.5, 14.5), QPointF(13.5, 14.5));
}

QImage TypeStrip()
{
    QImage img(16 * 7, 16, QImage::Format_RGB32);
    img.fill(QColor(0, 255, 0));
    void (*draw[])(QPainter&) = {Note, Globe, Frame, Puzzle, Palette, Box, Arrow};
    for (int i = 0; i < 7; ++i) {
        // Drawn on its own transparent cell, then laid on the key without
        // blending edges into green.
        QImage cell(16, 16, QImage::Format_ARGB32);
        cell.fill(Qt::transparent);
        QPainter p(&cell);
        draw[i](p);
        p.end();
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (qAlpha(cell.pixel(x, y)) >= 128)
                    img.setPixel(16 * i + x, y, QColor::fromRgba(cell.pixel(x, y)).rgb() | 0xFF000000u);
    }
    return img;
}

// The program icon: a globe with a green download arrow.
QImage ProgramIcon()
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(2, 2);
    Globe(p);
    p.setPen(QPen(QColor(20, 90, 30), 0.8));
    p.setBrush(QColor(70, 190, 80));
    QPolygonF a;
    a << QPointF(9, 6) << QPointF(12, 6) << QPointF(12, 10) << QPointF(14.5, 10) << QPointF(10.5, 15)
      << QPointF(6.5, 10) << QPointF(9, 10);
    p.drawPolygon(a);
    return img;
}

} // namespace

int WriteBeaconPictures(const std::string& res)
{
    int failed = 0;
    const std::string tree = res + "beacon/";
    failed += !SavePng(ProgramIcon(), tree + "icon/128.png");
    failed += !SavePng(TypeStrip(), tree + "bitmap/134.png");
    return failed;
}
