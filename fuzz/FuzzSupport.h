#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

// A broken promise of the code under test: stop here, so the fuzzer keeps the input and a
// replay fails.
inline void require(bool kept) {
    if (!kept) {
        __builtin_trap();
    }
}

// Bytes as an in-memory file that the code under test opens by its name, as it opens a file
// the user chose.
class MemoryFile {
public:
    explicit MemoryFile(std::string_view bytes) : m_fd(memfd_create("fuzz-input", 0)) {
        if (m_fd >= 0 &&
            write(m_fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
            close(m_fd);
            m_fd = -1;
        }
    }
    ~MemoryFile() {
        if (m_fd >= 0) {
            close(m_fd);
        }
    }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    bool ready() const { return m_fd >= 0; }
    std::string path() const { return "/proc/self/fd/" + std::to_string(m_fd); }

private:
    int m_fd;
};

// Takes values from the front of the input; past its end every value is zero.
class InputBytes {
public:
    InputBytes(const uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    template <typename T>
    T take() {
        T value{};
        const std::size_t count = sizeof(T) < m_size ? sizeof(T) : m_size;
        std::memcpy(&value, m_data, count);
        m_data += count;
        m_size -= count;
        return value;
    }
    // A fraction from 0 to 1, both ends included.
    long double fraction() { return take<uint32_t>() / static_cast<long double>(UINT32_MAX); }
    std::string_view rest() const { return {reinterpret_cast<const char*>(m_data), m_size}; }

private:
    const uint8_t* m_data;
    std::size_t m_size;
};
