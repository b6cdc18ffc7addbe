// A soft, stylised globe seen from above the northern hemisphere.
#pragma once

#include <QImage>
#include <QPointF>

struct GlobeView {
    QPointF centre;
    double radius = 100.0;
    double lat0 = 25.0;      // latitude under the centre of the disc
    double lon0 = 15.0;      // longitude under the centre of the disc
    double clipBottom = 1e9; // nothing is painted at or below this y
    double gridWidth = 0.9;  // pen width of the graticule
    double glowWidth = 5.0;  // of the atmosphere's glow outside the disc
};

// Paints the globe, its faint atmosphere glow and a graticule over what the image holds.
void paintGlobe(QImage& image, const GlobeView& view);
