#include "batch/PictureModule.h"

#include <dlfcn.h>

#include <filesystem>

#include "platform/RunTimeError.h"

namespace {

[[noreturn]] void failAt(const std::string& path, const std::string& message) {
    RunTimeError error(message);
    error.setLocation(path, 0);
    throw error;
}

}  // namespace

std::string PictureModule::png(const Chart& chart) {
    if (!m_entry) {
        // Never unloaded: the toolkit it starts stays up until the process ends.
        void* module = ::dlopen(m_path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            failAt(m_path, std::string("Cannot load the picture module: ") + ::dlerror());
        }
        m_entry = reinterpret_cast<Entry>(::dlsym(module, "velmora_chart_png"));
        if (!m_entry) {
            failAt(m_path, "Not a picture module");
        }
    }
    std::string bytes;
    if (!m_entry(chart, bytes)) {
        failAt(m_path, "The picture could not be painted");
    }
    return bytes;
}

std::string PictureModule::besideProgram(const std::string& relative) {
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return relative;
    }
    return (program.parent_path() / relative).lexically_normal().string();
}
