#pragma once

#include <string>
#include <string_view>

// Writes a file so that nothing is ever half-written: the text goes to a temporary file in
// the target's folder, which replaces the target only when it is complete and closed. On
// any failure the target stays as it was and the temporary file is removed.
class AtomicFileWriter {
public:
    // Claims the target: throws InOutError when it could not be created (missing folder,
    // no permission, a read-only file or a folder of that name).
    explicit AtomicFileWriter(const std::string& target);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Both return false once anything failed; the target is then untouched.
    bool write(std::string_view data);
    bool commit();

    // The errno value of the first failure, 0 when there was none.
    int error() const { return m_error; }

private:
    void discard();
    void fail(int errorNumber);

    std::string m_destination;
    std::string m_temporary;
    int m_fd = -1;
    bool m_failed = false;
    int m_error = 0;
};
