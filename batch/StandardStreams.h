#pragma once

#include <array>
#include <ostream>
#include <streambuf>

namespace batch {

// A standard stream the caller closed (`>&-`) is opened again on /dev/null the wrong way
// round, for reading where it is written and for writing where it is read: no file the
// command opens can then take its number, and using it fails as using a closed stream does.
void occupyClosedStandardStreams();

// Standard output that keeps why its first write failed, which the stream library forgets.
class StandardOutput : public std::streambuf {
public:
    StandardOutput();
    // Writes what is left; 0, or the errno value of the first write that failed.
    int finish();

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    bool drain();

    std::array<char, 1 << 16> m_buffer;
    int m_error = 0;
};

// A failure to write standard output is one line on `err` and the bad-input status, unless
// the command had failed already.
int finishStandardOutput(int status, StandardOutput& out, std::ostream& err);

}  // namespace batch
