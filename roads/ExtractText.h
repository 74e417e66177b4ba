#pragma once

// The XML text of a road map as its file is read, plain or compressed. A compressed file is
// read to its end through every gzip member or bzip2 stream it holds, as zcat and bzcat read
// it: pbzip2 writes one stream per block, and `cat a.gz b.gz` makes a file of two members.

#include <bzlib.h>
#include <zlib.h>

#include <cstddef>
#include <string>
#include <vector>

#include "platform/UniqueFd.h"

enum class TextForm { Plain, Gzip, Bzip2 };

class ExtractText {
public:
    // No extract compresses nearly this well; a file whose text grows past this many times the
    // compressed bytes read (and a first MiB) is a compression bomb, refused before it takes
    // the time of all it would expand to.
    static constexpr std::size_t MaxExpansion = 1000;

    // Errors reading the file name it by `path`.
    ExtractText(UniqueFd fd, TextForm form, std::string path);
    ~ExtractText();
    ExtractText(const ExtractText&) = delete;
    ExtractText& operator=(const ExtractText&) = delete;

    // The next piece of the text, empty at its end. Throws RoadError for a damaged, truncated
    // or exploding file, InOutError when the file cannot be read and std::bad_alloc.
    std::string read();
    // How many bytes of the file were read so far.
    std::size_t offset() const { return m_fileRead; }

private:
    std::size_t available() const { return m_inEnd - m_inPos; }
    // Moves what is left to the front and reads more of the file after it; false when
    // nothing more came.
    bool refill();
    // At a member's or stream's start: true when another follows (bytes after the last that do
    // not start one are ignored, as zcat and bzcat ignore them).
    bool startStream();
    void endStream();
    // Decompresses into out[produced..]; false when the member or stream ended.
    bool decode(std::string& out, std::size_t& produced);
    [[noreturn]] void damaged(const std::string& reason) const;
    const char* formName() const;

    UniqueFd m_fd;
    TextForm m_form;
    std::string m_path;
    std::vector<char> m_in;
    std::size_t m_inPos = 0;
    std::size_t m_inEnd = 0;
    bool m_fileEnded = false;
    std::size_t m_fileRead = 0;
    std::size_t m_textMade = 0;
    bool m_inStream = false;
    bool m_ended = false;
    z_stream m_gzip{};
    bz_stream m_bzip2{};
};
