#include "ShelfPictures.h"
#include "IconColours.h"
#include "MenuIcons.h"
#include "imagecore/QLImage.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include <cstring>
#include <filesystem>
#include <utility>

namespace {

using namespace iconcolours;

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

bool SavePng(const QImage& picture, const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    return picture.convertToFormat(QImage::Format_ARGB32).save(QString::fromStdString(path), "PNG");
}

// Three faces of equal height, top to bottom: disabled, hover, normal. Light
// enough for the dialogs' dark caption text, cool like the command bar.
QImage ButtonStrip()
{
    constexpr int kWidth = 64, kBand = 24;
    QImage img(kWidth, 3 * kBand, QImage::Format_ARGB32);
    QPainter p(&img);
    const QColor tops[3] = {QColor(232, 232, 235), QColor(238, 244, 254), QColor(250, 250, 252)};
    const QColor bottoms[3] = {QColor(218, 218, 222), QColor(200, 218, 246), QColor(218, 221, 228)};
    for (int b = 0; b < 3; ++b) {
        QLinearGradient g(0, b * kBand, 0, (b + 1) * kBand - 1);
        g.setColorAt(0, tops[b]);
        g.setColorAt(1, bottoms[b]);
        p.fillRect(0, b * kBand, kWidth, kBand, g);
    }
    return img;
}

// The dialogs' background: a pale grey with a faint tileable grain.
QImage PatternTile()
{
    QImage img(32, 32, QImage::Format_ARGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            unsigned h = static_cast<unsigned>(x) * 2654435761u ^ static_cast<unsigned>(y) * 40503u;
            h = (h ^ (h >> 15)) * 2246822519u;
            const int g = static_cast<int>((h >> 20) % 5) - 2;
            img.setPixel(x, y, qRgb(228 + g, 229 + g, 234 + g));
        }
    return img;
}

// Toolbar 128: the suite's menu glyphs, one per command of the album's
// table, taken from the editor's strips so that both programs look alike.
QImage MenuIcons()
{
    // (toolbar, index) of each icon, in the order of the album's toolbar
    // 128: New Folder, Import, Print, Exit, Edit, Batch, the two turns,
    // Delete, Copy, Paste, Back, Forward, Tags, EXIF, Slideshow, Help,
    // Settings, About.
    const std::pair<int, int> picks[] = {
        {128, 0},  {365, 9}, {128, 3}, {128, 2}, {134, 2}, {134, 11}, {134, 4}, {134, 5}, {365, 8}, {128, 6},
        {128, 7},  {128, 4}, {128, 5}, {134, 1}, {134, 10}, {365, 7}, {128, 9}, {128, 8}, {134, 0},
    };
    constexpr int kW = 24, kH = 23;
    QImage strip(kW * static_cast<int>(std::size(picks)), kH, QImage::Format_ARGB32);
    strip.fill(kMask);
    QPainter p(&strip);
    for (std::size_t i = 0; i < std::size(picks); ++i) {
        const QImage source = MenuIconStrip(picks[i].first);
        p.drawImage(static_cast<int>(i) * kW, 0, source.copy(picks[i].second * kW, 0, kW, kH));
    }
    return strip;
}

// The program icon: two photos fanned out, the front one a landscape.
QImage ProgramIcon()
{
    QImage img(32, 32, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kPaper);
    p.save();
    p.translate(16, 16);
    p.rotate(-12);
    p.drawRect(QRectF(-12, -11, 22, 18));
    p.restore();
    const QRectF front(6.5, 9.5, 22, 18);
    p.drawRect(front);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 224, 250));
    p.drawRect(front.adjusted(2, 2, -2, -2));
    p.setBrush(kGreen);
    const QPointF hills[] = {{8.5, 25.5}, {15, 17}, {19, 21}, {22, 18}, {26.5, 25.5}};
    p.drawPolygon(hills, 5);
    p.setBrush(kOrange);
    p.drawEllipse(QPointF(23, 14), 2, 2);
    return img;
}

} // namespace

int WriteShelfPictures(const std::string& res, const std::string& skin)
{
    const std::string tree = res + "shelf/";
    int failed = 0;
    failed += !SaveBmp(ButtonStrip(), skin + "btnsta.bmp");
    failed += !SavePng(PatternTile(), tree + "bitmap/228.png");
    failed += !SavePng(MenuIcons(), tree + "bitmap/128.png");
    failed += !SavePng(ProgramIcon(), tree + "icon/128.png");
    // The same hand as the editor's cursor 131, written just before.
    QImage hand(QString::fromStdString(res + "cursor/131.png"));
    failed += hand.isNull() || !SavePng(hand, tree + "cursor/138.png");
    return failed;
}
