#pragma once

#include <QImage>
#include <array>

// The pictures the window is painted from, loaded once.
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

    // From the compiled-in resources.
    static const TSkin& Standard();
};

// A picture drawn "transparent": every pixel of the bottom-left pixel's colour becomes clear.
QImage TransparentByBottomLeft(const QImage& picture);
