#include "symbols.h"

#include "globe.h"
#include "paint.h"
#include "palette.h"

#include <QPainter>
#include <QPainterPath>

#include <array>
#include <cmath>
#include <numbers>

namespace symbols {

namespace {

constexpr double degree = std::numbers::pi / 180.0;
constexpr double circleCentre = circleSize / 2.0;
constexpr double ringOuter = 18.6;
constexpr double ringInner = 16.3;
// The digit ink height: the same for all hours, whatever their box.
constexpr double digitHeight = 14.0;

// Colour of the disc at a point in circle coordinates, or nothing outside it.
bool discSample(double x, double y, bool withMarks, Rgb& out) {
    const double dx = x - circleCentre;
    const double dy = y - circleCentre;
    const double r = std::hypot(dx, dy);
    if (r >= ringOuter) {
        return false;
    }
    const Rgb ring = rgb(palette::ring);
    const Rgb ringLight = rgb(palette::ringLight);
    if (r > ringInner) {
        const double lit = (dx * lightX + dy * lightY) / r; // 1 facing the light
        out = mix(ring, ringLight, clamp01(0.5 + 0.5 * lit));
        return true;
    }
    if (withMarks) {
        constexpr double halfWidth = 1.0;
        constexpr double markEnd = 13.0;
        const bool vertical = std::abs(dx) < halfWidth && std::abs(dy) > markEnd;
        const bool horizontal = std::abs(dy) < halfWidth && std::abs(dx) > markEnd;
        if (vertical || horizontal) {
            out = ring;
            return true;
        }
    }
    out = rgb(palette::circleFill);
    return true;
}

QPainterPath digitPath(int hour) {
    QFont font("P052");
    font.setBold(true);
    font.setPixelSize(100);
    QPainterPath path;
    path.addText(0, 0, font, QString::number(hour));
    // Scale the outline to the common ink height.
    const QRectF box = path.boundingRect();
    const double s = digitHeight / box.height();
    QTransform t;
    t.scale(s, s);
    t.translate(-box.center().x(), -box.top());
    return t.map(path);
}

QPointF polar(QPointF centre, double radius, double angle) {
    return centre + QPointF(std::cos(angle * degree) * radius, std::sin(angle * degree) * radius);
}

// The line through a and b moved by d to its right (inwards for a clockwise outline).
struct Line {
    QPointF point;
    QPointF direction;
};

Line inset(QPointF a, QPointF b, double d) {
    const QPointF dir = b - a;
    const double len = std::hypot(dir.x(), dir.y());
    const QPointF normal(-dir.y() / len, dir.x() / len);
    return {a + normal * d, dir};
}

QPointF intersect(const Line& p, const Line& q) {
    const double cross = p.direction.x() * q.direction.y() - p.direction.y() * q.direction.x();
    const QPointF w = q.point - p.point;
    const double t = (w.x() * q.direction.y() - w.y() * q.direction.x()) / cross;
    return p.point + p.direction * t;
}

} // namespace

QImage circle(bool withMarks, int scale) {
    constexpr int samples = 5;
    // Edge pixels are blended towards a neutral mid tone that suits both the metal and the
    // dial face; pixels less than half covered become the key.
    const Rgb neutral{0.80, 0.83, 0.86};
    QImage image(circleSize * scale, circleSize * scale, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            Rgb sum;
            int hits = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    Rgb c;
                    if (discSample((x + (sx + 0.5) / samples) / scale,
                                   (y + (sy + 0.5) / samples) / scale, withMarks, c)) {
                        sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                        ++hits;
                    }
                }
            }
            const int total = samples * samples;
            if (hits * 2 < total) {
                image.setPixel(x, y, palette::key.rgb());
                continue;
            }
            const int missed = total - hits;
            const Rgb mean{(sum.r + neutral.r * missed) / total,
                           (sum.g + neutral.g * missed) / total,
                           (sum.b + neutral.b * missed) / total};
            image.setPixel(x, y, toQRgb(mean));
        }
    }
    return image;
}

QSize digitBox(int hour) {
    static constexpr std::array<QSize, 12> boxes = {
        QSize(15, 21), QSize(16, 20), QSize(15, 21), QSize(16, 21), QSize(15, 20), QSize(17, 20),
        QSize(17, 19), QSize(15, 21), QSize(17, 22), QSize(22, 22), QSize(22, 20), QSize(25, 20),
    };
    return boxes.at(static_cast<std::size_t>(hour - 1));
}

QImage digit(int hour, int scale) {
    const QSize box = digitBox(hour);
    QImage image(box * scale, QImage::Format_RGB32);
    image.fill(palette::circleFill);
    // Where the window puts the box inside the circle (integer halves, as it computes them).
    const int left = circleSize / 2 - box.width() / 2;
    const int top = circleSize / 2 - box.height() / 2;
    QPainterPath path = digitPath(hour);
    // Top of the ink on a whole pixel row keeps the horizontal strokes crisp.
    const double inkTop = std::round(circleCentre - digitHeight / 2.0);
    path.translate(circleCentre - left, inkTop - top);
    QPainter painter(&image);
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette::digit);
    painter.drawPath(path);
    return image;
}

