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

    const QImage topLarge = skin::topLarge();
    // The sun, moon and delta pictures are opaque: give them the very pixels they cover.
    const QImage sunSpot = topLarge.copy(78, 245, 18, 19);
    const QImage moonSpot = topLarge.copy(77, 245, 18, 19);
    const QImage deltaSpot = topLarge.copy(32, 256, 17, 19);

    bool ok = save(dir, "top_large.png", topLarge);
    ok = save(dir, "top_small.png", skin::topSmall()) && ok;
    ok = save(dir, "bottom_large.png", skin::bottomLarge()) && ok;
    ok = save(dir, "bottom_small.png", skin::bottomSmall()) && ok;
    ok = save(dir, "circle.png", symbols::circle(false)) && ok;
    ok = save(dir, "inner_circle.png", symbols::circle(true)) && ok;
    for (int hour = 1; hour <= 12; ++hour) {
        ok = save(dir, QString("digit%1.png").arg(hour), symbols::digit(hour)) && ok;
    }
    ok = save(dir, "sun.png", symbols::sun(sunSpot)) && ok;
    ok = save(dir, "moon.png", symbols::moon(moonSpot)) && ok;
    ok = save(dir, "delta.png", symbols::delta(deltaSpot)) && ok;
    ok = save(dir, "tavik.png", symbols::appIcon()) && ok;
    return ok ? 0 : 1;
}
