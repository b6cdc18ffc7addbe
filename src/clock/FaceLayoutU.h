#pragma once

// Where the clock window puts things on its face, in window pixels; the pictures of the skin
// are drawn to these numbers, so they change together.
namespace FaceLayout {

struct TBox {
    int Left;
    int Top;
    int Width;
    int Height;
};

// The whole composed skin, whatever part of it the window shows.
constexpr int SkinWidth = 600;
constexpr int SkinHeight = 533;
// The face's width when the window has its frame; docked it is as wide as the top picture.
constexpr int FramedWidth = 598;
// Where the window first stands, before the stored place or the centre is known.
constexpr int StartLeft = 191;
constexpr int StartTop = 105;

// The dial's centre and the length of its hands' circle.
constexpr int DialCentreX = 301;
constexpr int DialCentreY = 245;
constexpr int DialRadius = 227;

// The top edge of the centre captions in the analog layout; the digital one lifts them by the
// difference of the two top pictures' heights from DigitalCaptionsTop.
constexpr int AnalogCaptionsTop = 241;
constexpr int DigitalCaptionsTop = 238;
// Below that top edge: the sun or moon, the time, the state and airport line, the difference
// sign, the date (digital layout), and above it the difference sentence.
constexpr int DayNightBelowTop = 4;
constexpr int TimeBelowTop = 1;
constexpr int SecondLineBelowTop = 26;
constexpr int DeltaBelowTop = 15;
constexpr int DigitalDateBelowTop = 28;
constexpr int DifferenceAboveTop = 30;

constexpr int CityCaptionLeft = 98;
constexpr int AirportCaptionLeft = 82;
// The country and state captions end here.
constexpr int CaptionsRight = 520;
// The date in the analog layout sits in the top left corner.
constexpr int AnalogDateLeft = 8;
constexpr int AnalogDateTop = 8;
constexpr int TimeWidth = 205;
// The caption that tells how far the face is turned from now: in the analog layout in the top
// right corner, across from the date; in the digital one after the widest time of the format.
constexpr int ViewOffsetRightMargin = 8;
constexpr int ViewOffsetAnalogTop = 6;
constexpr int ViewOffsetGap = 8;
constexpr int ViewOffsetPixels = 16;

constexpr TBox DeltaBox{32, 256, 17, 19};
constexpr TBox SunBox{78, 245, 18, 19};
constexpr TBox MoonBox{77, 245, 18, 19};
// How near the difference sign the pointer brings up the difference sentence.
constexpr int DeltaHoverMargin = 10;

// Font sizes in pixels: 14, 9, 10.5, 12 and 24 points on a 96 dpi desktop.
constexpr int TimePixels = 19;
constexpr int DatePixels = 12;
constexpr int SecondLinePixels = 14;
constexpr int DifferencePixels = 16;
constexpr int LargeTimePixels = 32;
// The city labels in the hour columns: 8 or 10 points.
constexpr int SmallCityLabelPixels = 11;
constexpr int CityLabelPixels = 13;

// How long a hint on the face stays up, in milliseconds.
constexpr int HintPause = 25000;

} // namespace FaceLayout
