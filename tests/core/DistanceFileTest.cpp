#include "store/DistanceFile.h"

#include <gtest/gtest.h>

#include "platform/Workers.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMatrices.h"

namespace {

std::string lines(std::initializer_list<const char*> values) {
    std::string text;
    for (const char* value : values) {
        text += std::string(value) + "\r\n";
    }
    return text;
}

}  // namespace

TEST(DistanceFile, ExtensionsAndFilterPositionsByMetric) {
    EXPECT_EQ(distanceFileExtension(".EUC"), "EUD");
    EXPECT_EQ(distanceFileExtension(".GRT"), "GRD");
    EXPECT_EQ(distanceFileExtension(".MAN"), "MAD");
    EXPECT_EQ(distanceFileExtension(".NET"), "NED");
    EXPECT_EQ(metricFilterIndex(".EUC"), 1);
    EXPECT_EQ(metricFilterIndex(".NET"), 4);
    EXPECT_EQ(metricFilterIndex(""), 5);
}

TEST(DistanceFile, WrittenColumnByColumnOnePlainValuePerCrLfLine) {
    const TDataStore store =
        matrixStore({{0, 5, -3}, {7, 0, 2147483647}, {-2147483647 - 1, 9, 10}});
    EXPECT_EQ(formatDistanceFile(store, 3),
              lines({"0", "7", "-2147483648", "5", "0", "9", "-3", "2147483647", "10"}));
    EXPECT_EQ(formatDistanceFile(store, 0), "");
}

class SpreadFormatting : public ::testing::TestWithParam<unsigned> {
protected:
    void SetUp() override { setWorkerCount(GetParam()); }
    void TearDown() override { setWorkerCount(0); }
};

// Many blocks of columns, formatted apart, with values of every length from 1 to 11
// characters so that the blocks' texts differ in length.
TEST_P(SpreadFormatting, BlocksOfColumnsJoinIntoTheOneColumnByColumnText) {
    const int n = 203;
    const TDataStore store = generatedStore(n, [](int r, int c) {
        const int32_t magnitude = static_cast<int32_t>(((r * 31 + c * 17) % 11) * 195225786);
        return (r + c) % 2 ? magnitude : -magnitude - (r == 1 && c == 200);
    });
    std::string expected;
    for (int c = 1; c <= n; ++c) {
        for (int r = 1; r <= n; ++r) {
            expected += std::to_string(store.DistanceMatrix[r][c]) + "\r\n";
        }
    }
    EXPECT_EQ(formatDistanceFile(store, n), expected);
}

INSTANTIATE_TEST_SUITE_P(Workers, SpreadFormatting, ::testing::Values(1u, 2u, 7u));

TEST(DistanceFile, ReadColumnByColumn) {
    TempDir dir;
    TDataStore store;
    const auto read = readDistanceFile(store, dir.write("d.EUD", lines({"0", "7", "5", "0"})), 2);
    EXPECT_TRUE(read.complete);
    EXPECT_EQ(store.DistanceMatrix[1][1], 0);
    EXPECT_EQ(store.DistanceMatrix[2][1], 7);
    EXPECT_EQ(store.DistanceMatrix[1][2], 5);
    EXPECT_EQ(store.DistanceMatrix[2][2], 0);
    EXPECT_EQ(formatDistanceFile(store, 2), lines({"0", "7", "5", "0"}));
}

TEST(DistanceFile, ReadingRules) {
    TempDir dir;
    TDataStore store;
    // Blanks before the value, text after it, a sign, and lines beyond N * N never read.
    const auto read = readDistanceFile(
        store, dir.write("d.EUD", "  \t-3\r\n12 km\r+4\t5\r\n0\r\nnot read\r\n"), 2);
    EXPECT_TRUE(read.complete);
    EXPECT_EQ(store.DistanceMatrix[1][1], -3);
    EXPECT_EQ(store.DistanceMatrix[2][1], 12);
    EXPECT_EQ(store.DistanceMatrix[1][2], 4);
    EXPECT_EQ(store.DistanceMatrix[2][2], 0);
}

// A lone LF does not end a line: it and the text after it up to the CR LF are skipped with
// the rest of the value's line.
TEST(DistanceFile, ALoneLineFeedStaysInsideItsLine) {
    TempDir dir;
    TDataStore store;
    const auto read = readDistanceFile(store, dir.write("d.EUD", "1\n9\r\n2\r\n3\r\n4\r\n"), 2);
    EXPECT_TRUE(read.complete);
    EXPECT_EQ(store.DistanceMatrix[1][1], 1);
    EXPECT_EQ(store.DistanceMatrix[2][1], 2);
    EXPECT_EQ(store.DistanceMatrix[1][2], 3);
    EXPECT_EQ(store.DistanceMatrix[2][2], 4);
}

