#include "clock/SkinU.h"

#include <QString>

// Outside any namespace: the macro declares the resource's initialiser where it stands.
static void InitSkinResources() {
    Q_INIT_RESOURCE(skin);
}

namespace {

QImage Picture(const char* name, int scale) {
    const QString suffix = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
    return QImage(QLatin1String(":/skin/") + QLatin1String(name) + suffix + QLatin1String(".png"));
}

QImage Opaque(const char* name, int scale) {
    return Picture(name, scale).convertToFormat(QImage::Format_RGB32);
}

TSkin Load(int scale) {
    InitSkinResources();
    TSkin s;
    s.Scale = scale;
    s.TopLarge = Opaque("top_large", scale);
    s.TopSmall = Opaque("top_small", scale);
    s.BottomLarge = Opaque("bottom_large", scale);
    s.BottomSmall = Opaque("bottom_small", scale);
    s.Circle = TransparentByBottomLeft(Picture("circle", scale));
    s.InnerCircle = TransparentByBottomLeft(Picture("inner_circle", scale));
    for (int i = 1; i <= 12; ++i)
        s.HourDigits[static_cast<std::size_t>(i)] =
            Opaque(QStringLiteral("digit%1").arg(i).toLatin1().constData(), scale);
    s.Sun = Opaque("sun", scale);
    s.Moon = Opaque("moon", scale);
    s.Delta = Picture("delta", scale);
    for (QImage* picture : {&s.TopLarge, &s.TopSmall, &s.BottomLarge, &s.BottomSmall, &s.Circle,
                            &s.InnerCircle, &s.Sun, &s.Moon, &s.Delta})
        picture->setDevicePixelRatio(scale);
    for (QImage& digit : s.HourDigits)
        digit.setDevicePixelRatio(scale);
    return s;
}

} // namespace

QSize SizeOf(const QImage& picture) {
    return picture.deviceIndependentSize().toSize();
}

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

const TSkin& TSkin::ForPixelRatio(double ratio) const {
    return ratio > 1.0 && Double != nullptr ? *Double : *this;
}

const TSkin& TSkin::StandardDouble() {
    static const TSkin skin = Load(2);
    return skin;
}

const TSkin& TSkin::Standard() {
    static const TSkin skin = [] {
        TSkin s = Load(1);
        s.Double = &StandardDouble();
        return s;
    }();
    return skin;
}
