#pragma once

#include <stdexcept>
#include <string>

// Errors the run-time raises (range, overflow, conversion, input/output). They abandon the
// handler that raised them; the application object reports them in its error box.
class RunTimeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;

    // Where the error arose, for reports that can name it (velmora-batch). The message shown
    // in the error box stays the run-time's own.
    const std::string& file() const { return m_file; }
    long long line() const { return m_line; }
    void setLocation(const std::string& file, long long line);

private:
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

// An input/output error for `path` from the errno value of the failed call.
InOutError inOutErrorFor(const std::string& action, const std::string& path, int errorNumber);
