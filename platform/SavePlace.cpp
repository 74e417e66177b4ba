#include "platform/SavePlace.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <deque>
#include <vector>

#include "platform/RunTimeError.h"

namespace {

// As many links as the kernel follows in one path.
constexpr int MaxLinkHops = 40;
constexpr const char* ForeignLink = "a symbolic link that belongs to another user";

std::deque<std::string> partsOf(const std::string& path) {
    std::deque<std::string> parts;
    std::size_t at = 0;
    while (at <= path.size()) {
        const std::size_t slash = std::min(path.find('/', at), path.size());
        if (slash > at) {
            parts.emplace_back(path, at, slash - at);
        }
        at = slash + 1;
    }
    return parts;
}

class Walk {
public:
    Walk(const std::string& target, const std::string& action)
        : m_target(target), m_action(action) {}

    [[noreturn]] void fail(int errorNumber) const {
        throw inOutErrorFor(m_action, m_target, errorNumber);
    }
    [[noreturn]] void fail(const std::string& reason) const {
        throw inOutErrorFor(m_action, m_target, reason);
    }

    UniqueFd openFolder(int at, const char* name) const {
        UniqueFd folder(::openat(at, name, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!folder.valid()) {
            fail(errno);
        }
        return folder;
    }

    std::string linkText(int folder, const std::string& name) const {
        std::vector<char> text(PATH_MAX);
        while (true) {
            const ssize_t length = ::readlinkat(folder, name.c_str(), text.data(), text.size());
            if (length < 0) {
                fail(errno);
            }
            if (static_cast<std::size_t>(length) < text.size()) {
                return std::string(text.data(), static_cast<std::size_t>(length));
            }
            text.resize(text.size() * 2);
        }
    }

    // The kernel's rule for shared folders; the last part of the path may only be the user's
    // own link.
    void refuseForeignLink(int folder, const struct stat& link, bool last) const {
        if (link.st_uid == ::geteuid()) {
            return;
        }
        if (last) {
            fail(ForeignLink);
        }
        struct stat status {};
        if (::fstat(folder, &status) != 0) {
            fail(errno);
        }
        const bool shared = (status.st_mode & S_ISVTX) && (status.st_mode & S_IWOTH);
        if (shared && link.st_uid != status.st_uid) {
            fail(ForeignLink);
        }
    }

private:
    const std::string& m_target;
    const std::string& m_action;
};

}  // namespace

SavePlace findSavePlace(const std::string& target, const std::string& action) {
    const Walk walk(target, action);
    if (target.empty()) {
        walk.fail(ENOENT);
    }
    // A name ending in a slash can only be a folder.
    if (target.back() == '/') {
        walk.fail(EISDIR);
    }
    std::deque<std::string> parts = partsOf(target);
    UniqueFd folder = walk.openFolder(AT_FDCWD, target.front() == '/' ? "/" : ".");
    for (int hops = 0;;) {
        if (parts.empty()) {
            walk.fail(EISDIR);
        }
        const std::string part = std::move(parts.front());
        parts.pop_front();
        const bool last = parts.empty();
        if (part == "." || part == "..") {
            if (last) {
                walk.fail(EISDIR);
            }
            if (part == "..") {
                folder = walk.openFolder(folder.get(), "..");
            }
            continue;
        }
        struct stat status {};
        if (::fstatat(folder.get(), part.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
            if (last && errno == ENOENT) {
                return {std::move(folder), part};
            }
            walk.fail(errno);
        }
        if (!S_ISLNK(status.st_mode)) {
            if (last) {
                return {std::move(folder), part};
            }
            folder = walk.openFolder(folder.get(), part.c_str());
            continue;
        }
        walk.refuseForeignLink(folder.get(), status, last);
        if (++hops > MaxLinkHops) {
            walk.fail(ELOOP);
        }
        const std::string text = walk.linkText(folder.get(), part);
        const std::deque<std::string> through = partsOf(text);
        if (through.empty()) {
            walk.fail(text.empty() ? ENOENT : EISDIR);
        }
        parts.insert(parts.begin(), through.begin(), through.end());
        if (text.front() == '/') {
            folder = walk.openFolder(AT_FDCWD, "/");
        }
    }
}
