#pragma once

// An OpenStreetMap extract opened for reading through libosmium: PBF, or XML plain or
// compressed with gzip or bzip2, told apart by the file's first bytes rather than its name.

#include <cstddef>
#include <functional>
#include <string>

#include "platform/InputFile.h"
#include "platform/TaskProgress.h"
#include "roads/ExtractText.h"

namespace osmium::memory {
class Buffer;
}

class ExtractFile {
public:
    // Throws InOutError when it cannot be opened, RoadError when it is empty.
    ExtractFile(const std::string& path, InputKind kind);

    // Room for the nodes an extract of this size and form holds: more than it can hold, but
    // for compressed XML, which may expand a thousand times.
    std::size_t nodesToReserve() const;

    // Reads the nodes and ways, handing each buffer of them to `take`, and tells `progress`
    // how far through the file the reader is. Throws RoadError when the file is no extract
    // that can be read, InOutError when it cannot be read, RunTimeError when a thread cannot
    // start, std::bad_alloc, and TaskCancelled, at the next block once the user gives up.
    void read(TaskProgress& progress,
              const std::function<void(const osmium::memory::Buffer&)>& take) const;

private:
    std::string m_path;
    NamedInput m_input;
    bool m_pbf = false;
    TextForm m_textForm = TextForm::Plain;
};
