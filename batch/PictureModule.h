#pragma once

#include <string>

#include "report/ChartRenderer.h"

// The painter lives in a module of its own that is loaded only when a picture is asked for:
// linking its toolkit into velmora-batch would slow every start of every verb. It paints in
// a child process, so that whatever stops the toolkit there (no memory left for its fonts)
// is a message here.
class PictureModule : public ChartRenderer {
public:
    // An empty path: no module could be found (see locate).
    explicit PictureModule(std::string path) : m_path(std::move(path)) {}

    // Throws RunTimeError, located at the module, when it cannot be found, loaded or paint.
    std::string png(const Chart& chart) override;

    // Where the module is, never relative to the current folder: `relative` taken from the
    // program's own folder, which /proc names, or without /proc the absolute path the
    // program was started by; otherwise `installed`, where the installation puts it, when it
    // is there. Empty when neither is known.
    static std::string locate(const std::string& relative, const std::string& installed);

private:
    std::string m_path;
};
