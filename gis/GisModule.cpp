#include "gis/GisModule.h"

#include <dlfcn.h>

#include "platform/ModulePath.h"
#include "platform/RunTimeError.h"

namespace {

[[noreturn]] void failAt(const std::string& path, const std::string& message) {
    RunTimeError error(message);
    error.setLocation(path, 0);
    throw error;
}

GisLayers& loadModule() {
    const std::string path = locateModule(VELMORA_GIS_MODULE, VELMORA_GIS_INSTALLED);
    if (path.empty()) {
        failAt("velmora-gis.so",
               "Cannot find the GIS module: the program's own folder is unknown (/proc cannot "
               "be read, and the program was not started by its full path) and no module is "
               "installed");
    }
    // Never unloaded: GDAL keeps its drivers to the end of the process.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        failAt(path, std::string("Cannot load the GIS module: ") + ::dlerror());
    }
    using Entry = GisLayers* (*)();
    const auto entry = reinterpret_cast<Entry>(::dlsym(module, "velmora_gis_layers"));
    if (!entry) {
        failAt(path, "Not a GIS module");
    }
    return *entry();
}

}  // namespace

GisLayers& gisLayers() {
    // A module that failed to load is tried again next time: it may have been installed since.
    static GisLayers* loaded = nullptr;
    if (!loaded) {
        loaded = &loadModule();
    }
    return *loaded;
}
