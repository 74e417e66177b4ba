#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Reads a text file by the platform's line rules: CR LF or a lone CR ends a line, a lone LF
// stays in the line's text, a last line without an end still counts and a character 26
// (Ctrl-Z) ends the text.
class TextReader {
public:
    static constexpr int End = -1;
    // Far beyond any real line; endless input without a line end (such as a device that
    // never stops) is refused here instead of filling the memory.
    static constexpr std::size_t MaxLineLength = std::size_t{1} << 20;

    // Throws InOutError when the file cannot be opened.
    explicit TextReader(const std::string& path);
    ~TextReader();
    TextReader(const TextReader&) = delete;
    TextReader& operator=(const TextReader&) = delete;

    bool atEnd() { return peek() == End; }
    int peek() { return m_pos < m_size ? m_buffer[m_pos] : fill(); }
    int get() {
        const int c = peek();
        if (c == End) {
            return End;
        }
        ++m_pos;
        if (c == '\r') {
            ++m_lineNumber;
            if (peek() == '\n') {
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
    int fill();
    // Position of the next CR in the buffer from `at`, or the buffer's end.
    std::size_t lineEndFrom(std::size_t at) const;
    void checkLength(std::size_t length) const;

    std::string m_path;
    int m_fd = -1;
    std::vector<unsigned char> m_buffer;
    std::size_t m_pos = 0;
    std::size_t m_size = 0;
    bool m_ended = false;
    long long m_lineNumber = 1;
};
