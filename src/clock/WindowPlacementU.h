#pragma once

#include "prefs/TavikOptionsU.h"

#include <cstdint>
#include <vector>

// Where the clock window goes on the desktop, in desktop pixels; rectangles are TScreenArea.
struct TWindowPos {
    int Left = 0;
    int Top = 0;
    bool operator==(const TWindowPos&) const = default;
};

// A dragged window whose edge comes this close to an edge of the work area is put against it.
constexpr int SnapDistance = 6;
// How far above a screen a stored top edge may lie and still be taken as meant for it.
constexpr int TitleBarAllowance = 48;

// Where a window of the given outer size lands when dragged to wanted: against the work area's
// left, top and bottom edges and the desktop's right edge when it comes within SnapDistance of
// them (or beyond), else where it was dragged.
TWindowPos SnappedDragPosition(TWindowPos wanted, int outerWidth, int outerHeight,
                               const TScreenArea& work, int desktopWidth);

// Where a frame goes, moved by the least, so that it lies in the area; one larger than the area
// keeps its top left corner in it.
TWindowPos KeptInArea(const TScreenArea& frame, const TScreenArea& area);

// A window of the given outer size centred on the work area's size, the area's origin not added.
TWindowPos CentredInArea(const TScreenArea& work, int outerWidth, int outerHeight);

// Whether a stored place may be used: the window's top edge shows on a screen, or would once a
// title bar pushed just above the screen came down into it.
bool StoredPlaceUsable(std::int64_t left, std::int64_t top, int width,
                       const std::vector<TScreenArea>& screens);
