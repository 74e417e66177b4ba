#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

// Access lists in the kernel's extended-attribute form (system.posix_acl_access): version 2,
// then entries of tag, permissions and id, sorted by tag and id.
struct AclEntry {
    uint16_t tag;
    uint16_t permissions;
    uint32_t id;
};
inline constexpr uint16_t AclUserObject = 0x01;
inline constexpr uint16_t AclUser = 0x02;
inline constexpr uint16_t AclGroupObject = 0x04;
inline constexpr uint16_t AclMask = 0x10;
inline constexpr uint16_t AclOther = 0x20;
inline constexpr uint32_t AclNoId = 0xFFFFFFFF;

inline std::string accessList(const std::vector<AclEntry>& entries) {
    std::string bytes;
    const auto put = [&bytes](auto value) {
        bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
    };
    put(uint32_t{2});
    for (const AclEntry& entry : entries) {
        put(entry.tag);
        put(entry.permissions);
        put(entry.id);
    }
    return bytes;
}

// Read and write for the owner, read for one other user, nothing for the group or others:
// the mode shows 0640, whose group bits are the list's mask.
inline std::string namedReaderOnly(uid_t reader) {
    return accessList({{AclUserObject, 6, AclNoId},
                       {AclUser, 4, reader},
                       {AclGroupObject, 0, AclNoId},
                       {AclMask, 4, AclNoId},
                       {AclOther, 0, AclNoId}});
}
