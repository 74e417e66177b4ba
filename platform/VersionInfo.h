#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The program's version record, embedded in its executable at build time and read back
// from the file at run time, with the three queries of the platform's version service.

struct FixedFileInfo {
    uint32_t dwSignature;
    uint32_t dwStrucVersion;
    uint32_t dwFileVersionMS;
    uint32_t dwFileVersionLS;
    uint32_t dwProductVersionMS;
    uint32_t dwProductVersionLS;
    uint32_t dwFileFlagsMask;
    uint32_t dwFileFlags;
    uint32_t dwFileOS;
    uint32_t dwFileType;
    uint32_t dwFileSubtype;
    uint32_t dwFileDateMS;
    uint32_t dwFileDateLS;
};

inline constexpr uint32_t FixedFileInfoSignature = 0xFEEF04BD;
inline constexpr uint32_t VS_FF_DEBUG = 0x01;
inline constexpr uint32_t VS_FF_PRERELEASE = 0x02;
inline constexpr uint32_t VS_FF_PATCHED = 0x04;
inline constexpr uint32_t VS_FF_PRIVATEBUILD = 0x08;
inline constexpr uint32_t VS_FF_SPECIALBUILD = 0x20;
inline constexpr uint32_t VOS_WINDOWS32 = 0x4;
inline constexpr uint32_t VFT_APP = 0x1;

// The marker opens a record; the string table is the language block's key followed by
// NUL-separated key/value pairs and an empty key.
inline constexpr char VersionRecordMarker[16] = "VELMORA-VERINFO";
inline constexpr std::size_t VersionStringsSize = 480;

struct VersionRecord {
    char marker[16];
    uint32_t size;
    FixedFileInfo fixed;
    char strings[VersionStringsSize];
};

struct VersionNumber {
    uint16_t major, minor, release, build;
};

struct VersionString {
    std::string_view key;
    std::string_view value;
};

constexpr VersionRecord makeVersionRecord(VersionNumber version, uint32_t flagsMask, uint32_t flags,
                                          std::string_view language,
                                          std::initializer_list<VersionString> strings) {
    VersionRecord record{};
    for (std::size_t i = 0; i < sizeof record.marker; ++i) {
        record.marker[i] = VersionRecordMarker[i];
    }
    record.size = sizeof(VersionRecord);
    const uint32_t ms = (uint32_t{version.major} << 16) | version.minor;
    const uint32_t ls = (uint32_t{version.release} << 16) | version.build;
    record.fixed = {FixedFileInfoSignature, 0x00010000, ms, ls, ms, ls, flagsMask, flags,
                    VOS_WINDOWS32,          VFT_APP,    0,  0,  0};
    std::size_t at = 0;
    auto put = [&](std::string_view text) {
        for (char c : text) {
            record.strings[at++] = c;
        }
        record.strings[at++] = '\0';
    };
    put(language);
    for (const VersionString& entry : strings) {
        put(entry.key);
        put(entry.value);
    }
    put("");
    return record;
}

// Size of the version record in the file, 0 when the file has none (or cannot be read).
uint32_t GetFileVersionInfoSizeA(const std::string& path);
// Copies the record into `buffer` (resized to `size`); false when there is none.
bool GetFileVersionInfoA(const std::string& path, uint32_t size, std::vector<char>& buffer);
// "\\" gives the FixedFileInfo; "\\StringFileInfo\\<language>\\<key>" a NUL-terminated
// string.
bool VerQueryValueA(const std::vector<char>& buffer, std::string_view subBlock, const void** value,
                    uint32_t* length);

// The fixed part of the record in the file, read with the three queries above; nothing when
// the file carries none.
std::optional<FixedFileInfo> readFixedFileInfo(const std::string& path);
// The file version in its usual form: 1.0.6.1.
std::string fileVersionText(const FixedFileInfo& info);
