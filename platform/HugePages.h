#pragma once

#include <cstddef>
#include <new>
#include <string>
#include <utility>
#include <vector>

// Memory for buffers of megabytes (a whole distance file's text), asked for in huge pages:
// a fresh 4 KiB page costs a fault on first touch, and for such a buffer the faults cost
// more than the work done in it. Smaller requests are plain allocations.
namespace hugepages {
inline constexpr std::size_t PageSize = std::size_t{2} << 20;

void* allocate(std::size_t bytes);
void release(void* memory, std::size_t bytes) noexcept;
}  // namespace hugepages

template <typename T>
struct HugePageAllocator {
    using value_type = T;

    HugePageAllocator() = default;
    template <typename U>
    HugePageAllocator(const HugePageAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) { return static_cast<T*>(hugepages::allocate(n * sizeof(T))); }
    void deallocate(T* memory, std::size_t n) noexcept {
        hugepages::release(memory, n * sizeof(T));
    }
    // Elements made without a value are left as they come: a buffer about to be overwritten
    // need not be cleared first.
    template <typename U>
    void construct(U* element) noexcept {
        ::new (static_cast<void*>(element)) U;
    }
    template <typename U, typename... Args>
    void construct(U* element, Args&&... args) {
        ::new (static_cast<void*>(element)) U(std::forward<Args>(args)...);
    }

    template <typename U>
    bool operator==(const HugePageAllocator<U>&) const noexcept {
        return true;
    }
};

using HugePageString = std::basic_string<char, std::char_traits<char>, HugePageAllocator<char>>;
using HugePageBuffer = std::vector<char, HugePageAllocator<char>>;
