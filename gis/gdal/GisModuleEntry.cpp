#include "gis/gdal/GdalLayers.h"

// The module's one entry: velmora's GIS layers, built on first use.
extern "C" __attribute__((visibility("default"))) GisLayers* velmora_gis_layers() {
    static GdalLayers layers;
    return &layers;
}
