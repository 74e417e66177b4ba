#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tests/batch/BatchRun.h"
#include "tests/support/AccessLists.h"

namespace {

constexpr uid_t Nobody = 65534;
constexpr uid_t OtherUser = 4321;
const std::string AsNobody = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
const std::string TwoNodes = "1 0 0 1 1 1\r\n2 3 4 1 1 1\r\n";

// Why the command cannot be run as nobody here, with files planted for other users; empty
// when it can. The suite runs as root in CI.
std::string whyNotAsNobody() {
    if (geteuid() != 0) {
        return "needs root to plant other users' files and to act as nobody";
    }
    if (access("/usr/bin/setpriv", X_OK) != 0) {
        return "needs setpriv (util-linux) to act as nobody";
    }
    return "";
}

// A folder nobody can reach, with a demand file nobody can read.
void openToNobody(const TempDir& dir) {
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    dir.write("d.EUC", TwoNodes);
    ASSERT_EQ(chmod(dir.file("d.EUC").c_str(), 0644), 0);
}

// A file of nobody's own in a folder of nobody's own, so that nobody may replace it.
std::string nobodysFile(const TempDir& dir, const std::string& name) {
    const std::string folder = dir.file("nobody");
    mkdir(folder.c_str(), 0755);
    EXPECT_EQ(chown(folder.c_str(), Nobody, Nobody), 0);
    const std::string file = dir.write("nobody/" + name, "old\r\n");
    EXPECT_EQ(chown(file.c_str(), Nobody, Nobody), 0);
    return file;
}

std::string attribute(const std::string& path, const char* name) {
    std::vector<char> value(65536);
    const ssize_t size = lgetxattr(path.c_str(), name, value.data(), value.size());
    return size < 0 ? "(none)" : std::string(value.data(), static_cast<std::size_t>(size));
}

}  // namespace

// With the kernel's own protection of shared folders off, as in many containers, another
// user's link on the way to the output must not lead the save into the user's own files.
TEST(BatchSafety, ALinkOnTheWayPlantedByAnotherUserInASharedFolderIsNotFollowed) {
    if (const std::string why = whyNotAsNobody(); !why.empty()) {
        GTEST_SKIP() << why;
    }
    TempDir dir;
    openToNobody(dir);
    const std::string shared = dir.file("shared");
    ASSERT_EQ(mkdir(shared.c_str(), 0), 0);
    ASSERT_EQ(chmod(shared.c_str(), 01777), 0);
    const std::string own = dir.file("own");
    ASSERT_EQ(mkdir(own.c_str(), 0755), 0);
    ASSERT_EQ(chown(own.c_str(), Nobody, Nobody), 0);
    const std::string victim = dir.write("own/important.EUD", "precious\r\n");
    ASSERT_EQ(chown(victim.c_str(), Nobody, Nobody), 0);
    const std::string planted = shared + "/dir";
    ASSERT_EQ(symlink(own.c_str(), planted.c_str()), 0);
    ASSERT_EQ(lchown(planted.c_str(), OtherUser, OtherUser), 0);

    for (const std::string out : {"shared/dir/important.EUD", "shared/dir/new.EUD"}) {
        const Result result =
            run(dir, "compute --metric euclidean --demand d.EUC --out " + out, AsNobody);
        EXPECT_EQ(result.status, 1) << out;
        EXPECT_EQ(result.err, "velmora-batch: " + out + ": Cannot create file \"" + out +
                                  "\": a symbolic link that belongs to another user\n");
    }
    EXPECT_EQ(readBytes(victim), "precious\r\n");
    EXPECT_EQ(folderListing(own), "important.EUD\n");
}

// A file readable by one named user must not become readable by its group: the new file
// keeps the old one's access list and attributes, or the save is refused.
TEST(BatchSafety, ASaveKeepsTheAccessListOrIsRefused) {
    if (const std::string why = whyNotAsNobody(); !why.empty()) {
        GTEST_SKIP() << why;
    }
    TempDir dir;
    openToNobody(dir);
    const std::string listed = nobodysFile(dir, "listed.EUD");
    const std::string list = namedReaderOnly(OtherUser);
    ASSERT_EQ(lsetxattr(listed.c_str(), "system.posix_acl_access", list.data(), list.size(), 0), 0)
        << strerror(errno);
    const Result kept =
        run(dir, "compute --metric euclidean --demand d.EUC --out nobody/listed.EUD", AsNobody);
    EXPECT_EQ(kept.status, 0) << kept.err;
    EXPECT_EQ(readBytes(listed), "0\r\n5\r\n5\r\n0\r\n");
    EXPECT_EQ(attribute(listed, "system.posix_acl_access"), list);

    // Only a privileged user may give a file capabilities: nobody cannot keep them.
    const std::string capable = nobodysFile(dir, "capable.EUD");
    // Version 2, permitted: the capability to bind low ports.
    const uint32_t capabilities[] = {0x02000000, 1u << 10, 0, 0, 0};
    const std::string capability(reinterpret_cast<const char*>(capabilities), sizeof capabilities);
    ASSERT_EQ(
        lsetxattr(capable.c_str(), "security.capability", capability.data(), capability.size(), 0),
        0)
        << strerror(errno);
    const Result refused =
        run(dir, "compute --metric euclidean --demand d.EUC --out nobody/capable.EUD", AsNobody);
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err,
              "velmora-batch: nobody/capable.EUD: Cannot create file \"nobody/capable.EUD\": "
              "cannot keep its extended attributes: Operation not permitted\n");
    EXPECT_EQ(readBytes(capable), "old\r\n");
    EXPECT_EQ(attribute(capable, "security.capability"), capability);
    EXPECT_EQ(folderListing(dir.file("nobody")), "capable.EUD\nlisted.EUD\n");
}

