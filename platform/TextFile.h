#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/HugePages.h"
#include "platform/RunTimeError.h"
#include "platform/UniqueFd.h"

// Where a text comes from: a regular file, opened by its name whenever it is read, or the
// text of any file, pipe or device read once before (velmora-batch reads every input once,
// so a pipe gives the answers a file gives). Errors name the file either way.
class TextSource {
public:
    TextSource() = default;
    // A file by its name, as the user chose it.
    TextSource(std::string path) : m_name(std::move(path)) {}
    TextSource(const char* path) : m_name(path) {}

    const std::string& name() const { return m_name; }
    // An optional file that was not given.
    bool empty() const { return m_name.empty(); }

private:
    friend class TextReader;
    friend TextSource readTextOnce(const std::string& path, long long lineLimit);

    struct Text {
        HugePageString bytes;
        // What stopped the reading where the bytes end; any reader of them stops there too.
        std::optional<InOutError> failure;
    };

    TextSource(std::string name, std::shared_ptr<const Text> text)
        : m_name(std::move(name)), m_text(std::move(text)) {}

    std::string m_name;
    std::shared_ptr<const Text> m_text;
};

// Reads the file, pipe or device at `path` once: to its end, or to the end of line
// lineLimit + 1, so that endless input stops at the first line past a limit as a file of that
// many lines would. Nothing is thrown here: what stopped the reading (no such file, a line
// too long, more than MaxTextBytes) is raised by every reader of the text where it arose, so
// errors come in the order a reader of the file itself meets them.
TextSource readTextOnce(const std::string& path, long long lineLimit);

// Reads a text by the platform's line rules: CR LF or a lone CR ends a line, a lone LF
// stays in the line's text, a last line without an end still counts and a character 26
// (Ctrl-Z) ends the text.
class TextReader {
public:
    static constexpr int End = -1;
    // Far beyond any real line; endless input without a line end (such as a device that
    // never stops) is refused here instead of filling the memory.
    static constexpr std::size_t MaxLineLength = std::size_t{1} << 20;
    // What a text read once may hold: far beyond any real input (the largest distance file,
    // 901 x 901 values of eleven characters with their line ends, is about 10 MiB).
    static constexpr std::size_t MaxTextBytes = std::size_t{256} << 20;

    // A file by name must be a regular file: anything else (a pipe, a device) is refused
    // with an InOutError, as is a file that cannot be opened, and nothing ever waits for a
    // writer.
    explicit TextReader(const TextSource& source);
    ~TextReader();
    TextReader(const TextReader&) = delete;
    TextReader& operator=(const TextReader&) = delete;

    bool atEnd() { return peek() == End; }
    int peek() { return m_pos < m_size ? m_data[m_pos] : fill(); }
    int get() {
        const int c = peek();
        if (c == End) {
            return End;
        }
        ++m_pos;
        if (c == '\r') {
            ++m_lineNumber;
            // What stopped a text read once belongs to the next line, not to this one's end.
            if ((m_pos < m_size ? m_data[m_pos] : fill(false)) == '\n') {
                ++m_pos;
            }
        }
        return c;
    }

    // False at the end of the text; otherwise `line` holds the next line without its end.
    // Both throw InOutError, located at the line, for a line longer than MaxLineLength.
    bool readLine(std::string& line);
    bool skipLine();

    // Number of the line the next character belongs to (1-based).
    long long lineNumber() const { return m_lineNumber; }

private:
    friend TextSource readTextOnce(const std::string& path, long long lineLimit);

    // Any open file, pipe or device, read as it comes.
    TextReader(std::string name, UniqueFd fd);

    // The next character from the file; at the end of a text read once, what stopped its
    // reading is raised when `raise`.
    int fill(bool raise = true);
    // Keeps what was read in `kept`, the memory of a text read once.
    void keepTextIn(HugePageString& kept) { m_kept = &kept; }
    // How much of the text was taken so far, what is kept included.
    std::size_t taken() const { return (m_kept ? m_kept->size() : 0) + m_pos; }
    void endAtCtrlZ();
    // Position of the next CR in the buffer from `at`, or the buffer's end.
    std::size_t lineEndFrom(std::size_t at) const;
    void checkLength(std::size_t length) const;

    std::string m_name;
    UniqueFd m_fd;
    std::vector<unsigned char> m_buffer;
    // A text read once, shared with its source.
    std::shared_ptr<const TextSource::Text> m_text;
    const unsigned char* m_data = nullptr;
    std::size_t m_pos = 0;
    std::size_t m_size = 0;
    bool m_ended = false;
    HugePageString* m_kept = nullptr;
    long long m_lineNumber = 1;
};
