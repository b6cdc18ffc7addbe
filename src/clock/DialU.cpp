#include "DialU.h"

#include "FormatU.h"
#include "SkinU.h"

#include <QPainter>
#include <QPolygon>
#include <cmath>
#include <numbers>

QPoint TTavik::PointAt(int inset, double angle) const {
    const int r = Radius - inset;
    const double t = angle * std::numbers::pi / 180.0;
    const int x = CentreX - static_cast<int>(std::trunc(std::cos(t) * r));
    const int y = CentreY - static_cast<int>(std::trunc(std::sin(t) * r));
    return {x, y};
}

void TTavik::DrawSecondTicks(QPainter& canvas, int second) const {
    canvas.setPen(QPen(Qt::black, 1));
    for (int v = 0; v <= 3 * second; v += 3)
        if (v % 5 != 0)
            canvas.drawLine(PointAt(10, v), PointAt(0, v));
}

void TTavik::DrawMinuteHand(QPainter& canvas, double a) const {
    const QPoint pts[3] = {PointAt(23, a - 2), PointAt(23, a + 2), PointAt(13, a)};
    canvas.setPen(QPen(PointerColour(), 1));
    canvas.setBrush(PointerColour());
    canvas.drawPolygon(pts, 3);
    canvas.setBrush(Qt::NoBrush);
    canvas.setPen(QPen(Qt::black, 1));
}

void DrawInCircle(QPainter& canvas, const QImage& circle, const QImage& digit, int left, int top) {
    canvas.drawImage(left, top, circle);
    canvas.drawImage(left + circle.width() / 2 - digit.width() / 2,
                     top + circle.height() / 2 - digit.height() / 2, digit);
}

QFont CaptionFont() {
    QFont f(QStringLiteral("Palatino Linotype"));
    f.setPixelSize(19);
    f.setBold(true);
    return f;
}

QFont HourScaleFont() {
    QFont f(QStringLiteral("Palatino Linotype"));
    f.setPixelSize(16); // 12 points on a 96 dpi desktop
    f.setBold(true);
    return f;
}

QColor TextColour() {
    return QColor(39, 100, 146);
}
QColor PointerColour() {
    return QColor(4, 75, 129);
}

void PaintDial(QImage& buffer, const TDialScene& s, const TSkin& skin, const TTavik& dial) {
    QPainter p(&buffer);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    const QImage& top = s.AnalogClock ? skin.TopLarge : skin.TopSmall;
    p.drawImage(0, 0, top);
    p.drawImage(0, top.height(), s.ShowCities ? skin.BottomLarge : skin.BottomSmall);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);

    if (s.AnalogClock && s.ShowSeconds)
        dial.DrawSecondTicks(p, s.Second);

    if (s.HasCurrentCity) {
        p.setFont(s.CaptionFont);
        p.setPen(TextColour());
        const QFontMetrics fm(s.CaptionFont);
        p.drawText(s.CityPos.x(), s.CityPos.y() + fm.ascent(), s.CityCaption);
        if (s.ShowCountryName)
            p.drawText(s.CountryPos.x(), s.CountryPos.y() + fm.ascent(), s.CountryCaption);
        if (s.Daytime)
            p.drawImage(s.SunPos, skin.Sun);
        else
            p.drawImage(s.MoonPos, skin.Moon);
    }

    const int h12 = Hour12(s.Hour);
    const int w = skin.Circle.width();
    if (s.AnalogClock) {
        const QPoint pt = dial.PointAt(39, 3.0 * s.Minute);
        const int left = pt.x() - skin.Circle.width() / 2;
        const int topY = pt.y() - skin.Circle.height() / 2;
        const QImage& digit = skin.HourDigits[static_cast<std::size_t>(h12)];
        DrawInCircle(p, skin.Circle, digit, left, topY);
        dial.DrawMinuteHand(p, 3.0 * s.Minute);
        DrawInCircle(p, skin.InnerCircle, digit, left, topY);
    }

    if (s.AnalogClock) {
        for (int i = 1; i <= 11; ++i)
            DrawInCircle(p, skin.Circle,
                         skin.HourDigits[static_cast<std::size_t>(Hour12(s.Hour + i))],
                         15 + (w + 15) * (i - 1), 300);
    } else {
        const QFont f = HourScaleFont();
        const QFontMetrics fm(f);
        p.setFont(f);
        p.setPen(TextColour());
        const QString minutes = QStringLiteral("%1").arg(s.Minute, 2, 10, QLatin1Char('0'));
        for (int i = 1; i <= 11; ++i)
            p.drawText(13 + (w + 15) * (i - 1), 79 + fm.ascent(),
                       QString::number(Hour12(s.Hour + i)) + QLatin1Char(':') + minutes);
    }
}
