#include <cstddef>
#include <cstdint>
#include <string>

#include "batch/Printable.h"
#include "fuzz/FuzzSupport.h"
#include "platform/Utf8.h"

namespace {

// The characters of `text` that need no escape, in order.
std::string plainCharacters(const std::string& text) {
    std::string plain;
    for (std::size_t at = 0; at < text.size();) {
        char32_t c = 0;
        const std::size_t length = decodeUtf8(text, at, c);
        if (length > 0 && !isControlCharacter(c)) {
            plain.append(text, at, length);
        }
        at += length > 0 ? length : 1;
    }
    return plain;
}

// `shown` without its escapes (a backslash, then a letter and for \x and \u their digits).
std::string withoutEscapes(const std::string& shown) {
    std::string plain;
    for (std::size_t at = 0; at < shown.size();) {
        if (shown[at] != '\\') {
            plain += shown[at++];
            continue;
        }
        const char kind = at + 1 < shown.size() ? shown[at + 1] : ' ';
        at += kind == 'x' ? 4 : kind == 'u' ? 6 : 2;
    }
    return plain;
}

}  // namespace

// Any bytes, as a file or a name could hold them, shown by velmora-batch: what it prints is
// valid UTF-8 without a control or a bidirectional control (so no line break either), and
// every character that needs no escape comes out as it went in.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string shown = batch::printable(text);
    for (std::size_t at = 0; at < shown.size();) {
        char32_t c = 0;
        const std::size_t length = decodeUtf8(shown, at, c);
        require(length > 0 && !isControlCharacter(c));
        at += length;
    }
    // A backslash of the text's own reads like an escape.
    if (text.find('\\') == std::string::npos) {
        require(withoutEscapes(shown) == plainCharacters(text));
    }
    return 0;
}
