#include "skins.h"

#include "globe.h"
#include "paint.h"
#include "palette.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace skin {

namespace {

constexpr double degree = std::numbers::pi / 180.0;
constexpr int width = 600;
constexpr int faceLastRow = 242; // the dial face ends here; two divider rows, then the band
constexpr double openEnd = 1e5;  // a band edge far outside the picture

// Point on the 60-step scale, angle in degrees, 0 at the left end of the diameter.
QPointF onDial(double radius, double angle) {
    const double t = angle * degree;
    return {dialCentreX + 0.5 - std::cos(t) * radius, dialCentreY + 0.5 - std::sin(t) * radius};
}

QImage dialFace(int s) {
    QImage face(width * s, 292 * s, QImage::Format_RGB32);
    const Rgb rim = rgb(palette::faceRim);
    const Rgb inner = rgb(palette::faceInner);
    const Rgb haze{0.95, 0.97, 0.99};
    for (int y = 0; y < face.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(face.scanLine(y));
        for (int x = 0; x < face.width(); ++x) {
            const double r =
                std::hypot((x + 0.5) / s - dialCentreX, (y + 0.5) / s - dialCentreY) / dialRadius;
            line[x] = toQRgb(mix(inner, rim, smoothstep(0.62, 0.92, r)));
        }
    }
    GlobeView view;
    view.centre = QPointF(dialCentreX * s, dialCentreY * s);
    view.radius = 158.0 * s;
    view.lat0 = 24.0;
    view.lon0 = 14.0;
    view.clipBottom = (faceLastRow + 1) * s;
    view.gridWidth *= s;
    view.glowWidth *= s;
    paintGlobe(face, view);
    // Light haze towards the diameter, so the globe rises out of the text band and dark text
    // written over the lower dial stays readable.
    for (int y = 150 * s; y < (faceLastRow + 1) * s; ++y) {
        const double row = (y + 0.5) / s - 0.5;
        const double a = 0.62 * std::pow(smoothstep(150.0, faceLastRow, row), 1.6);
        auto* line = reinterpret_cast<QRgb*>(face.scanLine(y));
        for (int x = 0; x < face.width(); ++x) {
            const QRgb c = line[x];
            line[x] = toQRgb(mix({qRed(c) / 255.0, qGreen(c) / 255.0, qBlue(c) / 255.0}, haze, a));
        }
    }
    return face;
}

// Marks of the 60-step scale: every 5 steps a short one, every 15 a long one.
void paintScale(QImage& image, int s) {
    QPainter painter(&image);
    painter.scale(s, s);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath face;
    face.addEllipse(QPointF(dialCentreX, dialCentreY), dialRadius, dialRadius);
    QPainterPath above;
    above.addRect(QRectF(0, 0, width, faceLastRow + 3));
    painter.setClipPath(face.intersected(above));
    for (int step = 5; step < 60; step += 5) {
        const bool major = step % 15 == 0;
        const double angle = 3.0 * step;
        QPen pen(palette::mark, major ? 3.0 : 2.0);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        painter.drawLine(onDial(major ? 202.0 : 213.0, angle), onDial(dialRadius + 2.0, angle));
    }
    painter.setClipping(false);
    // The two ends lie on the diameter: pixel-exact stubs on the divider, kept clear of the
    // band below it where the sun and moon pictures are placed.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette::mark);
    painter.drawRect(QRect(dialCentreX - dialRadius, faceLastRow, 25, 3));
    painter.drawRect(QRect(dialCentreX + dialRadius - 25, faceLastRow, 26, 3));
}

// Text sunk into the metal: dark glyph with a light lower-right lip.
void engrave(QPainter& painter, const QString& text, const QFont& font, QPointF centre) {
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF box = path.boundingRect();
    path.translate(centre - box.center());
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 150));
    painter.drawPath(path.translated(0.7, 0.9));
    painter.setBrush(palette::engraved);
    painter.drawPath(path);
}

void paintScaleNumbers(QImage& image, int s) {
    QPainter painter(&image);
    painter.scale(s, s);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font("P052");
    font.setBold(true);
    font.setPixelSize(14);
    const double radius = dialRadius + 13.0;
    engrave(painter, "0", font, onDial(radius, 0.0) + QPointF(0, -4));
    engrave(painter, "15", font, onDial(radius + 2.0, 45.0));
    engrave(painter, "30", font, onDial(radius - 2.0, 90.0));
    engrave(painter, "45", font, onDial(radius + 2.0, 135.0));
    engrave(painter, "60", font, onDial(radius + 4.0, 180.0) + QPointF(0, -4));
}

