#pragma once

#include <sys/types.h>
#include <ctime>
#include <optional>
#include <string>

// What a file was when it was looked at: which file, how long, when last written and when
// last changed. Any write to the file, or another file put in its place, gives another stamp.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    bool operator==(const FileStamp& other) const;
};

// None when the file cannot be looked at (gone, no permission).
std::optional<FileStamp> fileStamp(const std::string& path);

// The file is there but is no longer what `chosen` recorded.
bool changedSince(const std::string& path, const std::optional<FileStamp>& chosen);
