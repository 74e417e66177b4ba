#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "loading/DataLoad.h"
#include "modify/MatrixTransformation.h"
#include "store/DistanceFile.h"
#include "tests/batch/BatchRun.h"
#include "tests/support/TestFiles.h"

namespace {

const std::string ThreeNodes =
    "1 -71.06 42.36 10 0 1 Boston\r\n2 2.35 48.86 5 0 1\r\n"
    "3 139.69 35.68 7 0 1\r\n";

}  // namespace

TEST(BatchCompute, WritesTheBytesTheProgramWrites) {
    TempDir dir;
    dir.write("d.GRT", ThreeNodes);
    dir.write("s.GRT", "1 0 0 x x 1\r\n");
    const Result result =
        run(dir, "compute --metric great-circle --demand d.GRT --candidates s.GRT --out out.GRD");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    TDataStore store;
    store.MetricCode = 'G';
    ASSERT_TRUE(LoadProblem(store, {dir.file("d.GRT"), dir.file("s.GRT"), ""}, '.').loaded());
    EXPECT_EQ(readBytes(dir.file("out.GRD")), FormatDistanceFile(store, 4));
    EXPECT_NEAR(store.DistanceMatrix[1][2], 3440, 10);
}

TEST(BatchCompute, EuclideanTwoNodes) {
    TempDir dir;
    dir.write("d.EUC", "1 0 0 1 1 1\r\n2 3 4 1 1 1\r\n");
    const Result result = run(dir, "compute --metric euclidean --demand d.EUC --out d.EUD");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(readBytes(dir.file("d.EUD")), "0\r\n5\r\n5\r\n0\r\n");
}

TEST(BatchCompute, BadInputNamesFileAndLineAndLeavesTheOldOutput) {
    TempDir dir;
    dir.write("d.EUC", "1 0 0 1 1 1\r\n2 3 four 1 1 1\r\n");
    dir.write("out.EUD", "old\r\n");
    const Result result = run(dir, "compute --metric euclidean --demand d.EUC --out out.EUD");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "velmora-batch: d.EUC:2: 'four' is not a valid floating point value\n");
    EXPECT_EQ(readBytes(dir.file("out.EUD")), "old\r\n");
    EXPECT_EQ(folderListing(dir.path()), "d.EUC\nout.EUD\n");
}

TEST(BatchCompute, TooManyNodesAndMissingFilesAreBadInput) {
    TempDir dir;
    std::string many;
    for (int i = 0; i < 902; ++i) {
        many += "1 0 0 1 1 1\r\n";
    }
    dir.write("many.EUC", many);
    const Result tooMany = run(dir, "compute --metric euclidean --demand many.EUC --out o.EUD");
    EXPECT_EQ(tooMany.status, 1);
    EXPECT_EQ(tooMany.err, "velmora-batch: many.EUC:902: Range check error\n");
    const Result missing = run(dir, "compute --metric manhattan --demand none.MAN --out o.MAD");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("none.MAN"), std::string::npos) << missing.err;
    EXPECT_EQ(folderListing(dir.path()), "many.EUC\n");
}

TEST(BatchCompute, OutputThatCannotBeCreatedIsBadInput) {
    TempDir dir;
    dir.write("d.EUC", "1 0 0 1 1 1\r\n");
    const Result result = run(dir, "compute --metric euclidean --demand d.EUC --out no/such.EUD");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("no/such.EUD"), std::string::npos) << result.err;
}

TEST(BatchUsage, MistakesAreUsageErrorsAndHelpIsSuccess) {
    TempDir dir;
    EXPECT_EQ(run(dir, "").status, 2);
    EXPECT_EQ(run(dir, "compute --demand d.EUC --out o.EUD").status, 2);
    EXPECT_EQ(run(dir, "compute --metric network --demand d.EUC --out o.EUD").status, 2);
    EXPECT_EQ(run(dir, "frobnicate").status, 2);
    EXPECT_EQ(run(dir, "transform --demand d --in i --out o --coverage x").status, 2);
    EXPECT_EQ(run(dir, "transform --demand d --in i --out o --coverage 5 --scale -1").status, 2);
    for (const char* verb : {"", "compute ", "check ", "transform "}) {
        const Result help = run(dir, std::string(verb) + "--help");
        EXPECT_EQ(help.status, 0) << verb;
        EXPECT_NE(help.out.find("--"), std::string::npos) << verb;
    }
}

TEST(BatchCheck, FitsAndReadsOrSaysWhyNot) {
    TempDir dir;
    dir.write("d.NET", "1 0 0 1 1 1\r\n2 0 0 1 1 1\r\n");
    dir.write("s.NET", "1 0 0 x x 1\r\n");
    std::string nine;
    for (int i = 0; i < 9; ++i) {
        nine += std::to_string(i) + "\r\n";
    }
    dir.write("nine.NED", nine);
    dir.write("eight.NED", nine.substr(0, nine.size() - 3));
    dir.write("bad.NED", "0\r\n1\r\n2\r\n3\r\nx\r\n5\r\n6\r\n7\r\n8\r\n");
    EXPECT_EQ(run(dir, "check --demand d.NET --candidates s.NET --in nine.NED").status, 0);
    const Result eight = run(dir, "check --demand d.NET --candidates s.NET --in eight.NED");
    EXPECT_EQ(eight.status, 1);
    EXPECT_EQ(eight.err,
              "velmora-batch: eight.NED: Number of Distances Incompatible with Input Files (3 "
              "nodes need 9 lines, the file has 8)\n");
    const Result bad = run(dir, "check --demand d.NET --candidates s.NET --in bad.NED");
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err,
              "velmora-batch: bad.NED:5: Number of Distances Incompatible with Input Files\n");
}

