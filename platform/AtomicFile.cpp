#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <random>
#include <utility>

#include "platform/ChildProcess.h"
#include "platform/FileAttributes.h"
#include "platform/RunTimeError.h"
#include "platform/SavePlace.h"

namespace {

constexpr const char* CreateAction = "Cannot create file";
constexpr int NameAttempts = 100;

// A hidden name beside the target that fits the file system's name limit however long the
// target's own name is.
std::string temporaryName(const std::string& name) {
    static std::mt19937_64 random{std::random_device{}()};
    constexpr std::string_view Letters =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    constexpr std::size_t SuffixLength = 6;
    std::string suffix(SuffixLength, ' ');
    for (char& letter : suffix) {
        letter = Letters[random() % Letters.size()];
    }
    const std::size_t room = NAME_MAX - 2 - SuffixLength;
    return "." + name.substr(0, room) + "." + suffix;
}

// Only where the file system has no files without names.
int createNamed(int folder, const std::string& name, mode_t mode, std::string& created) {
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        const std::string candidate = temporaryName(name);
        const int fd =
            ::openat(folder, candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
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

// The mode a new file gets in the folder (the umask or the folder's default access list
// decide), learnt from an empty file: the temporary file itself starts readable by its owner
// alone, since another user who opened it meanwhile could read all that is written later.
// Returns 0 or the errno value of the step that failed.
int learnNewFileMode(int folder, const std::string& name, mode_t& mode) {
    std::string probe;
    const int fd = createNamed(folder, name, 0666, probe);
    if (fd < 0) {
        return errno;
    }
    struct stat status {};
    const int error = ::fstat(fd, &status) == 0 ? 0 : errno;
    ::close(fd);
    ::unlinkat(folder, probe.c_str(), 0);
    mode = status.st_mode & 07777;
    return error;
}

// A file without a name is given one through its entry under /proc.
bool canNameUnnamedFiles() {
    return ::access("/proc/self/fd", X_OK) == 0;
}

std::string procEntry(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

// 0, or the errno value of the step that failed.
int linkAndRename(const char* entry, int folder, const char* temporary, const char* name) {
    if (::linkat(AT_FDCWD, entry, folder, temporary, AT_SYMLINK_FOLLOW) != 0) {
        return errno;
    }
    if (::renameat(folder, temporary, folder, name) != 0) {
        const int error = errno;
        ::unlinkat(folder, temporary, 0);
        return error;
    }
    return 0;
}

// An existing target can only be replaced by a rename, so the unnamed file needs a
// temporary name first. A kill between the link and the rename would leave that name
// behind, so both steps run in a child process, which a kill of this one does not stop.
// The child shares this process's memory (vfork): copying it for a fork would cost more
// than the write itself. The child only makes system calls, then exits.
int replaceByUnnamed(int fd, int folder, const std::string& temporary, const std::string& name) {
    const std::string entry = procEntry(fd);
    const pid_t child = ::vfork();
    if (child == 0) {
        ::_exit(linkAndRename(entry.c_str(), folder, temporary.c_str(), name.c_str()));
    }
    if (child < 0) {
        return linkAndRename(entry.c_str(), folder, temporary.c_str(), name.c_str());
    }
    return waitForChild(child);
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(const std::string& target, Temporary temporary) {
    SavePlace place = findSavePlace(target, CreateAction);
    m_folder = std::move(place.folder);
    m_name = std::move(place.name);
    struct stat existing {};
    m_replacing = ::fstatat(m_folder.get(), m_name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
    if (m_replacing) {
        if (S_ISDIR(existing.st_mode)) {
            throw inOutErrorFor(CreateAction, target, EISDIR);
        }
        // A device or a pipe would be swapped for a plain file, not written.
        if (!S_ISREG(existing.st_mode)) {
            throw inOutErrorFor(CreateAction, target, "not a regular file");
        }
        // A read-only file system keeps its own reason.
        if (::faccessat(m_folder.get(), m_name.c_str(), W_OK, 0) != 0) {
            throw inOutErrorFor(CreateAction, target, errno);
        }
        // A file nobody may write is read-only, also for a privileged user.
        if ((existing.st_mode & 0222) == 0) {
            throw inOutErrorFor(CreateAction, target, EACCES);
        }
    }
    try {
        createTemporary(temporary, target);
        if (m_replacing) {
            takeOverAccess(existing, target);
        }
    } catch (...) {
        discard();
        throw;
    }
}

void AtomicFileWriter::createTemporary(Temporary temporary, const std::string& target) {
    // The kernel applies the umask (and a folder's default access lists) to an unnamed
    // file, which no other user can open.
    bool unnamedRefused = true;
    if (temporary == Temporary::Unnamed && canNameUnnamedFiles()) {
        m_fd = ::openat(m_folder.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        unnamedRefused = m_fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL);
    }
    if (!unnamedRefused) {
        if (m_fd < 0) {
            throw inOutErrorFor(CreateAction, target, errno);
        }
        return;
    }
    m_fd = createNamed(m_folder.get(), m_name, 0600, m_temporary);
    if (m_fd < 0) {
        throw inOutErrorFor(CreateAction, target, errno);
    }
    if (!m_replacing) {
        mode_t mode = 0;
        int error = learnNewFileMode(m_folder.get(), m_name, mode);
        if (error == 0 && ::fchmod(m_fd, mode) != 0) {
            error = errno;
        }
        if (error != 0) {
            throw inOutErrorFor(CreateAction, target, error);
        }
    }
}

void AtomicFileWriter::takeOverAccess(const struct stat& existing, const std::string& target) {
    // Chown first: it clears the set-id bits and capabilities that the attributes and the
    // mode then put back. A user who may not give a file away keeps at least its group
    // where allowed.
    if (::fchown(m_fd, existing.st_uid, existing.st_gid) != 0) {
        [[maybe_unused]] const int groupOnly =
            ::fchown(m_fd, static_cast<uid_t>(-1), existing.st_gid);
    }
    if (const int error = copyExtendedAttributes(m_folder.get(), m_name, m_fd)) {
        throw inOutErrorFor(
            CreateAction, target,
            std::string("cannot keep its extended attributes: ") + std::strerror(error));
    }
    if (::fchmod(m_fd, existing.st_mode & 07777) != 0) {
        throw inOutErrorFor(CreateAction, target, errno);
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
        if (::renameat(m_folder.get(), m_temporary.c_str(), m_folder.get(), m_name.c_str()) != 0) {
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
        if (::linkat(AT_FDCWD, entry.c_str(), m_folder.get(), m_name.c_str(), AT_SYMLINK_FOLLOW) ==
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
        error = replaceByUnnamed(m_fd, m_folder.get(), temporaryName(m_name), m_name);
    }
    if (error != 0) {
        fail(error);
    }
}

void AtomicFileWriter::syncFolder() {
    const int folder = ::openat(m_folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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
        ::unlinkat(m_folder.get(), m_temporary.c_str(), 0);
        m_temporary.clear();
    }
    m_failed = true;
}
