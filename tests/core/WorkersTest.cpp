#include "platform/Workers.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <future>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

class SpreadWork : public ::testing::TestWithParam<unsigned> {
protected:
    void SetUp() override { setWorkerCount(GetParam()); }
    void TearDown() override { setWorkerCount(0); }
};

TEST_P(SpreadWork, EveryItemRunsExactlyOnceInBlocksOfTheGrain) {
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

TEST_P(SpreadWork, TheEarliestFailingBlockIsTheOneReported) {
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

// The later block fails first in time: the earlier block waits for it before failing itself.
TEST(WorkersFailure, AnEarlierBlockThatFailsLaterIsStillTheOneReported) {
    setWorkerCount(2);
    std::promise<void> laterFailed;
    std::shared_future<void> laterHasFailed = laterFailed.get_future().share();
    try {
        forEachBlock(1, 2, 1, [&](int begin, int) {
            if (begin == 2) {
                laterFailed.set_value();
                throw std::runtime_error("item 2");
            }
            // Bounded, so that a single thread left to run both blocks cannot hang here; then
            // time for the later failure to be recorded (the order only matters to a mistake).
            laterHasFailed.wait_for(std::chrono::seconds(30));
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            throw std::runtime_error("item 1");
        });
        ADD_FAILURE() << "nothing was thrown";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "item 1");
    }
    setWorkerCount(0);
}

TEST_P(SpreadWork, AnEmptyRangeRunsNothing) {
    int calls = 0;
    forEachBlock(5, 4, 1, [&](int, int) { ++calls; });
    EXPECT_EQ(calls, 0);
}

TEST_P(SpreadWork, AWorkerRunsOneBlockAtATimeUnderItsOwnNumber) {
    const unsigned workers = workerCount();
    std::vector<std::atomic<bool>> busy(workers);
    std::atomic<int> outOfRange{0};
    std::atomic<int> overlaps{0};
    std::atomic<int> items{0};
    forEachBlockByWorker(1, 500, 3, [&](unsigned worker, int begin, int end) {
        if (worker >= workers) {
            ++outOfRange;
            return;
        }
        if (busy[worker].exchange(true)) {
            ++overlaps;
        }
        for (int i = begin; i <= end; ++i) {
            ++items;
        }
        std::this_thread::yield();
        busy[worker].store(false);
    });
    EXPECT_EQ(outOfRange.load(), 0);
    EXPECT_EQ(overlaps.load(), 0);
    EXPECT_EQ(items.load(), 500);
}

INSTANTIATE_TEST_SUITE_P(Counts, SpreadWork, ::testing::Values(1u, 2u, 7u));

TEST(WorkerCount, ZeroMeansAllCores) {
    setWorkerCount(3);
    EXPECT_EQ(workerCount(), 3u);
    setWorkerCount(0);
    EXPECT_GE(workerCount(), 1u);
}

#if !defined(__SANITIZE_ADDRESS__)
// With room for the stacks of a few threads only, every block is still done.
void runWithRoomForFewThreads() {
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t room = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + (24 << 20);
    const rlimit limit{room, room};
    setrlimit(RLIMIT_AS, &limit);
    setWorkerCount(64);
    std::atomic<int> items{0};
    forEachBlock(1, 640, 1, [&](int begin, int end) { items += end - begin + 1; });
    std::exit(items.load() == 640 ? 0 : 1);
}

TEST(WorkersDeathTest, ThreadsThatCannotStartLeaveTheWorkToTheOthers) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(runWithRoomForFewThreads(), ::testing::ExitedWithCode(0), "");
}
#endif

}  // namespace
