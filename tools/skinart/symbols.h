// The small pictures the window draws over the skin: hour circles and digits, the day and night
// signs, the delta sign, and the application icon.
#pragma once

#include <QImage>
#include <QSize>

namespace symbols {

inline constexpr int circleSize = 38;

// Light blue disc with a dark blue ring; everything outside the disc is the key colour, so the
// window's bottom-left-pixel transparency leaves no fringe. The inner variant adds four short
// marks on the ring.
QImage circle(bool withMarks, int scale = 1);

// Box of each hour digit picture, index 1 .. 12.
QSize digitBox(int hour);
// Hour digit drawn on the circle fill, placed so that it is centred on the circle when the
// window centres the box on it.
QImage digit(int hour, int scale = 1);

// Day and night signs, drawn over a copy of the skin where they will be placed.
// Like every picture here, at scale image pixels per window pixel; the background at that
// scale too.
QImage sun(const QImage& background, int scale = 1);
QImage moon(const QImage& background, int scale = 1);
// Greek capital delta sunk into the metal under it.
QImage delta(const QImage& background, int scale = 1);

// 256 x 256 application icon with a transparent surround.
QImage appIcon();

} // namespace symbols
