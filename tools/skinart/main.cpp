// Draws the clock window's skin pictures and writes them as PNG files into one directory.
//
//   skinart OUTPUT_DIR
//
// Everything is drawn from code with fixed parameters, so the same fonts give the same files.

#include "skins.h"
#include "symbols.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <cstdio>

namespace {

bool save(const QDir& dir, const QString& name, const QImage& image) {
    const QString path = dir.filePath(name);
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "skinart: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    // A command-line tool: it never opens a window, so it needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: skinart OUTPUT_DIR\n");
        return 2;
    }
    QDir dir(args.at(1));
    if (!dir.mkpath(".")) {
        std::fprintf(stderr, "skinart: cannot create %s\n", qPrintable(args.at(1)));
        return 1;
    }

    bool ok = true;
    // Every picture at 1x, and at 2x as "name@2x.png" for high-density screens.
    for (const int scale : {1, 2}) {
        const QString suffix = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
        auto put = [&](const char* name, const QImage& image) {
            ok = save(dir, QLatin1String(name) + suffix + QLatin1String(".png"), image) && ok;
        };
        const QImage topLarge = skin::topLarge(scale);
        // The sun, moon and delta pictures are opaque: give them the very pixels they cover.
        const QImage sunSpot = topLarge.copy(78 * scale, 245 * scale, 18 * scale, 19 * scale);
        const QImage moonSpot = topLarge.copy(77 * scale, 245 * scale, 18 * scale, 19 * scale);
        const QImage deltaSpot = topLarge.copy(32 * scale, 256 * scale, 17 * scale, 19 * scale);

        put("top_large", topLarge);
        put("top_small", skin::topSmall(scale));
        put("bottom_large", skin::bottomLarge(scale));
        put("bottom_small", skin::bottomSmall(scale));
        put("circle", symbols::circle(false, scale));
        put("inner_circle", symbols::circle(true, scale));
        for (int hour = 1; hour <= 12; ++hour) {
            const QByteArray name = "digit" + QByteArray::number(hour);
            put(name.constData(), symbols::digit(hour, scale));
        }
        put("sun", symbols::sun(sunSpot, scale));
        put("moon", symbols::moon(moonSpot, scale));
        put("delta", symbols::delta(deltaSpot, scale));
    }
    ok = save(dir, "tavik.png", symbols::appIcon()) && ok;
    return ok ? 0 : 1;
}
