#include "DevelopUiTestSupport.h"

#include "platform/afx/Wnd.h"
#include "platform/codec/QLImageCodec.h"

#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>

void Pump(int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

void SaveGrab(HWND hwnd, const char* name)
{
    std::filesystem::create_directories(QUILLO_TEST_OUT);
    const QImage grab = qlafx::WidgetOf(hwnd)->grab().toImage();
    EXPECT_TRUE(grab.save(QString::fromStdString(std::string(QUILLO_TEST_OUT) + "/" + name + ".png")));
}

std::string Corpus(const char* rel) { return std::string(QUILLO_CORPUS_DIR) + "/" + rel; }

bool LoadCorpusPhoto(const char* rel, int maxSide, CQLImage& photo)
{
    const std::string path = Corpus(rel);
    if (!std::filesystem::exists(path))
        return false;
    CQLImageCodec codec;
    CQLImage full;
    if (!codec.LoadFile(path.c_str(), &full))
        return false;
    UINT w = 0, h = 0;
    full.GetSize(&w, &h);
    const int side = static_cast<int>(std::max(w, h));
    if (side <= maxSide) {
        photo = std::move(full);
        return true;
    }
    const int tw = static_cast<int>(w) * maxSide / side, th = static_cast<int>(h) * maxSide / side;
    return codec.Resample(&full, &photo, tw, th, 1) != 0;
}

void DrawScene(CQLImage& image, int width, int height)
{
    image.Create(static_cast<UINT>(width), static_cast<UINT>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            BYTE* p = image.GetBuffer(x, y);
            p[0] = static_cast<BYTE>(40 + 160 * y / height);
            p[1] = static_cast<BYTE>(60 + 120 * (x + y) / (width + height));
            p[2] = static_cast<BYTE>(50 + 180 * x / width);
            p[3] = 255;
        }
}
