#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "tests/support/TestFiles.h"

namespace {

const std::string Folder = VELMORA_PACKAGING_DIR;
const std::string AppId = VELMORA_APP_ID;

std::map<std::string, std::string> desktopEntry(const std::string& path) {
    std::map<std::string, std::string> keys;
    std::istringstream lines(readBytes(path));
    bool inside = false;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line[0] == '[') {
            inside = line == "[Desktop Entry]";
        } else if (const std::size_t equals = line.find('='); inside && equals != line.npos) {
            keys[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return keys;
}

// The quoted value after `key` at its first occurrence, or nothing.
std::string valueAfter(const std::string& text, const std::string& key) {
    const std::size_t at = text.find(key + "\"");
    if (at == std::string::npos) {
        return {};
    }
    const std::size_t start = at + key.size() + 1;
    return text.substr(start, text.find('"', start) - start);
}

}  // namespace

// The menu starts the installed program and shows the installed icon; X11 desktops match
// its windows to the entry by their class, which is the program's file name.
TEST(InstalledMetadata, TheDesktopEntryNamesTheProgramAndItsIcon) {
    auto entry = desktopEntry(Folder + "/" + AppId + ".desktop");
    EXPECT_EQ(entry["Type"], "Application");
    EXPECT_EQ(entry["Exec"], VELMORA_PROGRAM_NAME);
    EXPECT_EQ(entry["Icon"], AppId);
    EXPECT_EQ(entry["StartupWMClass"], VELMORA_PROGRAM_NAME);
}

TEST(InstalledMetadata, TheAppStreamDataNamesTheEntryAndBothCommands) {
    const std::string metainfo = readBytes(Folder + "/" + AppId + ".metainfo.xml");
    EXPECT_NE(metainfo.find("<id>" + AppId + "</id>"), std::string::npos);
    EXPECT_NE(metainfo.find("<launchable type=\"desktop-id\">" + AppId + ".desktop</launchable>"),
              std::string::npos);
    EXPECT_NE(metainfo.find("<binary>" VELMORA_PROGRAM_NAME "</binary>"), std::string::npos);
    EXPECT_NE(metainfo.find("<binary>" VELMORA_BATCH_NAME "</binary>"), std::string::npos);
}

// A new version must reach the release list and the manual pages, not only the build.
TEST(InstalledMetadata, TheNewestReleaseAndTheManualPagesCarryTheProgramsVersion) {
    const std::string metainfo = readBytes(Folder + "/" + AppId + ".metainfo.xml");
    EXPECT_EQ(valueAfter(metainfo, "<release version="), VELMORA_VERSION);
    for (const char* page : {"velmora.1", "velmora-batch.1"}) {
        const std::string text = readBytes(Folder + "/" + page);
        const std::size_t title = text.find(".TH ");
        ASSERT_EQ(title, 0u) << page;
        const std::string line = text.substr(0, text.find('\n'));
        EXPECT_NE(line.find("\"VELMORA " VELMORA_VERSION "\""), std::string::npos) << line;
    }
}
