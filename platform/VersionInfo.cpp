#include "platform/VersionInfo.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

// The marker also stands in the reader's own constant data; only a match followed by a
// valid record counts.
std::vector<char> findRecord(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return {};
    }
    const std::vector<char> content((std::istreambuf_iterator<char>(file)),
                                    std::istreambuf_iterator<char>());
    const char* const first = VersionRecordMarker;
    const char* const last = VersionRecordMarker + sizeof VersionRecordMarker;
    auto at = content.begin();
    while ((at = std::search(at, content.end(), first, last)) != content.end()) {
        const auto offset = static_cast<std::size_t>(at - content.begin());
        if (content.size() - offset >= sizeof(VersionRecord)) {
            VersionRecord record;
            std::memcpy(&record, content.data() + offset, sizeof record);
            if (record.size == sizeof(VersionRecord) &&
                record.fixed.dwSignature == FixedFileInfoSignature &&
                record.strings[VersionStringsSize - 1] == '\0') {
                return {at, at + sizeof(VersionRecord)};
            }
        }
        ++at;
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
