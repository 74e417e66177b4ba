#include "batch/OutputIsInput.h"

#include <sys/stat.h>

#include <CLI/CLI.hpp>
#include <array>

#include "batch/Printable.h"

namespace batch {
namespace {

constexpr std::array<const char*, 6> InputOptions{"--demand", "--candidates", "--in",
                                                  "--roads",  "--speeds",     "--from"};
constexpr std::array<const char*, 4> OutputOptions{"--out", "--plot", "--map", "--gpkg"};

std::string given(const CLI::App& verb, const char* option) {
    const CLI::Option* found = verb.get_option_no_throw(option);
    return found && found->count() > 0 ? found->results().front() : std::string();
}

// Links are followed: what counts is the file a name leads to.
std::optional<struct stat> fileAt(const std::string& name) {
    struct stat status {};
    if (name.empty() || ::stat(name.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return status;
}

}  // namespace

std::optional<std::string> outputThatIsAnInput(const CLI::App& verb) {
    for (const char* output : OutputOptions) {
        const std::string outputName = given(verb, output);
        const auto written = fileAt(outputName);
        if (!written) {
            continue;
        }
        for (const char* input : InputOptions) {
            const std::string inputName = given(verb, input);
            const auto read = fileAt(inputName);
            if (read && read->st_dev == written->st_dev && read->st_ino == written->st_ino) {
                return std::string(output) + " " + printable(outputName) + " is the same file as " +
                       input + " " + printable(inputName) + ", which it would replace";
            }
        }
    }
    return std::nullopt;
}

}  // namespace batch
