#include "roads/Haversine.h"

#include <algorithm>
#include <cmath>

double haversineMetres(double longitude1, double latitude1, double longitude2, double latitude2) {
    const double y1 = latitude1 * RadiansPerDegree;
    const double y2 = latitude2 * RadiansPerDegree;
    const double x1 = longitude1 * RadiansPerDegree;
    const double x2 = longitude2 * RadiansPerDegree;
    const double sinHalfDy = std::sin((y2 - y1) / 2);
    const double sinHalfDx = std::sin((x2 - x1) / 2);
    // Rounding can carry h a hair above 1 for antipodal points, where asin has no value.
    const double h = std::min(
        1.0, sinHalfDy * sinHalfDy + std::cos(y1) * std::cos(y2) * (sinHalfDx * sinHalfDx));
    return 2 * std::asin(std::sqrt(h)) * EarthRadiusMetres;
}
