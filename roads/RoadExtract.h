#pragma once

// Reads the roads of one mode from an OpenStreetMap extract: PBF or XML, the XML plain or
// compressed with bzip2 or gzip, told apart by the file's first bytes rather than its name.

#include <string>

#include "platform/TaskProgress.h"
#include "roads/RoadGraph.h"
#include "roads/RoadSettings.h"

// The roads of the settings' mode, their arcs costing what the settings measure. Throws
// InOutError when the file cannot be read, RoadError when it is not an extract that can be
// read, and TaskCancelled.
RoadGraph readRoadGraph(const std::string& path, const RoadSettings& settings,
                        TaskProgress& progress);
// The same from the file's bytes.
RoadGraph readRoadGraphFrom(const std::string& bytes, const RoadSettings& settings,
                            TaskProgress& progress);
