#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "platform/RunTimeError.h"
#include "store/DistanceFile.h"

// A distance file read for a node count taken from the first byte; whatever the bytes, the
// check and the reader must end without a fault and agree on a complete read.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const int n = data[0] % 12;
    const MemoryFile file(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    if (!file.ready()) {
        return 0;
    }
    try {
        const long long lines = countDistanceFileLines(file.path());
        TDataStore store;
        const DistanceReadResult read = readDistanceFile(store, file.path(), n);
        // A complete read consumed one line per value at least.
        require(!read.complete || lines >= static_cast<long long>(n) * n);
        if (read.complete) {
            formatDistanceFile(store, n);
        }
    } catch (const InOutError&) {
        // A line beyond the length limit.
    }
    return 0;
}
