#pragma once

#include <string>

#include "report/ChartRenderer.h"

// The painter lives in a module of its own that is loaded only when a picture is asked for:
// linking its toolkit into velmora-batch would slow every start of every verb. It paints in
// a child process, so that whatever stops the toolkit there (no memory left for its fonts)
// is a message here.
class PictureModule : public ChartRenderer {
public:
    // An empty path: no module could be found (see locateModule).
    explicit PictureModule(std::string path) : m_path(std::move(path)) {}

    // Throws RunTimeError, located at the module, when it cannot be found, loaded or paint.
    std::string png(const Chart& chart) override;

private:
    std::string m_path;
};
