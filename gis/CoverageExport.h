#pragma once

// The coverage report's nodes as GIS layers: each node at its coordinates with its demand and
// what the coverage distance does to it, and a road problem's roads, so that a planner sees
// the coverage on their own basemap.

#include <optional>
#include <string>
#include <vector>

#include "gis/GisLayers.h"
#include "report/CoverageReport.h"
#include "store/DataStore.h"

// The report must have its demand counted. The nodes' X and Y are longitude and latitude on
// WGS 84 `onTheGlobe` (great circle, road distances); otherwise of no system we know. A road
// problem's `roads` become a layer of their own.
CoverageLayers coverageLayers(const TDataStore& store, const CoverageReport& report,
                              char metricCode, bool onTheGlobe,
                              std::optional<std::vector<std::vector<LonLat>>> roads);

// The bytes of the layers' GeoPackage file; throws RunTimeError when it cannot be made.
std::string coverageGeoPackage(GisLayers& gis, const CoverageLayers& layers);
