// Small pixel toolkit for the skin pictures: colour arithmetic, deterministic noise, signed
// distance shapes and the brushed-metal plate with recessed windows.
#pragma once

#include <QColor>
#include <QImage>

#include <functional>

struct Rgb {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
};

Rgb rgb(const QColor& c);
QRgb toQRgb(const Rgb& c);
Rgb mix(const Rgb& a, const Rgb& b, double t);
Rgb scaled(const Rgb& c, double f);
Rgb lerpColour(const QColor& a, const QColor& b, double t);

double clamp01(double v);
double smoothstep(double edge0, double edge1, double v);

// Integer hash mapped to [0, 1); the same inputs always give the same value.
double hashUnit(int x, int y, int salt);
// Smooth one-dimensional noise in [-1, 1] along x, independent for every row.
double rowNoise(double x, int row, int salt);

// Signed distances in pixels, negative inside.
double sdRoundBox(double x, double y, double x0, double y0, double x1, double y1, double radius);
// Half disc above cy joined to a vertical strip of the same width below it.
double sdArch(double x, double y, double cx, double cy, double radius);

// Brushed metal colour at x (in picture pixels at 1x) on a row of the shared texture; grainX
// is the column of the finest grain. A picture drawn at a larger scale passes rows and grain
// columns of that scale, so its streaks are as fine as its pixels. worldY lets two pictures
// share the same streaks row for row.
Rgb metalAt(double x, int grainX, int row);
inline Rgb metalAt(int x, int worldY) {
    return metalAt(x, x, worldY);
}

// Direction the light comes from (screen coordinates, normalised): upper left.
inline constexpr double lightX = -0.55;
inline constexpr double lightY = -0.835;

struct Plate {
    int width = 0;
    int height = 0;
    int worldY = 0;              // row of the shared metal texture that row 0 uses
    bool litTopEdge = false;     // the picture forms the top edge of the window
    bool darkBottomEdge = false; // the picture forms the bottom edge of the window
    int scale = 1;               // image pixels per picture pixel; sizes stay in the latter
};

using Sdf = std::function<double(double, double)>;
using Shader = std::function<Rgb(int, int)>;

// Metal plate with a sunken window (recess < 0 inside, in picture pixels) filled by content,
// which is asked for image pixels.
QImage composePlate(const Plate& plate, const Sdf& recess, const Shader& content);
