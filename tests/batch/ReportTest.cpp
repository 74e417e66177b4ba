#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

#include "batch/BatchCommands.h"
#include "batch/PictureModule.h"
#include "platform/RunTimeError.h"
#include "tests/batch/BatchRun.h"

namespace {

// Nodes 1 and 2 demand points, node 3 a candidate site, 5 apart from the first.
void writeProblem(const TempDir& dir) {
    dir.write("d.EUC", "1 0 0 1 1 1\r\n2 300 400 1 1 1\r\n");
    dir.write("s.EUC", "1 3 4 x x 1\r\n");
}

struct PngSize {
    uint32_t width = 0;
    uint32_t height = 0;
};

// From the header chunk that opens every PNG file; nothing when the bytes are no PNG.
std::optional<PngSize> pngSize(const std::string& bytes) {
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 ||
        bytes.compare(12, 4, "IHDR") != 0) {
        return std::nullopt;
    }
    const auto word = [&](std::size_t at) {
        uint32_t value = 0;
        for (std::size_t k = at; k < at + 4; ++k) {
            value = value << 8 | static_cast<unsigned char>(bytes[k]);
        }
        return value;
    };
    return PngSize{word(16), word(20)};
}

}  // namespace

TEST(ReportVerb, TextReportOfComputedDistances) {
    TempDir dir;
    writeProblem(dir);
    const Result result =
        run(dir, "report --demand d.EUC --candidates s.EUC --metric euclidean --coverage 5");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out.substr(0, result.out.find("Cells by equation")),
              "3 nodes: 2 demand nodes, 1 candidate site\n"
              "Matrix: Euclidean distances, computed from the node files\n"
              "Weighted demand (W=1 on demand set 1): 2.00\n"
              "Coverage distance: 5\n"
              "\n"
              "Off-diagonal distances (6 cells)\n"
              "  minimum 5, lower quartile 5, median 495, upper quartile 500, maximum 500\n"
              "  within the coverage: 2 cells (33.3%)\n"
              "\n"
              "Demand nodes by the number of other nodes within the coverage, with their demand\n"
              "  0 (isolated)         1            1.00\n"
              "  1                    1            1.00\n"
              "Isolated demand nodes (1): 2\n"
              "Demand within the coverage: 1.00 of 2.00 (50.0%)\n"
              "Isolated demand: 1.00 (50.0%)\n"
              "Smallest coverage with no isolated demand node: 495\n"
              "\n");
}

TEST(ReportVerb, JsonOfADistanceFileReportsNegativesInsteadOfRefusing) {
    TempDir dir;
    writeProblem(dir);
    // Column by column: D[2][1] = -4 and D[1][2] = 6 differ.
    dir.write("in.EUD", "0\r\n-4\r\n5\r\n6\r\n0\r\n7\r\n5\r\n7\r\n0\r\n");
    const Result result =
        run(dir, "report --demand d.EUC --candidates s.EUC --in in.EUD --coverage 5 --json");
    ASSERT_EQ(result.status, 0) << result.err;
    for (const char* key : {"\"nodes\": 3,", "\"demandNodes\": 2,", "\"candidateSites\": 1,",
                            "\"coverage\": 5,", "\"metric\": \"network\",", "\"negativeCells\": 1,",
                            "\"negativeCellExamples\": [[2, 1]],", "\"asymmetricPairs\": 1,",
                            "\"equationCells\": [3, 3, 0, 3],", "\"isolatedDemandNodes\": [],",
                            "\"source\": {\"kind\": \"distance-file\", \"file\": \"in.EUD\"},"}) {
        EXPECT_NE(result.out.find(key), std::string::npos) << key << "\n" << result.out;
    }
    EXPECT_EQ(result.out.front(), '{');
    EXPECT_EQ(result.out.substr(result.out.size() - 2), "}\n");
}

