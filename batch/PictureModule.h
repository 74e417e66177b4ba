#pragma once

#include <string>

#include "report/ChartRenderer.h"

// The painter lives in a module of its own that is loaded only when a picture is asked for:
// linking its toolkit into velmora-batch would slow every start of every verb.
class PictureModule : public ChartRenderer {
public:
    explicit PictureModule(std::string path) : m_path(std::move(path)) {}

    // Throws RunTimeError, located at the module, when it cannot be loaded or paint.
    std::string png(const Chart& chart) override;

    // `relative` taken from the folder of the running program.
    static std::string besideProgram(const std::string& relative);

private:
    using Entry = bool (*)(const Chart&, std::string&);

    std::string m_path;
    Entry m_entry = nullptr;
};
