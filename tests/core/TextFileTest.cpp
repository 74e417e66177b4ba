#include "platform/TextFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <thread>
#include <utility>
#include <vector>

#include "platform/RunTimeError.h"
#include "tests/support/FifoReaderWatch.h"
#include "tests/support/TestFiles.h"

namespace {

std::vector<std::string> linesRead(const TextSource& source) {
    TextReader reader(source);
    std::vector<std::string> lines;
    std::string line;
    while (reader.readLine(line)) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> linesOf(const std::string& bytes) {
    TempDir dir;
    return linesRead(TextSource(dir.write("f.txt", bytes)));
}

// A pipe that gives `line` for ever, until its reader goes.
class EndlessPipe {
public:
    explicit EndlessPipe(std::string line) : m_line(std::move(line)) {
        m_ready = ::pipe(m_ends) == 0;
        if (m_ready) {
            m_writer = std::thread([this] {
                while (::write(m_ends[1], m_line.data(), m_line.size()) > 0) {
                }
                ::close(m_ends[1]);
            });
        }
    }
    ~EndlessPipe() {
        ::close(m_ends[0]);
        if (m_writer.joinable()) {
            m_writer.join();
        }
    }
    bool ready() const { return m_ready; }
    std::string path() const { return "/proc/self/fd/" + std::to_string(m_ends[0]); }
    // What is read from the path is a reader of its own; this end goes so the writer stops.
    void closeOwnEnd() { ::close(std::exchange(m_ends[0], -1)); }

private:
    std::string m_line;
    int m_ends[2] = {-1, -1};
    bool m_ready = false;
    std::thread m_writer;
};

using Lines = std::vector<std::string>;

std::string repeated(const std::string& text, int times) {
    std::string all;
    for (int i = 0; i < times; ++i) {
        all += text;
    }
    return all;
}

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
    const TextSource endless = readTextOnce("/dev/zero", 1);
    TextReader reader(endless);
    std::string line;
    EXPECT_THROW(reader.readLine(line), InOutError);
    EXPECT_LE(line.size(), TextReader::MaxLineLength + 65536);
    TextReader skipping(endless);
    EXPECT_THROW(skipping.skipLine(), InOutError);
}

// A file by its name is read only when it is a regular file: a pipe or a device, also one
// swapped in after the file was chosen, is refused at once and never waited for.
TEST(TextReader, APipeByItsNameIsRefusedWithoutWaitingForAWriter) {
    TempDir dir;
    const std::string fifo = dir.file("swapped.EUC");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // Only a reader still waiting long after is seen.
    const FifoReaderWatch watch(fifo, std::chrono::seconds(20));
    try {
        TextReader reader(fifo);
        FAIL() << "a pipe was read as a file";
    } catch (const InOutError& error) {
        EXPECT_EQ(error.message(), "Cannot open file \"" + fifo + "\": not a regular file");
    }
    EXPECT_FALSE(watch.readerSeen());
}

// velmora-batch reads each input once and works from the text kept, by the same rules.
TEST(TextReader, ATextReadOnceReadsAsItsFile) {
    TempDir dir;
    const std::string texts[] = {"a\r\nb\rc",
                                 "a\nb\r\n\x1A"
                                 "junk\r\n",
                                 std::string(70000, 'x') + "\r\n\r\n" + std::string("n\0l", 3), "",
                                 // Megabytes: kept in memory of another kind than small texts.
                                 repeated("123456\r\n", 500000)};
    for (const std::string& text : texts) {
        const std::string path = dir.write("f.txt", text);
        EXPECT_EQ(linesRead(readTextOnce(path, 1000000)), linesRead(TextSource(path)));
    }
}

// Endless input stops at the first line past the limit, as a file of that many lines ends.
TEST(TextReader, ReadingOnceStopsAtTheLineAfterTheLimit) {
    TempDir dir;
    const std::string path = dir.write("ten.txt", "1\r\n2\r3\r\n4\r5\r6\r7\r8\r9\r10\r\n");
    EXPECT_EQ(linesRead(readTextOnce(path, 3)), (Lines{"1", "2", "3", "4"}));
    // The writer learns that its reader has gone from the failed write, not from a signal.
    std::signal(SIGPIPE, SIG_IGN);
    {
        EndlessPipe endless("5\r");
        ASSERT_TRUE(endless.ready());
        const TextSource once = readTextOnce(endless.path(), 1000);
        endless.closeOwnEnd();
        EXPECT_EQ(linesRead(once), Lines(1001, "5"));
    }
    {
        // Growing past megabytes as it comes, the kept text changes its kind of memory.
        EndlessPipe endless("123456\r");
        ASSERT_TRUE(endless.ready());
        const TextSource once = readTextOnce(endless.path(), 600000);
        endless.closeOwnEnd();
        EXPECT_EQ(linesRead(once), Lines(600001, "123456"));
    }
    std::signal(SIGPIPE, SIG_DFL);
}

// Input read once is kept in memory, so it stops at MaxTextBytes however many lines the limit
// would allow: the whole lines before it are read, then the error, located in the next line.
TEST(TextReader, ReadingOnceStopsPastTheSizeLimit) {
    constexpr std::size_t LineBytes = std::size_t{1} << 20;
    const auto wholeLines = static_cast<long long>(TextReader::MaxTextBytes / LineBytes);
    std::signal(SIGPIPE, SIG_IGN);
    {
        EndlessPipe endless(std::string(LineBytes - 1, 'x') + "\r");
        ASSERT_TRUE(endless.ready());
        const std::string path = endless.path();
        const TextSource once = readTextOnce(path, wholeLines + 10);
        endless.closeOwnEnd();
        TextReader reader(once);
        long long lines = 0;
        try {
            while (reader.skipLine()) {
                ++lines;
            }
            ADD_FAILURE() << "read all " << lines << " lines";
        } catch (const InOutError& error) {
            EXPECT_EQ(error.message(), "Cannot read file \"" + path + "\": more than 256 MiB");
            EXPECT_EQ(error.line(), wholeLines + 1);
        }
        EXPECT_EQ(lines, wholeLines);
    }
    std::signal(SIGPIPE, SIG_DFL);
}

// What stops a text read once (a missing file, a line too long) stops a reader of the text
// where a reader of the file would meet it, not before: the lines before it come first.
TEST(TextReader, WhatStoppedReadingOnceIsMetWhereTheFileMeetsIt) {
    TempDir dir;
    const std::string path = dir.write(
        "long.txt", "a\r\n" + std::string(TextReader::MaxLineLength + 1, 'x') + "\r\nb\r\n");
    const TextSource once = readTextOnce(path, 1000);
    TextReader reader(once);
    std::string line;
    ASSERT_TRUE(reader.readLine(line));
    EXPECT_EQ(line, "a");
    try {
        reader.readLine(line);
        FAIL() << "read past a line too long";
    } catch (const InOutError& error) {
        EXPECT_EQ(error.message(), "Cannot read file \"" + path + "\": line 2 is too long");
        EXPECT_EQ(error.line(), 2);
    }
    const TextSource missing = readTextOnce(dir.file("missing.txt"), 1000);
    EXPECT_EQ(missing.name(), dir.file("missing.txt"));
    TextReader unread(missing);
    EXPECT_THROW(unread.atEnd(), InOutError);
}
