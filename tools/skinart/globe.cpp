#include "globe.h"

#include "coastlines.h"
#include "paint.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double degree = std::numbers::pi / 180.0;
constexpr int maskWidth = 1440; // a quarter degree per pixel
constexpr int maskHeight = 720;

// Two rounds of corner cutting turn the hand-picked points into smooth coasts.
QPolygonF smoothed(const Outline& outline) {
    QPolygonF points(outline.begin(), outline.end());
    for (int round = 0; round < 2; ++round) {
        QPolygonF next;
        const qsizetype n = points.size();
        for (qsizetype i = 0; i < n; ++i) {
            const QPointF a = points[i];
            const QPointF b = points[(i + 1) % n];
            next << a * 0.75 + b * 0.25 << a * 0.25 + b * 0.75;
        }
        points = next;
    }
    return points;
}

QPolygonF toMask(const QPolygonF& lonLat, double shift) {
    QPolygonF out;
    for (const QPointF& p : lonLat) {
        out << QPointF((p.x() + 180.0 + shift) * maskWidth / 360.0,
                       (90.0 - p.y()) * maskHeight / 180.0);
    }
    return out;
}

const QImage& landMask() {
    static const QImage mask = [] {
        QImage image(maskWidth, maskHeight, QImage::Format_Grayscale8);
        image.fill(0);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        auto fill = [&painter](const std::vector<Outline>& outlines, int level) {
            painter.setBrush(QColor(level, level, level));
            for (const Outline& outline : outlines) {
                const QPolygonF smooth = smoothed(outline);
                for (double shift : {-360.0, 0.0, 360.0}) {
                    painter.drawPolygon(toMask(smooth, shift));
                }
            }
        };
        fill(landOutlines(), 255);
        fill(seaOutlines(), 0);
        return image;
    }();
    return mask;
}

double landAt(double lat, double lon) {
    const QImage& mask = landMask();
    double u = (lon + 180.0) / 360.0 * maskWidth - 0.5;
    u = std::fmod(u, static_cast<double>(maskWidth));
    if (u < 0) {
        u += maskWidth;
    }
    const double v = std::clamp((90.0 - lat) / 180.0 * maskHeight - 0.5, 0.0, maskHeight - 1.0);
    const int x0 = static_cast<int>(u);
    const int y0 = static_cast<int>(v);
    const int x1 = (x0 + 1) % maskWidth;
    const int y1 = std::min(y0 + 1, maskHeight - 1);
    const double fx = u - x0;
    const double fy = v - y0;
    auto at = [&mask](int x, int y) { return mask.constScanLine(y)[x] / 255.0; };
    const double top = at(x0, y0) + (at(x1, y0) - at(x0, y0)) * fx;
    const double bottom = at(x0, y1) + (at(x1, y1) - at(x0, y1)) * fx;
    return top + (bottom - top) * fy;
}

// Land tint by latitude: green tropics, sandy subtropics (mostly in the old world's desert
// belt), green temperate zone, grey-green tundra, white ice.
Rgb landColour(double lat, double lon) {
    const double a = std::abs(lat);
    const Rgb green{0.70, 0.79, 0.57};
    const Rgb sand{0.86, 0.80, 0.63};
    const Rgb tundra{0.76, 0.80, 0.71};
    const Rgb ice{0.94, 0.96, 0.97};
    const bool desertBelt = lon > -20.0 && lon < 75.0;
    const double desert =
        smoothstep(12.0, 19.0, a) * (1.0 - smoothstep(31.0, 38.0, a)) * (desertBelt ? 0.95 : 0.35);
    Rgb c = mix(green, sand, desert);
    c = mix(c, tundra, smoothstep(56.0, 66.0, a));
    return mix(c, ice, smoothstep(68.0, 76.0, a));
}

Rgb oceanColour(double lat) {
    const Rgb deep{0.55, 0.71, 0.86};
    const Rgb polar{0.74, 0.83, 0.91};
    return mix(deep, polar, smoothstep(55.0, 85.0, std::abs(lat)));
}

struct SpherePoint {
    double lat;
    double lon;
};

// View coordinates: x right, y up, z towards the viewer, on the unit sphere.
SpherePoint toLatLon(double vx, double vy, double vz, const GlobeView& view) {
    const double s0 = std::sin(view.lat0 * degree);
    const double c0 = std::cos(view.lat0 * degree);
    const double sinLat = std::clamp(vy * c0 + vz * s0, -1.0, 1.0);
    const double east = vx;
    const double front = vz * c0 - vy * s0;
    return {std::asin(sinLat) / degree, view.lon0 + std::atan2(east, front) / degree};
}

struct ViewPoint {
    double x;
    double y;
    double z;
};

