#include "paint.h"

#include "palette.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

Rgb rgb(const QColor& c) {
    return {c.redF(), c.greenF(), c.blueF()};
}

QRgb toQRgb(const Rgb& c) {
    auto channel = [](double v) { return static_cast<int>(std::lround(clamp01(v) * 255.0)); };
    return qRgb(channel(c.r), channel(c.g), channel(c.b));
}

Rgb mix(const Rgb& a, const Rgb& b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scaled(const Rgb& c, double f) {
    return {c.r * f, c.g * f, c.b * f};
}

Rgb lerpColour(const QColor& a, const QColor& b, double t) {
    return mix(rgb(a), rgb(b), t);
}

double clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}

double smoothstep(double edge0, double edge1, double v) {
    const double t = clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

double hashUnit(int x, int y, int salt) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8da6b343u;
    h ^= static_cast<std::uint32_t>(y) * 0xd8163841u;
    h ^= static_cast<std::uint32_t>(salt) * 0xcb1ab31fu;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return static_cast<double>(h & 0xffffffu) / static_cast<double>(0x1000000);
}

double rowNoise(double x, int row, int salt) {
    const double cell = std::floor(x);
    const double f = x - cell;
    const double u = f * f * (3.0 - 2.0 * f);
    const int i = static_cast<int>(cell);
    const double a = hashUnit(i, row, salt) * 2.0 - 1.0;
    const double b = hashUnit(i + 1, row, salt) * 2.0 - 1.0;
    return a + (b - a) * u;
}

double sdRoundBox(double x, double y, double x0, double y0, double x1, double y1, double radius) {
    const double cx = (x0 + x1) / 2.0;
    const double cy = (y0 + y1) / 2.0;
    const double qx = std::abs(x - cx) - ((x1 - x0) / 2.0 - radius);
    const double qy = std::abs(y - cy) - ((y1 - y0) / 2.0 - radius);
    const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - radius;
}

double sdArch(double x, double y, double cx, double cy, double radius) {
    if (y <= cy) {
        return std::hypot(x - cx, y - cy) - radius;
    }
    return std::abs(x - cx) - radius;
}

Rgb metalAt(double x, int grainX, int worldY) {
    // A broad soft sheen left of centre, as if the light sat above the window's left half;
    // it depends on x only, so stacked pictures join without a seam.
    const double dx = (x - 210.0) / 200.0;
    const double sheen = 0.045 * std::exp(-dx * dx) - 0.02;
    // Fine horizontal brushing: every row gets its own long and short streaks.
    const double streaks =
        0.010 * (hashUnit(worldY, 7, 1) * 2.0 - 1.0) + 0.016 * rowNoise(x / 53.0, worldY, 2) +
        0.009 * rowNoise(x / 11.0, worldY, 3) + 0.005 * (hashUnit(grainX, worldY, 4) * 2.0 - 1.0);
    return scaled(rgb(palette::metal), 1.0 + sheen + streaks);
}

QImage composePlate(const Plate& plate, const Sdf& recess, const Shader& content) {
    constexpr double chamfer = 3.0;
    const Rgb white{1.0, 1.0, 1.0};
    const Rgb black{0.0, 0.0, 0.0};
    const int s = plate.scale;
    QImage image(plate.width * s, plate.height * s, QImage::Format_RGB32);
    for (int iy = 0; iy < image.height(); ++iy) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(iy));
        const int y = iy / s; // the picture row, for the edges
        for (int ix = 0; ix < image.width(); ++ix) {
            const int x = ix / s;
            const double px = (ix + 0.5) / s;
            const double py = (iy + 0.5) / s;
            const double d = recess(px, py);
            Rgb colour = metalAt(static_cast<double>(ix) / s, ix, plate.worldY * s + iy);
            if (d < chamfer + 1.0) {
                // The chamfer slopes down into the window: its face towards the light is
                // bright, the far side dark, with a thin dark seam where it meets the glass.
                const double h = 0.5;
                double nx = recess(px + h, py) - recess(px - h, py);
                double ny = recess(px, py + h) - recess(px, py - h);
                const double len = std::hypot(nx, ny);
                if (len > 1e-9) {
                    nx /= len;
                    ny /= len;
                }
                const double facing = -(nx * lightX + ny * lightY);
                Rgb bevel = scaled(colour, 1.0 + 0.30 * facing);
                bevel = scaled(bevel, 1.0 - 0.16 * std::exp(-std::max(d, 0.0) / 0.8));
                colour = mix(bevel, colour, smoothstep(chamfer - 0.7, chamfer + 0.7, d));
                const double coverage = clamp01(0.5 - d * s); // one image pixel of edge
                if (coverage > 0.0) {
                    Rgb inner = content(ix, iy);
                    // Rim shadow cast down and to the right onto the glass.
                    const double shadow = smoothstep(-1.6, 0.8, recess(px - 1.5, py - 1.5));
                    // Ends 2.5 px in, so the glass is exactly flat further inside.
                    const double edge = std::max(0.0, 1.0 + std::min(d, 0.0) / 2.5);
                    const double occlusion = 0.06 * edge * edge;
                    inner = scaled(inner, (1.0 - 0.22 * shadow) * (1.0 - occlusion));
                    colour = mix(colour, inner, coverage);
                }
            }
            if (plate.litTopEdge) {
                if (y == 0) {
                    colour = mix(colour, white, 0.55);
                } else if (y == 1) {
                    colour = mix(colour, white, 0.22);
                }
            }
            if (plate.darkBottomEdge) {
                const int fromBottom = plate.height - 1 - y;
                if (fromBottom == 0) {
                    colour = mix(colour, black, 0.42);
                } else if (fromBottom == 1) {
                    colour = mix(colour, black, 0.20);
                } else if (fromBottom == 2) {
                    colour = mix(colour, black, 0.07);
                }
            }
            if (x == 0) {
                colour = mix(colour, white, 0.42);
            } else if (x == 1) {
                colour = mix(colour, white, 0.16);
            }
            const int fromRight = plate.width - 1 - x;
            if (fromRight == 0) {
                colour = mix(colour, black, 0.40);
            } else if (fromRight == 1) {
                colour = mix(colour, black, 0.24);
            } else if (fromRight == 2) {
                colour = mix(colour, black, 0.10);
            }
            line[ix] = toQRgb(colour);
        }
    }
    return image;
}
