#include "clock/WindowPlacementU.h"

#include <algorithm>

TWindowPos SnappedDragPosition(TWindowPos wanted, int outerWidth, int outerHeight,
                               const TScreenArea& work, int desktopWidth) {
    TWindowPos p = wanted;
    if (p.Left + outerWidth > desktopWidth - SnapDistance)
        p.Left = desktopWidth - outerWidth;
    if (p.Left < work.Left + SnapDistance)
        p.Left = work.Left;
    const int workBottom = work.Top + work.Height;
    if (p.Top + outerHeight > workBottom - SnapDistance)
        p.Top = workBottom - outerHeight;
    if (p.Top < work.Top + SnapDistance)
        p.Top = work.Top;
    return p;
}

TWindowPos KeptInArea(const TScreenArea& frame, const TScreenArea& area) {
    const int x = std::min(frame.Left, area.Left + area.Width - frame.Width);
    const int y = std::min(frame.Top, area.Top + area.Height - frame.Height);
    return {std::max(x, area.Left), std::max(y, area.Top)};
}

TWindowPos CentredInArea(const TScreenArea& work, int outerWidth, int outerHeight) {
    return {work.Width / 2 - outerWidth / 2, work.Height / 2 - outerHeight / 2};
}

bool StoredPlaceUsable(std::int64_t left, std::int64_t top, int width,
                       const std::vector<TScreenArea>& screens) {
    return TopEdgeOnScreen(left, top, width, screens) ||
           TopEdgeOnScreen(left, top + TitleBarAllowance, width, screens);
}
