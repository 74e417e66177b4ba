#include "platform/VersionInfo.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/TestFiles.h"

namespace {

std::string recordBytes(const VersionRecord& record) {
    return std::string(reinterpret_cast<const char*>(&record), sizeof record);
}

const VersionRecord Record =
    makeVersionRecord({1, 0, 6, 1}, 0x3F, VS_FF_DEBUG, "040904E4",
                      {{"ProductName", "VELMORA"}, {"FileVersion", "1.0.6.1"}, {"Comments", ""}});

}  // namespace

TEST(VersionInfo, RecordInsideAnyFileIsFoundAndQueried) {
    TempDir dir;
    // The marker alone, as the reader's own constant data holds it, is not a record.
    const std::string file =
        dir.write("program", std::string("junk") + std::string(VersionRecordMarker, 16) +
                                 "more junk" + recordBytes(Record) + "tail");
    const uint32_t size = GetFileVersionInfoSizeA(file);
    ASSERT_EQ(size, sizeof(VersionRecord));
    std::vector<char> buffer;
    ASSERT_TRUE(GetFileVersionInfoA(file, size, buffer));
    const void* value = nullptr;
    uint32_t length = 0;
    ASSERT_TRUE(VerQueryValueA(buffer, "\\", &value, &length));
    ASSERT_EQ(length, sizeof(FixedFileInfo));
    const auto* fixed = static_cast<const FixedFileInfo*>(value);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00060001u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00060001u);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed->dwFileFlags, VS_FF_DEBUG);
    EXPECT_EQ(fixed->dwFileOS, VOS_WINDOWS32);
    EXPECT_EQ(fixed->dwFileType, VFT_APP);

    ASSERT_TRUE(VerQueryValueA(buffer, "\\StringFileInfo\\040904E4\\FileVersion", &value, &length));
    EXPECT_STREQ(static_cast<const char*>(value), "1.0.6.1");
    ASSERT_TRUE(VerQueryValueA(buffer, "\\StringFileInfo\\040904E4\\Comments", &value, &length));
    EXPECT_STREQ(static_cast<const char*>(value), "");
    EXPECT_FALSE(VerQueryValueA(buffer, "\\StringFileInfo\\040904E4\\Missing", &value, &length));
    EXPECT_FALSE(
        VerQueryValueA(buffer, "\\StringFileInfo\\04070000\\ProductName", &value, &length));
}

TEST(VersionInfo, FilesWithoutARecordHaveSizeZero) {
    TempDir dir;
    EXPECT_EQ(GetFileVersionInfoSizeA(dir.write("plain", "no record here")), 0u);
    EXPECT_EQ(GetFileVersionInfoSizeA(dir.write("marker", std::string(VersionRecordMarker, 16))),
              0u);
    std::string damaged = recordBytes(Record);
    damaged[20] ^= 0x55;
    EXPECT_EQ(GetFileVersionInfoSizeA(dir.write("damaged", damaged)), 0u);
    EXPECT_EQ(GetFileVersionInfoSizeA(dir.file("missing")), 0u);
    std::vector<char> buffer;
    EXPECT_FALSE(GetFileVersionInfoA(dir.file("missing"), 0, buffer));
}

TEST(VersionInfo, TheFileVersionReadsAsFourNumbers) {
    TempDir dir;
    const auto info = readFixedFileInfo(dir.write("program", "head" + recordBytes(Record)));
    ASSERT_TRUE(info);
    EXPECT_EQ(fileVersionText(*info), "1.0.6.1");
    EXPECT_FALSE(readFixedFileInfo(dir.write("plain", "no record here")));
    EXPECT_FALSE(readFixedFileInfo(dir.file("missing")));
}
