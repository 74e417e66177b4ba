#include "platform/qt/DisplayableLine.h"

QString displayableLine(const std::string& line, int limit) {
    // Decode a little more than is shown so a multi-byte character at the cut stays whole.
    const std::string head = line.substr(0, static_cast<std::size_t>(limit) * 4);
    QString text = QString::fromUtf8(head.data(), static_cast<qsizetype>(head.size()));
    const bool cut = text.size() > limit || head.size() < line.size();
    text.truncate(limit);
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control && c != QLatin1Char('\t')) {
            c = QChar::ReplacementCharacter;
        }
    }
    if (cut) {
        text += QStringLiteral("...");
    }
    return text;
}
