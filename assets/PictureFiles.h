// Writing the generators' pictures, and the button-face canvas the album's
// 32 x 32 button bitmaps are drawn on.
#pragma once

#include <QImage>

#include <functional>
#include <string>

class QPainter;

// As a PNG with straight alpha; makes the folder first.
bool SavePng(const QImage& picture, const std::string& path);
// As a 32-bit BMP through the image core, every pixel opaque; makes the
// folder first.
bool SaveOpaqueBmp(const QImage& picture, const std::string& path);
// A 32 x 32 picture drawn antialiased over the light button face: bitmaps
// have no transparency.
QImage ButtonFaceBitmap(const std::function<void(QPainter&)>& draw);
