#include "platform/RunTimeError.h"

#include <cstring>

void RunTimeError::setLocation(const std::string& file, long long line) {
    m_file = file;
    m_line = line;
}

std::string errorBoxText(const std::string& message) {
    if (!message.empty() && message.back() == '.') {
        return message;
    }
    return message + ".";
}

std::string placedMessage(const RunTimeError& error) {
    if (error.file().empty()) {
        return error.message();
    }
    const std::string line = error.line() > 0 ? ":" + std::to_string(error.line()) : "";
    return error.file() + line + ": " + error.message();
}

InOutError inOutErrorFor(const std::string& action, const std::string& path, int errorNumber) {
    return inOutErrorFor(action, path, std::strerror(errorNumber));
}

InOutError inOutErrorFor(const std::string& action, const std::string& path,
                         const std::string& reason, long long line) {
    InOutError error(action + " \"" + path + "\": " + reason);
    error.setLocation(path, line);
    return error;
}
