#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QString>

class QPainter;
struct TSkin;

// The geometry of the half-circle dial: 60 steps from the left end of the diameter (0) over the
// top (30) to the right end (60), a step being 3 degrees.
class TTavik {
public:
    TTavik(int centreX, int centreY, int radius)
        : CentreX(centreX), CentreY(centreY), Radius(radius) {}

    // A point inset pixels inward from the rim at an angle in degrees (0 left, 90 top).
    QPoint PointAt(int inset, double angle) const;
    // Ticks for the seconds 1 .. second of the running minute, except the multiples of 5.
    void DrawSecondTicks(QPainter& canvas, int second) const;
    // The triangular minute pointer.
    void DrawMinuteHand(QPainter& canvas, double angle) const;

    int CentreX;
    int CentreY;
    int Radius;
};

// A circle picture at (left, top) with an hour digit centred in it.
void DrawInCircle(QPainter& canvas, const QImage& circle, const QImage& digit, int left, int top);

// Everything one repaint of the skin depends on.
struct TDialScene {
    bool AnalogClock = true;
    bool ShowSeconds = true;
    bool ShowCities = true;
    bool ShowCountryName = true;
    int Second = 0; // of the system clock
    int Hour = 0;   // of the current city, 0 .. 23
    int Minute = 0;
    bool HasCurrentCity = false;
    QString CityCaption;
    QPoint CityPos;
    QString CountryCaption;
    QPoint CountryPos;
    QFont CaptionFont;
    bool Daytime = true;
    QPoint SunPos;
    QPoint MoonPos;
};

// Recomposes the whole skin into buffer (600 x 533).
void PaintDial(QImage& buffer, const TDialScene& scene, const TSkin& skin, const TTavik& dial);

// Fonts and colours of the dial's texts.
QFont CaptionFont();    // the painted city and country names
QFont HourScaleFont();  // the hour scale without the analog clock
QColor TextColour();    // 0x926427 as 0x00BBGGRR
QColor PointerColour(); // 0x814B04
