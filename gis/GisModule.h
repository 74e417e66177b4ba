#pragma once

#include "gis/GisLayers.h"

// The GIS layers of the module installed beside the program (velmora-gis.so), loaded when
// first asked for. Throws RunTimeError, located at the module, when it cannot be found or
// loaded.
GisLayers& gisLayers();
