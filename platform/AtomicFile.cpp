#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/RunTimeError.h"

namespace {

mode_t modeForNewFile() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

std::string resolveLink(const std::string& target) {
    std::error_code error;
    if (std::filesystem::is_symlink(target, error)) {
        const auto real = std::filesystem::weakly_canonical(target, error);
        if (!error) {
            return real.string();
        }
    }
    return target;
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(const std::string& target) {
    const std::string real = resolveLink(target);
    mode_t mode = modeForNewFile();
    struct stat existing {};
    if (::stat(real.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) {
            throw inOutErrorFor("Cannot create file", target, EISDIR);
        }
        // A file nobody may write is read-only, also for a privileged user.
        if (::access(real.c_str(), W_OK) != 0 || (existing.st_mode & 0222) == 0) {
            throw inOutErrorFor("Cannot create file", target, EACCES);
        }
        mode = existing.st_mode & 07777;
    }
    const std::filesystem::path path(real);
    const std::filesystem::path folder = path.parent_path();
    const std::string pattern = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    m_fd = ::mkstemp(name.data());
    if (m_fd < 0) {
        throw inOutErrorFor("Cannot create file", target, errno);
    }
    m_temporary = name.data();
    ::fchmod(m_fd, mode);
    m_destination = real;
}

AtomicFileWriter::~AtomicFileWriter() {
    discard();
}

bool AtomicFileWriter::write(std::string_view data) {
    while (!m_failed && !data.empty()) {
        const ssize_t written = ::write(m_fd, data.data(), data.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            fail(written < 0 ? errno : EIO);
            break;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return !m_failed;
}

bool AtomicFileWriter::commit() {
    if (m_fd < 0) {
        return false;
    }
    if (!m_failed && ::fsync(m_fd) != 0) {
        fail(errno);
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        fail(errno);
    }
    if (!m_failed && std::rename(m_temporary.c_str(), m_destination.c_str()) != 0) {
        fail(errno);
    }
    if (m_failed) {
        discard();
        return false;
    }
    m_temporary.clear();
    return true;
}

void AtomicFileWriter::fail(int errorNumber) {
    if (!m_failed) {
        m_error = errorNumber;
    }
    m_failed = true;
}

void AtomicFileWriter::discard() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.empty()) {
        ::unlink(m_temporary.c_str());
        m_temporary.clear();
    }
    m_failed = true;
}
