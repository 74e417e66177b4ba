#pragma once

// The length of a road segment: the great-circle distance on a sphere of the Earth's mean
// radius by the haversine formula, in double precision. Every angle the roads turn from
// degrees to radians goes through RadiansPerDegree.

#include <numbers>

inline constexpr double EarthRadiusMetres = 6371008.8;
inline constexpr double RadiansPerDegree = std::numbers::pi / 180.0;

double haversineMetres(double longitude1, double latitude1, double longitude2, double latitude2);
