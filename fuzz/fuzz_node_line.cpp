#include <cstddef>
#include <cstdint>
#include <string_view>

#include "loading/NodeFile.h"
#include "platform/RunTimeError.h"

// A node line cut into fields, every field converted as the load converts it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    NodeFields fields;
    const int count = tokenizeLine(line, fields);
    if (count < 0 || count > 7) {
        __builtin_trap();
    }
    for (int i = 1; i < 6; ++i) {
        for (char separator : {'.', ','}) {
            try {
                convertNodeField(fields[i], separator);
            } catch (const ConversionError&) {
            }
        }
    }
    return 0;
}
