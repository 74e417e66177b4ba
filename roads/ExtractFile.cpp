#include "roads/ExtractFile.h"

#include <osmium/io/compression.hpp>
#include <osmium/io/error.hpp>
#include <osmium/io/pbf_input.hpp>
#include <osmium/io/xml_input.hpp>
#include <osmium/thread/pool.hpp>

#include <algorithm>
#include <system_error>

#include "platform/Workers.h"
#include "roads/RoadError.h"
#include "roads/XmlTokenLimit.h"

namespace {

// libosmium's own decoders of compressed XML stop after the first gzip member or bzip2
// stream and hand its XML parser tokens of any length; XML is read through this program's
// decoder instead, which libosmium finds under a compression of its own.
const auto ExtractTextCompression = static_cast<osmium::io::file_compression>(0x56);

constexpr long long ReadingSteps = 1000;
// libosmium's pool stops its threads through a queue of ten places, one message each: more
// threads than that could wait for ever when one of them fails to start.
constexpr unsigned MaxDecodingThreads = 8;

// What the decoder libosmium creates on this thread is to read.
struct TextReading {
    const std::string& path;
    TextForm form;
    TaskProgress& progress;
};
thread_local const TextReading* currentReading = nullptr;

struct ReadingOnThisThread {
    explicit ReadingOnThisThread(const TextReading& reading) { currentReading = &reading; }
    ~ReadingOnThisThread() { currentReading = nullptr; }
    ReadingOnThisThread(const ReadingOnThisThread&) = delete;
    ReadingOnThisThread& operator=(const ReadingOnThisThread&) = delete;
};

class ExtractDecompressor final : public osmium::io::Decompressor {
public:
    ExtractDecompressor(UniqueFd fd, const TextReading& reading)
        : m_text(std::move(fd), reading.form, reading.path), m_progress(reading.progress) {}

    std::string read() override {
        m_progress.checkCancelled();
        std::string piece = m_text.read();
        m_tokens.scan(piece);
        set_offset(m_text.offset());
        return piece;
    }

    void close() override {}

private:
    ExtractText m_text;
    XmlTokenLimit m_tokens;
    TaskProgress& m_progress;
};

osmium::io::file_compression textCompression() {
    static const bool registered = osmium::io::CompressionFactory::instance().register_compression(
        ExtractTextCompression, {},
        [](int fd) -> osmium::io::Decompressor* {
            // Closed also when there is no memory left for the decoder.
            UniqueFd owned(fd);
            return new ExtractDecompressor(std::move(owned), *currentReading);
        },
        {});
    static_cast<void>(registered);
    return ExtractTextCompression;
}

}  // namespace

ExtractFile::ExtractFile(const std::string& path, InputKind kind)
    : m_path(path), m_input(path, kind) {
    if (m_input.size() == 0) {
        throw RoadError("The road map is empty: it is not an OpenStreetMap file");
    }
    const std::string head = m_input.head(3);
    if (head.starts_with("\x1f\x8b")) {
        m_textForm = TextForm::Gzip;
    } else if (head.starts_with("BZh")) {
        m_textForm = TextForm::Bzip2;
    } else {
        // A PBF file starts with the length of its first blob header, a few bytes long, so
        // its first byte is 0, which no text file starts with.
        m_pbf = head.front() == '\0';
    }
}

std::size_t ExtractFile::nodesToReserve() const {
    // A node takes at least 4 bytes of a PBF and 30 of plain XML.
    const std::size_t bytesPerNode = m_pbf || m_textForm != TextForm::Plain ? 4 : 30;
    return m_input.size() / bytesPerNode;
}

void ExtractFile::read(TaskProgress& progress,
                       const std::function<void(const osmium::memory::Buffer&)>& take) const {
    progress.stage("Reading the road map", ReadingSteps);
    osmium::io::File file(m_input.name(), m_pbf ? "pbf" : "osm");
    if (!m_pbf) {
        file.set_compression(textCompression());
    }
    // libosmium's PBF parser leaves the file it opened open when the file fails to parse.
    struct ClosingWhatIsLeftOpen {
        const NamedInput& input;
        ~ClosingWhatIsLeftOpen() { input.closeOtherOpenings(); }
    } closing{m_input};
    try {
        osmium::thread::Pool pool(static_cast<int>(std::min(workerCount(), MaxDecodingThreads)));
        const TextReading reading{m_path, m_textForm, progress};
        const ReadingOnThisThread readingHere(reading);
        osmium::io::Reader reader(file,
                                  osmium::osm_entity_bits::node | osmium::osm_entity_bits::way,
                                  osmium::io::read_meta::no, pool);
        while (osmium::memory::Buffer buffer = reader.read()) {
            progress.checkCancelled();
            progress.advanceTo(
                static_cast<long long>(reader.offset() * ReadingSteps / m_input.size()));
            take(buffer);
        }
        reader.close();
        progress.advanceTo(ReadingSteps);
    } catch (const RunTimeError&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::system_error& error) {
        // Not the file's fault: the process may start no more threads, or open no more files.
        if (error.code() == std::errc::resource_unavailable_try_again) {
            throw RunTimeError("Cannot start a thread: " + error.code().message());
        }
        throw inOutErrorFor("Cannot read file", m_path, error.code().message());
    } catch (const osmium::xml_error& error) {
        throw RoadError("The road map is not OpenStreetMap XML: " + error.error_string +
                        " at line " + std::to_string(error.line) + ", column " +
                        std::to_string(error.column));
    } catch (const std::exception& error) {
        throw RoadError(std::string("The road map cannot be read as an OpenStreetMap file: ") +
                        error.what());
    }
}
