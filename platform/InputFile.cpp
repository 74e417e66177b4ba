#include "platform/InputFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/RunTimeError.h"

namespace {

constexpr const char* ReadAction = "Cannot read file";
constexpr std::size_t CopyChunk = std::size_t{1} << 20;

bool sameFile(int a, int b) {
    struct stat first {};
    struct stat second {};
    return ::fstat(a, &first) == 0 && ::fstat(b, &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

// Whether opening `name` reaches the file open at `fd`.
bool reaches(const std::string& name, int fd) {
    const UniqueFd opened(::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    return opened.valid() && sameFile(opened.get(), fd);
}

void writeAll(int fd, const char* data, std::size_t size, const std::string& path) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            throw inOutErrorFor(ReadAction, path, errno);
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

UniqueFd copyIntoMemory(int from, const std::string& path) {
    UniqueFd memory(::memfd_create("velmora-input", MFD_CLOEXEC));
    if (!memory.valid()) {
        throw inOutErrorFor(ReadAction, path, errno);
    }
    std::vector<char> buffer(CopyChunk);
    std::size_t total = 0;
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            throw inOutErrorFor(ReadAction, path, errno);
        }
        if (got == 0) {
            return memory;
        }
        total += static_cast<std::size_t>(got);
        if (total > NamedInput::MaxPipedBytes) {
            throw inOutErrorFor(ReadAction, path, "more than 1 GiB from a pipe or device");
        }
        writeAll(memory.get(), buffer.data(), static_cast<std::size_t>(got), path);
    }
}

}  // namespace

UniqueFd openInput(const std::string& path, InputKind kind) {
    const bool regularOnly = kind == InputKind::RegularFile;
    UniqueFd fd(
        ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | (regularOnly ? O_NONBLOCK : 0)));
    if (!fd.valid()) {
        throw inOutErrorFor("Cannot open file", path, errno);
    }
    struct stat status {};
    if (regularOnly && (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode))) {
        throw inOutErrorFor("Cannot open file", path, "not a regular file");
    }
    return fd;
}

NamedInput::NamedInput(const std::string& path, InputKind kind) : m_fd(openInput(path, kind)) {
    struct stat status {};
    if (::fstat(m_fd.get(), &status) != 0) {
        throw inOutErrorFor(ReadAction, path, errno);
    }
    const bool regular = S_ISREG(status.st_mode);
    if (!regular) {
        m_fd = copyIntoMemory(m_fd.get(), path);
        if (::fstat(m_fd.get(), &status) != 0) {
            throw inOutErrorFor(ReadAction, path, errno);
        }
    }
    m_size = static_cast<std::size_t>(status.st_size);
    m_name = "/proc/self/fd/" + std::to_string(m_fd.get());
    if (reaches(m_name, m_fd.get())) {
        return;
    }
    // Without /proc (a chroot, a minimal container) a regular file is reached by its own
    // name, made absolute so that no library takes it for an address ("http:...").
    std::error_code error;
    m_name = std::filesystem::absolute(path, error).string();
    if (!regular || error || !reaches(m_name, m_fd.get())) {
        throw inOutErrorFor(ReadAction, path,
                            regular ? "it moved while it was opened"
                                    : "not a regular file, which only /proc would let be read");
    }
}

std::string NamedInput::head(std::size_t count) const {
    std::string bytes(count, '\0');
    std::size_t got = 0;
    while (got < count) {
        const ssize_t read =
            ::pread(m_fd.get(), bytes.data() + got, count - got, static_cast<off_t>(got));
        if (read < 0 && errno == EINTR) {
            continue;
        }
        if (read <= 0) {
            break;
        }
        got += static_cast<std::size_t>(read);
    }
    bytes.resize(got);
    return bytes;
}

void NamedInput::closeOtherOpenings() const {
    struct stat own {};
    DIR* const folder = ::opendir("/proc/self/fd");
    if (folder == nullptr || ::fstat(m_fd.get(), &own) != 0) {
        if (folder != nullptr) {
            ::closedir(folder);
        }
        return;
    }
    std::vector<int> others;
    while (const dirent* entry = ::readdir(folder)) {
        const int fd = std::atoi(entry->d_name);
        struct stat status {};
        if (fd > 2 && fd != m_fd.get() && fd != ::dirfd(folder) && ::fstat(fd, &status) == 0 &&
            status.st_dev == own.st_dev && status.st_ino == own.st_ino) {
            others.push_back(fd);
        }
    }
    ::closedir(folder);
    for (const int fd : others) {
        ::close(fd);
    }
}