Rgb pixel(const QImage& image, int x, int y) {
    const QRgb c = image.pixel(x, y);
    return {qRed(c) / 255.0, qGreen(c) / 255.0, qBlue(c) / 255.0};
}

QImage panelContent(int s) {
    QImage panel(width * s, 191 * s, QImage::Format_RGB32);
    QPainter painter(&panel);
    painter.scale(s, s);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient day(0, 49, 0, 112);
    day.setColorAt(0, palette::dayTop);
    day.setColorAt(1, palette::dayBottom);
    painter.fillRect(QRect(0, 0, width, 112), day);
    QLinearGradient night(0, 113, 0, 182);
    night.setColorAt(0, palette::nightTop);
    night.setColorAt(1, palette::nightBottom);
    painter.fillRect(QRect(0, 112, width, 79), night);
    // The seam between day and night: a shaded edge on the day side, a lit one on the night.
    painter.fillRect(QRect(0, 111, width, 1), QColor(40, 84, 128));
    painter.fillRect(QRect(0, 112, width, 1), QColor(238, 244, 249));

    // Faint sun at the left of the day band.
    const QPointF sun(31, 80);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 238, 160, 46));
    painter.drawEllipse(sun, 9.5, 9.5);
    for (int i = 0; i < 12; ++i) {
        const double a = i * 30.0 * degree;
        const double s = 7.0 * degree;
        QPolygonF ray;
        ray << sun + QPointF(std::cos(a - s) * 12.5, std::sin(a - s) * 12.5)
            << sun + QPointF(std::cos(a) * 19.0, std::sin(a) * 19.0)
            << sun + QPointF(std::cos(a + s) * 12.5, std::sin(a + s) * 12.5);
        painter.drawPolygon(ray);
    }
    // Faint crescent moon at the left of the night band.
    QPainterPath moon;
    moon.addEllipse(QPointF(30, 147), 13.0, 13.0);
    QPainterPath bite;
    bite.addEllipse(QPointF(37, 141.5), 11.5, 11.5);
    painter.setBrush(QColor(112, 133, 158, 64));
    painter.drawPath(moon.subtracted(bite));
    return panel;
}

} // namespace

QImage topLarge(int scale) {
    const QImage face = dialFace(scale);
    const Rgb band = rgb(palette::band);
    const Rgb dividerShade = mix(band, rgb(palette::ring), 0.40);
    const Rgb dividerLight{0.96, 0.98, 0.995};
    Plate plate{width, 292, topLargeWorldY, true, false, scale};
    QImage image = composePlate(
        plate,
        [](double x, double y) { return sdArch(x, y, dialCentreX, dialCentreY, dialRadius); },
        [&](int x, int y) {
            const int row = y / scale;
            if (row <= faceLastRow) {
                return pixel(face, x, y);
            }
            if (row == faceLastRow + 1) {
                return dividerShade;
            }
            if (row == faceLastRow + 2) {
                return dividerLight;
            }
            return band;
        });
    paintScale(image, scale);
    paintScaleNumbers(image, scale);
    return image;
}

QImage topSmall(int scale) {
    const Rgb band = rgb(palette::band);
    Plate plate{width, 67, topSmallWorldY, true, false, scale};
    return composePlate(
        plate,
        [](double x, double y) {
            return sdRoundBox(x, y, bandLeft, topSmallBandTop, bandRight, openEnd, 6.0);
        },
        [&](int, int) { return band; });
}

QImage bottomLarge(int scale) {
    const QImage panel = panelContent(scale);
    const Rgb band = rgb(palette::band);
    Plate plate{width, 191, bottomLargeWorldY, false, true, scale};
    return composePlate(
        plate,
        [](double x, double y) {
            return std::min(sdRoundBox(x, y, bandLeft, -openEnd, bandRight, 3.0, 5.0),
                            sdRoundBox(x, y, 7.0, 49.0, 593.0, 182.0, 6.0));
        },
        [&](int x, int y) { return y / scale < 20 ? band : pixel(panel, x, y); });
}

QImage bottomSmall(int scale) {
    const Rgb band = rgb(palette::band);
    Plate plate{width, 7, bottomSmallWorldY, false, true, scale};
    return composePlate(
        plate,
        [](double x, double y) {
            return sdRoundBox(x, y, bandLeft, -openEnd, bandRight, 2.0, 3.0);
        },
        [&](int, int) { return band; });
}

} // namespace skin