TEST(ReportVerb, DemandWeightedOnTheFirstSet) {
    TempDir dir;
    // Demand sets (10, 20), (40, 0) and (5, 5); at W = 0.3 they weigh 17, 12 and 5.
    dir.write("d.EUC", "1 0 0 10 20 1\r\n2 3 4 40 0 1\r\n3 30 40 5 5 1\r\n");
    dir.write("s.EUC", "1 0 8 x x 1\r\n");
    const std::string problem = "report --demand d.EUC --candidates s.EUC --metric euclidean ";
    const struct {
        std::string options;
        std::vector<std::string> keys;
    } cases[] = {
        // Node 3 is 44 from its nearest other node: isolated at 5, covered at 44.
        {"--coverage 5 --weight 30",
         {"\"demandWeightPercent\": 30,", "\"demand\": 34,", "\"demandWithinCoverage\": 29,",
          "\"demandShareWithinCoverage\": 0.8529411764705882,", "\"isolatedDemand\": 5,"}},
        {"--coverage 44 --weight 30",
         {"\"demand\": 34,", "\"demandWithinCoverage\": 34,", "\"demandShareWithinCoverage\": 1,",
          "\"isolatedDemand\": 0,"}},
        {"--coverage 5",
         {"\"demandWeightPercent\": 100,", "\"demand\": 55,", "\"demandWithinCoverage\": 50,",
          "\"isolatedDemand\": 5,"}},
        {"--coverage 5 --weight 0", {"\"demand\": 25,", "\"demandWithinCoverage\": 20,"}},
    };
    for (const auto& [options, keys] : cases) {
        const Result result = run(dir, problem + options + " --json");
        ASSERT_EQ(result.status, 0) << options << "\n" << result.err;
        for (const std::string& key : keys) {
            EXPECT_NE(result.out.find(key), std::string::npos) << options << ": " << key;
        }
    }
    const Result text = run(dir, problem + "--coverage 5 --weight 30");
    EXPECT_NE(text.out.find("Weighted demand (W=0.3 on demand set 1): 34.00\n"), std::string::npos)
        << text.out;
    for (const char* weight : {"101", "-1", "30.5", "x"}) {
        EXPECT_EQ(run(dir, problem + "--coverage 5 --weight " + weight).status, 2) << weight;
    }
}

TEST(ReportVerb, ANegativeDemandIsBadInputNamingFileLineAndField) {
    TempDir dir;
    dir.write("d.EUC", "1 0 0 10 20 1\r\n2 3 4 40 -2.5 1\r\n3 30 40 -5 5 1\r\n");
    const std::string problem = "report --demand d.EUC --metric euclidean --coverage 5";
    for (const char* options : {"", " --weight 100", " --json"}) {
        const Result result = run(dir, problem + options);
        EXPECT_EQ(result.status, 1) << options;
        EXPECT_EQ(result.err,
                  "velmora-batch: d.EUC:2: field 5 holds a negative demand (-2.5); the report "
                  "counts demand of 0 or more\n")
            << options;
        EXPECT_EQ(result.out, "") << options;
    }
    // The load itself takes the file, as compute shows.
    EXPECT_EQ(run(dir, "compute --metric euclidean --demand d.EUC --out o.EUD").status, 0);
}

TEST(ReportVerb, LoadsAndFailsAsCheckAndComputeDo) {
    TempDir dir;
    writeProblem(dir);
    dir.write("eight.EUD", "0\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n");
    const std::string nodes = "--demand d.EUC --candidates s.EUC ";
    const Result check = run(dir, "check " + nodes + "--in eight.EUD");
    const Result report = run(dir, "report " + nodes + "--in eight.EUD --coverage 1");
    EXPECT_EQ(report.status, 1);
    EXPECT_EQ(report.err, check.err);
    EXPECT_EQ(report.out, "");

    dir.write("bad.EUC", "1 0 0 1 1 1\r\n2 3 four 1 1 1\r\n");
    const Result compute = run(dir, "compute --metric euclidean --demand bad.EUC --out o.EUD");
    const Result badNode = run(dir, "report --metric euclidean --demand bad.EUC --coverage 1");
    EXPECT_EQ(badNode.status, 1);
    EXPECT_EQ(badNode.err, compute.err);
}