TEST(BatchTransform, ReportsScalingAndRecordsAndWritesTheMatrix) {
    TempDir dir;
    dir.write("d.EUC", "1 0 0 1 1 1\r\n2 0 0 1 1 1\r\n");
    dir.write("in.EUD", "0\r\n20000\r\n5000\r\n0\r\n");
    const Result result =
        run(dir, "transform --demand d.EUC --in in.EUD --out out.EUD --coverage 0");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "<<< DISTANCES WILL BE SCALED SO MAXIMUM DISTANCE = 10,000.0 >>>\n"
              "<<< File [" +
                  dir.file("out.EUD") + "] successfully written with 4 records >>>\n");
    EXPECT_EQ(readBytes(dir.file("out.EUD")), "0\r\n10000\r\n2500\r\n0\r\n");
}

TEST(BatchTransform, EquationsAndNoScaling) {
    TempDir dir;
    dir.write("d.EUC", "1 0 0 1 1 1\r\n2 0 0 1 1 1\r\n");
    dir.write("in.EUD", "0\r\n1000000\r\n500000\r\n0\r\n");
    const Result result = run(dir,
                              "transform --demand d.EUC --in in.EUD --out out.EUD --coverage "
                              "2000000000 --equation 1=0,1,2 --equation 0=3,1,1 --no-scale");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "<<< DISTANCES SHOULD BE SCALED SO MAXIMUM DISTANCE = 10,000.0 >>>\n"
              "<<< BUT YOU REQUESTED NO SCALING SO THEY WILL NOT BE SCALED >>>\n"
              "<<< DISTANCES MUST BE SCALED SO MAXIMUM DISTANCE = 2,147,483,646.0 >>>\n"
              "<<< File [" +
                  dir.file("out.EUD") + "] successfully written with 4 records >>>\n");
    const long double quarter = PowerOf(500000, 2) / PowerOf(1000000, 2);
    EXPECT_EQ(readBytes(dir.file("out.EUD")),
              "0\r\n2147483646\r\n" + std::to_string(*RoundToCell(quarter * DistanceLimit)) +
                  "\r\n0\r\n");
}

TEST(BatchTransform, RangesAndNegativeDistancesAreRefused) {
    TempDir dir;
    dir.write("d.EUC", "1 0 0 1 1 1\r\n2 0 0 1 1 1\r\n");
    dir.write("in.EUD", "0\r\n-4\r\n5\r\n0\r\n");
    const std::string base = "transform --demand d.EUC --in in.EUD --out out.EUD --coverage 5 ";
    const Result exponent = run(dir, base + "--equation 2=0,1,11");
    EXPECT_EQ(exponent.status, 2);
    EXPECT_EQ(exponent.err,
              "velmora-batch: --equation 2=0,1,11: the exponent must lie from -10 to 10\n");
    EXPECT_EQ(run(dir, base + "--equation 4=0,1,1").status, 2);
    EXPECT_EQ(run(dir, base + "--equation 0=-1,1,1").status, 2);
    EXPECT_EQ(run(dir, base + "--equation 0=1,1").status, 2);
    const Result negative = run(dir, base);
    EXPECT_EQ(negative.status, 1);
    EXPECT_NE(negative.err.find("row 2, column 1"), std::string::npos) << negative.err;
    EXPECT_EQ(folderListing(dir.path()), "d.EUC\nin.EUD\n");
}

TEST(BatchRobustness, StrangeInputGivesOneLineNeverACrash) {
    TempDir dir;
    std::string binary;
    for (int i = 0; i < 4096; ++i) {
        binary += static_cast<char>((i * 7919) % 256);
    }
    dir.write("binary.EUC", binary);
    dir.write("nul.EUC", std::string("1 0\0 0 1 1 1\r\n", 14));
    dir.write("huge.EUC", "1 1e999999 0 1 1 1\r\n");
    std::string longLine;
    for (int i = 0; i < 4'000'000; ++i) {
        longLine += "1 2 3 4 5 6\n";
    }
    dir.write("long.EUC", longLine);
    std::filesystem::create_directory(dir.file("folder.EUC"));
    for (const char* file : {"binary.EUC", "nul.EUC", "huge.EUC", "long.EUC", "folder.EUC"}) {
        const Result result =
            run(dir, std::string("compute --metric euclidean --demand ") + file + " --out o.EUD");
        EXPECT_EQ(result.status, 1) << file << ": " << result.err;
        EXPECT_EQ(result.err.rfind(std::string("velmora-batch: ") + file, 0), 0u) << result.err;
        EXPECT_LT(result.err.size(), 400u) << file;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("o.EUD")));
}

TEST(BatchRobustness, ADistanceFileWithHugeValuesOrJunkIsRefusedAtItsLine) {
    TempDir dir;
    dir.write("d.NET", "1 0 0 1 1 1\r\n2 0 0 1 1 1\r\n");
    dir.write("big.NED", "0\r\n99999999999999999999999\r\n1\r\n0\r\n");
    dir.write("junk.NED", std::string("0\r\n\x01\x02\r\n1\r\n0\r\n"));
    const Result big = run(dir, "check --demand d.NET --in big.NED");
    EXPECT_EQ(big.err,
              "velmora-batch: big.NED:2: Number of Distances Incompatible with Input Files\n");
    const Result junk = run(dir, "check --demand d.NET --in junk.NED");
    EXPECT_EQ(junk.err,
              "velmora-batch: junk.NED:2: Number of Distances Incompatible with Input Files\n");
}
