// What the wizard's window tests share: pumping the event loop, grabs, a
// temporary folder and DNGs made from the corpus or drawn in code.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/WinUser.h"

#include <QApplication>

#include <chrono>
#include <string>

template <class Done>
bool PumpUntil(Done done, int ms = 20000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done() && std::chrono::steady_clock::now() < end)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}
void Pump(int ms = 30);
// build/tests/<name>.png of the window as it looks now.
void SaveGrab(HWND hwnd, const char* name);
std::string Corpus(const char* rel);
// A photo of the corpus at most maxSide wide; false when absent.
bool LoadCorpusPhoto(const char* rel, int maxSide, CQLImage& photo);
// A smooth colour scene drawn in code.
void DrawScene(CQLImage& image, int width, int height);
