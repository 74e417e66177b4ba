#include "roads/RoadTags.h"

#include <gtest/gtest.h>

#include <osmium/builder/osm_object_builder.hpp>
#include <osmium/memory/buffer.hpp>
#include <osmium/osm/way.hpp>

#include <string>
#include <utility>
#include <vector>

namespace {

using Tags = std::vector<std::pair<std::string, std::string>>;

// A way carrying the tags, as libosmium hands it over.
class TaggedWay {
public:
    explicit TaggedWay(const Tags& tags) {
        {
            osmium::builder::WayBuilder builder(m_buffer);
            builder.set_id(1);
            osmium::builder::TagListBuilder tagBuilder(builder);
            for (const auto& [key, value] : tags) {
                tagBuilder.add_tag(key, value);
            }
        }
        m_buffer.commit();
    }
    const osmium::TagList& tags() const { return m_buffer.get<osmium::Way>(0).tags(); }

private:
    osmium::memory::Buffer m_buffer{1024, osmium::memory::Buffer::auto_grow::yes};
};

struct RoadCase {
    Tags tags;
    bool drive;
    bool walk;
};

TEST(RoadTags, roadsOfEachMode) {
    const std::vector<RoadCase> cases = {
        {{{"highway", "motorway"}}, true, false},
        {{{"highway", "motorway_link"}}, true, false},
        {{{"highway", "trunk"}}, true, true},
        {{{"highway", "trunk_link"}}, true, true},
        {{{"highway", "primary"}}, true, true},
        {{{"highway", "primary_link"}}, true, true},
        {{{"highway", "secondary"}}, true, true},
        {{{"highway", "secondary_link"}}, true, true},
        {{{"highway", "tertiary"}}, true, true},
        {{{"highway", "tertiary_link"}}, true, true},
        {{{"highway", "unclassified"}}, true, true},
        {{{"highway", "residential"}}, true, true},
        {{{"highway", "living_street"}}, true, true},
        {{{"highway", "service"}}, true, true},
        {{{"highway", "road"}}, true, true},
        {{{"highway", "footway"}}, false, true},
        {{{"highway", "path"}}, false, true},
        {{{"highway", "pedestrian"}}, false, true},
        {{{"highway", "steps"}}, false, true},
        {{{"highway", "track"}}, false, true},
        {{{"highway", "cycleway"}}, false, true},
        {{{"highway", "bridleway"}}, false, true},
        {{{"highway", "corridor"}}, false, true},
        // Not on either list, or no highway at all.
        {{{"highway", "proposed"}}, false, false},
        {{{"highway", "construction"}}, false, false},
        {{{"highway", "Residential"}}, false, false},
        {{{"highway", ""}}, false, false},
        {{{"railway", "rail"}}, false, false},
        {{{"building", "yes"}}, false, false},
        {{}, false, false},
        // Closed to everyone.
        {{{"highway", "residential"}, {"area", "yes"}}, false, false},
        {{{"highway", "pedestrian"}, {"area", "yes"}}, false, false},
        {{{"highway", "residential"}, {"access", "no"}}, false, false},
        {{{"highway", "residential"}, {"access", "private"}}, false, false},
        {{{"highway", "residential"}, {"access", "private"}, {"foot", "yes"}}, false, false},
        {{{"highway", "residential"}, {"area", "no"}}, true, true},
        {{{"highway", "residential"}, {"access", "yes"}}, true, true},
        {{{"highway", "residential"}, {"access", "destination"}}, true, true},
        {{{"highway", "service"}, {"access", "permissive"}}, true, true},
        // Closed to one mode only.
        {{{"highway", "primary"}, {"motor_vehicle", "no"}}, false, true},
        {{{"highway", "primary"}, {"motorcar", "no"}}, false, true},
        {{{"highway", "primary"}, {"motorcar", "yes"}}, true, true},
        {{{"highway", "primary"}, {"foot", "no"}}, true, false},
        {{{"highway", "footway"}, {"foot", "no"}}, false, false},
        {{{"highway", "primary"}, {"foot", "yes"}}, true, true},
        {{{"highway", "motorway"}, {"foot", "yes"}}, true, false},
    };
    for (const RoadCase& road : cases) {
        std::string shown;
        for (const auto& [key, value] : road.tags) {
            shown += key + "=" + value + " ";
        }
        TaggedWay way(road.tags);
        EXPECT_EQ(isRoad(way.tags(), TravelMode::Drive), road.drive) << "drive: " << shown;
        EXPECT_EQ(isRoad(way.tags(), TravelMode::Walk), road.walk) << "walk: " << shown;
    }
}

struct DirectionCase {
    Tags tags;
    RoadDirection drive;
};

TEST(RoadTags, drivingDirectionByTheFirstRuleThatFits) {
    const RoadDirection both = RoadDirection::Both;
    const RoadDirection forward = RoadDirection::Forward;
    const RoadDirection backward = RoadDirection::Backward;
    const std::vector<DirectionCase> cases = {
        {{}, both},
        {{{"oneway", "-1"}}, backward},
        {{{"oneway", "reverse"}}, backward},
        {{{"oneway", "yes"}}, forward},
        {{{"oneway", "true"}}, forward},
        {{{"oneway", "1"}}, forward},
        {{{"oneway", "no"}}, both},
        {{{"oneway", "false"}}, both},
        {{{"oneway", "0"}}, both},
        {{{"oneway", "Yes"}}, both},
        {{{"oneway", "alternating"}}, both},
        {{{"junction", "roundabout"}}, forward},
        {{{"junction", "circular"}}, forward},
        {{{"junction", "roundabout"}, {"oneway", "no"}}, both},
        {{{"junction", "circular"}, {"oneway", "false"}}, both},
        {{{"junction", "roundabout"}, {"oneway", "0"}}, both},
        {{{"junction", "roundabout"}, {"oneway", "-1"}}, backward},
        {{{"junction", "roundabout"}, {"oneway", "alternating"}}, forward},
        {{{"junction", "spui"}}, both},
        {{{"junction", "roundabout"}, {"oneway", "yes"}}, forward},
    };
    for (const DirectionCase& road : cases) {
        Tags tags = road.tags;
        tags.insert(tags.begin(), {"highway", "primary"});
        std::string shown;
        for (const auto& [key, value] : tags) {
            shown += key + "=" + value + " ";
        }
        TaggedWay way(tags);
        EXPECT_EQ(roadDirection(way.tags(), TravelMode::Drive), road.drive) << shown;
        EXPECT_EQ(roadDirection(way.tags(), TravelMode::Walk), both) << "walk: " << shown;
    }
}

}  // namespace
