#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "batch/ComputeCommand.h"
#include "platform/Workers.h"
#include "tests/batch/BatchRun.h"

namespace {

// 300 nodes spread over the globe: the rows split into many blocks, and equal distances
// meet often enough for the transformation's shared evaluations to matter.
std::string nodeLines(int first, int count) {
    std::string lines;
    for (int i = first; i < first + count; ++i) {
        const int longitude = (i * 137) % 360 - 180;
        const int latitude = (i * 59) % 150 - 75;
        lines += std::to_string(i) + " " + std::to_string(longitude) + ".25 " +
                 std::to_string(latitude) + ".5 1 0 1\r\n";
    }
    return lines;
}

// The worker count a verb runs with, the command line parsed in this process.
unsigned workersOfRun(std::vector<std::string> arguments) {
    static unsigned seen = 0;
    batch::Actions actions;
    actions.compute = [](const batch::ComputeRequest&, batch::Console&) {
        seen = workerCount();
        return 0;
    };
    actions.network = [](const batch::NetworkRequest&, batch::Console&) {
        seen = workerCount();
        return 0;
    };
    arguments.insert(arguments.begin(), "velmora-batch");
    seen = 0;
    const Result result = runHere(arguments, actions);
    EXPECT_EQ(result.status, 0) << result.err;
    return seen;
}

}  // namespace

TEST(BatchThreads, AnythingButAWholeNumberFromOneIsAUsageErrorBeforeAnyFileIsTouched) {
    TempDir dir;
    dir.write("d.EUC", nodeLines(1, 3));
    const std::string listing = folderListing(dir.path());
    for (const char* threads : {"0", "-2", "1.5", "two", "''", "4294967296", "1e3", "0x2"}) {
        const Result result =
            run(dir, std::string("--threads ") + threads +
                         " compute --metric euclidean --demand d.EUC --out o.EUD");
        EXPECT_EQ(result.status, 2) << threads;
        EXPECT_EQ(result.err.rfind("velmora-batch: --threads: ", 0), 0u) << result.err;
    }
    EXPECT_EQ(run(dir, "compute --metric euclidean --demand d.EUC --out o.EUD --threads").status,
              2);
    EXPECT_EQ(folderListing(dir.path()), listing);
}

TEST(BatchThreads, TheNumberGivenBeforeOrAfterTheVerbIsTheOneUsedAndAllCoresOtherwise) {
    setWorkerCount(0);
    const unsigned allCores = workerCount();
    const std::vector<std::string> compute = {"--metric", "euclidean", "--demand",
                                              "d",        "--out",     "o"};
    std::vector<std::string> before = {"--threads", "3", "compute"};
    before.insert(before.end(), compute.begin(), compute.end());
    EXPECT_EQ(workersOfRun(before), 3u);
    std::vector<std::string> after = {"compute"};
    after.insert(after.end(), compute.begin(), compute.end());
    after.insert(after.end(), {"--threads", "5"});
    EXPECT_EQ(workersOfRun(after), 5u);
    // Decimal as every whole number given: no octal.
    after.back() = " 010 ";
    EXPECT_EQ(workersOfRun(after), 10u);
    std::vector<std::string> plain = {"compute"};
    plain.insert(plain.end(), compute.begin(), compute.end());
    EXPECT_EQ(workersOfRun(plain), allCores);
    // The road searches and the reading of the road map share the one count.
    const unsigned more = allCores + 1;
    EXPECT_EQ(workersOfRun({"network", "--roads", "r", "--demand", "d", "--out", "o", "--threads",
                            std::to_string(more)}),
              more);
}

TEST(BatchThreads, EveryVerbWritesTheSameBytesWithOneTwoOrSevenWorkers) {
    TempDir dir;
    dir.write("d.GRT", nodeLines(1, 260));
    dir.write("s.GRT", nodeLines(261, 40));
    const std::string nodes = " --demand d.GRT --candidates s.GRT";
    std::vector<std::string> matrices;
    std::vector<std::string> transformed;
    std::vector<std::string> reports;
    for (const char* threads : {"1", "2", "7"}) {
        const std::string workers = std::string("--threads ") + threads + " ";
        const Result computed =
            run(dir, workers + "compute --metric great-circle" + nodes + " --out m.GRD");
        ASSERT_EQ(computed.status, 0) << computed.err;
        matrices.push_back(readBytes(dir.file("m.GRD")));
        const Result transform =
            run(dir, workers + "transform" + nodes +
                         " --in m.GRD --out t.GRD --coverage 3000 --equation 1=2,1.5,0.75"
                         " --equation 3=4,0.25,1.3");
        ASSERT_EQ(transform.status, 0) << transform.err;
        transformed.push_back(readBytes(dir.file("t.GRD")));
        const Result report = run(dir, workers + "report --json --in m.GRD --coverage 900" + nodes);
        ASSERT_EQ(report.status, 0) << report.err;
        reports.push_back(report.out);
    }
    EXPECT_EQ(std::count(matrices[0].begin(), matrices[0].end(), '\n'), 300 * 300);
    for (std::size_t k = 1; k < 3; ++k) {
        EXPECT_EQ(matrices[k], matrices[0]) << k;
        EXPECT_EQ(transformed[k], transformed[0]) << k;
        EXPECT_EQ(reports[k], reports[0]) << k;
    }
}