// A read-only file system is no missing permission: its own reason is reported.
TEST(BatchSafety, AReadOnlyFileSystemIsReportedAsSuch) {
    if (geteuid() != 0 || std::system("unshare -m true 2>/dev/null") != 0) {
        GTEST_SKIP() << "needs root and unshare to mount a folder read-only";
    }
    TempDir dir;
    dir.write("d.EUC", TwoNodes);
    ASSERT_EQ(mkdir(dir.file("ro").c_str(), 0755), 0);
    dir.write("ro/out.EUD", "old\r\n");
    const std::string readOnly =
        "unshare -m sh -c 'mount --bind ro ro && mount -o remount,ro,bind ro ro && "
        "exec \"$0\" \"$@\"' ";
    for (const std::string out : {"ro/out.EUD", "ro/new.EUD"}) {
        const Result result =
            run(dir, "compute --metric euclidean --demand d.EUC --out " + out, readOnly);
        EXPECT_EQ(result.status, 1) << out;
        EXPECT_EQ(result.err, "velmora-batch: " + out + ": Cannot create file \"" + out +
                                  "\": Read-only file system\n");
    }
    EXPECT_EQ(readBytes(dir.file("ro/out.EUD")), "old\r\n");
    EXPECT_EQ(folderListing(dir.file("ro")), "out.EUD\n");
}

// An output that is one of the inputs, by whatever name, would replace the file before it is
// read: refused as bad usage, every file as it was.
TEST(BatchSafety, AnOutputThatIsAnInputIsRefusedByAnyName) {
    TempDir dir;
    dir.write("d.EUC", TwoNodes);
    dir.write("in.EUD", "0\r\n5\r\n5\r\n0\r\n");
    dir.write("t.osm", "<osm version='0.6'/>\n");
    ASSERT_EQ(mkdir(dir.file("sub").c_str(), 0755), 0);
    ASSERT_EQ(symlink("../in.EUD", dir.file("sub/link.EUD").c_str()), 0);
    ASSERT_EQ(link(dir.file("d.EUC").c_str(), dir.file("hard.EUC").c_str()), 0);
    const std::string listing = folderListing(dir.path());
    const std::string nodes = " --demand d.EUC ";
    const struct {
        std::string arguments;
        std::string reason;
    } cases[] = {
        {"compute --metric euclidean" + nodes + "--out d.EUC",
         "--out d.EUC is the same file as --demand d.EUC"},
        {"compute --metric euclidean" + nodes + "--candidates in.EUD --out sub/../hard.EUC",
         "--out sub/../hard.EUC is the same file as --demand d.EUC"},
        {"transform" + nodes + "--in in.EUD --coverage 5 --out sub/link.EUD",
         "--out sub/link.EUD is the same file as --in in.EUD"},
        {"network --roads t.osm" + nodes + "--out ./t.osm",
         "--out ./t.osm is the same file as --roads t.osm"},
        {"report" + nodes + "--in in.EUD --coverage 5 --map hard.EUC",
         "--map hard.EUC is the same file as --demand d.EUC"},
    };
    for (const auto& [arguments, reason] : cases) {
        const Result result = run(dir, arguments);
        EXPECT_EQ(result.status, 2) << arguments;
        EXPECT_EQ(result.err, "velmora-batch: " + arguments.substr(0, arguments.find(' ')) + ": " +
                                  reason + ", which it would replace\n" +
                                  "Run with --help for more information.\n");
    }
    EXPECT_EQ(readBytes(dir.file("d.EUC")), TwoNodes);
    EXPECT_EQ(readBytes(dir.file("in.EUD")), "0\r\n5\r\n5\r\n0\r\n");
    EXPECT_EQ(readBytes(dir.file("t.osm")), "<osm version='0.6'/>\n");
    EXPECT_EQ(folderListing(dir.path()), listing);
}
