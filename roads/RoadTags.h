#pragma once

// Which OpenStreetMap ways are roads of a mode, and which way along them one may travel.

#include "roads/RoadSettings.h"
#include "roads/RoadSpeeds.h"

namespace osmium {
class TagList;
}

enum class RoadDirection { Both, Forward, Backward };

// A way with a highway tag of the mode's list, not an area, open to the public and to the
// mode's travellers.
bool isRoad(const osmium::TagList& tags, TravelMode mode);

// Driving keeps one-way streets, roundabouts and motorways; walking goes both ways everywhere.
RoadDirection roadDirection(const osmium::TagList& tags, TravelMode mode);

// km/h along a road of the mode, in the direction it is drawn and against it.
struct RoadKmh {
    double forward;
    double backward;
};

// Walking takes its one speed everywhere. Driving takes, each way, the first of
// maxspeed:forward (or maxspeed:backward) and maxspeed whose value is a speed, else the
// speed of the road's highway value.
RoadKmh roadKmh(const osmium::TagList& tags, TravelMode mode, const RoadSpeeds& speeds);
