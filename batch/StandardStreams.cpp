#include "batch/StandardStreams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "batch/BatchCommands.h"

namespace batch {

void occupyClosedStandardStreams() {
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF) {
            continue;
        }
        // The lowest free number is the closed stream's own.
        const int opened = ::open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
        if (opened >= 0 && opened != fd) {
            ::close(opened);
        }
    }
}

StandardOutput::StandardOutput() {
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
}

int StandardOutput::finish() {
    drain();
    return m_error;
}

StandardOutput::int_type StandardOutput::overflow(int_type c) {
    if (!drain()) {
        return traits_type::eof();
    }
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int StandardOutput::sync() {
    return drain() ? 0 : -1;
}

bool StandardOutput::drain() {
    const char* at = pbase();
    while (m_error == 0 && at < pptr()) {
        const ssize_t written = ::write(STDOUT_FILENO, at, static_cast<std::size_t>(pptr() - at));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            m_error = written < 0 ? errno : EIO;
            break;
        }
        at += written;
    }
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
    return m_error == 0;
}

int finishStandardOutput(int status, StandardOutput& out, std::ostream& err) {
    const int error = out.finish();
    if (error == 0) {
        return status;
    }
    err << "velmora-batch: cannot write to standard output: " << std::strerror(error) << '\n';
    return status == Success ? static_cast<int>(BadInput) : status;
}

}  // namespace batch
