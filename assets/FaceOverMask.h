// Button faces as the skinned picture buttons read them: the picture in the
// top half, its coverage as grey in the bottom half.
#pragma once

#include <QImage>
#include <QPainter>

#include <functional>

#include <string>

// ink: a square picture on a transparent background. Hidden pixels take the
// ink colour, so soft edges blend toward it. False when not written.
bool SaveFaceOverMask(const QImage& ink, const std::string& path);

// A size x size face drawn antialiased by draw on a transparent picture.
bool SaveDrawnFace(int size, const std::function<void(QPainter&)>& draw, const std::string& path);
