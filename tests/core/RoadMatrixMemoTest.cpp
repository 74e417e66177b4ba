#include <gtest/gtest.h>

#include "roads/RoadMatrixMemo.h"
#include "tests/support/TestFiles.h"

TEST(RoadMatrixMemo, KeepsTheMatrixForTheSameProblemOnly) {
    TempDir dir;
    const std::string roads = dir.write("town.osm", "<osm/>");
    const std::vector<RoadPlace> places{{8.5, 47.3}, {8.6, 47.4}};
    RoadSettings walking, slower, filled;
    walking.mode = TravelMode::Walk;
    slower.speeds.walk = 4;
    filled.unreachableValue = 0;
    RoadMatrixMemo memo;
    memo.keep(roads, places, {}, RoadMatrix{2, {0, 7, 7, 0}, {}, nullptr});
    ASSERT_NE(memo.find(roads, places, {}), nullptr);
    EXPECT_EQ(memo.find(roads, places, {})->cells, std::vector<int32_t>({0, 7, 7, 0}));
    for (const RoadSettings& other : {walking, slower, filled}) {
        EXPECT_EQ(memo.find(roads, places, other), nullptr);
    }
    EXPECT_EQ(memo.find(roads, {places[0], {8.6, 47.5}}, {}), nullptr);
    EXPECT_EQ(memo.find(dir.write("copy.osm", "<osm/>"), places, {}), nullptr);
    dir.write("town.osm", "<osm></osm>");
    EXPECT_EQ(memo.find(roads, places, {}), nullptr);
}
