#include "roads/RoadTags.h"

#include <gtest/gtest.h>

#include <osmium/builder/osm_object_builder.hpp>
#include <osmium/memory/buffer.hpp>
#include <osmium/osm/way.hpp>

#include <string>
#include <utility>
#include <vector>

#include "platform/RunTimeError.h"
#include "platform/TextFile.h"
#include "tests/support/TestFiles.h"

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

std::string shownTags(const Tags& tags) {
    std::string shown;
    for (const auto& [key, value] : tags) {
        shown += key + "=" + value + " ";
    }
    return shown;
}

struct RoadCase {
    Tags tags;
    bool drive;
    bool walk;
};

TEST(RoadTags, RoadsOfEachMode) {
    const std::vector<RoadCase> cases = {
        // The ends of each list, and the motorways walking leaves out.
        {{{"highway", "motorway"}}, true, false},
        {{{"highway", "motorway_link"}}, true, false},
        {{{"highway", "road"}}, true, true},
        {{{"highway", "footway"}}, false, true},
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
        const std::string shown = shownTags(road.tags);
        TaggedWay way(road.tags);
        EXPECT_EQ(isRoad(way.tags(), TravelMode::Drive), road.drive) << "drive: " << shown;
        EXPECT_EQ(isRoad(way.tags(), TravelMode::Walk), road.walk) << "walk: " << shown;
    }
}

struct DirectionCase {
    Tags tags;
    RoadDirection drive;
};

TEST(RoadTags, DrivingDirectionByTheFirstRuleThatFits) {
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
        // A motorway is one way unless it says otherwise; its link is not.
        {{{"highway", "motorway"}}, forward},
        {{{"highway", "motorway"}, {"oneway", "no"}}, both},
        {{{"highway", "motorway"}, {"oneway", "false"}}, both},
        {{{"highway", "motorway"}, {"oneway", "0"}}, both},
        {{{"highway", "motorway"}, {"oneway", "-1"}}, backward},
        {{{"highway", "motorway"}, {"oneway", "alternating"}}, forward},
        {{{"highway", "motorway_link"}}, both},
    };
    for (const DirectionCase& road : cases) {
        Tags tags = road.tags;
        if (tags.empty() || tags.front().first != "highway") {
            tags.insert(tags.begin(), {"highway", "primary"});
        }
        const std::string shown = shownTags(tags);
        TaggedWay way(tags);
        EXPECT_EQ(roadDirection(way.tags(), TravelMode::Drive), road.drive) << shown;
        EXPECT_EQ(roadDirection(way.tags(), TravelMode::Walk), both) << "walk: " << shown;
    }
}

struct SpeedCase {
    Tags tags;
    double forward;
    double backward;
};

// The km/h each way of a primary road (60 unless it says otherwise) with these tags.
TEST(RoadTags, DrivingSpeedEachWayFromTheFirstTagThatIsASpeed) {
    constexpr double Mile = 1.609344;
    std::vector<SpeedCase> cases = {
        {{{"maxspeed", "50"}}, 50, 50},
        {{{"maxspeed", "7.5"}}, 7.5, 7.5},
        {{{"maxspeed", "030"}}, 30, 30},
        {{{"maxspeed", "30 mph"}}, 30 * Mile, 30 * Mile},
        {{{"maxspeed", "12.5mph"}}, 12.5 * Mile, 12.5 * Mile},
        {{{"maxspeed:forward", "70"}, {"maxspeed", "50"}}, 70, 50},
        {{{"maxspeed:backward", "20 mph"}}, 60, 20 * Mile},
        {{{"maxspeed:forward", "none"}, {"maxspeed:backward", "30"}, {"maxspeed", "50"}}, 50, 30},
    };
    for (const char* notASpeed : {"none", "50;30", "DE:urban", "signals", "walk", "0", "0.0", "-30",
                                  "5.", ".5", "1e2", " 50", "30  mph", "30 MPH", "mph", ""}) {
        cases.push_back({{{"maxspeed", notASpeed}}, 60, 60});
    }
    for (const SpeedCase& road : cases) {
        Tags tags = road.tags;
        tags.insert(tags.begin(), {"highway", "primary"});
        TaggedWay way(tags);
        const RoadKmh kmh = roadKmh(way.tags(), TravelMode::Drive, RoadSpeeds());
        EXPECT_EQ(kmh.forward, road.forward) << shownTags(tags);
        EXPECT_EQ(kmh.backward, road.backward) << shownTags(tags);
        EXPECT_EQ(roadKmh(way.tags(), TravelMode::Walk, RoadSpeeds()).backward, 5);
    }
    RoadSpeeds calibrated;
    calibrated.drive[*driveHighwayIndex("living_street")] = 8;
    calibrated.walk = 4;
    const TaggedWay living(Tags{{"highway", "living_street"}});
    EXPECT_EQ(roadKmh(living.tags(), TravelMode::Drive, RoadSpeeds()).forward, 10);
    EXPECT_EQ(roadKmh(living.tags(), TravelMode::Drive, calibrated).backward, 8);
    EXPECT_EQ(roadKmh(living.tags(), TravelMode::Walk, calibrated).forward, 4);
}

struct SpeedsFileCase {
    const char* text;
    long long line;  // 0: read without error
    std::string message;
};

TEST(RoadTags, ASpeedsFileReplacesTheDefaultsItNamesAndRefusesWhatItCannotMean) {
    const std::string notASpeed =
        "' is not a speed for primary: a number of km/h greater than 0, such as 50 or 7.5, is "
        "needed";
    const std::vector<SpeedsFileCase> cases = {
        {"# planner's speeds\n\nprimary 45\r\nwalk\t4.5  # slower\rresidential 25", 0, ""},
        {"primary 45\nmotorways 90\n", 2,
         "'motorways' is neither a highway value a car may take nor walk, so no speed can be "
         "set for it"},
        {"primary 45\n\n# again\nprimary 50\n", 4,
         "The speed for primary is given again: it was given on line 1"},
        {"primary 30 mph\n", 1, "'30 mph" + notASpeed},
        {"primary\n", 1, "'" + notASpeed},
    };
    TempDir dir;
    for (const SpeedsFileCase& file : cases) {
        const std::string path = dir.write("speeds.txt", file.text);
        try {
            const RoadSpeeds speeds = readRoadSpeeds(TextSource(path));
            EXPECT_EQ(file.line, 0) << file.text;
            EXPECT_EQ(speeds.drive[*driveHighwayIndex("primary")], 45);
            EXPECT_EQ(speeds.drive[*driveHighwayIndex("residential")], 25);
            EXPECT_EQ(speeds.drive[*driveHighwayIndex("secondary")], 50);
            EXPECT_EQ(speeds.walk, 4.5);
        } catch (const RunTimeError& error) {
            EXPECT_EQ(error.line(), file.line) << file.text;
            EXPECT_EQ(error.file(), path);
            EXPECT_EQ(error.message(), file.message);
        }
    }
}

}  // namespace
