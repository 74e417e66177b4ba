#include "batch/Printable.h"

#include "platform/Utf8.h"

namespace batch {
namespace {

constexpr const char* Hex = "0123456789ABCDEF";

void appendHex(std::string& shown, char32_t value, int digits) {
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) {
        shown += Hex[(value >> shift) & 15];
    }
}

}  // namespace

std::string printable(const std::string& text) {
    std::string shown;
    for (std::size_t at = 0; at < text.size();) {
        char32_t c = 0;
        const std::size_t length = decodeUtf8(text, at, c);
        if (length == 0) {
            shown += "\\x";
            appendHex(shown, static_cast<unsigned char>(text[at]), 2);
            ++at;
            continue;
        }
        if (c == '\n') {
            shown += "\\n";
        } else if (c == '\r') {
            shown += "\\r";
        } else if (c == '\t') {
            shown += "\\t";
        } else if (c < 0x80 && isControlCharacter(c)) {
            shown += "\\x";
            appendHex(shown, c, 2);
        } else if (isControlCharacter(c)) {
            shown += "\\u";
            appendHex(shown, c, 4);
        } else {
            shown.append(text, at, length);
        }
        at += length;
    }
    return shown;
}

}  // namespace batch
