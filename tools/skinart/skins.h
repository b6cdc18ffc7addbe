// The four frame pictures of the clock window. Top and bottom pictures are stacked by the
// window in any pairing, so every top ends in the same open text band and every bottom starts
// by closing it.
#pragma once

#include <QImage>

namespace skin {

// Dial geometry shared with the window.
inline constexpr int dialCentreX = 301;
inline constexpr int dialCentreY = 245;
inline constexpr int dialRadius = 227;

// Centre text band, open at the bottom of both top pictures.
inline constexpr int bandLeft = 74;
inline constexpr int bandRight = 528;
inline constexpr int topLargeBandTop = 245;
inline constexpr int topSmallBandTop = 8;

// Rows of the shared metal texture used by each picture. The small top is offset so that its
// rows line up with the large top's at the centre texts (the window places them 228 rows
// apart), which gives the delta sign one background that fits both.
inline constexpr int topLargeWorldY = 0;
inline constexpr int topSmallWorldY = 228;
inline constexpr int bottomLargeWorldY = 600;
inline constexpr int bottomSmallWorldY = 900;

// Each picture at scale image pixels per window pixel (1, or 2 for high-density screens); the
// geometry above stays in window pixels.
QImage topLarge(int scale = 1);
QImage topSmall(int scale = 1);
QImage bottomLarge(int scale = 1);
QImage bottomSmall(int scale = 1);

} // namespace skin
