#include "platform/HugePages.h"

#include <sys/mman.h>

#include <cstdlib>

namespace hugepages {

namespace {
std::size_t roundedUp(std::size_t bytes) {
    return (bytes + PageSize - 1) / PageSize * PageSize;
}
}  // namespace

void* allocate(std::size_t bytes) {
    if (bytes < PageSize) {
        return ::operator new(bytes);
    }
    void* memory = std::aligned_alloc(PageSize, roundedUp(bytes));
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    // Only advice: where the system has no huge pages the memory works as any other.
    ::madvise(memory, roundedUp(bytes), MADV_HUGEPAGE);
    return memory;
}

void release(void* memory, std::size_t bytes) noexcept {
    if (bytes < PageSize) {
        ::operator delete(memory);
    } else {
        std::free(memory);
    }
}

}  // namespace hugepages
