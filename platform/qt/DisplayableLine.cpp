#include "platform/qt/DisplayableLine.h"

#include "platform/Utf8.h"

namespace {

constexpr char32_t Replacement = QChar::ReplacementCharacter;

char32_t visibleCharacter(char32_t c, Tabs tabs) {
    constexpr char32_t ControlPictures = 0x2400;
    constexpr char32_t DeletePicture = 0x2421;
    if (c == '\t' && tabs == Tabs::Kept) {
        return c;
    }
    if (c < 0x20) {
        return ControlPictures + c;
    }
    if (c == 0x7F) {
        return DeletePicture;
    }
    return isControlCharacter(c) ? Replacement : c;
}

}  // namespace

QString visibleText(std::string_view utf8, Tabs tabs) {
    std::u32string shown;
    shown.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        char32_t c = 0;
        const std::size_t length = decodeUtf8(utf8, at, c);
        shown += length == 0 ? Replacement : visibleCharacter(c, tabs);
        at += length == 0 ? 1 : length;
    }
    return QString::fromStdU32String(shown);
}

QString displayableLine(const std::string& line, int limit) {
    // Decode a little more than is shown so a multi-byte character at the cut stays whole.
    const std::string_view head =
        std::string_view(line).substr(0, static_cast<std::size_t>(limit) * 4);
    QString text = visibleText(head, Tabs::Kept);
    const bool cut = text.size() > limit || head.size() < line.size();
    text.truncate(limit);
    if (cut) {
        text += QStringLiteral("...");
    }
    return text;
}
