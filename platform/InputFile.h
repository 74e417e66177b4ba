#pragma once

// How every input is opened: the text files, and the road map that a library reads by name.

#include <cstddef>
#include <string>

#include "platform/UniqueFd.h"

enum class InputKind {
    // What the windows read: a regular file, checked on the open descriptor, so that a file
    // swapped for a named pipe after it was chosen is refused at once, never waited for.
    RegularFile,
    // What velmora-batch reads: also a pipe, whose writer may come later and is waited for,
    // or a device.
    AnyFile,
};

// Throws InOutError naming the file when it cannot be opened or is not of the kind asked for.
UniqueFd openInput(const std::string& path, InputKind kind);

// An input for a library that opens files by their names, read as this program opened it: a
// regular file by the name of its open descriptor, so the library reads the very file that
// was checked, never one put in its place; anything else (a pipe, a device) is first copied
// whole into memory, up to MaxPipedBytes, and read from there.
class NamedInput {
public:
    static constexpr std::size_t MaxPipedBytes = std::size_t{1} << 30;

    // Throws InOutError naming `path`.
    NamedInput(const std::string& path, InputKind kind);

    const std::string& name() const { return m_name; }
    std::size_t size() const { return m_size; }
    // Up to `count` bytes from its start.
    std::string head(std::size_t count) const;
    // Closes what else of this process has this file open: what a library opened by name
    // and left open when it failed. Only while no other thread may open this file.
    void closeOtherOpenings() const;

private:
    UniqueFd m_fd;
    std::string m_name;
    std::size_t m_size = 0;
};
