#pragma once

// Bytes held in memory as a file that can be opened by its name, for a library that reads a
// file piece by piece but takes bytes in memory as one piece.

#include <optional>
#include <string>

class InMemoryFile {
public:
    // Nothing when the system cannot make one.
    static std::optional<InMemoryFile> of(const std::string& bytes);

    InMemoryFile(InMemoryFile&& other) noexcept;
    InMemoryFile& operator=(InMemoryFile&&) = delete;
    ~InMemoryFile();

    const std::string& name() const { return m_name; }

private:
    explicit InMemoryFile(int fd);

    int m_fd;
    std::string m_name;
};