TEST(ReportVerb, PlotAndMapAreWrittenAsLargeEnoughPngs) {
    TempDir dir;
    writeProblem(dir);
    const Result result = run(dir,
                              "report --demand d.EUC --candidates s.EUC --metric manhattan "
                              "--coverage 7 --plot h.png --map m.png --json");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_NE(result.out.find("\"metric\": \"manhattan\""), std::string::npos);
    for (const char* picture : {"h.png", "m.png"}) {
        const auto size = pngSize(readBytes(dir.file(picture)));
        ASSERT_TRUE(size) << picture;
        EXPECT_GE(size->width, 800u) << picture;
        EXPECT_GE(size->height, 600u) << picture;
    }
    EXPECT_EQ(folderListing(dir.path()), "d.EUC\nh.png\nm.png\ns.EUC\n");
}

TEST(ReportVerb, APictureThatCannotBeWrittenIsNamedAndNothingIsPrinted) {
    TempDir dir;
    writeProblem(dir);
    dir.write("m.png", "old");
    const Result result = run(dir,
                              "report --demand d.EUC --metric euclidean --coverage 7 "
                              "--plot no/such/h.png --map m.png");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err.rfind("velmora-batch: no/such/h.png: ", 0), 0u) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(readBytes(dir.file("m.png")), "old");
}

TEST(ReportVerb, UsageMistakes) {
    TempDir dir;
    writeProblem(dir);
    const std::string nodes = "report --demand d.EUC ";
    const Result neither = run(dir, nodes + "--coverage 5");
    EXPECT_EQ(neither.status, 2);
    EXPECT_NE(neither.err.find("--metric"), std::string::npos) << neither.err;
    EXPECT_EQ(run(dir, nodes + "--metric euclidean --in x.EUD --coverage 5").status, 2);
    EXPECT_EQ(run(dir, nodes + "--metric network --coverage 5").status, 2);
    EXPECT_EQ(run(dir, nodes + "--metric euclidean").status, 2);
    EXPECT_EQ(run(dir, nodes + "--metric euclidean --coverage 2147483648").status, 2);
    EXPECT_EQ(run(dir, nodes + "--metric euclidean --coverage 1.5").status, 2);
    EXPECT_EQ(run(dir, nodes + "--metric euclidean --coverage 5 --plot ''").status, 2);
    EXPECT_EQ(run(dir, "report --metric euclidean --coverage 5").status, 2);
    EXPECT_EQ(folderListing(dir.path()), "d.EUC\ns.EUC\n");
    const Result help = run(dir, "report --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("longitude and latitude"), std::string::npos) << help.out;
    EXPECT_EQ(run(dir, nodes + "--metric euclidean --coverage -2147483648").status, 0);
}

TEST(ReportVerb, WithoutAPainterPicturesAreAUsageError) {
    TempDir dir;
    writeProblem(dir);
    const std::string demand = dir.file("d.EUC");
    const std::string plot = dir.file("h.png");
    const Result refused = runHere({"velmora-batch", "report", "--demand", demand, "--metric",
                                    "euclidean", "--coverage", "5", "--plot", plot});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("picture"), std::string::npos) << refused.err;
    EXPECT_FALSE(std::filesystem::exists(plot));
    const Result text = runHere({"velmora-batch", "report", "--demand", demand, "--metric",
                                 "euclidean", "--coverage", "5"});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out.rfind("2 nodes: 2 demand nodes", 0), 0u) << text.out;
}

TEST(PictureModule, AModuleThatCannotBeLoadedIsReportedAtItsPath) {
    PictureModule module("/nonexistent/velmora-pictures.so");
    try {
        module.png(Chart{});
        FAIL() << "no error";
    } catch (const RunTimeError& error) {
        EXPECT_EQ(error.file(), "/nonexistent/velmora-pictures.so");
        EXPECT_NE(std::string(error.what()).find("picture module"), std::string::npos);
    }
}

