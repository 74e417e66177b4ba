#include "platform/ModulePath.h"

#include <sys/auxv.h>
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <filesystem>

namespace {

std::string programFolder() {
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        return program.parent_path().string();
    }
    // The path the kernel started the program by; a relative one would be taken from the
    // current folder, which may be anyone's.
    const auto* started = reinterpret_cast<const char*>(::getauxval(AT_EXECFN));
    if (!started || started[0] != '/') {
        return {};
    }
    char real[PATH_MAX];
    if (!::realpath(started, real)) {
        return {};
    }
    return std::filesystem::path(real).parent_path().string();
}

}  // namespace

std::string locateModule(const std::string& relative, const std::string& installed) {
    const std::string folder = programFolder();
    if (!folder.empty()) {
        return (std::filesystem::path(folder) / relative).lexically_normal().string();
    }
    struct stat status {};
    return ::stat(installed.c_str(), &status) == 0 ? installed : std::string();
}
