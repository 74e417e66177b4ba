#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "store/DistanceFile.h"

// A distance file read for a node count taken from the first byte; whatever the bytes, the
// check and the reader must end without a fault and agree on a complete read.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const int n = data[0] % 12;
    const int fd = memfd_create("distances", 0);
    if (fd < 0) {
        return 0;
    }
    if (write(fd, data + 1, size - 1) == static_cast<ssize_t>(size - 1)) {
        const std::string path = "/proc/self/fd/" + std::to_string(fd);
        const long long lines = CountDistanceFileLines(path);
        TDataStore store;
        const DistanceReadResult read = ReadDistanceFile(store, path, n);
        // A complete read consumed one line per value at least.
        if (read.complete && lines < static_cast<long long>(n) * n) {
            __builtin_trap();
        }
        if (read.complete) {
            FormatDistanceFile(store, n);
        }
    }
    close(fd);
    return 0;
}
