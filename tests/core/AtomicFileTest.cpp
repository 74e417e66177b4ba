#include "platform/AtomicFile.h"

#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/RunTimeError.h"
#include "tests/support/AccessLists.h"
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

using Temporary = AtomicFileWriter::Temporary;
constexpr Temporary BothKinds[] = {Temporary::Unnamed, Temporary::Named};

const char* kindName(Temporary kind) {
    return kind == Temporary::Unnamed ? "unnamed" : "named";
}

bool save(const std::string& target, const std::string& bytes,
          Temporary kind = Temporary::Unnamed) {
    AtomicFileWriter writer(target, kind);
    return writer.write(bytes) && writer.commit();
}

// A child process starts writing `target` and is killed mid-write as kill -9 kills it, so
// nothing of the writer's own clean-up runs.
void killedMidWrite(const std::string& target) {
    const pid_t child = fork();
    if (child == 0) {
        try {
            AtomicFileWriter writer(target);
            writer.write(std::string(100000, '7'));
            raise(SIGKILL);
        } catch (...) {
        }
        _exit(3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
}

bool isLink(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode);
}

// Another user's uid and gid for links and files planted by someone else.
constexpr uid_t OtherUser = 4321;
constexpr gid_t OtherGroup = 4322;

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
    for (const Temporary kind : BothKinds) {
        TempDir dir;
        const std::string target = dir.write("out.EUD", "old\r\n");
        {
            AtomicFileWriter writer(target, kind);
            writer.write("partial");
        }
        EXPECT_EQ(readBytes(target), "old\r\n") << kindName(kind);
        EXPECT_EQ(folderListing(dir.path()), "out.EUD\n") << kindName(kind);
    }
}

TEST(AtomicFileWriter, FullDiskFailsTheWriteAndKeepsTheOldFile) {
    for (const Temporary kind : BothKinds) {
        TempDir dir;
        const std::string target = dir.write("out.EUD", "old\r\n");
        AtomicFileWriter writer(target, kind);
        {
            FileSizeLimit limit(1000);
            EXPECT_FALSE(writer.write(std::string(5000, '7'))) << kindName(kind);
        }
        EXPECT_FALSE(writer.commit()) << kindName(kind);
        EXPECT_NE(writer.error(), 0) << kindName(kind);
        EXPECT_EQ(readBytes(target), "old\r\n") << kindName(kind);
        EXPECT_EQ(folderListing(dir.path()), "out.EUD\n") << kindName(kind);
    }
}

