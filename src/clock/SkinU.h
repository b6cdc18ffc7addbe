#pragma once

#include <QImage>
#include <QSize>
#include <array>

// The pictures the window is painted from, loaded once. The sizes are in window pixels; a
// skin of Scale 2 has twice as many image pixels each way.
struct TSkin {
    QImage TopLarge;    // 600 x 292, with the dial
    QImage TopSmall;    // 600 x 67
    QImage BottomLarge; // 600 x 191, with the day and night bands
    QImage BottomSmall; // 600 x 7
    QImage Circle;      // 38 x 38, transparent where the bottom-left pixel's colour is
    QImage InnerCircle; // 38 x 38, likewise
    std::array<QImage, 13> HourDigits; // 1 .. 12
    QImage Sun;
    QImage Moon;
    QImage Delta;

    // Image pixels per window pixel. The pictures carry it as their device pixel ratio, so
    // that a painter places and sizes them in window pixels.
    int Scale = 1;
    // The same pictures at twice the resolution, where there are such.
    const TSkin* Double = nullptr;

    // The pictures to compose for a screen of that device pixel ratio: the double ones for
    // anything above 1 (the window scales them smoothly to a fractional ratio).
    const TSkin& ForPixelRatio(double ratio) const;

    // From the compiled-in resources, at 1x (with its Double) and at 2x.
    static const TSkin& Standard();
    static const TSkin& StandardDouble();
};

// The size of a picture in window pixels.
QSize SizeOf(const QImage& picture);

// A picture drawn "transparent": every pixel of the bottom-left pixel's colour becomes clear.
QImage TransparentByBottomLeft(const QImage& picture);
