#include "platform/TextFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/InputFile.h"

namespace {
constexpr unsigned char CtrlZ = 26;
constexpr std::size_t ChunkSize = 1 << 16;
}  // namespace

TextSource readTextOnce(const std::string& path, long long lineLimit) {
    auto text = std::make_shared<TextSource::Text>();
    UniqueFd fd;
    try {
        fd = openInput(path, InputKind::AnyFile);
    } catch (const InOutError& error) {
        text->failure = error;
        return {path, text};
    }
    // A file's size is known: one allocation instead of a copy at every doubling.
    struct stat status {};
    if (::fstat(fd.get(), &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0) {
        text->bytes.reserve(
            std::min(static_cast<std::size_t>(status.st_size), TextReader::MaxTextBytes) +
            ChunkSize);
    }
    TextReader reader(path, std::move(fd));
    reader.keepTextIn(text->bytes);
    std::size_t lineStart = 0;
    try {
        for (long long lines = 0; lines <= lineLimit && reader.skipLine(); ++lines) {
            lineStart = reader.taken();
        }
        lineStart = reader.taken();
    } catch (const InOutError& error) {
        text->failure = error;
    }
    text->bytes.append(reinterpret_cast<const char*>(reader.m_data), reader.m_pos);
    // A failure leaves the line it arose in out, so a reader meets it where that line starts.
    text->bytes.resize(lineStart);
    return {path, text};
}

TextReader::TextReader(const TextSource& source) : m_name(source.name()) {
    if (source.m_text) {
        m_text = source.m_text;
        m_data = reinterpret_cast<const unsigned char*>(m_text->bytes.data());
        m_size = m_text->bytes.size();
        m_ended = true;
        endAtCtrlZ();
        return;
    }
    m_fd = openInput(m_name, InputKind::RegularFile);
    m_buffer.resize(ChunkSize);
    m_data = m_buffer.data();
}

TextReader::TextReader(std::string name, UniqueFd fd)
    : m_name(std::move(name)), m_fd(std::move(fd)), m_buffer(ChunkSize), m_data(m_buffer.data()) {}

TextReader::~TextReader() = default;

int TextReader::fill(bool raise) {
    if (m_ended) {
        if (raise && m_text && m_text->failure) {
            throw *m_text->failure;
        }
        return End;
    }
    if (m_kept) {
        if (m_kept->size() + m_size > MaxTextBytes) {
            throw inOutErrorFor("Cannot read file", m_name,
                                "more than " + std::to_string(MaxTextBytes >> 20) + " MiB",
                                m_lineNumber);
        }
        m_kept->append(reinterpret_cast<const char*>(m_data), m_size);
    }
    ssize_t got;
    do {
        got = ::read(m_fd.get(), m_buffer.data(), m_buffer.size());
    } while (got < 0 && errno == EINTR);
    m_pos = 0;
    m_size = 0;
    if (got < 0) {
        throw inOutErrorFor("Cannot read file", m_name, errno);
    }
    m_size = static_cast<std::size_t>(got);
    endAtCtrlZ();
    if (got == 0) {
        m_ended = true;
    }
    return m_pos < m_size ? m_data[m_pos] : End;
}

void TextReader::endAtCtrlZ() {
    if (const void* ctrlZ = std::memchr(m_data, CtrlZ, m_size)) {
        m_size = static_cast<std::size_t>(static_cast<const unsigned char*>(ctrlZ) - m_data);
        m_ended = true;
    }
}

std::size_t TextReader::lineEndFrom(std::size_t at) const {
    // Most lines are short: look at their first characters before calling the library.
    for (const std::size_t near = std::min(m_size, at + 16); at < near; ++at) {
        if (m_data[at] == '\r') {
            return at;
        }
    }
    const void* cr = std::memchr(m_data + at, '\r', m_size - at);
    return cr ? static_cast<std::size_t>(static_cast<const unsigned char*>(cr) - m_data) : m_size;
}

void TextReader::checkLength(std::size_t length) const {
    if (length > MaxLineLength) {
        throw inOutErrorFor("Cannot read file", m_name,
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
        line.append(reinterpret_cast<const char*>(m_data + m_pos), stop - m_pos);
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
