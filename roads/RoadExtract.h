#pragma once

// Reads the roads of one mode from an OpenStreetMap extract (ExtractFile reads its forms).

#include <string>

#include "platform/InputFile.h"
#include "platform/TaskProgress.h"
#include "roads/RoadGraph.h"
#include "roads/RoadSettings.h"

// The roads of the settings' mode, their arcs costing what the settings measure. Throws what
// ExtractFile::read throws.
RoadGraph readRoadGraph(const std::string& path, const RoadSettings& settings,
                        TaskProgress& progress);
