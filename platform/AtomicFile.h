#pragma once

#include <sys/stat.h>

#include <string>
#include <string_view>

#include "platform/UniqueFd.h"

// Writes a file so that nothing is ever half-written: the text goes to a file without a name
// in the target's folder (a hidden temporary one where the file system has no such files),
// which takes the target's place only when it is complete and on disk. On any failure, or
// when the process is killed, the target stays as it was and no temporary file is left
// (except a hidden one, when killed, where the file system has no files without names).
class AtomicFileWriter {
public:
    // Named is what a file system without unnamed files gets anyway; asking for it lets that
    // way be exercised on any file system.
    enum class Temporary { Unnamed, Named };

    // Claims the target: throws InOutError when it could not be created (empty name, missing
    // folder, no permission, a read-only file or file system, a folder or other non-file of
    // that name, a symbolic link that another user owns, one on the way that the kernel's
    // rule for shared folders refuses, a loop of links, extended attributes of the old file
    // that the new one cannot be given). A link the user owns is followed, also when it
    // dangles, and stays a link. The temporary file has its final owner, mode and attributes
    // before anything is written to it, and a named one is never open to others before.
    explicit AtomicFileWriter(const std::string& target, Temporary temporary = Temporary::Unnamed);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Both return false once anything failed; the target is then untouched.
    bool write(std::string_view data);
    // Puts the file in place and syncs the folder so the new name survives a power loss.
    bool commit();

    // The errno value of the first failure, 0 when there was none.
    int error() const { return m_error; }

private:
    void createTemporary(Temporary temporary, const std::string& target);
    // Gives the temporary file what the existing target has: owner, group, attributes, mode.
    void takeOverAccess(const struct stat& existing, const std::string& target);
    // Puts the unnamed file in the target's place.
    void linkInPlace();
    void syncFolder();
    void discard();
    void fail(int errorNumber);

    UniqueFd m_folder;
    // The target's name in the folder.
    std::string m_name;
    // The temporary file's name; empty while the file has none.
    std::string m_temporary;
    int m_fd = -1;
    bool m_replacing = false;
    bool m_failed = false;
    int m_error = 0;
};
