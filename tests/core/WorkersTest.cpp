#include "platform/Workers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

namespace {

class WorkersTest : public ::testing::TestWithParam<unsigned> {
protected:
    void SetUp() override { setWorkerCount(GetParam()); }
    void TearDown() override { setWorkerCount(0); }
};

TEST_P(WorkersTest, everyItemRunsExactlyOnceInBlocksOfTheGrain) {
    std::vector<std::atomic<int>> runs(1000);
    std::atomic<int> oversized{0};
    forEachBlock(3, 901, 7, [&](int begin, int end) {
        if (end - begin + 1 > 7 || begin < 3 || end > 901) {
            ++oversized;
        }
        for (int i = begin; i <= end; ++i) {
            ++runs[i];
        }
    });
    EXPECT_EQ(oversized.load(), 0);
    for (int i = 0; i < 1000; ++i) {
        EXPECT_EQ(runs[i].load(), i >= 3 && i <= 901 ? 1 : 0) << "item " << i;
    }
}

TEST_P(WorkersTest, theEarliestFailingBlockIsTheOneReported) {
    // Blocks 40.. and 10.. both fail; the later one may well fail first in time.
    try {
        forEachBlock(1, 100, 1, [](int begin, int) {
            if (begin == 40 || begin == 10 || begin == 90) {
                throw std::runtime_error("item " + std::to_string(begin));
            }
        });
        FAIL() << "nothing was thrown";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "item 10");
    }
}

TEST_P(WorkersTest, anEmptyRangeRunsNothing) {
    int calls = 0;
    forEachBlock(5, 4, 1, [&](int, int) { ++calls; });
    EXPECT_EQ(calls, 0);
}

INSTANTIATE_TEST_SUITE_P(Counts, WorkersTest, ::testing::Values(1u, 2u, 7u));

TEST(WorkerCount, zeroMeansAllCores) {
    setWorkerCount(3);
    EXPECT_EQ(workerCount(), 3u);
    setWorkerCount(0);
    EXPECT_GE(workerCount(), 1u);
}

}  // namespace
