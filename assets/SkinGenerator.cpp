// Draws the editor's skin: the pictures of the skin folder and the bitmap
// and cursor resources the skinned controls use. A light, flat look: cool
// grey faces, slate ink and one blue accent. Deterministic, so every build
// writes the same files.
//
//   quillo_skingen <skin folder> <resource folder>
#include "EditorFramePictures.h"
#include "DropletPictures.h"
#include "DemoIcon.h"
#include "MenuIcons.h"
#include "MultiShotPictures.h"
#include "EffectDialogPictures.h"
#include "FunctionBarPictures.h"
#include "TransformPictures.h"
#include "SelectionPictures.h"
#include "AdjustPictures.h"
#include "ToneColourPictures.h"
#include "OverlayPictures.h"
#include "PaintPictures.h"
#include "PaintToolPictures.h"
#include "FrameDialogPictures.h"
#include "OpenDialogPictures.h"
#include "HistoryButtons.h"
#include "SaveModePictures.h"
#include "WizardPictures.h"
#include "ShellDialogPictures.h"
#include "IconColours.h"
#include "ZoomViewPictures.h"
#include "RepairPictures.h"
#include "RetouchDialogPictures.h"
#include "ShelfPictures.h"
#include "DevelopPictures.h"
#include "GlancePictures.h"
#include "SnapPictures.h"
#include "BeaconPictures.h"
#include "ShelfListPictures.h"
#include "BatchPictures.h"
#include "WebExportPictures.h"
#include "SearchPictures.h"
#include "ShelfWindowPictures.h"
#include "ShelfViewPictures.h"
#include "PrintPictures.h"
#include "CollagePictures.h"
#include "imagecore/QLImage.h"

#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

const QColor kFace(243, 244, 247);
const QColor& kAccent = iconcolours::kBlue;
const QColor kLine(160, 168, 180);

// A faint, tileable grain for the face: a hash of the position.
int Grain(int x, int y)
{
    unsigned h = static_cast<unsigned>(x) * 374761393u + static_cast<unsigned>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<int>((h >> 16) % 3) - 1;
}

QImage FaceTile(int width, int height)
{
    QImage img(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int g = Grain(x % 32, y % 32);
            img.setPixel(x, y, qRgb(kFace.red() + g, kFace.green() + g, kFace.blue() + g));
        }
    return img;
}

