#include <cstddef>
#include <cstdint>
#include <string_view>

#include "loading/NodeFile.h"

// The names test must agree with the tokenizer: names mean a seventh field that is not only
// spaces.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    NodeFields fields;
    const int count = tokenizeLine(line, fields);
    const bool named = count == 7 && fields[6].find_first_not_of(' ') != std::string::npos;
    if (hasNames(line) != named) {
        __builtin_trap();
    }
    return 0;
}
