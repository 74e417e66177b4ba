#include "platform/Workers.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

std::atomic<unsigned> chosenWorkers{0};

unsigned allCores() {
    return std::max(1u, std::thread::hardware_concurrency());
}

}  // namespace

unsigned workerCount() {
    const unsigned chosen = chosenWorkers.load();
    return chosen == 0 ? allCores() : chosen;
}

void setWorkerCount(unsigned count) {
    chosenWorkers.store(count);
}

namespace {
long long blockCount(int first, int last, int grain) {
    if (last < first) {
        return 0;
    }
    const long long items = static_cast<long long>(last) - first + 1;
    return (items + grain - 1) / grain;
}
}  // namespace

unsigned workersFor(int first, int last, int grain) {
    return static_cast<unsigned>(
        std::min<long long>(workerCount(), blockCount(first, last, std::max(grain, 1))));
}

void forEachBlockByWorker(int first, int last, int grain,
                          const std::function<void(unsigned worker, int begin, int end)>& body) {
    if (last < first) {
        return;
    }
    grain = std::max(grain, 1);
    const long long blocks = blockCount(first, last, grain);
    const unsigned workers = workersFor(first, last, grain);

    std::atomic<long long> nextBlock{0};
    // Once a block has failed, no block after it needs to start.
    std::atomic<long long> firstFailed{blocks};
    std::mutex failureLock;
    std::exception_ptr failure;

    const auto work = [&](unsigned worker) {
        for (;;) {
            const long long block = nextBlock.fetch_add(1);
            if (block >= blocks || block > firstFailed.load()) {
                return;
            }
            const long long begin = first + block * grain;
            const long long end = std::min<long long>(begin + grain - 1, last);
            try {
                body(worker, static_cast<int>(begin), static_cast<int>(end));
            } catch (...) {
                const std::lock_guard<std::mutex> hold(failureLock);
                if (block < firstFailed.load()) {
                    firstFailed.store(block);
                    failure = std::current_exception();
                }
            }
        }
    };

    std::vector<std::thread> helpers;
    helpers.reserve(workers - 1);
    for (unsigned w = 1; w < workers; ++w) {
        // Without another thread (a process limit reached) the workers started do it all.
        try {
            helpers.emplace_back(work, w);
        } catch (const std::system_error&) {
            break;
        }
    }
    work(0);
    for (std::thread& helper : helpers) {
        helper.join();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

void forEachBlock(int first, int last, int grain,
                  const std::function<void(int begin, int end)>& body) {
    forEachBlockByWorker(first, last, grain,
                         [&body](unsigned, int begin, int end) { body(begin, end); });
}
