#pragma once

// Spreads independent pieces of work (the rows of a matrix, the sources of a search) over
// the cores. A piece is always done whole by one worker, exactly as it would be done alone,
// so no result depends on the number of workers.

#include <functional>

// The workers a split uses: all cores unless set (velmora-batch --threads).
unsigned workerCount();
// 0 goes back to all cores.
void setWorkerCount(unsigned count);

// How many workers a split of first..last in blocks of `grain` items uses: never more than
// there are blocks, so state kept per worker is sized by this, not by workerCount().
unsigned workersFor(int first, int last, int grain);

// Runs body(begin, end) over consecutive blocks of at most `grain` items that together cover
// first..last (inclusive), with up to workerCount() workers, the calling thread one of them;
// blocks are handed out in order as workers become free. It returns when every block is
// done. When blocks throw, the exception of the earliest of them is rethrown, so the error
// reported is the one the first failing item gives in a plain loop; later blocks may not run.
void forEachBlock(int first, int last, int grain,
                  const std::function<void(int begin, int end)>& body);

// As forEachBlock, also naming the worker that runs each block, 0 .. workerCount() - 1. A
// worker runs one block at a time, so state kept per worker (a cache, a running maximum)
// needs no lock.
void forEachBlockByWorker(int first, int last, int grain,
                          const std::function<void(unsigned worker, int begin, int end)>& body);
