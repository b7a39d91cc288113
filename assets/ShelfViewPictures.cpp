#include "ShelfViewPictures.h"
#include "IconColours.h"
#include "PictureFiles.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <filesystem>
#include <functional>

namespace {

using namespace iconcolours;

QPen Ink(double width = 2.2) { return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

void Arrow(QPainter& p, bool back)
{
    QPainterPath path;
    const double tip = back ? 6 : 26, base = back ? 17 : 15, tail = back ? 27 : 5;
    path.moveTo(tip, 16);
    path.lineTo(base, 6);
    path.lineTo(base, 11.5);
    path.lineTo(tail, 11.5);
    path.lineTo(tail, 20.5);
    path.lineTo(base, 20.5);
    path.lineTo(base, 26);
    path.closeSubpath();
    p.setPen(Ink(1.4));
    p.setBrush(kBlue);
    p.drawPath(path);
}

void Cross(QPainter& p)
{
    p.setPen(QPen(kRed, 4.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 8), QPointF(24, 24));
    p.drawLine(QPointF(24, 8), QPointF(8, 24));
}

void Play(QPainter& p)
{
    QPainterPath path;
    path.moveTo(9, 6);
    path.lineTo(26, 16);
    path.lineTo(9, 26);
    path.closeSubpath();
    p.setPen(Ink(1.4));
    p.setBrush(kGreen);
    p.drawPath(path);
}

void Pause(QPainter& p)
{
    p.setPen(Ink(1.4));
    p.setBrush(kOrange);
    p.drawRoundedRect(QRectF(8, 6, 6, 20), 1.5, 1.5);
    p.drawRoundedRect(QRectF(18, 6, 6, 20), 1.5, 1.5);
}

void Random(QPainter& p)
{
    p.setPen(Ink(1.4));
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(5, 5, 22, 22), 4, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    for (QPointF c : {QPointF(11, 11), QPointF(21, 11), QPointF(16, 16), QPointF(11, 21), QPointF(21, 21)})
        p.drawEllipse(c, 2.2, 2.2);
}

void Key(QPainter& p)
{
    p.setPen(Ink(1.4));
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(3, 8, 26, 16), 3, 3);
    p.setBrush(kInk);
    p.drawRect(QRectF(8, 18, 16, 2.5));
    for (double x : {7.0, 12.0, 17.0, 22.0})
        p.drawRect(QRectF(x, 12, 2.5, 2.5));
}

void Pencil(QPainter& p)
{
    p.setPen(Ink(1.4));
    p.setBrush(kOrange);
    QPainterPath body;
    body.moveTo(6, 26);
    body.lineTo(8, 19);
    body.lineTo(21, 6);
    body.lineTo(26, 11);
    body.lineTo(13, 24);
    body.closeSubpath();
    p.drawPath(body);
    p.drawLine(QPointF(8, 19), QPointF(13, 24));
}

void Monitor(QPainter& p)
{
    p.setPen(Ink(1.4));
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(3, 5, 26, 17), 2, 2);
    p.setBrush(kGreen);
    QPainterPath hill;
    hill.moveTo(5, 20);
    hill.lineTo(12, 13);
    hill.lineTo(17, 18);
    hill.lineTo(21, 14);
    hill.lineTo(27, 20);
    hill.closeSubpath();
    p.setPen(Qt::NoPen);
    p.drawPath(hill);
    p.setPen(Ink(1.4));
    p.drawLine(QPointF(16, 22), QPointF(16, 26));
    p.drawLine(QPointF(10, 27), QPointF(22, 27));
}

void FullScreen(QPainter& p)
{
    p.setPen(Ink(1.4));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4, 6, 24, 20));
    p.setPen(QPen(kBlue, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF corners[4][3] = {{{8, 14}, {8, 10}, {12, 10}},
                                   {{20, 10}, {24, 10}, {24, 14}},
                                   {{24, 18}, {24, 22}, {20, 22}},
                                   {{12, 22}, {8, 22}, {8, 18}}};
    for (const auto& c : corners)
        p.drawPolyline(c, 3);
}

bool Save(QImage img, const std::string& path, const char* hotSpot = nullptr)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    if (hotSpot)
        img.setText("HotSpot", hotSpot);
    return img.save(QString::fromStdString(path), "PNG");
}

// The editor's hand and zoom cursors, written just before, under the album's ids.
bool CopyCursor(const std::string& res, int from, int to)
{
    QImage cursor(QString::fromStdString(res + "cursor/" + std::to_string(from) + ".png"));
    if (cursor.isNull())
        return false;
    return Save(cursor, res + "shelf/cursor/" + std::to_string(to) + ".png");
}

} // namespace

int WriteShelfViewPictures(const std::string& res)
{
    int failed = 0;
    const std::pair<int, std::function<void(QPainter&)>> bitmaps[] = {
        {153, [](QPainter& p) { Arrow(p, true); }},
        {154, [](QPainter& p) { Arrow(p, false); }},
        {162, Cross},
        {163, Play},
        {164, Pause},
        {165, Random},
        {167, Key},
        {169, Pencil},
        {172, Monitor},
    };
    for (const auto& [id, draw] : bitmaps)
        failed += !Save(ButtonFaceBitmap(draw), res + "shelf/bitmap/" + std::to_string(id) + ".png");
    QImage icon(32, 32, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    {
        QPainter p(&icon);
        p.setRenderHint(QPainter::Antialiasing);
        FullScreen(p);
    }
    failed += !Save(icon, res + "shelf/icon/219.png");
    failed += !CopyCursor(res, 136, 137);
    failed += !CopyCursor(res, 138, 139);
    failed += !CopyCursor(res, 137, 140);
    return failed;
}
