#include "roads/XmlTokenLimit.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "roads/RoadError.h"

namespace {

const char* until(const char* from, const char* end, char wanted) {
    const void* found = std::memchr(from, wanted, static_cast<std::size_t>(end - from));
    return found ? static_cast<const char*>(found) : end;
}

}  // namespace

void XmlTokenLimit::start(State state, const char* at) {
    m_line += std::count(m_counted, at, '\n');
    m_counted = at;
    m_startLine = m_line;
    m_length = 0;
    m_state = state;
}

void XmlTokenLimit::grow(std::size_t count) {
    m_length += count;
    if (m_length <= MaxToken) {
        return;
    }
    const char* kind = "a tag";
    switch (m_state) {
        case State::Text:
            kind = "a text";
            break;
        case State::Quoted:
            kind = "an attribute value";
            break;
        case State::Comment:
            kind = "a comment";
            break;
        case State::Instruction:
            kind = "a processing instruction";
            break;
        case State::CData:
            kind = "a CDATA section";
            break;
        case State::Open:
        case State::Bang:
        case State::BangDash:
        case State::Tag:
            break;
    }
    throw RoadError(std::string("The road map is not OpenStreetMap XML: ") + kind +
                    " of more than " + std::to_string(MaxToken >> 20) + " MiB at line " +
                    std::to_string(m_startLine));
}

const char* XmlTokenLimit::findEnd(const char* from, const char* end, std::string_view before) {
    // The shortest whole piece: "<!---->", "<??>", "<![CDATA[]]>".
    const std::size_t shortest = m_state == State::Comment       ? 7
                                 : m_state == State::Instruction ? 4
                                                                 : 12;
    while (from < end) {
        const char* close = until(from, end, '>');
        grow(static_cast<std::size_t>(close - from) + (close < end ? 1 : 0));
        if (close == end) {
            return end;
        }
        bool ended = m_length >= shortest;
        for (std::size_t k = 1; ended && k <= before.size(); ++k) {
            // Characters before this piece of text are the last ones of the one before.
            const std::size_t inText = static_cast<std::size_t>(close - m_text);
            const char c =
                k <= inText ? close[-static_cast<std::ptrdiff_t>(k)] : m_last[2 - (k - inText)];
            ended = c == before[before.size() - k];
        }
        from = close + 1;
        if (ended) {
            start(State::Text, from);
            return from;
        }
    }
    return end;
}

void XmlTokenLimit::scan(std::string_view text) {
    const char* p = text.data();
    const char* const end = p + text.size();
    m_text = p;
    m_counted = p;
    while (p < end) {
        switch (m_state) {
            case State::Text: {
                const char* open = until(p, end, '<');
                grow(static_cast<std::size_t>(open - p));
                p = open;
                if (p < end) {
                    start(State::Open, p);
                    grow(1);
                    ++p;
                }
                break;
            }
            case State::Open:
            case State::Bang:
            case State::BangDash: {
                // "<?", "<!--" and "<![" open pieces that end otherwise than a tag does.
                const State next = m_state == State::Open && *p == '?'       ? State::Instruction
                                   : m_state == State::Open && *p == '!'     ? State::Bang
                                   : m_state == State::Bang && *p == '-'     ? State::BangDash
                                   : m_state == State::Bang && *p == '['     ? State::CData
                                   : m_state == State::BangDash && *p == '-' ? State::Comment
                                                                             : State::Tag;
                m_state = next;
                if (next != State::Tag) {
                    grow(1);
                    ++p;
                }
                break;
            }
            case State::Tag: {
                const char* stop = p;
                while (stop < end && *stop != '>' && *stop != '"' && *stop != '\'') {
                    ++stop;
                }
                grow(static_cast<std::size_t>(stop - p) + (stop < end ? 1 : 0));
                p = stop;
                if (p == end) {
                    break;
                }
                if (*p == '>') {
                    start(State::Text, ++p);
                } else {
                    m_quote = *p++;
                    m_state = State::Quoted;
                }
                break;
            }
            case State::Quoted: {
                const char* close = until(p, end, m_quote);
                grow(static_cast<std::size_t>(close - p) + (close < end ? 1 : 0));
                p = close;
                if (p < end) {
                    ++p;
                    m_state = State::Tag;
                }
                break;
            }
            case State::Comment:
                p = findEnd(p, end, "--");
                break;
            case State::Instruction:
                p = findEnd(p, end, "?");
                break;
            case State::CData:
                p = findEnd(p, end, "]]");
                break;
        }
    }
    m_line += std::count(m_counted, end, '\n');
    if (text.size() >= 2) {
        m_last[0] = end[-2];
        m_last[1] = end[-1];
    } else if (text.size() == 1) {
        m_last[0] = m_last[1];
        m_last[1] = end[-1];
    }
}