TEST(DistanceFile, ValuesThatDoNotConvertStopTheReadAtTheirLine) {
    TempDir dir;
    for (const char* bad : {"1.5", "12km", "2147483648", "-2147483649", "-", "\x01"}) {
        TDataStore store;
        const auto read =
            readDistanceFile(store, dir.write("d.EUD", lines({"0", "7", bad, "0"})), 2);
        EXPECT_FALSE(read.complete) << bad;
        EXPECT_EQ(read.failedLine, 3) << bad;
    }
}

TEST(DistanceFile, AValueOfMoreThanSixtyFourCharactersStopsTheReadAtItsLine) {
    TempDir dir;
    const std::string longest = std::string(63, '0') + "7";
    TDataStore store;
    const auto fits =
        readDistanceFile(store, dir.write("a.EUD", "0\r\n-" + longest + "\r\n5\r\n0\r\n"), 2);
    EXPECT_TRUE(fits.complete);
    EXPECT_EQ(store.DistanceMatrix[2][1], -7);
    const auto tooLong =
        readDistanceFile(store, dir.write("b.EUD", "0\r\n0" + longest + "\r\n5\r\n0\r\n"), 2);
    EXPECT_FALSE(tooLong.complete);
    EXPECT_EQ(tooLong.failedLine, 2);
    // By its name a device is refused at once, never read.
    EXPECT_THROW(readDistanceFile(store, "/dev/zero", 2), InOutError);
}

TEST(DistanceFile, MissingValuesStopTheReadAlsoWhenOnlyBlanksRemain) {
    TempDir dir;
    TDataStore store;
    const auto blankInside = readDistanceFile(store, dir.write("a.EUD", "0\r\n\r\n7\r\n5\r\n"), 2);
    EXPECT_FALSE(blankInside.complete);
    EXPECT_EQ(blankInside.failedLine, 5);
    const auto blankAtEnd = readDistanceFile(store, dir.write("b.EUD", "0\r\n7\r\n5\r\n  \r\n"), 2);
    EXPECT_FALSE(blankAtEnd.complete);
    const auto short_ = readDistanceFile(store, dir.write("c.EUD", "0\r\n7\r\n"), 2);
    EXPECT_FALSE(short_.complete);
    EXPECT_EQ(short_.failedLine, 3);
}

TEST(DistanceFile, CheckCountsEveryLineAgainstNSquared) {
    TempDir dir;
    const auto file = [&](int count) {
        std::string text;
        for (int i = 0; i < count; ++i) {
            text += i == 4 ? "\r\n" : "1\r\n";
        }
        return dir.write("f" + std::to_string(count) + ".EUD", text);
    };
    EXPECT_FALSE(distanceFileFits(file(8), 3));
    EXPECT_TRUE(distanceFileFits(file(9), 3));
    EXPECT_FALSE(distanceFileFits(file(10), 3));
    EXPECT_EQ(countDistanceFileLines(dir.write("lf.EUD", "1\n2\n3\n4\n")), 1);
    EXPECT_EQ(countDistanceFileLines(dir.write("cr.EUD", "1\r2\r3\r4")), 4);
    EXPECT_EQ(countDistanceFileLines(dir.write("z.EUD",
                                               "1\r\n2\r\n\x1A"
                                               "3\r\n")),
              2);
    EXPECT_THROW(countDistanceFileLines(dir.file("missing.EUD")), InOutError);
    EXPECT_THROW(countDistanceFileLines("/dev/zero"), InOutError);
}

TEST(DistanceFileWriter, WritesTheFileAndCountsRecords) {
    TempDir dir;
    const TDataStore store = matrixStore({{0, 7}, {5, 0}});
    DistanceFileWriter writer(dir.write("out.EUD", "previous contents\r\n"));
    EXPECT_EQ(writer.write(store, 2), 4);
    EXPECT_EQ(readBytes(dir.file("out.EUD")), lines({"0", "5", "7", "0"}));
    EXPECT_EQ(successfullyWrittenMessage("/x/out.EUD", 4),
              "<<< File [/x/out.EUD] successfully written with 4 records >>>");
    EXPECT_EQ(fatalWriteErrorMessage("/x/out.EUD"),
              "<<< Fatal error writing file [/x/out.EUD] >>>");
}
