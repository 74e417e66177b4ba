#include "batch/PictureModule.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/RunTimeError.h"
#include "platform/UniqueFd.h"

namespace {

using Entry = bool (*)(const Chart&, std::string&);

// What the painting child sends back: one of these, then the picture's bytes or a message.
constexpr char PictureMark = 'P';
constexpr char MessageMark = 'M';

[[noreturn]] void failAt(const std::string& path, const std::string& message) {
    RunTimeError error(message);
    error.setLocation(path, 0);
    throw error;
}

bool writeAll(int fd, const std::string& bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.data() + at, bytes.size() - at);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        at += static_cast<std::size_t>(written);
    }
    return true;
}

// The child's part: loads the module and paints, then sends the picture or why not.
std::string paintHere(const std::string& path, const Chart& chart) {
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        return MessageMark + std::string("Cannot load the picture module: ") + ::dlerror();
    }
    const auto entry = reinterpret_cast<Entry>(::dlsym(module, "velmora_chart_png"));
    if (!entry) {
        return MessageMark + std::string("Not a picture module");
    }
    std::string bytes;
    if (!entry(chart, bytes)) {
        return MessageMark + std::string("The picture could not be painted");
    }
    return PictureMark + bytes;
}

std::string readAll(int fd) {
    std::string bytes;
    char chunk[1 << 16];
    while (true) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return bytes;
        }
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
}

}  // namespace

std::string PictureModule::png(const Chart& chart) {
    if (m_path.empty()) {
        failAt("velmora-pictures.so",
               "Cannot find the picture module: the program's own folder is unknown (/proc "
               "cannot be read, and the program was not started by its full path) and no "
               "module is installed");
    }
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        failAt(m_path, std::string("Cannot start painting: ") + std::strerror(errno));
    }
    UniqueFd reading(ends[0]);
    UniqueFd writing(ends[1]);
    const pid_t child = ::fork();
    if (child < 0) {
        failAt(m_path, std::string("Cannot start painting: ") + std::strerror(errno));
    }
    if (child == 0) {
        // The painter's libraries write their own complaints (an image library out of memory);
        // the failure is reported once, here, by what is sent back.
        const int quiet = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (quiet >= 0) {
            ::dup2(quiet, STDERR_FILENO);
        }
        std::string sent;
        try {
            sent = paintHere(m_path, chart);
        } catch (...) {
            sent = MessageMark + std::string("The picture could not be painted");
        }
        ::_exit(writeAll(writing.get(), sent) ? 0 : 1);
    }
    writing.reset();
    const std::string received = readAll(reading.get());
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status)) {
        failAt(m_path, std::string("The picture could not be painted: the painter stopped (") +
                           ::strsignal(WTERMSIG(status)) + ")");
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || received.empty()) {
        failAt(m_path, "The picture could not be painted");
    }
    if (received.front() != PictureMark) {
        failAt(m_path, received.front() == MessageMark ? received.substr(1)
                                                       : "The picture could not be painted");
    }
    return received.substr(1);
}
