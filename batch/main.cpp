#include <clocale>
#include <iostream>

#include "batch/BatchCommands.h"
#include "batch/PictureModule.h"
#include "batch/StandardStreams.h"
#include "platform/ModulePath.h"

int main(int argc, char** argv) {
    batch::occupyClosedStandardStreams();
    batch::StandardOutput output;
    std::ostream out(&output);
    // Numbers read and print as the program's would under the user's locale.
    std::setlocale(LC_NUMERIC, "");
    const std::lconv* locale = std::localeconv();
    batch::Console console{out, std::cerr, {}};
    if (locale->decimal_point[0] != '\0' && locale->decimal_point[1] == '\0') {
        console.separators.decimal = locale->decimal_point[0];
    }
    if (locale->thousands_sep[0] != '\0') {
        console.separators.thousands = locale->thousands_sep;
    }
    std::setlocale(LC_NUMERIC, "C");
#ifdef VELMORA_PICTURES_MODULE
    PictureModule pictures(locateModule(VELMORA_PICTURES_MODULE, VELMORA_PICTURES_INSTALLED));
    ChartRenderer* renderer = &pictures;
#else
    ChartRenderer* renderer = nullptr;
#endif
    const int status =
        batch::lastResort(std::cerr, [&] { return batch::run(argc, argv, console, {}, renderer); });
    return batch::finishStandardOutput(status, output, std::cerr);
}
