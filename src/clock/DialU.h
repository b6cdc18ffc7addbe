#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <array>

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
    // The same point unrounded, as the centre of a pixel: where a canvas finer than the
    // window's pixels draws it.
    QPointF ExactPointAt(int inset, double angle) const;
    // On a canvas of more than one pixel per window pixel the ticks and the pointer are drawn
    // smooth at its resolution, and may reach a pixel beyond their boxes.
    // Ticks for the seconds 1 .. second of the running minute, except the multiples of 5.
    void DrawSecondTicks(QPainter& canvas, int second) const;
    // The tick of one second, and the pixels it may touch.
    void DrawSecondTick(QPainter& canvas, int second) const;
    QRect SecondTickBox(int second) const;
    // Every pixel the pointer at that angle may touch.
    QRect MinuteHandBox(double angle) const;
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
    // Where the painted names may touch the skin; laid out by LayOutCaptions when the names,
    // their font or their places change, not at every tick.
    QRect CityBox;
    QRect CountryBox;

    // The same pieces in the same places; only the time may differ.
    bool SameLayout(const TDialScene& other) const;
};

// Measures the painted names of a scene into its boxes.
void LayOutCaptions(TDialScene& scene);

// The rectangles of the skin that a repaint changed, at most Capacity of them: more are merged
// into one around them all. Kept on the stack, so that a tick allocates nothing for them.
class TDirtyRects {
public:
    static constexpr int Capacity = 64;
    void Add(const QRect& r);
    bool Intersects(const QRect& r) const;
    bool Contains(const QRect& r) const; // within one of the rectangles
    int Count() const { return Count_; }
    const QRect& operator[](int i) const { return Rects[static_cast<std::size_t>(i)]; }
    QRect Bounds() const;

private:
    std::array<QRect, Capacity> Rects;
    int Count_ = 0;
};

// The part of the buffer the skin pictures of a scene cover (600 wide, 74 to 483 high). All
// coordinates here are window pixels; a buffer for a skin of Scale 2 has twice as many pixels
// each way and that as its device pixel ratio.
QRect ComposedArea(const TDialScene& scene, const TSkin& skin);

// Recomposes the whole skin into buffer (600 x 533), or onto a canvas open on one.
void PaintDial(QImage& buffer, const TDialScene& scene, const TSkin& skin, const TTavik& dial);
void PaintDial(QPainter& canvas, const TDialScene& scene, const TSkin& skin, const TTavik& dial);

// Takes a canvas whose picture holds the composition of shown to that of scene, recomposing
// only the rectangles where they differ, and tells which. The picture then holds exactly what
// PaintDial would paint for scene. A different layout recomposes the whole skin.
void RepaintDial(QPainter& canvas, const TDialScene& shown, const TDialScene& scene,
                 const TSkin& skin, const TTavik& dial, TDirtyRects& changed);

// Fonts and colours of the dial's texts.
QFont CaptionFont();    // the painted city and country names
QFont HourScaleFont();  // the hour scale without the analog clock
QColor TextColour();    // 0x926427 as 0x00BBGGRR
QColor PointerColour(); // 0x814B04
