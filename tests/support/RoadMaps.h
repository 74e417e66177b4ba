#pragma once

// Small hand-drawn road maps as OpenStreetMap XML, and the lengths along them worked out
// independently of the program: each segment's great-circle angle from the chord between its
// ends on the unit sphere, in extended precision.

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct MapNode {
    int64_t id;
    double longitude;
    double latitude;
};

struct MapWay {
    int64_t id;
    std::vector<int64_t> nodes;
    std::vector<std::pair<std::string, std::string>> tags;
};

struct RoadMapText {
    std::vector<MapNode> nodes;
    std::vector<MapWay> ways;

    std::string xml() const;
    // Metres along the nodes in order, segment by segment.
    long double pathMetres(const std::vector<int64_t>& path) const;
};

struct MapPlace {
    double longitude;
    double latitude;
};

// Metres between two places on the sphere of radius 6,371,008.8 m.
long double sphereMetres(double longitude1, double latitude1, double longitude2, double latitude2);

// The town most road tests use, 0.001 degrees of longitude (about 111 m) between
// neighbours along a street and 0.002 degrees of latitude between the two streets:
//
//   5 ----- 6 ----- 7 ----- 8        north street, both ways
//   |       :       x       |        2-6 a footway, 3-7 private
//   1 ----- 2 ====> 3 ====> 4        2-3 oneway=yes; 3-4 drawn from 4 to 3, oneway=-1
//
// with 1-5 and 4-8 both ways, an island 20 - 21 to the east and a building at 99.
RoadMapText townMap();

// Four places in the town: just south of nodes 1, 4 and 3, and just north of node 6.
std::vector<MapPlace> townPlaces();
// The road each pair of those places takes when driving, row by row: from place i to j.
std::vector<std::vector<std::vector<int64_t>>> townDrivePaths();
// The town's rounded driving distances in metres, row by row, worked out from those paths.
std::vector<std::vector<int32_t>> townDriveMetres();

// A node-file line for the place, its numbers with `decimal` as the decimal separator.
std::string nodeLine(int id, const MapPlace& place, char decimal = '.');
// A distance file's bytes for the matrix given row by row: column by column, CR LF.
std::string distanceFileBytes(const std::vector<std::vector<int32_t>>& rows);
