#include "roads/ExtractText.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "platform/RunTimeError.h"
#include "roads/RoadError.h"

namespace {

constexpr std::size_t InputChunk = std::size_t{1} << 20;
constexpr std::size_t TextChunk = std::size_t{1} << 20;

}  // namespace

ExtractText::ExtractText(UniqueFd fd, TextForm form, std::string path)
    : m_fd(std::move(fd)), m_form(form), m_path(std::move(path)), m_in(InputChunk) {}

ExtractText::~ExtractText() {
    endStream();
}

const char* ExtractText::formName() const {
    return m_form == TextForm::Gzip ? "gzip" : "bzip2";
}

void ExtractText::damaged(const std::string& reason) const {
    throw RoadError(std::string("The road map is a damaged ") + formName() + " file: " + reason);
}

bool ExtractText::refill() {
    std::memmove(m_in.data(), m_in.data() + m_inPos, available());
    m_inEnd -= m_inPos;
    m_inPos = 0;
    if (m_fileEnded) {
        return false;
    }
    ssize_t got;
    do {
        got = ::read(m_fd.get(), m_in.data() + m_inEnd, m_in.size() - m_inEnd);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        throw inOutErrorFor("Cannot read file", m_path, errno);
    }
    m_fileEnded = got == 0;
    m_inEnd += static_cast<std::size_t>(got);
    m_fileRead += static_cast<std::size_t>(got);
    return got > 0;
}

bool ExtractText::startStream() {
    const std::string_view magic = m_form == TextForm::Gzip ? "\x1f\x8b" : "BZh";
    while (available() < magic.size() && refill()) {
    }
    if (available() < magic.size() ||
        std::string_view(m_in.data() + m_inPos, magic.size()) != magic) {
        return false;
    }
    const int started = m_form == TextForm::Gzip
                            ? (::inflateInit2(&m_gzip, 16 + MAX_WBITS) == Z_OK ? 0 : 1)
                            : (::BZ2_bzDecompressInit(&m_bzip2, 0, 0) == BZ_OK ? 0 : 1);
    if (started != 0) {
        throw std::bad_alloc();
    }
    m_inStream = true;
    return true;
}

void ExtractText::endStream() {
    if (!m_inStream) {
        return;
    }
    if (m_form == TextForm::Gzip) {
        ::inflateEnd(&m_gzip);
    } else {
        ::BZ2_bzDecompressEnd(&m_bzip2);
    }
    m_inStream = false;
}

bool ExtractText::decode(std::string& out, std::size_t& produced) {
    // Both libraries count in unsigned int; the buffers are far smaller.
    const auto inSize = static_cast<unsigned>(available());
    const auto outSize = static_cast<unsigned>(out.size() - produced);
    unsigned inLeft = 0;
    unsigned outLeft = 0;
    bool ended = false;
    if (m_form == TextForm::Gzip) {
        m_gzip.next_in = reinterpret_cast<Bytef*>(m_in.data() + m_inPos);
        m_gzip.avail_in = inSize;
        m_gzip.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
        m_gzip.avail_out = outSize;
        const int result = ::inflate(&m_gzip, Z_NO_FLUSH);
        if (result == Z_MEM_ERROR) {
            throw std::bad_alloc();
        }
        if (result == Z_DATA_ERROR || result == Z_NEED_DICT) {
            damaged(m_gzip.msg ? m_gzip.msg : "its data do not decompress");
        }
        ended = result == Z_STREAM_END;
        inLeft = m_gzip.avail_in;
        outLeft = m_gzip.avail_out;
    } else {
        m_bzip2.next_in = m_in.data() + m_inPos;
        m_bzip2.avail_in = inSize;
        m_bzip2.next_out = out.data() + produced;
        m_bzip2.avail_out = outSize;
        const int result = ::BZ2_bzDecompress(&m_bzip2);
        if (result == BZ_MEM_ERROR) {
            throw std::bad_alloc();
        }
        if (result == BZ_DATA_ERROR || result == BZ_DATA_ERROR_MAGIC) {
            damaged("its data fail the integrity check");
        }
        ended = result == BZ_STREAM_END;
        inLeft = m_bzip2.avail_in;
        outLeft = m_bzip2.avail_out;
    }
    m_inPos += inSize - inLeft;
    produced += outSize - outLeft;
    return !ended;
}

std::string ExtractText::read() {
    std::string out(TextChunk, '\0');
    std::size_t produced = 0;
    while (produced < out.size() && !m_ended) {
        if (m_form == TextForm::Plain) {
            if (available() == 0 && !refill()) {
                m_ended = true;
                break;
            }
            const std::size_t count = std::min(available(), out.size() - produced);
            std::memcpy(out.data() + produced, m_in.data() + m_inPos, count);
            m_inPos += count;
            produced += count;
            continue;
        }
        if (!m_inStream && !startStream()) {
            m_ended = true;
            break;
        }
        if (available() == 0) {
            refill();
        }
        const std::size_t inBefore = available();
        const std::size_t outBefore = produced;
        if (!decode(out, produced)) {
            endStream();
        } else if (available() == inBefore && produced == outBefore && !refill()) {
            throw RoadError(std::string("The road map is a truncated ") + formName() +
                            " file: it ends within its compressed data");
        }
    }
    out.resize(produced);
    m_textMade += produced;
    const std::size_t consumed = m_fileRead - available();
    if (m_form != TextForm::Plain && m_textMade > MaxExpansion * consumed + TextChunk) {
        throw RoadError(std::string("The road map expands to more than ") +
                        std::to_string(MaxExpansion) + " times its size as a " + formName() +
                        " file: it is not an extract but a compression bomb");
    }
    return out;
}
