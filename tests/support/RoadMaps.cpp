#include "tests/support/RoadMaps.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace {

std::string number(double value) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

void unitVector(double longitude, double latitude, long double xyz[3]) {
    const long double pi = 3.141592653589793238462643383279502884L;
    const long double lambda = longitude * pi / 180;
    const long double phi = latitude * pi / 180;
    xyz[0] = std::cos(phi) * std::cos(lambda);
    xyz[1] = std::cos(phi) * std::sin(lambda);
    xyz[2] = std::sin(phi);
}

}  // namespace

long double sphereMetres(double longitude1, double latitude1, double longitude2, double latitude2) {
    long double a[3];
    long double b[3];
    unitVector(longitude1, latitude1, a);
    unitVector(longitude2, latitude2, b);
    long double chord = 0;
    for (int k = 0; k < 3; ++k) {
        chord += (a[k] - b[k]) * (a[k] - b[k]);
    }
    return 6371008.8L * 2 * std::asin(std::sqrt(chord) / 2);
}

std::string RoadMapText::xml() const {
    std::string text = "<?xml version='1.0' encoding='UTF-8'?>\n<osm version=\"0.6\">\n";
    for (const MapNode& node : nodes) {
        text += " <node id=\"" + std::to_string(node.id) + "\" lat=\"" + number(node.latitude) +
                "\" lon=\"" + number(node.longitude) + "\"/>\n";
    }
    for (const MapWay& way : ways) {
        text += " <way id=\"" + std::to_string(way.id) + "\">\n";
        for (int64_t ref : way.nodes) {
            text += "  <nd ref=\"" + std::to_string(ref) + "\"/>\n";
        }
        for (const auto& [key, value] : way.tags) {
            text += "  <tag k=\"" + key + "\" v=\"" + value + "\"/>\n";
        }
        text += " </way>\n";
    }
    return text + "</osm>\n";
}

long double RoadMapText::pathMetres(const std::vector<int64_t>& path) const {
    const auto place = [&](int64_t id) -> const MapNode& {
        for (const MapNode& node : nodes) {
            if (node.id == id) {
                return node;
            }
        }
        throw std::logic_error("no node " + std::to_string(id));
    };
    long double total = 0;
    for (std::size_t k = 0; k + 1 < path.size(); ++k) {
        const MapNode& a = place(path[k]);
        const MapNode& b = place(path[k + 1]);
        total += sphereMetres(a.longitude, a.latitude, b.longitude, b.latitude);
    }
    return total;
}

RoadMapText townMap() {
    const std::pair<std::string, std::string> residential{"highway", "residential"};
    RoadMapText map;
    map.nodes = {{1, 0.000, 0.000},  {2, 0.001, 0.000},  {3, 0.002, 0.000}, {4, 0.003, 0.000},
                 {5, 0.000, 0.002},  {6, 0.001, 0.002},  {7, 0.002, 0.002}, {8, 0.003, 0.002},
                 {20, 0.010, 0.000}, {21, 0.011, 0.000}, {99, 0.005, 0.005}};
    map.ways = {
        {101, {1, 2}, {residential}},
        {102, {2, 3}, {residential, {"oneway", "yes"}}},
        {103, {4, 3}, {residential, {"oneway", "-1"}}},
        {104, {5, 6, 7, 8}, {residential, {"name", "North Street"}}},
        {105, {1, 5}, {residential}},
        {106, {4, 8}, {residential}},
        {107, {3, 7}, {residential, {"access", "private"}}},
        {108, {2, 6}, {{"highway", "footway"}}},
        {109, {20, 21}, {residential}},
        // Not a road: a building outline through a node of no road.
        {110, {99, 1}, {{"building", "yes"}}},
    };
    return map;
}

std::vector<MapPlace> townPlaces() {
    return {{0.0000, -0.0002}, {0.0030, -0.0002}, {0.0020, -0.0001}, {0.0010, 0.0021}};
}

std::vector<std::vector<std::vector<int64_t>>> townDrivePaths() {
    return {
        {{1}, {1, 2, 3, 4}, {1, 2, 3}, {1, 5, 6}},
        {{4, 8, 7, 6, 5, 1}, {4}, {4, 8, 7, 6, 5, 1, 2, 3}, {4, 8, 7, 6}},
        {{3, 4, 8, 7, 6, 5, 1}, {3, 4}, {3}, {3, 4, 8, 7, 6}},
        {{6, 5, 1}, {6, 7, 8, 4}, {6, 5, 1, 2, 3}, {6}},
    };
}

std::vector<std::vector<int32_t>> townDriveMetres() {
    const RoadMapText town = townMap();
    std::vector<std::vector<int32_t>> rows;
    for (const auto& paths : townDrivePaths()) {
        rows.emplace_back();
        for (const auto& path : paths) {
            rows.back().push_back(static_cast<int32_t>(std::llrint(town.pathMetres(path))));
        }
    }
    return rows;
}

std::string nodeLine(int id, const MapPlace& place, char decimal) {
    std::string line =
        std::to_string(id) + " " + number(place.longitude) + " " + number(place.latitude);
    for (char& c : line) {
        c = c == '.' ? decimal : c;
    }
    return line + " 1 1 1\r\n";
}

std::string distanceFileBytes(const std::vector<std::vector<int32_t>>& rows) {
    std::string text;
    for (std::size_t column = 0; column < rows.size(); ++column) {
        for (const auto& row : rows) {
            text += std::to_string(row[column]) + "\r\n";
        }
    }
    return text;
}
