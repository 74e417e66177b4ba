#pragma once

// Refuses any piece of XML longer than MaxToken: a tag with its attributes, an attribute
// value, a comment or declaration, or the text between two tags. No road map holds one
// anywhere near that long, while the XML parser scans a token whose end it has not yet seen
// again with every piece of text that comes, in a time that grows with its square.

#include <cstddef>
#include <string_view>

class XmlTokenLimit {
public:
    static constexpr std::size_t MaxToken = std::size_t{1} << 20;

    // The text's next piece. Throws RoadError naming the kind of piece and the line it starts
    // on.
    void scan(std::string_view text);

private:
    enum class State { Text, Open, Bang, BangDash, Tag, Quoted, Comment, Instruction, CData };

    // Moves on to `state`, a new piece starting at `at`.
    void start(State state, const char* at);
    void grow(std::size_t count);
    // Scans to the '>' that ends the piece after `before` (the two characters before it).
    const char* findEnd(const char* from, const char* end, std::string_view before);

    State m_state = State::Text;
    char m_quote = 0;
    std::size_t m_length = 0;
    long long m_line = 1;
    long long m_startLine = 1;
    // The text being scanned, and where its lines were counted to.
    const char* m_text = nullptr;
    const char* m_counted = nullptr;
    // The last two characters, for ends written across two pieces.
    char m_last[2] = {0, 0};
};
