#include "platform/TextFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/RunTimeError.h"

namespace {
constexpr unsigned char CtrlZ = 26;
constexpr std::size_t ChunkSize = 1 << 16;
}  // namespace

TextReader::TextReader(const std::string& path) : m_path(path), m_buffer(ChunkSize) {
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0) {
        throw inOutErrorFor("Cannot open file", path, errno);
    }
}

TextReader::~TextReader() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

int TextReader::fill() {
    if (m_ended) {
        return End;
    }
    ssize_t got;
    do {
        got = ::read(m_fd, m_buffer.data(), m_buffer.size());
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        throw inOutErrorFor("Cannot read file", m_path, errno);
    }
    m_pos = 0;
    m_size = static_cast<std::size_t>(got);
    if (const void* ctrlZ = std::memchr(m_buffer.data(), CtrlZ, m_size)) {
        m_size =
            static_cast<std::size_t>(static_cast<const unsigned char*>(ctrlZ) - m_buffer.data());
        m_ended = true;
    }
    if (got == 0) {
        m_ended = true;
    }
    return m_pos < m_size ? m_buffer[m_pos] : End;
}

std::size_t TextReader::lineEndFrom(std::size_t at) const {
    // Most lines are short: look at their first characters before calling the library.
    for (const std::size_t near = std::min(m_size, at + 16); at < near; ++at) {
        if (m_buffer[at] == '\r') {
            return at;
        }
    }
    const void* cr = std::memchr(m_buffer.data() + at, '\r', m_size - at);
    return cr ? static_cast<std::size_t>(static_cast<const unsigned char*>(cr) - m_buffer.data())
              : m_size;
}

void TextReader::checkLength(std::size_t length) const {
    if (length > MaxLineLength) {
        throw inOutErrorFor("Cannot read file", m_path,
                            "line " + std::to_string(m_lineNumber) + " is too long", m_lineNumber);
    }
}

bool TextReader::readLine(std::string& line) {
    line.clear();
    if (atEnd()) {
        return false;
    }
    while (true) {
        if (m_pos >= m_size && fill() == End) {
            return true;
        }
        const std::size_t stop = lineEndFrom(m_pos);
        line.append(reinterpret_cast<const char*>(m_buffer.data() + m_pos), stop - m_pos);
        checkLength(line.size());
        m_pos = stop;
        if (m_pos < m_size) {
            get();
            return true;
        }
    }
}

bool TextReader::skipLine() {
    if (atEnd()) {
        return false;
    }
    std::size_t length = 0;
    while (true) {
        if (m_pos >= m_size && fill() == End) {
            return true;
        }
        const std::size_t stop = lineEndFrom(m_pos);
        length += stop - m_pos;
        checkLength(length);
        m_pos = stop;
        if (m_pos < m_size) {
            get();
            return true;
        }
    }
}