TEST(AtomicFileWriter, NewFileGetsTheUsualPermissions) {
    TempDir dir;
    const mode_t mask = umask(022);
    for (const Temporary kind : BothKinds) {
        ASSERT_TRUE(save(dir.file(kindName(kind)), "1\r\n", kind));
    }
    umask(mask);
    for (const Temporary kind : BothKinds) {
        struct stat status {};
        ASSERT_EQ(stat(dir.file(kindName(kind)).c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0644u) << kindName(kind);
    }
    EXPECT_EQ(folderListing(dir.path()), "named\nunnamed\n");
}

// The set-group-id bit included, which changing the owner clears.
TEST(AtomicFileWriter, AReplacedFileKeepsItsModeOwnerAndGroup) {
    const bool root = geteuid() == 0;
    for (const Temporary kind : BothKinds) {
        TempDir dir;
        const std::string target = dir.write("out.EUD", "old\r\n");
        if (root) {
            ASSERT_EQ(chown(target.c_str(), OtherUser, OtherGroup), 0);
        }
        ASSERT_EQ(chmod(target.c_str(), 02664), 0);
        ASSERT_TRUE(save(target, "new\r\n", kind));
        struct stat status {};
        ASSERT_EQ(stat(target.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 02664u) << kindName(kind);
        if (root) {
            EXPECT_EQ(status.st_uid, OtherUser) << kindName(kind);
            EXPECT_EQ(status.st_gid, OtherGroup) << kindName(kind);
        }
        EXPECT_EQ(readBytes(target), "new\r\n");
    }
}

// Only a file without a name vanishes with the process; a named temporary file, where the
// file system has no other kind, stays behind like any file.
TEST(AtomicFileWriter, AKillMidWriteLeavesTheOldFileAndNoTemporary) {
    for (const bool existing : {true, false}) {
        TempDir dir;
        const std::string target = dir.file("out.EUD");
        if (existing) {
            dir.write("out.EUD", "old\r\n");
        }
        killedMidWrite(target);
        EXPECT_EQ(folderListing(dir.path()), existing ? "out.EUD\n" : "")
            << (existing ? "replacing" : "new");
        if (existing) {
            EXPECT_EQ(readBytes(target), "old\r\n");
        }
    }
}

TEST(AtomicFileWriter, TheLongestNamesAreWrittenAndReplaced) {
    for (const Temporary kind : BothKinds) {
        for (const std::size_t length : {250, 255}) {
            TempDir dir;
            const std::string target = dir.file(std::string(length, 'n'));
            ASSERT_TRUE(save(target, "first\r\n", kind)) << kindName(kind) << length;
            ASSERT_TRUE(save(target, "second\r\n", kind)) << kindName(kind) << length;
            EXPECT_EQ(readBytes(target), "second\r\n");
            EXPECT_EQ(folderListing(dir.path()), std::string(length, 'n') + "\n");
        }
    }
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

TEST(AtomicFileWriter, AnEmptyNameOrANonFileIsNeverReplaced) {
    TempDir dir;
    const std::string pipe = dir.file("pipe.EUD");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0666), 0);
    EXPECT_THROW(AtomicFileWriter{""}, InOutError);
    try {
        AtomicFileWriter writer(pipe);
        FAIL() << "a pipe was claimed";
    } catch (const InOutError& error) {
        EXPECT_EQ(error.message(), "Cannot create file \"" + pipe + "\": not a regular file");
        EXPECT_EQ(error.file(), pipe);
    }
    struct stat status {};
    ASSERT_EQ(lstat(pipe.c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
    EXPECT_EQ(folderListing(dir.path()), "pipe.EUD\n");
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

TEST(AtomicFileWriter, AnOwnedLinkThatDanglesCreatesTheFileWhereItPoints) {
    TempDir dir;
    ASSERT_EQ(mkdir(dir.file("sub").c_str(), 0755), 0);
    const std::string link = dir.file("link.EUD");
    ASSERT_EQ(symlink("sub/real.EUD", link.c_str()), 0);
    ASSERT_TRUE(save(link, "new\r\n"));
    EXPECT_EQ(readBytes(dir.file("sub/real.EUD")), "new\r\n");
    EXPECT_TRUE(isLink(link));
}

TEST(AtomicFileWriter, ALoopOfLinksIsAnErrorAndStaysAsItWas) {
    TempDir dir;
    const std::string first = dir.file("a.EUD");
    const std::string second = dir.file("b.EUD");
    const std::string self = dir.file("self.EUD");
    ASSERT_EQ(symlink("b.EUD", first.c_str()), 0);
    ASSERT_EQ(symlink("a.EUD", second.c_str()), 0);
    ASSERT_EQ(symlink("self.EUD", self.c_str()), 0);
    for (const std::string& link : {first, self}) {
        EXPECT_THROW(save(link, "new\r\n"), InOutError) << link;
    }
    EXPECT_TRUE(isLink(first) && isLink(second) && isLink(self));
    EXPECT_EQ(folderListing(dir.path()), "a.EUD\nb.EUD\nself.EUD\n");
}

// Only a privileged test can plant a link in another user's name.
TEST(AtomicFileWriter, ALinkThatAnotherUserOwnsIsRefusedAndNothingIsWritten) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to give a link to another user";
    }
    TempDir dir;
    const std::string victim = dir.write("victim.EUD", "precious\r\n");
    const std::string shared = dir.file("shared");
    ASSERT_EQ(mkdir(shared.c_str(), 01777), 0);
    ASSERT_EQ(chmod(shared.c_str(), 01777), 0);
    const std::string planted = shared + "/out.EUD";
    ASSERT_EQ(symlink(victim.c_str(), planted.c_str()), 0);
    ASSERT_EQ(lchown(planted.c_str(), OtherUser, OtherGroup), 0);
    // Reached through a link of the user's own, the planted one is still refused.
    const std::string own = dir.file("own.EUD");
    ASSERT_EQ(symlink(planted.c_str(), own.c_str()), 0);
    // So is one planted in a folder its group may write, which the kernel would follow.
    const std::string team = dir.file("team");
    ASSERT_EQ(mkdir(team.c_str(), 0775), 0);
    ASSERT_EQ(chown(team.c_str(), 0, OtherGroup), 0);
    const std::string plantedByTheGroup = team + "/out.EUD";
    ASSERT_EQ(symlink(victim.c_str(), plantedByTheGroup.c_str()), 0);
    ASSERT_EQ(lchown(plantedByTheGroup.c_str(), OtherUser, OtherGroup), 0);
    for (const std::string& target : {planted, own, plantedByTheGroup}) {
        try {
            AtomicFileWriter writer(target);
            FAIL() << "followed " << target;
        } catch (const InOutError& error) {
            EXPECT_EQ(error.message(), "Cannot create file \"" + target +
                                           "\": a symbolic link that belongs to another user");
        }
    }
    EXPECT_EQ(readBytes(victim), "precious\r\n");
    EXPECT_TRUE(isLink(planted));
    EXPECT_EQ(folderListing(shared), "out.EUD\n");
    EXPECT_EQ(folderListing(team), "out.EUD\n");
}

namespace {

const std::string NamedReaderOnly = namedReaderOnly(OtherUser);

std::string attribute(const std::string& path, const char* name) {
    std::vector<char> value(65536);
    const ssize_t size = lgetxattr(path.c_str(), name, value.data(), value.size());
    return size < 0 ? "(none: " + std::string(strerror(errno)) + ")"
                    : std::string(value.data(), static_cast<std::size_t>(size));
}

bool setAttribute(const std::string& path, const char* name, const std::string& value) {
    return lsetxattr(path.c_str(), name, value.data(), value.size(), 0) == 0;
}

// From here on in this process, changing a file's mode fails as it would on a file system
// that refuses it: what a temporary file was created with is then what it keeps.
bool refuseModeChanges() {
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_fchmod, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EPERM),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

}  // namespace

TEST(AtomicFileWriter, AReplacedFileKeepsItsAccessListAndExtendedAttributes) {
    for (const Temporary kind : BothKinds) {
        TempDir dir;
        const std::string target = dir.write("out.EUD", "old\r\n");
        ASSERT_TRUE(setAttribute(target, "system.posix_acl_access", NamedReaderOnly))
            << strerror(errno);
        ASSERT_TRUE(setAttribute(target, "user.origin", "survey 7"));
        ASSERT_TRUE(save(target, "new\r\n", kind)) << kindName(kind);
        EXPECT_EQ(readBytes(target), "new\r\n");
        EXPECT_EQ(attribute(target, "system.posix_acl_access"), NamedReaderOnly) << kindName(kind);
        EXPECT_EQ(attribute(target, "user.origin"), "survey 7") << kindName(kind);
        struct stat status {};
        ASSERT_EQ(stat(target.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 0640u) << kindName(kind);
        EXPECT_EQ(folderListing(dir.path()), "out.EUD\n");
    }
}

// A folder's default access list gives every new file an access list; the one that replaces a
// file without one must not gain it.
TEST(AtomicFileWriter, AReplacedFileGainsNoAccessListFromItsFolder) {
    for (const Temporary kind : BothKinds) {
        TempDir dir;
        const std::string target = dir.write("out.EUD", "old\r\n");
        ASSERT_EQ(chmod(target.c_str(), 0600), 0);
        ASSERT_TRUE(setAttribute(dir.path(), "system.posix_acl_default",
                                 accessList({{AclUserObject, 7, AclNoId},
                                             {AclUser, 7, OtherUser},
                                             {AclGroupObject, 5, AclNoId},
                                             {AclMask, 7, AclNoId},
                                             {AclOther, 5, AclNoId}})))
            << strerror(errno);
        ASSERT_TRUE(save(target, "new\r\n", kind)) << kindName(kind);
        EXPECT_EQ(attribute(target, "system.posix_acl_access"),
                  "(none: " + std::string(strerror(ENODATA)) + ")")
            << kindName(kind);
        struct stat status {};
        ASSERT_EQ(stat(target.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 0600u) << kindName(kind);
    }
}

// Where the final mode cannot be set, the new contents must not sit in a file more open than
// the old one: a temporary file that starts readable by others and is narrowed afterwards
// could be opened by them in between and read as it is written.
TEST(AtomicFileWriter, NewContentsAreNeverMoreOpenThanTheFileTheyReplace) {
    for (const Temporary kind : BothKinds) {
        TempDir dir;
        const std::string target = dir.write("secret.EUD", "old\r\n");
        ASSERT_EQ(chmod(target.c_str(), 0600), 0);
        const pid_t child = fork();
        if (child == 0) {
            umask(0);
            if (!refuseModeChanges()) {
                _exit(3);
            }
            try {
                _exit(save(target, "new\r\n", kind) ? 0 : 1);
            } catch (const InOutError&) {
                _exit(1);
            }
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 3) << kindName(kind);
        struct stat after {};
        ASSERT_EQ(stat(target.c_str(), &after), 0);
        EXPECT_EQ(after.st_mode & 07777, 0600u) << kindName(kind);
        if (WEXITSTATUS(status) == 1) {
            EXPECT_EQ(readBytes(target), "old\r\n") << kindName(kind);
        }
        EXPECT_EQ(folderListing(dir.path()), "secret.EUD\n") << kindName(kind);
    }
}

// The kernel's rule for folders that anyone may write and that have the sticky bit, applied
// to a link on the way to the target: followed only when it belongs to the user or to the
// folder's owner. Only a privileged test can give links and folders to others.
TEST(AtomicFileWriter, LinksOnTheWayFollowTheKernelsRuleForSharedFolders) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to give links and folders to another user";
    }
    const struct {
        mode_t folderMode;
        uid_t folderOwner;
        uid_t linkOwner;
        bool followed;
    } cases[] = {
        {01777, 0, OtherUser, false},        {01777, 0, 0, true},
        {01777, OtherUser, OtherUser, true}, {00777, 0, OtherUser, true},
        {01755, 0, OtherUser, true},
    };
    for (const auto& [folderMode, folderOwner, linkOwner, followed] : cases) {
        TempDir dir;
        ASSERT_EQ(mkdir(dir.file("elsewhere").c_str(), 0755), 0);
        const std::string victim = dir.write("elsewhere/out.EUD", "precious\r\n");
        const std::string shared = dir.file("shared");
        ASSERT_EQ(mkdir(shared.c_str(), 0), 0);
        ASSERT_EQ(chmod(shared.c_str(), folderMode), 0);
        ASSERT_EQ(chown(shared.c_str(), folderOwner, folderOwner), 0);
        const std::string link = shared + "/dir";
        ASSERT_EQ(symlink(dir.file("elsewhere").c_str(), link.c_str()), 0);
        ASSERT_EQ(lchown(link.c_str(), linkOwner, linkOwner), 0);
        const std::string described = "folder " + std::to_string(folderMode) + " of " +
                                      std::to_string(folderOwner) + ", link of " +
                                      std::to_string(linkOwner);
        for (const std::string& target : {link + "/out.EUD", link + "/../elsewhere/out.EUD"}) {
            if (followed) {
                EXPECT_TRUE(save(target, "new\r\n")) << described;
                EXPECT_EQ(readBytes(victim), "new\r\n") << described;
                dir.write("elsewhere/out.EUD", "precious\r\n");
                continue;
            }
            try {
                AtomicFileWriter writer(target);
                ADD_FAILURE() << "followed the link: " << described;
            } catch (const InOutError& error) {
                EXPECT_EQ(error.message(), "Cannot create file \"" + target +
                                               "\": a symbolic link that belongs to another user");
            }
            EXPECT_EQ(readBytes(victim), "precious\r\n") << described;
        }
        EXPECT_EQ(folderListing(dir.file("elsewhere")), "out.EUD\n") << described;
    }
}
