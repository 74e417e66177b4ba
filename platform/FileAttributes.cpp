#include "platform/FileAttributes.h"

#include <linux/limits.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/ChildProcess.h"

namespace {

constexpr const char* AccessList = "system.posix_acl_access";

struct Buffers {
    std::vector<char> names = std::vector<char>(XATTR_LIST_MAX);
    std::vector<char> value = std::vector<char>(XATTR_SIZE_MAX);
    std::vector<char> present = std::vector<char>(XATTR_SIZE_MAX);
};

bool unsupported(int errorNumber) {
    return errorNumber == ENOTSUP || errorNumber == ENODATA;
}

// Runs in a child process: its current folder can move to the folder without moving the
// program's, and the old file is then reached by its name, readable or not, without /proc.
int copyInChild(int folder, const char* name, int file, Buffers& buffers) {
    if (::fchdir(folder) != 0) {
        return errno;
    }
    const ssize_t listed = ::llistxattr(name, buffers.names.data(), buffers.names.size());
    if (listed < 0) {
        return unsupported(errno) ? 0 : errno;
    }
    bool accessList = false;
    for (const char* attribute = buffers.names.data(); attribute < buffers.names.data() + listed;
         attribute += std::strlen(attribute) + 1) {
        accessList = accessList || std::strcmp(attribute, AccessList) == 0;
        const ssize_t size =
            ::lgetxattr(name, attribute, buffers.value.data(), buffers.value.size());
        if (size < 0) {
            if (errno == ENODATA) {
                continue;
            }
            return errno;
        }
        // One the new file got the same already (a security label) needs no privilege.
        const ssize_t present =
            ::fgetxattr(file, attribute, buffers.present.data(), buffers.present.size());
        if (present == size &&
            std::memcmp(buffers.present.data(), buffers.value.data(), size) == 0) {
            continue;
        }
        if (::fsetxattr(file, attribute, buffers.value.data(), size, 0) != 0) {
            return errno;
        }
    }
    // The folder's default access list gives a new file one.
    if (!accessList && ::fremovexattr(file, AccessList) != 0 && !unsupported(errno)) {
        return errno;
    }
    return 0;
}

}  // namespace

int copyExtendedAttributes(int folder, const std::string& name, int file) {
    Buffers buffers;
    // The child shares this process's memory (vfork) and only makes system calls.
    const pid_t child = ::vfork();
    if (child == 0) {
        ::_exit(copyInChild(folder, name.c_str(), file, buffers));
    }
    if (child < 0) {
        return errno;
    }
    return waitForChild(child);
}
