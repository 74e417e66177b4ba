#include "roads/InMemoryFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>

InMemoryFile::InMemoryFile(int fd) : m_fd(fd), m_name("/proc/self/fd/" + std::to_string(fd)) {}

InMemoryFile::InMemoryFile(InMemoryFile&& other) noexcept
    : m_fd(other.m_fd), m_name(std::move(other.m_name)) {
    other.m_fd = -1;
}

InMemoryFile::~InMemoryFile() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

std::optional<InMemoryFile> InMemoryFile::of(const std::string& bytes) {
    const int fd = ::memfd_create("velmora-bytes", MFD_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    InMemoryFile file(fd);
    for (std::size_t written = 0; written < bytes.size();) {
        const ssize_t count = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return std::nullopt;
        }
        written += static_cast<std::size_t>(count);
    }
    // Opened by its name, as the library will open it.
    const int opened = ::open(file.m_name.c_str(), O_RDONLY | O_CLOEXEC);
    if (opened < 0) {
        return std::nullopt;
    }
    ::close(opened);
    return file;
}