ViewPoint toView(double lat, double lon, const GlobeView& view) {
    const double s0 = std::sin(view.lat0 * degree);
    const double c0 = std::cos(view.lat0 * degree);
    const double phi = lat * degree;
    const double lambda = (lon - view.lon0) * degree;
    return {std::cos(phi) * std::sin(lambda),
            std::sin(phi) * c0 - std::cos(phi) * s0 * std::cos(lambda),
            std::sin(phi) * s0 + std::cos(phi) * c0 * std::cos(lambda)};
}

Rgb shadeSphere(double vx, double vy, double vz, const GlobeView& view) {
    const SpherePoint p = toLatLon(vx, vy, vz, view);
    const Rgb base = mix(oceanColour(p.lat), landColour(p.lat, p.lon), landAt(p.lat, p.lon));
    const double lx = -0.50;
    const double ly = 0.60;
    const double lz = 0.62;
    const double ll = std::sqrt(lx * lx + ly * ly + lz * lz);
    const double diffuse = std::max(0.0, (vx * lx + vy * ly + vz * lz) / ll);
    Rgb c = scaled(base, 0.74 + 0.34 * diffuse);
    // Soft highlight half-way between the light and the viewer.
    const double hx = lx / ll;
    const double hy = ly / ll;
    const double hz = lz / ll + 1.0;
    const double hl = std::sqrt(hx * hx + hy * hy + hz * hz);
    const double glint = std::pow(std::max(0.0, (vx * hx + vy * hy + vz * hz) / hl), 24.0);
    c = mix(c, Rgb{1.0, 1.0, 1.0}, 0.22 * glint);
    // Atmosphere thickens towards the limb.
    return mix(c, Rgb{0.86, 0.92, 0.97}, 0.55 * std::pow(1.0 - vz, 2.5));
}

void paintGraticule(QImage& image, const GlobeView& view) {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath disc;
    disc.addEllipse(view.centre, view.radius - 0.5, view.radius - 0.5);
    QPainterPath above;
    above.addRect(QRectF(0, 0, image.width(), view.clipBottom));
    painter.setClipPath(disc.intersected(above));
    painter.setPen(QPen(QColor(255, 255, 255, 92), view.gridWidth));
    painter.setBrush(Qt::NoBrush);

    auto trace = [&](auto pointAt, int steps) {
        QPolygonF run;
        for (int i = 0; i <= steps; ++i) {
            const ViewPoint v = pointAt(i);
            if (v.z > 0.0) {
                run << QPointF(view.centre.x() + v.x * view.radius,
                               view.centre.y() - v.y * view.radius);
            } else if (!run.isEmpty()) {
                painter.drawPolyline(run);
                run.clear();
            }
        }
        if (run.size() > 1) {
            painter.drawPolyline(run);
        }
    };
    for (int lon = -180; lon < 180; lon += 30) {
        trace([&](int i) { return toView(-90.0 + i * 0.5, lon, view); }, 360);
    }
    for (int lat = -60; lat <= 60; lat += 30) {
        trace([&](int i) { return toView(lat, -180.0 + i * 0.5, view); }, 720);
    }
}

} // namespace

void paintGlobe(QImage& image, const GlobeView& view) {
    constexpr int samples = 3;
    const double glowWidth = view.glowWidth;
    const double r = view.radius;
    const double cx = view.centre.x();
    const double cy = view.centre.y();
    const int x0 = std::max(0, static_cast<int>(cx - r - 4 * glowWidth));
    const int x1 = std::min(image.width() - 1, static_cast<int>(cx + r + 4 * glowWidth));
    const int y0 = std::max(0, static_cast<int>(cy - r - 4 * glowWidth));
    const int y1 = std::min({image.height() - 1, static_cast<int>(cy + r + 4 * glowWidth),
                             static_cast<int>(std::ceil(view.clipBottom)) - 1});
    const Rgb glow{0.97, 0.985, 1.0};
    for (int y = y0; y <= y1; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = x0; x <= x1; ++x) {
            const QRgb old = line[x];
            Rgb under{qRed(old) / 255.0, qGreen(old) / 255.0, qBlue(old) / 255.0};
            const double dc = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            if (dc > r) {
                under = mix(under, glow, 0.6 * std::exp(-(dc - r) / glowWidth));
            }
            Rgb sum;
            int hits = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const double vx = (x + (sx + 0.5) / samples - cx) / r;
                    const double vy = -(y + (sy + 0.5) / samples - cy) / r;
                    const double rr = vx * vx + vy * vy;
                    if (rr >= 1.0) {
                        continue;
                    }
                    const Rgb c = shadeSphere(vx, vy, std::sqrt(1.0 - rr), view);
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                    ++hits;
                }
            }
            if (hits > 0) {
                const Rgb mean = scaled(sum, 1.0 / hits);
                under = mix(under, mean, static_cast<double>(hits) / (samples * samples));
            }
            line[x] = toQRgb(under);
        }
    }
    paintGraticule(image, view);
}