QImage Transparent(int width, int height)
{
    QImage img(width, height, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

// Written through our own BMP writer, which is what the controls read.
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
    return picture.convertToFormat(QImage::Format_ARGB32).save(QString::fromStdString(path), "PNG");
}

// Three bands of equal height, top to bottom: disabled, hovered, normal.
QImage ButtonBands()
{
    constexpr int kWidth = 32, kBand = 32;
    QImage img(kWidth, 3 * kBand, QImage::Format_ARGB32);
    QPainter p(&img);
    const QColor tops[3] = {QColor(236, 237, 240), QColor(240, 246, 255), QColor(255, 255, 255)};
    const QColor bottoms[3] = {QColor(226, 227, 231), QColor(212, 228, 251), QColor(235, 238, 243)};
    for (int b = 0; b < 3; ++b) {
        QLinearGradient g(0, b * kBand, 0, (b + 1) * kBand - 1);
        g.setColorAt(0, tops[b]);
        g.setColorAt(1, bottoms[b]);
        p.fillRect(0, b * kBand, kWidth, kBand, g);
    }
    return img;
}

// Four 16 x 16 cells: unchecked, checked (columns) of a check box and a
// radio button (rows).
QImage CheckGlyphs()
{
    QImage img = Transparent(32, 32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (int checked = 0; checked < 2; ++checked) {
        const qreal x = 16.0 * checked;
        // Check box.
        p.setPen(QPen(checked ? kAccent : kLine, 1.0));
        p.setBrush(checked ? kAccent : QColor(Qt::white));
        p.drawRoundedRect(QRectF(x + 1.5, 1.5, 13, 13), 3, 3);
        if (checked) {
            QPainterPath tick;
            tick.moveTo(x + 4.5, 8.2);
            tick.lineTo(x + 7.0, 10.8);
            tick.lineTo(x + 11.5, 5.0);
            p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
            p.drawPath(tick);
        }
        // Radio button.
        p.setPen(QPen(checked ? kAccent : kLine, 1.0));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(x + 1.5, 17.5, 13, 13));
        if (checked) {
            p.setPen(Qt::NoPen);
            p.setBrush(kAccent);
            p.drawEllipse(QRectF(x + 4.5, 20.5, 7, 7));
        }
    }
    return img;
}

// The slider's track: a step arrow at each end (dark, so the ends can
// grey them), a groove between, a plain middle column that is stretched.
// Groove pixels are bluish (red below blue) so the slider shades them by
// the thumb's side.
QImage SliderTrack()
{
    constexpr int kWidth = 100, kHeight = 20;
    QImage img = Transparent(kWidth, kHeight);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(16, 16, 16));
    QPolygonF left, right;
    left << QPointF(4, 10) << QPointF(9.5, 6.5) << QPointF(9.5, 13.5);
    right << QPointF(96, 10) << QPointF(90.5, 6.5) << QPointF(90.5, 13.5);
    p.drawPolygon(left);
    p.drawPolygon(right);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(QColor(176, 176, 176)); // neutral rim, kept as drawn
    p.drawRect(16, 7, kWidth - 32, 6);
    p.setBrush(QColor(86, 98, 128)); // bluish groove
    p.drawRect(17, 8, kWidth - 34, 4);
    p.end();
    // Soft arrow edges keep the arrow's own colour (premultiplied drawing
    // would lighten faint pixels past the darkness the ends look for).
    QImage straight = img.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < kHeight; ++y)
        for (int x : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13})
            for (int col : {x, kWidth - 1 - x}) {
                const QRgb c = straight.pixel(col, y);
                if (qAlpha(c))
                    straight.setPixel(col, y, qRgba(16, 16, 16, qAlpha(c)));
            }
    return straight;
}

// The thumb: a small rounded handle with a blue rim and a grip line.
QImage SliderThumb()
{
    QImage img = Transparent(11, 16);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 16);
    g.setColorAt(0, Qt::white);
    g.setColorAt(1, QColor(226, 234, 247));
    p.setPen(QPen(kAccent, 1.2));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.6, 0.6, 9.8, 14.8), 3, 3);
    p.setPen(QPen(kAccent, 1.0));
    p.drawLine(QPointF(5.5, 4.5), QPointF(5.5, 11.5));
    return img;
}

// A pointing hand, fingertip up, in a 32 x 32 frame at the given scale.
QPainterPath HandPath()
{
    QPainterPath hand;
    hand.setFillRule(Qt::WindingFill);
    hand.addRoundedRect(QRectF(8.5, 1, 5, 17), 2.5, 2.5);   // index finger
    hand.addRoundedRect(QRectF(13, 9, 4.5, 10), 2.2, 2.2);  // middle
    hand.addRoundedRect(QRectF(17, 10, 4.5, 10), 2.2, 2.2); // ring
    hand.addRoundedRect(QRectF(21, 11.5, 4, 9), 2, 2);      // little
    QPainterPath thumb;
    thumb.moveTo(9.5, 21);
    thumb.lineTo(4.5, 15.5);
    thumb.cubicTo(3, 13.8, 5, 11.8, 6.8, 13.2);
    thumb.lineTo(10, 16);
    thumb.closeSubpath();
    hand.addPath(thumb);
    hand.addRoundedRect(QRectF(8.5, 15, 17, 14), 4.5, 4.5); // palm
    return hand.simplified();
}

QImage HandCursor()
{
    QImage img = Transparent(32, 32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.0));
    p.setBrush(Qt::white);
    p.drawPath(HandPath());
    p.end();
    img.setText("HotSpot", "10,1");
    return img;
}

// The zoom view's tool pictures sit on its dark strip and on the light
// picture buttons of the dialogs: light ink with a dark rim reads on both.
const QColor kToolInk(240, 242, 246);
const QColor kToolAccent(128, 182, 255);
const QColor kToolRim(34, 38, 46);

