#include "platform/VersionInfo.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>

#include <cstring>

#include "platform/UniqueFd.h"

namespace {

// A whole executable, mapped rather than read: the record lies in its constant data, and
// the debugging sections after it (tens of megabytes) are never touched.
class MappedFile {
public:
    explicit MappedFile(const std::string& path) {
        const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
        struct stat status {};
        if (fd.get() < 0 || ::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
            status.st_size <= 0) {
            return;
        }
        void* data = ::mmap(nullptr, static_cast<std::size_t>(status.st_size), PROT_READ,
                            MAP_PRIVATE, fd.get(), 0);
        if (data != MAP_FAILED) {
            m_data = static_cast<const char*>(data);
            m_size = static_cast<std::size_t>(status.st_size);
        }
    }
    ~MappedFile() {
        if (m_data != nullptr) {
            ::munmap(const_cast<char*>(m_data), m_size);
        }
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    const char* data() const { return m_data; }
    std::size_t size() const { return m_size; }

private:
    const char* m_data = nullptr;
    std::size_t m_size = 0;
};

// The marker also stands in the reader's own constant data; only a match followed by a
// valid record counts.
std::vector<char> findRecord(const std::string& path) {
    const MappedFile file(path);
    const char* const end = file.data() + file.size();
    for (const char* at = file.data(); at != nullptr && at < end; ++at) {
        at = static_cast<const char*>(
            ::memmem(at, end - at, VersionRecordMarker, sizeof VersionRecordMarker));
        if (at == nullptr) {
            break;
        }
        if (static_cast<std::size_t>(end - at) >= sizeof(VersionRecord)) {
            VersionRecord record;
            std::memcpy(&record, at, sizeof record);
            if (record.size == sizeof(VersionRecord) &&
                record.fixed.dwSignature == FixedFileInfoSignature &&
                record.strings[VersionStringsSize - 1] == '\0') {
                return {at, at + sizeof(VersionRecord)};
            }
        }
    }
    return {};
}

const char* nextString(const char* text, const char* end) {
    const char* stop = static_cast<const char*>(std::memchr(text, '\0', end - text));
    return stop ? stop + 1 : end;
}

}  // namespace

uint32_t GetFileVersionInfoSizeA(const std::string& path) {
    return static_cast<uint32_t>(findRecord(path).size());
}

bool GetFileVersionInfoA(const std::string& path, uint32_t size, std::vector<char>& buffer) {
    std::vector<char> record = findRecord(path);
    if (record.empty() || size < record.size()) {
        return false;
    }
    buffer = std::move(record);
    return true;
}

bool VerQueryValueA(const std::vector<char>& buffer, std::string_view subBlock, const void** value,
                    uint32_t* length) {
    if (buffer.size() < sizeof(VersionRecord)) {
        return false;
    }
    const auto* record = reinterpret_cast<const VersionRecord*>(buffer.data());
    if (subBlock == "\\") {
        *value = &record->fixed;
        *length = sizeof(FixedFileInfo);
        return true;
    }
    constexpr std::string_view prefix = "\\StringFileInfo\\";
    if (subBlock.substr(0, prefix.size()) != prefix) {
        return false;
    }
    const std::string_view rest = subBlock.substr(prefix.size());
    const std::size_t slash = rest.find('\\');
    if (slash == std::string_view::npos) {
        return false;
    }
    const std::string_view language = rest.substr(0, slash);
    const std::string_view key = rest.substr(slash + 1);
    const char* text = record->strings;
    const char* const end = record->strings + VersionStringsSize;
    if (language != text) {
        return false;
    }
    text = nextString(text, end);
    while (text < end && *text != '\0') {
        const char* entryValue = nextString(text, end);
        if (key == text && entryValue < end) {
            *value = entryValue;
            *length = static_cast<uint32_t>(std::strlen(entryValue) + 1);
            return true;
        }
        text = nextString(entryValue, end);
    }
    return false;
}

std::optional<FixedFileInfo> readFixedFileInfo(const std::string& path) {
    const uint32_t size = GetFileVersionInfoSizeA(path);
    if (size == 0) {
        return std::nullopt;
    }
    std::vector<char> buffer(size);
    const void* value = nullptr;
    uint32_t length = 0;
    if (!GetFileVersionInfoA(path, size, buffer) ||
        !VerQueryValueA(buffer, "\\", &value, &length) || length < sizeof(FixedFileInfo)) {
        return std::nullopt;
    }
    FixedFileInfo info;
    std::memcpy(&info, value, sizeof info);
    return info;
}

std::string fileVersionText(const FixedFileInfo& info) {
    return std::to_string(info.dwFileVersionMS >> 16) + "." +
           std::to_string(info.dwFileVersionMS & 0xFFFF) + "." +
           std::to_string(info.dwFileVersionLS >> 16) + "." +
           std::to_string(info.dwFileVersionLS & 0xFFFF);
}