QImage sun(const QImage& background, int scale) {
    QImage image = background.convertToFormat(QImage::Format_RGB32);
    QPainter painter(&image);
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF c(image.width() / 2.0 / scale, image.height() / 2.0 / scale);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(240, 160, 30));
    for (int i = 0; i < 8; ++i) {
        const double a = i * 45.0 - 90.0;
        QPolygonF ray;
        ray << polar(c, 5.2, a - 15.0) << polar(c, 8.7, a) << polar(c, 5.2, a + 15.0);
        painter.drawPolygon(ray);
    }
    QRadialGradient body(c + QPointF(-1.4, -1.6), 5.6);
    body.setColorAt(0.0, QColor(255, 246, 190));
    body.setColorAt(0.55, QColor(252, 200, 60));
    body.setColorAt(1.0, QColor(236, 140, 24));
    painter.setBrush(body);
    painter.setPen(QPen(QColor(196, 110, 20), 0.7));
    painter.drawEllipse(c, 4.4, 4.4);
    return image;
}

QImage moon(const QImage& background, int scale) {
    QImage image = background.convertToFormat(QImage::Format_RGB32);
    QPainter painter(&image);
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF c(image.width() / 2.0 / scale - 0.5, image.height() / 2.0 / scale);
    QPainterPath disc;
    disc.addEllipse(c, 7.6, 7.6);
    QPainterPath bite;
    bite.addEllipse(c + QPointF(4.2, -2.6), 6.6, 6.6);
    const QPainterPath crescent = disc.subtracted(bite);
    QLinearGradient fill(c + QPointF(-6, -6), c + QPointF(4, 7));
    fill.setColorAt(0.0, QColor(255, 244, 196));
    fill.setColorAt(1.0, QColor(232, 192, 84));
    painter.setBrush(fill);
    painter.setPen(QPen(QColor(168, 128, 40), 0.8));
    painter.drawPath(crescent);
    return image;
}

QImage delta(const QImage& background, int scale) {
    QImage image = background.convertToFormat(QImage::Format_RGB32);
    // Serif-style delta: a hairline left side, heavy right side and base.
    const QPointF apex(8.5, 1.4);
    const QPointF baseLeft(0.7, 17.4);
    const QPointF baseRight(16.3, 17.4);
    const Line left = inset(baseLeft, apex, 1.3);
    const Line right = inset(apex, baseRight, 2.7);
    const Line base = inset(baseRight, baseLeft, 2.3);
    QPainterPath path;
    path.addPolygon(QPolygonF({apex, baseRight, baseLeft, apex}));
    path.addPolygon(QPolygonF({intersect(left, right), intersect(right, base),
                               intersect(base, left), intersect(left, right)}));
    path.setFillRule(Qt::OddEvenFill);
    QPainter painter(&image);
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 150));
    painter.drawPath(path.translated(0.7, 0.9));
    painter.setBrush(palette::text);
    painter.drawPath(path);
    return image;
}

