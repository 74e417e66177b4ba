#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/TestFiles.h"

namespace {

// What velmora-batch prints for --help after these arguments.
std::string helpOf(const std::string& arguments) {
    TempDir dir;
    const std::string command =
        std::string(VELMORA_BATCH) + " " + arguments + " --help >" + dir.file("help.txt");
    const int raw = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << command;
    return readBytes(dir.file("help.txt"));
}

// The first word of each entry of a help section such as "Options:". Entries are indented
// by two spaces, their wrapped descriptions further.
std::vector<std::string> entriesOf(const std::string& help, const std::string& section) {
    std::vector<std::string> words;
    std::istringstream lines(help);
    bool inside = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] != ' ') {
            inside = line == section;
        } else if (inside && line.size() > 2 && line[2] != ' ') {
            words.push_back(line.substr(2, line.find(' ', 2) - 2));
        }
    }
    return words;
}

// "-h,--help" is two options.
std::vector<std::string> optionsOf(const std::string& help) {
    std::vector<std::string> options;
    for (const std::string& entry : entriesOf(help, "Options:")) {
        std::istringstream names(entry);
        for (std::string name; std::getline(names, name, ',');) {
            options.push_back(name);
        }
    }
    return options;
}

// The page's source with roff's escaped hyphens made plain and its font changes removed.
std::string pageText(const std::string& path) {
    const std::string source = readBytes(path);
    std::string text;
    for (std::size_t i = 0; i < source.size(); ++i) {
        if (source.compare(i, 2, "\\-") == 0) {
            text += '-';
            ++i;
        } else if (source.compare(i, 2, "\\f") == 0 && i + 2 < source.size()) {
            i += 2;
        } else {
            text += source[i];
        }
    }
    return text;
}

bool isNamePart(char c) {
    return c == '-' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Whether the text holds the option as a word of its own: "--in" is not in "--into".
bool mentions(const std::string& text, const std::string& option) {
    for (std::size_t at = text.find(option); at != std::string::npos;
         at = text.find(option, at + 1)) {
        const std::size_t end = at + option.size();
        if ((at == 0 || !isNamePart(text[at - 1])) &&
            (end == text.size() || !isNamePart(text[end]))) {
            return true;
        }
    }
    return false;
}

}  // namespace

// The page is written by hand; this keeps it from falling behind the command's own help.
TEST(BatchManPage, DescribesEveryVerbAndEveryOptionTheHelpLists) {
    const std::string page = pageText(VELMORA_PACKAGING_DIR "/velmora-batch.1");
    const std::string help = helpOf("");
    const std::vector<std::string> verbs = entriesOf(help, "Subcommands:");
    ASSERT_FALSE(verbs.empty()) << help;
    for (const std::string& option : optionsOf(help)) {
        EXPECT_TRUE(mentions(page, option)) << option;
    }
    for (const std::string& verb : verbs) {
        EXPECT_NE(page.find("\n.TP\n.B " + verb + "\n"), std::string::npos)
            << "no entry for " << verb;
        const std::vector<std::string> options = optionsOf(helpOf(verb));
        EXPECT_GT(options.size(), 2u) << verb;
        for (const std::string& option : options) {
            EXPECT_TRUE(mentions(page, option)) << verb << ' ' << option;
        }
    }
}

TEST(BatchManPage, AnOptionInsideALongerOneDoesNotCount) {
    EXPECT_TRUE(mentions(".BI --in \" FILE\"", "--in"));
    EXPECT_TRUE(mentions("[--no-scale]", "--no-scale"));
    EXPECT_FALSE(mentions(".B --into", "--in"));
    EXPECT_FALSE(mentions(".B --no-scale", "--scale"));
    EXPECT_FALSE(mentions(".B -help", "-h"));
}
