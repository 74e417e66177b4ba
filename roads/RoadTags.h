#pragma once

// Which OpenStreetMap ways are roads of a mode, and which way along them one may travel.

#include "roads/RoadSettings.h"

namespace osmium {
class TagList;
}

enum class RoadDirection { Both, Forward, Backward };

// A way with a highway tag of the mode's list, not an area, open to the public and to the
// mode's travellers.
bool isRoad(const osmium::TagList& tags, TravelMode mode);

// Driving keeps one-way streets and roundabouts; walking goes both ways everywhere.
RoadDirection roadDirection(const osmium::TagList& tags, TravelMode mode);