QImage appIcon() {
    constexpr int size = 256;
    constexpr double cx = 128.0;
    constexpr double cy = 148.0;
    constexpr double radius = 96.0;
    constexpr double bandBottom = 204.0;
    auto plateSdf = [](double x, double y) { return sdRoundBox(x, y, 14, 22, 242, 234, 34); };
    auto recess = [&](double x, double y) {
        if (y <= cy) {
            return std::hypot(x - cx, y - cy) - radius;
        }
        return sdRoundBox(x, y, cx - radius, cy - 40.0, cx + radius, bandBottom, 12.0);
    };

    // Dial face with the globe, then band and scale on top.
    QImage face(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double r = std::hypot(x + 0.5 - cx, y + 0.5 - cy) / radius;
            face.setPixel(x, y,
                          toQRgb(lerpColour(palette::faceInner, palette::faceRim,
                                            smoothstep(0.62, 0.92, r))));
        }
    }
    GlobeView view;
    view.centre = QPointF(cx, cy);
    view.radius = 64.0;
    view.lat0 = 24.0;
    view.lon0 = 14.0;
    view.clipBottom = cy;
    view.gridWidth = 0.8;
    paintGlobe(face, view);
    {
        QPainter painter(&face);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillRect(QRectF(0, cy, size, size - cy), palette::band);
        painter.fillRect(QRectF(0, cy - 1.5, size, 1.5), QColor(120, 150, 180));
        for (int step = 0; step <= 60; step += 5) {
            const bool major = step % 15 == 0;
            const double a = 3.0 * step * degree;
            const QPointF dir(-std::cos(a), -std::sin(a));
            QPen pen(palette::mark, major ? 5.0 : 3.0);
            pen.setCapStyle(Qt::FlatCap);
            painter.setPen(pen);
            const QPointF centre(cx, cy - (step == 0 || step == 60 ? 2.0 : 0.0));
            painter.drawLine(centre + dir * (major ? 76.0 : 84.0), centre + dir * (radius + 1.0));
        }
        // The marker at twenty past, its pointer and hour.
        const double a = 60.0 * degree;
        const QPointF dir(-std::cos(a), -std::sin(a));
        const QPointF side(-dir.y(), dir.x());
        const QPointF marker = QPointF(cx, cy) + dir * 68.0;
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(4, 75, 129));
        painter.drawPolygon(QPolygonF({marker + dir * 12.0 + side * 8.0, marker + dir * 29.0,
                                       marker + dir * 12.0 - side * 8.0}));
        painter.setBrush(palette::ring);
        painter.drawEllipse(marker, 20.0, 20.0);
        painter.setBrush(palette::circleFill);
        painter.drawEllipse(marker, 15.5, 15.5);
        QPainterPath hour = digitPath(3);
        QTransform t;
        t.translate(marker.x(), marker.y() - 10.0);
        t.scale(20.0 / digitHeight, 20.0 / digitHeight);
        painter.setBrush(palette::digit);
        painter.drawPath(t.map(hour));
        // Two text lines and the sun in the band.
        painter.setBrush(palette::text);
        painter.drawRoundedRect(QRectF(78, 162, 112, 10), 5, 5);
        painter.setBrush(QColor(39, 100, 146, 150));
        painter.drawRoundedRect(QRectF(78, 182, 80, 8), 4, 4);
        painter.setBrush(QColor(240, 160, 30));
        const QPointF s(56, 176);
        for (int i = 0; i < 8; ++i) {
            const double ra = i * 45.0;
            painter.drawPolygon(QPolygonF(
                {polar(s, 8.0, ra - 16.0), polar(s, 14.0, ra), polar(s, 8.0, ra + 16.0)}));
        }
        painter.setBrush(QColor(252, 196, 56));
        painter.drawEllipse(s, 7.0, 7.0);
    }

    QImage image(size, size, QImage::Format_ARGB32);
    const Rgb black{0.0, 0.0, 0.0};
    const Rgb white{1.0, 1.0, 1.0};
    for (int y = 0; y < size; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size; ++x) {
            const double px = x + 0.5;
            const double py = y + 0.5;
            const double outer = plateSdf(px, py);
            const double alpha = clamp01(0.5 - outer);
            if (alpha <= 0.0) {
                line[x] = qRgba(0, 0, 0, 0);
                continue;
            }
            // Metal with a lit upper-left rim and a dark lower-right one.
            Rgb c = metalAt(x * 2 + 40, y + 1200);
            const double gx = plateSdf(px + 0.5, py) - plateSdf(px - 0.5, py);
            const double gy = plateSdf(px, py + 0.5) - plateSdf(px, py - 0.5);
            const double facing = gx * lightX + gy * lightY;
            const double rim = std::exp(-(-outer) / 3.0);
            c = mix(c, facing > 0 ? white : black, std::abs(facing) * 0.45 * rim);
            c = mix(c, black, 0.35 * std::exp(-(-outer) / 1.2));
            const double d = recess(px, py);
            if (d < 6.0) {
                double nx = recess(px + 0.5, py) - recess(px - 0.5, py);
                double ny = recess(px, py + 0.5) - recess(px, py - 0.5);
                const double len = std::hypot(nx, ny);
                if (len > 1e-9) {
                    nx /= len;
                    ny /= len;
                }
                const double bevelFacing = -(nx * lightX + ny * lightY);
                Rgb bevel = scaled(c, 1.0 + 0.32 * bevelFacing);
                bevel = scaled(bevel, 1.0 - 0.2 * std::exp(-std::max(d, 0.0) / 1.2));
                c = mix(bevel, c, smoothstep(4.5, 6.0, d));
                const double coverage = clamp01(0.5 - d);
                if (coverage > 0.0) {
                    const QRgb f = face.pixel(x, y);
                    Rgb inner{qRed(f) / 255.0, qGreen(f) / 255.0, qBlue(f) / 255.0};
                    const double shadow = smoothstep(-3.0, 1.0, recess(px - 3.0, py - 3.0));
                    inner = scaled(inner, 1.0 - 0.25 * shadow);
                    c = mix(c, inner, coverage);
                }
            }
            const QRgb v = toQRgb(c);
            line[x] =
                qRgba(qRed(v), qGreen(v), qBlue(v), static_cast<int>(std::lround(alpha * 255)));
        }
    }
    return image;
}

} // namespace symbols
