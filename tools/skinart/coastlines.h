// Coarse hand-drawn coastlines (longitude, latitude in degrees) for the stylised globe. They
// are deliberately simplified: the globe is decoration, rendered soft and small.
#pragma once

#include <QPointF>

#include <vector>

using Outline = std::vector<QPointF>;

// Land masses; longitudes may run past 180 where a coast crosses the date line.
const std::vector<Outline>& landOutlines();
// Inland seas cut back out of the land.
const std::vector<Outline>& seaOutlines();
