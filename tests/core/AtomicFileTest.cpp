#include "platform/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include "platform/RunTimeError.h"
#include "tests/support/TestFiles.h"

namespace {

// Files beyond `bytes` cannot grow while this lives: a disk that fills up mid-write.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limited = m_saved;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }

private:
    rlimit m_saved{};
};

}  // namespace

TEST(AtomicFileWriter, ReplacesTheTargetOnlyWhenCommitted) {
    TempDir dir;
    const std::string target = dir.write("out.EUD", "old\r\n");
    {
        AtomicFileWriter writer(target);
        ASSERT_TRUE(writer.write("new\r\n"));
        EXPECT_EQ(readBytes(target), "old\r\n");
        ASSERT_TRUE(writer.commit());
    }
    EXPECT_EQ(readBytes(target), "new\r\n");
    EXPECT_EQ(folderListing(dir.path()), "out.EUD\n");
}

TEST(AtomicFileWriter, AbandonedWriteLeavesTheOldFileAndNoTemporary) {
    TempDir dir;
    const std::string target = dir.write("out.EUD", "old\r\n");
    {
        AtomicFileWriter writer(target);
        writer.write("partial");
    }
    EXPECT_EQ(readBytes(target), "old\r\n");
    EXPECT_EQ(folderListing(dir.path()), "out.EUD\n");
}

TEST(AtomicFileWriter, FullDiskFailsTheWriteAndKeepsTheOldFile) {
    TempDir dir;
    const std::string target = dir.write("out.EUD", "old\r\n");
    AtomicFileWriter writer(target);
    {
        FileSizeLimit limit(1000);
        EXPECT_FALSE(writer.write(std::string(5000, '7')));
    }
    EXPECT_FALSE(writer.commit());
    EXPECT_NE(writer.error(), 0);
    EXPECT_EQ(readBytes(target), "old\r\n");
    EXPECT_EQ(folderListing(dir.path()), "out.EUD\n");
}

TEST(AtomicFileWriter, NewFileGetsTheUsualPermissions) {
    TempDir dir;
    const mode_t mask = umask(022);
    {
        AtomicFileWriter writer(dir.file("new.EUD"));
        writer.write("1\r\n");
        ASSERT_TRUE(writer.commit());
    }
    umask(mask);
    struct stat status {};
    ASSERT_EQ(stat(dir.file("new.EUD").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0644u);
}

TEST(AtomicFileWriter, TargetsThatCannotBeCreatedAreReportedAtOnce) {
    TempDir dir;
    const std::string readOnly = dir.write("locked.EUD", "keep\r\n");
    chmod(readOnly.c_str(), 0444);
    EXPECT_THROW(AtomicFileWriter{readOnly}, InOutError);
    EXPECT_THROW(AtomicFileWriter{dir.file("no-such-folder/out.EUD")}, InOutError);
    EXPECT_THROW(AtomicFileWriter{dir.path()}, InOutError);
    EXPECT_EQ(readBytes(readOnly), "keep\r\n");
    EXPECT_EQ(folderListing(dir.path()), "locked.EUD\n");
}

TEST(AtomicFileWriter, WritingThroughALinkReplacesTheLinkedFile) {
    TempDir dir;
    const std::string real = dir.write("real.EUD", "old\r\n");
    const std::string link = dir.file("link.EUD");
    ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
    AtomicFileWriter writer(link);
    writer.write("new\r\n");
    ASSERT_TRUE(writer.commit());
    EXPECT_EQ(readBytes(real), "new\r\n");
    struct stat status {};
    ASSERT_EQ(lstat(link.c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
}
