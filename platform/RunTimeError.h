#pragma once

#include <stdexcept>
#include <string>

// Errors the run-time raises (range, overflow, conversion, input/output). They abandon the
// handler that raised them; the application object reports them in its error box.
class RunTimeError : public std::runtime_error {
public:
    explicit RunTimeError(const std::string& message)
        : std::runtime_error(message), m_message(message) {}

    // The whole message: what() stops at the first NUL, and a field read from a file may
    // hold one.
    const std::string& message() const { return m_message; }

    // Where the error arose, for reports that can name it (velmora-batch). The message shown
    // in the error box stays the run-time's own.
    const std::string& file() const { return m_file; }
    long long line() const { return m_line; }
    void setLocation(const std::string& file, long long line);

private:
    std::string m_message;
    std::string m_file;
    long long m_line = 0;
};

class RangeError : public RunTimeError {
public:
    RangeError() : RunTimeError("Range check error") {}
};

class IntOverflowError : public RunTimeError {
public:
    IntOverflowError() : RunTimeError("Integer overflow") {}
};

class ConversionError : public RunTimeError {
public:
    using RunTimeError::RunTimeError;
};

class InOutError : public RunTimeError {
public:
    using RunTimeError::RunTimeError;
};

// The text of the error box: the message with a full stop appended when it has none.
std::string errorBoxText(const std::string& message);
// The message after the place it arose, "file:line: message", as velmora-batch writes it; the
// message alone when it has no place.
std::string placedMessage(const RunTimeError& error);

// An input/output error for `path` from the errno value of the failed call, located at the
// file.
InOutError inOutErrorFor(const std::string& action, const std::string& path, int errorNumber);
// An input/output error for `path` with the reason in words, located at the file and line
// (0: the file as a whole).
InOutError inOutErrorFor(const std::string& action, const std::string& path,
                         const std::string& reason, long long line = 0);