namespace {

// Why /proc cannot be hidden from a command here, as a chroot or a minimal container hides
// it; empty when it can.
std::string whyProcCannotBeHidden() {
#if defined(__SANITIZE_ADDRESS__)
    return "AddressSanitizer cannot run without /proc";
#endif
    if (geteuid() != 0 ||
        std::system("unshare -m sh -c 'mount -t tmpfs none /proc' 2>/dev/null") != 0) {
        return "needs root and unshare to hide /proc";
    }
    return "";
}

}  // namespace

// Without /proc the program's folder is known only from the full path it was started by;
// a module in a folder above the current one is never code to run.
TEST(ReportVerb, ThePictureModuleIsNeverTakenFromTheCurrentFolder) {
    if (const std::string why = whyProcCannotBeHidden(); !why.empty()) {
        GTEST_SKIP() << why;
    }
    TempDir dir;
    writeProblem(dir);
    const std::filesystem::path current = dir.file("planted/bin");
    std::filesystem::create_directories(current);
    std::filesystem::create_directories(dir.file("planted/lib/velmora"));
    std::filesystem::copy_file(VELMORA_PLANTED_PICTURES,
                               dir.file("planted/lib/velmora/velmora-pictures.so"));
    const std::string relative =
        std::filesystem::path(VELMORA_BATCH).lexically_relative(current).string();
    const std::string arguments = "report --demand " + dir.file("d.EUC") +
                                  " --metric euclidean --coverage 5 --map " + dir.file("m.png");
    const auto withoutProc = [&](const std::string& program) {
        return "unshare -m sh -c 'mount -t tmpfs none /proc && cd planted/bin && exec " + program +
               " \"$@\"' ";
    };

    const Result relativeStart = run(dir, arguments, withoutProc(relative));
    EXPECT_EQ(relativeStart.status, 1) << relativeStart.err;
    EXPECT_EQ(relativeStart.err,
              "velmora-batch: velmora-pictures.so: Cannot find the picture module: the "
              "program's own folder is unknown (/proc cannot be read, and the program was not "
              "started by its full path) and no module is installed\n");
    EXPECT_FALSE(std::filesystem::exists(current / "planted-module-ran"));
    EXPECT_FALSE(std::filesystem::exists(dir.file("m.png")));

    const Result fullPath = run(dir, arguments, withoutProc("\"$0\""));
    EXPECT_EQ(fullPath.status, 0) << fullPath.err;
    EXPECT_FALSE(std::filesystem::exists(current / "planted-module-ran"));
    EXPECT_TRUE(pngSize(readBytes(dir.file("m.png"))));
}

// Painting starts the toolkit and its fonts, which do not all survive running out of memory;
// that is a message and no file, not a crash.
TEST(ReportVerb, APictureWithoutTheMemoryToPaintIsAMessageAndNoFile) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit leaves";
#endif
    if (access("/usr/bin/prlimit", X_OK) != 0) {
        GTEST_SKIP() << "needs prlimit (util-linux) to limit the memory";
    }
    TempDir dir;
    std::string nodes;
    for (int i = 1; i <= 901; ++i) {
        nodes += std::to_string(i) + " " + std::to_string((i * 37) % 360 - 180) + " " +
                 std::to_string((i * 11) % 170 - 85) + " 1 1 1\r\n";
    }
    dir.write("n.EUC", nodes);
    const Result result =
        run(dir, "report --demand n.EUC --metric euclidean --coverage 50 --plot p.png --map m.png",
            "prlimit --as=83886080 ");
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_EQ(result.err.rfind("velmora-batch: ", 0), 0u) << result.err;
    EXPECT_NE(result.err.find("picture"), std::string::npos) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(folderListing(dir.path()), "n.EUC\n");
}