// A picture-button face: the picture over its mask (white shows the
// picture, black the button's background), each size x size. draw(p, ink,
// accent) runs twice: once widened in the rim colour, then in its colours.
template <typename Draw>
QImage ButtonFace(int size, Draw draw)
{
    QImage ink = Transparent(size, size);
    {
        QPainter p(&ink);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p, kToolRim, kToolRim, 2.0);
        draw(p, kToolInk, kToolAccent, 0.0);
    }
    QImage face(size, 2 * size, QImage::Format_ARGB32);
    const QImage straight = ink.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const QRgb c = straight.pixel(x, y);
            const int a = qAlpha(c);
            // Where the mask hides the picture its colour is the ink's, so
            // soft edges blend toward the ink and never toward black.
            face.setPixel(x, y, a > 24 ? qRgb(qRed(c), qGreen(c), qBlue(c)) : kToolRim.rgb());
            face.setPixel(x, size + y, qRgb(a, a, a));
        }
    return face;
}

void Magnifier(QPainter& p, int sign, const QColor& ink, const QColor& accent, qreal wider)
{
    p.setPen(QPen(ink, 2.0 + wider, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
    p.drawLine(QPointF(12, 12), QPointF(17.5, 17.5));
    p.setPen(QPen(accent, 1.8 + wider, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5.5, 8), QPointF(10.5, 8));
    if (sign > 0)
        p.drawLine(QPointF(8, 5.5), QPointF(8, 10.5));
}

struct Output {
    std::string path;
    bool ok;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <skin folder> <resource folder>\n", argv[0]);
        return 2;
    }
    const std::string skin = std::string(argv[1]) + "/";
    const std::string res = std::string(argv[2]) + "/";
    std::error_code ec;
    for (const std::string& dir : {skin, res + "bitmap", res + "cursor"})
        std::filesystem::create_directories(dir, ec);

    constexpr int kFace = 20;
    const Output outputs[] = {
        {skin + "btnst.bmp", SaveBmp(ButtonBands(), skin + "btnst.bmp")},
        {skin + "3dface.bmp", SaveBmp(FaceTile(128, 64), skin + "3dface.bmp")},
        {skin + "checkbox.png", SavePng(CheckGlyphs(), skin + "checkbox.png")},
        {skin + "slider.png", SavePng(SliderTrack(), skin + "slider.png")},
        {skin + "sliderbar.png", SavePng(SliderThumb(), skin + "sliderbar.png")},
        {skin + "zoomin.bmp", SaveBmp(ButtonFace(kFace, [](QPainter& p, const QColor& ink, const QColor& accent,
                                                           qreal wider) { Magnifier(p, 1, ink, accent, wider); }),
                                      skin + "zoomin.bmp")},
        {skin + "zoomout.bmp", SaveBmp(ButtonFace(kFace, [](QPainter& p, const QColor& ink, const QColor& accent,
                                                            qreal wider) { Magnifier(p, -1, ink, accent, wider); }),
                                       skin + "zoomout.bmp")},
        {skin + "hand.bmp", SaveBmp(ButtonFace(kFace,
                                               [](QPainter& p, const QColor& ink, const QColor&, qreal wider) {
                                                   p.save();
                                                   p.scale(20.0 / 30.0, 20.0 / 30.0);
                                                   p.translate(1, 1);
                                                   p.setPen(QPen(kToolRim, 2.2 + 1.5 * wider));
                                                   p.setBrush(ink);
                                                   p.drawPath(HandPath());
                                                   p.restore();
                                               }),
                                    skin + "hand.bmp")},
        {skin + "bestfit.bmp", SaveBmp(ButtonFace(kFace,
                                                  [](QPainter& p, const QColor& ink, const QColor& accent, qreal wider) {
                                                      p.setPen(QPen(ink, 2.0 + wider, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                                                      p.setBrush(Qt::NoBrush);
                                                      const qreal a = 3, b = 17, c = 7;
                                                      p.drawPolyline(QPolygonF{{a, a + c - 2}, {a, a}, {a + c - 2, a}});
                                                      p.drawPolyline(QPolygonF{{b - c + 2, a}, {b, a}, {b, a + c - 2}});
                                                      p.drawPolyline(QPolygonF{{b, b - c + 2}, {b, b}, {b - c + 2, b}});
                                                      p.drawPolyline(QPolygonF{{a + c - 2, b}, {a, b}, {a, b - c + 2}});
                                                      p.setPen(wider > 0 ? QPen(accent, wider) : QPen(Qt::NoPen));
                                                      p.setBrush(accent);
                                                      p.drawRoundedRect(QRectF(7, 7, 6, 6), 1.5, 1.5);
                                                  }),
                                       skin + "bestfit.bmp")},
        {skin + "zoom1.bmp", SaveBmp(ButtonFace(kFace,
                                                [](QPainter& p, const QColor& ink, const QColor& accent, qreal wider) {
                                                    p.setPen(QPen(ink, 2.0 + wider, Qt::SolidLine, Qt::RoundCap));
                                                    p.drawLine(QPointF(4, 6), QPointF(6, 4.5));
                                                    p.drawLine(QPointF(6, 4.5), QPointF(6, 15.5));
                                                    p.drawLine(QPointF(13, 6), QPointF(15, 4.5));
                                                    p.drawLine(QPointF(15, 4.5), QPointF(15, 15.5));
                                                    p.setPen(wider > 0 ? QPen(accent, wider) : QPen(Qt::NoPen));
                                                    p.setBrush(accent);
                                                    p.drawEllipse(QRectF(9.2, 6.8, 2.2, 2.2));
                                                    p.drawEllipse(QRectF(9.2, 12.2, 2.2, 2.2));
                                                }),
                                     skin + "zoom1.bmp")},
        {res + "bitmap/329.png", SavePng(FaceTile(32, 32), res + "bitmap/329.png")},
        {res + "cursor/131.png", SavePng(HandCursor(), res + "cursor/131.png")},
    };
    int failed = 0;
    for (const Output& o : outputs)
        if (!o.ok) {
            std::fprintf(stderr, "cannot write %s\n", o.path.c_str());
            ++failed;
        }
    failed += WriteMenuIcons(res);
    failed += WriteZoomViewPictures(res);
    failed += WriteEffectDialogPictures(res);
    failed += WriteHistoryButtonPictures(skin);
    failed += WriteSaveModePictures(skin);
    failed += WriteMultiShotPictures(skin);
    failed += WriteWizardPictures(skin);
    failed += WriteEditorFramePictures(res, skin);
    failed += WriteDemoIcon(res);
    failed += WriteShellDialogPictures(res, skin);
    failed += WriteFunctionBarPictures(skin);
    failed += WriteTransformPictures(res);
    failed += WritePerspectiveSample(skin);
    failed += WriteAdjustPictures(res);
    failed += WriteRepairPictures(res, skin);
    failed += WriteToneColourPictures(res, skin);
    failed += WriteSelectionPictures(res, skin);
    failed += WriteOverlayPictures(res);
    failed += WritePaintPictures(res);
    failed += WritePaintToolPictures(res);
    failed += WriteFrameDialogPictures(res);
    failed += WriteOpenDialogPictures(res);
    failed += WriteShelfPictures(res, skin);
    failed += WriteRetouchDialogPictures(res, skin);
    failed += WriteGlancePictures(res, skin);
    failed += WriteShelfListPictures(res, skin);
    failed += WriteShelfWindowPictures(res, skin);
    failed += WriteShelfViewPictures(res);
    failed += WriteCollagePictures(res, skin + "../");
    failed += WriteSnapPictures(res, skin);
    failed += WriteBeaconPictures(res);
    failed += WriteDropletPictures(skin + "../");
    failed += WriteDevelopPictures(res, skin + "../raw/");
    failed += WriteBatchPictures(res);
    failed += WriteWebExportPictures(skin + "../");
    failed += WritePrintPictures(res, skin);
    failed += WriteSearchPictures(res);
    return failed ? 1 : 0;
}
