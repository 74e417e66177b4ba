#include "store/MatrixSource.h"

#include <gtest/gtest.h>

#include "tests/support/TestMatrices.h"

TEST(MatrixSource, EveryDescriptionSaysWhatTheCellsAre) {
    MatrixSource transformed = roadSource("drive", true, "minutes");
    transformed.transformed = true;
    const struct {
        MatrixSource source;
        const char* title;
        const char* text;
    } rows[] = {
        {distanceFileSource('N', "/data/d.NED"), "Distance",
         "distances, read from the distance file d.NED"},
        {distanceFileSource('G', "d.GRD"), "Distance (miles)",
         "distances in miles, read from the distance file d.GRD"},
        {roadSource("drive", true, "minutes"), "Travel time (minutes)",
         "travel times in minutes (drive), computed from the road map town.osm.pbf"},
        {roadSource("walk", false, "kilometres"), "Road length (kilometres)",
         "road lengths in kilometres (walk), computed from the road map town.osm.pbf"},
        {transformed, "Travel time",
         "travel times (drive), computed from the road map town.osm.pbf, then changed by the "
         "distance equations"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(measureTitle(row.source), row.title);
        EXPECT_EQ(sourceText(row.source), row.text);
    }
    EXPECT_EQ(roadSettingsText(roadSource("drive", true, "minutes")),
              "drive, travel time, minutes");
}
