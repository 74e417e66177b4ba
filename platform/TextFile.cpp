#include "platform/TextFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

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
    for (std::size_t i = 0; i < m_size; ++i) {
        if (m_buffer[i] == CtrlZ) {
            m_size = i;
            m_ended = true;
            break;
        }
    }
    if (got == 0) {
        m_ended = true;
    }
    return m_pos < m_size ? m_buffer[m_pos] : End;
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
        std::size_t stop = m_pos;
        while (stop < m_size && m_buffer[stop] != '\r') {
            ++stop;
        }
        line.append(reinterpret_cast<const char*>(m_buffer.data() + m_pos), stop - m_pos);
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
    while (true) {
        if (m_pos >= m_size && fill() == End) {
            return true;
        }
        while (m_pos < m_size && m_buffer[m_pos] != '\r') {
            ++m_pos;
        }
        if (m_pos < m_size) {
            get();
            return true;
        }
    }
}
