#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <random>
#include <utility>
#include <vector>

#include "platform/RunTimeError.h"

namespace {

constexpr const char* CreateAction = "Cannot create file";
// As many links as the kernel follows in one path.
constexpr int MaxLinkHops = 40;
constexpr int NameAttempts = 100;

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string linkText(const std::string& link, const std::string& target) {
    std::vector<char> text(PATH_MAX);
    while (true) {
        const ssize_t length = ::readlink(link.c_str(), text.data(), text.size());
        if (length < 0) {
            throw inOutErrorFor(CreateAction, target, errno);
        }
        if (static_cast<std::size_t>(length) < text.size()) {
            return std::string(text.data(), static_cast<std::size_t>(length));
        }
        text.resize(text.size() * 2);
    }
}

// Where a save of `target` goes: the target itself, or where the links the user owns lead.
// A link someone else owns is refused, as the kernel refuses to follow one in a shared
// sticky folder; following links here rather than in the kernel must not bypass that rule.
std::string ownedLinkDestination(const std::string& target) {
    std::string path = target;
    for (int hops = 0;; ++hops) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            return path;
        }
        if (status.st_uid != ::geteuid()) {
            throw inOutErrorFor(CreateAction, target,
                                "a symbolic link that belongs to another user");
        }
        if (hops == MaxLinkHops) {
            throw inOutErrorFor(CreateAction, target, ELOOP);
        }
        const std::string text = linkText(path, target);
        path = text.starts_with('/') ? text : folderOf(path) + "/" + text;
    }
}

// A hidden name beside the target that fits the file system's name limit however long the
// target's own name is.
std::string temporaryName(const std::string& folder, const std::string& name) {
    static std::mt19937_64 random{std::random_device{}()};
    constexpr std::string_view Letters =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    constexpr std::size_t SuffixLength = 6;
    std::string suffix(SuffixLength, ' ');
    for (char& letter : suffix) {
        letter = Letters[random() % Letters.size()];
    }
    const std::size_t room = NAME_MAX - 2 - SuffixLength;
    return folder + "/." + name.substr(0, room) + "." + suffix;
}

// Only where the file system has no files without names.
int createNamedTemporary(const std::string& folder, const std::string& name, std::string& created) {
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        const std::string candidate = temporaryName(folder, name);
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            created = candidate;
            return fd;
        }
        if (errno != EEXIST) {
            return -1;
        }
    }
    return -1;
}

// A file without a name is given one through its entry under /proc.
bool canNameUnnamedFiles() {
    return ::access("/proc/self/fd", X_OK) == 0;
}

std::string procEntry(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

// 0, or the errno value of the step that failed.
int linkAndRename(const char* entry, const char* temporary, const char* destination) {
    if (::linkat(AT_FDCWD, entry, AT_FDCWD, temporary, AT_SYMLINK_FOLLOW) != 0) {
        return errno;
    }
    if (::rename(temporary, destination) != 0) {
        const int error = errno;
        ::unlink(temporary);
        return error;
    }
    return 0;
}

// An existing target can only be replaced by a rename, so the unnamed file needs a
// temporary name first. A kill between the link and the rename would leave that name
// behind, so both steps run in a child process, which a kill of this one does not stop.
// The child shares this process's memory (vfork): copying it for a fork would cost more
// than the write itself. The child only makes system calls, then exits.
int replaceByUnnamed(int fd, const std::string& temporary, const std::string& destination) {
    const std::string entry = procEntry(fd);
    const pid_t child = ::vfork();
    if (child == 0) {
        ::_exit(linkAndRename(entry.c_str(), temporary.c_str(), destination.c_str()));
    }
    if (child < 0) {
        return linkAndRename(entry.c_str(), temporary.c_str(), destination.c_str());
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return errno;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : EIO;
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(const std::string& target, Temporary temporary) {
    if (target.empty()) {
        throw inOutErrorFor(CreateAction, target, ENOENT);
    }
    m_destination = ownedLinkDestination(target);
    m_folder = folderOf(m_destination);
    struct stat existing {};
    m_replacing = ::lstat(m_destination.c_str(), &existing) == 0;
    if (m_replacing) {
        if (S_ISDIR(existing.st_mode)) {
            throw inOutErrorFor(CreateAction, target, EISDIR);
        }
        // A device or a pipe would be swapped for a plain file, not written.
        if (!S_ISREG(existing.st_mode)) {
            throw inOutErrorFor(CreateAction, target, "not a regular file");
        }
        // A file nobody may write is read-only, also for a privileged user.
        if (::access(m_destination.c_str(), W_OK) != 0 || (existing.st_mode & 0222) == 0) {
            throw inOutErrorFor(CreateAction, target, EACCES);
        }
    }
    // The kernel applies the umask (and a folder's default access lists) to both kinds.
    bool unnamedRefused = true;
    if (temporary == Temporary::Unnamed && canNameUnnamedFiles()) {
        m_fd = ::open(m_folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        unnamedRefused = m_fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL);
    }
    if (unnamedRefused) {
        m_fd = createNamedTemporary(
            m_folder, std::filesystem::path(m_destination).filename().string(), m_temporary);
    }
    if (m_fd < 0) {
        throw inOutErrorFor(CreateAction, target, errno);
    }
    if (m_replacing) {
        // Chown first: it clears the set-id bits that the mode then puts back. A user who
        // may not give a file away keeps at least its group where allowed.
        if (::fchown(m_fd, existing.st_uid, existing.st_gid) != 0) {
            [[maybe_unused]] const int groupOnly =
                ::fchown(m_fd, static_cast<uid_t>(-1), existing.st_gid);
        }
        ::fchmod(m_fd, existing.st_mode & 07777);
    }
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
    // An unnamed file is put in place while still open, a named one renamed once closed.
    if (!m_failed && m_temporary.empty()) {
        linkInPlace();
    }
    if (::close(std::exchange(m_fd, -1)) != 0) {
        fail(errno);
    }
    if (!m_failed && !m_temporary.empty()) {
        if (std::rename(m_temporary.c_str(), m_destination.c_str()) != 0) {
            fail(errno);
        } else {
            m_temporary.clear();
        }
    }
    if (!m_failed) {
        syncFolder();
    }
    if (m_failed) {
        discard();
        return false;
    }
    return true;
}

void AtomicFileWriter::linkInPlace() {
    // A new target gets the file's first name at once.
    if (!m_replacing) {
        const std::string entry = procEntry(m_fd);
        if (::linkat(AT_FDCWD, entry.c_str(), AT_FDCWD, m_destination.c_str(), AT_SYMLINK_FOLLOW) ==
            0) {
            return;
        }
        if (errno != EEXIST) {
            fail(errno);
            return;
        }
    }
    int error = EEXIST;
    for (int attempt = 0; attempt < NameAttempts && error == EEXIST; ++attempt) {
        error = replaceByUnnamed(
            m_fd, temporaryName(m_folder, std::filesystem::path(m_destination).filename().string()),
            m_destination);
    }
    if (error != 0) {
        fail(error);
    }
}

void AtomicFileWriter::syncFolder() {
    const int folder = ::open(m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        fail(errno);
        return;
    }
    // Some file systems cannot sync a folder at all; there is nothing more to do there.
    if (::fsync(folder) != 0 && errno != EINVAL) {
        fail(errno);
    }
    ::close(folder);
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
