#include "platform/TextFile.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/RunTimeError.h"
#include "tests/support/TestFiles.h"

namespace {

std::vector<std::string> linesOf(const std::string& bytes) {
    TempDir dir;
    TextReader reader(dir.write("f.txt", bytes));
    std::vector<std::string> lines;
    std::string line;
    while (reader.readLine(line)) {
        lines.push_back(line);
    }
    return lines;
}

using Lines = std::vector<std::string>;

}  // namespace

TEST(TextReader, LineEndsAreCrLfOrLoneCr) {
    EXPECT_EQ(linesOf("a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(linesOf("a\rb\rc"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(linesOf("a\r\r\nb"), (Lines{"a", "", "b"}));
}

TEST(TextReader, LoneLfStaysInTheLine) {
    EXPECT_EQ(linesOf("a\nb\nc\n"), (Lines{"a\nb\nc\n"}));
    EXPECT_EQ(linesOf("a\n\rb"), (Lines{"a\n", "b"}));
}

TEST(TextReader, LastLineWithoutEndCountsAndEmptyFileHasNone) {
    EXPECT_EQ(linesOf("x\r\ny"), (Lines{"x", "y"}));
    EXPECT_EQ(linesOf(""), Lines{});
    EXPECT_EQ(linesOf("\r\n"), (Lines{""}));
}

TEST(TextReader, CtrlZEndsTheText) {
    EXPECT_EQ(linesOf("a\r\nb\x1A\r\nc\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(linesOf("a\r\n\x1A"), (Lines{"a"}));
    EXPECT_EQ(linesOf("\x1A"
                      "a\r\n"),
              Lines{});
}

TEST(TextReader, NulBytesAndLongLinesAcrossBuffersAreKept) {
    const std::string longLine(200000, 'x');
    EXPECT_EQ(linesOf(longLine + "\r\n" + std::string("a\0b", 3)),
              (Lines{longLine, std::string("a\0b", 3)}));
}

TEST(TextReader, CrLfSplitAcrossBufferBoundaryIsOneLineEnd) {
    // The reader fills 64 KiB at a time; put the CR last in the first fill.
    const std::string first(65535, 'a');
    EXPECT_EQ(linesOf(first + "\r\nb"), (Lines{first, "b"}));
}

TEST(TextReader, CountsLinesForLocations) {
    TempDir dir;
    TextReader reader(dir.write("f.txt", "1\r\n2\r3\n4\r\n"));
    EXPECT_EQ(reader.lineNumber(), 1);
    EXPECT_TRUE(reader.skipLine());
    EXPECT_TRUE(reader.skipLine());
    EXPECT_EQ(reader.lineNumber(), 3);
    EXPECT_TRUE(reader.skipLine());
    EXPECT_FALSE(reader.skipLine());
    EXPECT_EQ(reader.lineNumber(), 4);
}

TEST(TextReader, MissingFileIsAnInputOutputError) {
    TempDir dir;
    try {
        TextReader reader(dir.file("missing.EUC"));
        FAIL() << "opened a missing file";
    } catch (const InOutError& error) {
        EXPECT_NE(std::string(error.what()).find("missing.EUC"), std::string::npos);
        EXPECT_NE(std::string(error.what()).find("No such file"), std::string::npos);
    }
}

TEST(TextReader, ALineBeyondTheLimitIsRefusedWhereItStands) {
    TempDir dir;
    const std::string longest(TextReader::MaxLineLength, 'x');
    EXPECT_EQ(linesOf("a\r\n" + longest + "\r\nb"), (Lines{"a", longest, "b"}));
    const std::string path = dir.write("long.EUC", "a\r\n" + longest + "y\r\nb\r\n");
    for (const bool skipping : {false, true}) {
        TextReader reader(path);
        std::string line;
        ASSERT_TRUE(reader.readLine(line));
        try {
            skipping ? reader.skipLine() : reader.readLine(line);
            FAIL() << "read a line of " << line.size() << " characters";
        } catch (const InOutError& error) {
            EXPECT_EQ(error.message(), "Cannot read file \"" + path + "\": line 2 is too long");
            EXPECT_EQ(error.file(), path);
            EXPECT_EQ(error.line(), 2);
        }
    }
}

TEST(TextReader, EndlessInputWithoutALineEndStopsAtTheLimit) {
    TextReader reader("/dev/zero");
    std::string line;
    EXPECT_THROW(reader.readLine(line), InOutError);
    EXPECT_LE(line.size(), TextReader::MaxLineLength + 65536);
    TextReader skipping("/dev/zero");
    EXPECT_THROW(skipping.skipLine(), InOutError);
}
