#include "SkinU.h"

#include <QString>

namespace {

QImage Opaque(const char* name) {
    return QImage(QLatin1String(":/skin/") + QLatin1String(name))
        .convertToFormat(QImage::Format_RGB32);
}

} // namespace

QImage TransparentByBottomLeft(const QImage& picture) {
    QImage img = picture.convertToFormat(QImage::Format_ARGB32);
    if (img.isNull())
        return img;
    const QRgb key = img.pixel(0, img.height() - 1) | 0xFF000000u;
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if ((line[x] | 0xFF000000u) == key)
                line[x] = 0;
    }
    return img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

const TSkin& TSkin::Standard() {
    static const TSkin skin = [] {
        Q_INIT_RESOURCE(skin);
        TSkin s;
        s.TopLarge = Opaque("top_large.png");
        s.TopSmall = Opaque("top_small.png");
        s.BottomLarge = Opaque("bottom_large.png");
        s.BottomSmall = Opaque("bottom_small.png");
        s.Circle = TransparentByBottomLeft(QImage(QStringLiteral(":/skin/circle.png")));
        s.InnerCircle = TransparentByBottomLeft(QImage(QStringLiteral(":/skin/inner_circle.png")));
        for (int i = 1; i <= 12; ++i)
            s.HourDigits[static_cast<std::size_t>(i)] =
                QImage(QStringLiteral(":/skin/digit%1.png").arg(i))
                    .convertToFormat(QImage::Format_RGB32);
        s.Sun = Opaque("sun.png");
        s.Moon = Opaque("moon.png");
        s.Delta = QImage(QStringLiteral(":/skin/delta.png"));
        return s;
    }();
    return skin;
}
